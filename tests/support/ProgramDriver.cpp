#include "ProgramDriver.h"

#include <algorithm>

#include "TestSupport.h"

namespace orvtest {

namespace {

const char* const kSuiteWindowTexts[] = {"OrvMP3Player", "OrvCDPlayer", "Orvanta-MP3", "Orvanta-CD"};

struct EnumState {
    std::string text;
    DWORD processId = 0;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectByText(HWND hWnd, LPARAM lParam) {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    if (WindowText(hWnd) == state->text) state->found.push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectVisibleOfProcess(HWND hWnd, LPARAM lParam) {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (processId == state->processId && ::IsWindowVisible(hWnd)) state->found.push_back(hWnd);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

void EndProcessOf(HWND hWnd) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hWnd, &processId);
    if (!processId || processId == ::GetCurrentProcessId()) return;
    HANDLE hProcess = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!hProcess) return;
    ::TerminateProcess(hProcess, 99);
    ::WaitForSingleObject(hProcess, 5000);
    ::CloseHandle(hProcess);
}

}  // namespace

std::string InstallDir() {
    char dir[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("ORV_INSTALL_DIR", dir, sizeof dir);
    return length > 0 && length < sizeof dir ? std::string(dir) : std::string(kInstallDir);
}

std::string InstalledPath(const std::string& fileName) {
    return InstallDir() + "\\" + fileName;
}

std::string ProfileKey(const std::string& program) {
    return "Software\\Orvanta\\" + program + "\\APP";
}

ProgramRun::~ProgramRun() {
    if (!m_pi.hProcess) return;
    if (IsRunning()) {
        ::TerminateProcess(m_pi.hProcess, 99);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
    }
    ::CloseHandle(m_pi.hProcess);
    ::CloseHandle(m_pi.hThread);
}

bool ProgramRun::Start(const std::string& program, const std::string& arguments) {
    if (m_pi.hProcess) return false;
    const std::string exe = InstalledPath(program + ".exe");
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    const std::string dir = InstallDir();
    return ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                            &m_pi) != FALSE;
}

bool ProgramRun::WaitForExit(DWORD timeoutMs) {
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool ProgramRun::IsRunning() const {
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ProgramRun::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_pi.hProcess) ::GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

std::vector<HWND> TopLevelWindows(const std::string& text) {
    EnumState state;
    state.text = text;
    ::EnumWindows(CollectByText, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForWindow(const std::string& text, DWORD timeoutMs) {
    HWND hFound = nullptr;
    PumpUntil(
        [&] {
            for (HWND hWnd : TopLevelWindows(text)) {
                if (::IsWindowVisible(hWnd)) {
                    hFound = hWnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return hFound;
}

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    EnumState state;
    state.processId = processId;
    ::EnumWindows(CollectVisibleOfProcess, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitDialogOf(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    HWND hFound = nullptr;
    PumpUntil(
        [&] {
            for (HWND hWnd : VisibleWindowsOf(processId)) {
                if (ClassName(hWnd) == "#32770" && WindowText(hWnd) == caption) hFound = hWnd;
            }
            return hFound != nullptr;
        },
        timeoutMs);
    return hFound;
}

std::string WindowText(HWND hWnd) {
    char text[2048] = {};
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                               &length)) {
        return std::string();
    }
    return std::string(text, std::min<size_t>(length, sizeof text - 1));
}

std::string ClassName(HWND hWnd) {
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    return name;
}

std::vector<std::string> ChildTexts(HWND hWnd) {
    std::vector<HWND> children;
    ::EnumChildWindows(hWnd, CollectChildren, reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> texts;
    for (HWND hChild : children) texts.push_back(WindowText(hChild));
    return texts;
}

POINT WindowOrigin(HWND hWnd) {
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return POINT{rc.left, rc.top};
}

void EndSuitePrograms() {
    for (const char* text : kSuiteWindowTexts) {
        for (HWND hWnd : TopLevelWindows(text)) EndProcessOf(hWnd);
    }
}

HiddenFile::HiddenFile(const std::string& path) : m_path(path), m_aside(path + ".e2e-hidden") {
    m_bHidden = ::MoveFileExA(m_path.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

HiddenFile::~HiddenFile() {
    if (m_bHidden) ::MoveFileExA(m_aside.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string LibraryText(UINT id) {
    HMODULE hLibrary = ::LoadLibraryExA(InstalledPath("TELMAR.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!hLibrary) return std::string();
    char text[1024] = {};
    const int length = ::LoadStringA(hLibrary, id, text, sizeof text);
    ::FreeLibrary(hLibrary);
    return std::string(text, length > 0 ? length : 0);
}

}  // namespace orvtest
