// The own profile (section "APP") and the foreign registry entries the players read.
#include "SkinApp.h"

#include <algorithm>
#include <vector>

#include "ProgramNames.h"

namespace {

// Reads a string value whatever its length: a value longer than the usual 256-byte
// buffer is neither cut (a cut path may name another file) nor allowed to overrun
// anything. A missing value, or one of another type, reads as empty.
CString ReadRegString(HKEY hKey, LPCSTR lpszValue) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0, size = 0;
        if (::RegQueryValueExA(hKey, lpszValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return CString();
        if (type != REG_SZ && type != REG_EXPAND_SZ) return CString();
        // One spare byte: a stored string need not carry its terminator.
        std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
        const LONG status =
            ::RegQueryValueExA(hKey, lpszValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) continue;  // it grew in between
        if (status != ERROR_SUCCESS) return CString();
        buffer[std::min<size_t>(size, buffer.size() - 1)] = '\0';
        return CString(buffer.data());
    }
    return CString();
}

bool ReadKeyString(HKEY hRoot, LPCSTR lpszKey, LPCSTR lpszValue, CString& strValue) {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(hRoot, lpszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    strValue = ReadRegString(hKey, lpszValue);
    ::RegCloseKey(hKey);
    return true;
}

}  // namespace

void CSkinApp::GetSavedPosition(int& x, int& y) {
    x = static_cast<int>(GetProfileInt(kProfileSection, "X", 0));
    y = static_cast<int>(GetProfileInt(kProfileSection, "Y", 0));
}

void CSkinApp::SavePosition(int x, int y) {
    WriteProfileInt(kProfileSection, "X", x);
    WriteProfileInt(kProfileSection, "Y", y);
}

void CSkinApp::GetInstallDir(CString& strDir) {
    CString strProgram = m_strExeName + ".exe";
    strProgram.MakeLower();
    CString strPath = GetProfileString(kProfileSection, "Path", "");
    strPath.MakeLower();
    const int nAt = strPath.Find(strProgram);
    strDir = nAt >= 0 ? strPath.Left(nAt) : strPath;
}

void CSkinApp::GetHelpDir(CString& strDir) {
    CString strName = m_strExeName;
    strName.MakeLower();
    CString strPath = GetProfileString(kProfileSection, "Path", "");
    strPath.MakeLower();
    const int nAt = strPath.Find(strName);
    strDir = nAt >= 0 ? strPath.Left(nAt) : CString();
}

BOOL CSkinApp::GetBrowserCommand(CString& strCommand) {
    return GetOpenCommand(".htm", strCommand);
}

BOOL CSkinApp::GetOpenCommand(LPCSTR lpszExtension, CString& strCommand) {
    CString strProgId;
    if (!ReadKeyString(HKEY_CLASSES_ROOT, lpszExtension, nullptr, strProgId)) return FALSE;
    CString strOpen;
    if (!ReadKeyString(HKEY_CLASSES_ROOT, strProgId + "\\shell\\open\\command", nullptr, strOpen)) return FALSE;
    // Whatever precedes "%1" (a blank, an opening quote) stays, so that the path can
    // simply be appended.
    const int nArgument = strOpen.Find("%1");
    if (nArgument >= 0) {
        strOpen = strOpen.Left(nArgument);
    } else {
        strOpen += " ";
    }
    strCommand = strOpen;
    return TRUE;
}

BOOL CSkinApp::GetSiblingPath(CString& strPath) {
    CString strKey;
    // Without the key's name there is nothing to open (an empty name would open
    // HKEY_CURRENT_USER itself).
    if (!LoadResString(strKey, m_nSiblingKeyId) || strKey.IsEmpty()) return FALSE;
    return ReadKeyString(HKEY_CURRENT_USER, strKey, "Path", strPath);
}

BOOL CSkinApp::FileExists(LPCSTR lpszPath) {
    if (!lpszPath || !*lpszPath) return FALSE;
    HANDLE hFile = ::CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(hFile);
    return TRUE;
}
