#include "ExtractRules.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace extract {

namespace {

constexpr char kReplacement = '_';
constexpr char kForbidden[] = "\\/:*?\"<>|";
constexpr unsigned char kFirstPrintable = 0x20;
constexpr long long kPercent = 100;

constexpr const char* kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2",   "COM3",    "COM4",
                                        "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1",   "LPT2",    "LPT3",
                                        "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",   "CONIN$",  "CONOUT$"};

bool IsForbidden(char c) {
    return static_cast<unsigned char>(c) < kFirstPrintable || std::strchr(kForbidden, c) != nullptr;
}

void TrimTrailingDotsAndBlanks(std::string& s) {
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Windows takes the name before the first dot, trailing blanks aside, as the device:
// "con.wav" and "CON .x" open the console.
bool IsDeviceName(const std::string& s) {
    std::string base = s.substr(0, s.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    base = Upper(base);
    for (const char* pszDevice : kDeviceNames)
        if (base == pszDevice) return true;
    return false;
}

std::string DefaultTitle(int nTrack) {
    char text[16];
    std::snprintf(text, sizeof text, "Track%.2d", nTrack);
    return text;
}

}  // namespace

std::string SafeFileTitle(const std::string& title, int nTrack) {
    std::string s = title.substr(0, kMaxFileTitle);
    for (char& c : s)
        if (IsForbidden(c)) c = kReplacement;
    TrimTrailingDotsAndBlanks(s);
    if (s.empty()) return DefaultTitle(nTrack);
    if (IsDeviceName(s)) s.insert(s.begin(), kReplacement);
    return s;
}

std::string TrackFileTitle(const std::vector<std::string>& titles, int nTrack) {
    if (nTrack < 1 || static_cast<size_t>(nTrack) > titles.size()) return DefaultTitle(nTrack);
    const std::string own = SafeFileTitle(titles[static_cast<size_t>(nTrack - 1)], nTrack);
    const std::string ownUpper = Upper(own);
    for (int t = 1; t < nTrack; ++t) {
        // File names do not tell case apart.
        if (Upper(SafeFileTitle(titles[static_cast<size_t>(t - 1)], t)) != ownUpper) continue;
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " (%.2d)", nTrack);
        return own + suffix;
    }
    return own;
}

long long EncodePercent(long nPosition, long nTotal) {
    if (nTotal <= 0) return 0;
    return static_cast<long long>(nPosition) * kPercent / nTotal;
}

}  // namespace extract
