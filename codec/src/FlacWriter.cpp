#include "orvcodec/FlacWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "FlacCrc.h"
#include "enc/BitWriter.h"

namespace orv::codec {

namespace {

using enc::BitWriter;

constexpr uint32_t kBlockSize = 4608;
constexpr int kBlockSizeCode = 5;          // 576 << 3
constexpr int kBlockSizeFollows16 = 7;     // the size - 1 follows in 16 bits
constexpr int kSampleSize16Code = 4;
constexpr int kMaxFixedOrder = 4;
constexpr int kMaxPartitionOrder = 6;
constexpr int kRiceEscape5 = 31;
constexpr uint64_t kSeekPointSpacing = 10;  // seconds
constexpr int kStreamInfoBytes = 34;
constexpr int kSeekPointBytes = 18;

enum Assignment { kIndependent = 0, kLeftSide = 8, kRightSide = 9, kMidSide = 10 };

// One channel's best subframe, measured in bits before it is written.
struct SubframePlan {
  bool constant = false;
  int order = 0;
  int partitionOrder = 0;
  uint64_t bits = 0;
};

uint32_t Zigzag(int32_t v) { return (static_cast<uint32_t>(v) << 1) ^ static_cast<uint32_t>(v >> 31); }

void FixedResidual(const int32_t* s, uint32_t n, int order, int32_t* r) {
  for (uint32_t i = static_cast<uint32_t>(order); i < n; ++i) {
    switch (order) {
      case 0: r[i] = s[i]; break;
      case 1: r[i] = s[i] - s[i - 1]; break;
      case 2: r[i] = s[i] - 2 * s[i - 1] + s[i - 2]; break;
      case 3: r[i] = s[i] - 3 * s[i - 1] + 3 * s[i - 2] - s[i - 3]; break;
      default: r[i] = s[i] - 4 * s[i - 1] + 6 * s[i - 2] - 4 * s[i - 3] + s[i - 4]; break;
    }
  }
}

// The Rice parameter for a partition, from its mean code, and that partition's bits.
int RiceParameter(const int32_t* r, uint32_t count, uint64_t& bits) {
  uint64_t sum = 0;
  for (uint32_t i = 0; i < count; ++i) sum += Zigzag(r[i]);
  int k = 0;
  while (k < 30 && (uint64_t{count} << (k + 1)) < sum) ++k;
  bits = 5 + uint64_t{count} * (1 + static_cast<uint64_t>(k));
  for (uint32_t i = 0; i < count; ++i) bits += Zigzag(r[i]) >> k;
  return k;
}

uint64_t ResidualBits(const int32_t* r, uint32_t n, int order, int partitionOrder) {
  const uint32_t per = n >> partitionOrder;
  uint64_t total = 6;
  for (uint32_t p = 0; p < (1u << partitionOrder); ++p) {
    const uint32_t first = p == 0 ? static_cast<uint32_t>(order) : p * per;
    uint64_t bits = 0;
    RiceParameter(r + first, (p + 1) * per - first, bits);
    total += bits;
  }
  return total;
}

SubframePlan Plan(const int32_t* s, uint32_t n, int bits, std::vector<int32_t>& residual) {
  SubframePlan best;
  if (std::all_of(s, s + n, [&](int32_t v) { return v == s[0]; })) {
    best.constant = true;
    best.bits = 8 + static_cast<uint64_t>(bits);
    return best;
  }
  best.bits = ~uint64_t{0};
  for (int order = 0; order <= std::min<int>(kMaxFixedOrder, static_cast<int>(n) - 1); ++order) {
    FixedResidual(s, n, order, residual.data());
    for (int p = 0; p <= kMaxPartitionOrder; ++p) {
      if (n % (1u << p) != 0 || (n >> p) <= static_cast<uint32_t>(order)) break;
      const uint64_t cost = 8 + static_cast<uint64_t>(order * bits) + ResidualBits(residual.data(), n, order, p);
      if (cost < best.bits) best = {false, order, p, cost};
    }
  }
  return best;
}

void PutUnary(BitWriter& out, uint32_t zeros) {
  for (; zeros >= 31; zeros -= 31) out.Put(0, 31);
  out.Put(1, static_cast<int>(zeros) + 1);
}

void PutSigned(BitWriter& out, int32_t v, int bits) {
  out.Put(static_cast<uint32_t>(v) & (bits == 32 ? ~0u : (1u << bits) - 1), bits);
}

void WriteSubframe(BitWriter& out, const int32_t* s, uint32_t n, int bits, const SubframePlan& plan,
                   std::vector<int32_t>& residual) {
  if (plan.constant) {
    out.Put(0, 8);  // zero bit, type CONSTANT, no wasted bits
    PutSigned(out, s[0], bits);
    return;
  }
  out.Put(static_cast<uint32_t>(8 + plan.order) << 1, 8);
  for (int i = 0; i < plan.order; ++i) PutSigned(out, s[i], bits);
  FixedResidual(s, n, plan.order, residual.data());
  const uint32_t per = n >> plan.partitionOrder;
  out.Put(1, 2);  // 5-bit Rice parameters
  out.Put(static_cast<uint32_t>(plan.partitionOrder), 4);
  for (uint32_t p = 0; p < (1u << plan.partitionOrder); ++p) {
    const uint32_t first = p == 0 ? static_cast<uint32_t>(plan.order) : p * per;
    const uint32_t count = (p + 1) * per - first;
    uint64_t unused = 0;
    const int k = RiceParameter(residual.data() + first, count, unused);
    out.Put(static_cast<uint32_t>(std::min(k, kRiceEscape5 - 1)), 5);
    for (uint32_t i = first; i < first + count; ++i) {
      const uint32_t u = Zigzag(residual[i]);
      PutUnary(out, u >> k);
      if (k > 0) out.Put(u & ((1u << k) - 1), k);
    }
  }
}

void PutCodedNumber(BitWriter& out, uint32_t v) {
  if (v < 0x80) return out.Put(v, 8);
  int more = v < 0x800 ? 1 : v < 0x10000 ? 2 : v < 0x200000 ? 3 : v < 0x4000000 ? 4 : 5;
  const uint32_t lead = (0xFF00u >> (more + 1)) & 0xFF;
  out.Put(lead | (v >> (6 * more)), 8);
  for (int i = more - 1; i >= 0; --i) out.Put(0x80 | ((v >> (6 * i)) & 0x3F), 8);
}

// One frame: header with its CRC-8, a subframe per channel, the CRC-16.
void WriteFrame(std::vector<uint8_t>& file, const int16_t* pcm, uint32_t n, int channels, uint32_t frameNumber,
                std::vector<std::vector<int32_t>>& planes, std::vector<int32_t>& residual) {
  for (uint32_t i = 0; i < n; ++i)
    for (int ch = 0; ch < channels; ++ch) planes[static_cast<size_t>(ch)][i] = pcm[i * static_cast<uint32_t>(channels) + static_cast<uint32_t>(ch)];
  int assignment = kIndependent + channels - 1;
  int planeOf[2] = {0, 1};
  int bitsOf[2] = {16, 16};
  SubframePlan plans[4];
  if (channels == 2) {
    // Planes 2 and 3 hold mid and side; the cheapest pair wins.
    for (uint32_t i = 0; i < n; ++i) {
      planes[2][i] = (planes[0][i] + planes[1][i]) >> 1;
      planes[3][i] = planes[0][i] - planes[1][i];
    }
    for (int p = 0; p < 4; ++p) plans[p] = Plan(planes[static_cast<size_t>(p)].data(), n, p == 3 ? 17 : 16, residual);
    struct Choice { int assignment, first, second; } const choices[] = {
        {1, 0, 1}, {kLeftSide, 0, 3}, {kRightSide, 3, 1}, {kMidSide, 2, 3}};
    uint64_t best = ~uint64_t{0};
    for (const Choice& c : choices) {
      const uint64_t cost = plans[c.first].bits + plans[c.second].bits;
      if (cost < best) best = cost, assignment = c.assignment, planeOf[0] = c.first, planeOf[1] = c.second;
    }
    bitsOf[0] = planeOf[0] == 3 ? 17 : 16;
    bitsOf[1] = planeOf[1] == 3 ? 17 : 16;
  } else {
    plans[0] = Plan(planes[0].data(), n, 16, residual);
  }

  BitWriter out;
  out.Put(0xFFF8, 16);  // sync, fixed block size
  out.Put(n == kBlockSize ? kBlockSizeCode : kBlockSizeFollows16, 4);
  out.Put(0, 4);        // sample rate from STREAMINFO
  out.Put(static_cast<uint32_t>(assignment), 4);
  out.Put(kSampleSize16Code, 3);
  out.Put(0, 1);
  PutCodedNumber(out, frameNumber);
  if (n != kBlockSize) out.Put(n - 1, 16);
  out.Put(flac::Crc8(out.Bytes().data(), out.Bytes().size()), 8);
  for (int ch = 0; ch < channels; ++ch)
    WriteSubframe(out, planes[static_cast<size_t>(planeOf[ch])].data(), n, bitsOf[ch], plans[planeOf[ch]], residual);
  out.AlignToByte();
  const uint16_t crc = flac::Crc16(out.Bytes().data(), out.Bytes().size());
  out.Put(crc, 16);
  file.insert(file.end(), out.Bytes().begin(), out.Bytes().end());
}

void PutBe(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> EncodeFlac16(const int16_t* samples, size_t frames, int channels, uint32_t sampleRate) {
  std::vector<std::vector<int32_t>> planes(4, std::vector<int32_t>(kBlockSize));
  std::vector<int32_t> residual(kBlockSize);
  std::vector<uint8_t> body;
  std::vector<std::pair<uint64_t, uint64_t>> points;  // sample, offset
  uint32_t minFrame = ~0u, maxFrame = 0;
  const uint64_t spacing = kSeekPointSpacing * sampleRate;
  for (size_t first = 0; first < frames; first += kBlockSize) {
    if (points.empty() || first >= points.back().first + spacing) points.emplace_back(first, body.size());
    const size_t before = body.size();
    const auto n = static_cast<uint32_t>(std::min<size_t>(kBlockSize, frames - first));
    WriteFrame(body, samples + first * static_cast<size_t>(channels), n, channels,
               static_cast<uint32_t>(first / kBlockSize), planes, residual);
    const auto size = static_cast<uint32_t>(body.size() - before);
    minFrame = std::min(minFrame, size);
    maxFrame = std::max(maxFrame, size);
  }

  std::vector<uint8_t> file = {'f', 'L', 'a', 'C'};
  PutBe(file, kStreamInfoBytes, 4);  // not last, type 0
  PutBe(file, kBlockSize, 2);
  PutBe(file, kBlockSize, 2);
  PutBe(file, frames ? minFrame : 0, 3);
  PutBe(file, maxFrame, 3);
  PutBe(file, uint64_t{sampleRate} << 44 | uint64_t(channels - 1) << 41 | uint64_t{15} << 36 | frames, 8);
  file.insert(file.end(), 16, 0);  // MD5 unset
  PutBe(file, uint64_t{0x83} << 24 | points.size() * kSeekPointBytes, 4);  // last, SEEKTABLE
  for (const auto& point : points) {
    PutBe(file, point.first, 8);
    PutBe(file, point.second, 8);
    PutBe(file, std::min<size_t>(kBlockSize, frames - point.first), 2);
  }
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

bool WriteFlac16(const std::string& path, const int16_t* samples, size_t frames, int channels, uint32_t sampleRate) {
  const std::vector<uint8_t> bytes = EncodeFlac16(samples, frames, channels, sampleRate);
  const std::string temp = path + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  // POSIX replaces the old file in one step; only where rename will not replace
  // (Windows) does the old file go first.
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(path.c_str());
    ok = std::rename(temp.c_str(), path.c_str()) == 0;
  }
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace orv::codec
