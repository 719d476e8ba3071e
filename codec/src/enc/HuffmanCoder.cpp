#include "HuffmanCoder.h"

#include "orvcodec/MpegTables.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace orv::codec::enc {
namespace {

// Code lengths of a pair (x, y) of values up to 15 in every table, indexed x * 16 + y
// and packed four tables to a 64-bit word in 16-bit lanes, so that one addition
// counts four tables at once (a granule's counts stay far below 2^16). Lanes of
// tables 16 and 24 stand for their families, with values clamped to 15 as escapes
// code them; a plain table's lengths past its size are zero and never used.
using Packed = std::uint64_t;
constexpr int kWords = 4;
constexpr int kAllWords[kWords] = {0, 1, 2, 3};
// Each candidate set of CandidatesFor lies within one word.
constexpr int kLayout[kWords][4] = {{1, 2, 3, 0}, {5, 6, 13, 15}, {7, 8, 9, 16}, {10, 11, 12, 24}};

struct Lane {
    int word = 0, shift = 0;
    int Of(const Packed* sums) const { return int((sums[word] >> shift) & 0xFFFF); }
};

// The tables without escapes, by size.
constexpr int kPlainTables[] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15};
constexpr int kPlainCount = int(sizeof(kPlainTables) / sizeof(kPlainTables[0]));

struct CodeLengths {
    Packed packed[kWords][256] = {};
    Lane lane[kHuffmanTableCount];
    int firstFitting[16] = {};   // by largest value: the first of kPlainTables that holds it

    CodeLengths()
    {
        for (int w = 0; w < kWords; ++w)
            for (int l = 0; l < 4; ++l) {
                const int t = kLayout[w][l];
                lane[t] = {w, 16 * l};
                if (t != 0)
                    Fill(w, l, kHuffmanTables[t]);
            }
        for (int value = 0; value < 16; ++value)
            while (kHuffmanTables[kPlainTables[firstFitting[value]]].size <= value)
                ++firstFitting[value];
    }
    void Fill(int word, int l, const HuffmanTable& table)
    {
        for (int x = 0; x < table.size; ++x)
            for (int y = 0; y < table.size; ++y)
                packed[word][x * 16 + y] |= Packed(table.codes[x * table.size + y].length) << (16 * l);
    }
};

const CodeLengths& Lengths()
{
    static const CodeLengths lengths;
    return lengths;
}

// Sums over the pairs of [begin, end): code lengths in the words asked for, sign bits,
// components that need an escape, and the largest value.
struct PairSums {
    Packed lengths[kWords] = {};
    int signs = 0, escapes = 0, maxValue = 0;
};

template <int N>
PairSums SumPairs(const int* q, int begin, int end, const int (&words)[N])
{
    const CodeLengths& lengths = Lengths();
    PairSums sums;
    for (int i = begin; i < end; i += 2) {
        const int x = std::abs(q[i]), y = std::abs(q[i + 1]);
        sums.signs += (x != 0) + (y != 0);
        sums.escapes += (x >= 15) + (y >= 15);
        sums.maxValue = std::max(sums.maxValue, std::max(x, y));
        const int index = std::min(x, 15) * 16 + std::min(y, 15);
        for (int w : words)
            sums.lengths[w] += lengths.packed[w][index];
    }
    return sums;
}

// The plain tables' part of SumPairs, for values up to 15: one word and the signs.
Packed SumWord(const int* q, int begin, int end, int word, int& signs)
{
    const Packed* packed = Lengths().packed[word];
    Packed sum = 0;
    int nonzero = 0;
    for (int i = begin; i < end; i += 2) {
        const int x = std::abs(q[i]), y = std::abs(q[i + 1]);
        nonzero += (x != 0) + (y != 0);
        sum += packed[x * 16 + y];
    }
    signs = nonzero;
    return sum;
}

// Tables worth trying for a region whose largest value is at most 15.
struct Candidates {
    int count;
    int tables[3];
};

Candidates CandidatesFor(int maxValue)
{
    switch (maxValue) {
    case 1: return {1, {1, 0, 0}};
    case 2: return {2, {2, 3, 0}};
    case 3: return {2, {5, 6, 0}};
    case 4:
    case 5: return {3, {7, 8, 9}};
    case 6:
    case 7: return {3, {10, 11, 12}};
    default: return {2, {13, 15, 0}};
    }
}

int EscapeTableFor(int firstTable, int overflow)
{
    for (int t = firstTable; t < firstTable + 8; ++t)
        if (overflow < (1 << kHuffmanTables[t].linbits))
            return t;
    return -1;
}

int MaxAbs(const int* lines, int begin, int end)
{
    int maxValue = 0;
    for (int i = begin; i < end; ++i)
        maxValue = std::max(maxValue, std::abs(lines[i]));
    return maxValue;
}

void PutCode(BitWriter& out, const HuffmanCode& code)
{
    out.Put(code.code, code.length);
}

// Sums of the pairs of bands [0, b) for each b, with each band's largest value.
struct BandTotals {
    int count = 0;
    int maxValue[kLongBands] = {};
    PairSums upTo[kLongBands + 1];

    // Cheapest table for bands [first, last), written to table; its bits.
    int RegionCost(int first, int last, int& table) const
    {
        table = 0;
        if (first >= last)
            return 0;
        const int maxValue = *std::max_element(this->maxValue + first, this->maxValue + last);
        if (maxValue == 0)
            return 0;
        Packed lengths[kWords];
        for (int w = 0; w < kWords; ++w)
            lengths[w] = upTo[last].lengths[w] - upTo[first].lengths[w];   // no lane is ever below its earlier sum
        const int signs = upTo[last].signs - upTo[first].signs;
        const int escapes = upTo[last].escapes - upTo[first].escapes;
        const CodeLengths& codeLengths = Lengths();
        int best = 1 << 30;
        for (int t = maxValue <= 15 ? codeLengths.firstFitting[maxValue] : kPlainCount; t < kPlainCount; ++t) {
            const int bits = signs + codeLengths.lane[kPlainTables[t]].Of(lengths);
            if (bits < best) { best = bits; table = kPlainTables[t]; }
        }
        for (int family : {16, 24}) {
            // Below 16 the first table of a family serves.
            const int t = maxValue <= 15 ? family : EscapeTableFor(family, maxValue - 15);
            if (t < 0)
                continue;
            const int bits = signs + escapes * kHuffmanTables[t].linbits + codeLengths.lane[family].Of(lengths);
            if (bits < best) { best = bits; table = t; }
        }
        return best;
    }
};

} // namespace

void HuffmanCoder::Configure(const std::uint16_t* longEdges)
{
    m_longEdges = longEdges;
}

int HuffmanCoder::ChooseTable(const int* lines, int begin, int end, int& table) const
{
    table = 0;
    if (begin >= end)
        return 0;
    const int maxValue = MaxAbs(lines, begin, end);
    if (maxValue == 0)
        return 0;
    if (maxValue > kMaxQuantized)
        return 1 << 20;   // cannot be coded
    const CodeLengths& lengths = Lengths();
    if (maxValue <= 15) {
        // All candidates in one pass; signs cost the same in every table.
        const Candidates candidates = CandidatesFor(maxValue);
        Packed sums[kWords] = {};
        const int word = lengths.lane[candidates.tables[0]].word;
        int signs = 0;
        sums[word] = SumWord(lines, begin, end, word, signs);
        int best = 1 << 30;
        for (int c = 0; c < candidates.count; ++c) {
            const int bits = lengths.lane[candidates.tables[c]].Of(sums);
            if (bits < best) { best = bits; table = candidates.tables[c]; }
        }
        return best + signs;
    }
    const int families[2] = {16, 24};
    const int words[2] = {lengths.lane[16].word, lengths.lane[24].word};
    const PairSums sums = SumPairs(lines, begin, end, words);
    int best = 1 << 30;
    for (int family : families) {
        const int t = EscapeTableFor(family, maxValue - 15);
        if (t < 0)
            continue;
        const int bits = lengths.lane[family].Of(sums.lengths) + sums.signs + sums.escapes * kHuffmanTables[t].linbits;
        if (bits < best) { best = bits; table = t; }
    }
    return best;
}

int HuffmanCoder::Extents(GranuleCoding& g) const
{
    const int* q = g.quantized.data();
    int end = kLines;
    while (end >= 4 && (q[end - 1] | q[end - 2] | q[end - 3] | q[end - 4]) == 0)
        end -= 4;
    while (end > 1 && q[end - 1] == 0 && q[end - 2] == 0)
        end -= 2;
    // Bits of a quadruple with its signs in table A (low half) and table B (high half).
    static const auto count1Bits = [] {
        std::array<std::uint32_t, 16> both{};
        for (int i = 0; i < 16; ++i) {
            const int signs = (i >> 3) + ((i >> 2) & 1) + ((i >> 1) & 1) + (i & 1);
            both[i] = std::uint32_t(kCount1Tables[0][i].length + signs) | std::uint32_t(kCount1Tables[1][i].length + signs) << 16;
        }
        return both;
    }();
    int bitsA = 0, bitsB = 0, start = end;
    while (start >= 4) {
        const int v = std::abs(q[start - 4]), w = std::abs(q[start - 3]);
        const int x = std::abs(q[start - 2]), y = std::abs(q[start - 1]);
        if (v > 1 || w > 1 || x > 1 || y > 1)
            break;
        const std::uint32_t both = count1Bits[v * 8 + w * 4 + x * 2 + y];
        bitsA += int(both & 0xFFFF);
        bitsB += int(both >> 16);
        start -= 4;
    }
    g.bigValues = start / 2;
    g.count1 = (end - start) / 4;
    g.count1Table = bitsB < bitsA ? 1 : 0;
    return std::min(bitsA, bitsB);
}

int HuffmanCoder::CountWithRegions(GranuleCoding& g, int region1Start, int region2Start) const
{
    const int bigEnd = g.bigValues * 2;
    region1Start = std::min(region1Start, bigEnd);
    region2Start = std::min(std::max(region2Start, region1Start), bigEnd);
    const int* q = g.quantized.data();
    return ChooseTable(q, 0, region1Start, g.tableSelect[0])
         + ChooseTable(q, region1Start, region2Start, g.tableSelect[1])
         + ChooseTable(q, region2Start, bigEnd, g.tableSelect[2]);
}

int HuffmanCoder::CountQuick(GranuleCoding& g) const
{
    const int count1Bits = Extents(g);
    const int bigEnd = g.bigValues * 2;
    if (g.WindowSwitching()) {
        int table = 0;
        const int bits = ChooseTable(g.quantized.data(), 0, bigEnd, table);
        g.tableSelect[0] = g.tableSelect[1] = table;
        g.tableSelect[2] = 0;
        g.region0Count = g.region1Count = 0;
        return bits + count1Bits;
    }
    int bands = 0;
    while (bands < kLongBands && m_longEdges[bands] < bigEnd)
        ++bands;
    g.region0Count = std::clamp(bands / 4, 0, 15);
    g.region1Count = std::clamp(bands / 3, 0, 7);
    while (g.region0Count + g.region1Count + 2 > kLongBands)
        --g.region1Count;
    const int region1Start = m_longEdges[g.region0Count + 1];
    const int region2Start = m_longEdges[g.region0Count + g.region1Count + 2];
    return CountWithRegions(g, region1Start, region2Start) + count1Bits;
}

int HuffmanCoder::CountBest(GranuleCoding& g) const
{
    if (g.WindowSwitching())
        return CountQuick(g);
    const int count1Bits = Extents(g);
    if (g.bigValues == 0)
        return CountQuick(g);
    // Costs of every table as running sums over scale-factor bands, so that each
    // region layout is a matter of differences.
    const int bigEnd = g.bigValues * 2;
    BandTotals totals;
    while (totals.count < kLongBands && m_longEdges[totals.count] < bigEnd) {
        const int b = totals.count++;
        const PairSums band = SumPairs(g.quantized.data(), m_longEdges[b], std::min<int>(m_longEdges[b + 1], bigEnd), kAllWords);
        totals.maxValue[b] = band.maxValue;
        totals.upTo[b + 1] = totals.upTo[b];
        PairSums& sum = totals.upTo[b + 1];
        sum.signs += band.signs;
        sum.escapes += band.escapes;
        for (int w = 0; w < kWords; ++w)
            sum.lengths[w] += band.lengths[w];
    }
    const int bandCount = totals.count;
    // Region 2 always runs to the last band: its cost depends on its start alone.
    int lastBits[kLongBands + 1], lastTable[kLongBands + 1];
    for (int first = 0; first <= bandCount; ++first)
        lastBits[first] = totals.RegionCost(first, bandCount, lastTable[first]);
    int best = 1 << 30, bestR0 = 0, bestR1 = 0;
    int tables[3] = {0, 0, 0}, bestTables[3] = {0, 0, 0};
    for (int r0 = 0; r0 < 16 && (r0 == 0 || r0 + 1 <= bandCount); ++r0) {
        const int end0 = std::min(r0 + 1, bandCount);
        const int bits0 = totals.RegionCost(0, end0, tables[0]);
        for (int r1 = 0; r1 < 8 && r0 + r1 + 2 <= kLongBands; ++r1) {
            const int end1 = std::min(r0 + r1 + 2, bandCount);
            tables[2] = lastTable[end1];
            const int bits = bits0 + totals.RegionCost(end0, end1, tables[1]) + lastBits[end1];
            if (bits < best) {
                best = bits;
                bestR0 = r0;
                bestR1 = r1;
                std::copy(tables, tables + 3, bestTables);
            }
            if (end1 >= bandCount)
                break;
        }
    }
    g.region0Count = bestR0;
    g.region1Count = bestR1;
    std::copy(bestTables, bestTables + 3, g.tableSelect);
    return best + count1Bits;
}

void HuffmanCoder::Write(BitWriter& out, const GranuleCoding& g) const
{
    const int bigEnd = g.bigValues * 2;
    int region1Start = bigEnd, region2Start = bigEnd;
    if (!g.WindowSwitching()) {
        region1Start = std::min<int>(m_longEdges[g.region0Count + 1], bigEnd);
        region2Start = std::min<int>(m_longEdges[g.region0Count + g.region1Count + 2], bigEnd);
    }
    const int* q = g.quantized.data();
    for (int i = 0; i < bigEnd; i += 2) {
        const int table = i < region1Start ? g.tableSelect[0] : i < region2Start ? g.tableSelect[1] : g.tableSelect[2];
        if (table == 0)
            continue;
        const HuffmanTable& t = kHuffmanTables[table];
        int x = std::abs(q[i]), y = std::abs(q[i + 1]);
        if (!t.linbits) {
            // The code and its signs in one go.
            const HuffmanCode& code = t.codes[x * t.size + y];
            const int signCount = (x != 0) + (y != 0);
            const std::uint32_t signs = x && y ? (q[i] < 0) * 2u + (q[i + 1] < 0) : (q[i] < 0) + (q[i + 1] < 0);
            out.Put(code.code << signCount | signs, code.length + signCount);
            continue;
        }
        const int xCode = std::min(x, 15);
        const int yCode = std::min(y, 15);
        PutCode(out, t.codes[xCode * t.size + yCode]);
        if (t.linbits && x >= 15)
            out.Put(static_cast<std::uint32_t>(x - 15), t.linbits);
        if (x)
            out.Put(q[i] < 0, 1);
        if (t.linbits && y >= 15)
            out.Put(static_cast<std::uint32_t>(y - 15), t.linbits);
        if (y)
            out.Put(q[i + 1] < 0, 1);
    }
    const HuffmanCode* count1 = kCount1Tables[g.count1Table];
    for (int k = 0; k < g.count1; ++k) {
        const int* quad = q + bigEnd + 4 * k;
        const int index = std::abs(quad[0]) * 8 + std::abs(quad[1]) * 4 + std::abs(quad[2]) * 2 + std::abs(quad[3]);
        // The code and its signs in one go.
        std::uint32_t bits = count1[index].code;
        int length = count1[index].length;
        for (int j = 0; j < 4; ++j)
            if (quad[j]) {
                bits = bits << 1 | (quad[j] < 0);
                ++length;
            }
        out.Put(bits, length);
    }
}

} // namespace orv::codec::enc
