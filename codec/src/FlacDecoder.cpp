#include "orvcodec/FlacDecoder.h"

#include <algorithm>
#include <cstring>

#include "BitReader.h"
#include "FlacCrc.h"

namespace orv::codec {

// Where the bytes come from: a view of the caller's memory, or a window onto a file
// that moves as frames are read.
class FlacByteSource {
 public:
  virtual ~FlacByteSource() = default;
  virtual uint64_t Size() const = 0;
  // A view of up to count bytes from offset (fewer at the end), valid until the
  // next call.
  virtual const uint8_t* View(uint64_t offset, size_t count, size_t& got) = 0;
};

namespace {

using flac::Crc16;
using flac::Crc8;

constexpr size_t kFileWindowBytes = 256 * 1024;
constexpr size_t kMinFrameBound = 64 * 1024;
constexpr size_t kStreamInfoBytes = 34;
constexpr size_t kSeekPointBytes = 18;
constexpr uint64_t kPlaceholderPoint = ~uint64_t{0};
constexpr int kBlockStreamInfo = 0;
constexpr int kBlockSeekTable = 3;
constexpr uint32_t kMaxSeekSteps = 64;
constexpr uint64_t kScanSpan = 32 * 1024;  // close enough to walk frame by frame

class MemorySource : public FlacByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  uint64_t Size() const override { return m_size; }
  const uint8_t* View(uint64_t offset, size_t count, size_t& got) override {
    got = offset >= m_size ? 0 : static_cast<size_t>(std::min<uint64_t>(count, m_size - offset));
    return m_data + std::min<uint64_t>(offset, m_size);
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
};

class FileSource : public FlacByteSource {
 public:
  explicit FileSource(std::FILE* file) : m_file(file) {
    if (std::fseek(m_file, 0, SEEK_END) == 0) {
      const long end = std::ftell(m_file);
      m_size = end > 0 ? static_cast<uint64_t>(end) : 0;
    }
  }
  ~FileSource() override { std::fclose(m_file); }
  uint64_t Size() const override { return m_size; }
  const uint8_t* View(uint64_t offset, size_t count, size_t& got) override {
    const uint64_t wantEnd = std::min<uint64_t>(offset + count, m_size);
    if (offset < m_start || wantEnd > m_start + m_window.size()) Fill(offset, count);
    const uint64_t haveEnd = m_start + m_window.size();
    got = offset >= haveEnd || offset < m_start ? 0 : static_cast<size_t>(std::min(wantEnd, haveEnd) - offset);
    return m_window.data() + (offset >= m_start ? std::min<uint64_t>(offset - m_start, m_window.size()) : 0);
  }

 private:
  void Fill(uint64_t offset, size_t count) {
    m_window.resize(std::max(count, kFileWindowBytes));
    m_start = offset;
    size_t got = 0;
    if (offset < m_size && std::fseek(m_file, static_cast<long>(offset), SEEK_SET) == 0)
      got = std::fread(m_window.data(), 1, m_window.size(), m_file);
    m_window.resize(got);
  }

  std::FILE* m_file;
  uint64_t m_size = 0;
  uint64_t m_start = 0;
  std::vector<uint8_t> m_window;
};

uint32_t Be(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

int32_t SignExtend(uint32_t v, int bits) {
  if (bits == 0) return 0;
  const uint32_t m = uint32_t{1} << (bits - 1);
  return static_cast<int32_t>((v ^ m) - m);
}

// Reads up to 32 bits (the bit reader takes at most 32 at once; 0 is allowed).
uint32_t ReadBits(BitReader& br, int bits) { return bits == 0 ? 0 : br.Read(bits); }

// The frame header's "UTF-8" coded frame or sample number.
bool ReadCodedNumber(BitReader& br, uint64_t& value) {
  const uint32_t first = br.Read(8);
  int more = 0;
  if (first < 0x80) {
    value = first;
    return true;
  }
  if (first >= 0xC0 && first < 0xE0) more = 1, value = first & 0x1F;
  else if (first >= 0xE0 && first < 0xF0) more = 2, value = first & 0x0F;
  else if (first >= 0xF0 && first < 0xF8) more = 3, value = first & 0x07;
  else if (first >= 0xF8 && first < 0xFC) more = 4, value = first & 0x03;
  else if (first >= 0xFC && first < 0xFE) more = 5, value = first & 0x01;
  else if (first == 0xFE) more = 6, value = 0;
  else return false;
  for (int i = 0; i < more; ++i) {
    const uint32_t b = br.Read(8);
    if ((b & 0xC0) != 0x80) return false;
    value = value << 6 | (b & 0x3F);
  }
  return true;
}

// Block sizes of the header's 4-bit code; 0 means "stated after the number".
uint32_t BlockSizeOf(uint32_t code) {
  if (code == 1) return 192;
  if (code >= 2 && code <= 5) return 576u << (code - 2);
  if (code >= 8) return 256u << (code - 8);
  return 0;
}

constexpr uint32_t kSampleRates[] = {0,     88200, 176400, 192000, 8000,  16000, 22050, 24000,
                                     32000, 44100, 48000,  96000,  0,     0,     0,     0};
constexpr int kSampleSizes[] = {0, 8, 12, -1, 16, 20, 24, 32};

// Samples of one subframe, written into out[0, blockSize).
class SubframeReader {
 public:
  SubframeReader(BitReader& br, uint32_t blockSize, int bits, int32_t* out)
      : m_br(br), m_blockSize(blockSize), m_bits(bits), m_out(out) {}

  bool Read() {
    if (m_br.Read(1) != 0) return false;
    const uint32_t type = m_br.Read(6);
    int wasted = 0;
    if (m_br.Read(1)) {
      wasted = 1;
      while (m_br.Read(1) == 0 && !m_br.Overrun()) ++wasted;
      if (wasted >= m_bits) return false;
      m_bits -= wasted;
    }
    bool ok = false;
    if (type == 0) ok = Constant();
    else if (type == 1) ok = Verbatim();
    else if (type >= 8 && type <= 12) ok = Fixed(static_cast<int>(type - 8));
    else if (type >= 32) ok = Lpc(static_cast<int>(type - 31));
    if (!ok || m_br.Overrun()) return false;
    if (wasted > 0)
      for (uint32_t i = 0; i < m_blockSize; ++i) m_out[i] = static_cast<int32_t>(static_cast<uint32_t>(m_out[i]) << wasted);
    return true;
  }

 private:
  int32_t Sample() { return SignExtend(ReadBits(m_br, m_bits), m_bits); }

  bool Constant() {
    std::fill(m_out, m_out + m_blockSize, Sample());
    return true;
  }

  bool Verbatim() {
    for (uint32_t i = 0; i < m_blockSize; ++i) m_out[i] = Sample();
    return true;
  }

  bool Warmup(int order) {
    if (static_cast<uint32_t>(order) > m_blockSize) return false;
    for (int i = 0; i < order; ++i) m_out[i] = Sample();
    return true;
  }

  // Fixed polynomial predictors of order 0 to 4, in wrapping arithmetic so that a
  // damaged stream cannot overflow (its CRC fails it anyway).
  bool Fixed(int order) {
    if (!Warmup(order) || !Residual(order)) return false;
    uint32_t* s = reinterpret_cast<uint32_t*>(m_out);
    switch (order) {
      case 1:
        for (uint32_t i = 1; i < m_blockSize; ++i) s[i] += s[i - 1];
        break;
      case 2:
        for (uint32_t i = 2; i < m_blockSize; ++i) s[i] += 2 * s[i - 1] - s[i - 2];
        break;
      case 3:
        for (uint32_t i = 3; i < m_blockSize; ++i) s[i] += 3 * s[i - 1] - 3 * s[i - 2] + s[i - 3];
        break;
      case 4:
        for (uint32_t i = 4; i < m_blockSize; ++i) s[i] += 4 * s[i - 1] - 6 * s[i - 2] + 4 * s[i - 3] - s[i - 4];
        break;
      default:
        break;
    }
    return true;
  }

  bool Lpc(int order) {
    if (!Warmup(order)) return false;
    const uint32_t precisionCode = m_br.Read(4);
    if (precisionCode == 15) return false;
    const int precision = static_cast<int>(precisionCode) + 1;
    const int shift = SignExtend(m_br.Read(5), 5);
    if (shift < 0) return false;
    int32_t coefs[32];
    for (int i = 0; i < order; ++i) coefs[i] = SignExtend(m_br.Read(precision), precision);
    if (!Residual(order)) return false;
    // The sum fits 32 bits when the sample, coefficient and order bits do.
    int orderBits = 0;
    while ((1 << orderBits) < order) ++orderBits;
    if (m_bits + precision + orderBits <= 32) Predict32(coefs, order, shift);
    else Predict64(coefs, order, shift);
    return true;
  }

  // The common orders get a loop of their own, which the compiler unrolls.
  template <int Order>
  void Predict32Fixed(const int32_t* coefs, int shift) {
    uint32_t c[Order];
    for (int j = 0; j < Order; ++j) c[j] = static_cast<uint32_t>(coefs[j]);
    uint32_t* s = reinterpret_cast<uint32_t*>(m_out);
    for (uint32_t i = Order; i < m_blockSize; ++i) {
      uint32_t sum = 0;
      for (int j = 0; j < Order; ++j) sum += c[j] * s[i - 1 - j];
      s[i] += static_cast<uint32_t>(static_cast<int32_t>(sum) >> shift);
    }
  }

  void Predict32(const int32_t* coefs, int order, int shift) {
    switch (order) {
      case 1: return Predict32Fixed<1>(coefs, shift);
      case 2: return Predict32Fixed<2>(coefs, shift);
      case 3: return Predict32Fixed<3>(coefs, shift);
      case 4: return Predict32Fixed<4>(coefs, shift);
      case 5: return Predict32Fixed<5>(coefs, shift);
      case 6: return Predict32Fixed<6>(coefs, shift);
      case 7: return Predict32Fixed<7>(coefs, shift);
      case 8: return Predict32Fixed<8>(coefs, shift);
      case 9: return Predict32Fixed<9>(coefs, shift);
      case 10: return Predict32Fixed<10>(coefs, shift);
      case 11: return Predict32Fixed<11>(coefs, shift);
      case 12: return Predict32Fixed<12>(coefs, shift);
      default: break;
    }
    for (uint32_t i = static_cast<uint32_t>(order); i < m_blockSize; ++i) {
      uint32_t sum = 0;
      const int32_t* history = m_out + i;
      for (int j = 0; j < order; ++j) sum += static_cast<uint32_t>(coefs[j]) * static_cast<uint32_t>(history[-1 - j]);
      m_out[i] = static_cast<int32_t>(static_cast<uint32_t>(m_out[i]) + static_cast<uint32_t>(static_cast<int32_t>(sum) >> shift));
    }
  }

  void Predict64(const int32_t* coefs, int order, int shift) {
    for (uint32_t i = static_cast<uint32_t>(order); i < m_blockSize; ++i) {
      int64_t sum = 0;
      const int32_t* history = m_out + i;
      for (int j = 0; j < order; ++j) sum += static_cast<int64_t>(coefs[j]) * history[-1 - j];
      m_out[i] = static_cast<int32_t>(static_cast<uint32_t>(m_out[i]) + static_cast<uint32_t>(sum >> shift));
    }
  }

  // The residual: Rice partitions with 4- or 5-bit parameters, or escaped raw bits.
  bool Residual(int order) {
    const uint32_t method = m_br.Read(2);
    if (method > 1) return false;
    const int paramBits = method == 0 ? 4 : 5;
    const uint32_t escape = method == 0 ? 15 : 31;
    const int partitionOrder = static_cast<int>(m_br.Read(4));
    const uint32_t partitions = 1u << partitionOrder;
    if (m_blockSize % partitions != 0) return false;
    const uint32_t perPartition = m_blockSize >> partitionOrder;
    if (perPartition < static_cast<uint32_t>(order)) return false;
    int32_t* out = m_out + order;
    for (uint32_t p = 0; p < partitions; ++p) {
      const uint32_t count = p == 0 ? perPartition - static_cast<uint32_t>(order) : perPartition;
      const uint32_t param = m_br.Read(paramBits);
      if (param == escape) {
        const int raw = static_cast<int>(m_br.Read(5));
        for (uint32_t i = 0; i < count; ++i) out[i] = SignExtend(ReadBits(m_br, raw), raw);
      } else if (!RicePartition(out, count, static_cast<int>(param))) {
        return false;
      }
      if (m_br.Overrun()) return false;
      out += count;
    }
    return true;
  }

  // Unary quotient, then param low bits, folded back from the zigzag code. Codes are
  // taken from one 64-bit window until it runs short; a code longer than a window
  // goes bit by bit.
  bool RicePartition(int32_t* out, uint32_t count, int param) {
    constexpr int kWindowBits = 57;
    uint64_t w = m_br.Window();
    int used = 0;
    for (uint32_t i = 0; i < count; ++i) {
      uint64_t v = w << used;
      int zeros = v == 0 ? 64 : __builtin_clzll(v);
      if (used + zeros + 1 + param > kWindowBits && used > 0) {
        m_br.Skip(static_cast<size_t>(used));
        w = v = m_br.Window();
        used = 0;
        zeros = v == 0 ? 64 : __builtin_clzll(v);
      }
      uint32_t value;
      if (zeros + 1 + param <= kWindowBits) {
        const uint32_t low = param == 0 ? 0 : static_cast<uint32_t>((v << (zeros + 1)) >> (64 - param));
        value = static_cast<uint32_t>(zeros) << param | low;
        used += zeros + 1 + param;
      } else {
        if (!SlowRice(param, value)) return false;
        w = m_br.Window();
      }
      out[i] = static_cast<int32_t>((value >> 1) ^ (0u - (value & 1)));
    }
    m_br.Skip(static_cast<size_t>(used));
    return true;
  }

  bool SlowRice(int param, uint32_t& value) {
    uint32_t quotient = 0;
    while (m_br.Read(1) == 0) {
      if (m_br.Overrun()) return false;
      ++quotient;
    }
    value = quotient << param | ReadBits(m_br, param);
    return true;
  }

  BitReader& m_br;
  uint32_t m_blockSize;
  int m_bits;
  int32_t* m_out;
};

}  // namespace

const char* FlacStatusText(FlacStatus status) {
  switch (status) {
    case FlacStatus::Ok: return "ok";
    case FlacStatus::CannotOpen: return "cannot open";
    case FlacStatus::NotFlac: return "not a FLAC file";
    case FlacStatus::BadMetadata: return "no usable stream information";
    case FlacStatus::NoFrames: return "no audio frames";
  }
  return "";
}

FlacDecoder::FlacDecoder() = default;
FlacDecoder::~FlacDecoder() = default;

void FlacDecoder::Close() {
  m_source.reset();
  m_info = FlacInfo();
  m_seekPoints.clear();
  m_samples.clear();
  m_bytes = nullptr;
  m_byteCount = 0;
  m_blockFirst = m_blockSamples = m_blockPos = 0;
  m_blockSilent = false;
  m_damagedAt = kNoDamage;
}

FlacStatus FlacDecoder::Open(const std::string& path) {
  Close();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return FlacStatus::CannotOpen;
  m_source = std::make_unique<FileSource>(file);
  const FlacStatus status = ParseMetadata();
  if (status != FlacStatus::Ok) Close();
  return status;
}

FlacStatus FlacDecoder::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  m_source = std::make_unique<MemorySource>(data, size);
  const FlacStatus status = ParseMetadata();
  if (status != FlacStatus::Ok) Close();
  return status;
}

bool FlacDecoder::ReadBytes(uint64_t offset, size_t count) {
  m_bytes = m_source->View(offset, count, m_byteCount);
  return m_byteCount == count;
}

// The signature (after an ID3v2 tag some taggers put first), then the metadata
// blocks: STREAMINFO must come first; SEEKTABLE is kept; every other block is skipped
// by its length.
FlacStatus FlacDecoder::ParseMetadata() {
  m_fileSize = m_source->Size();
  uint64_t pos = 0;
  if (ReadBytes(0, 10) && std::memcmp(m_bytes, "ID3", 3) == 0) {
    pos = 10 + (uint64_t{m_bytes[6] & 0x7Fu} << 21 | (m_bytes[7] & 0x7Fu) << 14 | (m_bytes[8] & 0x7Fu) << 7 | (m_bytes[9] & 0x7Fu));
    if (m_bytes[5] & 0x10) pos += 10;  // footer
  }
  if (!ReadBytes(pos, 4) || std::memcmp(m_bytes, "fLaC", 4) != 0) return FlacStatus::NotFlac;
  pos += 4;
  for (bool first = true, last = false; !last; first = false) {
    if (!ReadBytes(pos, 4)) return first ? FlacStatus::BadMetadata : FlacStatus::NoFrames;
    last = (m_bytes[0] & 0x80) != 0;
    const int type = m_bytes[0] & 0x7F;
    const uint32_t length = Be(m_bytes + 1, 3);
    pos += 4;
    if (first && (type != kBlockStreamInfo || length < kStreamInfoBytes)) return FlacStatus::BadMetadata;
    if (type == kBlockStreamInfo && first) {
      if (!ReadBytes(pos, kStreamInfoBytes)) return FlacStatus::BadMetadata;
      const uint8_t* p = m_bytes;
      m_info.minBlockSize = Be(p, 2);
      m_info.maxBlockSize = Be(p + 2, 2);
      m_info.maxFrameBytes = Be(p + 7, 3);
      m_info.sampleRate = Be(p + 10, 3) >> 4;
      m_info.channels = static_cast<int>((p[12] >> 1) & 7) + 1;
      m_info.bitsPerSample = static_cast<int>(((p[12] & 1) << 4 | p[13] >> 4)) + 1;
      m_info.totalSamples = uint64_t{p[13] & 0x0Fu} << 32 | Be(p + 14, 4);
      if (m_info.maxBlockSize < 16 || m_info.minBlockSize > m_info.maxBlockSize || m_info.bitsPerSample < 4 ||
          m_info.sampleRate == 0)
        return FlacStatus::BadMetadata;
    } else if (type == kBlockSeekTable) {
      m_seekPoints.clear();
      for (uint32_t i = 0; i + kSeekPointBytes <= length; i += kSeekPointBytes) {
        if (!ReadBytes(pos + i, kSeekPointBytes)) break;
        const uint64_t sample = uint64_t{Be(m_bytes, 4)} << 32 | Be(m_bytes + 4, 4);
        const uint64_t offset = uint64_t{Be(m_bytes + 8, 4)} << 32 | Be(m_bytes + 12, 4);
        if (sample == kPlaceholderPoint || (!m_seekPoints.empty() && sample <= m_seekPoints.back().sample)) continue;
        m_seekPoints.push_back({sample, offset});
      }
    }
    pos += length;
  }
  m_firstFrame = pos;
  // The largest frame a valid stream can hold: every subframe verbatim, one bit
  // wider for a side channel, plus headers; STREAMINFO may state more.
  const size_t verbatim = static_cast<size_t>(m_info.maxBlockSize) * static_cast<size_t>(m_info.channels) *
                          static_cast<size_t>(m_info.bitsPerSample + 1) / 8;
  m_frameBound = std::max({verbatim + 64 * static_cast<size_t>(m_info.channels) + 32, size_t{m_info.maxFrameBytes} + 32,
                           kMinFrameBound});
  m_samples.assign(static_cast<size_t>(m_info.maxBlockSize) * static_cast<size_t>(m_info.channels), 0);
  FrameHeader header;
  uint64_t offset = 0;
  if (!FindFrame(m_firstFrame, m_fileSize, offset, header)) return FlacStatus::NoFrames;
  if (m_info.totalSamples == 0) m_info.totalSamples = FindTotalFromEnd();
  m_nextOffset = m_firstFrame;
  m_blockFirst = m_blockSamples = m_blockPos = 0;
  return FlacStatus::Ok;
}

// Frame header: sync code, block size, rate, channels, sample size, the coded
// number, the optional size and rate fields, then its CRC-8. Only headers that agree
// with STREAMINFO count, which keeps a search from landing in audio data.
bool FlacDecoder::ParseFrameHeaderAt(uint64_t offset, FrameHeader& header) {
  constexpr size_t kLongestHeader = 16;
  ReadBytes(offset, kLongestHeader);
  if (m_byteCount < 6 || m_bytes[0] != 0xFF || (m_bytes[1] & 0xFE) != 0xF8) return false;
  BitReader br(m_bytes, m_byteCount);
  br.Skip(15);
  const bool variable = br.Read(1) != 0;
  const uint32_t sizeCode = br.Read(4);
  const uint32_t rateCode = br.Read(4);
  const uint32_t channelCode = br.Read(4);
  const uint32_t bitsCode = br.Read(3);
  if (br.Read(1) != 0 || sizeCode == 0 || rateCode == 15 || channelCode > 10 || kSampleSizes[bitsCode] < 0) return false;
  uint64_t number = 0;
  if (!ReadCodedNumber(br, number)) return false;
  header.blockSize = BlockSizeOf(sizeCode);
  if (sizeCode == 6) header.blockSize = br.Read(8) + 1;
  if (sizeCode == 7) header.blockSize = br.Read(16) + 1;
  uint32_t rate = kSampleRates[rateCode];
  if (rateCode == 12) rate = br.Read(8) * 1000;
  if (rateCode == 13) rate = br.Read(16);
  if (rateCode == 14) rate = br.Read(16) * 10;
  const size_t crcAt = br.Position() / 8;
  if (br.Overrun() || crcAt >= m_byteCount || Crc8(m_bytes, crcAt) != m_bytes[crcAt]) return false;
  header.headerBytes = crcAt + 1;
  header.channelAssignment = static_cast<int>(channelCode);
  header.channels = channelCode < 8 ? static_cast<int>(channelCode) + 1 : 2;
  header.bitsPerSample = bitsCode == 0 ? m_info.bitsPerSample : kSampleSizes[bitsCode];
  header.firstSample = variable ? number : number * m_info.maxBlockSize;
  return header.blockSize <= m_info.maxBlockSize && header.channels == m_info.channels &&
         header.bitsPerSample == m_info.bitsPerSample && (rate == 0 || rate == m_info.sampleRate) &&
         (m_info.totalSamples == 0 || header.firstSample < m_info.totalSamples);
}

// The first valid frame header at or after `from` and before `to`.
bool FlacDecoder::FindFrame(uint64_t from, uint64_t to, uint64_t& offset, FrameHeader& header) {
  to = std::min(to, m_fileSize);
  for (uint64_t chunk = from; chunk < to;) {
    const size_t span = static_cast<size_t>(std::min<uint64_t>(kFileWindowBytes / 2, to - chunk));
    ReadBytes(chunk, span + 1);
    const size_t got = std::min(m_byteCount, span + 1);
    std::vector<size_t> candidates;
    for (size_t i = 0; i + 1 < got && i < span; ++i)
      if (m_bytes[i] == 0xFF && (m_bytes[i + 1] & 0xFE) == 0xF8) candidates.push_back(i);
    for (size_t i : candidates) {
      if (ParseFrameHeaderAt(chunk + i, header)) {
        offset = chunk + i;
        return true;
      }
    }
    if (got == 0) break;
    chunk += span;
  }
  return false;
}

// Streams that do not state their length: the last frame found near the end.
uint64_t FlacDecoder::FindTotalFromEnd() {
  const uint64_t tailFrom = m_fileSize > m_firstFrame + 2 * m_frameBound ? m_fileSize - 2 * m_frameBound : m_firstFrame;
  uint64_t total = 0;
  FrameHeader header;
  uint64_t offset = 0;
  for (uint64_t from = tailFrom; FindFrame(from, m_fileSize, offset, header); from = offset + 1)
    total = std::max(total, header.firstSample + header.blockSize);
  return total;
}

// One whole frame: header, subframes, channel decorrelation, then the CRC-16 over all
// of it. Samples land in m_samples, one plane per channel.
bool FlacDecoder::DecodeFrameAt(uint64_t offset, FrameHeader& header, uint64_t& frameBytes) {
  if (!ParseFrameHeaderAt(offset, header)) return false;
  ReadBytes(offset, m_frameBound);
  BitReader br(m_bytes, m_byteCount);
  br.Skip(header.headerBytes * 8);
  const uint32_t n = header.blockSize;
  const size_t plane = m_info.maxBlockSize;
  for (int ch = 0; ch < header.channels; ++ch) {
    // The side channel carries one bit more.
    const bool side = (header.channelAssignment == 8 && ch == 1) || (header.channelAssignment == 9 && ch == 0) ||
                      (header.channelAssignment == 10 && ch == 1);
    const int bits = header.bitsPerSample + (side ? 1 : 0);
    if (bits > 32) return false;
    SubframeReader subframe(br, n, bits, m_samples.data() + plane * static_cast<size_t>(ch));
    if (!subframe.Read()) return false;
  }
  br.Seek((br.Position() + 7) & ~size_t{7});
  const size_t crcAt = br.Position() / 8;
  if (crcAt + 2 > m_byteCount || Crc16(m_bytes, crcAt) != Be(m_bytes + crcAt, 2)) return false;
  frameBytes = crcAt + 2;

  uint32_t* a = reinterpret_cast<uint32_t*>(m_samples.data());
  uint32_t* b = a + plane;
  switch (header.channelAssignment) {
    case 8:  // left, side
      for (uint32_t i = 0; i < n; ++i) b[i] = a[i] - b[i];
      break;
    case 9:  // side, right
      for (uint32_t i = 0; i < n; ++i) a[i] += b[i];
      break;
    case 10:  // mid, side
      for (uint32_t i = 0; i < n; ++i) {
        const uint32_t mid = a[i] << 1 | (b[i] & 1);
        const int32_t left = static_cast<int32_t>(mid + b[i]) >> 1;
        const int32_t right = static_cast<int32_t>(mid - b[i]) >> 1;
        a[i] = static_cast<uint32_t>(left);
        b[i] = static_cast<uint32_t>(right);
      }
      break;
    default:
      break;
  }
  return true;
}

void FlacDecoder::MarkDamaged(uint64_t sample) {
  if (m_damagedAt == kNoDamage) m_damagedAt = sample;
}

// Makes the current block a stretch of silence up to `sample`.
void FlacDecoder::SilenceUntil(uint64_t sample) {
  m_blockSilent = true;
  m_blockSamples = sample - m_blockFirst;
  m_blockPos = 0;
}

// Moves to the block after the current one. A frame that fails, or frames that are
// missing, become silence up to the next good frame and are reported.
bool FlacDecoder::NextBlock() {
  const uint64_t expected = m_blockFirst + m_blockSamples;
  const uint64_t total = m_info.totalSamples;
  if (expected >= total) return false;
  m_blockFirst = expected;
  m_blockPos = 0;
  FrameHeader header;
  uint64_t frameBytes = 0;
  if (DecodeFrameAt(m_nextOffset, header, frameBytes) && header.firstSample == expected) {
    m_blockSilent = false;
    m_blockSamples = std::min<uint64_t>(header.blockSize, total - expected);
    m_nextOffset += frameBytes;
    return true;
  }
  MarkDamaged(expected);
  uint64_t offset = 0;
  for (uint64_t from = m_nextOffset + 1; FindFrame(from, m_fileSize, offset, header); from = offset + 1) {
    if (header.firstSample <= expected) continue;
    m_nextOffset = offset;
    SilenceUntil(header.firstSample);
    return true;
  }
  m_nextOffset = m_fileSize;
  SilenceUntil(total);
  return true;
}

template <typename Sample, typename Convert>
size_t FlacDecoder::ReadInterleaved(Sample* out, size_t frames, Convert convert) {
  if (!m_source) return 0;
  const size_t channels = static_cast<size_t>(m_info.channels);
  const size_t plane = m_info.maxBlockSize;
  size_t done = 0;
  while (done < frames) {
    if (m_blockPos >= m_blockSamples && !NextBlock()) break;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(frames - done, m_blockSamples - m_blockPos));
    Sample* to = out + done * channels;
    if (m_blockSilent) {
      std::fill(to, to + n * channels, Sample{0});
    } else if (channels == 2) {
      const int32_t* left = m_samples.data() + m_blockPos;
      const int32_t* right = left + plane;
      for (size_t i = 0; i < n; ++i) {
        to[2 * i] = convert(left[i]);
        to[2 * i + 1] = convert(right[i]);
      }
    } else {
      for (size_t ch = 0; ch < channels; ++ch) {
        const int32_t* from = m_samples.data() + ch * plane + m_blockPos;
        for (size_t i = 0; i < n; ++i) to[i * channels + ch] = convert(from[i]);
      }
    }
    m_blockPos += n;
    done += n;
  }
  return done;
}

size_t FlacDecoder::Read(int32_t* out, size_t frames) {
  return ReadInterleaved(out, frames, [](int32_t v) { return v; });
}

size_t FlacDecoder::ReadPcm16(int16_t* out, size_t frames) {
  if (m_info.bitsPerSample != 16) return 0;
  return ReadInterleaved(out, frames, [](int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); });
}

// Narrows the byte range by the seek table, then halves it by the frame headers'
// sample numbers until it is short, then walks frame by frame to the sample.
bool FlacDecoder::SeekSample(uint64_t sample) {
  if (!m_source || sample > m_info.totalSamples) return false;
  uint64_t lo = m_firstFrame;
  uint64_t hi = m_fileSize;
  for (const FlacSeekPoint& point : m_seekPoints) {
    const uint64_t at = m_firstFrame + point.offset;
    if (at >= m_fileSize) break;
    if (point.sample <= sample) lo = std::max(lo, at);
    else {
      hi = std::min(hi, at);
      break;
    }
  }
  FrameHeader header;
  uint64_t offset = 0;
  uint64_t loFirst = 0;
  if (lo == m_firstFrame || !ParseFrameHeaderAt(lo, header) || header.firstSample > sample) lo = m_firstFrame;
  else loFirst = header.firstSample;
  for (uint32_t step = 0; step < kMaxSeekSteps && hi > lo + kScanSpan; ++step) {
    const uint64_t mid = lo + (hi - lo) / 2;
    if (FindFrame(mid, hi, offset, header) && header.firstSample <= sample) {
      lo = offset;
      loFirst = header.firstSample;
    } else {
      hi = mid;
    }
  }
  // Walk: the block before lo's frame ends where that frame begins.
  m_nextOffset = lo;
  m_blockFirst = loFirst;
  m_blockSamples = 0;
  m_blockPos = 0;
  m_blockSilent = false;
  while (m_blockFirst + m_blockSamples <= sample) {
    if (m_blockFirst + m_blockSamples == m_info.totalSamples) {
      m_blockFirst = m_info.totalSamples;
      m_blockSamples = m_blockPos = 0;
      return true;
    }
    if (!NextBlock()) return false;
  }
  m_blockPos = sample - m_blockFirst;
  return true;
}

}  // namespace orv::codec
