// The recorder and its measures against sound of known shape: a tone written to the
// wave device, and the MP3 control's playback against mpg123's decode of the file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "AudioRecorder.h"
#include "Mp3Play.h"
#include "TestSupport.h"
#include "fw/Framework.h"
#include <mmsystem.h>
#include "support_test_ids.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kToneHz = 1000.0;
constexpr double kToneAmplitude = 0.5;  // of full scale
constexpr DWORD kToneMs = 1000;
constexpr double kTrailMs = 300;
// Trims the fade in and out of the device's buffering from a sounding span.
constexpr double kEdgeMs = 100;

std::string Fixture(const char* name) {
    return std::string(ORV_FIXTURES) + "/" + name;
}

// Waits until the recording has heard something and gone quiet again.
bool WaitPlayedOut(orvtest::CAudioRecorder& recorder, DWORD timeoutMs) {
    return orvtest::PumpUntil([&] { return recorder.HeardSound() && recorder.TrailingSilenceMs() >= kTrailMs; },
                              timeoutMs);
}

bool PlayToneThroughWaveOut() {
    WAVEFORMATEX format = {WAVE_FORMAT_PCM, orvtest::kRecordChannels, orvtest::kRecordRate,
                           orvtest::kRecordRate * orvtest::kRecordChannels * 2, orvtest::kRecordChannels * 2, 16, 0};
    HWAVEOUT hOut = nullptr;
    if (waveOutOpen(&hOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
    std::vector<int16_t> samples(orvtest::kRecordRate * kToneMs / 1000 * orvtest::kRecordChannels);
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i / orvtest::kRecordChannels) / orvtest::kRecordRate;
        samples[i] = static_cast<int16_t>(std::lround(kToneAmplitude * 32767 * std::sin(2 * kPi * kToneHz * t)));
    }
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(samples.data());
    header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(int16_t));
    bool bPlayed = waveOutPrepareHeader(hOut, &header, sizeof header) == MMSYSERR_NOERROR &&
                   waveOutWrite(hOut, &header, sizeof header) == MMSYSERR_NOERROR &&
                   orvtest::PumpUntil([&] { return (header.dwFlags & WHDR_DONE) != 0; }, 10000);
    waveOutReset(hOut);
    waveOutUnprepareHeader(hOut, &header, sizeof header);
    waveOutClose(hOut);
    return bPlayed;
}

class CControlHostDlg : public CDialog {
public:
    CControlHostDlg() : CDialog(IDD_CONTROL_HOST) {}
    BOOL OnInitDialog() override {
        m_play.SubclassDlgItem(IDC_MP3PLAY, this);
        return TRUE;
    }
    CMp3Play m_play;
};

class AudioHarnessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave-out device in this environment";
    }
    orvtest::CAudioRecorder m_recorder;
};

TEST_F(AudioHarnessTest, ToneFrequencyAndLevelAreMeasuredWithinOnePercent) {
    ASSERT_TRUE(m_recorder.Start("tone"));
    ASSERT_TRUE(PlayToneThroughWaveOut());
    ASSERT_TRUE(WaitPlayedOut(m_recorder, 10000));
    const orvtest::Pcm recorded = m_recorder.Stop();

    const std::vector<orvtest::Span> sound = orvtest::SoundSpans(recorded, 200);
    ASSERT_EQ(sound.size(), 1u);
    EXPECT_NEAR(sound[0].LengthMs(), kToneMs, 50);
    EXPECT_FALSE(orvtest::SilentSpans(recorded, kTrailMs).empty());
    const orvtest::Pcm steady = recorded.Slice(sound[0].fromMs + kEdgeMs, sound[0].toMs - kEdgeMs);
    EXPECT_NEAR(orvtest::DominantFrequency(steady), kToneHz, kToneHz * 0.01);
    const double expectedRms = kToneAmplitude / std::sqrt(2.0);
    EXPECT_NEAR(orvtest::Rms(steady), expectedRms, expectedRms * 0.01);
    for (double level : orvtest::WindowRms(steady, 50)) EXPECT_NEAR(level, expectedRms, expectedRms * 0.01);
}

TEST_F(AudioHarnessTest, ControlPlaybackMatchesTheReferenceDecodeOfItsFileOnly) {
    CMp3Play::Register();
    AfxSetControlFolder(ORV_CONTROL_DIR);
    AfxEnableControlContainer();
    CControlHostDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL_HOST, nullptr));
    const std::string song = std::string(ORV_SUPPORT_FIXTURES) + "/sweep.mp3";
    const orvtest::Pcm reference = orvtest::DecodeReference(song);
    const orvtest::Pcm other = orvtest::DecodeReference(Fixture("tone44js.mp3"));
    ASSERT_FALSE(reference.Empty());
    ASSERT_FALSE(other.Empty());

    ASSERT_TRUE(m_recorder.Start("mp3play"));
    ASSERT_EQ(dlg.m_play.OpenAndPlay(song.c_str()), 0);
    ASSERT_TRUE(WaitPlayedOut(m_recorder, 15000));
    const orvtest::Pcm recorded = m_recorder.Stop();
    dlg.DestroyWindow();

    // A stretch from the middle of the song is found where it plays. Short: under
    // load the sound server may drop a few milliseconds now and then.
    const orvtest::Match whole = orvtest::FindClip(recorded, reference.Slice(300, 500));
    const std::vector<orvtest::Span> sound = orvtest::SoundSpans(recorded, 500);
    ASSERT_FALSE(sound.empty());
    EXPECT_GT(whole.score, 0.9);
    EXPECT_NEAR(whole.offsetMs, sound[0].fromMs + 300, 60);
    // Another file's sound does not match.
    EXPECT_LT(orvtest::FindClip(recorded, other.Slice(300, 500)).score, 0.5);
}

}  // namespace
