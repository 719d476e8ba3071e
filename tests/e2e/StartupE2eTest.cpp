// Start-up, single instance, hand-over between the players and the end of a
// program, with the installed programs in the prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "ProgramDriver.h"
#include "RegistryGuard.h"
#include "TestSupport.h"

using namespace orvtest;

namespace {

const DWORD kStartTimeout = 20000;
const DWORD kQuitTimeout = 10000;
const UINT kSwitchToCd = 32771;
const UINT kSwitchToMp3 = 32772;
const UINT kCdPlayerMissing = 212;
const char kLibraryMissing[] =
    "Unable to execute application. TELMAR.DLL is missing. Please  re-install Orvanta again.";

struct Player {
    const char* program;
    const char* title;
    const char* playerText;
    UINT switchCommand;
};
const Player kMp3 = {"mpdeck", "Orvanta-MP3", "OrvMP3Player", kSwitchToCd};
const Player kCd = {"cddeck", "Orvanta-CD", "OrvCDPlayer", kSwitchToMp3};

class StartupE2eTest : public ::testing::Test {
protected:
    void SetUp() override { EndSuitePrograms(); }
    void TearDown() override { EndSuitePrograms(); }

    static void SetPosition(const Player& player, int x, int y) {
        ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(player.program), "X", x));
        ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(player.program), "Y", y));
    }
    // The stored position, which must be a pair of REG_DWORD values.
    static POINT StoredPosition(const Player& player) {
        DWORD x = 0xDEAD, y = 0xDEAD;
        EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(player.program), "X", x));
        EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(player.program), "Y", y));
        return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    }
    static HWND StartAndWait(ProgramRun& run, const Player& player) {
        EXPECT_TRUE(run.Start(player.program)) << player.program;
        HWND hPlayer = WaitForWindow(player.playerText, kStartTimeout);
        EXPECT_NE(hPlayer, nullptr) << player.playerText << " did not appear";
        return hPlayer;
    }
    static void MoveTo(HWND hWnd, int x, int y) {
        ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(PumpUntil([&] { return WindowOrigin(hWnd).x == x && WindowOrigin(hWnd).y == y; }, 5000));
    }
    // A message box of the process with this caption.
    static HWND WaitForMessageBox(DWORD processId, const char* title) {
        HWND hBox = nullptr;
        PumpUntil(
            [&] {
                for (HWND hWnd : VisibleWindowsOf(processId)) {
                    if (ClassName(hWnd) == "#32770" && WindowText(hWnd) == title) {
                        hBox = hWnd;
                        return true;
                    }
                }
                return false;
            },
            kStartTimeout);
        return hBox;
    }
    static bool HasText(HWND hBox, const std::string& text) {
        const std::vector<std::string> texts = ChildTexts(hBox);
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    orvtest::RegistryGuard m_mp3Profile{HKEY_CURRENT_USER, ProfileKey("mpdeck")};
    orvtest::RegistryGuard m_cdProfile{HKEY_CURRENT_USER, ProfileKey("cddeck")};
};

}  // namespace

TEST_F(StartupE2eTest, SecondCopyEndsAtOnceAndLeavesOnePlayer) {
    ProgramRun first, second;
    ASSERT_NE(StartAndWait(first, kMp3), nullptr);
    ASSERT_TRUE(second.Start("mpdeck"));
    ASSERT_TRUE(second.WaitForExit(kQuitTimeout)) << "the second copy keeps running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(TopLevelWindows(kMp3.playerText).size(), 1u);
    EXPECT_EQ(TopLevelWindows(kMp3.title).size(), 1u) << "one hidden frame";
    EXPECT_TRUE(first.IsRunning());
}

// A plain coloured window behind the player, so that its round corners show.
class Backdrop {
public:
    static constexpr COLORREF kColor = RGB(255, 0, 255);
    Backdrop() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = m_hBrush;
        wc.lpszClassName = "OrvE2eBackdrop";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400,
                                   nullptr, nullptr, wc.hInstance, nullptr);
        orvtest::PumpFor(100);
    }
    ~Backdrop() {
        if (m_hWnd) ::DestroyWindow(m_hWnd);
        ::DeleteObject(m_hBrush);
    }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

private:
    HBRUSH m_hBrush = ::CreateSolidBrush(kColor);
    HWND m_hWnd = nullptr;
};

TEST_F(StartupE2eTest, PlayerWindowIsShapedAndPaintedFromTheSkin) {
    SetPosition(kMp3, 60, 40);
    Backdrop backdrop;
    ProgramRun run;
    HWND hPlayer = StartAndWait(run, kMp3);
    ASSERT_NE(hPlayer, nullptr);
    RECT rc = {};
    ::GetWindowRect(hPlayer, &rc);
    EXPECT_EQ(rc.left, 60);
    EXPECT_EQ(rc.top, 40);
    EXPECT_EQ(rc.right - rc.left, 319) << "one pixel less than bitmap 2020";
    EXPECT_EQ(rc.bottom - rc.top, 239);

    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(hPlayer, hRgn), ERROR);
    EXPECT_FALSE(::PtInRegion(hRgn, 1, 1)) << "round corner";
    EXPECT_TRUE(::PtInRegion(hRgn, 160, 120));
    EXPECT_TRUE(::PtInRegion(hRgn, 14, 1));
    ::DeleteObject(hRgn);

    // What the screen shows inside the shape is the background bitmap.
    HMODULE hLibrary = ::LoadLibraryExA(InstalledPath("TELMAR.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(hLibrary, nullptr);
    HBITMAP hSkin = static_cast<HBITMAP>(::LoadImageA(hLibrary, MAKEINTRESOURCEA(2020), IMAGE_BITMAP, 0, 0, 0));
    ::FreeLibrary(hLibrary);
    ASSERT_NE(hSkin, nullptr);
    HDC hMem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hMem, hSkin);
    const POINT probes[] = {{160, 120}, {40, 60}, {300, 20}, {150, 225}};
    COLORREF expected[4];
    for (int i = 0; i < 4; ++i) expected[i] = ::GetPixel(hMem, probes[i].x, probes[i].y);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::DeleteObject(hSkin);

    orvtest::PumpFor(200);
    const orvtest::Screenshot shot = orvtest::CaptureScreen("e2e-mpdeck-player");
    ASSERT_TRUE(shot.Valid());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(shot.Pixel(60 + probes[i].x, 40 + probes[i].y), expected[i]) << "probe " << i;
    }
    EXPECT_EQ(shot.Pixel(60 + 1, 40 + 1), Backdrop::kColor) << "what is behind shows through the round corner";
    EXPECT_EQ(shot.Pixel(60 + 318, 40 + 120), Backdrop::kColor) << "the shape is one pixel narrower than the window";
    EXPECT_EQ(shot.Pixel(50, 30), Backdrop::kColor);
}

namespace {

// The starting player takes the running sibling's place and the sibling quits,
// saving where it was.
void ExpectTakeOver(const Player& running, const Player& starting) {
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(running.program), "X", 30));
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(running.program), "Y", 30));
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(starting.program), "X", 0));
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(starting.program), "Y", 0));

    ProgramRun sibling, program;
    ASSERT_TRUE(sibling.Start(running.program));
    HWND hSibling = WaitForWindow(running.playerText, kStartTimeout);
    ASSERT_NE(hSibling, nullptr);
    // Where the user dragged it, not where it started.
    ::SetWindowPos(hSibling, nullptr, 412, 233, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return WindowOrigin(hSibling).x == 412 && WindowOrigin(hSibling).y == 233; }, 5000));

    ASSERT_TRUE(program.Start(starting.program));
    HWND hPlayer = WaitForWindow(starting.playerText, kStartTimeout);
    ASSERT_NE(hPlayer, nullptr);
    ASSERT_TRUE(sibling.WaitForExit(kQuitTimeout)) << running.program << " did not quit";
    EXPECT_EQ(sibling.ExitCode(), 0u);
    EXPECT_TRUE(TopLevelWindows(running.playerText).empty());

    const POINT origin = WindowOrigin(hPlayer);
    EXPECT_EQ(origin.x, 412);
    EXPECT_EQ(origin.y, 233);
    DWORD x = 0, y = 0;
    EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(running.program), "X", x));
    EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(running.program), "Y", y));
    EXPECT_EQ(x, 412u) << running.program << " saved its state";
    EXPECT_EQ(y, 233u);
    EXPECT_TRUE(program.IsRunning());
}

// The player's switch command hands over to the sibling at the same place.
void ExpectSwitch(const Player& from, const Player& to) {
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(from.program), "X", 200));
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(from.program), "Y", 150));
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(to.program), "X", 5));
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(to.program), "Y", 5));

    ProgramRun run;
    ASSERT_TRUE(run.Start(from.program));
    HWND hPlayer = WaitForWindow(from.playerText, kStartTimeout);
    ASSERT_NE(hPlayer, nullptr);
    ::PostMessageA(hPlayer, WM_COMMAND, from.switchCommand, 0);

    HWND hSibling = WaitForWindow(to.playerText, kStartTimeout);
    ASSERT_NE(hSibling, nullptr) << to.program << " did not take over";
    ASSERT_TRUE(run.WaitForExit(kQuitTimeout)) << from.program << " did not quit";
    EXPECT_EQ(run.ExitCode(), 0u);
    const POINT origin = WindowOrigin(hSibling);
    EXPECT_EQ(origin.x, 200);
    EXPECT_EQ(origin.y, 150);
    DWORD x = 0, y = 0;
    EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(to.program), "X", x)) << "a REG_DWORD";
    EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(to.program), "Y", y)) << "a REG_DWORD";
    EXPECT_EQ(x, 200u);
    EXPECT_EQ(y, 150u);
}

}  // namespace

TEST_F(StartupE2eTest, StartingMpdeckTakesCddecksPlace) {
    ExpectTakeOver(kCd, kMp3);
}

TEST_F(StartupE2eTest, StartingCddeckTakesMpdecksPlace) {
    ExpectTakeOver(kMp3, kCd);
}

TEST_F(StartupE2eTest, SwitchCommandHandsOverToCddeck) {
    ExpectSwitch(kMp3, kCd);
}

TEST_F(StartupE2eTest, SwitchCommandHandsOverToMpdeck) {
    ExpectSwitch(kCd, kMp3);
}

TEST_F(StartupE2eTest, SwitchToAMissingSiblingShowsItsPathAndKeepsRunning) {
    const std::string missing = InstalledPath("gone\\cddeck.exe");
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey("cddeck"), "Path", missing));
    const std::string format = LibraryText(kCdPlayerMissing);
    ASSERT_NE(format.find("%s"), std::string::npos);
    char expected[2048];
    std::snprintf(expected, sizeof expected, format.c_str(), missing.c_str());

    ProgramRun run;
    HWND hPlayer = StartAndWait(run, kMp3);
    ASSERT_NE(hPlayer, nullptr);
    ::PostMessageA(hPlayer, WM_COMMAND, kSwitchToCd, 0);
    HWND hBox = WaitForMessageBox(run.ProcessId(), kMp3.title);
    ASSERT_NE(hBox, nullptr) << "no message";
    EXPECT_TRUE(HasText(hBox, expected)) << "expected: " << expected;
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(hBox); }, kQuitTimeout));

    EXPECT_TRUE(run.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(hPlayer));
    EXPECT_TRUE(TopLevelWindows(kCd.playerText).empty());
}

TEST_F(StartupE2eTest, SwitchToAFileThatIsNoProgramShowsItsPath) {
    // The file opens for reading, so only the start itself can fail.
    const std::string dir = orvtest::MakeTempDir("notaprogram");
    const std::string notProgram = dir + "\\cddeck.txt";
    HANDLE hFile = ::CreateFileA(notProgram.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(hFile, "not a program", 13, &written, nullptr);
    ::CloseHandle(hFile);
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey("cddeck"), "Path", notProgram));
    char expected[2048];
    std::snprintf(expected, sizeof expected, LibraryText(kCdPlayerMissing).c_str(), notProgram.c_str());

    ProgramRun run;
    HWND hPlayer = StartAndWait(run, kMp3);
    ASSERT_NE(hPlayer, nullptr);
    ::PostMessageA(hPlayer, WM_COMMAND, kSwitchToCd, 0);
    HWND hBox = WaitForMessageBox(run.ProcessId(), kMp3.title);
    ASSERT_NE(hBox, nullptr) << "a failed start is reported";
    EXPECT_TRUE(HasText(hBox, expected));
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(hBox); }, kQuitTimeout));
    EXPECT_TRUE(run.IsRunning()) << "mpdeck stays when the sibling cannot start";
    ::DeleteFileA(notProgram.c_str());
    ::RemoveDirectoryA(dir.c_str());
}

TEST_F(StartupE2eTest, ClosingTheFrameStoresThePositionAndNothingElse) {
    const std::string key = ProfileKey("mpdeck");
    ASSERT_TRUE(orvtest::SetRegistryDword(HKEY_CURRENT_USER, key, "Resume", 1));
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, key, "DefPList", "Road Trip"));
    SetPosition(kMp3, 40, 60);

    ProgramRun run;
    HWND hPlayer = StartAndWait(run, kMp3);
    ASSERT_NE(hPlayer, nullptr);
    MoveTo(hPlayer, 300, 222);
    const std::vector<HWND> frames = TopLevelWindows(kMp3.title);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_NE(ClassName(frames[0]), "#32770") << "the frame, not a message box";
    ::PostMessageA(frames[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitForExit(kQuitTimeout));
    EXPECT_EQ(run.ExitCode(), 0u);

    const POINT stored = StoredPosition(kMp3);
    EXPECT_EQ(stored.x, 300);
    EXPECT_EQ(stored.y, 222);
    DWORD resume = 0;
    std::string playlist;
    EXPECT_TRUE(orvtest::GetRegistryDword(HKEY_CURRENT_USER, key, "Resume", resume));
    EXPECT_EQ(resume, 1u);
    EXPECT_TRUE(orvtest::GetRegistryString(HKEY_CURRENT_USER, key, "DefPList", playlist));
    EXPECT_EQ(playlist, "Road Trip");
}

TEST_F(StartupE2eTest, WithoutTheLibraryOnlyTheStartupMessageAppears) {
    HiddenFile library(InstalledPath("TELMAR.DLL"));
    ASSERT_TRUE(library.Hidden());
    ProgramRun run;
    ASSERT_TRUE(run.Start("mpdeck"));
    HWND hBox = WaitForMessageBox(run.ProcessId(), kMp3.title);
    ASSERT_NE(hBox, nullptr) << "no message";
    EXPECT_TRUE(HasText(hBox, kLibraryMissing));
    const std::vector<HWND> windows = VisibleWindowsOf(run.ProcessId());
    EXPECT_EQ(windows.size(), 1u) << "the message box is the only window";
    EXPECT_TRUE(TopLevelWindows(kMp3.playerText).empty());

    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(run.WaitForExit(kQuitTimeout));
    EXPECT_TRUE(TopLevelWindows(kMp3.playerText).empty());
}

TEST_F(StartupE2eTest, WithAnEmptyPathTheProgramDoesNotStart) {
    ASSERT_TRUE(orvtest::SetRegistryString(HKEY_CURRENT_USER, ProfileKey("cddeck"), "Path", ""));
    ProgramRun run;
    ASSERT_TRUE(run.Start("cddeck"));
    HWND hBox = WaitForMessageBox(run.ProcessId(), kCd.title);
    ASSERT_NE(hBox, nullptr) << "no message";
    EXPECT_TRUE(HasText(hBox, kLibraryMissing));
    EXPECT_TRUE(TopLevelWindows(kCd.playerText).empty());
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(run.WaitForExit(kQuitTimeout));
    EXPECT_TRUE(TopLevelWindows(kCd.playerText).empty());
}
