#include "fw/App.h"

#include "fw/Wnd.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;
bool g_bControlContainer = false;

CString ModuleBaseName(HINSTANCE hInstance) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(hInstance, path, MAX_PATH);
    CString name(path);
    name = name.Mid(name.ReverseFind('\\') + 1);
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppTitle) : m_strTitleGiven(lpszAppTitle) {
    assert(!g_pApp && "one application object per process");
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_strExeName = ModuleBaseName(m_hInstance);
    m_strAppName = m_strTitleGiven.IsEmpty() ? m_strExeName : m_strTitleGiven;
    m_strProfileName = m_strExeName + ".ini";
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

BOOL CWinApp::OnIdle(LONG) {
    CWnd::DeleteTempMap();
    return FALSE;
}

int CWinApp::Run() {
    MSG msg = {};
    for (;;) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) OnIdle(0);
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) continue;
        if (PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) break;  // stop at the top-level window
    }
    return FALSE;
}

// --- profile ------------------------------------------------------------------------

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey;
    m_strProfileName = m_strExeName;
}

HKEY CWinApp::OpenSectionKey(LPCSTR lpszSection, bool bCreate) const {
    const CString path = "Software\\" + m_strRegistryKey + "\\" + m_strProfileName + "\\" + lpszSection;
    HKEY hKey = nullptr;
    LONG status;
    if (bCreate) {
        status = ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr);
    } else {
        status = ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &hKey);
    }
    return status == ERROR_SUCCESS ? hKey : nullptr;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    if (m_strRegistryKey.IsEmpty()) {
        return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_strProfileName);
    }
    HKEY hKey = OpenSectionKey(lpszSection, false);
    if (!hKey) return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof value;
    const LONG status = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return static_cast<UINT>(nDefault);
    return value;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault) {
    const CString fallback(lpszDefault);
    if (m_strRegistryKey.IsEmpty()) {
        std::vector<char> buffer(4096);
        const DWORD got = ::GetPrivateProfileStringA(lpszSection, lpszEntry, fallback, buffer.data(),
                                                     static_cast<DWORD>(buffer.size()), m_strProfileName);
        return CString(buffer.data(), static_cast<int>(got));
    }
    HKEY hKey = OpenSectionKey(lpszSection, false);
    if (!hKey) return fallback;
    DWORD type = 0, size = 0;
    LONG status = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        ::RegCloseKey(hKey);
        return fallback;
    }
    // One spare byte: stored strings need not carry their terminator.
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    status = ::RegQueryValueExA(hKey, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    ::RegCloseKey(hKey);
    if (status != ERROR_SUCCESS) return fallback;
    buffer[std::min<size_t>(size, buffer.size() - 1)] = '\0';
    return CString(buffer.data());
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    if (m_strRegistryKey.IsEmpty()) {
        CString text;
        text.Format("%d", nValue);
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, m_strProfileName);
    }
    HKEY hKey = OpenSectionKey(lpszSection, true);
    if (!hKey) return FALSE;
    const DWORD value = static_cast<DWORD>(nValue);
    const LONG status =
        ::RegSetValueExA(hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue) {
    if (m_strRegistryKey.IsEmpty()) {
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_strProfileName);
    }
    if (!lpszEntry) {
        const CString path = "Software\\" + m_strRegistryKey + "\\" + m_strProfileName + "\\" + lpszSection;
        const LONG status = ::RegDeleteKeyA(HKEY_CURRENT_USER, path);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    HKEY hKey = OpenSectionKey(lpszSection, true);
    if (!hKey) return FALSE;
    LONG status;
    if (!lpszValue) {
        status = ::RegDeleteValueA(hKey, lpszEntry);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    } else {
        status = ::RegSetValueExA(hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                  static_cast<DWORD>(lstrlenA(lpszValue) + 1));
    }
    ::RegCloseKey(hKey);
    return status == ERROR_SUCCESS;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
    return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCSTR lpszCursorName) const {
    return ::LoadCursorA(nullptr, lpszCursorName);
}

HICON CWinApp::LoadStandardIcon(LPCSTR lpszIconName) const {
    return ::LoadIconA(nullptr, lpszIconName);
}

// --- globals ------------------------------------------------------------------------------

CWinApp* AfxGetApp() {
    return g_pApp;
}

CWnd* AfxGetMainWnd() {
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

LPCSTR AfxGetAppName() {
    return g_pApp ? g_pApp->m_strAppName.GetString() : "";
}

HINSTANCE AfxGetInstanceHandle() {
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstance) {
    g_hResource = hInstance;
}

void AfxWinInit(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return;
    static char s_empty[1] = "";
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine ? lpCmdLine : s_empty;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_strExeName = ModuleBaseName(hInstance);
    if (pApp->m_strTitleGiven.IsEmpty()) pApp->m_strAppName = pApp->m_strExeName;
    if (pApp->m_strRegistryKey.IsEmpty()) pApp->m_strProfileName = pApp->m_strExeName + ".ini";
}

int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    AfxWinInit(hInstance, lpCmdLine, nCmdShow);
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd) pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, CWnd* pOwner) {
    return ::MessageBoxA(pOwner ? pOwner->m_hWnd : nullptr, lpszText, AfxGetAppName(), nType);
}

void AfxEnableControlContainer() {
    g_bControlContainer = true;
    // A missing control DLL leaves its dialog items uncreated; calls then fail.
    fw::LoadAllControls();
}

BOOL AfxControlContainerEnabled() {
    return g_bControlContainer;
}
