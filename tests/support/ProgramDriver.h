// End-to-end driver: starts the installed programs as a user would, finds their
// windows by text and title, and undoes what a test changed in the prefix.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace orvtest {

// Where scripts/install puts the programs.
const char kInstallDir[] = "C:\\Program Files\\Orvanta";
// The install folder the tests use: kInstallDir, or the folder named by the
// environment variable ORV_INSTALL_DIR (the installer tests install elsewhere).
std::string InstallDir();
std::string InstalledPath(const std::string& fileName);
// HKEY_CURRENT_USER path of a program's settings.
std::string ProfileKey(const std::string& program);

// One started program. The destructor ends it if it still runs.
class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Starts <install dir>\<program>.exe in the install folder, with the arguments
    // as they are (quote a path with blanks yourself).
    bool Start(const std::string& program, const std::string& arguments = std::string());
    bool WaitForExit(DWORD timeoutMs);
    bool IsRunning() const;
    DWORD ExitCode() const;
    DWORD ProcessId() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi = {};
};

// Top-level windows (visible or not) whose text is exactly `text`.
std::vector<HWND> TopLevelWindows(const std::string& text);
// Waits for a visible top-level window with that text; nullptr after the timeout.
HWND WaitForWindow(const std::string& text, DWORD timeoutMs);
// The visible top-level windows of one process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// Waits for a visible dialog-class window of the process with this caption.
HWND WaitDialogOf(DWORD processId, const std::string& caption, DWORD timeoutMs);
std::string WindowText(HWND hWnd);
std::string ClassName(HWND hWnd);
// The texts of a window's child controls, in z order.
std::vector<std::string> ChildTexts(HWND hWnd);
// The left and top edges of a window on screen.
POINT WindowOrigin(HWND hWnd);

// Ends every program of the suite that still shows a window: the ones the tests
// started, directly or through a hand-over.
void EndSuitePrograms();

// Moves an installed file aside and back.
class HiddenFile {
public:
    explicit HiddenFile(const std::string& path);
    ~HiddenFile();
    HiddenFile(const HiddenFile&) = delete;
    HiddenFile& operator=(const HiddenFile&) = delete;
    bool Hidden() const { return m_bHidden; }

private:
    std::string m_path;
    std::string m_aside;
    bool m_bHidden = false;
};

// A message text of the installed TELMAR.DLL, read as data.
std::string LibraryText(UINT id);

}  // namespace orvtest
