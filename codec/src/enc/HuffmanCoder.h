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
    void Configure(const std::uint16_t* longEdges);

    // Fills big values, count1, tables and regions of `g` from g.quantized with
    // a quick region layout; returns the part-3 bit count. Switched blocks use
    // one table for both their regions: decoders disagree on where region 1
    // of an MPEG-2 short block starts, and the cost elsewhere is small.
    int CountQuick(GranuleCoding& g) const;
    // As CountQuick, but searches every region layout of a long block.
    int CountBest(GranuleCoding& g) const;
    void Write(BitWriter& out, const GranuleCoding& g) const;

private:
    int Extents(GranuleCoding& g) const;     // sets bigValues and count1, returns count1 bits
    int ChooseTable(const int* lines, int begin, int end, int& table) const;
    int CountWithRegions(GranuleCoding& g, int region1Start, int region2Start) const;

    const std::uint16_t* m_longEdges = nullptr;
};

} // namespace orv::codec::enc
