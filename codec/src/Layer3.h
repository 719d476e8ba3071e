// Layer III: side information, bit reservoir, scale factors, Huffman decoding,
// requantisation, stereo processing, reordering, alias reduction and the hybrid
// filter bank's IMDCT. Produces sub-band samples for the synthesis filter bank.
#pragma once

#include <cstdint>

#include "BitReader.h"
#include "orvcodec/Mp3Stream.h"

namespace orv::codec {

constexpr int kGranuleLines = 576;
constexpr int kSlotsPerGranule = 18;
constexpr int kSubbands = 32;
constexpr int kMaxSlots = 36;

// Sub-band samples of one frame: [channel][time slot][sub-band].
using SubbandFrame = float[2][kMaxSlots][kSubbands];

class Layer3Decoder {
 public:
  Layer3Decoder() { Reset(); }
  // Forgets the reservoir and the overlap of the last granule (stream start or seek).
  void Reset();
  // Decodes one whole frame. False when it cannot be decoded (damaged side
  // information, or the reservoir lacks the bytes it refers to); out is then silence
  // but the frame's main data still joins the reservoir.
  bool DecodeFrame(const FrameHeader& header, const uint8_t* frame, SubbandFrame& out);

 private:
  struct Granule {
    uint32_t part23Length;
    uint32_t bigValues;
    uint32_t globalGain;
    uint32_t scalefacCompress;
    bool bWindowSwitching;
    uint8_t blockType;
    bool bMixed;
    uint8_t tableSelect[3];
    uint8_t subblockGain[3];
    uint32_t region1Start;  // in lines
    uint32_t region2Start;
    bool bPreflag;
    bool bScalefacScale;
    uint8_t count1Table;
  };
  struct SideInfo {
    uint32_t mainDataBegin;
    uint8_t scfsi[2][4];
    Granule granule[2][2];
  };
  struct ScaleFactors {
    uint8_t l[22];
    uint8_t s[13][3];
    // LSF intensity stereo: the value that marks "no intensity" per band.
    uint8_t isIllegalL[22];
    uint8_t isIllegalS[13];
  };

  bool ReadSideInfo(const FrameHeader& h, BitReader& bits, SideInfo& side);
  void ReadScaleFactorsMpeg1(BitReader& bits, const Granule& g, int ch, int gr, const SideInfo& side);
  void ReadScaleFactorsLsf(BitReader& bits, const Granule& g, int ch, bool bIntensityRight);
  int DecodeHuffman(BitReader& bits, const Granule& g, size_t endBit, int32_t* values);
  void Requantize(const Granule& g, const ScaleFactors& sf, const int32_t* values, int lines, float* xr);
  void Stereo(const FrameHeader& h, const Granule& g);
  void IntensityLong(const FrameHeader& h, const Granule& g, int fromBand, int toBand, bool bMs);
  void IntensityShort(const FrameHeader& h, const Granule& g, bool bMs);
  void ApplyIntensity(const FrameHeader& h, int pos, int illegal, bool bMs, int from, int to,
                      uint8_t scalefacCompress);
  void Reorder(const Granule& g, float* xr);
  void Antialias(const Granule& g, float* xr);
  void Hybrid(const Granule& g, int ch, const float* xr, SubbandFrame& out, int slot0);

  const ScaleFactorBands* m_bands = nullptr;
  ScaleFactors m_sf[2];
  int32_t m_values[2][kGranuleLines];
  float m_xr[2][kGranuleLines];
  int m_nonzero[2];               // lines up to the last non-zero value
  float m_overlap[2][kSubbands][kSlotsPerGranule];

  static constexpr int kReservoirKeep = 512;
  static constexpr int kMainBufferBytes = 8192;
  uint8_t m_main[kMainBufferBytes + 8];
  int m_mainBytes = 0;
};

}  // namespace orv::codec
