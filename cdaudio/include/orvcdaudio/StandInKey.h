// Where our CD-audio stand-in keeps its state, under HKEY_CURRENT_USER: the sheet of
// the disc in its drive, and why that disc cannot be read (absent when it can). A
// drive's own driver has no such key. Windows only, unlike the rest of this folder.
#pragma once

#include <windows.h>

#include <string>

namespace orv::cd {

constexpr char kStandInKey[] = "Software\\Orvanta\\CDAudio";
constexpr char kDiscValue[] = "Disc";
constexpr char kDiscErrorValue[] = "DiscError";

// A string value of the key; empty when the key or the value is missing, is no
// string or does not fit.
inline std::string ReadStandInValue(const char* pszValue) {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kStandInKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return {};
    char szText[1024] = {};
    DWORD dwSize = sizeof szText - 1;
    DWORD dwType = 0;
    const LONG nResult =
        ::RegQueryValueExA(hKey, pszValue, nullptr, &dwType, reinterpret_cast<BYTE*>(szText), &dwSize);
    ::RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS && dwType == REG_SZ ? std::string(szText) : std::string();
}

}  // namespace orv::cd
