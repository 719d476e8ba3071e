// Switching to the sibling player: this player's place goes into the sibling's
// profile, then the sibling starts, finds this player by its window text and asks it
// to quit.
#include "SkinApp.h"

#include "SkinText.h"

namespace {

const char kValueX[] = "X";
const char kValueY[] = "Y";

CString SystemErrorText(LONG status) {
    char* pText = nullptr;
    const DWORD nLength = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(status), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&pText), 0,
        nullptr);
    CString strText;
    if (nLength && pText) strText = pText;
    if (pText) ::LocalFree(pText);
    if (strText.IsEmpty()) strText.Format("Error %ld", status);
    return strText;
}

BOOL WriteDword(HKEY hKey, LPCSTR lpszValue, LONG nValue) {
    const DWORD dwValue = static_cast<DWORD>(nValue);
    return ::RegSetValueExA(hKey, lpszValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                            sizeof dwValue) == ERROR_SUCCESS;
}

// A path with blanks must be quoted, or the system may start the first program it
// finds along a shorter prefix ("C:\Program.exe").
CString CommandForPath(const CString& strPath) {
    if (strPath.Find(' ') < 0 || strPath[0] == '"') return strPath;
    return "\"" + strPath + "\"";
}

}  // namespace

void CSkinApp::EnableSiblingItem(CMenu* pPopup, UINT nItem) {
    CString strPath;
    const UINT nState = GetSiblingPath(strPath) ? MF_ENABLED : MF_GRAYED | MF_DISABLED;
    pPopup->EnableMenuItem(nItem, MF_BYCOMMAND | nState);
}

void CSkinApp::ShowSiblingMissing(CWnd* pPlayer, const CString& strPath) {
    ShowMessage(pPlayer, m_nSiblingMissingId, MB_OK | MB_ICONEXCLAMATION, strPath);
}

void CSkinApp::SwitchToSibling(CWnd* pPlayer) {
    CString strPath;
    GetSiblingPath(strPath);
    if (!FileExists(strPath)) {
        ShowSiblingMissing(pPlayer, strPath);
        return;
    }

    CRect rcPlayer;
    pPlayer->GetWindowRect(&rcPlayer);
    CString strKey;
    LoadResString(strKey, m_nSiblingKeyId);
    HKEY hKey = nullptr;
    const LONG status = ::RegOpenKeyExA(HKEY_CURRENT_USER, strKey, 0, KEY_READ | KEY_WRITE, &hKey);
    if (status != ERROR_SUCCESS) {
        ShowMessageText(pPlayer, SystemErrorText(status), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    WriteDword(hKey, kValueX, rcPlayer.left);
    WriteDword(hKey, kValueY, rcPlayer.top);
    ::RegFlushKey(hKey);
    ::RegCloseKey(hKey);

    // The sibling takes over from here; when it cannot even start, the user hears of
    // it the same way as of a missing file.
    if (::WinExec(CommandForPath(strPath), SW_SHOWNORMAL) <= 31) ShowSiblingMissing(pPlayer, strPath);
}
