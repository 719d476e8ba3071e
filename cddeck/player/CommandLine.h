// Command lines for WinExec: an argument appended to a registered open command (which
// may end in the opening quote of its own "%1") stays one argument even when it
// holds blanks. Portable.
#pragma once

#include <string>

namespace cdcmd {

inline std::string AppendArgument(const std::string& command, const std::string& argument) {
    // The command already opened a quote for the argument: close it after the argument.
    if (!command.empty() && command.back() == '"') return command + argument + "\"";
    std::string line = command;
    if (!line.empty() && line.back() != ' ') line += ' ';
    return line + "\"" + argument + "\"";
}

}  // namespace cdcmd
