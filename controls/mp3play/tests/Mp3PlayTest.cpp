// The MP3 control in a dialog under Wine with the real sound sink: properties against
// the encoder's settings and ffprobe, timing and order of events, pause, seek, stop, decode to WAVE, failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Mp3Play.h"
#include "TestSupport.h"
#include "fw/Framework.h"
#include <mmsystem.h>
#include "mp3play_test_ids.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

namespace {

std::string Fixture(const char* name) {
    return std::string(ORV_FIXTURES) + "/" + name;
}

struct Event {
    DISPID dispid;
    long nArg;
    DWORD tick;
    bool bDuringCall;
};

class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_HOST) {}

    CMp3Play m_play;
    std::vector<Event> m_events;
    bool m_bInCall = false;

    BOOL OnInitDialog() override {
        m_play.SubclassDlgItem(IDC_MP3PLAY, this);
        return TRUE;
    }

    size_t Count(DISPID dispid) const {
        size_t n = 0;
        for (const Event& e : m_events) n += e.dispid == dispid;
        return n;
    }
    bool Ended() const { return Count(CMp3Play::kEventEnd) > 0; }
    long LastPosition() const {
        for (auto it = m_events.rbegin(); it != m_events.rend(); ++it)
            if (it->dispid == CMp3Play::kEventPosition) return it->nArg;
        return -1;
    }
    // Waits for the first position event at or past nFrame.
    bool WaitPosition(long nFrame, DWORD timeoutMs) {
        return orvtest::PumpUntil([&] { return LastPosition() >= nFrame; }, timeoutMs);
    }

private:
    void Record(DISPID dispid, long nArg) { m_events.push_back({dispid, nArg, ::GetTickCount(), m_bInCall}); }
    void OnPosition(long nFrame) { Record(CMp3Play::kEventPosition, nFrame); }
    void OnEnd() { Record(CMp3Play::kEventEnd, 0); }
    void OnNext() { Record(CMp3Play::kEventNext, 0); }
    void OnError(long nCode, LPCSTR lpszText) {
        Record(CMp3Play::kEventError, nCode);
        EXPECT_NE(std::string(lpszText), "");
    }

    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
    ON_EVENT(CHostDlg, IDC_MP3PLAY, 1, OnPosition, VTS_I4)
    ON_EVENT(CHostDlg, IDC_MP3PLAY, 2, OnEnd, VTS_NONE)
    ON_EVENT(CHostDlg, IDC_MP3PLAY, 3, OnError, VTS_I4 VTS_BSTR)
    ON_EVENT(CHostDlg, IDC_MP3PLAY, 4, OnNext, VTS_NONE)
END_EVENTSINK_MAP()

class Mp3PlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMp3Play::Register();
        AfxSetControlFolder(ORV_CONTROL_DIR);
        AfxEnableControlContainer();
        ASSERT_TRUE(fw::IsControlLoaded(CMp3Play::kClsid));
        ASSERT_TRUE(m_dlg.Create(IDD_HOST, nullptr));
        ASSERT_TRUE(m_dlg.m_play.GetSafeHwnd());
    }
    void TearDown() override {
        if (m_dlg.GetSafeHwnd()) m_dlg.DestroyWindow();
    }
    void RequireSoundDevice() {
        if (::waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave-out device in this environment";
    }
    CHostDlg m_dlg;
    CMp3Play& Play() { return m_dlg.m_play; }
};

// What ffprobe reads from a fixture: the stream's figures and its audio packets.
struct Probe {
    long sampleRate = 0;
    int channels = 0;
    long packets = 0;
    double seconds = 0;
    long long audioBytes = 0;  // the packets' sizes: audio frames without a VBR header
};

Probe ReadProbe(const std::string& mp3) {
    Probe probe;
    std::ifstream in(mp3 + ".probe");
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "sample_rate") probe.sampleRate = std::stol(value);
        if (key == "channels") probe.channels = std::stoi(value);
        if (key == "nb_read_packets") probe.packets = std::stol(value);
        if (key == "duration") probe.seconds = std::stod(value);
        if (key == "size") probe.audioBytes += std::stoll(value);
    }
    return probe;
}

TEST_F(Mp3PlayTest, PropertiesEqualTheEncoderSettingsAndFfprobe) {
    // The lame settings each fixture is made with (see the tests' CMakeLists.txt);
    // lame marks its output original; 0 kbit/s: variable.
    struct Made {
        const char* name;
        short version;
        short channelMode;  // 0 stereo, 1 joint, 2 dual, 3 mono
        bool bCrc;
        bool bCopyright;
        long nominalBitRate;
    } fixtures[] = {
        {"tone44js.mp3", 1, 1, false, false, 128000}, {"tone32s.mp3", 1, 0, true, false, 96000},
        {"tone22m.mp3", 2, 3, false, false, 48000},   {"tone48d.mp3", 1, 2, false, true, 192000},
        {"tone44vbr.mp3", 1, 1, false, false, 0},
    };
    for (const Made& made : fixtures) {
        SCOPED_TRACE(made.name);
        const Probe probe = ReadProbe(Fixture(made.name));
        ASSERT_GT(probe.packets, 0);
        ASSERT_EQ(Play().Open(Fixture(made.name).c_str(), ""), 0);
        EXPECT_EQ(Play().GetLayer(), 3);
        EXPECT_EQ(Play().GetVersion(), made.version);
        EXPECT_EQ(Play().GetChannelMode(), made.channelMode);
        EXPECT_EQ(probe.channels, made.channelMode == 3 ? 1 : 2);
        EXPECT_EQ(Play().GetCrc(), made.bCrc ? TRUE : FALSE);
        EXPECT_EQ(Play().GetCopyright(), made.bCopyright ? TRUE : FALSE);
        EXPECT_TRUE(Play().GetOriginal());
        EXPECT_EQ(Play().GetFrequency(), probe.sampleRate);
        EXPECT_EQ(Play().GetFrames(), probe.packets);
        EXPECT_NEAR(Play().GetFrameDuration(), probe.seconds * 1000 / probe.packets, 0.001);
        EXPECT_NEAR(Play().GetLength(), probe.seconds * 1000, 1.0);
        const double average = probe.audioBytes * 8 / probe.seconds;
        EXPECT_NEAR(Play().GetBitRate(), average, 1.0);
        if (made.nominalBitRate) {
            EXPECT_NEAR(Play().GetBitRate(), made.nominalBitRate, made.nominalBitRate / 1000);
        }
        EXPECT_EQ(Play().Close(), 0);
        EXPECT_EQ(Play().GetFrames(), 0);
        EXPECT_EQ(Play().GetFrequency(), 0);
    }
    // What the fixtures were made as.
    ASSERT_EQ(Play().Open(Fixture("tone22m.mp3").c_str(), ""), 0);
    EXPECT_EQ(Play().GetVersion(), 2);
    EXPECT_EQ(Play().GetChannelMode(), 3);
    EXPECT_EQ(Play().GetBitRate(), 48000);
    ASSERT_EQ(Play().Open(Fixture("tone48d.mp3").c_str(), ""), 0);  // open replaces
    EXPECT_EQ(Play().GetChannelMode(), 2);
    EXPECT_TRUE(Play().GetCopyright());
    ASSERT_EQ(Play().Open(Fixture("tone32s.mp3").c_str(), ""), 0);
    EXPECT_TRUE(Play().GetCrc());
    EXPECT_EQ(Play().GetChannelMode(), 0);
    EXPECT_EQ(Play().ScanLengthSeconds(Fixture("tone44js.mp3").c_str()), 2);
    EXPECT_EQ(Play().GetFrames(), 0);
}

TEST_F(Mp3PlayTest, PlaysToTheEndWithRisingPositions) {
    RequireSoundDevice();
    const std::string path = Fixture("tone44js.mp3");
    const DWORD start = ::GetTickCount();
    ASSERT_EQ(Play().OpenAndPlay(path.c_str()), 0);
    const long nFrames = Play().GetFrames();
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Ended(); }, 8000));
    const DWORD elapsed = m_dlg.m_events.back().tick - start;
    EXPECT_GE(elapsed, 1800u);
    EXPECT_LE(elapsed, 3500u);
    long last = -1;
    size_t nPositions = 0;
    for (const Event& e : m_dlg.m_events) {
        if (e.dispid != CMp3Play::kEventPosition) continue;
        EXPECT_GE(e.nArg, last);
        last = e.nArg;
        ++nPositions;
    }
    EXPECT_EQ(last, nFrames);
    EXPECT_EQ(m_dlg.Count(CMp3Play::kEventEnd), 1u);
    EXPECT_EQ(m_dlg.m_events.back().dispid, CMp3Play::kEventEnd);
    // A smooth display: at least ten updates a second.
    EXPECT_GE(nPositions * 1000 / elapsed, 10u);
    std::printf("%zu position events in %lu ms for %ld frames\n", nPositions, elapsed, nFrames);
    EXPECT_EQ(Play().ElapsedSeconds(last), 2);
}

TEST_F(Mp3PlayTest, PauseHoldsThePositionAndASecondPauseResumes) {
    RequireSoundDevice();
    ASSERT_EQ(Play().OpenAndPlay(Fixture("tone44js.mp3").c_str()), 0);
    ASSERT_TRUE(m_dlg.WaitPosition(15, 3000));
    ASSERT_EQ(Play().Pause(), 0);
    orvtest::PumpFor(150);
    const long held = m_dlg.LastPosition();
    const size_t nBefore = m_dlg.m_events.size();
    orvtest::PumpFor(700);
    EXPECT_EQ(m_dlg.m_events.size(), nBefore);
    EXPECT_LT(held, 45);
    const DWORD resumed = ::GetTickCount();
    ASSERT_EQ(Play().Pause(), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Ended(); }, 8000));
    // The rest of the file still plays in full after the pause.
    const DWORD rest = m_dlg.m_events.back().tick - resumed;
    const double restMs = (Play().GetFrames() - held) * Play().GetFrameDuration();
    EXPECT_GE(rest, static_cast<DWORD>(restMs * 0.8));
}

TEST_F(Mp3PlayTest, SeekLandsAtTheFramePlayingAndPaused) {
    RequireSoundDevice();
    ASSERT_EQ(Play().OpenAndPlay(Fixture("tone44js.mp3").c_str()), 0);
    ASSERT_TRUE(m_dlg.WaitPosition(3, 3000));
    ASSERT_EQ(Play().Seek(50), 0);
    const size_t nAfterSeek = m_dlg.m_events.size();
    orvtest::PumpFor(200);
    ASSERT_GT(m_dlg.m_events.size(), nAfterSeek);
    for (size_t i = nAfterSeek; i < m_dlg.m_events.size(); ++i) {
        EXPECT_GE(m_dlg.m_events[i].nArg, 50);
        EXPECT_LE(m_dlg.m_events[i].nArg, 62);
    }
    ASSERT_EQ(Play().Pause(), 0);
    ASSERT_EQ(Play().Seek(20), 0);
    orvtest::PumpFor(400);
    EXPECT_EQ(m_dlg.LastPosition(), 20);
    EXPECT_FALSE(m_dlg.Ended());
    ASSERT_EQ(Play().Pause(), 0);
    ASSERT_TRUE(m_dlg.WaitPosition(24, 2000));
    EXPECT_LT(m_dlg.LastPosition(), 40);
    EXPECT_NE(Play().Seek(100000), 0);
    EXPECT_NE(Play().Seek(-1), 0);
}

TEST_F(Mp3PlayTest, StopEndsAfterTheCallReturnsAndSilencesPositions) {
    RequireSoundDevice();
    ASSERT_EQ(Play().OpenAndPlay(Fixture("tone44js.mp3").c_str()), 0);
    ASSERT_TRUE(m_dlg.WaitPosition(5, 3000));
    m_dlg.m_bInCall = true;
    const size_t nBefore = m_dlg.m_events.size();
    EXPECT_EQ(Play().Stop(), 0);
    m_dlg.m_bInCall = false;
    EXPECT_EQ(m_dlg.m_events.size(), nBefore);
    orvtest::PumpFor(600);
    ASSERT_EQ(m_dlg.m_events.size(), nBefore + 1);
    EXPECT_EQ(m_dlg.m_events.back().dispid, CMp3Play::kEventEnd);
    EXPECT_FALSE(m_dlg.m_events.back().bDuringCall);
    // Still open: it plays again from the start; closing leaves nothing open.
    EXPECT_GT(Play().GetFrames(), 0);
    EXPECT_EQ(Play().Play(), 0);
    ASSERT_TRUE(m_dlg.WaitPosition(2, 3000));
    EXPECT_EQ(Play().Close(), 0);
    const size_t nClosed = m_dlg.m_events.size();
    orvtest::PumpFor(300);
    EXPECT_EQ(m_dlg.m_events.size(), nClosed);
    EXPECT_EQ(Play().GetFrames(), 0);
    EXPECT_NE(Play().Play(), 0);
    EXPECT_NE(Play().Pause(), 0);
}

TEST_F(Mp3PlayTest, AQueuedFileFollowsInTheSameRunAndStopForgetsIt) {
    RequireSoundDevice();
    const std::string first = Fixture("tone44js.mp3"), second = Fixture("tone44vbr.mp3");
    EXPECT_EQ(Play().Queue(second.c_str()), mp3play::kStatusNotOpen);
    const std::string target = orvtest::MakeTempDir("mp3queue") + "\\queue.wav";
    ASSERT_EQ(Play().Open(first.c_str(), target.c_str()), 0);
    EXPECT_EQ(Play().Queue(second.c_str()), mp3play::kStatusCannotFollow) << "a decode";
    ASSERT_EQ(Play().Open(second.c_str(), ""), 0);
    const long nSecondFrames = Play().GetFrames();
    ASSERT_EQ(Play().Open(first.c_str(), ""), 0);
    const long nFirstFrames = Play().GetFrames();
    const struct {
        const char* name;
        short status;
    } refusals[] = {{"tone32s.mp3", mp3play::kStatusCannotFollow}, {"tone22m.mp3", mp3play::kStatusCannotFollow},
                    {"notmpeg.mp3", mp3play::kStatusNotMpeg}, {"missing.mp3", mp3play::kStatusCannotRead}};
    for (const auto& r : refusals) EXPECT_EQ(Play().Queue(Fixture(r.name).c_str()), r.status) << r.name;

    // Queued before the start and kept through a seek; the end of the first file is
    // no end: the second is the open file once it is heard.
    ASSERT_EQ(Play().Queue(second.c_str()), 0);
    ASSERT_EQ(Play().Play(), 0);
    ASSERT_EQ(Play().Seek(nFirstFrames - 20), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Count(CMp3Play::kEventNext) == 1; }, 4000));
    EXPECT_EQ(m_dlg.Count(CMp3Play::kEventEnd), 0u);
    EXPECT_EQ(Play().GetFrames(), nSecondFrames);
    ASSERT_TRUE(m_dlg.WaitPosition(1, 2000));
    EXPECT_LT(m_dlg.LastPosition(), 20) << "positions count from the second file's start";
    ASSERT_EQ(Play().Seek(nSecondFrames - 20), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Ended(); }, 4000));
    EXPECT_EQ(m_dlg.LastPosition(), nSecondFrames);
    EXPECT_EQ(m_dlg.Count(CMp3Play::kEventNext), 1u);
    EXPECT_EQ(m_dlg.m_events.back().dispid, CMp3Play::kEventEnd);

    // A stop drops the queued file: the next run ends with its own file.
    m_dlg.m_events.clear();
    ASSERT_EQ(Play().Open(first.c_str(), ""), 0);
    ASSERT_EQ(Play().Queue(second.c_str()), 0);
    ASSERT_EQ(Play().Play(), 0);
    ASSERT_EQ(Play().Stop(), 0);
    ASSERT_EQ(Play().Play(), 0);
    ASSERT_EQ(Play().Seek(nFirstFrames - 10), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Count(CMp3Play::kEventEnd) == 2; }, 4000));
    EXPECT_EQ(m_dlg.Count(CMp3Play::kEventNext), 0u);
    EXPECT_EQ(Play().GetFrames(), nFirstFrames);
}

TEST_F(Mp3PlayTest, APlayingFileCanBeOpenedExclusively) {
    RequireSoundDevice();
    const std::string copy = orvtest::MakeTempDir("mp3held") + "\\held.mp3";
    ASSERT_TRUE(::CopyFileA(Fixture("tone44js.mp3").c_str(), copy.c_str(), FALSE));
    ASSERT_EQ(Play().OpenAndPlay(copy.c_str()), 0);
    ASSERT_TRUE(m_dlg.WaitPosition(5, 3000));
    // As the tag editor opens it to write a tag.
    HANDLE hFile = ::CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(hFile, INVALID_HANDLE_VALUE) << ::GetLastError();
    if (hFile != INVALID_HANDLE_VALUE) ::CloseHandle(hFile);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Ended(); }, 8000));
    EXPECT_EQ(m_dlg.LastPosition(), Play().GetFrames());
    EXPECT_EQ(Play().Close(), 0);
}

TEST_F(Mp3PlayTest, DecodeWritesTheCodecsSamplesWithProgress) {
    // lame states its encoder delay and padding where the first frame has room: not
    // in the 156 bytes of a 48 kbit/s frame at 22.05 kHz.
    const struct {
        const char* name;
        bool bTrimmed;
    } files[] = {{"tone44js.mp3", true}, {"tone22m.mp3", false}};
    const std::string dir = orvtest::MakeTempDir("mp3play");
    for (const auto& file : files) {
        const char* name = file.name;
        SCOPED_TRACE(name);
        m_dlg.m_events.clear();
        const std::string target = dir + "\\" + name + ".wav";
        ASSERT_EQ(Play().Open(Fixture(name).c_str(), target.c_str()), 0);
        const long nFrames = Play().GetFrames();
        ASSERT_EQ(Play().Play(), 0);
        ASSERT_TRUE(orvtest::PumpUntil([&] { return m_dlg.Ended(); }, 10000));
        EXPECT_EQ(m_dlg.LastPosition(), nFrames);
        EXPECT_EQ(m_dlg.Count(CMp3Play::kEventError), 0u);
        EXPECT_GE(m_dlg.Count(CMp3Play::kEventPosition), 2u);
        EXPECT_EQ(Play().Close(), 0);

        // Where the file states its encoder delay and padding, the control leaves both out.
        orv::codec::Mp3Decoder decoder;
        ASSERT_TRUE(decoder.OpenFile(Fixture(name)));
        decoder.SetGaplessTrim(true);
        EXPECT_EQ(decoder.OutputSamples() < decoder.FramesAvailable() * decoder.Info().first.samplesPerFrame,
                  file.bTrimmed);
        std::vector<int16_t> expected;
        std::vector<int16_t> frame(orv::codec::Mp3Decoder::kMaxSamplesPerFrame * 2);
        for (int n; (n = decoder.DecodeFrame(frame.data())) > 0;)
            expected.insert(expected.end(), frame.begin(), frame.begin() + n * decoder.Channels());

        orv::codec::WaveReader reader;
        ASSERT_EQ(reader.Open(target), orv::codec::WaveStatus::Ok);
        EXPECT_EQ(reader.Format().channels, decoder.Channels());
        EXPECT_EQ(reader.Format().samplesPerSec, decoder.SampleRate());
        EXPECT_EQ(reader.Format().bitsPerSample, 16);
        std::vector<int16_t> actual(expected.size() + 64);
        const size_t got = reader.ReadPcm16(actual.data(), actual.size() / decoder.Channels());
        actual.resize(got * decoder.Channels());
        EXPECT_TRUE(actual == expected) << actual.size() << " samples against " << expected.size();
    }
}

TEST_F(Mp3PlayTest, FailuresGiveStatusNotCrashes) {
    EXPECT_NE(Play().Open(Fixture("missing.mp3").c_str(), ""), 0);
    EXPECT_NE(Play().Open(Fixture("notmpeg.mp3").c_str(), ""), 0);
    EXPECT_EQ(Play().GetFrames(), 0);
    EXPECT_NE(Play().Open(Fixture("tone22m.mp3").c_str(), "C:\\no such folder\\x.wav"), 0);
    EXPECT_EQ(Play().GetFrames(), 0);
    // Decoding onto its own source would overwrite the MP3.
    const std::string dir = orvtest::MakeTempDir("mp3self");
    const std::string copy = dir + "\\self.mp3";
    ASSERT_TRUE(::CopyFileA(Fixture("tone22m.mp3").c_str(), copy.c_str(), FALSE));
    EXPECT_NE(Play().Open(copy.c_str(), copy.c_str()), 0);
    orv::codec::Mp3Decoder decoder;
    EXPECT_TRUE(decoder.OpenFile(copy));
    EXPECT_NE(Play().Seek(0), 0);
    EXPECT_NE(Play().Stop(), 0);
    EXPECT_EQ(Play().Close(), 0);
    orvtest::PumpFor(100);
    EXPECT_TRUE(m_dlg.m_events.empty());
}

TEST_F(Mp3PlayTest, ADeviceIsRefusedAsTarget) {
    // Linux's /dev/full: the finished file would be renamed over the device.
    EXPECT_EQ(Play().Open(Fixture("tone44js.mp3").c_str(), "Z:\\dev\\full"), 5);
    EXPECT_EQ(Play().GetFrames(), 0);
    EXPECT_NE(Play().Play(), 0);
    orvtest::PumpFor(100);
    EXPECT_TRUE(m_dlg.m_events.empty());
}

TEST(Mp3PlayWrapper, MissingControlFailsCleanly) {
    const std::string empty = orvtest::MakeTempDir("nocontrol");
    CMp3Play::Register();
    AfxSetControlFolder(empty.c_str());
    AfxEnableControlContainer();
    EXPECT_FALSE(fw::IsControlLoaded(CMp3Play::kClsid));
    CMp3Play unbound;
    EXPECT_EQ(unbound.Open("C:\\a.mp3", ""), CMp3Play::kStatusNoControl);
    EXPECT_EQ(unbound.OpenAndPlay("C:\\a.mp3"), CMp3Play::kStatusNoControl);
    EXPECT_EQ(unbound.GetFrames(), 0);
    EXPECT_EQ(unbound.GetFrameDuration(), 0.0f);
    EXPECT_EQ(unbound.ScanLengthSeconds("C:\\a.mp3"), -1);
    // A window that is no control answers nothing either.
    CMp3Play onStatic;
    HWND hWnd = ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(onStatic.SubclassWindow(hWnd));
    EXPECT_EQ(onStatic.Stop(), CMp3Play::kStatusNoControl);
    EXPECT_EQ(onStatic.Seek(3), CMp3Play::kStatusNoControl);
    EXPECT_EQ(onStatic.GetLength(), 0);
    EXPECT_FALSE(onStatic.CreateControl(CMp3Play::kClsid, "", 0, CRect(0, 0, 1, 1), nullptr, 1061));
    onStatic.DestroyWindow();
}

TEST(Mp3PlayWrapper, ARegistrationAfterContainmentLoadsAtOnce) {
    AfxSetControlFolder(ORV_CONTROL_DIR);
    AfxEnableControlContainer();
    EXPECT_FALSE(fw::IsControlLoaded(CMp3Play::kClsid));
    EXPECT_FALSE(fw::RegisterControlClass({nullptr, mp3play::kDllName, mp3play::kWndClass}));
    ASSERT_TRUE(CMp3Play::Register());
    EXPECT_TRUE(fw::IsControlLoaded(CMp3Play::kClsid));
}

TEST(Mp3PlayWrapper, FrameForSecondUsesTheTruncatedFrameDuration) {
    EXPECT_EQ(CMp3Play::FrameForSecond(0, 26.12f), 0);
    EXPECT_EQ(CMp3Play::FrameForSecond(0, 0.0f), 0);
    EXPECT_EQ(CMp3Play::FrameForSecond(10, 26.12f), 384);  // 10000 / 26
    EXPECT_EQ(CMp3Play::FrameForSecond(3, 36.0f), 83);
    EXPECT_EQ(CMp3Play::FrameForSecond(5, 0.9f), -1);  // no seek
    EXPECT_EQ(CMp3Play::FrameForSecond(5, 0.0f), -1);
}

}  // namespace
