#include "Layer3.h"
#include "Synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace orv::codec {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxQuantized = 8206;  // 15 plus 13 linbits
constexpr int kBlockLong = 0;
constexpr int kBlockStart = 1;
constexpr int kBlockShort = 2;
constexpr int kBlockStop = 3;
constexpr int kMixedLongLines = 36;  // two sub-bands

// --- Huffman lookup --------------------------------------------------------------
// A primary table indexed by the next kPrimaryBits bits; longer codes continue in a
// second-level table. Leaf: length << 8 | x << 4 | y. Link: kLink | offset << 5 | bits.
constexpr int kPrimaryBits = 8;
constexpr uint32_t kLink = 0x80000000u;

struct HuffmanLookup {
  std::vector<uint32_t> entries;
  int primaryBits = 0;
  uint8_t linbits = 0;
};

HuffmanLookup BuildLookup(const HuffmanTable& table) {
  HuffmanLookup lookup;
  lookup.linbits = table.linbits;
  const int count = table.size * table.size;
  int maxLength = 0;
  for (int i = 0; i < count; ++i)
    maxLength = std::max<int>(maxLength, table.codes[i].length);
  const int p = std::min(kPrimaryBits, maxLength);
  lookup.primaryBits = p;
  lookup.entries.assign(size_t(1) << p, 0);
  std::vector<int> subBits(size_t(1) << p, 0);
  for (int i = 0; i < count; ++i) {
    const HuffmanCode& c = table.codes[i];
    const uint32_t leaf = (uint32_t(c.length) << 8) | (uint32_t(i / table.size) << 4) | uint32_t(i % table.size);
    if (c.length <= p) {
      const uint32_t first = c.code << (p - c.length);
      for (uint32_t k = 0; k < (1u << (p - c.length)); ++k)
        lookup.entries[first + k] = leaf;
    } else {
      const uint32_t prefix = c.code >> (c.length - p);
      subBits[prefix] = std::max(subBits[prefix], c.length - p);
    }
  }
  for (size_t prefix = 0; prefix < subBits.size(); ++prefix) {
    if (subBits[prefix] == 0)
      continue;
    const uint32_t offset = static_cast<uint32_t>(lookup.entries.size());
    lookup.entries[prefix] = kLink | (offset << 5) | uint32_t(subBits[prefix]);
    lookup.entries.resize(offset + (size_t(1) << subBits[prefix]), 0);
  }
  for (int i = 0; i < count; ++i) {
    const HuffmanCode& c = table.codes[i];
    if (c.length <= p)
      continue;
    const uint32_t prefix = c.code >> (c.length - p);
    const uint32_t link = lookup.entries[prefix];
    const int bits = link & 31;
    const uint32_t offset = (link & ~kLink) >> 5;
    const int rest = c.length - p;
    const uint32_t low = c.code & ((1u << rest) - 1);
    const uint32_t leaf = (uint32_t(rest) << 8) | (uint32_t(i / table.size) << 4) | uint32_t(i % table.size);
    for (uint32_t k = 0; k < (1u << (bits - rest)); ++k)
      lookup.entries[offset + (low << (bits - rest)) + k] = leaf;
  }
  return lookup;
}

struct Layer3Tables {
  HuffmanLookup huffman[kHuffmanTableCount];
  uint8_t count1A[64];  // length << 4 | vwxy, by the next 6 bits
  // sign(v) |v|^(4/3) for v in [-kMaxQuantized, kMaxQuantized], indexed by v + kMaxQuantized.
  float pow43[2 * kMaxQuantized + 1];
  float window[4][36];
  float imdctShort[6][12];
  float aliasCs[8], aliasCa[8];
  float intensityMpeg1[7][2];
  float intensityLsf[2][32][2];

  Layer3Tables() {
    for (int t = 0; t < kHuffmanTableCount; ++t)
      if (kHuffmanTables[t].size)
        huffman[t] = BuildLookup(kHuffmanTables[t]);
    for (int i = 0; i < 16; ++i) {
      const HuffmanCode& c = kCount1Tables[0][i];
      const uint32_t first = c.code << (6 - c.length);
      for (uint32_t k = 0; k < (1u << (6 - c.length)); ++k)
        count1A[first + k] = static_cast<uint8_t>((c.length << 4) | i);
    }
    for (int i = 0; i <= kMaxQuantized; ++i) {
      pow43[kMaxQuantized + i] = static_cast<float>(std::pow(double(i), 4.0 / 3.0));
      pow43[kMaxQuantized - i] = -pow43[kMaxQuantized + i];
    }
    BuildImdct();
    const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
    for (int i = 0; i < 8; ++i) {
      const double root = std::sqrt(1.0 + c[i] * c[i]);
      aliasCs[i] = static_cast<float>(1.0 / root);
      aliasCa[i] = static_cast<float>(c[i] / root);
    }
    for (int pos = 0; pos < 7; ++pos) {
      if (pos == 6) {
        intensityMpeg1[pos][0] = 1.0f;
        intensityMpeg1[pos][1] = 0.0f;
        continue;
      }
      const double ratio = std::tan(pos * kPi / 12.0);
      intensityMpeg1[pos][0] = static_cast<float>(ratio / (1.0 + ratio));
      intensityMpeg1[pos][1] = static_cast<float>(1.0 / (1.0 + ratio));
    }
    for (int scale = 0; scale < 2; ++scale) {
      const double io = scale ? 1.0 / std::sqrt(2.0) : std::pow(2.0, -0.25);
      for (int pos = 0; pos < 32; ++pos) {
        double kl = 1.0, kr = 1.0;
        if (pos & 1)
          kl = std::pow(io, (pos + 1) / 2);
        else
          kr = std::pow(io, pos / 2);
        intensityLsf[scale][pos][0] = static_cast<float>(kl);
        intensityLsf[scale][pos][1] = static_cast<float>(kr);
      }
    }
  }

  void BuildImdct() {
    for (int i = 0; i < 36; ++i) {
      double start = 0, stop = 0;
      if (i < 18) start = std::sin(kPi / 36 * (i + 0.5));
      else if (i < 24) start = 1;
      else if (i < 30) start = std::sin(kPi / 12 * (i - 18 + 0.5));
      if (i >= 18) stop = std::sin(kPi / 36 * (i + 0.5));
      else if (i >= 12) stop = 1;
      else if (i >= 6) stop = std::sin(kPi / 12 * (i - 6 + 0.5));
      window[kBlockLong][i] = static_cast<float>(std::sin(kPi / 36 * (i + 0.5)));
      window[kBlockStart][i] = static_cast<float>(start);
      window[kBlockStop][i] = static_cast<float>(stop);
      window[kBlockShort][i] = 0;
    }
    for (int k = 0; k < 6; ++k)
      for (int i = 0; i < 12; ++i)
        imdctShort[k][i] = static_cast<float>(std::sin(kPi / 12 * (i + 0.5)) *
                                              std::cos(kPi / 24 * (2 * i + 1 + 6) * (2 * k + 1)));
  }
};

const Layer3Tables& Tables() {
  static const Layer3Tables tables;
  return tables;
}

float Pow2Quarter(int quarters) {
  static const float kFraction[4] = {1.0f, 1.18920711500272106672f, 1.41421356237309504880f,
                                     1.68179283050742908606f};
  const int exponent = quarters >> 2;
  if (exponent < -126 || exponent > 127)
    return std::ldexp(kFraction[quarters & 3], exponent);
  // A power of two built from its bits: the same value as ldexp, without the call.
  uint32_t bits = static_cast<uint32_t>(exponent + 127) << 23;
  float power;
  std::memcpy(&power, &bits, sizeof power);
  return kFraction[quarters & 3] * power;
}

// A non-zero value is followed by its sign bit (1: negative). Branch-free: the signs
// of music are unpredictable.
int32_t ApplySign(int32_t v, uint64_t window, int& used) {
  const int32_t nonzero = v != 0;
  const int32_t negative = static_cast<int32_t>((window << used) >> 63) & nonzero;
  used += nonzero;
  return (v ^ -negative) + negative;
}

bool IsShort(bool bWindowSwitching, uint8_t blockType) { return bWindowSwitching && blockType == kBlockShort; }

}  // namespace

void Layer3Decoder::Reset() {
  std::memset(m_overlap, 0, sizeof m_overlap);
  std::memset(m_sf, 0, sizeof m_sf);
  m_mainBytes = 0;
}

bool Layer3Decoder::ReadSideInfo(const FrameHeader& h, BitReader& bits, SideInfo& side) {
  const bool bLsf = h.IsLsf();
  const int channels = h.channels;
  if (bLsf) {
    side.mainDataBegin = bits.Read(8);
    bits.Skip(channels == 1 ? 1 : 2);
  } else {
    side.mainDataBegin = bits.Read(9);
    bits.Skip(channels == 1 ? 5 : 3);
    for (int ch = 0; ch < channels; ++ch)
      for (int b = 0; b < 4; ++b)
        side.scfsi[ch][b] = static_cast<uint8_t>(bits.Read(1));
  }
  const int granules = bLsf ? 1 : 2;
  for (int gr = 0; gr < granules; ++gr) {
    for (int ch = 0; ch < channels; ++ch) {
      Granule& g = side.granule[gr][ch];
      g.part23Length = bits.Read(12);
      g.bigValues = bits.Read(9);
      g.globalGain = bits.Read(8);
      g.scalefacCompress = bits.Read(bLsf ? 9 : 4);
      g.bWindowSwitching = bits.ReadBit();
      if (g.bigValues > kGranuleLines / 2)
        return false;
      if (g.bWindowSwitching) {
        g.blockType = static_cast<uint8_t>(bits.Read(2));
        g.bMixed = bits.ReadBit();
        g.tableSelect[0] = static_cast<uint8_t>(bits.Read(5));
        g.tableSelect[1] = static_cast<uint8_t>(bits.Read(5));
        g.tableSelect[2] = 0;
        for (int w = 0; w < 3; ++w)
          g.subblockGain[w] = static_cast<uint8_t>(bits.Read(3));
        if (g.blockType == kBlockLong)
          return false;  // reserved with window switching
        g.bMixed = g.bMixed && g.blockType == kBlockShort;
        g.region1Start = (g.blockType == kBlockShort && !g.bMixed) ? m_bands->shortBounds[3] * 3u
                                                                   : m_bands->longBounds[8];
        g.region2Start = kGranuleLines;
      } else {
        g.blockType = kBlockLong;
        g.bMixed = false;
        for (int r = 0; r < 3; ++r)
          g.tableSelect[r] = static_cast<uint8_t>(bits.Read(5));
        std::memset(g.subblockGain, 0, sizeof g.subblockGain);
        const int region0 = static_cast<int>(bits.Read(4));
        const int region1 = static_cast<int>(bits.Read(3));
        g.region1Start = m_bands->longBounds[std::min(region0 + 1, 22)];
        g.region2Start = m_bands->longBounds[std::min(region0 + region1 + 2, 22)];
      }
      g.bPreflag = bLsf ? false : bits.ReadBit();
      g.bScalefacScale = bits.ReadBit();
      g.count1Table = static_cast<uint8_t>(bits.Read(1));
    }
  }
  return true;
}

void Layer3Decoder::ReadScaleFactorsMpeg1(BitReader& bits, const Granule& g, int ch, int gr,
                                          const SideInfo& side) {
  ScaleFactors& sf = m_sf[ch];
  const int slen1 = kScaleFactorLengths[0][g.scalefacCompress];
  const int slen2 = kScaleFactorLengths[1][g.scalefacCompress];
  std::memset(sf.isIllegalL, 7, sizeof sf.isIllegalL);
  std::memset(sf.isIllegalS, 7, sizeof sf.isIllegalS);
  if (IsShort(g.bWindowSwitching, g.blockType)) {
    int sfb = 0;
    if (g.bMixed) {
      for (int b = 0; b < 8; ++b)
        sf.l[b] = static_cast<uint8_t>(bits.Read(slen1));
      sfb = 3;
    }
    for (; sfb < 12; ++sfb)
      for (int w = 0; w < 3; ++w)
        sf.s[sfb][w] = static_cast<uint8_t>(bits.Read(sfb < 6 ? slen1 : slen2));
    sf.s[12][0] = sf.s[12][1] = sf.s[12][2] = 0;
    return;
  }
  static const int kGroupBounds[5] = {0, 6, 11, 16, 21};
  for (int group = 0; group < 4; ++group) {
    if (gr == 1 && side.scfsi[ch][group])
      continue;  // shared with the first granule
    const int slen = group < 2 ? slen1 : slen2;
    for (int b = kGroupBounds[group]; b < kGroupBounds[group + 1]; ++b)
      sf.l[b] = static_cast<uint8_t>(bits.Read(slen));
  }
  sf.l[21] = 0;
}

void Layer3Decoder::ReadScaleFactorsLsf(BitReader& bits, const Granule& g, int ch, bool bIntensityRight) {
  ScaleFactors& sf = m_sf[ch];
  uint32_t sfc = g.scalefacCompress;
  int slen[4] = {0, 0, 0, 0};
  int table = 0;
  if (bIntensityRight) {
    sfc >>= 1;
    if (sfc < 180) {
      slen[0] = sfc / 36, slen[1] = (sfc % 36) / 6, slen[2] = (sfc % 36) % 6, table = 3;
    } else if (sfc < 244) {
      sfc -= 180;
      slen[0] = (sfc % 64) >> 4, slen[1] = (sfc % 16) >> 2, slen[2] = sfc % 4, table = 4;
    } else {
      sfc -= 244;
      slen[0] = sfc / 3, slen[1] = sfc % 3, table = 5;
    }
  } else if (sfc < 400) {
    slen[0] = (sfc >> 4) / 5, slen[1] = (sfc >> 4) % 5, slen[2] = (sfc & 15) >> 2, slen[3] = sfc & 3;
    table = 0;
  } else if (sfc < 500) {
    sfc -= 400;
    slen[0] = (sfc >> 2) / 5, slen[1] = (sfc >> 2) % 5, slen[2] = sfc & 3, table = 1;
  } else {
    sfc -= 500;
    slen[0] = sfc / 3, slen[1] = sfc % 3, table = 2;
  }
  const int kind = IsShort(g.bWindowSwitching, g.blockType) ? (g.bMixed ? 2 : 1) : 0;
  uint8_t values[40] = {};
  uint8_t illegal[40] = {};
  int n = 0;
  for (int part = 0; part < 4; ++part) {
    for (int i = 0; i < kLsfPartitionBands[table][kind][part] && n < 40; ++i, ++n) {
      values[n] = static_cast<uint8_t>(bits.Read(slen[part]));
      illegal[n] = static_cast<uint8_t>((1 << slen[part]) - 1);
    }
  }
  std::memset(sf.l, 0, sizeof sf.l);
  std::memset(sf.s, 0, sizeof sf.s);
  std::memset(sf.isIllegalL, 0xff, sizeof sf.isIllegalL);
  std::memset(sf.isIllegalS, 0xff, sizeof sf.isIllegalS);
  int k = 0;
  if (kind == 0) {
    for (int b = 0; b < 21; ++b, ++k)
      sf.l[b] = values[k], sf.isIllegalL[b] = illegal[k];
    return;
  }
  int sfb = 0;
  if (kind == 2) {
    for (int b = 0; b < 6; ++b, ++k)
      sf.l[b] = values[k], sf.isIllegalL[b] = illegal[k];
    sfb = 3;
  }
  for (; sfb < 12; ++sfb) {
    for (int w = 0; w < 3; ++w, ++k)
      sf.s[sfb][w] = values[k];
    sf.isIllegalS[sfb] = illegal[k - 1];
  }
}

int Layer3Decoder::DecodeHuffman(BitReader& bits, const Granule& g, size_t endBit, int32_t* values) {
  const Layer3Tables& t = Tables();
  const int bigLines = static_cast<int>(std::min<uint32_t>(g.bigValues * 2, kGranuleLines));
  const int regionEnds[3] = {static_cast<int>(std::min<uint32_t>(g.region1Start, bigLines)),
                             static_cast<int>(std::min<uint32_t>(g.region2Start, bigLines)), bigLines};
  int i = 0;
  for (int r = 0; r < 3; ++r) {
    const HuffmanLookup& lookup = t.huffman[g.tableSelect[r]];
    if (lookup.entries.empty()) {
      for (; i < regionEnds[r]; ++i)
        values[i] = 0;
      continue;
    }
    const uint32_t* entries = lookup.entries.data();
    const int linbits = lookup.linbits;
    const int primary = lookup.primaryBits;
    for (; i < regionEnds[r]; i += 2) {
      // One window holds a whole pair: code (<= 19 bits), two linbits fields (<= 13
      // each) and two signs.
      const uint64_t w = bits.Window();
      int used = 0;
      auto peek = [&](int n) { return static_cast<uint32_t>((w << used) >> (64 - n)); };
      uint32_t e = entries[peek(primary)];
      if (e & kLink) {
        used = primary;
        e = entries[((e & ~kLink) >> 5) + peek(e & 31)];
      }
      used += (e >> 8) & 31;
      int32_t x = (e >> 4) & 15;
      int32_t y = e & 15;
      if (linbits && x == 15) {
        x += static_cast<int32_t>(peek(linbits));
        used += linbits;
      }
      x = ApplySign(x, w, used);
      if (linbits && y == 15) {
        y += static_cast<int32_t>(peek(linbits));
        used += linbits;
      }
      y = ApplySign(y, w, used);
      bits.Skip(used);
      values[i] = x;
      values[i + 1] = y;
    }
  }
  if (bits.Position() > endBit) {
    // Big values ran past this granule's data: keep nothing of a damaged granule.
    std::memset(values, 0, sizeof(int32_t) * kGranuleLines);
    return 0;
  }
  // Count1 region: quadruples of -1, 0, 1 until the granule's bits are used up.
  while (i + 4 <= kGranuleLines && bits.Position() < endBit) {
    // A quadruple takes at most 6 + 4 bits: one window.
    const uint64_t w = bits.Window();
    int used;
    int index;
    if (g.count1Table == 0) {
      const uint8_t e = t.count1A[w >> 58];
      used = e >> 4;
      index = e & 15;
    } else {
      used = 4;
      index = 15 - static_cast<int>(w >> 60);
    }
    int32_t q[4] = {(index >> 3) & 1, (index >> 2) & 1, (index >> 1) & 1, index & 1};
    for (int32_t& v : q)
      v = ApplySign(v, w, used);
    if (bits.Position() + used > endBit)
      break;  // the last quadruple did not fit: it is not part of the granule
    bits.Skip(used);
    for (int k = 0; k < 4; ++k)
      values[i + k] = q[k];
    i += 4;
  }
  const int lines = i;
  for (; i < kGranuleLines; ++i)
    values[i] = 0;
  return lines;
}

void Layer3Decoder::Requantize(const Granule& g, const ScaleFactors& sf, const int32_t* values, int lines,
                               float* xr) {
  const Layer3Tables& t = Tables();
  const int base = static_cast<int>(g.globalGain) - 210;
  const int shift = g.bScalefacScale ? 2 : 1;
  auto band = [&](int from, int to, int quarters) {
    to = std::min(to, lines);
    const float gain = Pow2Quarter(quarters);
    const float* pow43 = t.pow43 + kMaxQuantized;
    for (int i = from; i < to; ++i)
      xr[i] = pow43[std::clamp(values[i], -kMaxQuantized, kMaxQuantized)] * gain;
  };
  std::fill(xr + std::max(lines, 0), xr + kGranuleLines, 0.0f);
  const uint16_t* lb = m_bands->longBounds;
  const uint16_t* sb = m_bands->shortBounds;
  if (!IsShort(g.bWindowSwitching, g.blockType)) {
    for (int b = 0; b < 22 && lb[b] < lines; ++b) {
      const int pre = g.bPreflag ? kPreEmphasis[b] : 0;
      band(lb[b], lb[b + 1], base - ((sf.l[b] + pre) << shift));
    }
    return;
  }
  int firstShort = 0;
  if (g.bMixed) {
    for (int b = 0; lb[b + 1] <= kMixedLongLines; ++b) {
      const int pre = g.bPreflag ? kPreEmphasis[b] : 0;
      band(lb[b], lb[b + 1], base - ((sf.l[b] + pre) << shift));
    }
    firstShort = 3;
  }
  for (int b = firstShort; b < 13 && sb[b] * 3 < lines; ++b) {
    const int width = sb[b + 1] - sb[b];
    for (int w = 0; w < 3; ++w) {
      const int from = sb[b] * 3 + w * width;
      band(from, from + width, base - 8 * g.subblockGain[w] - (sf.s[b][w] << shift));
    }
  }
}

void Layer3Decoder::ApplyIntensity(const FrameHeader& h, int pos, int illegal, bool bMs, int from, int to,
                                   uint8_t scalefacCompress) {
  float* l = m_xr[0];
  float* r = m_xr[1];
  if (pos == illegal) {
    if (!bMs)
      return;
    const float root = 0.70710678118654752440f;
    for (int i = from; i < to; ++i) {
      const float m = l[i], s = r[i];
      l[i] = (m + s) * root;
      r[i] = (m - s) * root;
    }
    return;
  }
  const Layer3Tables& t = Tables();
  float kl, kr;
  if (h.IsLsf()) {
    kl = t.intensityLsf[scalefacCompress & 1][pos & 31][0];
    kr = t.intensityLsf[scalefacCompress & 1][pos & 31][1];
  } else {
    if (pos >= 7) {  // 7 marks "no intensity"; larger values cannot be positions either
      ApplyIntensity(h, -1, -1, bMs, from, to, 0);
      return;
    }
    kl = t.intensityMpeg1[pos][0];
    kr = t.intensityMpeg1[pos][1];
  }
  for (int i = from; i < to; ++i) {
    const float x = l[i];
    l[i] = x * kl;
    r[i] = x * kr;
  }
}

void Layer3Decoder::IntensityLong(const FrameHeader& h, const Granule& g, int fromBand, int toBand, bool bMs) {
  const uint16_t* lb = m_bands->longBounds;
  const ScaleFactors& sf = m_sf[1];
  const int32_t* right = m_values[1];
  int last = lb[toBand] - 1;
  while (last >= 0 && right[last] == 0)
    --last;
  int start = fromBand;
  while (start < toBand && lb[start] <= last)
    ++start;
  if (bMs)
    ApplyIntensity(h, -1, -1, true, 0, lb[start], 0);
  for (int b = start; b < toBand; ++b) {
    const int src = std::min(b, 20);
    const int illegal = h.IsLsf() ? sf.isIllegalL[src] : 7;
    ApplyIntensity(h, sf.l[src], illegal, bMs, lb[b], lb[b + 1], static_cast<uint8_t>(g.scalefacCompress));
  }
}

void Layer3Decoder::IntensityShort(const FrameHeader& h, const Granule& g, bool bMs) {
  const uint16_t* sb = m_bands->shortBounds;
  const ScaleFactors& sf = m_sf[1];
  const int32_t* right = m_values[1];
  const int firstShort = g.bMixed ? 3 : 0;
  bool bShortPartEmpty = true;
  for (int w = 0; w < 3; ++w) {
    // Highest band of this window with a non-zero right value.
    int start = firstShort;
    for (int b = 12; b >= firstShort; --b) {
      const int width = sb[b + 1] - sb[b];
      const int from = sb[b] * 3 + w * width;
      if (std::any_of(right + from, right + from + width, [](int32_t v) { return v != 0; })) {
        start = b + 1;
        bShortPartEmpty = false;
        break;
      }
    }
    for (int b = firstShort; b < 13; ++b) {
      const int width = sb[b + 1] - sb[b];
      const int from = sb[b] * 3 + w * width;
      if (b < start) {
        if (bMs)
          ApplyIntensity(h, -1, -1, true, from, from + width, 0);
        continue;
      }
      const int src = std::min(b, 11);
      const int illegal = h.IsLsf() ? sf.isIllegalS[src] : 7;
      ApplyIntensity(h, sf.s[src][w], illegal, bMs, from, from + width, static_cast<uint8_t>(g.scalefacCompress));
    }
  }
  if (!g.bMixed)
    return;
  // The long part of a mixed block: intensity only if nothing is left above it.
  int longBands = 0;
  while (m_bands->longBounds[longBands + 1] <= kMixedLongLines)
    ++longBands;
  if (bShortPartEmpty)
    IntensityLong(h, g, 0, longBands, bMs);
  else if (bMs)
    ApplyIntensity(h, -1, -1, true, 0, kMixedLongLines, 0);
}

void Layer3Decoder::Stereo(const FrameHeader& h, const Granule& g) {
  if (h.channelMode != kJointStereo || h.modeExtension == 0)
    return;
  const bool bMs = (h.modeExtension & 2) != 0;
  const bool bIntensity = (h.modeExtension & 1) != 0;
  if (!bIntensity) {
    const int lines = std::max(m_nonzero[0], m_nonzero[1]);
    ApplyIntensity(h, -1, -1, true, 0, lines, 0);
    return;
  }
  if (IsShort(g.bWindowSwitching, g.blockType))
    IntensityShort(h, g, bMs);
  else
    IntensityLong(h, g, 0, 22, bMs);
}

void Layer3Decoder::Reorder(const Granule& g, float* xr) {
  if (!IsShort(g.bWindowSwitching, g.blockType))
    return;
  const uint16_t* sb = m_bands->shortBounds;
  float tmp[kGranuleLines];
  for (int b = g.bMixed ? 3 : 0; b < 13; ++b) {
    const int width = sb[b + 1] - sb[b];
    const int start = sb[b] * 3;
    for (int w = 0; w < 3; ++w)
      for (int j = 0; j < width; ++j)
        tmp[j * 3 + w] = xr[start + w * width + j];
    std::memcpy(xr + start, tmp, sizeof(float) * 3 * width);
  }
}

void Layer3Decoder::Antialias(const Granule& g, float* xr) {
  const Layer3Tables& t = Tables();
  int boundaries;
  if (IsShort(g.bWindowSwitching, g.blockType))
    boundaries = g.bMixed ? 1 : 0;
  else
    boundaries = kSubbands - 1;
  for (int sb = 1; sb <= boundaries; ++sb) {
    float* lo = xr + 18 * sb - 1;
    float* hi = xr + 18 * sb;
    for (int i = 0; i < 8; ++i) {
      const float bu = lo[-i], bd = hi[i];
      lo[-i] = bu * t.aliasCs[i] - bd * t.aliasCa[i];
      hi[i] = bd * t.aliasCs[i] + bu * t.aliasCa[i];
    }
  }
}

void Layer3Decoder::Hybrid(const Granule& g, int ch, const float* xr, SubbandFrame& out, int slot0) {
  const Layer3Tables& t = Tables();
  // Sub-bands past the last non-zero line (plus alias spill) only release their overlap.
  int limit = m_nonzero[ch];
  if (IsShort(g.bWindowSwitching, g.blockType)) {
    // Reordering moves values within a band's three windows: round up to its end.
    const uint16_t* sbounds = m_bands->shortBounds;
    for (int b = 0; b < 13; ++b)
      if (limit > sbounds[b] * 3 && limit <= sbounds[b + 1] * 3)
        limit = sbounds[b + 1] * 3;
  }
  const int active = std::min(kSubbands, (limit + 17) / 18 + 1);
  for (int sb = 0; sb < kSubbands; ++sb) {
    float* overlap = m_overlap[ch][sb];
    float result[36];
    const float* in = xr + sb * 18;
    const int type = (g.bMixed && sb < 2) ? kBlockLong : (g.bWindowSwitching ? g.blockType : kBlockLong);
    if (sb >= active) {
      std::memset(result, 0, sizeof result);
    } else if (type == kBlockShort) {
      std::memset(result, 0, sizeof result);
      for (int w = 0; w < 3; ++w) {
        float y[12] = {};
        for (int k = 0; k < 6; ++k) {
          const float v = in[3 * k + w];
          for (int i = 0; i < 12; ++i)
            y[i] += v * t.imdctShort[k][i];
        }
        for (int i = 0; i < 12; ++i)
          result[6 + 6 * w + i] += y[i];
      }
    } else {
      // The 36-point IMDCT is a DCT-IV of 18 points: output i is z[i + 9], and
      // z[35 - n] = -z[n] gives the rest.
      float z[18];
      DctIv18(in, z);
      const float* win = t.window[type];
      for (int i = 0; i < 9; ++i) {
        result[i] = z[9 + i] * win[i];
        result[17 - i] = -z[9 + i] * win[17 - i];
        result[18 + i] = -z[8 - i] * win[18 + i];
        result[35 - i] = -z[8 - i] * win[35 - i];
      }
    }
    const bool bInvert = sb & 1;
    for (int i = 0; i < 18; ++i) {
      float v = result[i] + overlap[i];
      if (bInvert && (i & 1))
        v = -v;
      out[ch][slot0 + i][sb] = v;
      overlap[i] = result[18 + i];
    }
  }
}

bool Layer3Decoder::DecodeFrame(const FrameHeader& h, const uint8_t* frame, SubbandFrame& out) {
  m_bands = &kScaleFactorBands[VersionRow(h.version) * 3 + h.frequencyIndex];
  const int granules = h.IsLsf() ? 1 : 2;
  const int channels = h.channels;
  const uint32_t sideStart = kFrameHeaderBytes + (h.bCrc ? 2 : 0);
  const uint32_t mainStart = sideStart + h.SideInfoBytes();

  SideInfo side;
  BitReader sideBits(frame + sideStart, h.SideInfoBytes());
  const bool bSideOk = ReadSideInfo(h, sideBits, side);

  // The reservoir: bytes of earlier frames' main data that this frame may start in.
  const int available = m_mainBytes;
  const int keep = std::min(m_mainBytes, kReservoirKeep);
  std::memmove(m_main, m_main + m_mainBytes - keep, keep);
  m_mainBytes = keep;
  const int mainLength = static_cast<int>(h.frameBytes - mainStart);
  std::memcpy(m_main + m_mainBytes, frame + mainStart, mainLength);
  const int begin = m_mainBytes - static_cast<int>(side.mainDataBegin);
  m_mainBytes += mainLength;

  if (!bSideOk || static_cast<int>(side.mainDataBegin) > std::min(available, keep)) {
    std::memset(out, 0, sizeof(SubbandFrame));
    std::memset(m_overlap, 0, sizeof m_overlap);
    return false;
  }

  BitReader bits(m_main + begin, m_mainBytes - begin);
  size_t granuleStart = 0;
  for (int gr = 0; gr < granules; ++gr) {
    for (int ch = 0; ch < channels; ++ch) {
      Granule& g = side.granule[gr][ch];
      bits.Seek(granuleStart);
      const size_t end = granuleStart + g.part23Length;
      if (h.IsLsf()) {
        const bool bIntensityRight = ch == 1 && h.channelMode == kJointStereo && (h.modeExtension & 1);
        ReadScaleFactorsLsf(bits, g, ch, bIntensityRight);
        if (!bIntensityRight && g.scalefacCompress >= 500)
          g.bPreflag = true;
      } else {
        ReadScaleFactorsMpeg1(bits, g, ch, gr, side);
      }
      m_nonzero[ch] = bits.Position() > end ? 0 : DecodeHuffman(bits, g, end, m_values[ch]);
      if (m_nonzero[ch] == 0)
        std::memset(m_values[ch], 0, sizeof m_values[ch]);
      Requantize(g, m_sf[ch], m_values[ch], m_nonzero[ch], m_xr[ch]);
      granuleStart = end;
    }
    if (channels == 2) {
      Stereo(h, side.granule[gr][1]);
      // Mid/side and intensity spread values into both channels.
      if (h.channelMode == kJointStereo && h.modeExtension != 0)
        m_nonzero[1] = m_nonzero[0] = std::max(m_nonzero[0], m_nonzero[1]);
    }
    for (int ch = 0; ch < channels; ++ch) {
      const Granule& g = side.granule[gr][ch];
      Reorder(g, m_xr[ch]);
      Antialias(g, m_xr[ch]);
      Hybrid(g, ch, m_xr[ch], out, gr * kSlotsPerGranule);
    }
  }
  return true;
}

}  // namespace orv::codec
