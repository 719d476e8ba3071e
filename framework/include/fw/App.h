// CWinApp: the one application object, its message loop and its registry profile.
#pragma once

#include <windows.h>

#include "fw/String.h"

class CWnd;

class CWinApp {
public:
    // The title names message boxes; nullptr means the program file's base name.
    explicit CWinApp(LPCSTR lpszAppTitle = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // Returns the process exit code: the quit message's code unless overridden.
    virtual int ExitInstance();
    // The message loop: runs until WM_QUIT, then returns ExitInstance().
    virtual int Run();
    // Offers a message to the windows it is meant for, innermost first, so that modeless
    // dialogs and property sheets get their keyboard navigation. TRUE when taken.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called when the queue is empty; frees temporary window objects.
    virtual BOOL OnIdle(LONG lCount);

    // Profile: HKEY_CURRENT_USER\Software\<registry key>\<program base name>\<section>
    // once SetRegistryKey has been called; an INI file of that name before.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    // A nullptr value deletes the entry; a nullptr entry deletes the whole section.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);

    HICON LoadIcon(UINT nIDResource) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const;
    HICON LoadStandardIcon(LPCSTR lpszIconName) const;

    // Kept for the start-up sequence of the programs: 3-D controls are the system's
    // look already.
    BOOL Enable3dControls() { return TRUE; }

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;  // the raw command line after the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    CString m_strAppName;       // program title
    CString m_strExeName;       // program file name without folder and extension
    CString m_strRegistryKey;   // empty until SetRegistryKey
    CString m_strProfileName;   // key under the registry key, or the INI file name

protected:
    // Opens (or with bCreate makes) the section's key; nullptr on failure.
    HKEY OpenSectionKey(LPCSTR lpszSection, bool bCreate) const;

    int m_nExitCode = 0;
    CString m_strTitleGiven;

    friend void AfxWinInit(HINSTANCE, LPSTR, int);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCSTR AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstance);

// Fills the application object's instance, command line and names. WinMain calls it;
// tests that make an application object of their own call it too.
void AfxWinInit(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);
// The whole life of the program: AfxWinInit, InitInstance, Run (or ExitInstance when
// InitInstance failed). The framework's WinMain calls it.
int AfxWinMain(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);

// A message box captioned with the program title, owned by pOwner (none when nullptr).
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, CWnd* pOwner = nullptr);

// The control containment switch: programs that host controls turn it on first thing.
void AfxEnableControlContainer();
BOOL AfxControlContainerEnabled();
