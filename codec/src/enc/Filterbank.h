// Hybrid analysis filterbank: 32-band polyphase filter, then an MDCT per band
// (18 lines for long blocks, 3 x 6 for short), with the decoder's alias
// butterflies undone for long blocks.
#pragma once

#include <array>

namespace orv::codec::enc {

constexpr int kSubbands = 32;
constexpr int kSlotsPerGranule = 18;
constexpr int kGranuleLines = 576;

enum BlockType { kBlockNormal = 0, kBlockStart = 1, kBlockShort = 2, kBlockStop = 3 };

using SubbandGranule = std::array<std::array<float, kSubbands>, kSlotsPerGranule>;

class PolyphaseAnalysis {
public:
    void Reset();
    // Takes 32 new samples (oldest first) and yields one sample per subband.
    void Process(const float* samples, float* subbandOut);

private:
    std::array<float, 1024> m_history{};   // doubled ring so the window reads linearly
    int m_position = 0;
};

// How far the decoder's synthesis filters are from one modulated prototype
// (relative energy); near zero when the analysis can mirror them exactly.
double PrototypeFitResidual();

// Turns two consecutive granules of subband samples into 576 spectral lines.
// Long blocks come out in frequency order; short blocks in the bitstream's
// order: per short scale-factor band, window 0, 1, 2 (band edges given in lines).
void HybridMdct(const SubbandGranule& previous, const SubbandGranule& current, int blockType,
                const int* shortBandEdges, int shortBandCount, float* lines);

} // namespace orv::codec::enc
