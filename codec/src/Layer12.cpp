#include "Layer12.h"

#include <algorithm>
#include <cstring>

namespace orv::codec {

namespace {

constexpr int kLayer1Slots = 12;
constexpr int kLayer2Granules = 12;
constexpr int kInvalidScaleFactor = 63;

// Codes of n steps map to the centred fractions (2c - (n - 1)) / n.
float Dequantize(uint32_t code, uint32_t steps) {
  return (2.0f * static_cast<float>(code) - static_cast<float>(steps - 1)) / static_cast<float>(steps);
}

float ScaleFactor(uint32_t index) {
  return index < kInvalidScaleFactor ? static_cast<float>(kLayer12ScaleFactors[index]) : 0.0f;
}

// Sub-bands from `bound` up share one allocation and one set of samples (intensity).
int JointBound(const FrameHeader& h, int limit) {
  if (h.channels == 1)
    return 0;
  if (h.channelMode == kJointStereo)
    return std::min(limit, (h.modeExtension + 1) * 4);
  return limit;
}

BitReader FrameBits(const FrameHeader& h, const uint8_t* frame) {
  const uint32_t start = kFrameHeaderBytes + (h.bCrc ? 2 : 0);
  return BitReader(frame + start, h.frameBytes - start);
}

}  // namespace

bool DecodeLayer1(const FrameHeader& h, const uint8_t* frame, SubbandFrame& out) {
  std::memset(out, 0, sizeof(SubbandFrame));
  BitReader bits = FrameBits(h, frame);
  const int channels = h.channels;
  const int bound = channels == 2 ? JointBound(h, kSubbands) : kSubbands;
  uint8_t alloc[2][kSubbands] = {};
  float scale[2][kSubbands] = {};
  for (int sb = 0; sb < kSubbands; ++sb) {
    if (sb < bound) {
      for (int ch = 0; ch < channels; ++ch)
        alloc[ch][sb] = static_cast<uint8_t>(bits.Read(4));
    } else {
      alloc[0][sb] = alloc[1][sb] = static_cast<uint8_t>(bits.Read(4));
    }
  }
  for (int sb = 0; sb < kSubbands; ++sb)
    for (int ch = 0; ch < channels; ++ch)
      if (alloc[ch][sb])
        scale[ch][sb] = ScaleFactor(bits.Read(6));
  for (int slot = 0; slot < kLayer1Slots; ++slot) {
    for (int sb = 0; sb < kSubbands; ++sb) {
      const int shared = sb >= bound ? 1 : channels;
      for (int ch = 0; ch < shared; ++ch) {
        const int a = alloc[ch][sb];
        if (a == 0 || a == 15)  // 15 is forbidden: treat as silence
          continue;
        const int n = a + 1;
        const float v = Dequantize(bits.Read(n), (1u << n) - 1);
        out[ch][slot][sb] = v * scale[ch][sb];
        if (sb >= bound)
          out[1][slot][sb] = v * scale[1][sb];
      }
    }
  }
  if (bits.Overrun()) {
    std::memset(out, 0, sizeof(SubbandFrame));
    return false;
  }
  return true;
}

bool DecodeLayer2(const FrameHeader& h, const uint8_t* frame, SubbandFrame& out) {
  std::memset(out, 0, sizeof(SubbandFrame));
  BitReader bits = FrameBits(h, frame);
  const int channels = h.channels;
  const int kbpsPerChannel = static_cast<int>(h.bitRate / 1000 / channels);
  const Layer2AllocationTable& table = kLayer2Tables[Layer2TableFor(h.version, h.frequencyIndex, kbpsPerChannel)];
  const int limit = table.subbandLimit;
  const int bound = channels == 2 ? JointBound(h, limit) : limit;

  uint8_t alloc[2][kSubbands] = {};
  for (int sb = 0; sb < limit; ++sb) {
    const int width = table.allocationBits[sb];
    if (sb < bound) {
      for (int ch = 0; ch < channels; ++ch)
        alloc[ch][sb] = static_cast<uint8_t>(bits.Read(width));
    } else {
      alloc[0][sb] = alloc[1][sb] = static_cast<uint8_t>(bits.Read(width));
    }
  }
  uint8_t scfsi[2][kSubbands] = {};
  for (int sb = 0; sb < limit; ++sb)
    for (int ch = 0; ch < channels; ++ch)
      if (alloc[ch][sb])
        scfsi[ch][sb] = static_cast<uint8_t>(bits.Read(2));
  // Three scale factors per sub-band, one per third of the frame; scfsi says which
  // of them are sent and which repeat.
  float scale[2][kSubbands][3] = {};
  for (int sb = 0; sb < limit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (!alloc[ch][sb])
        continue;
      float* s = scale[ch][sb];
      switch (scfsi[ch][sb]) {
        case 0: s[0] = ScaleFactor(bits.Read(6)); s[1] = ScaleFactor(bits.Read(6)); s[2] = ScaleFactor(bits.Read(6)); break;
        case 1: s[0] = s[1] = ScaleFactor(bits.Read(6)); s[2] = ScaleFactor(bits.Read(6)); break;
        case 2: s[0] = s[1] = s[2] = ScaleFactor(bits.Read(6)); break;
        default: s[0] = ScaleFactor(bits.Read(6)); s[1] = s[2] = ScaleFactor(bits.Read(6)); break;
      }
    }
  }
  for (int gr = 0; gr < kLayer2Granules; ++gr) {
    const int part = gr / 4;
    for (int sb = 0; sb < limit; ++sb) {
      const int shared = sb >= bound ? 1 : channels;
      for (int ch = 0; ch < shared; ++ch) {
        const int a = alloc[ch][sb];
        if (!a)
          continue;
        const uint8_t classIndex = table.steps[sb][a];
        if (classIndex >= 17)
          continue;
        const Layer2Class& q = kLayer2Classes[classIndex];
        uint32_t codes[3];
        if (q.grouped) {
          uint32_t c = bits.Read(q.bits);
          for (uint32_t& code : codes) {
            code = c % q.steps;
            c /= q.steps;
          }
        } else {
          for (uint32_t& code : codes)
            code = bits.Read(q.bits);
        }
        for (int j = 0; j < 3; ++j) {
          const float v = Dequantize(codes[j], q.steps);
          out[ch][gr * 3 + j][sb] = v * scale[ch][sb][part];
          if (sb >= bound)
            out[1][gr * 3 + j][sb] = v * scale[1][sb][part];
        }
      }
    }
  }
  if (bits.Overrun()) {
    std::memset(out, 0, sizeof(SubbandFrame));
    return false;
  }
  return true;
}

}  // namespace orv::codec
