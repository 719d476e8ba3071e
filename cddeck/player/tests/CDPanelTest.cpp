// The CD player's LCD panel on the player window: digits, texts and the track strip
// read back from the screen and compared with the skin bitmaps of TELMAR.DLL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CDApp.h"
#include "RegistryGuard.h"
#include "SkinLayout.h"
#include "SkinProbe.h"
#include "TelmarIds.h"
#include "TestDiscs.h"
#include "TestSkinApp.h"
#include "TestSupport.h"

namespace {

using namespace skin::cdlcd;

const char kRegistryKey[] = "OrvantaCDPanelTest";
const int kLeft = 140, kTop = 100;
const int kBlank = -1;
const COLORREF kPanelColour = RGB(0, 193, 207);
const COLORREF kSlotGrey = RGB(65, 65, 65);

orvtest::Screenshot g_background, g_faces;

using orvtest::Center;

}  // namespace

class CDPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_background = orvtest::LoadBitmapPixels("TELMAR.DLL", IDB_SKIN_WINDOW);
        g_faces = orvtest::LoadBitmapPixels("TELMAR.DLL", IDB_SKIN_FACES);
    }
    void SetUp() override {
        ASSERT_TRUE(g_background.Valid() && g_faces.Valid());
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        ASSERT_TRUE(orvtest::PreparePlayerApp(m_app, kRegistryKey, kLeft, kTop));
        ASSERT_TRUE(Insert(cdtest::kDemoCue));
    }
    void TearDown() override {
        if (Player().m_hWnd) Player().DestroyWindow();
        orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kRegistryKey);
    }
    static bool Insert(const std::string& cue) {
        return orvtest::SetRegistryString(HKEY_CURRENT_USER, cdtest::kDiscKey, "Disc", cue);
    }
    bool Open() {
        if (!Player().Create(CCDPlayerDlg::IDD, nullptr)) return false;
        Player().m_tooltip.Activate(FALSE);
        Player().ShowWindow(SW_SHOWNOACTIVATE);
        Player().UpdateWindow();
        orvtest::PumpFor(100);
        return true;
    }
    CCDPlayerDlg& Player() { return m_app.m_dlgPlayer; }
    CCDDisplay& Lcd() { return *Player().m_pDisplay; }
    CTrackStrip& Strip() { return Lcd().m_strip; }
    orvtest::Screenshot Shot(const std::string& name) {
        // Wine hands what was drawn to the X server when the thread looks at its queue.
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
        ::GdiFlush();
        return orvtest::CaptureScreen("cdpanel-" + name);
    }
    POINT Origin() {
        POINT origin = {0, 0};
        ::ClientToScreen(Player().m_hWnd, &origin);
        return origin;
    }
    int Diff(const orvtest::Screenshot& shot, int x, int y, const orvtest::Screenshot& bmp, int bx, int by, int w, int h) {
        const POINT origin = Origin();
        return orvtest::DifferingPixels(shot, origin.x + x, origin.y + y, bmp, bx, by, w, h);
    }
    int DiffDigit(const orvtest::Screenshot& shot, int x, int digit) {
        const int bx = digit == kBlank ? skin::kDigitBlankX : skin::DigitX(digit);
        return Diff(shot, x, kDigitY, g_faces, bx, skin::kGlyphRowY, skin::kDigitWidth, skin::kDigitHeight);
    }
    int DiffTime(const orvtest::Screenshot& shot, const int* xs, int seconds) {
        const int digits[] = {seconds / 600, seconds / 60 % 10, seconds % 60 / 10, seconds % 10};
        int n = 0;
        for (int i = 0; i < 4; ++i) n += DiffDigit(shot, xs[i], digits[i]);
        return n;
    }
    std::vector<COLORREF> Block(const orvtest::Screenshot& shot, const skin::Rect& rc) {
        const POINT origin = Origin();
        std::vector<COLORREF> pixels;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) pixels.push_back(shot.Pixel(origin.x + x, origin.y + y));
        return pixels;
    }
    skin::Rect Slot(int k) { return {kSlotLeft + kSlotPitch * k, kSlotTop, kSlotLeft + kSlotPitch * k + kSlotWidth, kSlotBottom}; }
    COLORREF SlotGround(const orvtest::Screenshot& shot, int k) {
        const POINT origin = Origin();
        return shot.Pixel(origin.x + Slot(k).left, origin.y + kSlotTop);
    }

    orvtest::RegistryGuard m_disc{HKEY_CURRENT_USER, cdtest::kDiscKey};
    orvtest::IniFileGuard m_discDatabase{"cddeck.ini"};
    CCDApp m_app;
};

TEST_F(CDPanelTest, StartupShowsTheDiscsTrackCountTotalTimeAndSelection) {
    ASSERT_TRUE(Open());
    const int total = Player().m_disc.m_nTotalTime;
    ASSERT_EQ(Player().m_disc.m_nTrackCount, 6);
    ASSERT_GT(total, 60);
    const orvtest::Screenshot shot = Shot("startup");
    EXPECT_EQ(DiffDigit(shot, kTrackX[0], kBlank) + DiffDigit(shot, kTrackX[1], 6), 0);
    EXPECT_EQ(DiffTime(shot, kLengthX, total), 0);
    EXPECT_EQ(DiffTime(shot, kElapsedX, 0), 0);
    for (int k = 0; k < kSlotCount; ++k) EXPECT_EQ(SlotGround(shot, k), k < 6 ? kPanelColour : kSlotGrey) << k;
}

TEST_F(CDPanelTest, TrackNumberShowsABlankTensDigitBelowTen) {
    ASSERT_TRUE(Open());
    const struct {
        int track, tens, units;
    } cases[] = {{7, kBlank, 7}, {12, 1, 2}};
    for (const auto& c : cases) {
        Lcd().m_nCurrentTrack = c.track;
        Lcd().DrawTrackNumber();
        const orvtest::Screenshot shot = Shot("track");
        EXPECT_EQ(DiffDigit(shot, kTrackX[0], c.tens) + DiffDigit(shot, kTrackX[1], c.units), 0) << c.track;
    }
}

TEST_F(CDPanelTest, ModeTextFollowsTheLoopAndShuffleBits) {
    ASSERT_TRUE(Open());
    const int modes[] = {1, 2, 4, 5, 6, 3};
    std::vector<std::vector<COLORREF>> seen;
    for (int mode : modes) {
        Lcd().m_nMode = mode;
        Lcd().DrawMode();
        const orvtest::Screenshot shot = Shot("mode");
        seen.push_back(Block(shot, kModeBox));
        const POINT origin = Origin();
        const orvtest::LabelColumns label =
            orvtest::MeasureLabel(shot, {origin.x + kModeBox.left, origin.y + kModeBox.top}, kModeBox);
        EXPECT_LT(label.textRight, label.groundRight) << "the word ends on its ground; mode " << mode;
        EXPECT_LT(label.groundRight, kModeBox.Width()) << mode;
    }
    EXPECT_EQ(seen[2], seen[3]) << "5 shows the shuffle text like 4";
    EXPECT_EQ(seen[4], seen[5]) << "6 and 3 show the loop-and-shuffle text";
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (!(i == 2 && j == 3)) {
                EXPECT_NE(seen[i], seen[j]) << modes[i] << " vs " << modes[j];
            }
}

TEST_F(CDPanelTest, StripPagesOneTrackAtATimeToTheLastSixteen) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Strip().Build(20));
    Strip().SetMark(5, TRUE);
    Strip().SetMark(17, TRUE);
    Strip().Draw();
    const orvtest::Screenshot first = Shot("strip-1");
    const POINT right = Center(kRightArrowPlace);
    const struct {
        int presses, firstTrack;
    } pages[] = {{3, 4}, {1, 5}, {1, 5}};
    for (const auto& page : pages) {
        for (int i = 0; i < page.presses; ++i) EXPECT_TRUE(Strip().PressArrow(right));
        const orvtest::Screenshot shot = Shot("strip");
        for (int k = 0; k < kSlotCount; ++k) {
            const int track = page.firstTrack + k;
            ASSERT_EQ(Strip().SlotTrack(k), track);
            ASSERT_EQ(Strip().HitTest(Center(Slot(k))), track);
            // A number seen on the first page looks the same in its new place.
            if (track <= kSlotCount) {
                EXPECT_EQ(Block(shot, Slot(k)), Block(first, Slot(track - 1))) << "slot " << k;
            }
            EXPECT_EQ(SlotGround(shot, k), track == 5 || track == 17 ? kPanelColour : kSlotGrey) << "slot " << k;
        }
    }
    EXPECT_FALSE(Strip().CanScrollRight());
    // Blinking a track out of view pages back just far enough.
    Strip().Blink(nullptr, 2, 1);
    EXPECT_EQ(Strip().GetFirstTrack(), 2);
    Strip().Blink(nullptr, 18, 1);
    EXPECT_EQ(Strip().GetFirstTrack(), 3);
    EXPECT_EQ(SlotGround(Shot("blink"), 18 - 3), kPanelColour) << "the highlighted look of an unmarked track";
}

// A message fills the title row, its detail the artist row; message 0 clears both.
TEST_F(CDPanelTest, MessageAndDetailShowAndMessageZeroClearsThem) {
    ASSERT_TRUE(Open());
    const skin::Rect area = {kTitle.left, kTitle.top, kTitle.right, kArtist.bottom};
    const skin::Rect detail = {kArtist.left, kTitle.bottom, kArtist.right, kArtist.bottom};
    auto changed = [&](const skin::Rect& r, const char* tag) {
        return Diff(Shot(tag), r.left, r.top, g_background, r.left, r.top, r.Width(), r.Height());
    };
    Lcd().ShowMessage(IDS_CD_NO_DISC);
    EXPECT_GT(changed(area, "message"), 40);
    EXPECT_EQ(changed(detail, "message"), 0);
    Lcd().ShowMessage(IDS_CD_NO_DISC, "\"cut.flac\" is cut short");
    EXPECT_GT(changed(detail, "detail"), 40);
    Lcd().RedrawAll();
    EXPECT_GT(changed(detail, "detail redrawn"), 40);
    Lcd().ShowMessage(0);
    EXPECT_EQ(changed(area, "cleared"), 0);
}

TEST_F(CDPanelTest, VolumeBarLightsThreeColumnsPerLevel) {
    ASSERT_TRUE(Open());
    const struct {
        int level, lit;
    } cases[] = {{0, 0}, {15, 44}};
    for (const auto& c : cases) {
        Lcd().ShowVolume(c.level);
        const orvtest::Screenshot shot = Shot("volume");
        // The "VOL" label reaches into the bar's top rows.
        const int top = 3, h = skin::kVolumeBarHeight - top;
        EXPECT_EQ(Diff(shot, kVolumeBar.x, kVolumeBar.y + top, g_faces, skin::kVolumeLit.x, skin::kVolumeLit.y + top, c.lit, h), 0)
            << c.level;
        EXPECT_EQ(Diff(shot, kVolumeBar.x + c.lit, kVolumeBar.y + top, g_faces, skin::kVolumeUnlit.x + c.lit,
                       skin::kVolumeUnlit.y + top, skin::kVolumeBarWidth - c.lit, h),
                  0)
            << c.level;
    }
}

TEST_F(CDPanelTest, AnEmptyDriveIsReportedAboutThreeSecondsAfterStart) {
    ASSERT_TRUE(Insert(""));
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Lcd().m_nMessage == IDS_CD_NO_DISC; }, 8000));
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_GE(elapsed, 2800u);
    EXPECT_LE(elapsed, 5000u);
    EXPECT_GT(Diff(Shot("no-disc"), kTitle.left, kTitle.top, g_background, kTitle.left, kTitle.top, kTitle.Width(),
                   kTitle.Height()),
              40);
}
