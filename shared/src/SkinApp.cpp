#include "SkinApp.h"

#include "ProgramNames.h"
#include "ResourceIds.h"
#include "SkinMessages.h"
#include "SkinText.h"

namespace {

const char kRegistryKey[] = "Orvanta";
const char kLibraryMissing[] =
    "Unable to execute application. TELMAR.DLL is missing. Please  re-install Orvanta again.";

const UINT kSkinBackground = 2020;
const UINT kSkinFaces = 2021;
const UINT kSkinPage = 2023;

}  // namespace

CSkinApp* GetSkinApp() {
    return static_cast<CSkinApp*>(AfxGetApp());
}

CSkinApp::CSkinApp(LPCSTR lpszTitle, UINT nSiblingKeyId, UINT nSiblingMissingId)
    : CWinApp(lpszTitle), m_nSiblingKeyId(nSiblingKeyId), m_nSiblingMissingId(nSiblingMissingId) {}

CWnd* CSkinApp::GetPlayerWindow() {
    return nullptr;
}

void CSkinApp::RequestQuit() {}

BOOL CSkinApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    SetRegistryKey(kRegistryKey);

    // A copy of this program already runs: bring it forward and leave silently. Its
    // frame, its sheet and its message boxes all carry the program title.
    if (HWND hRunning = ::FindWindowA(nullptr, m_strAppName)) {
        ::BringWindowToTop(hRunning);
        return FALSE;
    }

    m_hHandCursor = LoadCursor(IDC_HOTSPOT_HAND);
    m_hArrowCursor = LoadStandardCursor(IDC_ARROW);

    if (!LoadSkin(kSkinBackground, m_bmpBackground, m_palBackground) ||
        !LoadSkin(kSkinFaces, m_bmpFace, m_palFace) || !LoadSkin(kSkinPage, m_bmpPage, m_palPage)) {
        // The library holds every other text, so this one is written here.
        ShowMessageText(nullptr, kLibraryMissing, MB_OK | MB_DEFBUTTON1 | MB_ICONEXCLAMATION);
        return FALSE;
    }

    m_bResume = static_cast<int>(GetProfileInt(kProfileSection, "Resume", 0));
    m_hIcon = LoadIcon(IDI_APP);

    LPCSTR lpszClass = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, m_hArrowCursor, nullptr, m_hIcon);
    if (!lpszClass || !m_wndFrame.Create(lpszClass, m_strAppName, WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault)) {
        return FALSE;
    }
    m_pMainWnd = &m_wndFrame;
    // The raw command line stays in m_lpCmdLine for the player window; there is no
    // shell command to process.
    return TRUE;
}

BOOL CSkinApp::LoadSkin(UINT nID, CBitmap& bmp, CPalette& pal) {
    HPALETTE hPalette = nullptr;
    HBITMAP hBitmap = LoadSkinBitmap(nID, hPalette);
    if (!hBitmap) return FALSE;
    bmp.Attach(hBitmap);
    if (hPalette) pal.Attach(hPalette);
    return TRUE;
}

int CSkinApp::ExitInstance() {
    m_bmpBackground.DeleteObject();
    m_bmpFace.DeleteObject();
    m_bmpPage.DeleteObject();
    m_palBackground.DeleteObject();
    m_palFace.DeleteObject();
    m_palPage.DeleteObject();
    // The frame outlives the message loop; take it down before the process does.
    if (m_wndFrame.m_hWnd) m_wndFrame.DestroyWindow();
    return CWinApp::ExitInstance();
}

void CSkinApp::TakeOverFromSibling(LPCSTR lpszSiblingPlayerText) {
    HWND hSibling = ::FindWindowA(nullptr, lpszSiblingPlayerText);
    if (!hSibling) return;
    RECT rc = {};
    ::GetWindowRect(hSibling, &rc);
    SavePosition(rc.left, rc.top);
    // The sibling saves its state and quits on its own time; nobody waits for it.
    ::PostMessageA(hSibling, UM_SHUTDOWN, 0, 0);
}

void CSkinApp::ShowFrame() {
    // Zero-sized and off screen: showing it only makes the taskbar button.
    m_wndFrame.ShowWindow(SW_SHOW);
    m_wndFrame.UpdateWindow();
}

void CSkinApp::EndPlayer(CWnd* pPlayer) {
    CRect rcWindow;
    pPlayer->GetWindowRect(&rcWindow);
    SavePosition(rcWindow.left, rcWindow.top);
    m_wndFrame.ShowWindow(SW_HIDE);
    pPlayer->DestroyWindow();
    ::PostQuitMessage(0);
}
