// File names from typed track titles, and the encoder's percentage.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ExtractRules.h"

namespace {

using extract::EncodePercent;
using extract::SafeFileTitle;
using extract::TrackFileTitle;

TEST(ExtractRulesTest, TitlesBecomeOneFileNameInsideTheFolder) {
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"First Light", "First Light"},
        {"AC/DC: Live?", "AC_DC_ Live_"},
        {"..\\..\\x", ".._.._x"},
        {"a*b\"c<d>e|f", "a_b_c_d_e_f"},
        {"tab\there\x01", "tab_here_"},
        {"Ends with dots... ", "Ends with dots"},
        {"...", "Track07"},
        {"", "Track07"},
        {"  ", "Track07"},
        {"CON", "_CON"},
        {"nul", "_nul"},
        {"Com1.live", "_Com1.live"},
        {"LPT9 ", "_LPT9"},
        {"CONCERT", "CONCERT"},
        {"COM10", "COM10"},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeFileTitle(c.title, 7), c.name) << c.title;
    EXPECT_EQ(SafeFileTitle(std::string(1000, 'x'), 1).size(), extract::kMaxFileTitle);
}

TEST(ExtractRulesTest, ALaterTrackWithTheSameNameGetsItsNumber) {
    const std::vector<std::string> titles = {"Intro", "Song", "intro", "Intro?", "Intro_", ""};
    const char* names[] = {"Intro", "Song", "intro (03)", "Intro_", "Intro_ (05)", "Track06"};
    for (int t = 1; t <= 6; ++t) EXPECT_EQ(TrackFileTitle(titles, t), names[t - 1]) << t;
    EXPECT_EQ(TrackFileTitle(titles, 9), "Track09");
}

TEST(ExtractRulesTest, EncodePercentDoesNotOverflowAndIsZeroWithoutATotal) {
    EXPECT_EQ(EncodePercent(5, 0), 0);
    EXPECT_EQ(EncodePercent(5, -1), 0);
    EXPECT_EQ(EncodePercent(1, 3), 33);
    EXPECT_EQ(EncodePercent(2147483647L, 2147483647L), 100);
    EXPECT_EQ(EncodePercent(30000000, 60000000), 50);
}

}  // namespace
