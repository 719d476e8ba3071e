// The recorder and its measures against sound of known shape: a tone written to the
// wave device, and the MP3 control's playback against mpg123's decode of the file.
#include <gtest/gtest.h>

#include <algorithm>
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
    // Silence leads the tone: what the sound path loses while a stream starts up is
    // then silence, and the tone's length is the path's steady behaviour.
    constexpr size_t kLeadMs = 500;
    const size_t lead = orvtest::kRecordRate * kLeadMs / 1000 * orvtest::kRecordChannels;
    std::vector<int16_t> samples(lead + orvtest::kRecordRate * kToneMs / 1000 * orvtest::kRecordChannels);
    for (size_t i = lead; i < samples.size(); ++i) {
        const double t = static_cast<double>((i - lead) / orvtest::kRecordChannels) / orvtest::kRecordRate;
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
    ASSERT_EQ(sound.size(), 1u) << "heard " << orvtest::DescribeSpans(sound) << " of " << recorded.DurationMs() << " ms";
    // Shorter with no gap in it: samples lost before they reached the recording.
    EXPECT_NEAR(sound[0].LengthMs(), kToneMs, 50)
        << "heard from " << sound[0].fromMs << " to " << sound[0].toMs << " ms of " << recorded.DurationMs();
    EXPECT_FALSE(orvtest::SilentSpans(recorded, kTrailMs).empty());
    const orvtest::Span steady{sound[0].fromMs + kEdgeMs, sound[0].toMs - kEdgeMs};
    EXPECT_NEAR(orvtest::DominantFrequency(recorded.Slice(steady.fromMs, steady.toMs)), kToneHz, kToneHz * 0.01);
    // A dropout is the sound server's (samples late under load), not a level error:
    // it is named as such, and the level is judged on the windows it spares.
    const std::vector<orvtest::Span> gaps = orvtest::Dropouts(recorded, steady);
    double lostMs = 0;
    for (const orvtest::Span& gap : gaps) lostMs += gap.LengthMs();
    EXPECT_LT(lostMs, 50) << "dropouts " << orvtest::DescribeSpans(gaps);
    const double expectedRms = kToneAmplitude / std::sqrt(2.0);
    constexpr double kWindowMs = 50;
    for (double fromMs = steady.fromMs; fromMs + kWindowMs <= steady.toMs; fromMs += kWindowMs) {
        const bool bHit = std::any_of(gaps.begin(), gaps.end(), [&](const orvtest::Span& gap) {
            return gap.toMs > fromMs && gap.fromMs < fromMs + kWindowMs;
        });
        if (bHit) continue;
        EXPECT_NEAR(orvtest::Rms(recorded.Slice(fromMs, fromMs + kWindowMs)), expectedRms, expectedRms * 0.01)
            << "at " << fromMs << " ms";
    }
}

TEST(AudioMeasureTest, DropoutsAreFoundWhereTheSoundStopsAndNowhereElse) {
    // 300 Hz and 1 kHz tones with gaps of zeros of several lengths.
    const struct {
        double hz, gapFromMs, gapMs;
    } cases[] = {{1000, 0, 0}, {300, 0, 0}, {1000, 400, 5}, {300, 250.3, 4}, {1000, 600, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.hz) + " Hz, gap of " + std::to_string(c.gapMs) + " ms");
        orvtest::Pcm pcm{44100, 1, std::vector<int16_t>(44100)};
        for (size_t i = 0; i < pcm.samples.size(); ++i) {
            const double ms = 1000.0 * static_cast<double>(i) / 44100;
            const bool bGap = ms >= c.gapFromMs && ms < c.gapFromMs + c.gapMs;
            pcm.samples[i] = bGap ? 0 : static_cast<int16_t>(std::lround(16000 * std::sin(2 * kPi * c.hz * ms / 1000)));
        }
        const std::vector<orvtest::Span> gaps = orvtest::Dropouts(pcm, orvtest::Span{0, 1000});
        if (c.gapMs == 0) {
            EXPECT_TRUE(gaps.empty()) << orvtest::DescribeSpans(gaps);
            continue;
        }
        ASSERT_EQ(gaps.size(), 1u) << orvtest::DescribeSpans(gaps);
        EXPECT_NEAR(gaps[0].fromMs, c.gapFromMs, 2.5);
        EXPECT_NEAR(gaps[0].toMs, c.gapFromMs + c.gapMs, 2.5);
    }
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

    // A stretch of the song is found where it plays. Short, and taken where the sound
    // server dropped nothing: a dropout inside it would lower the match.
    const std::vector<orvtest::Span> sound = orvtest::SoundSpans(recorded, 500);
    ASSERT_FALSE(sound.empty());
    const std::vector<orvtest::Span> gaps = orvtest::Dropouts(recorded, sound[0]);
    double lostMs = 0;
    for (const orvtest::Span& gap : gaps) lostMs += gap.LengthMs();
    EXPECT_LT(lostMs, 50) << "dropouts " << orvtest::DescribeSpans(gaps);
    double fromMs = 300;
    for (double candidate : {300.0, 700.0, 1100.0, 1500.0}) {
        fromMs = candidate;
        const double startMs = sound[0].fromMs + candidate;
        const bool bHit = std::any_of(gaps.begin(), gaps.end(), [&](const orvtest::Span& gap) {
            return gap.toMs > startMs - 60 && gap.fromMs < startMs + 260;
        });
        if (!bHit) break;
    }
    const orvtest::Match whole = orvtest::FindClip(recorded, reference.Slice(fromMs, fromMs + 200));
    EXPECT_GT(whole.score, 0.9) << "from " << fromMs << " ms; dropouts " << orvtest::DescribeSpans(gaps);
    EXPECT_NEAR(whole.offsetMs, sound[0].fromMs + fromMs, 60 + lostMs);
    // Another file's sound does not match.
    EXPECT_LT(orvtest::FindClip(recorded, other.Slice(300, 500)).score, 0.5);
}

}  // namespace
