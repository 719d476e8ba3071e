// Layer III Huffman coding of quantised lines: region layout, table choice,
// bit counting and writing.
#pragma once

#include "BitWriter.h"
#include "GranuleCoding.h"

#include <cstdint>

namespace orv::codec::enc {

constexpr int kMaxQuantized = 15 + 8191;   // largest value table 31 can carry

class HuffmanCoder {
public:
    // longEdges: the 23 long band edges of the stream's sampling rate.
    // lsfShortRegions: short granules of MPEG-2 streams use one table for
    // both regions, since decoders differ on where region 1 starts there.
    void Configure(const std::uint16_t* longEdges, bool lsf);

    // Fills big values, count1, tables and regions of `g` from g.quantized with
    // a quick region layout; returns the part-3 bit count.
    int CountQuick(GranuleCoding& g) const;
    // As CountQuick, but searches every region layout of a long block.
    int CountBest(GranuleCoding& g) const;
    void Write(BitWriter& out, const GranuleCoding& g) const;

private:
    int Extents(GranuleCoding& g) const;     // sets bigValues and count1, returns count1 bits
    int ChooseTable(const int* lines, int begin, int end, int& table) const;
    int CountPairs(const int* lines, int begin, int end, int table) const;
    int CountWithRegions(GranuleCoding& g, int region1Start, int region2Start) const;

    const std::uint16_t* m_longEdges = nullptr;
    bool m_lsf = false;
};

} // namespace orv::codec::enc
