// Masking thresholds per scale-factor band, estimated in the MDCT domain:
// band energies spread over the Bark scale, a masking offset between the
// tone and noise cases from each band's spectral flatness, the threshold in
// quiet, and pre-echo control from the previous granule. Also the transient
// detector that chooses short blocks.
#pragma once

#include "GranuleCoding.h"

#include <cstdint>
#include <vector>

namespace orv::codec::enc {

struct BandMasking {
    float energyLong[kLongBands] = {};
    float allowedLong[kLongBands] = {};
    float energyShort[kShortBands][3] = {};
    float allowedShort[kShortBands][3] = {};
    float perceptualEntropy = 0.0f;   // an estimate of the bits the granule needs
};

class PsychoModel {
public:
    void Configure(int sampleRate, const std::uint16_t* longEdges, const std::uint16_t* shortEdges);
    // lines: long blocks in frequency order, short ones in bitstream order.
    void Analyse(const float* lines, int blockType, BandMasking& out);

private:
    struct Bands {
        int count = 0;
        std::vector<int> edges;          // in lines (short: per window)
        std::vector<float> bark;
        std::vector<float> quiet;        // threshold in quiet as energy
        std::vector<float> spreading;    // count x count, masker column, maskee row
    };
    static void BuildBands(Bands& bands, int sampleRate, const std::uint16_t* edges, int count, int lineCount);
    static void Thresholds(const Bands& bands, const float* energy, const float* flatness, bool longBlock,
                           float* allowed);

    Bands m_long;
    Bands m_short;
    float m_previousAllowed[kLongBands] = {};
    bool m_havePrevious = false;
};

// Looks for sudden rises of high-frequency energy in the input.
class TransientDetector {
public:
    void Reset();
    // Feeds the next samples of one channel; returns per granule (576 samples)
    // whether it contains an attack. The first granule fed is number 0.
    void Feed(const float* samples, int count);
    bool Attack(long granule) const;

private:
    static constexpr int kBlock = 64;
    float m_previousInput = 0.0f;
    float m_highpassState = 0.0f;
    float m_accumulated = 0.0f;
    int m_inBlock = 0;
    long m_blockIndex = 0;
    std::vector<float> m_recentEnergy;   // the last blocks' energies
    std::vector<long> m_attackBlocks;    // block indexes of detected attacks, ascending
};

} // namespace orv::codec::enc
