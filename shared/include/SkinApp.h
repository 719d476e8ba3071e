// CSkinApp: the application base of both players. It starts the program (single
// instance, skin, settings, hidden frame), gives access to TELMAR.DLL and the
// registry settings, and hands over to the sibling player.
#pragma once

#include "fw/Framework.h"

#include "MainFrame.h"

class CSkinApp : public CWinApp {
public:
    // nSiblingKeyId names the resource string that holds the sibling's profile key,
    // nSiblingMissingId the message shown when the sibling's program file is missing.
    CSkinApp(LPCSTR lpszTitle, UINT nSiblingKeyId, UINT nSiblingMissingId);

    BOOL InitInstance() override;
    int ExitInstance() override;

    virtual CWnd* GetPlayerWindow();
    // Asks the player window to save its state and end the program.
    virtual void RequestQuit();

    // Resource library. The caller owns the bitmap and the palette (none above 8 bits
    // per pixel); nullptr when the bitmap cannot be had.
    HBITMAP LoadSkinBitmap(UINT nID, HPALETTE& hPalette);
    // FALSE when the library or the string is missing; strText is then unchanged.
    BOOL LoadResString(CString& strText, UINT nID);

    // Settings of the own profile and the few foreign registry entries.
    void GetSavedPosition(int& x, int& y);
    void SavePosition(int x, int y);
    // Lower case, with the trailing backslash when "Path" names this program.
    void GetInstallDir(CString& strDir);
    // The help pages' folder: "Path" cut before the program's base name, lower case;
    // empty when the name does not occur in it.
    void GetHelpDir(CString& strDir);
    // The ".htm" open command cut before its "%1", ready to have a path appended.
    BOOL GetBrowserCommand(CString& strCommand);
    // The same for any file extension; FALSE when a key is missing (strCommand unchanged).
    static BOOL GetOpenCommand(LPCSTR lpszExtension, CString& strCommand);
    // FALSE when the sibling's profile key cannot be opened (strPath unchanged).
    BOOL GetSiblingPath(CString& strPath);
    static BOOL FileExists(LPCSTR lpszPath);

    // Hand-over: the sibling menu item is enabled only when the sibling is registered;
    // choosing it writes this player's position into the sibling's profile and starts it.
    void EnableSiblingItem(CMenu* pPopup, UINT nItem);
    void SwitchToSibling(CWnd* pPlayer);
    // The player's last step: its position saved, the frame hidden, the player
    // destroyed and the quit message posted.
    void EndPlayer(CWnd* pPlayer);

    HMODULE m_hResourceLibrary = nullptr;
    int m_bResume = 0;
    HICON m_hIcon = nullptr;
    HCURSOR m_hArrowCursor = nullptr;
    HCURSOR m_hHandCursor = nullptr;
    CPalette m_palBackground;
    CBitmap m_bmpBackground;
    CPalette m_palFace;
    CBitmap m_bmpFace;
    CPalette m_palPage;
    CBitmap m_bmpPage;
    CMainFrame m_wndFrame;

protected:
    // Start-up of the derived programs: a running sibling's player gives its place to
    // ours and is asked to quit; then the frame shows its taskbar button.
    void TakeOverFromSibling(LPCSTR lpszSiblingPlayerText);
    void ShowFrame();

private:
    BOOL LoadSkin(UINT nID, CBitmap& bmp, CPalette& pal);
    void ShowSiblingMissing(CWnd* pPlayer, const CString& strPath);

    const UINT m_nSiblingKeyId;
    const UINT m_nSiblingMissingId;
};

// The running program's application object.
CSkinApp* GetSkinApp();
