// The Windows installer as a user meets it, in a prefix where the suite was never
// installed (installer-test makes it and runs the suites below in this order, each
// on the state the one before left):
//   Install      the silent install into a folder with a blank in its name
//   Installed    the files, shortcuts and registrations; both players working
//   Reinstall    installing again over an install keeps the user's data
//   Uninstall    the uninstaller removes what was installed and keeps the user's data
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "AudioRecorder.h"
#include "DemoDiscPlan.h"
#include "OrvVersion.h"
#include "ProgramDriver.h"
#include "RegistryGuard.h"
#include "SkinLayout.h"
#include "SkinProbe.h"
#include "TestSupport.h"

using namespace orvtest;

namespace {

const DWORD kStartTimeout = 20000;
const DWORD kSetupTimeout = 120000;
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvanta";
const char kMciKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI";
const char kMci32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI32";
// The system's CD-audio device, which a fresh prefix lists in MCI32.
const char kSystemCdAudio[] = "mcicda.dll";
const char kDiscKey[] = "Software\\Orvanta\\CDAudio";
// What the test keeps between its phases (separate processes).
const char kStateKey[] = "Software\\OrvantaInstallerTest";
const char kDemoSong[] = "Demo\\Orvanta Demo.mp3";
const char kDemoCue[] = "Demo\\Disc\\Orvanta Demo Disc.cue";
const char* const kShortcuts[] = {"Orvanta-MP3.lnk", "Orvanta-CD.lnk", "Orvanta-MP3 Help.lnk", "Orvanta-CD Help.lnk",
                                  "Uninstall Orvanta.lnk"};
const char kBrowserProgId[] = "OrvTestBrowser";
const UINT kAboutVersionId = 1092;

// The user's data the installer must leave alone.
struct UserValue {
    const char* file;  // in the Windows folder
    const char* section;
    const char* key;
    const char* value;
};
const UserValue kUserData[] = {
    {"mpdeck.ini", "Playlist", "Total", "1"},
    {"mpdeck.ini", "My Songs", "1", "C:\\Music\\song.mp3,MPEG"},
    {"cddeck.ini", "Disc 1234", "Title", "My Album"},
};
const int kUserX = 77;

std::string Env(const char* name) {
    char value[MAX_PATH * 2] = {};
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value) : std::string();
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string WindowsDir() {
    char dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string StartMenuFolder() {
    char dir[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, dir))) return std::string();
    return std::string(dir) + "\\Orvanta";
}

// The destinations of installer/files.txt as Windows paths.
std::vector<std::string> ListedFiles() {
    std::vector<std::string> files;
    std::ifstream list(ORV_FILE_LIST);
    char sys[MAX_PATH] = {};
    ::GetSystemDirectoryA(sys, MAX_PATH);
    std::string line;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t first = line.find('|'), second = line.find('|', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const std::string destination = line.substr(first + 1, second - first - 1);
        const std::string sysPrefix = "{sys}\\";
        files.push_back(destination.rfind(sysPrefix, 0) == 0 ? std::string(sys) + "\\" + destination.substr(sysPrefix.size())
                                                             : InstalledPath(destination));
    }
    return files;
}

// The silent install as the documentation gives it: /D= last and unquoted.
bool RunSetup() {
    return RunProgram("\"" + Env("ORV_SETUP_EXE") + "\" /S /D=" + InstallDir(), kSetupTimeout) == 0;
}

std::string IniValue(const UserValue& v) {
    char text[512] = {};
    ::GetPrivateProfileStringA(v.section, v.key, "", text, sizeof text, (WindowsDir() + "\\" + v.file).c_str());
    return text;
}

void ExpectUserDataKept() {
    for (const UserValue& v : kUserData) EXPECT_EQ(IniValue(v), v.value) << v.file << " [" << v.section << "] " << v.key;
    for (const char* program : {"mpdeck", "cddeck"}) {
        DWORD x = 0;
        EXPECT_TRUE(GetRegistryDword(HKEY_CURRENT_USER, ProfileKey(program), "X", x) && x == kUserX) << program;
    }
    std::string disc = "unset";
    EXPECT_TRUE(GetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", disc) && disc.empty())
        << "the empty drive the user chose stays";
}

class PlayerFixture : public ::testing::Test {
protected:
    void SetUp() override { EndSuitePrograms(); }
    void TearDown() override { EndSuitePrograms(); }

    HWND Start(const char* program, const char* windowText, const std::string& arguments = std::string()) {
        SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(program), "X", 60);
        SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(program), "Y", 40);
        if (!m_run.Start(program, arguments)) return nullptr;
        return WaitForWindow(windowText, kStartTimeout);
    }
    // The version line of the About box the About hotspot opens.
    std::string AboutVersion(HWND hPlayer, const std::string& caption) {
        PressAt(hPlayer, HotspotCenter(skin::kHotAbout));
        HWND hAbout = WaitDialogOf(m_run.ProcessId(), caption, kStartTimeout);
        if (!hAbout) return "no About box";
        char text[128] = {};
        ::GetDlgItemTextA(hAbout, kAboutVersionId, text, sizeof text);
        ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
        return text;
    }

    ProgramRun m_run;
};

}  // namespace

TEST(Install, SilentSetupIntoAFolderWithABlank) {
    // The device the driver replaces, for the uninstaller's check.
    std::string before;
    GetRegistryString(HKEY_LOCAL_MACHINE, kMciKey, "CDAudio", before);
    ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kStateKey, "CDAudioBefore", before));
    std::string before32;
    ASSERT_TRUE(GetRegistryString(HKEY_LOCAL_MACHINE, kMci32Key, "CDAudio", before32) && before32 == kSystemCdAudio)
        << "a fresh prefix lists the system's device in MCI32: " << before32;
    ASSERT_FALSE(FileExists(InstalledPath("mpdeck.exe"))) << "a prefix without the suite";
    ASSERT_TRUE(RunSetup());
}

TEST(Installed, FilesShortcutsAndRegistrations) {
    for (const std::string& file : ListedFiles()) EXPECT_TRUE(FileExists(file)) << file;
    for (const char* shortcut : kShortcuts) EXPECT_TRUE(FileExists(StartMenuFolder() + "\\" + shortcut)) << shortcut;
    for (const char* program : {"mpdeck", "cddeck"}) {
        std::string path;
        EXPECT_TRUE(GetRegistryString(HKEY_CURRENT_USER, ProfileKey(program), "Path", path));
        EXPECT_EQ(path, InstalledPath(std::string(program) + ".exe"));
    }
    std::string value;
    for (const char* key : {kMciKey, kMci32Key})
        EXPECT_TRUE(GetRegistryString(HKEY_LOCAL_MACHINE, key, "CDAudio", value) && value == "orvcda.drv")
            << key << ": no CD drive here: the disc-image driver is chosen by itself; " << value;
    EXPECT_TRUE(GetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", value) && value == InstalledPath(kDemoCue)) << value;
    EXPECT_TRUE(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", value) && value == ORV_VERSION)
        << value;
    EXPECT_TRUE(FileExists(InstalledPath("Uninstall.exe")));
}

using InstalledPlayers = PlayerFixture;

TEST_F(InstalledPlayers, MpdeckPlaysTheDemoSongAndItsHelpStartsTheBrowserOnThePage) {
    const std::string probe = ORV_BROWSER_PROBE;
    const std::string probeOut = probe + ".txt";
    ::DeleteFileA(probeOut.c_str());
    RegistryGuard association(HKEY_CLASSES_ROOT, ".htm");
    RegistryGuard command(HKEY_CLASSES_ROOT, std::string(kBrowserProgId) + "\\shell\\open\\command");
    ASSERT_TRUE(SetRegistryString(HKEY_CLASSES_ROOT, ".htm", nullptr, kBrowserProgId));
    ASSERT_TRUE(SetRegistryString(HKEY_CLASSES_ROOT, std::string(kBrowserProgId) + "\\shell\\open\\command", nullptr,
                                  "\"" + probe + "\" \"%1\""));

    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("installer-demo-song"));
    HWND hPlayer = Start("mpdeck", "OrvMP3Player", "\"" + InstalledPath(kDemoSong) + "\"");
    ASSERT_NE(hPlayer, nullptr) << "mpdeck found no TELMAR.DLL through its Path value";
    EXPECT_TRUE(PumpUntil([&] { return recorder.HeardSound(); }, 8000)) << "the demo song is heard";
    recorder.Stop();

    PressAt(hPlayer, HotspotCenter(skin::kHotHelp));
    std::string line;
    ASSERT_TRUE(PumpUntil(
        [&] {
            line = ReadFileBytes(probeOut);
            return !line.empty();
        },
        10000))
        << "the browser was not started";
    const std::string page = "\"" + InstalledPath("mpdeck.htm") + "\"";
    ASSERT_GE(line.size(), page.size()) << line;
    const std::string argument = line.substr(line.size() - page.size());
    EXPECT_EQ(Lower(argument), Lower(page)) << "the quoted page is the browser's argument: " << line;
    EXPECT_TRUE(FileExists(argument.substr(1, argument.size() - 2))) << argument;
    EXPECT_EQ(AboutVersion(hPlayer, "About Orvanta-MP3"), ORV_VERSION_TEXT);
}

TEST_F(InstalledPlayers, CddeckPlaysTheDemoDisc) {
    HWND hPlayer = Start("cddeck", "OrvCDPlayer");
    ASSERT_NE(hPlayer, nullptr);
    CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("installer-demo-disc"));
    PressAt(hPlayer, HotspotCenter(skin::kHotPlay));
    ASSERT_TRUE(PumpUntil([&] { return recorder.HeardSound(); }, 8000)) << "track 1 of the demo disc is heard";
    PumpFor(1500);  // past the sink's latency: a stretch of the track itself
    const Pcm pcm = recorder.Stop();
    const Pcm tail = pcm.Slice(pcm.DurationMs() - 1000, pcm.DurationMs());
    const double hz = DominantFrequency(tail), expected = orvdemo::kDemoTracks[0].droneHz;
    EXPECT_LT(std::fabs(hz - expected), expected * 0.03) << hz;
    EXPECT_EQ(AboutVersion(hPlayer, "About Orvanta-CD"), ORV_VERSION_TEXT);
}

TEST(Reinstall, OverAnInstallKeepsTheUsersData) {
    for (const UserValue& v : kUserData)
        ASSERT_TRUE(::WritePrivateProfileStringA(v.section, v.key, v.value, (WindowsDir() + "\\" + v.file).c_str()));
    for (const char* program : {"mpdeck", "cddeck"}) ASSERT_TRUE(SetRegistryDword(HKEY_CURRENT_USER, ProfileKey(program), "X", kUserX));
    ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, kDiscKey, "Disc", ""));
    const std::string song = InstalledPath(kDemoSong);
    ASSERT_TRUE(::DeleteFileA(song.c_str()));

    ASSERT_TRUE(RunSetup());
    EXPECT_TRUE(FileExists(song)) << "a missing file comes back";
    ExpectUserDataKept();
}

TEST(Uninstall, RemovesWhatWasInstalledAndKeepsTheUsersData) {
    const std::string dir = InstallDir();
    // _? runs the uninstaller in place, so that it can be waited for; it leaves
    // itself behind.
    ASSERT_TRUE(RunProgram("\"" + dir + "\\Uninstall.exe\" /S _?=" + dir, kSetupTimeout) == 0);
    ::DeleteFileA((dir + "\\Uninstall.exe").c_str());
    EXPECT_TRUE(::RemoveDirectoryA(dir.c_str())) << "the uninstaller left files in the install folder";

    for (const std::string& file : ListedFiles()) EXPECT_FALSE(FileExists(file)) << file;
    EXPECT_EQ(::GetFileAttributesA(StartMenuFolder().c_str()), INVALID_FILE_ATTRIBUTES) << "the Start-menu folder is gone";
    std::string before, now, value;
    ASSERT_TRUE(GetRegistryString(HKEY_CURRENT_USER, kStateKey, "CDAudioBefore", before));
    GetRegistryString(HKEY_LOCAL_MACHINE, kMciKey, "CDAudio", now);
    EXPECT_EQ(now, before) << "the CD-audio device of before is back";
    EXPECT_TRUE(GetRegistryString(HKEY_LOCAL_MACHINE, kMci32Key, "CDAudio", now) && now == kSystemCdAudio)
        << "the system's device is back in MCI32: " << now;
    EXPECT_FALSE(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", value));
    for (const char* program : {"mpdeck", "cddeck"})
        EXPECT_FALSE(GetRegistryString(HKEY_CURRENT_USER, ProfileKey(program), "Path", value)) << program;
    ExpectUserDataKept();
}
