// A stand-in web browser for the installer tests, registered as the open command
// of ".htm": writes the command line it was started with to <its own path>.txt
// (through a temporary file, so that a reader never sees half of it) and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    const std::string target = std::string(self, length) + ".txt";
    const std::string temp = target + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file) return 1;
    const bool bWritten = std::fputs(::GetCommandLineA(), file) >= 0;
    if (std::fclose(file) != 0 || !bWritten) return 1;
    return ::MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
