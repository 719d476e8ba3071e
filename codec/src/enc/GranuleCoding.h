// Everything the bitstream carries for one granule of one channel.
#pragma once

#include <array>

namespace orv::codec::enc {

constexpr int kLongBands = 22;    // scale-factor bands of a long block, the last without a factor
constexpr int kShortBands = 13;
constexpr int kLines = 576;

struct GranuleCoding {
    int part23Length = 0;
    int part2Length = 0;
    int bigValues = 0;
    int count1 = 0;               // quadruples in the count1 region
    int globalGain = 210;
    int scalefacCompress = 0;
    int blockType = 0;
    int tableSelect[3] = {0, 0, 0};
    int subblockGain[3] = {0, 0, 0};
    int region0Count = 0;
    int region1Count = 0;
    int preflag = 0;
    int scalefacScale = 0;
    int count1Table = 0;
    std::array<int, kLongBands> scalefacLong{};
    std::array<std::array<int, 3>, kShortBands> scalefacShort{};
    std::array<int, kLines> quantized{};   // signed quantised lines, bitstream order

    bool WindowSwitching() const { return blockType != 0; }
};

} // namespace orv::codec::enc
