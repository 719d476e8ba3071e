// A help page or web address appended to the browser's open command stays one
// argument, blanks and all.
#include <gtest/gtest.h>

#include "CommandLine.h"

TEST(CommandLineTest, TheArgumentIsQuotedOnceWhateverTheCommandEndsIn) {
    const std::string page = "c:\\program files\\orvanta\\cddeck.htm";
    const struct {
        const char* command;
        std::string line;
    } cases[] = {
        {"\"C:\\windows\\winebrowser.exe\" -nohome \"", "\"C:\\windows\\winebrowser.exe\" -nohome \"" + page + "\""},
        {"browser.exe ", "browser.exe \"" + page + "\""},
        {"browser.exe", "browser.exe \"" + page + "\""},
    };
    for (const auto& c : cases) EXPECT_EQ(cdcmd::AppendArgument(c.command, page), c.line) << c.command;
}
