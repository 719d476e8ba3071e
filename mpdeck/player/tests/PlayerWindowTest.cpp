// The mpdeck player window on screen: hotspot faces and the mouse, the LCD panel,
// the level meter and the volume, read back from the display and the null sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AudioRecorder.h"
#include "MP3App.h"
#include "MPPropSheet.h"
#include "RegistryGuard.h"
#include "SkinLayout.h"
#include "SkinProbe.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"

namespace {

const char kRegistryKey[] = "OrvantaPlayerTest";
const int kLeft = 120, kTop = 90;
const int kBlank = -1;

orvtest::Screenshot g_background, g_faces;

using orvtest::Center;

const skin::Hotspot& Layout(unsigned id) {
    return *skin::FindLayout(id);
}

}  // namespace

class PlayerWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_background = orvtest::LoadBitmapPixels("TELMAR.DLL", IDB_SKIN_WINDOW);
        g_faces = orvtest::LoadBitmapPixels("TELMAR.DLL", IDB_SKIN_FACES);
    }
    void SetUp() override {
        ASSERT_TRUE(g_background.Valid() && g_faces.Valid());
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        AfxSetControlFolder(ORV_CONTROL_DIR);
        AfxEnableControlContainer();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&icc);
        ASSERT_TRUE(orvtest::PreparePlayerApp(m_app, kRegistryKey, kLeft, kTop));
        m_app.m_hHandCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    }
    void TearDown() override {
        if (Player().m_hWnd) {
            Player().m_volume.SetVolume(CMP3PlayerDlg::kVolumeMax);
            Player().m_waveDevice.Close();
            Player().DestroyWindow();
        }
        m_app.m_songList.RemoveAll();
        orvtest::DeleteRegistryKey(HKEY_CURRENT_USER, std::string("Software\\") + kRegistryKey);
    }
    // Opens the player on the given command line, shown and painted.
    bool Open(const std::string& commandLine = "") {
        m_commandLine = commandLine;
        m_app.m_lpCmdLine = &m_commandLine[0];
        if (!Player().Create(CMP3PlayerDlg::IDD, nullptr)) return false;
        // Tips would pop up over the faces the tests look at.
        Player().m_tooltip.Activate(FALSE);
        Player().ShowWindow(SW_SHOWNOACTIVATE);
        Player().UpdateWindow();
        orvtest::PumpFor(100);
        return true;
    }
    CMP3PlayerDlg& Player() { return m_app.m_dlgPlayer; }
    HWND Wnd() { return Player().m_hWnd; }
    CMP3Display& Lcd() { return *Player().m_pDisplay; }
    orvtest::Screenshot Shot(const std::string& name) {
        ::GdiFlush();
        return orvtest::CaptureScreen("player-" + name);
    }
    // Differing pixels between a block of the window and a block of a skin bitmap.
    int Diff(const orvtest::Screenshot& shot, int x, int y, const orvtest::Screenshot& bmp, int bx, int by, int w,
             int h) {
        POINT origin = {0, 0};
        ::ClientToScreen(Wnd(), &origin);
        return orvtest::DifferingPixels(shot, origin.x + x, origin.y + y, bmp, bx, by, w, h);
    }
    int DiffDigit(const orvtest::Screenshot& shot, int x, int digit) {
        const int bx = digit == kBlank ? skin::kDigitBlankX : skin::DigitX(digit);
        return Diff(shot, x, 94, g_faces, bx, skin::kGlyphRowY, skin::kDigitWidth, skin::kDigitHeight);
    }
    // Lit segments of one meter channel; -1 when a segment shows neither image.
    int LitSegments(const orvtest::Screenshot& shot, int x) {
        int nLit = 0;
        for (int i = 0; i < 12; ++i) {
            const int y = 54 + 5 * i;
            const bool lit = Diff(shot, x, y, g_faces, skin::kMeterLit.x, skin::kMeterLit.y, 7, 3) == 0;
            const bool dark = Diff(shot, x, y, g_faces, skin::kMeterUnlit.x, skin::kMeterUnlit.y, 7, 3) == 0;
            if (lit == dark) return -1;
            nLit += lit;
        }
        return nLit;
    }
    // Starts a WAVE file as the one song of the list, the meter running.
    void PlayWave(const std::string& path) {
        m_app.m_songList.RemoveAll();
        m_app.LoadSingleFile(path.c_str());
        Player().m_transport.m_nSongNumber = 1;
        // Played behind the transport's back: its notices are not the player's business.
        Player().m_waveDevice.m_pOwner = nullptr;
        Player().m_waveDevice.m_strPath = path.c_str();
        ASSERT_TRUE(Player().m_waveDevice.Open());
        ASSERT_TRUE(Player().m_waveDevice.Play());
        Lcd().m_bPlaying = 1;
        Player().StartLevelMeter();
    }
    void Click(unsigned id) {
        const UINT before = Player().m_volume.GetVolume();
        orvtest::PressAt(Wnd(), Center(Layout(id).region));
        orvtest::PumpUntil([&] { return Player().m_volume.GetVolume() != before; }, 2000);
    }

    CMP3App m_app;
    std::string m_commandLine;
};

TEST_F(PlayerWindowTest, HotspotFacesFollowTheirStatesAndRepeatNothing) {
    ASSERT_TRUE(Open());
    const UINT states[] = {CSkinHotspot::kPressed, CSkinHotspot::kHighlighted, CSkinHotspot::kNormal};
    for (UINT state : states) {
        for (CSkinHotspot* pHotspot : Player().Hotspots()) Player().DrawHotspot(pHotspot, state);
        const orvtest::Screenshot shot = Shot("faces" + std::to_string(state));
        for (CSkinHotspot* pHotspot : Player().Hotspots()) {
            SCOPED_TRACE(pHotspot->m_nId);
            const CRect& place = pHotspot->m_rcPlace;
            const CRect& source = state == CSkinHotspot::kPressed       ? pHotspot->m_rcPressed
                                  : state == CSkinHotspot::kHighlighted ? pHotspot->m_rcHighlighted
                                                                        : place;
            const orvtest::Screenshot& bmp = state == CSkinHotspot::kNormal ? g_background : g_faces;
            EXPECT_EQ(Diff(shot, place.left, place.top, bmp, source.left, source.top, place.Width(), place.Height()), 0);
        }
    }
    CSkinHotspot* pPlay = Player().FindHotspot(skin::kHotPlay);
    Player().DrawHotspot(pPlay, CSkinHotspot::kPressed);
    {
        CClientDC dc(&Player());
        dc.FillSolidRect(&pPlay->m_rcPlace, RGB(255, 0, 255));
    }
    Player().DrawHotspot(pPlay, CSkinHotspot::kPressed);
    const orvtest::Screenshot shot = Shot("repeat");
    const CRect& place = pPlay->m_rcPlace;
    EXPECT_EQ(Diff(shot, place.left, place.top, g_faces, pPlay->m_rcPressed.left, pPlay->m_rcPressed.top,
                   place.Width(), place.Height()),
              place.Width() * place.Height() - 0)
        << "the second draw of the same state painted";
}

TEST_F(PlayerWindowTest, HoverHighlightsAndLetsGo) {
    ASSERT_TRUE(Open());
    const skin::Hotspot& play = Layout(skin::kHotPlay);
    const int w = play.place.Width(), h = play.place.Height();
    orvtest::Hover(Wnd(), Center(play.region));
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Player().m_nHoverHotspot == skin::kHotPlay; }, 2000));
    EXPECT_EQ(Diff(Shot("hover"), play.place.left, play.place.top, g_faces, play.highlighted.left,
                   play.highlighted.top, w, h),
              0);
    orvtest::Hover(Wnd(), POINT{160, 20});
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Player().m_nHoverHotspot == 0; }, 2000));
    EXPECT_EQ(Diff(Shot("unhover"), play.place.left, play.place.top, g_background, play.place.left, play.place.top,
                   w, h),
              0);
}

TEST_F(PlayerWindowTest, ACornerOfARoundHotspotDragsTheWindow) {
    ASSERT_TRUE(Open());
    const skin::Hotspot& exitSpot = Layout(skin::kHotExit);
    const POINT corner = {exitSpot.place.left, exitSpot.place.top};
    orvtest::MouseDown(Wnd(), corner);
    orvtest::DragTo(Wnd(), POINT{corner.x + 30, corner.y + 20});
    orvtest::MouseUp(Wnd(), corner);
    RECT rc = {};
    EXPECT_TRUE(orvtest::PumpUntil(
        [&] {
            ::GetWindowRect(Wnd(), &rc);
            return !Player().m_bDragging && rc.left == kLeft + 30 && rc.top == kTop + 20;
        },
        3000))
        << rc.left << "," << rc.top;
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Player().FindHotspot(skin::kHotExit)->m_nState, CSkinHotspot::kNormal);
}

TEST_F(PlayerWindowTest, OnlyAPressAndReleaseOnOneHotspotClicks) {
    ASSERT_TRUE(Open());
    Player().m_volume.SetVolume(32768);
    orvtest::MouseDown(Wnd(), Center(Layout(skin::kHotVolumeUp).region));
    orvtest::MouseUp(Wnd(), Center(Layout(skin::kHotVolumeDown).region));
    // A click posted by that release would run before this one.
    Click(skin::kHotVolumeDown);
    EXPECT_EQ(Player().m_volume.GetVolume(), 32768u - 4096u);
    EXPECT_EQ(Player().FindHotspot(skin::kHotVolumeUp)->m_nState, CSkinHotspot::kNormal);
}

TEST_F(PlayerWindowTest, VolumeStepsStopAtTheEnds) {
    ASSERT_TRUE(Open());
    const struct {
        UINT start;
        unsigned hotspot;
        UINT expected;
    } cases[] = {{61439, skin::kHotVolumeUp, 65535}, {4096, skin::kHotVolumeDown, 0}, {20000, skin::kHotVolumeUp, 24096}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Player().m_volume.SetVolume(c.start);
        Click(c.hotspot);
        EXPECT_EQ(Player().m_volume.GetVolume(), c.expected);
    }
    EXPECT_TRUE(Player().m_bVolumeShown);
}

TEST_F(PlayerWindowTest, ToolTipsExistOnlyForExistingTexts) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(Player().m_tooltip.GetToolCount(), 14);
    for (CSkinHotspot* pHotspot : Player().Hotspots()) {
        char text[80] = {};
        TOOLINFOA ti = {};
        ti.cbSize = CSkinToolTip::kToolInfoSize;
        ti.hwnd = Wnd();
        ti.uId = pHotspot->m_nId;
        ti.lpszText = text;
        ASSERT_TRUE(Player().m_tooltip.SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)))
            << pHotspot->m_nId;
        CRect rcBox;
        pHotspot->m_rgn.GetRgnBox(&rcBox);
        EXPECT_TRUE(::EqualRect(&ti.rect, &rcBox));
        EXPECT_TRUE(ti.uFlags & TTF_SUBCLASS);
    }
    // A hotspot whose tip text is missing from the library gets no tool.
    skin::Hotspot extra = Layout(skin::kHotPlay);
    extra.id = 2199;
    struct CProbe : CMP3PlayerDlg {
        using CSkinPlayerDlg::AddHotspot;
    };
    static_cast<CProbe&>(Player()).AddHotspot(extra, telmar::kLastTooltipId);
    EXPECT_EQ(Player().m_tooltip.GetToolCount(), 14);
    EXPECT_EQ(Player().Hotspots().size(), 15u);
}

TEST_F(PlayerWindowTest, StartupShowsTheFirstSongNumberOrZero) {
    const struct {
        const char* commandLine;
        int digit;
    } cases[] = {{"", 0}, {"C:\\no such folder\\song.wav", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.commandLine);
        // A file on the command line plays at once; this one cannot be opened.
        orvtest::CUiScript script("Orvanta-MP3");
        bool bOpened = false;
        script.Run(
            [&](orvtest::CUiScript& ui) {
                if (*c.commandLine) ui.AnswerBox(IDOK, orvtest::BoxIcon::Exclamation, orvtest::BoxButtons::Ok);
            },
            [&] { bOpened = Open(c.commandLine); });
        ASSERT_TRUE(bOpened);
        EXPECT_TRUE(script.Clean()) << script.Report();
        const orvtest::Screenshot shot = Shot("startup");
        EXPECT_EQ(DiffDigit(shot, 33, kBlank) + DiffDigit(shot, 45, kBlank) + DiffDigit(shot, 57, c.digit), 0);
        Player().DestroyWindow();
        m_app.m_songList.RemoveAll();
    }
}

TEST_F(PlayerWindowTest, NumbersAndTimesComeFromTheGlyphStrip) {
    ASSERT_TRUE(Open());
    const struct {
        int number;
        int digits[3];
    } cases[] = {{7, {kBlank, kBlank, 7}}, {42, {kBlank, 4, 2}}, {123, {1, 2, 3}}};
    Lcd().m_nElapsed = 3725;  // 62:05
    Lcd().m_nLength = 59;     // 00:59
    Lcd().DrawElapsed();
    Lcd().DrawLength();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        Lcd().m_nSongNumber = c.number;
        Lcd().DrawSongNumber();
        const orvtest::Screenshot shot = Shot("song");
        EXPECT_EQ(DiffDigit(shot, 33, c.digits[0]) + DiffDigit(shot, 45, c.digits[1]) + DiffDigit(shot, 57, c.digits[2]), 0);
        EXPECT_EQ(DiffDigit(shot, 82, 6) + DiffDigit(shot, 94, 2) + DiffDigit(shot, 108, 0) + DiffDigit(shot, 120, 5), 0);
        EXPECT_EQ(DiffDigit(shot, 144, 0) + DiffDigit(shot, 156, 0) + DiffDigit(shot, 170, 5) + DiffDigit(shot, 182, 9), 0);
        EXPECT_EQ(Diff(shot, 105, 99, g_faces, skin::kColonX, skin::kGlyphRowY, 4, 10), 0);
    }
}

TEST_F(PlayerWindowTest, ModeTextFollowsTheLoopAndShuffleBits) {
    ASSERT_TRUE(Open());
    std::vector<std::vector<COLORREF>> seen;
    const int modes[] = {1, 2, 4, 5, 6};
    for (int mode : modes) {
        Lcd().m_nPlayMode = mode;
        Lcd().DrawMode();
        const orvtest::Screenshot shot = Shot("mode");
        const skin::Rect kModeBox = {210, 91, 268, 103};
        POINT origin = {kModeBox.left, kModeBox.top};
        ::ClientToScreen(Wnd(), &origin);
        std::vector<COLORREF> box;
        for (int y = 0; y < kModeBox.Height(); ++y)
            for (int x = 0; x < kModeBox.Width(); ++x) box.push_back(shot.Pixel(origin.x + x, origin.y + y));
        const orvtest::LabelColumns label = orvtest::MeasureLabel(shot, origin, kModeBox);
        EXPECT_GE(label.textRight, 0) << mode;
        EXPECT_LT(label.textRight, label.groundRight) << "the word ends on its ground; mode " << mode;
        EXPECT_LT(label.groundRight, kModeBox.Width()) << mode;
        seen.push_back(box);
    }
    EXPECT_EQ(seen[2], seen[3]) << "4 and 5 are both shuffle";
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_NE(seen[1], seen[2]);
    EXPECT_NE(seen[2], seen[4]);
    EXPECT_NE(seen[0], seen[4]);
}

TEST_F(PlayerWindowTest, IndicatorsShowTheirFlags) {
    ASSERT_TRUE(Open());
    const int xs[] = {210, 219, 242, 228};
    for (int on = 1; on >= 0; --on) {
        Lcd().m_bPlaying = Lcd().m_bPaused = Lcd().m_bSeekForward = Lcd().m_bSeekBack = on;
        for (int i = 1; i <= 4; ++i) Lcd().DrawIndicator(i);
        const orvtest::Screenshot shot = Shot("indicators");
        for (int i = 0; i < 4; ++i) {
            const skin::Indicator& ind = skin::kIndicators[i];
            EXPECT_EQ(Diff(shot, xs[i], 105, g_faces, on ? ind.litX : ind.darkX, skin::kIndicatorY, ind.width, 9), 0)
                << i << " on=" << on;
        }
    }
}

TEST_F(PlayerWindowTest, VolumeBarLightsThreeColumnsPerLevel) {
    ASSERT_TRUE(Open());
    const struct {
        int level, lit;
    } cases[] = {{0, 0}, {1, 2}, {15, 44}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        Lcd().DrawVolume(c.level);
        const orvtest::Screenshot shot = Shot("volume");
        // The "VOL" label above reaches into the bar's top rows.
        const int top = 3;
        EXPECT_EQ(Diff(shot, 210, 94 + top, g_faces, 135, 94 + top, c.lit, 15 - top), 0);
        EXPECT_EQ(Diff(shot, 210 + c.lit, 94 + top, g_faces, 135 + c.lit, 111 + top, 44 - c.lit, 15 - top), 0);
    }
}

TEST_F(PlayerWindowTest, FormatLineIsForMpegOnly) {
    // A one-song list that is not played: a file on the command line would start at once.
    ASSERT_TRUE(Open());
    m_app.LoadSingleFile("C:\\music\\song.wav");
    Player().m_transport.m_nSongNumber = 1;
    Lcd().m_bPlaying = 1;
    Lcd().m_strArtist = "Artist";
    Lcd().m_nSamplingFrequency = 44100;
    Lcd().m_nBitRate = 128000;
    const CRect rcLines(33, 48, 213, 72);
    Lcd().DrawFormat();
    EXPECT_EQ(Diff(Shot("format-wave"), 33, 48, g_background, 33, 48, rcLines.Width(), rcLines.Height()), 0);
    m_app.m_songList.GetAt(0)->m_nType = SONG_MPEG;
    // With or without an artist, the line keeps its own row, clear of the meter.
    for (const char* artist : {"Artist", ""}) {
        SCOPED_TRACE(artist);
        Lcd().m_strArtist = artist;
        Lcd().DrawFormat();
        const orvtest::Screenshot shot = Shot(*artist ? "format-mpeg" : "format-mpeg-no-artist");
        EXPECT_GT(Diff(shot, 33, 60, g_background, 33, 60, 180, 12), 20);
        EXPECT_EQ(Diff(shot, 33, 48, g_background, 33, 48, 180, 12), 0);
    }
}

TEST_F(PlayerWindowTest, TitleShowsAmpersandsAsTyped) {
    ASSERT_TRUE(Open());
    Lcd().m_bPlaying = 1;
    std::vector<int> ink;
    // Read as a prefix mark, the ampersand would vanish and only underline the blank.
    for (const char* title : {"Rock & Roll", "Rock  Roll"}) {
        Lcd().m_strTitle = title;
        Lcd().DrawTitle();
        ink.push_back(Diff(Shot("title"), 33, 35, g_background, 33, 35, 255, 14));
    }
    EXPECT_GE(ink[0], ink[1] + 12) << ink[0] << " vs " << ink[1];
}

TEST_F(PlayerWindowTest, MeterFallsOneSegmentPerDraw) {
    ASSERT_TRUE(Open());
    CLevelMeter& meter = *Player().m_pMeter;
    meter.m_dwLeft = meter.m_dwRight = CLevelMeter::kFullScale;
    for (int expected = 12; expected >= 11; --expected) {
        meter.Draw();
        const orvtest::Screenshot shot = Shot("meter");
        EXPECT_EQ(LitSegments(shot, 274), expected);
        EXPECT_EQ(LitSegments(shot, 283), expected);
    }
}

TEST_F(PlayerWindowTest, MeterMovesWithTheWavePlayedAndNotWithSilence) {
    ASSERT_TRUE(Open());
    const std::string dir = orvtest::MakeTempDir("meter");
    const std::string loud = dir + "\\loud.wav", quiet = dir + "\\quiet.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(loud, 4000, 44100, 2, 440.0));
    ASSERT_TRUE(orvtest::WriteToneWave(quiet, 2000, 44100, 2, 0.0));
    CLevelMeter& meter = *Player().m_pMeter;

    PlayWave(loud);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return CLevelMeter::LitSegments(meter.m_dwLeft) >= 7; }, 3000));
    EXPECT_GE(LitSegments(Shot("meter-loud"), 274), 6);
    ASSERT_TRUE(Player().m_waveDevice.Pause());
    EXPECT_TRUE(orvtest::PumpUntil(
        [&] { return CLevelMeter::LitSegments(meter.m_dwLeft) == 0 && CLevelMeter::LitSegments(meter.m_dwRight) == 0; },
        3000));
    orvtest::PumpFor(150);
    EXPECT_EQ(LitSegments(Shot("meter-paused"), 274), 0);

    Player().m_waveDevice.Close();
    PlayWave(quiet);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Player().m_waveDevice.PositionMs() >= 500; }, 3000));
    EXPECT_EQ(CLevelMeter::LitSegments(meter.m_dwLeft), 0);
    EXPECT_EQ(LitSegments(Shot("meter-silent"), 274), 0);
}

TEST_F(PlayerWindowTest, MeterMovesWithTheMp3Played) {
    const std::string mp3 = std::string(ORV_MP3_FIXTURES) + "\\tone44js.mp3";
    ASSERT_TRUE(Open(mp3));
    CLevelMeter& meter = *Player().m_pMeter;
    Player().m_transport.m_nSongNumber = 1;
    ASSERT_EQ(Player().m_mp3Play.OpenAndPlay(mp3.c_str()), 0);
    Lcd().m_bPlaying = 1;
    Player().StartLevelMeter();
    ASSERT_TRUE(orvtest::PumpUntil([&] { return CLevelMeter::LitSegments(meter.m_dwLeft) >= 9; }, 3000));
    EXPECT_GE(LitSegments(Shot("meter-mp3"), 283), 8);
    ASSERT_EQ(Player().m_mp3Play.Pause(), 0);
    EXPECT_TRUE(orvtest::PumpUntil([&] { return CLevelMeter::LitSegments(meter.m_dwRight) == 0; }, 3000));
    Player().m_mp3Play.Stop();
    Player().m_mp3Play.Close();
}

TEST_F(PlayerWindowTest, VolumeDownLowersWhatIsHeard) {
    ASSERT_TRUE(Open());
    const std::string dir = orvtest::MakeTempDir("volume");
    const std::string tone = dir + "\\tone.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(tone, 5000, 44100, 2, 440.0));
    Player().m_volume.SetVolume(CMP3PlayerDlg::kVolumeMax);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("player-volume"));
    PlayWave(tone);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return recorder.HeardSound(); }, 5000));
    orvtest::PumpFor(800);
    for (int i = 0; i < 12; ++i) Click(skin::kHotVolumeDown);  // 65535 -> 16383
    EXPECT_EQ(Player().m_volume.GetVolume(), 16383u);
    orvtest::PumpFor(1000);
    Player().m_waveDevice.Stop();
    const orvtest::Pcm heard = recorder.Stop();
    std::vector<double> rms = orvtest::WindowRms(heard, 100);
    rms.erase(std::remove_if(rms.begin(), rms.end(), [](double r) { return r < orvtest::kSilenceRms; }), rms.end());
    ASSERT_GE(rms.size(), 10u);
    const double before = rms[2], after = rms[rms.size() - 3];
    EXPECT_LT(after, before * 0.5) << before << " -> " << after;
}

TEST_F(PlayerWindowTest, FullDrawsKeepNoGdiObjects) {
    ASSERT_TRUE(Open());
    m_app.LoadSingleFile("C:\\music\\song.mp3");
    Player().m_transport.m_nSongNumber = 1;
    Lcd().m_bPlaying = 1;
    Lcd().m_strTitle = "Rock & Roll";
    Lcd().m_strArtist = "Artist";
    Lcd().m_nSamplingFrequency = 44100;
    Lcd().m_nBitRate = 128000;
    CClientDC dc(&Player());
    auto draw = [&](int i) {
        Lcd().DrawAll(i % 2 ? &dc : nullptr);
        Lcd().DrawVolume(i % 16);
        Player().m_pMeter->Draw();
    };
    // The system keeps a few DCs of its own once a window's DC has been asked for.
    for (int i = 0; i < 20; ++i) draw(i);
    const unsigned before = orvtest::GdiObjectCount();
    for (int i = 0; i < 5000; ++i) draw(i);
    const unsigned after = orvtest::GdiObjectCount();
    EXPECT_LE(after, before + 2);
    // The count sees objects that are kept.
    CPen pens[5];
    for (CPen& pen : pens) pen.CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    EXPECT_GE(orvtest::GdiObjectCount(), after + 5);
}

TEST_F(PlayerWindowTest, TheHelpPageIsQuotedForTheBrowser) {
    const struct {
        const char* command;
        const char* expected;
    } cases[] = {
        {"\"C:\\Web\\browser.exe\" \"", "\"C:\\Web\\browser.exe\" \"c:\\program files\\orvanta\\mpdeck.htm\""},
        {"C:\\Web\\browser.exe ", "C:\\Web\\browser.exe \"c:\\program files\\orvanta\\mpdeck.htm\""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(CMP3PlayerDlg::BrowserCommandFor(c.command, "c:\\program files\\orvanta\\mpdeck.htm"), c.expected);
    }
}

TEST_F(PlayerWindowTest, TheSheetGoesBelowThePlayerOrUpAgainstTheDesktopBottom) {
    const CRect desktop(0, 0, 1024, 768), sheet(0, 0, 400, 300), high(50, 100, 369, 339), low(50, 500, 369, 739);
    EXPECT_EQ(CMPPropSheet::PlaceBelow(high, sheet, desktop), CPoint(50, 339));
    EXPECT_EQ(CMPPropSheet::PlaceBelow(low, sheet, desktop), CPoint(60, 468));
    EXPECT_EQ(CMPPropSheet::PlaceBelow(CRect(50, 200, 369, 468), sheet, desktop), CPoint(50, 468)) << "flush fits";
}

TEST_F(PlayerWindowTest, OnlyTheActivePageHearsOfPlayingAndTheSheetGoesWithThePlayer) {
    const std::string dir = orvtest::MakeTempDir("sheet");
    const std::string tone = dir + "\\tone.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(tone, 3000, 22050, 1, 440.0));
    ASSERT_TRUE(Open("\"" + tone + "\""));
    Player().Stop();
    Player().OpenSheet();
    ASSERT_TRUE(Player().m_bSheetOpen);
    CMPPropSheet* pSheet = Player().m_pSheet;
    Player().OpenSheet();
    EXPECT_EQ(Player().m_pSheet, pSheet) << "one sheet at most";
    // A batch page with a job can start only while the player is not playing.
    auto startEnabled = [](CBatchPage& page, int nStartId) { return ::IsWindowEnabled(::GetDlgItem(page.m_hWnd, nStartId)); };
    ASSERT_TRUE(pSheet->SetActivePage(2));
    ASSERT_TRUE(pSheet->SetActivePage(1));
    pSheet->m_pageEncode.m_jobs.InsertItem(0, tone.c_str());
    pSheet->m_pageDecode.m_jobs.InsertItem(0, tone.c_str());
    pSheet->m_pageEncode.RefreshRunButtons();
    EXPECT_TRUE(startEnabled(pSheet->m_pageEncode, IDC_ENCODE_START));
    Player().Play();
    ASSERT_TRUE(Lcd().m_bPlaying);
    EXPECT_FALSE(startEnabled(pSheet->m_pageEncode, IDC_ENCODE_START));
    ASSERT_TRUE(pSheet->SetActivePage(2));
    EXPECT_FALSE(startEnabled(pSheet->m_pageDecode, IDC_DECODE_START));
    Player().Stop();
    EXPECT_TRUE(startEnabled(pSheet->m_pageDecode, IDC_DECODE_START));
    EXPECT_FALSE(startEnabled(pSheet->m_pageEncode, IDC_ENCODE_START)) << "no longer active";

    Player().DestroyWindow();
    EXPECT_FALSE(Player().m_bSheetOpen);
    EXPECT_EQ(Player().m_pSheet, nullptr);
}

// A song removed on the open playlist page is an edit of the playlist: Exit asks
// about saving it before the sheet goes (Cancel keeps the player and the page).
// Play plays the songs the open playlist page shows, not the list before its edits.
TEST_F(PlayerWindowTest, PlayTakesTheEditsOfTheOpenPlaylistPage) {
    const std::string tone = orvtest::MakeTempDir("page-play") + "\\tone.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(tone, 2000, 22050, 1, 440.0));
    ASSERT_TRUE(Open());
    Player().OpenSheet();
    CMPlaylist& page = Player().m_pSheet->m_pagePlaylist;
    ASSERT_TRUE(page.m_hWnd);
    page.AddSongFile(tone.c_str(), 0);
    orvtest::CUiScript script("Orvanta-MP3");
    bool bQuiet = false;
    script.Run([&](orvtest::CUiScript& ui) { bQuiet = ui.NoBoxFor(1000); },
               [&] { orvtest::PressAt(Wnd(), Center(Layout(skin::kHotPlay).region)); });
    EXPECT_TRUE(bQuiet) << script.Report();
    EXPECT_TRUE(Lcd().m_bPlaying);
    Player().Stop();
}

TEST_F(PlayerWindowTest, ExitAsksAboutEditsOfTheOpenPlaylistPage) {
    const std::string tone = orvtest::MakeTempDir("exit") + "\\tone.wav";
    ASSERT_TRUE(orvtest::WriteToneWave(tone, 1000, 22050, 1, 440.0));
    ASSERT_TRUE(Open("\"" + tone + "\""));
    Player().Stop();
    Player().OpenSheet();
    CMPlaylist& page = Player().m_pSheet->m_pagePlaylist;
    ASSERT_TRUE(page.m_hWnd);
    orvtest::CUiScript::SelectListViewRow(page.m_hWnd, IDC_BATCH_JOBS, 0);
    orvtest::CUiScript::Click(page.m_hWnd, IDC_BATCH_REMOVE);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return page.WorkingList().GetCount() == 0; }, 3000));
    orvtest::CUiScript script("Orvanta-MP3");
    std::string asked;
    script.Run([&](orvtest::CUiScript& ui) {
        asked = ui.AnswerBox(IDCANCEL, orvtest::BoxIcon::Question, orvtest::BoxButtons::YesNoCancel);
    }, [&] { orvtest::PressAt(Wnd(), Center(Layout(skin::kHotExit).region)); });
    EXPECT_TRUE(script.Clean()) << script.Report();
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(asked, LoadText(IDS_ASK_SAVE_PLAYLIST).GetString());
    EXPECT_TRUE(Player().m_bSheetOpen);
}
