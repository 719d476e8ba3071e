// The CD device over the installed driver: discs put in and taken out with the
// driver's tool, play requests seen through the driver's status and heard on the
// null sink. The owner here stands in for the player window and records the panel.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "AudioMeasure.h"
#include "AudioRecorder.h"
#include "CDDevice.h"
#include "DemoDiscPlan.h"
#include "DiscRules.h"
#include "RegistryGuard.h"
#include "TelmarIds.h"
#include "TestDiscs.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"

namespace {

using namespace cdtest;

const char kAppTitle[] = "Orvanta-CDDeviceTest";
orvtest::CTestSkinApp theApp(kAppTitle);
constexpr char kMciKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI";

class CTestOwner : public CWnd, public CCDDeviceOwner {
public:
    CTestOwner() : m_disc(kTestDatabase) { CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr); }
    ~CTestOwner() override { DestroyWindow(); }

    CWnd* GetDeviceWindow() override { return this; }
    CCDDisc& GetDisc() override { return m_disc; }
    CCDPanelState& GetPanel() override { return m_panel; }
    void RedrawPanel() override { ++m_nRedraws; }
    void ShowPanelMessage(int nTextId, const CString& strDetail = CString()) override {
        m_strDetail = strDetail;
        m_panel.m_nMessage = nTextId;
        m_messages.push_back(nTextId);
    }
    BOOL BuildStrip(int nTracks) override {
        m_marks.assign(static_cast<size_t>(nTracks), 0);
        return TRUE;
    }
    void ResetStrip() override { m_marks.clear(); }
    void SetStripMark(int nTrack, BOOL bOn) override { m_marks[static_cast<size_t>(nTrack - 1)] = bOn ? 1 : 0; }
    void SetOrderPosition(int nPosition) override { m_nOrderPosition = nPosition; }
    void OnDiscRead() override { ++m_nReads; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == MM_MCINOTIFY) m_notices.push_back(static_cast<UINT>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }

    CCDDisc m_disc;
    CCDPanelState m_panel;
    std::vector<BYTE> m_marks;
    std::vector<int> m_messages;
    CString m_strDetail;  // of the last message
    std::vector<UINT> m_notices;
    int m_nRedraws = 0;
    int m_nReads = 0;
    int m_nOrderPosition = 5;
};

class CDDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        ASSERT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
        m_device.SetOwner(&m_owner);
    }
    void TearDown() override {
        m_device.Close();
        EXPECT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
    }
    static DWORD RunDiscTool(const std::string& arguments) {
        return orvtest::RunProgram(std::string("\"") + ORV_DISC_TOOL + "\" " + arguments);
    }
    DWORD Status(DWORD item) {
        MCI_STATUS_PARMS status = {};
        status.dwItem = item;
        if (mciSendCommandA(m_device.GetDeviceId(), MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status)))
            return ~0u;
        return static_cast<DWORD>(status.dwReturn);
    }
    void OpenAndRead() {
        ASSERT_TRUE(m_device.Open());
        ASSERT_TRUE(m_device.ReadDisc());
    }

    orvtest::RegistryGuard m_guard{HKEY_CURRENT_USER, kDiscKey};
    CTestDatabase m_database;
    CTestOwner m_owner;
    CCDDevice m_device;
};

TEST_F(CDDeviceTest, PlayTrackCoversExactlyThatTrack) {
    const TestDisc image = MakeTestDisc("deck", {Frames(0, 5, 0), Frames(0, 6, 0), Frames(4, 10, 20), Frames(0, 3, 0)});
    ASSERT_EQ(RunDiscTool("insert \"" + image.cue + "\""), 0u);
    OpenAndRead();
    EXPECT_EQ(m_owner.m_panel.m_nTrackCount, 4);
    EXPECT_EQ(m_owner.m_marks, (std::vector<BYTE>{1, 1, 1, 1}));

    ASSERT_TRUE(m_device.PlayTrack(3));
    const DWORD position = Status(MCI_STATUS_POSITION);
    EXPECT_EQ(position & 0xFFFF, cddisc::PackTmsf(3, 0, 0, 0)) << std::hex << position;
    EXPECT_EQ(Status(MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    EXPECT_EQ(m_owner.m_panel.m_nCurrentTrack, 3);
    EXPECT_EQ(m_owner.m_panel.m_nLength, 250);
    EXPECT_EQ(m_owner.m_panel.m_strTitle, "Track03");
    EXPECT_TRUE(m_owner.m_panel.m_bPlaying);

    // The same end from second 250: 20 frames, then the driver stops at track 4's start.
    ASSERT_TRUE(m_device.SeekPlay(3, 250));
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_owner.m_notices.size() >= 2; }, 5000));
    EXPECT_EQ(m_owner.m_notices[0], static_cast<UINT>(MCI_NOTIFY_SUPERSEDED));
    EXPECT_EQ(m_owner.m_notices[1], static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(Status(MCI_STATUS_POSITION), cddisc::PackTmsf(4, 0, 0, 0));

    EXPECT_FALSE(m_device.PlayTrack(5));
    EXPECT_FALSE(m_device.SeekPlay(0, 1));
}

TEST_F(CDDeviceTest, PauseResumeAndStop) {
    OpenAndRead();
    ASSERT_TRUE(m_device.SeekPlay(2, 10));
    m_owner.m_panel.m_bPlaying = 1;
    orvtest::PumpFor(600);
    ASSERT_TRUE(m_device.Pause());
    EXPECT_EQ(Status(MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PAUSE));
    EXPECT_EQ(m_device.PositionSeconds(), 10);
    ASSERT_TRUE(m_device.Resume());
    EXPECT_EQ(Status(MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_PLAY));
    EXPECT_EQ(Status(MCI_STATUS_POSITION) & 0xFF, 2u);
    ASSERT_TRUE(m_device.Stop());
    EXPECT_EQ(Status(MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(m_owner.m_nOrderPosition, -1);
    EXPECT_FALSE(m_owner.m_panel.m_bPlaying);
}

TEST_F(CDDeviceTest, SeekPlayHearsTrack2From75Seconds) {
    OpenAndRead();
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cddevice-seek"));
    ASSERT_TRUE(m_device.SeekPlay(2, 75));
    const DWORD position = Status(MCI_STATUS_POSITION);
    EXPECT_EQ(position & 0xFFFFFF, cddisc::PackTmsf(2, 1, 15, 0)) << std::hex << position;
    ASSERT_TRUE(orvtest::PumpUntil([&] { return !m_owner.m_notices.empty(); }, 20000));
    EXPECT_EQ(m_owner.m_notices[0], static_cast<UINT>(MCI_NOTIFY_SUCCESSFUL));
    const orvtest::Pcm heard = recorder.Stop();
    const double restMs = (orvdemo::kDemoTracks[1].frames - 75 * 75) * 1000.0 / 75;
    ASSERT_FALSE(heard.Empty());
    EXPECT_NEAR(orvtest::DominantFrequency(heard.Slice(1000, restMs - 1000)), orvdemo::kDemoTracks[1].laterDroneHz, 15.0);
}

TEST_F(CDDeviceTest, EjectTwiceOpensThenClosesAndReadsAgain) {
    OpenAndRead();
    const int reads = m_owner.m_nReads;
    ASSERT_TRUE(m_device.ToggleDoor());
    EXPECT_EQ(m_owner.m_panel.m_nMessage, IDS_CD_DOOR_OPEN);
    EXPECT_FALSE(m_device.IsMediaPresent());
    ASSERT_TRUE(m_device.ToggleDoor());
    EXPECT_EQ(m_owner.m_panel.m_nMessage, 0);
    EXPECT_TRUE(m_device.IsMediaPresent());
    EXPECT_EQ(m_owner.m_nReads, reads + 1);
    EXPECT_EQ(m_owner.m_panel.m_nTrackCount, orvdemo::kDemoTrackCount);
}

TEST_F(CDDeviceTest, PollSeesADiscTakenOutAndPutIn) {
    OpenAndRead();
    m_device.Poll();
    EXPECT_TRUE(m_owner.m_messages.empty());

    ASSERT_EQ(RunDiscTool("eject"), 0u);
    m_device.Poll();
    EXPECT_EQ(m_owner.m_messages, std::vector<int>{IDS_CD_DOOR_OPEN});
    EXPECT_EQ(m_owner.m_disc.m_nTrackCount, 0);
    m_device.Poll();
    m_device.Poll();
    EXPECT_EQ(m_owner.m_messages, (std::vector<int>{IDS_CD_DOOR_OPEN, IDS_CD_NO_DISC}));

    const int reads = m_owner.m_nReads;
    ASSERT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
    m_device.Poll();
    m_device.Poll();
    EXPECT_EQ(m_owner.m_nReads, reads + 1);
    EXPECT_EQ(m_owner.m_panel.m_nMessage, 0);
    EXPECT_EQ(m_owner.m_disc.m_nTrackCount, orvdemo::kDemoTrackCount);
}

// A disc swapped between two polls is read as a removal and an insertion.
TEST_F(CDDeviceTest, PollSeesASwappedDisc) {
    OpenAndRead();
    const std::string demoId = m_owner.m_disc.m_strIdentifier.GetString();
    const TestDisc other = MakeTestDisc("swapped", {Frames(0, 5, 0), Frames(0, 7, 0)});
    ASSERT_EQ(RunDiscTool("insert \"" + other.cue + "\""), 0u);
    const int reads = m_owner.m_nReads;
    m_device.Poll();
    EXPECT_EQ(m_owner.m_nReads, reads + 1);
    EXPECT_EQ(m_owner.m_disc.m_nTrackCount, 2);
    EXPECT_NE(std::string(m_owner.m_disc.m_strIdentifier.GetString()), demoId);
    m_device.Poll();
    EXPECT_EQ(m_owner.m_nReads, reads + 1);
}

// A disc whose data cannot be read (a file missing when it goes in, gone before a
// play, or cut short) is told as an empty drive, once, with the driver's reason.
TEST_F(CDDeviceTest, AnUnreadableDiscIsToldAsAnEmptyDriveWithTheReason) {
    OpenAndRead();
    const TestDisc broken = MakeTestDisc("broken", {Frames(0, 5, 0), Frames(0, 9, 0), Frames(0, 3, 0)});
    const TestDisc lost = MakeTestDisc("lost", {Frames(0, 6, 0), Frames(0, 4, 0)});
    const std::string cutDir = orvtest::MakeTempDir("disc-cut");
    std::string flac = orvtest::ReadFileBytes(std::string(kDemoCue).substr(0, std::strlen(kDemoCue) - 4) + ".flac");
    ASSERT_GT(flac.size(), 4096u);
    flac.resize(flac.size() * 6 / 10);
    ASSERT_TRUE(orvtest::WriteFileBytes(cutDir + "\\cut.flac", flac));
    ASSERT_TRUE(orvtest::WriteFileBytes(cutDir + "\\cut.cue", "FILE \"cut.flac\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"));
    auto binOf = [](const TestDisc& disc) { return disc.cue.substr(0, disc.cue.size() - 4) + ".bin"; };
    const struct {
        const char* name;
        std::string cue;
        std::string removeAtInsert, removeBeforePlay;
        const char* reason;
    } cases[] = {
        {"file missing at insert", broken.cue, binOf(broken), "", "broken.bin"},
        {"file gone before a play", lost.cue, "", binOf(lost), "cannot open"},
        {"FLAC file cut short", cutDir + "\\cut.cue", "", "", "cut short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", c.cue));
        if (!c.removeAtInsert.empty()) {
            ASSERT_TRUE(::DeleteFileA(c.removeAtInsert.c_str()));
        }
        m_owner.m_messages.clear();
        m_device.Poll();
        if (!c.removeBeforePlay.empty()) {
            ASSERT_GT(m_owner.m_disc.m_nTrackCount, 0);
            ASSERT_TRUE(::DeleteFileA(c.removeBeforePlay.c_str()));
            m_owner.m_notices.clear();
            ASSERT_TRUE(m_device.PlayTrack(1));
            ASSERT_TRUE(orvtest::PumpUntil([&] { return !m_owner.m_notices.empty(); }, 5000));
            EXPECT_EQ(m_owner.m_notices[0], static_cast<UINT>(MCI_NOTIFY_FAILURE));
        }
        for (int i = 0; i < 3; ++i) m_device.Poll();
        ASSERT_FALSE(m_owner.m_messages.empty());
        EXPECT_EQ(m_owner.m_messages.back(), IDS_CD_NO_DISC);
        EXPECT_EQ(std::count(m_owner.m_messages.begin(), m_owner.m_messages.end(), IDS_CD_NO_DISC), 1);
        const std::string detail = m_owner.m_strDetail.GetString();
        EXPECT_NE(detail.find(c.reason), std::string::npos) << detail;
        EXPECT_EQ(detail.find('\\'), std::string::npos) << "a folder in the panel's line: " << detail;
        EXPECT_EQ(m_owner.m_panel.m_nTrackCount, 0);
        EXPECT_EQ(m_owner.m_disc.m_nTrackCount, 0);
        EXPECT_FALSE(m_device.IsMediaPresent());

        // The demo disc going in again is read and ends the message.
        ASSERT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
        m_device.Poll();
        EXPECT_EQ(m_owner.m_panel.m_nMessage, 0);
        EXPECT_EQ(m_owner.m_disc.m_nTrackCount, orvdemo::kDemoTrackCount);
        EXPECT_TRUE(CCDDevice::DriveProblem().IsEmpty());
    }
}

TEST_F(CDDeviceTest, WithoutTheDriverOpenSaysSoOnceAndNothingWorks) {
    orvtest::RegistryGuard mci(HKEY_LOCAL_MACHINE, kMciKey);
    ASSERT_TRUE(orvtest::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMciKey, "CDAudio"));
    orvtest::CUiScript ui(kAppTitle);
    BOOL bOpened = TRUE;
    ui.Run([&](orvtest::CUiScript& s) { s.AnswerBox(IDOK, orvtest::BoxIcon::Exclamation, orvtest::BoxButtons::Ok); },
           [&] { bOpened = m_device.Open(); });
    EXPECT_FALSE(bOpened);
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    ui.Run([&](orvtest::CUiScript& s) { EXPECT_TRUE(s.NoBoxFor(300)); },
           [&] {
               EXPECT_FALSE(m_device.ReadDisc());
               EXPECT_FALSE(m_device.PlayTrack(1));
               EXPECT_FALSE(m_device.SeekPlay(1, 0));
               EXPECT_FALSE(m_device.Pause());
               EXPECT_FALSE(m_device.Resume());
               EXPECT_FALSE(m_device.Stop());
               EXPECT_FALSE(m_device.ToggleDoor());
               EXPECT_FALSE(m_device.IsMediaPresent());
               EXPECT_EQ(m_device.PositionSeconds(), 0);
               m_device.Poll();
           });
    EXPECT_TRUE(m_owner.m_messages.empty());
}

}  // namespace
