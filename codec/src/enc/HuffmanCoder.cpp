#include "HuffmanCoder.h"

#include "orvcodec/MpegTables.h"

#include <algorithm>
#include <cstdlib>

namespace orv::codec::enc {
namespace {

struct CodeLengths {
    std::uint8_t pair[kHuffmanTableCount][256] = {};

    CodeLengths()
    {
        for (int t = 0; t < kHuffmanTableCount; ++t) {
            const HuffmanTable& table = kHuffmanTables[t];
            for (int i = 0; i < table.size * table.size; ++i)
                pair[t][i] = table.codes[i].length;
        }
    }
};

const CodeLengths& Lengths()
{
    static const CodeLengths lengths;
    return lengths;
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

} // namespace

void HuffmanCoder::Configure(const std::uint16_t* longEdges)
{
    m_longEdges = longEdges;
}

int HuffmanCoder::CountPairs(const int* lines, int begin, int end, int table) const
{
    if (table == 0)
        return 0;
    const std::uint8_t* lengths = Lengths().pair[table];
    const int size = kHuffmanTables[table].size;
    const int linbits = kHuffmanTables[table].linbits;
    int bits = 0;
    for (int i = begin; i < end; i += 2) {
        int x = std::abs(lines[i]), y = std::abs(lines[i + 1]);
        bits += (x != 0) + (y != 0);
        if (x >= 15 && linbits) { bits += linbits; x = 15; }
        if (y >= 15 && linbits) { bits += linbits; y = 15; }
        bits += lengths[x * size + y];
    }
    return bits;
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
    if (maxValue <= 15) {
        // All candidates in one pass; signs cost the same in every table.
        const Candidates candidates = CandidatesFor(maxValue);
        const std::uint8_t* lengths[3];
        int sizes[3], bits[3] = {0, 0, 0}, signs = 0;
        for (int c = 0; c < candidates.count; ++c) {
            lengths[c] = Lengths().pair[candidates.tables[c]];
            sizes[c] = kHuffmanTables[candidates.tables[c]].size;
        }
        for (int i = begin; i < end; i += 2) {
            const int x = std::abs(lines[i]), y = std::abs(lines[i + 1]);
            signs += (x != 0) + (y != 0);
            for (int c = 0; c < candidates.count; ++c)
                bits[c] += lengths[c][x * sizes[c] + y];
        }
        int best = 0;
        for (int c = 1; c < candidates.count; ++c)
            if (bits[c] < bits[best])
                best = c;
        table = candidates.tables[best];
        return bits[best] + signs;
    }
    int best = 1 << 30;
    for (int family : {16, 24}) {
        const int t = EscapeTableFor(family, maxValue - 15);
        if (t < 0)
            continue;
        const int bits = CountPairs(lines, begin, end, t);
        if (bits < best) { best = bits; table = t; }
    }
    return best;
}

int HuffmanCoder::Extents(GranuleCoding& g) const
{
    const int* q = g.quantized.data();
    int end = kLines;
    while (end > 1 && q[end - 1] == 0 && q[end - 2] == 0)
        end -= 2;
    int bitsA = 0, bitsB = 0, start = end;
    while (start >= 4) {
        const int v = std::abs(q[start - 4]), w = std::abs(q[start - 3]);
        const int x = std::abs(q[start - 2]), y = std::abs(q[start - 1]);
        if (v > 1 || w > 1 || x > 1 || y > 1)
            break;
        const int index = v * 8 + w * 4 + x * 2 + y;
        const int signs = v + w + x + y;
        bitsA += kCount1Tables[0][index].length + signs;
        bitsB += kCount1Tables[1][index].length + signs;
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
    const int quick = CountQuick(g);
    if (g.WindowSwitching() || g.bigValues == 0)
        return quick;
    const int bigEnd = g.bigValues * 2;
    const int count1Bits = quick - CountWithRegions(g, m_longEdges[g.region0Count + 1],
                                                    m_longEdges[g.region0Count + g.region1Count + 2]);
    // Costs of every table per scale-factor band, so that each region layout
    // is a matter of sums.
    static const int kPlainTables[] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15};
    constexpr int kPlain = int(sizeof(kPlainTables) / sizeof(kPlainTables[0]));
    struct BandCost {
        int maxValue = 0;
        int signs = 0;
        int escapes = 0;              // components of 15 or more
        int plain[kPlain] = {};
        int escapeFamily[2] = {0, 0};   // tables 16 and 24 without linbits
    };
    BandCost bands[kLongBands];
    int bandCount = 0;
    const int* q = g.quantized.data();
    const CodeLengths& lengths = Lengths();
    while (bandCount < kLongBands && m_longEdges[bandCount] < bigEnd) {
        BandCost& cost = bands[bandCount];
        const int begin = m_longEdges[bandCount];
        const int end = std::min<int>(m_longEdges[bandCount + 1], bigEnd);
        cost.maxValue = MaxAbs(q, begin, end);
        for (int i = begin; i < end; i += 2) {
            const int x = std::abs(q[i]), y = std::abs(q[i + 1]);
            cost.signs += (x != 0) + (y != 0);
            cost.escapes += (x >= 15) + (y >= 15);
            const int xe = std::min(x, 15), ye = std::min(y, 15);
            cost.escapeFamily[0] += lengths.pair[16][xe * 16 + ye];
            cost.escapeFamily[1] += lengths.pair[24][xe * 16 + ye];
        }
        // Only tables that can hold the band's largest value can serve a region with it.
        for (int t = 0; t < kPlain; ++t) {
            const int table = kPlainTables[t];
            const int size = kHuffmanTables[table].size;
            if (size <= cost.maxValue)
                continue;
            int bits = 0;
            for (int i = begin; i < end; i += 2)
                bits += lengths.pair[table][std::abs(q[i]) * size + std::abs(q[i + 1])];
            cost.plain[t] = bits;
        }
        ++bandCount;
    }
    // Running sums over bands, so that a region's cost is a difference.
    struct Totals {
        int signs = 0, escapes = 0;
        int plain[kPlain] = {};
        int escapeFamily[2] = {0, 0};
    };
    Totals totals[kLongBands + 1];
    for (int b = 0; b < bandCount; ++b) {
        Totals& next = totals[b + 1];
        next = totals[b];
        next.signs += bands[b].signs;
        next.escapes += bands[b].escapes;
        for (int t = 0; t < kPlain; ++t)
            next.plain[t] += bands[b].plain[t];
        next.escapeFamily[0] += bands[b].escapeFamily[0];
        next.escapeFamily[1] += bands[b].escapeFamily[1];
    }
    // Cheapest table for bands [first, last), written to table.
    auto regionCost = [&](int first, int last, int& table) {
        table = 0;
        int maxValue = 0;
        for (int b = first; b < last; ++b)
            maxValue = std::max(maxValue, bands[b].maxValue);
        if (maxValue == 0)
            return 0;
        const int signs = totals[last].signs - totals[first].signs;
        const int escapes = totals[last].escapes - totals[first].escapes;
        int best = 1 << 30;
        if (maxValue <= 15) {
            for (int t = 0; t < kPlain; ++t) {
                if (kHuffmanTables[kPlainTables[t]].size <= maxValue)
                    continue;
                const int bits = signs + totals[last].plain[t] - totals[first].plain[t];
                if (bits < best) { best = bits; table = kPlainTables[t]; }
            }
        }
        for (int f = 0; f < 2; ++f) {
            const int t = EscapeTableFor(f == 0 ? 16 : 24, std::max(0, maxValue - 15));
            if (t < 0)
                continue;
            const int bits = signs + escapes * kHuffmanTables[t].linbits
                           + totals[last].escapeFamily[f] - totals[first].escapeFamily[f];
            if (bits < best) { best = bits; table = t; }
        }
        return best;
    };
    int best = 1 << 30, bestR0 = 0, bestR1 = 0;
    int tables[3] = {0, 0, 0}, bestTables[3] = {0, 0, 0};
    for (int r0 = 0; r0 < 16 && (r0 == 0 || r0 + 1 <= bandCount); ++r0) {
        const int end0 = std::min(r0 + 1, bandCount);
        const int bits0 = regionCost(0, end0, tables[0]);
        for (int r1 = 0; r1 < 8 && r0 + r1 + 2 <= kLongBands; ++r1) {
            const int end1 = std::min(r0 + r1 + 2, bandCount);
            const int bits = bits0 + regionCost(end0, end1, tables[1]) + regionCost(end1, bandCount, tables[2]);
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
        const int xCode = t.linbits ? std::min(x, 15) : x;
        const int yCode = t.linbits ? std::min(y, 15) : y;
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
        PutCode(out, count1[index]);
        for (int j = 0; j < 4; ++j)
            if (quad[j])
                out.Put(quad[j] < 0, 1);
    }
}

} // namespace orv::codec::enc
