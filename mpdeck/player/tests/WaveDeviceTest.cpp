// CWaveDevice on Wine's real MCI "waveaudio" device, playing into the null sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MciNotices.h"
#include "TestSupport.h"
#include "WaveDevice.h"

namespace {

const char kOwnerTitle[] = "OrvWaveDeviceTestOwner";

// Handles notifications the way the player window does: the one a Seek replaced is
// swallowed, everything else is kept for the test to look at.
class CNotifyOwner : public CWnd {
public:
    BOOL CreateOwner() {
        return CreateEx(0, AfxRegisterWndClass(0), kOwnerTitle, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr);
    }

    CWaveDevice* m_pDevice = nullptr;
    std::vector<UINT> m_received;
    int m_nSkipped = 0;

protected:
    LRESULT OnMciNotify(WPARAM wParam, LPARAM) {
        if (m_pDevice->m_bSkipNotify) {
            m_pDevice->m_bSkipNotify = FALSE;
            ++m_nSkipped;
            return 0;
        }
        m_received.push_back(static_cast<UINT>(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyOwner, CWnd)
    ON_MESSAGE(MM_MCINOTIFY, OnMciNotify)
END_MESSAGE_MAP()

class WaveDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner.m_pDevice = &m_device;
        m_dir = orvtest::MakeTempDir("wavedev");
        ASSERT_TRUE(m_owner.CreateOwner());
        m_device.m_pOwner = &m_owner;
    }
    void TearDown() override {
        m_device.Close();
        m_owner.DestroyWindow();
        for (const std::string& path : m_files) ::DeleteFileA(path.c_str());
        ::RemoveDirectoryA(m_dir.c_str());
    }

    std::string Tone(const char* name, DWORD ms, DWORD rate, WORD channels) {
        std::string path = m_dir + "\\" + name;
        EXPECT_TRUE(orvtest::WriteToneWave(path, ms, rate, channels, 440.0));
        m_files.push_back(path);
        return path;
    }

    bool WaitForNotification(DWORD timeoutMs) {
        return orvtest::PumpUntil([this] { return !m_owner.m_received.empty(); }, timeoutMs);
    }

    std::string m_dir;
    std::vector<std::string> m_files;
    CNotifyOwner m_owner;
    CWaveDevice m_device;
};

TEST_F(WaveDeviceTest, ReadInfoMeasuresFormatAndTruncatesLength) {
    m_device.m_strPath = Tone("mono.wav", 1999, 22050, 1).c_str();
    ASSERT_FALSE(m_device.IsOpen());
    // Closed: ReadInfo opens the device itself.
    ASSERT_TRUE(m_device.ReadInfo());
    EXPECT_TRUE(m_device.IsOpen());
    EXPECT_EQ(m_device.m_dwLengthSeconds, 1u);
    EXPECT_EQ(m_device.m_dwLengthBytes, 44078u * 2);
    EXPECT_EQ(m_device.m_dwFormatTag, static_cast<DWORD>(WAVE_FORMAT_PCM));
    EXPECT_EQ(m_device.m_dwChannels, 1u);
    EXPECT_EQ(m_device.m_dwSamplesPerSec, 22050u);
    EXPECT_EQ(m_device.m_dwAvgBytesPerSec, 44100u);
    EXPECT_EQ(m_device.m_dwBitsPerSample, 16u);
    EXPECT_EQ(m_device.m_dwBitsPerSample2, 16u);

    m_device.m_strPath = Tone("stereo.wav", 3000, 44100, 2).c_str();
    ASSERT_TRUE(m_device.Open());
    EXPECT_EQ(m_device.m_dwLengthSeconds, 3u);
    EXPECT_EQ(m_device.m_dwLengthBytes, 44100u * 4 * 3);
    EXPECT_EQ(m_device.m_dwChannels, 2u);
    EXPECT_EQ(m_device.m_dwAvgBytesPerSec, 176400u);
    EXPECT_EQ(m_device.Close(), 0u);
    EXPECT_FALSE(m_device.IsOpen());
}

TEST_F(WaveDeviceTest, BadPathsFailWithTheDeviceClosed) {
    EXPECT_FALSE(m_device.ReadInfo()) << "empty path";
    EXPECT_FALSE(m_device.IsOpen());

    m_device.m_strPath = (m_dir + "\\missing.wav").c_str();
    EXPECT_FALSE(m_device.Open());
    EXPECT_EQ(m_device.m_wDeviceID, 0u);

    // A text file with a WAVE name is no WAVE file.
    const std::string bogus = m_dir + "\\bogus.wav";
    CFile file;
    ASSERT_TRUE(file.Open(bogus.c_str(), CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(file.WriteString("RIFF but not really a wave file"));
    file.Close();
    m_files.push_back(bogus);
    m_device.m_strPath = bogus.c_str();
    EXPECT_FALSE(m_device.Open());
    EXPECT_EQ(m_device.m_wDeviceID, 0u);

    // Nothing to play, pause or seek on a closed device.
    EXPECT_FALSE(m_device.Play());
    EXPECT_FALSE(m_device.Pause());
    EXPECT_FALSE(m_device.Resume());
    EXPECT_FALSE(m_device.Seek(0, 1));
    EXPECT_FALSE(m_device.IsPlaying());
    EXPECT_EQ(m_device.Position(), 0u);
    EXPECT_EQ(m_device.Stop(), 0u);
}

TEST_F(WaveDeviceTest, PlaysToTheEndAndNotifiesSuccess) {
    m_device.m_strPath = Tone("play.wav", 1999, 22050, 1).c_str();
    ASSERT_TRUE(m_device.Open());
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(m_device.Play());
    EXPECT_TRUE(m_device.IsPlaying());
    orvtest::PumpUntil([this] { return m_device.Position() >= 1; }, 3000);
    EXPECT_EQ(m_device.Position(), 1u);

    ASSERT_TRUE(WaitForNotification(8000)) << "no MM_MCINOTIFY: is there a sound sink?";
    EXPECT_GE(::GetTickCount() - start, 1700u);
    ASSERT_EQ(m_owner.m_received.size(), 1u);
    EXPECT_EQ(m_owner.m_received[0], static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(m_owner.m_nSkipped, 0);
    EXPECT_FALSE(m_device.IsPlaying());
    EXPECT_EQ(m_device.Position(), 0u);
    // The driver's play thread may still be running its last instructions.
    m_device.Close();
    EXPECT_NE(::GetModuleHandleA("mciwave.dll"), nullptr) << "the closed device unloaded its driver";
}

TEST_F(WaveDeviceTest, PausedPositionIsZeroAndResumeFinishesTheSong) {
    m_device.m_strPath = Tone("pause.wav", 2500, 22050, 1).c_str();
    ASSERT_TRUE(m_device.Open());
    ASSERT_TRUE(m_device.Play());
    ASSERT_TRUE(orvtest::PumpUntil([this] { return m_device.Position() >= 1; }, 3000));

    ASSERT_TRUE(m_device.Pause());
    EXPECT_FALSE(m_device.IsPlaying());
    EXPECT_EQ(m_device.Position(), 0u);
    // Paused long enough that the song would have ended if it were still running.
    orvtest::PumpFor(2000);
    EXPECT_TRUE(m_owner.m_received.empty());

    ASSERT_TRUE(m_device.Resume());
    EXPECT_TRUE(m_device.IsPlaying());
    EXPECT_GE(m_device.Position(), 1u);
    ASSERT_TRUE(WaitForNotification(6000));
    EXPECT_EQ(m_owner.m_received.back(), static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
}

TEST_F(WaveDeviceTest, StopNotifiesAbortedAndKeepsTheDeviceOpen) {
    m_device.m_strPath = Tone("stop.wav", 3000, 22050, 1).c_str();
    ASSERT_TRUE(m_device.Open());
    ASSERT_TRUE(m_device.Play());
    orvtest::PumpFor(300);
    EXPECT_EQ(m_device.Stop(), 0u);
    ASSERT_TRUE(WaitForNotification(3000));
    EXPECT_EQ(m_owner.m_received[0], static_cast<UINT>(MCI_NOTIFY_ABORTED));
    EXPECT_TRUE(m_device.IsOpen());
    EXPECT_FALSE(m_device.IsPlaying());
    // Nothing else follows the stopped play.
    orvtest::PumpFor(3000);
    EXPECT_EQ(m_owner.m_received.size(), 1u);
}

TEST_F(WaveDeviceTest, SeekPlaysFromTheGivenTimeAndItsExtraNotificationIsSkipped) {
    m_device.m_strPath = Tone("seek.wav", 66500, 8000, 1).c_str();
    ASSERT_TRUE(m_device.Open());
    EXPECT_EQ(m_device.m_dwLengthSeconds, 66u);
    ASSERT_TRUE(m_device.Play());
    orvtest::PumpFor(200);

    const DWORD start = ::GetTickCount();
    CWaveDevice other;  // an audition's device beside the player's
    ASSERT_TRUE(m_device.Seek(1, 5));
    EXPECT_TRUE(m_device.m_bSkipNotify);
    EXPECT_FALSE(other.m_bSkipNotify);
    EXPECT_TRUE(m_device.IsPlaying());
    EXPECT_EQ(m_device.Position(), 65u);

    // From 65000 ms only 1.5 s remain; from anywhere earlier the end would be late.
    ASSERT_TRUE(WaitForNotification(6000));
    const DWORD took = ::GetTickCount() - start;
    EXPECT_GE(took, 1200u);
    EXPECT_LE(took, 4500u);
    EXPECT_EQ(m_owner.m_nSkipped, 1);
    EXPECT_FALSE(m_device.m_bSkipNotify);
    ASSERT_EQ(m_owner.m_received.size(), 1u);
    EXPECT_EQ(m_owner.m_received[0], static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
}

// What Wine's waveaudio device reports for a play that something cut off, driven by
// plain MCI commands in the order the player sends them. The player's skip flag
// counts on these: one notice too few leaves it playing forever, one too many skips
// a song.
class WaveNoticeTest : public WaveDeviceTest {
protected:
    enum class Cut { Seek, PauseSeek, Stop, PauseStop };

    // The codes that arrive from the start of a 1.2 s play until everything has ended.
    std::vector<UINT> Notices(Cut cut) {
        orvtest::CMciNotices notices;
        MCI_OPEN_PARMSA open = {};
        open.lpstrDeviceType = "waveaudio";
        const std::string path = Tone("cut.wav", 1200, 22050, 1);
        open.lpstrElementName = path.c_str();
        EXPECT_EQ(::mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)), 0u);
        const MCIDEVICEID id = open.wDeviceID;
        MCI_PLAY_PARMS play = {};
        play.dwCallback = notices.Callback();
        EXPECT_EQ(::mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play)), 0u);
        orvtest::PumpFor(300);
        MCI_GENERIC_PARMS generic = {};
        if (cut == Cut::PauseSeek || cut == Cut::PauseStop) {
            EXPECT_EQ(::mciSendCommandA(id, MCI_PAUSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic)), 0u);
        }
        if (cut == Cut::Stop || cut == Cut::PauseStop) {
            EXPECT_EQ(::mciSendCommandA(id, MCI_STOP, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic)), 0u);
        } else {
            MCI_SET_PARMS set = {};
            set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
            EXPECT_EQ(::mciSendCommandA(id, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set)), 0u);
            MCI_SEEK_PARMS seek = {};
            seek.dwTo = 1000;
            EXPECT_EQ(::mciSendCommandA(id, MCI_SEEK, MCI_WAIT | MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)), 0u);
            play.dwFrom = 1000;
            EXPECT_EQ(::mciSendCommandA(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, reinterpret_cast<DWORD_PTR>(&play)), 0u);
        }
        // The last play has 0.2 s left; whatever comes later than 1.5 s after that
        // does not belong to it.
        notices.WaitFor(cut == Cut::Stop || cut == Cut::PauseStop ? 1 : 2, 3000);
        notices.WaitFor(notices.size() + 1, 1500);
        ::mciSendCommandA(id, MCI_CLOSE, 0, 0);
        std::vector<UINT> codes;
        std::string text;
        for (const orvtest::MciNotice& notice : notices.Notices()) {
            codes.push_back(notice.code);
            text += std::to_string(notice.code) + " ";
        }
        RecordProperty("notices", text);
        return codes;
    }
};

TEST_F(WaveNoticeTest, ACutOffPlayIsReportedOnce) {
    // Measured here: the cut-off play reports ABORTED, never SUPERSEDED, and only once.
    const UINT kOk = MCI_NOTIFY_SUCCESSFUL, kAborted = MCI_NOTIFY_ABORTED;
    const struct {
        Cut cut;
        const char* what;
        std::vector<UINT> expected;
    } cases[] = {
        {Cut::Seek, "seek while playing", {kAborted, kOk}},
        {Cut::PauseSeek, "seek while paused", {kAborted, kOk}},
        {Cut::Stop, "stop while playing", {kAborted}},
        {Cut::PauseStop, "stop while paused", {kAborted}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Notices(c.cut), c.expected);
    }
}

}  // namespace
