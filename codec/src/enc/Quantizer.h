// Quantisation loops of one granule and channel: the inner loop finds the
// global gain that fits the bit budget, the outer loop raises scale factors
// of bands whose noise exceeds the allowed level, keeping the best result.
#pragma once

#include "GranuleCoding.h"
#include "HuffmanCoder.h"
#include "PsychoModel.h"

#include <cstdint>

namespace orv::codec::enc {

class Quantizer {
public:
    void Configure(const std::uint16_t* longEdges, const std::uint16_t* shortEdges, bool lsf,
                   const HuffmanCoder* coder);
    // Fills g (block type already set) within maxBits of part 2 and 3; the
    // search for the global gain starts at gainHint.
    void Quantize(const float* lines, const BandMasking& masking, int maxBits, int gainHint, GranuleCoding& g);
    // Bits of the scale factors as the stream's version sends them; also
    // picks scalefac_compress. Negative when the factors do not fit.
    int ScaleFactorBits(GranuleCoding& g, const bool* sharedGroups) const;

private:
    struct Slot {              // a run of lines sharing one scale factor
        int start, end;
        int band, window;      // window -1 for long blocks
        float allowed;
        bool amplifiable;
        float peak34;          // largest |line|^(3/4) of the run
    };
    struct Result {
        int overCount = 0;
        float overDb = 0.0f;
        float worstDb = -1e9f;
    };

    void BuildSlots(const BandMasking& masking, int blockType);
    int SlotExponent(const GranuleCoding& g, const Slot& slot) const;
    bool QuantizeLines(GranuleCoding& g);
    int CountBits(GranuleCoding& g);
    int BisectGain(GranuleCoding& g, int budget, int low, int high, int counted);
    int InnerLoop(GranuleCoding& g, int budget, int startGain, bool rising);
    int FirstInnerLoop(GranuleCoding& g, int budget, int lowest, int hint);
    Result Measure(const GranuleCoding& g, float* slotNoiseRatio) const;
    bool Amplify(GranuleCoding& g, const float* slotNoiseRatio);
    static bool Better(const Result& a, const Result& b);

    const std::uint16_t* m_longEdges = nullptr;
    const std::uint16_t* m_shortEdges = nullptr;
    bool m_lsf = false;
    const HuffmanCoder* m_coder = nullptr;

    float m_abs[kLines] = {};
    float m_pow34[kLines] = {};
    int m_signMask[kLines] = {};     // -1 for negative lines, else 0
    Slot m_slots[kShortBands * 3] = {};
    int m_slotCount = 0;
};

} // namespace orv::codec::enc
