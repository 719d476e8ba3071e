#include "AudioRecorder.h"

#include <cstdio>
#include <mmsystem.h>
#include <fstream>
#include <iterator>

#include "TestSupport.h"

namespace orvtest {

namespace {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr DWORD kStopTimeoutMs = 10000;
constexpr DWORD kDecodeTimeoutMs = 60000;
constexpr double kJudgeWindowMs = 10.0;
constexpr size_t kFrameBytes = kRecordChannels * 2;

ULONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<uint8_t> ReadBytes(const std::string& path, size_t from) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr DWORD kLevelsTimeoutMs = 10000;
constexpr DWORD kFullVolume = 0xFFFF;

}  // namespace

bool FindVolumeControl(DWORD dwComponentType, DWORD& dwControlId) {
    const auto hMixer = reinterpret_cast<HMIXEROBJ>(0);
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = dwComponentType;
    if (mixerGetLineInfoA(hMixer, &line, MIXER_OBJECTF_MIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return false;
    MIXERCONTROLA control = {};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(hMixer, &controls, MIXER_OBJECTF_MIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return false;
    dwControlId = control.dwControlID;
    return true;
}

bool VolumeDetails(DWORD dwControlId, DWORD (&adwValues)[2], bool bSet) {
    MIXERCONTROLDETAILS_UNSIGNED values[2] = {{adwValues[0]}, {adwValues[1]}};
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = dwControlId;
    details.cChannels = 2;
    details.cbDetails = sizeof values[0];
    details.paDetails = values;
    const auto hMixer = reinterpret_cast<HMIXEROBJ>(0);
    const MMRESULT result =
        bSet ? mixerSetControlDetails(hMixer, &details, MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE)
             : mixerGetControlDetailsA(hMixer, &details, MIXER_OBJECTF_MIXER | MIXER_GETCONTROLDETAILSF_VALUE);
    adwValues[0] = values[0].dwValue;
    adwValues[1] = values[1].dwValue;
    return result == MMSYSERR_NOERROR;
}

CSoundLevels::CSoundLevels() {
    const DWORD adwTypes[2] = {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT};
    for (int i = 0; i < 2; ++i) {
        MixerLine& line = m_lines[i];
        if (!FindVolumeControl(adwTypes[i], line.dwControlId)) continue;
        line.bSaved = VolumeDetails(line.dwControlId, line.adwSaved, false);
        DWORD adwFull[2] = {kFullVolume, kFullVolume};
        VolumeDetails(line.dwControlId, adwFull, true);
    }
    m_bWaveVolumeSaved = waveOutGetVolume(reinterpret_cast<HWAVEOUT>(0), &m_dwWaveVolume) == MMSYSERR_NOERROR;
    waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0), 0xFFFFFFFF);

    const std::string saved = ArtifactsDir() + "/levels-" + std::to_string(GetCurrentProcessId()) + ".txt";
    // No double quotes and no backslashes: the host shell's script travels inside a
    // quoted Windows command line.
    const std::string script = "{ pactl get-sink-volume nullsink | awk '/^Volume:/ {print $3, $10}'; "
                               "pactl get-sink-mute nullsink | awk '{print $2}'; } >'" +
                               UnixPath(saved) + "' && pactl set-sink-volume nullsink 65536 && pactl set-sink-mute nullsink 0";
    m_bReady = RunHostShell(script, "levels", kLevelsTimeoutMs);
    std::ifstream in(saved);
    m_strSavedSink.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(saved.c_str());
    if (!m_bReady) std::fprintf(stderr, "sound levels: the sink's volume was not set (see levels.log)\n");
}

CSoundLevels::~CSoundLevels() {
    unsigned left = 0, right = 0;
    char mute[8] = {};
    if (std::sscanf(m_strSavedSink.c_str(), "%u %u %7s", &left, &right, mute) == 3) {
        RunHostShell("pactl set-sink-volume nullsink " + std::to_string(left) + " " + std::to_string(right) +
                         " && pactl set-sink-mute nullsink " + (std::string(mute) == "yes" ? "1" : "0"),
                     "levels-back", kLevelsTimeoutMs);
    }
    if (m_bWaveVolumeSaved) waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0), m_dwWaveVolume);
    for (MixerLine& line : m_lines) {
        if (line.bSaved) VolumeDetails(line.dwControlId, line.adwSaved, true);
    }
}

CAudioRecorder::~CAudioRecorder() {
    if (Recording()) Stop();
}

bool CAudioRecorder::Start(const std::string& name) {
    if (Recording()) return false;
    m_pLevels = std::make_unique<CSoundLevels>();
    const std::string dir = ArtifactsDir();
    m_strName = name;
    m_strRaw = dir + "/" + name + ".rec.raw";
    m_strPid = dir + "/" + name + ".rec.pid";
    DeleteFileA(m_strRaw.c_str());
    DeleteFileA(m_strPid.c_str());
    m_nRead = 0;
    m_bHeard = false;
    m_quietMs = 0;
    m_pending = Pcm{kRecordRate, kRecordChannels, {}};
    // The recorder takes the sink's sound in 10 ms pieces, not the players' buffering.
    char format[160];
    std::snprintf(format, sizeof format, "env -u PULSE_LATENCY_MSEC parec -d %s --raw --format=s16le --rate=%d --channels=%d --latency-msec=10",
                  kMonitorSource, kRecordRate, kRecordChannels);
    // The pid file lets Stop end parec; the shell's marker says it has ended.
    const std::string script = std::string(format) + " >'" + UnixPath(m_strRaw) + "' & echo $! >'" +
                               UnixPath(m_strPid) + "'; wait";
    m_strDone = StartHostShell(script, name + ".rec");
    if (m_strDone.empty()) {
        m_strRaw.clear();
        return false;
    }
    if (PumpUntil([&] { return FileExists(m_strPid) && FileSize(m_strRaw) > 0; }, kStartTimeoutMs)) return true;
    std::fprintf(stderr, "recorder: no samples from %s (see %s.rec.log)\n", kMonitorSource, name.c_str());
    Stop();
    return false;
}

void CAudioRecorder::ReadNew() {
    if (!Recording()) return;
    const std::vector<uint8_t> bytes = ReadBytes(m_strRaw, m_nRead);
    const size_t whole = bytes.size() / kFrameBytes * kFrameBytes;
    m_nRead += whole;
    const Pcm fresh = PcmFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + whole), kRecordRate,
                                   kRecordChannels);
    m_pending.samples.insert(m_pending.samples.end(), fresh.samples.begin(), fresh.samples.end());
    const std::vector<double> levels = WindowRms(m_pending, kJudgeWindowMs);
    for (double level : levels) {
        if (level >= kSilenceRms) {
            m_bHeard = true;
            m_quietMs = 0;
        } else {
            m_quietMs += kJudgeWindowMs;
        }
    }
    const size_t judged = levels.size() * static_cast<size_t>(kJudgeWindowMs * kRecordRate / 1000) * kRecordChannels;
    m_pending.samples.erase(m_pending.samples.begin(), m_pending.samples.begin() + judged);
}

bool CAudioRecorder::HeardSound() {
    ReadNew();
    return m_bHeard;
}

double CAudioRecorder::TrailingSilenceMs() {
    ReadNew();
    return m_quietMs;
}

Pcm CAudioRecorder::SoFar() const {
    if (!Recording()) return Pcm{kRecordRate, kRecordChannels, {}};
    std::vector<uint8_t> bytes = ReadBytes(m_strRaw, 0);
    bytes.resize(bytes.size() / kFrameBytes * kFrameBytes);
    return PcmFromBytes(bytes, kRecordRate, kRecordChannels);
}

Pcm CAudioRecorder::Stop() {
    Pcm pcm{kRecordRate, kRecordChannels, {}};
    if (!Recording()) return pcm;
    if (FileExists(m_strPid)) {
        RunHostShell("kill $(cat '" + UnixPath(m_strPid) + "')", m_strName + ".stop", kStopTimeoutMs);
    }
    if (!PumpUntil([&] { return FileExists(m_strDone); }, kStopTimeoutMs)) {
        std::fprintf(stderr, "recorder: parec did not end (see %s.rec.log)\n", m_strName.c_str());
    }
    pcm = PcmFromBytes(ReadBytes(m_strRaw, 0), kRecordRate, kRecordChannels);
    DeleteFileA(m_strRaw.c_str());
    DeleteFileA(m_strPid.c_str());
    DeleteFileA(m_strDone.c_str());
    m_strRaw.clear();
    m_pLevels.reset();
    return pcm;
}

Pcm DecodeReference(const std::string& path) {
    // Decoding touches no shared device, so tests may decode side by side.
    const std::string name = "reference-" + std::to_string(GetCurrentProcessId());
    const std::string raw = ArtifactsDir() + "/" + name + ".raw";
    DeleteFileA(raw.c_str());
    char options[64];
    std::snprintf(options, sizeof options, "-q -s --stereo -r %d", kRecordRate);
    const std::string script = "mpg123 " + std::string(options) + " '" + UnixPath(path) + "' >'" + UnixPath(raw) + "'";
    Pcm pcm{kRecordRate, kRecordChannels, {}};
    if (!RunHostShell(script, name, kDecodeTimeoutMs)) return pcm;
    pcm = PcmFromBytes(ReadBytes(raw, 0), kRecordRate, kRecordChannels);
    DeleteFileA(raw.c_str());
    return pcm;
}

}  // namespace orvtest
