#include "Quantizer.h"

#include "Filterbank.h"
#include "orvcodec/MpegTables.h"

#include <algorithm>
#include <cmath>

namespace orv::codec::enc {
namespace {

constexpr int kMaxOuterIterations = 24;
constexpr int kMaxStalledIterations = 4;   // amplifications in a row that make nothing better
constexpr float kRoundingOffset = 0.4054f;   // rounds towards zero by 0.0946, as the standard suggests

struct Power43 {
    float value[kMaxQuantized + 1];
    Power43()
    {
        for (int i = 0; i <= kMaxQuantized; ++i)
            value[i] = static_cast<float>(std::pow(double(i), 4.0 / 3.0));
    }
};

const Power43& Pow43()
{
    static const Power43 table;
    return table;
}

// 2^(m / 16) for the steps the gains and scale factors move in.
struct Powers {
    static constexpr int kOffset = 1600;   // 2^100, well inside float range
    float value[2 * kOffset + 1];
    Powers()
    {
        for (int m = -kOffset; m <= kOffset; ++m)
            value[m + kOffset] = static_cast<float>(std::exp2(m / 16.0));
    }
    float operator()(int sixteenths) const
    {
        return value[std::clamp(sixteenths, -kOffset, kOffset) + kOffset];
    }
};

const Powers& Pow2()
{
    static const Powers table;
    return table;
}

// One slot's lines by one factor. Nothing here aliases, which lets the loop vectorise.
void QuantizeSpan(const float* __restrict pow34, const int* __restrict signMask, float factor, int count,
                  int* __restrict out)
{
    for (int i = 0; i < count; ++i) {
        const int q = static_cast<int>(pow34[i] * factor + kRoundingOffset);
        out[i] = (q ^ signMask[i]) - signMask[i];
    }
}

// Magnitudes, signs and magnitudes to the power 3/4 of a granule's lines (vectorises).
void PrepareLines(const float* __restrict lines, float* __restrict abs, int* __restrict signMask,
                  float* __restrict pow34)
{
    for (int i = 0; i < kLines; ++i) {
        abs[i] = std::fabs(lines[i]);
        signMask[i] = lines[i] < 0.0f ? -1 : 0;
        pow34[i] = std::sqrt(abs[i] * std::sqrt(abs[i]));
    }
}

float Decibels(float ratio)
{
    return 10.0f * std::log10(std::max(ratio, 1e-10f));
}

int BitsFor(int value)
{
    int bits = 0;
    while ((1 << bits) <= value)
        ++bits;
    return bits;
}

// Largest value a scale factor of this band may take (slen limits of both versions).
int LongLimit(int band) { return band < 11 ? 15 : 7; }
int ShortLimit(int band) { return band < 6 ? 15 : 7; }

} // namespace

void Quantizer::Configure(const std::uint16_t* longEdges, const std::uint16_t* shortEdges, bool lsf,
                          const HuffmanCoder* coder)
{
    m_longEdges = longEdges;
    m_shortEdges = shortEdges;
    m_lsf = lsf;
    m_coder = coder;
}

void Quantizer::BuildSlots(const BandMasking& masking, int blockType)
{
    m_slotCount = 0;
    if (blockType != kBlockShort) {
        for (int b = 0; b < kLongBands; ++b)
            m_slots[m_slotCount++] = {m_longEdges[b], m_longEdges[b + 1], b, -1, masking.allowedLong[b],
                                      b < kLongBands - 1, 0.0f};
        return;
    }
    int line = 0;
    for (int b = 0; b < kShortBands; ++b) {
        const int width = m_shortEdges[b + 1] - m_shortEdges[b];
        for (int w = 0; w < 3; ++w) {
            m_slots[m_slotCount++] = {line, line + width, b, w, masking.allowedShort[b][w], b < kShortBands - 1, 0.0f};
            line += width;
        }
    }
}

int Quantizer::SlotExponent(const GranuleCoding& g, const Slot& slot) const
{
    // log2 of the factor the decoder divides the line by, besides the global
    // gain, in quarters.
    const int multiplier = 2 * (1 + g.scalefacScale);
    if (slot.window < 0)
        return multiplier * (g.scalefacLong[slot.band] + g.preflag * kPreEmphasis[slot.band]);
    return multiplier * g.scalefacShort[slot.band][slot.window] + 8 * g.subblockGain[slot.window];
}

bool Quantizer::QuantizeLines(GranuleCoding& g)
{
    const Powers& pow2 = Pow2();
    int* out = g.quantized.data();
    for (int s = 0; s < m_slotCount; ++s) {
        const Slot& slot = m_slots[s];
        if (slot.peak34 == 0.0f) {
            std::fill(out + slot.start, out + slot.end, 0);
            continue;
        }
        // (2^(-(gain - 210) / 4) * 2^exponent)^(3/4), in sixteenths of an octave.
        const float factor = pow2(-3 * (g.globalGain - 210) + 3 * SlotExponent(g, slot));
        if (slot.peak34 * factor > float(kMaxQuantized))
            return false;
        QuantizeSpan(m_pow34 + slot.start, m_signMask + slot.start, factor, slot.end - slot.start, out + slot.start);
    }
    return true;
}

int Quantizer::CountBits(GranuleCoding& g)
{
    if (!QuantizeLines(g))
        return 1 << 20;
    return m_coder->CountQuick(g);
}

int Quantizer::BisectGain(GranuleCoding& g, int budget, int low, int high, int counted)
{
    // The smallest gain in [low, high] that fits, taking high as one that does;
    // counted is the gain g was last counted at, which needs no second count.
    while (low < high) {
        const int mid = (low + high) / 2;
        g.globalGain = mid;
        counted = mid;
        if (CountBits(g) <= budget)
            high = mid;
        else
            low = mid + 1;
    }
    g.globalGain = high;
    if (counted != high)
        CountBits(g);
    return high;
}

int Quantizer::InnerLoop(GranuleCoding& g, int budget, int startGain, bool rising)
{
    // Bits fall as the gain rises: find the smallest gain that fits. After an
    // amplification the answer is usually a step or two above the last one.
    int low = std::clamp(startGain, 0, 255), high = 255;
    if (rising) {
        for (int probe = low + 1; probe <= std::min(low + 3, 255); ++probe) {
            g.globalGain = probe;
            if (CountBits(g) <= budget)
                return probe;
        }
        low = std::min(low + 4, 255);
    }
    g.globalGain = low;
    if (CountBits(g) <= budget)
        return low;
    int step = 1, counted = low;
    while (low < high) {
        const int probe = std::min(low + step, high);
        g.globalGain = probe;
        counted = probe;
        if (CountBits(g) <= budget) {
            high = probe;
            break;
        }
        low = probe + 1;
        step *= 2;
    }
    return BisectGain(g, budget, low, high, counted);
}

int Quantizer::FirstInnerLoop(GranuleCoding& g, int budget, int lowest, int hint)
{
    // The previous granule's gain is usually within a few steps of this one's.
    hint = std::clamp(hint, lowest, 255);
    g.globalGain = hint;
    if (CountBits(g) > budget)
        return InnerLoop(g, budget, hint, true);
    int high = hint, step = 1, counted = hint;
    int low = hint;
    while (high > lowest) {
        const int probe = std::max(lowest, high - step);
        g.globalGain = probe;
        counted = probe;
        if (CountBits(g) > budget) {
            low = probe + 1;
            break;
        }
        high = probe;
        low = probe;
        step *= 2;
    }
    return BisectGain(g, budget, low, high, counted);
}

Quantizer::Result Quantizer::Measure(const GranuleCoding& g, float* slotNoiseRatio) const
{
    const Power43& pow43 = Pow43();
    Result result;
    const Powers& pow2 = Pow2();
    float worstRatio = -1.0f;
    for (int s = 0; s < m_slotCount; ++s) {
        const Slot& slot = m_slots[s];
        const float step = pow2(4 * (g.globalGain - 210) - 4 * SlotExponent(g, slot));
        float noise = 0.0f;
        for (int i = slot.start; i < slot.end; ++i) {
            const float error = m_abs[i] - pow43.value[std::abs(g.quantized[i])] * step;
            noise += error * error;
        }
        const float ratio = noise / std::max(slot.allowed, 1e-20f);
        slotNoiseRatio[s] = ratio;
        if (!slot.amplifiable)
            continue;
        worstRatio = std::max(worstRatio, ratio);
        if (ratio > 1.0f) {
            ++result.overCount;
            result.overDb += Decibels(ratio);
        }
    }
    // The logarithm rises with the ratio: the worst decibels are those of the worst ratio.
    if (worstRatio >= 0.0f)
        result.worstDb = std::max(result.worstDb, Decibels(worstRatio));
    return result;
}

bool Quantizer::Better(const Result& a, const Result& b)
{
    if (a.overCount == 0 || b.overCount == 0)
        return a.overCount == 0 && (b.overCount != 0 || a.worstDb < b.worstDb);
    return a.overDb < b.overDb;
}

bool Quantizer::Amplify(GranuleCoding& g, const float* slotNoiseRatio)
{
    bool amplifiedAll = true, exceeded = false;
    for (int s = 0; s < m_slotCount; ++s) {
        const Slot& slot = m_slots[s];
        if (!slot.amplifiable)
            continue;
        if (slotNoiseRatio[s] <= 1.0f) {
            amplifiedAll = false;
            continue;
        }
        int& factor = slot.window < 0 ? g.scalefacLong[slot.band] : g.scalefacShort[slot.band][slot.window];
        ++factor;
        const int limit = slot.window < 0 ? LongLimit(slot.band) : ShortLimit(slot.band);
        if (factor > limit)
            exceeded = true;
    }
    if (amplifiedAll)
        return false;
    if (!exceeded)
        return true;
    if (g.scalefacScale)
        return false;
    // Coarser scale-factor steps give the factors room again.
    g.scalefacScale = 1;
    for (int& f : g.scalefacLong) f = (f + 1) / 2;
    for (auto& band : g.scalefacShort)
        for (int& f : band) f = (f + 1) / 2;
    for (int b = 0; b < kLongBands; ++b)
        if (g.scalefacLong[b] > LongLimit(b)) return false;
    for (int b = 0; b < kShortBands; ++b)
        for (int f : g.scalefacShort[b])
            if (f > ShortLimit(b)) return false;
    return true;
}

int Quantizer::ScaleFactorBits(GranuleCoding& g, const bool* sharedGroups) const
{
    const bool shortBlock = g.blockType == kBlockShort;
    int maxPart[4] = {0, 0, 0, 0};
    if (shortBlock) {
        for (int b = 0; b < kShortBands - 1; ++b)
            for (int f : g.scalefacShort[b])
                maxPart[b / 3] = std::max(maxPart[b / 3], f);
    } else {
        static const int kLsfLongPart[21] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3};
        for (int b = 0; b < kLongBands - 1; ++b)
            maxPart[kLsfLongPart[b]] = std::max(maxPart[kLsfLongPart[b]], g.scalefacLong[b]);
    }
    if (m_lsf) {
        // Partition table 0 of scalefac_compress: slen 0-4, 0-4, 0-3, 0-3.
        int slen[4];
        for (int p = 0; p < 4; ++p)
            slen[p] = BitsFor(maxPart[p]);
        if (slen[0] > 4 || slen[1] > 4 || slen[2] > 3 || slen[3] > 3)
            return -1;
        g.scalefacCompress = ((slen[0] * 5 + slen[1]) << 4) + (slen[2] << 2) + slen[3];
        const uint8_t* counts = kLsfPartitionBands[0][shortBlock ? 1 : 0];
        int bits = 0;
        for (int p = 0; p < 4; ++p)
            bits += counts[p] * slen[p];
        return bits;
    }
    int need1, need2;
    if (shortBlock) {
        need1 = BitsFor(std::max(maxPart[0], maxPart[1]));
        need2 = BitsFor(std::max(maxPart[2], maxPart[3]));
    } else {
        need1 = BitsFor(std::max(maxPart[0], maxPart[1]));   // bands 0-10
        need2 = BitsFor(std::max(maxPart[2], maxPart[3]));   // bands 11-20
    }
    // MPEG-1 scfsi groups: bands 0-5, 6-10, 11-15, 16-20.
    static const int kGroupBands[4] = {6, 5, 5, 5};
    int best = -1;
    for (int c = 0; c < 16; ++c) {
        const int slen1 = kScaleFactorLengths[0][c], slen2 = kScaleFactorLengths[1][c];
        if (slen1 < need1 || slen2 < need2)
            continue;
        int bits;
        if (shortBlock) {
            bits = 18 * slen1 + 18 * slen2;
        } else {
            bits = 0;
            for (int group = 0; group < 4; ++group)
                if (!(sharedGroups && sharedGroups[group]))
                    bits += kGroupBands[group] * (group < 2 ? slen1 : slen2);
        }
        if (best < 0 || bits < best) {
            best = bits;
            g.scalefacCompress = c;
        }
    }
    return best;
}

void Quantizer::Quantize(const float* lines, const BandMasking& masking, int maxBits, int gainHint, GranuleCoding& g)
{
    const int blockType = g.blockType;
    g = GranuleCoding();
    g.blockType = blockType;
    BuildSlots(masking, blockType);
    PrepareLines(lines, m_abs, m_signMask, m_pow34);
    const float peak = *std::max_element(m_abs, m_abs + kLines);
    for (int s = 0; s < m_slotCount; ++s) {
        Slot& slot = m_slots[s];
        slot.peak34 = 0.0f;
        for (int i = slot.start; i < slot.end; ++i)
            slot.peak34 = std::max(slot.peak34, m_pow34[i]);
    }
    if (peak < 1e-9f || maxBits <= 0) {
        g.globalGain = 0;
        g.quantized.fill(0);
        g.part2Length = ScaleFactorBits(g, nullptr);
        g.part23Length = g.part2Length + m_coder->CountBest(g);
        return;
    }
    // Below this gain the loudest line would not fit the largest Huffman value.
    int gain = std::clamp(int(std::floor(210 + 16.0f / 3.0f * std::log2(std::pow(peak, 0.75f) / kMaxQuantized))), 0, 255);
    gain = FirstInnerLoop(g, maxBits - ScaleFactorBits(g, nullptr), gain, gainHint);
    float ratios[kShortBands * 3];
    Result result = Measure(g, ratios);
    GranuleCoding best = g;
    Result bestResult = result;
    int stalled = 0;
    for (int iteration = 0; iteration < kMaxOuterIterations && result.overCount > 0; ++iteration) {
        if (!Amplify(g, ratios))
            break;
        const int part2 = ScaleFactorBits(g, nullptr);
        if (part2 < 0 || part2 >= maxBits)
            break;
        gain = InnerLoop(g, maxBits - part2, gain, true);
        result = Measure(g, ratios);
        if (Better(result, bestResult)) {
            best = g;
            bestResult = result;
            stalled = 0;
        } else if (++stalled == kMaxStalledIterations) {
            break;
        }
    }
    g = best;
    if (!m_lsf && blockType != kBlockShort && !g.preflag) {
        // Pre-emphasis carries the usual high-band lift for free when it fits.
        bool fits = true;
        for (int b = 11; b < kLongBands - 1; ++b)
            fits = fits && g.scalefacLong[b] >= kPreEmphasis[b];
        if (fits) {
            for (int b = 11; b < kLongBands - 1; ++b)
                g.scalefacLong[b] -= kPreEmphasis[b];
            g.preflag = 1;
        }
    }
    g.part2Length = ScaleFactorBits(g, nullptr);
    g.part23Length = g.part2Length + m_coder->CountBest(g);
}

} // namespace orv::codec::enc
