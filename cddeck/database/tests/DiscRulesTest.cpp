// Identifier arithmetic, the stored selection and comment lines, and the shuffle.
#include <gtest/gtest.h>

#include <algorithm>

#include "DiscRules.h"

namespace {

using cddisc::MsfTime;

MsfTime FromFrames(int frames) {
    return {frames / 4500, frames / 75 % 60, frames % 75};
}

// freedb's definition over frame offsets and the lead-out.
uint32_t FreedbId(const std::vector<int>& offsets, int leadOut) {
    int sum = 0;
    for (int offset : offsets) sum += cddisc::DigitSum(offset / 75);
    const uint32_t span = static_cast<uint32_t>(leadOut / 75 - offsets.front() / 75);
    return static_cast<uint32_t>(sum % 255) << 24 | span << 8 | static_cast<uint32_t>(offsets.size());
}

uint32_t IdFromToc(const std::vector<int>& offsets, int leadOut) {
    std::vector<MsfTime> starts;
    for (int offset : offsets) starts.push_back(FromFrames(offset));
    // The device's last track ends one frame before the lead-out.
    return cddisc::CddbDiscId(starts, FromFrames(leadOut - offsets.back() - 1));
}

TEST(DiscRules, TmsfPacksTrackFirst) {
    EXPECT_EQ(cddisc::PackTmsf(3, 0, 0, 0), 0x00000003u);
    EXPECT_EQ(cddisc::PackTmsf(3, 4, 10, 20), 0x140A0403u);
    EXPECT_EQ(cddisc::PackTmsf(2, 75 / 60, 75 % 60, 0), 0x000F0102u);
    EXPECT_EQ(cddisc::PackTmsf(1, 256 + 2, 0, 0), 0x00000201u);
}

TEST(DiscRules, ChecksumDigitSumsOfStartSeconds) {
    EXPECT_EQ(cddisc::DigitSum(0), 0);
    EXPECT_EQ(cddisc::DigitSum(0 * 60 + 2), 2);    // 0:02:32
    EXPECT_EQ(cddisc::DigitSum(12 * 60 + 34), 16);  // 12:34 is 754 s
}

TEST(DiscRules, IdentifierIsFreedbsForVariedTables) {
    const std::vector<std::pair<std::vector<int>, int>> discs = {
        {{150}, 150 + 75 * 200 + 37},
        {{150, 18000, 33333, 60011}, 99999},
        {{182, 4500, 4501, 9000, 13499}, 300000},
    };
    for (const auto& [offsets, leadOut] : discs)
        EXPECT_EQ(IdFromToc(offsets, leadOut), FreedbId(offsets, leadOut)) << leadOut;

    std::vector<int> ninetyNine;
    for (int t = 0; t < 99; ++t) ninetyNine.push_back(150 + t * 300);
    const uint32_t id = IdFromToc(ninetyNine, 150 + 99 * 300);
    EXPECT_EQ(id & 0xFF, 0x63u);
    EXPECT_EQ(id, FreedbId(ninetyNine, 150 + 99 * 300));
    EXPECT_EQ(cddisc::FormatDiscId(0x0600ab06u), "0600ab06");
}

TEST(DiscRules, SelectionTextRoundTripsAndDamageIsDropped) {
    EXPECT_EQ(cddisc::FormatSelection({1, 2, 5}), "01 02 05 ");
    struct Case {
        const char* text;
        int count;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {"05 01 03 ", 3, {5, 1, 3}},
        {"05 01 03 ", 0, {}},
        {"05 01 03 ", 2, {5, 1}},
        {"01 01 02 02 ", 4, {1, 2}},      // repeats
        {"00 07 99 03 ", 4, {3}},         // outside 1..6
        {"02 ", 500, {2}},                // the text ends first
        {"0", 1, {}},
        {"x4 4", 2, {4}},
    };
    for (const Case& c : cases) EXPECT_EQ(cddisc::ParseSelection(c.text, c.count, 6), c.expected) << c.text;
}

TEST(DiscRules, CommentLinesCarryNoLineBreaks) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(cddisc::SplitComment("a\r\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(cddisc::SplitComment("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(cddisc::SplitComment("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(cddisc::SplitComment(""), Lines{});
    EXPECT_EQ(cddisc::StoredCommentLine("a\r"), "a");
}

TEST(DiscRules, ShuffleIsAPermutationAlsoWithRepeats) {
    for (const std::vector<uint8_t>& selection : {std::vector<uint8_t>{5, 1, 3}, std::vector<uint8_t>{2, 2, 7, 2}}) {
        std::vector<uint8_t> shuffled = cddisc::ShuffledSelection(selection);
        std::vector<uint8_t> sorted = selection;
        std::sort(shuffled.begin(), shuffled.end());
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(shuffled, sorted);
    }
    EXPECT_TRUE(cddisc::ShuffledSelection({}).empty());
}

}  // namespace
