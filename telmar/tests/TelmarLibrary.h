// TELMAR.DLL as the tests see it: loaded once from the build tree by absolute path.
#pragma once

#include <windows.h>

#include <string>

namespace telmartest {

// The library module; fails the calling test when it cannot be loaded.
HMODULE Library();

// The text of string `id`, or empty when LoadString finds nothing.
std::string LoadText(UINT id);

// The conversions of a printf format, one letter each: 'd' for an integer
// conversion (d i u x X o c), 's' for %s. "%%" counts as text. Anything else after a
// '%' (an unknown letter, a '*' width, a lone '%' at the end) is reported as '?'.
std::string Conversions(const std::string& format);

}  // namespace telmartest
