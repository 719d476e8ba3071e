// The installed cddeck playing the demo disc, driven by mouse presses on its hotspots
// and its track strip; what it does is read off the screen (LCD glyphs against the
// skin) and heard on the sound sink (each demo track has its own pitch).
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "AudioRecorder.h"
#include "DemoDiscPlan.h"
#include "ProgramDriver.h"
#include "RegistryGuard.h"
#include "SkinLayout.h"
#include "SkinProbe.h"
#include "TestDiscs.h"
#include "TestSupport.h"

using namespace orvtest;
using namespace skin::cdlcd;

namespace {

const DWORD kStartTimeout = 20000;
const DWORD kQuitTimeout = 10000;
const char kCdPlayerText[] = "OrvCDPlayer";
const char kMp3PlayerText[] = "OrvMP3Player";
const char kCdTitle[] = "Orvanta-CD";
const char kDiscKey[] = "Software\\Orvanta\\CDAudio";
const char kDemoCue[] = "C:\\Program Files\\Orvanta\\Demo\\Disc\\Orvanta Demo Disc.cue";
const int kLeft = 120, kTop = 60;
const int kBlank = -1;
const COLORREF kPanelColour = RGB(0, 193, 207);
const UINT kSwitchToCd = 32771;
const double kListenMs = 1200;

skin::Rect Slot(int k) {
    return {kSlotLeft + kSlotPitch * k, kSlotTop, kSlotLeft + kSlotPitch * k + kSlotWidth, kSlotBottom};
}

bool Near(double hz, double expected) {
    return std::fabs(hz - expected) < expected * 0.03;
}

Screenshot g_background, g_faces;

}  // namespace

class CdPlayerE2eTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_background = LoadBitmapPixels(InstalledPath("TELMAR.DLL"), 2020);
        g_faces = LoadBitmapPixels(InstalledPath("TELMAR.DLL"), 2021);
    }
    void SetUp() override {
        ASSERT_TRUE(g_background.Valid() && g_faces.Valid());
        EndSuitePrograms();
        ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", kDemoCue));
        ASSERT_TRUE(SetRegistryDword(HKEY_CURRENT_USER, ProfileKey("cddeck"), "X", kLeft));
        ASSERT_TRUE(SetRegistryDword(HKEY_CURRENT_USER, ProfileKey("cddeck"), "Y", kTop));
        ASSERT_TRUE(m_run.Start("cddeck"));
        m_hPlayer = WaitForWindow(kCdPlayerText, kStartTimeout);
        ASSERT_NE(m_hPlayer, nullptr);
        // The disc has been read once the panel shows its six tracks.
        ASSERT_TRUE(PumpUntil([&] { return ShowsTrack(Shot("start"), orvdemo::kDemoTrackCount); }, 10000));
    }
    void TearDown() override { EndSuitePrograms(); }

    void Press(unsigned hotspot, DWORD holdMs = 0) { PressAt(m_hPlayer, HotspotCenter(hotspot), MouseButton::Left, holdMs); }
    Screenshot Shot(const std::string& name) {
        PumpFor(50);
        return CaptureScreen("cdplayer-" + name);
    }
    int Diff(const Screenshot& shot, int x, int y, const Screenshot& bmp, int bx, int by, int w, int h) {
        const POINT origin = WindowOrigin(m_hPlayer);
        return DifferingPixels(shot, origin.x + x, origin.y + y, bmp, bx, by, w, h);
    }
    int DiffDigit(const Screenshot& shot, int x, int digit) {
        const int bx = digit == kBlank ? skin::kDigitBlankX : skin::DigitX(digit);
        return Diff(shot, x, kDigitY, g_faces, bx, skin::kGlyphRowY, skin::kDigitWidth, skin::kDigitHeight);
    }
    bool ShowsTrack(const Screenshot& shot, int track) {
        const int tens = track < 10 ? kBlank : track / 10;
        return DiffDigit(shot, kTrackX[0], tens) + DiffDigit(shot, kTrackX[1], track % 10) == 0;
    }
    bool ShowsTime(const Screenshot& shot, const int* xs, int seconds) {
        const int digits[] = {seconds / 600, seconds / 60 % 10, seconds % 60 / 10, seconds % 10};
        int n = 0;
        for (int i = 0; i < 4; ++i) n += DiffDigit(shot, xs[i], digits[i]);
        return n == 0;
    }
    // The elapsed seconds the LCD shows, -1 when they cannot be read.
    int ShownElapsed(const Screenshot& shot) {
        for (int s = 0; s < 120; ++s) {
            if (ShowsTime(shot, kElapsedX, s)) return s;
        }
        return -1;
    }
    bool WaitForTrack(int track, DWORD timeoutMs = 8000) {
        return PumpUntil([&] { return ShowsTrack(Shot("track"), track); }, timeoutMs);
    }
    // The title area as the skin leaves it: no title, artist or message.
    bool TitleAreaEmpty(const Screenshot& shot) {
        const skin::Rect area = {kTitle.left, kTitle.top, kTitle.right, kArtist.bottom};
        return Diff(shot, area.left, area.top, g_background, area.left, area.top, area.Width(), area.Height()) == 0;
    }
    std::vector<COLORREF> Block(const Screenshot& shot, const skin::Rect& rc) {
        const POINT origin = WindowOrigin(m_hPlayer);
        std::vector<COLORREF> pixels;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x) pixels.push_back(shot.Pixel(origin.x + x, origin.y + y));
        return pixels;
    }
    Pcm Listen(const std::string& name, double ms = kListenMs) {
        CAudioRecorder recorder;
        if (!recorder.Start(name)) return Pcm();
        PumpFor(static_cast<DWORD>(ms));
        return recorder.Stop();
    }
    // Opens the sheet with its hotspot; nullptr when it does not show.
    HWND OpenSheet() {
        Press(skin::kHotSheet);
        HWND hSheet = nullptr;
        PumpUntil(
            [&] {
                for (HWND hWnd : VisibleWindowsOf(m_run.ProcessId())) {
                    if (hWnd != m_hPlayer && WindowText(hWnd) == kCdTitle && ClassName(hWnd) == "#32770") hSheet = hWnd;
                }
                return hSheet != nullptr;
            },
            5000);
        return hSheet;
    }
    static HWND VisiblePage(HWND hSheet) {
        for (HWND h = ::GetWindow(hSheet, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (ClassName(h) == "#32770" && ::IsWindowVisible(h)) return h;
        }
        return nullptr;
    }
    // The rows of the track list on the page in view; -1 without one.
    static int TrackRows(HWND hSheet) {
        HWND hPage = VisiblePage(hSheet);
        HWND hList = hPage ? ::FindWindowExA(hPage, nullptr, "SysListView32", nullptr) : nullptr;
        return hList ? static_cast<int>(::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0)) : -1;
    }
    static bool ShowPage(HWND hSheet, int index) {
        ::PostMessageA(hSheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        return PumpUntil([&] { return VisiblePage(hSheet) == PropSheet_IndexToHwnd(hSheet, index); }, 5000);
    }
    static DWORD RunDiscTool(const std::string& arguments) {
        return RunProgram("\"" + InstalledPath("orvdisc.exe") + "\" " + arguments);
    }

    RegistryGuard m_cdProfile{HKEY_CURRENT_USER, ProfileKey("cddeck")};
    RegistryGuard m_mp3Profile{HKEY_CURRENT_USER, ProfileKey("mpdeck")};
    RegistryGuard m_disc{HKEY_CURRENT_USER, kDiscKey};
    IniFileGuard m_discDatabase{"cddeck.ini"};
    ProgramRun m_run;
    HWND m_hPlayer = nullptr;
};

TEST_F(CdPlayerE2eTest, PlayShowsTrackOneAndAScanToItsEndGoesOnToTrackTwo) {
    Press(skin::kHotPlay);
    ASSERT_TRUE(WaitForTrack(1));
    const Pcm first = Listen("cdplayer-track1");
    EXPECT_TRUE(Near(DominantFrequency(first), orvdemo::kDemoTracks[0].droneHz)) << DominantFrequency(first);
    const Screenshot a = Shot("playing");
    EXPECT_TRUE(ShowsTime(a, kLengthX, 21));
    const int elapsed = ShownElapsed(a);
    EXPECT_GE(elapsed, 0);
    ASSERT_TRUE(PumpUntil([&] { return ShownElapsed(Shot("rising")) > elapsed; }, 3000)) << "elapsed time rises";
    // Slot 1 blinks: its ground changes between the two looks.
    const COLORREF ground = Block(Shot("blink"), Slot(0))[0];
    EXPECT_TRUE(PumpUntil([&] { return Block(Shot("blink"), Slot(0))[0] != ground; }, 2000));

    // Held 2 s: 0.5 s to start the scan, then a second per 75 ms.
    Press(skin::kHotNext, 2000);
    const int scanned = ShownElapsed(Shot("scanned"));
    EXPECT_GE(scanned, 16);
    EXPECT_LE(scanned, 21);
    // The end of track 1 is near; what follows is track 2, not silence.
    ASSERT_TRUE(WaitForTrack(2, 8000)) << "a scan must not stop playback";
    const Pcm second = Listen("cdplayer-track2");
    EXPECT_TRUE(Near(DominantFrequency(second), orvdemo::kDemoTracks[1].droneHz)) << DominantFrequency(second);
}

// On a disc whose every second has its own pitch: after each press the play is heard
// from a whole second (a track's first for Play, Next and Previous), and the automatic
// advance starts the next track at its first second.
TEST_F(CdPlayerE2eTest, EveryPlayIsHeardFromItsFirstSecond) {
    const int kTrackSeconds = 6;
    const cdtest::TestDisc clock = cdtest::MakeClockDisc("e2e-clock", {kTrackSeconds, kTrackSeconds, kTrackSeconds});
    ASSERT_EQ(RunDiscTool("insert \"" + clock.cue + "\""), 0u);
    ASSERT_TRUE(PumpUntil([&] { return ShowsTrack(Shot("clock"), 3); }, 10000));
    const struct {
        const char* name;
        unsigned hotspot;
        DWORD holdMs, thenMs;
        bool bTrackStart;
    } steps[] = {
        {"Play", skin::kHotPlay, 0, 2500, true},
        {"Next", skin::kHotNext, 0, 3500, true},
        {"Previous late in a track", skin::kHotPrevious, 0, 1300, true},
        {"Previous early in a track", skin::kHotPrevious, 0, 1500, true},
        {"the end of a scan", skin::kHotNext, 800, 1500, false},
    };
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdplayer-clock"));
    std::vector<double> pressedMs;
    for (const auto& step : steps) {
        pressedMs.push_back(recorder.SoFar().DurationMs() + step.holdMs);
        Press(step.hotspot, step.holdMs);
        PumpFor(step.thenMs);
    }
    // Track 1 ends after the scan; track 2 follows.
    ASSERT_TRUE(WaitForTrack(2, 10000));
    PumpFor(1500);
    const std::vector<ClockRun> runs = HeardClock(recorder.Stop());
    auto isTrackStart = [&](int second) { return second % kTrackSeconds == 0; };
    for (size_t i = 0; i < pressedMs.size(); ++i) {
        SCOPED_TRACE(steps[i].name);
        // Runs cut short at the press belong to the play it replaced.
        const auto run = std::find_if(runs.begin(), runs.end(), [&](const ClockRun& r) {
            return r.span.fromMs >= pressedMs[i] - 50 && r.span.LengthMs() >= 150;
        });
        ASSERT_NE(run, runs.end()) << DescribeClock(runs);
        EXPECT_GE(run->span.LengthMs(), 900.0) << DescribeClock(runs);
        EXPECT_TRUE(!steps[i].bTrackStart || isTrackStart(run->second)) << DescribeClock(runs);
    }
    const auto advanced = std::find_if(runs.begin(), runs.end(), [&](const ClockRun& r) {
        return r.span.fromMs > pressedMs.back() && r.second == kTrackSeconds;
    });
    ASSERT_NE(advanced, runs.end()) << "the advance to track 2: " << DescribeClock(runs);
    EXPECT_GE(advanced->span.LengthMs(), 900.0) << DescribeClock(runs);
}

TEST_F(CdPlayerE2eTest, PauseIsSilentPlayResumesAndStopClearsTheTitle) {
    Press(skin::kHotPlay);
    ASSERT_TRUE(WaitForTrack(1));
    ASSERT_TRUE(PumpUntil([&] { return ShownElapsed(Shot("before-pause")) >= 2; }, 5000));
    EXPECT_FALSE(TitleAreaEmpty(Shot("title")));
    Press(skin::kHotPause);
    PumpFor(300);
    const int paused = ShownElapsed(Shot("paused"));
    EXPECT_LT(Rms(Listen("cdplayer-paused")), kSilenceRms);
    Press(skin::kHotPlay);
    PumpFor(300);
    const int after = ShownElapsed(Shot("resumed"));
    EXPECT_GE(after, paused) << "resumes where it paused";
    EXPECT_LE(after, paused + 2);
    const Pcm resumed = Listen("cdplayer-resumed");
    EXPECT_TRUE(Near(DominantFrequency(resumed), orvdemo::kDemoTracks[0].droneHz));
    Press(skin::kHotStop);
    PumpFor(300);
    EXPECT_LT(Rms(Listen("cdplayer-stopped")), kSilenceRms);
    EXPECT_TRUE(PumpUntil([&] { return TitleAreaEmpty(Shot("stopped")); }, 3000));
}

// Two quick presses on Next are two presses.
TEST_F(CdPlayerE2eTest, AStripPressPlaysThatTrackAndTwoQuickNextsMoveTwo) {
    PressAt(m_hPlayer, Center(Slot(3)));
    ASSERT_TRUE(WaitForTrack(4));
    const Pcm heard = Listen("cdplayer-track4");
    EXPECT_TRUE(Near(DominantFrequency(heard), orvdemo::kDemoTracks[3].droneHz)) << DominantFrequency(heard);
    ClickTwice(m_hPlayer, HotspotCenter(skin::kHotNext), 100);
    EXPECT_TRUE(WaitForTrack(6, 5000));
}

TEST_F(CdPlayerE2eTest, EjectOpensAndRereadsAndARemovedDiscIsReportedThenReadOnce) {
    Press(skin::kHotPlay);
    ASSERT_TRUE(WaitForTrack(1));
    const skin::Rect area = {kTitle.left, kTitle.top, kTitle.right, kTitle.bottom};
    const std::vector<COLORREF> title = Block(Shot("title"), area);
    Press(skin::kHotEject);
    std::vector<COLORREF> doorOpen;
    // The door-open message in place of the title; a reference for what comes later.
    ASSERT_TRUE(PumpUntil(
        [&] {
            const Screenshot shot = Shot("door-open");
            doorOpen = Block(shot, area);
            return doorOpen != title && !TitleAreaEmpty(shot);
        },
        3000));
    EXPECT_LT(Rms(Listen("cdplayer-ejected")), kSilenceRms);
    Press(skin::kHotEject);
    ASSERT_TRUE(WaitForTrack(orvdemo::kDemoTrackCount)) << "the disc is read again";
    EXPECT_TRUE(TitleAreaEmpty(Shot("closed")));

    // Message 133 stands for one poll only (the device tests follow it); the screen
    // settles on 132, another text in the same place.
    ASSERT_EQ(RunDiscTool("eject"), 0u);
    ASSERT_TRUE(PumpUntil(
        [&] {
            const Screenshot shot = Shot("no-disc");
            const std::vector<COLORREF> now = Block(shot, area);
            return now != doorOpen && now != title && !TitleAreaEmpty(shot) && ShowsTrack(shot, 0);
        },
        8000))
        << "message 132 on an emptied panel";
    ASSERT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
    ASSERT_TRUE(WaitForTrack(orvdemo::kDemoTrackCount, 6000));
    EXPECT_TRUE(TitleAreaEmpty(Shot("reinserted")));
}

TEST_F(CdPlayerE2eTest, VolumeDownIsQuieterAndItsBarShowsForThreeSeconds) {
    Press(skin::kHotPlay);
    ASSERT_TRUE(WaitForTrack(1));
    const double loud = Rms(Listen("cdplayer-loud"));
    ASSERT_GT(loud, kSilenceRms);
    const std::vector<COLORREF> mode = Block(Shot("mode"), kModeBox);
    for (int i = 0; i < 4; ++i) Press(skin::kHotVolumeDown);
    const DWORD pressed = ::GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return Block(Shot("volume"), kModeBox) != mode; }, 1000)) << "the bar shows";
    const double quiet = Rms(Listen("cdplayer-quiet"));
    EXPECT_LT(quiet, loud * 0.9) << loud << " -> " << quiet;
    ASSERT_TRUE(PumpUntil([&] { return Block(Shot("mode-back"), kModeBox) == mode; }, 5000)) << "the mode returns";
    const DWORD shown = ::GetTickCount() - pressed;
    EXPECT_GE(shown, 2700u);
    EXPECT_LE(shown, 4500u);
    for (int i = 0; i < 4; ++i) Press(skin::kHotVolumeUp);
}

TEST_F(CdPlayerE2eTest, TheSheetOpensBelowThePlayerAndItsCloseButtonEndsIt) {
    HWND hSheet = OpenSheet();
    ASSERT_NE(hSheet, nullptr);
    RECT rcPlayer = {}, rcSheet = {};
    ::GetWindowRect(m_hPlayer, &rcPlayer);
    ::GetWindowRect(hSheet, &rcSheet);
    EXPECT_EQ(rcSheet.left, rcPlayer.left);
    EXPECT_EQ(rcSheet.top, rcPlayer.bottom);
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(hSheet, GWL_STYLE));
    EXPECT_EQ(style & 0x90C00080u, 0x90C00080u) << std::hex << style;
    EXPECT_EQ(style & WS_SYSMENU, 0u) << "no close box";
    // The page's Close button is the one thing on it that works.
    HWND hPage = ::GetWindow(hSheet, GW_CHILD);
    HWND hClose = nullptr;
    for (HWND h = hPage; h && !hClose; h = ::GetWindow(h, GW_HWNDNEXT)) hClose = ::GetDlgItem(h, IDCANCEL);
    ASSERT_NE(hClose, nullptr);
    ::PostMessageA(::GetParent(hClose), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(hClose));
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hSheet); }, 5000));
    EXPECT_TRUE(m_run.IsRunning());
}

// Another disc goes in, with no empty drive between, while either page is in view:
// the page shows it at once, and leaving the page, coming back and closing the sheet
// write nothing into the disc database, whose bytes stay as they were.
TEST_F(CdPlayerE2eTest, ADiscSwappedUnderEitherPageLeavesTheDatabaseAsItWas) {
    char szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(szWindows, MAX_PATH);
    const std::string database = std::string(szWindows) + "\\cddeck.ini";
    std::string seeded = std::string("[") + cdtest::kDemoDiscId + "]\r\nAlbum=Demo\r\nArtist=Orvanta\r\n";
    for (int i = 1; i <= orvdemo::kDemoTrackCount; ++i) seeded += "Track" + std::to_string(i) + "=Song " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(WriteFileBytes(database, seeded));
    const cdtest::TestDisc other = cdtest::MakeTestDisc("swap", {cdtest::Frames(0, 5, 0), cdtest::Frames(0, 4, 0)});
    HWND hSheet = OpenSheet();
    ASSERT_NE(hSheet, nullptr);
    for (int page : {0, 1}) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(ShowPage(hSheet, page));
        ASSERT_EQ(RunDiscTool("insert \"" + other.cue + "\""), 0u);
        EXPECT_TRUE(PumpUntil([&] { return TrackRows(hSheet) == 2; }, 8000)) << "the page shows the new disc";
        ASSERT_TRUE(ShowPage(hSheet, 1 - page));
        ASSERT_TRUE(ShowPage(hSheet, page));
        ASSERT_EQ(RunDiscTool(std::string("insert \"") + kDemoCue + "\""), 0u);
        EXPECT_TRUE(PumpUntil([&] { return TrackRows(hSheet) == orvdemo::kDemoTrackCount; }, 8000));
    }
    ::PostMessageA(VisiblePage(hSheet), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hSheet); }, 5000));
    EXPECT_EQ(ReadFileBytes(database), seeded);
}

TEST_F(CdPlayerE2eTest, ThePlayerMenuSwitchesToMpdeckAndBackAtTheSamePlace) {
    Press(skin::kHotPlayerMenu);
    HWND hMenu = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (HWND hWnd : VisibleWindowsOf(m_run.ProcessId()))
                if (ClassName(hWnd) == "#32768") hMenu = hWnd;
            return hMenu != nullptr;
        },
        5000));
    // The mnemonic of "Orvanta-&MP3...".
    ::PostMessageA(hMenu, WM_CHAR, 'm', 0);
    HWND hMp3 = WaitForWindow(kMp3PlayerText, kStartTimeout);
    ASSERT_NE(hMp3, nullptr);
    ASSERT_TRUE(m_run.WaitForExit(kQuitTimeout)) << "cddeck hands over and quits";
    EXPECT_EQ(WindowOrigin(hMp3).x, kLeft);
    EXPECT_EQ(WindowOrigin(hMp3).y, kTop);

    ::PostMessageA(hMp3, WM_COMMAND, kSwitchToCd, 0);
    HWND hCd = WaitForWindow(kCdPlayerText, kStartTimeout);
    ASSERT_NE(hCd, nullptr);
    EXPECT_EQ(WindowOrigin(hCd).x, kLeft);
    EXPECT_EQ(WindowOrigin(hCd).y, kTop);
}

TEST_F(CdPlayerE2eTest, CloseSavesThePlayersPlace) {
    ::SetWindowPos(m_hPlayer, nullptr, 210, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return WindowOrigin(m_hPlayer).x == 210; }, 3000));
    Press(skin::kHotExit);
    ASSERT_TRUE(m_run.WaitForExit(kQuitTimeout));
    DWORD x = 0, y = 0;
    EXPECT_TRUE(GetRegistryDword(HKEY_CURRENT_USER, ProfileKey("cddeck"), "X", x));
    EXPECT_TRUE(GetRegistryDword(HKEY_CURRENT_USER, ProfileKey("cddeck"), "Y", y));
    EXPECT_EQ(x, 210u);
    EXPECT_EQ(y, 140u);
}
