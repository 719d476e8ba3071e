// The Audition dialog on the real MP3 control and MCI "waveaudio" device, owned by a
// stand-in page that keeps the player lock; sound is checked on the null sink.
#include <cstdio>

#include "AudioRecorder.h"
#include "AuditionDlg.h"
#include "MetaTestSupport.h"
#include "SkinMessages.h"
#include "TelmarIds.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "meta_test_ids.h"
#include "mpdeck/AuditionIds.h"

#include <commctrl.h>

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;
using orvtest::PumpUntil;

constexpr DWORD kWaitMs = 5000;

std::string Formatted(const std::string& format, const std::string& path) {
    char text[1024];
    std::snprintf(text, sizeof text, format.c_str(), path.c_str());
    return text;
}

class COwnerDlg : public CDialog, public CAuditionOwner {
public:
    CWnd* GetAuditionParent() override { return this; }
    void SetPlayerLock(BOOL bLocked) override {
        m_bLocked = bLocked;
        if (!bLocked) ++m_nUnlocks;
    }
    LRESULT OnAuditionClosed(WPARAM, LPARAM) {
        ++m_nNotices;
        m_audition.OnClosedNotice();
        return 0;
    }

    CAuditionDlg m_audition;
    BOOL m_bLocked = FALSE;
    int m_nUnlocks = 0;
    int m_nNotices = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDlg, CDialog)
    ON_MESSAGE(UM_AUDITIONCLOSED, OnAuditionClosed)
END_MESSAGE_MAP()

class AuditionDlgTest : public MetaTest {
protected:
    void SetUp() override {
        MetaTest::SetUp();
        if (::waveOutGetNumDevs() == 0) GTEST_SKIP() << "no wave-out device in this environment";
        ASSERT_TRUE(m_owner.Create(IDD_TEST_OWNER, nullptr));
    }
    void TearDown() override {
        if (Dlg().GetSafeHwnd()) Dlg().DestroyWindow();
        if (m_owner.GetSafeHwnd()) m_owner.DestroyWindow();
        MetaTest::TearDown();
    }
    CAuditionDlg& Dlg() { return m_owner.m_audition; }
    HWND Hwnd() { return Dlg().m_hWnd; }
    std::string Item(int nId) { return CUiScript::ItemText(Hwnd(), nId); }
    std::string Tone(const char* name, DWORD ms) {
        const std::string path = m_dir + "\\" + name;
        EXPECT_TRUE(orvtest::WriteToneWave(path, ms, 44100, 2, 440.0));
        m_files.push_back(path);
        return path;
    }
    static std::string Mp3(const char* name) { return std::string(ORV_MP3_FIXTURES) + "/" + name; }
    // Whether the buttons Play, Pause, Stop are enabled, as "101".
    std::string Buttons() {
        std::string states;
        for (int nId : {IDC_AUD_PLAY, IDC_AUD_PAUSE, IDC_AUD_STOP})
            states += CUiScript::IsEnabled(Hwnd(), nId) ? '1' : '0';
        return states;
    }
    int DefaultButton() { return LOWORD(::SendMessageA(Hwnd(), DM_GETDEFID, 0, 0)); }
    // A click handled at once, on this thread.
    void Press(int nId) {
        ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(Hwnd(), nId)));
    }
    void Scroll(UINT nCode, int nPos) {
        ::SendMessageA(Hwnd(), WM_HSCROLL, MAKEWPARAM(nCode, nPos), reinterpret_cast<LPARAM>(Dlg().m_slider.m_hWnd));
    }

    COwnerDlg m_owner;
};

TEST_F(AuditionDlgTest, ShowsTheSongAndItsLengthAndTheButtonsFollowTheState) {
    const std::string path = Tone("show.wav", 3000);
    ASSERT_TRUE(Dlg().Audition(&m_owner, path.c_str(), 1, 7, 3599));
    EXPECT_TRUE(m_owner.m_bLocked);
    EXPECT_EQ(Item(IDC_AUD_NUMBER), "007");
    EXPECT_EQ(Item(IDC_AUD_PATH), path);
    EXPECT_EQ(Item(IDC_AUD_LENGTH), "59:59");
    EXPECT_EQ(Dlg().m_slider.GetRangeMax(), 3599);
    EXPECT_EQ(Buttons(), "011");
    EXPECT_EQ(DefaultButton(), IDC_AUD_STOP);

    Press(IDC_AUD_PAUSE);
    EXPECT_EQ(Buttons(), "101");
    EXPECT_EQ(DefaultButton(), IDC_AUD_PLAY);
    Press(IDC_AUD_STOP);
    EXPECT_EQ(Buttons(), "100");

    Dlg().Load(path.c_str(), 1, 12, 6000);
    EXPECT_EQ(Item(IDC_AUD_NUMBER), "012");
    EXPECT_EQ(Item(IDC_AUD_LENGTH), "100:00");
}

TEST_F(AuditionDlgTest, PlayAtTheSliderEndRestartsAtZero) {
    const std::string path = Tone("end.wav", 3000);
    ASSERT_TRUE(Dlg().Audition(&m_owner, path.c_str(), 1, 1, 3));
    Press(IDC_AUD_STOP);
    Dlg().m_slider.SetPos(3);

    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("audition-replay"));
    Press(IDC_AUD_PLAY);
    // From the end there would be nothing to hear.
    EXPECT_TRUE(PumpUntil([&] { return recorder.HeardSound(); }, kWaitMs));
    EXPECT_TRUE(Dlg().m_bPlaying);
    EXPECT_LT(Dlg().m_waveDevice.PositionMs(), 2000u);
    recorder.Stop();
}

TEST_F(AuditionDlgTest, AnotherSongWhileAnMp3PlaysStartsAfterTheEndEvent) {
    ASSERT_TRUE(Dlg().Audition(&m_owner, Mp3("tone44js.mp3").c_str(), CAuditionDlg::kTypeMpeg, 1, 2));
    ASSERT_TRUE(Dlg().m_bPlaying);
    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_slider.GetPos() >= 1; }, kWaitMs));

    ASSERT_TRUE(Dlg().Audition(&m_owner, Mp3("tone32s.mp3").c_str(), CAuditionDlg::kTypeMpeg, 2, 1));
    EXPECT_TRUE(Dlg().m_bPendingStart);
    EXPECT_FALSE(Dlg().m_bPlaying);
    EXPECT_EQ(Dlg().m_play.GetFrames(), 0) << "the new song waits, not even opened";

    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_bPlaying != FALSE; }, kWaitMs));
    EXPECT_FALSE(Dlg().m_bPendingStart);
    EXPECT_EQ(Dlg().m_play.GetFrames(), 43) << "tone32s.mp3 is open";
}

// The seek's cut-off play reports once and is skipped; the real end then stops it.
TEST_F(AuditionDlgTest, AWaveSongMovedByTheSliderStopsAtItsEnd) {
    const std::string path = Tone("moved.wav", 2500);
    ASSERT_TRUE(Dlg().Audition(&m_owner, path.c_str(), 1, 1, 2));
    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_waveDevice.IsPlaying() != FALSE; }, kWaitMs));
    Scroll(TB_THUMBPOSITION, 1);
    EXPECT_TRUE(Dlg().m_bPlaying);
    ASSERT_TRUE(PumpUntil([&] { return !Dlg().m_bPlaying; }, 2 * kWaitMs)) << "the end of the song went unnoticed";
    EXPECT_FALSE(Dlg().m_bTimerRunning);
    EXPECT_EQ(Buttons(), "100");
}

// 75 s at frames of 26.12 ms: the divisor 26 gives frame 2884, which plays at 75.33 s;
// the exact duration would give frame 2871, at 74.99 s.
TEST_F(AuditionDlgTest, ReleasingTheThumbAt75SecondsSeeksToFrame2884) {
    const std::string path = std::string(ORV_META_FIXTURES) + "/long44m.mp3";
    ASSERT_TRUE(Dlg().Audition(&m_owner, path.c_str(), CAuditionDlg::kTypeMpeg, 1, 80));
    ASSERT_TRUE(Dlg().m_bPlaying);
    ASSERT_EQ(static_cast<int>(Dlg().m_play.GetFrameDuration()), 26);

    Scroll(TB_THUMBTRACK, 75);
    EXPECT_TRUE(Dlg().m_bDragging);
    EXPECT_EQ(Item(IDC_AUD_ELAPSED), "01:15");
    Scroll(TB_THUMBPOSITION, 75);
    EXPECT_FALSE(Dlg().m_bDragging);
    ASSERT_TRUE(PumpUntil([&] { return Dlg().m_slider.GetPos() >= 74; }, kWaitMs));
    EXPECT_EQ(Dlg().m_slider.GetPos(), 75);
    EXPECT_EQ(Item(IDC_AUD_ELAPSED), "01:15");
}

TEST_F(AuditionDlgTest, FailuresToOpenAndToPlayAreShownAndLeaveItIdle) {
    const std::string missing = m_dir + "\\missing.wav";
    CUiScript ui(kMetaTestTitle);
    std::string openText, playText;
    ui.Run(
        [&](CUiScript& script) {
            openText = script.AnswerBox(IDOK, BoxIcon::Exclamation, BoxButtons::Ok);
            HWND hDlg = script.WaitWindow("Audition");
            CUiScript::Click(hDlg, IDC_AUD_PLAY);
            playText = script.AnswerBox(IDOK, BoxIcon::Exclamation, BoxButtons::Ok);
            CUiScript::Click(hDlg, IDCANCEL);
        },
        [&] {
            Dlg().Audition(&m_owner, missing.c_str(), 1, 1, 10);
            PumpUntil([&] { return m_owner.m_nNotices > 0; }, 10000);
        });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(openText, Formatted(m_app.Text(IDS_OPEN_FAILED), missing));
    EXPECT_EQ(playText, Formatted(m_app.Text(IDS_PLAY_FAILED), missing));
    EXPECT_FALSE(Dlg().m_bPlaying);
}

TEST_F(AuditionDlgTest, ClosingDestroysTheWindowAndReleasesTheLockOnce) {
    ASSERT_TRUE(Dlg().Audition(&m_owner, Mp3("tone44js.mp3").c_str(), CAuditionDlg::kTypeMpeg, 1, 2));
    ASSERT_TRUE(m_owner.m_bLocked);
    CUiScript::Click(Hwnd(), IDCANCEL);
    ASSERT_TRUE(PumpUntil([&] { return m_owner.m_nNotices == 2; }, kWaitMs)) << "closed, then destroyed";
    orvtest::PumpFor(100);
    EXPECT_EQ(Dlg().GetSafeHwnd(), nullptr);
    EXPECT_FALSE(m_owner.m_bLocked);
    EXPECT_EQ(m_owner.m_nUnlocks, 1) << "the notice of the destruction does nothing";

    // A later audition makes the window again.
    ASSERT_TRUE(Dlg().Audition(&m_owner, Mp3("tone44js.mp3").c_str(), CAuditionDlg::kTypeMpeg, 1, 2));
    EXPECT_NE(Dlg().GetSafeHwnd(), nullptr);
    EXPECT_TRUE(Dlg().m_bPlaying);
}

}  // namespace

namespace {

// Pixels of the label ink (dark blue) in a box of the dialog's client area.
int LabelInk(HWND hDlg, const RECT& box) {
    HDC hdc = ::GetDC(hDlg);
    int nInk = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const COLORREF c = ::GetPixel(hdc, x, y);
            if (c != CLR_INVALID && GetBValue(c) > GetRValue(c) + 40 && GetBValue(c) > GetGValue(c) + 40) ++nInk;
        }
    }
    ::ReleaseDC(hDlg, hdc);
    return nInk;
}

TEST_F(AuditionDlgTest, TimeLabelsArePaintedUnderTheSliderWithoutLeaking) {
    const std::string path = Tone("labels.wav", 1000);
    ASSERT_TRUE(Dlg().Audition(&m_owner, path.c_str(), 1, 1, 120));
    Press(IDC_AUD_STOP);
    ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    orvtest::PumpFor(100);

    RECT slider;
    ::GetWindowRect(Dlg().m_slider.m_hWnd, &slider);
    ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&slider), 2);
    const int xHalfMinute = slider.left + static_cast<int>(::SendMessageA(Dlg().m_slider.m_hWnd, TBM_GETTICPOS, 0, 0));
    // Four ticks with labels (0:00 ... 1:30), the length 2:00 near the end, nothing below.
    const RECT halfMinute = {xHalfMinute - 10, slider.bottom, xHalfMinute + 8, slider.bottom + 12};
    const RECT length = {slider.right - 25, slider.bottom, slider.right, slider.bottom + 12};
    const RECT below = {slider.left, slider.bottom + 14, slider.right, slider.bottom + 20};
    orvtest::CaptureScreen("audition-labels");
    EXPECT_GT(LabelInk(Hwnd(), halfMinute), 0);
    EXPECT_GT(LabelInk(Hwnd(), length), 0);
    EXPECT_EQ(LabelInk(Hwnd(), below), 0);

    const unsigned nBefore = orvtest::GdiObjectCount();
    for (int i = 0; i < 20; ++i) ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_LE(orvtest::GdiObjectCount(), nBefore + 2);
}

}  // namespace
