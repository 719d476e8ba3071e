#include "TelmarLibrary.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "TelmarIds.h"

namespace telmartest {

HMODULE Library() {
    static HMODULE module = LoadLibraryA(TELMAR_DLL_PATH);
    EXPECT_NE(module, nullptr) << "cannot load " << TELMAR_DLL_PATH << ", error " << GetLastError();
    return module;
}

std::string LoadText(UINT id) {
    char buffer[telmar::kMaxStringChars + 1] = {};
    const int n = LoadStringA(Library(), id, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

std::string Conversions(const std::string& format) {
    std::string kinds;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        ++i;
        if (i < format.size() && format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
        while (i < format.size() && (std::isdigit(static_cast<unsigned char>(format[i])) || format[i] == '.')) ++i;
        while (i < format.size() && std::strchr("hlL", format[i])) ++i;
        if (i >= format.size()) {
            kinds += '?';
            break;
        }
        const char c = format[i];
        kinds += std::strchr("diuxXoc", c) ? 'd' : c == 's' ? 's' : '?';
    }
    return kinds;
}

}  // namespace telmartest
