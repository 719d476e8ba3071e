// What the user hears: the PulseAudio null sink's monitor recorded with the host's
// parec while a test plays something, and reference decodes made by mpg123.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "AudioMeasure.h"

namespace orvtest {

// The sink the test environment plays into; its monitor is what a listener hears.
constexpr char kMonitorSource[] = "nullsink.monitor";
constexpr int kRecordRate = 44100;
constexpr int kRecordChannels = 2;

// The volume control of mixer 0's line of that component type (speakers, wave-out).
bool FindVolumeControl(DWORD dwComponentType, DWORD& dwControlId);
// Reads or writes both channels of a volume control.
bool VolumeDetails(DWORD dwControlId, DWORD (&adwValues)[2], bool bSet);

// What the level of recorded sound depends on, set to full for as long as this
// object lives and put back afterwards: the null sink's volume and mute (the sound
// server keeps them across clients), and this process's speakers and wave-out
// mixer lines and wave-out volume (which a test may have lowered).
class CSoundLevels {
public:
    CSoundLevels();
    ~CSoundLevels();
    CSoundLevels(const CSoundLevels&) = delete;
    CSoundLevels& operator=(const CSoundLevels&) = delete;

    // Whether the sink took full volume, unmuted.
    bool Ready() const { return m_bReady; }

private:
    struct MixerLine {
        DWORD dwControlId = 0;
        DWORD adwSaved[2] = {};
        bool bSaved = false;
    };
    std::string m_strSavedSink;  // "<left> <right>\n<mute>" as pactl printed them
    MixerLine m_lines[2];
    DWORD m_dwWaveVolume = 0;
    bool m_bWaveVolumeSaved = false;
    bool m_bReady = false;
};

class CAudioRecorder {
public:
    CAudioRecorder() = default;
    ~CAudioRecorder();
    CAudioRecorder(const CAudioRecorder&) = delete;
    CAudioRecorder& operator=(const CAudioRecorder&) = delete;

    // Starts recording into <artifacts>/<name>.rec.raw and returns once samples
    // arrive, so that nothing played after this call is missed. The sound levels
    // are full (CSoundLevels) until Stop.
    bool Start(const std::string& name);
    bool Recording() const { return !m_strRaw.empty(); }
    // Whether anything above the silence level has arrived since Start.
    bool HeardSound();
    // How long the recording has been silent at its end, in ms.
    double TrailingSilenceMs();
    // Everything recorded so far, while the recorder runs on.
    Pcm SoFar() const;
    // Stops the recorder and returns everything recorded; the raw file is removed.
    Pcm Stop();

private:
    void ReadNew();

    std::string m_strName;
    std::string m_strRaw;
    std::string m_strPid;
    std::string m_strDone;
    size_t m_nRead = 0;
    bool m_bHeard = false;
    double m_quietMs = 0;
    Pcm m_pending;  // less than one window not yet judged
    std::unique_ptr<CSoundLevels> m_pLevels;
};

// A file decoded by mpg123 to 44100 Hz stereo, the rate and layout the recorder
// uses; empty when mpg123 failed.
Pcm DecodeReference(const std::string& path);

}  // namespace orvtest
