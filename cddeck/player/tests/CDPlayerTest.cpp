// The player window's wiring that the installed program cannot show: a busy page of
// the sheet refuses what would disturb the drive, and stale ends of play requests
// are ignored.
#include <gtest/gtest.h>

#include <atomic>

#include "CDApp.h"
#include "CDPlaylist.h"
#include "RegistryGuard.h"
#include "SkinLayout.h"
#include "SkinProbe.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "TestDiscs.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"

namespace {

const char kRegistryKey[] = "OrvantaCDPlayerTest";

using orvtest::Center;
using orvtest::HotspotCenter;

// An extractor page in the middle of a run.
// How often a busy page was asked whether to stop; kept outside the page, which an
// Exit that stops destroys.
int g_nBusyPageAsked = 0;

class CBusyPage : public CCDSheetPage {
public:
    CBusyPage() : CCDSheetPage(IDD_CD_PLAYLIST) {}
    BOOL IsBusy() const override { return TRUE; }
    // The question whether to stop, answered m_bStop.
    BOOL QueryEnd() override {
        ++g_nBusyPageAsked;
        return m_bStop;
    }
    BOOL m_bStop = FALSE;
};

class CBusySheetPlayer : public CCDPlayerDlg {
protected:
    CCDPropSheet* MakeSheet() override {
        auto* pSheet = new CCDPropSheet(this, std::make_unique<CCDPlaylist>(this), std::make_unique<CBusyPage>());
        pSheet->SetActivePage(1);
        return pSheet;
    }
};

}  // namespace

class CDPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        ASSERT_TRUE(orvtest::PreparePlayerApp(m_app, kRegistryKey, 100, 80));
        ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, cdtest::kDiscKey, "Disc", cdtest::kDemoCue));
        ASSERT_TRUE(m_player.Create(CCDPlayerDlg::IDD, nullptr));
        m_player.m_tooltip.Activate(FALSE);
        m_player.ShowWindow(SW_SHOWNOACTIVATE);
        ASSERT_EQ(m_player.m_disc.m_nTrackCount, 6);
    }
    void TearDown() override {
        if (m_player.m_hWnd) m_player.DestroyWindow();
        orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kRegistryKey);
    }
    // A press and release there, with the click's message handled.
    void Press(POINT at) {
        orvtest::PressAt(m_player.m_hWnd, at);
        orvtest::CUiScript::Settle(m_player.m_hWnd);
        orvtest::PumpFor(50);
    }
    // Presses there; the notice that must come is read and answered. The sheet bears
    // the boxes' caption, so the box is told from it by its window.
    std::string PressExpectingNotice(POINT at) {
        const std::string caption = AfxGetApp()->m_strAppName.GetString();
        HWND hSheet = m_player.m_pSheet->m_hWnd;
        // The script's own sweep for leftover boxes would take the sheet for one.
        orvtest::CUiScript ui("(no leftovers)");
        orvtest::BoxReading reading;
        std::atomic<bool> done{false};
        ui.Run(
            [&](orvtest::CUiScript&) {
                HWND hBox = nullptr;
                for (int i = 0; i < 500 && !hBox; ++i) {
                    hBox = orvtest::FindVisibleDialog(caption.c_str(), hSheet);
                    if (!hBox) ::Sleep(10);
                }
                if (hBox) {
                    reading = orvtest::ReadMessageBox(hBox);
                    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                }
                done = true;
            },
            [&] {
                orvtest::PressAt(m_player.m_hWnd, at);
                orvtest::PumpUntil([&] { return done.load(); }, 8000);
                orvtest::PumpFor(100);
            });
        EXPECT_EQ(reading.icon, orvtest::BoxIcon::Information);
        EXPECT_EQ(reading.buttons, orvtest::BoxButtons::Ok);
        return reading.text;
    }

    orvtest::RegistryGuard m_disc{HKEY_CURRENT_USER, cdtest::kDiscKey};
    CCDApp m_app;
    CBusySheetPlayer m_player;
};

TEST_F(CDPlayerTest, ABusyPageRefusesPlayEjectAndStripPressesUntilAnotherPageIsActive) {
    Press(HotspotCenter(skin::kHotSheet));
    ASSERT_TRUE(m_player.m_bSheetOpen);
    ASSERT_TRUE(m_player.IsSheetBusy());

    const struct {
        POINT at;
        UINT nTextId;
    } refusals[] = {
        {HotspotCenter(skin::kHotPlay), IDS_PLAY_BUSY},
        {HotspotCenter(skin::kHotEject), IDS_EJECT_BUSY},
        {Center({skin::cdlcd::kSlotLeft, skin::cdlcd::kSlotTop, skin::cdlcd::kSlotLeft + skin::cdlcd::kSlotWidth,
                 skin::cdlcd::kSlotBottom}),
         IDS_PLAY_BUSY},
    };
    for (const auto& r : refusals) {
        ASSERT_TRUE(m_player.m_bSheetOpen);
        EXPECT_EQ(PressExpectingNotice(r.at), std::string(LoadText(r.nTextId))) << r.nTextId;
        EXPECT_FALSE(m_player.m_pDisplay->m_bPlaying);
        EXPECT_FALSE(m_player.m_device.m_bDoorOpen);
    }

    m_player.m_pSheet->SetActivePage(0);
    EXPECT_FALSE(m_player.IsSheetBusy()) << "the playlist page is never busy";
    Press(HotspotCenter(skin::kHotPlay));
    EXPECT_TRUE(m_player.m_pDisplay->m_bPlaying);
    EXPECT_EQ(m_player.m_pDisplay->m_nCurrentTrack, 1);

    // Closing the sheet clears the player's hold on it.
    m_player.m_pSheet->DestroyWindow();
    EXPECT_EQ(m_player.m_pSheet, nullptr);
    EXPECT_FALSE(m_player.m_bSheetOpen);
}

// Exit asks the busy page what its Close asks: No keeps the player and the run.
TEST_F(CDPlayerTest, ExitAsksABusyPageWhetherToStop) {
    Press(HotspotCenter(skin::kHotSheet));
    ASSERT_TRUE(m_player.m_bSheetOpen);
    auto* pPage = static_cast<CBusyPage*>(m_player.m_pSheet->GetExtractPage());
    g_nBusyPageAsked = 0;
    Press(HotspotCenter(skin::kHotExit));
    EXPECT_EQ(g_nBusyPageAsked, 1);
    ASSERT_TRUE(::IsWindow(m_player.m_hWnd));
    EXPECT_TRUE(m_player.m_bSheetOpen);
    pPage->m_bStop = TRUE;
    Press(HotspotCenter(skin::kHotExit));
    EXPECT_EQ(g_nBusyPageAsked, 2);
    EXPECT_FALSE(::IsWindow(m_player.m_hWnd));
}

TEST_F(CDPlayerTest, ASuccessThatArrivesWhileANewerRequestPlaysIsIgnored) {
    m_player.Play();
    m_player.PlayChosenTrack(4);
    ASSERT_EQ(m_player.m_pDisplay->m_nCurrentTrack, 4);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_player.m_device.IsPlaying() != FALSE; }, 3000));
    m_player.SendMessage(MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, m_player.m_device.GetDeviceId());
    EXPECT_EQ(m_player.m_pDisplay->m_nCurrentTrack, 4) << "track 4 keeps playing";
    EXPECT_TRUE(m_player.m_pDisplay->m_bPlaying);
    m_player.Stop();
}

TEST(CDPropSheetPlaceTest, TheSheetGoesBelowThePlayerOrUpToTheDesktopsBottom) {
    const CRect rcPlayer(100, 200, 419, 439);
    const struct {
        int nDesktopBottom;
        CPoint pt;
    } cases[] = {{1000, CPoint(100, 439)}, {600, CPoint(110, 300)}};
    for (const auto& c : cases) EXPECT_EQ(CCDPropSheet::PlaceBelow(rcPlayer, 300, c.nDesktopBottom), c.pt) << c.nDesktopBottom;
}

TEST_F(CDPlayerTest, WhileAnAuditionHoldsTheDriveThePlayerLeavesItsDiscAloneAndGetsTheDeviceBack) {
    const CString strIdentifier = m_player.m_disc.m_strIdentifier;
    m_player.ReleaseDevice();
    EXPECT_EQ(m_player.m_device.GetDeviceId(), 0u);
    // Another disc, or none, while the device is closed: no read, no "removed" notice.
    const cdtest::TestDisc other = cdtest::MakeTestDisc("held", {cdtest::Frames(0, 4, 0)});
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, cdtest::kDiscKey, "Disc", other.cue));
    m_player.m_device.Poll();
    EXPECT_FALSE(m_player.m_device.ReadDisc());
    EXPECT_EQ(m_player.m_disc.m_nTrackCount, 6);
    EXPECT_STREQ(m_player.m_disc.m_strIdentifier, strIdentifier);
    m_player.ReclaimDevice();
    EXPECT_NE(m_player.m_device.GetDeviceId(), 0u);
    EXPECT_TRUE(m_player.m_device.ReadDisc());
    EXPECT_EQ(m_player.m_disc.m_nTrackCount, 1);
}
