#include "orvcodec/WaveFile.h"

#include <algorithm>
#include <cstring>

namespace orv::codec {

// Random access to the bytes of a WAVE image, from a file or from memory.
class WaveByteSource {
 public:
  virtual ~WaveByteSource() = default;
  virtual uint64_t Size() const = 0;
  virtual size_t ReadAt(uint64_t offset, uint8_t* out, size_t count) = 0;
};

namespace {

constexpr uint32_t kRiffHeaderSize = 12;
constexpr uint32_t kChunkHeaderSize = 8;
constexpr uint32_t kMinFormatSize = 16;
constexpr uint32_t kExtensibleFormatSize = 40;
constexpr uint16_t kMaxChannels = 8;

class FileSource : public WaveByteSource {
 public:
  explicit FileSource(std::FILE* file) : m_file(file) {
    std::fseek(m_file, 0, SEEK_END);
    long end = std::ftell(m_file);
    m_size = end > 0 ? static_cast<uint64_t>(end) : 0;
  }
  ~FileSource() override { std::fclose(m_file); }
  uint64_t Size() const override { return m_size; }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t count) override {
    if (offset >= m_size || count == 0)
      return 0;
    if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0)
      return 0;
    return std::fread(out, 1, count, m_file);
  }

 private:
  std::FILE* m_file;
  uint64_t m_size = 0;
};

class MemorySource : public WaveByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  uint64_t Size() const override { return m_size; }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t count) override {
    if (offset >= m_size || count == 0)
      return 0;
    size_t n = std::min<uint64_t>(count, m_size - offset);
    std::memcpy(out, m_data + offset, n);
    return n;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
};

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// One sample of any supported encoding, scaled to [-1, 1).
float SampleToFloat(const uint8_t* p, uint16_t encoding, uint16_t bytes) {
  if (encoding == kWaveFormatIeeeFloat) {
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
  }
  switch (bytes) {
    case 1: return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 2: return static_cast<int16_t>(Le16(p)) / 32768.0f;
    case 3: {
      const uint32_t top = (static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) |
                           (static_cast<uint32_t>(p[2]) << 24);
      return static_cast<float>(static_cast<int32_t>(top) / 2147483648.0);
    }
    default: return static_cast<float>(static_cast<int32_t>(Le32(p)) / 2147483648.0);
  }
}

int16_t SampleToPcm16(const uint8_t* p, uint16_t encoding, uint16_t bytes) {
  if (encoding != kWaveFormatIeeeFloat) {
    switch (bytes) {
      case 1: return static_cast<int16_t>((static_cast<int>(p[0]) - 128) * 256);
      case 2: return static_cast<int16_t>(Le16(p));
      default: return static_cast<int16_t>(Le16(p + bytes - 2));  // keep the top 16 bits
    }
  }
  float f = SampleToFloat(p, encoding, bytes) * 32768.0f;
  if (!(f > -32768.0f))  // also catches NaN
    return -32768;
  if (f > 32767.0f)
    return 32767;
  return static_cast<int16_t>(f);
}

}  // namespace

const char* WaveStatusText(WaveStatus status) {
  switch (status) {
    case WaveStatus::Ok: return "ok";
    case WaveStatus::CannotOpen: return "cannot open the file";
    case WaveStatus::NotWave: return "not a RIFF WAVE file";
    case WaveStatus::NoFormat: return "the format chunk is missing or damaged";
    case WaveStatus::Unsupported: return "the WAVE encoding is not supported";
    case WaveStatus::NoData: return "the data chunk is missing";
  }
  return "unknown";
}

WaveReader::WaveReader() = default;
WaveReader::~WaveReader() = default;

WaveStatus WaveReader::Open(const std::string& path) {
  Close();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file)
    return WaveStatus::CannotOpen;
  m_source = std::make_unique<FileSource>(file);
  WaveStatus status = Parse();
  if (status != WaveStatus::Ok)
    Close();
  return status;
}

WaveStatus WaveReader::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  m_source = std::make_unique<MemorySource>(data, size);
  WaveStatus status = Parse();
  if (status != WaveStatus::Ok)
    Close();
  return status;
}

void WaveReader::Close() {
  m_source.reset();
  m_format = WaveFormat();
  m_dataOffset = m_dataLength = m_declaredDataLength = m_position = 0;
}

WaveStatus WaveReader::Parse() {
  uint8_t header[kRiffHeaderSize];
  if (m_source->ReadAt(0, header, sizeof header) != sizeof header)
    return WaveStatus::NotWave;
  if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
    return WaveStatus::NotWave;

  // Walk the chunks to the end of the file, not of the RIFF size: writers that
  // stopped early leave that size stale. Chunks are padded to even sizes.
  const uint64_t fileSize = m_source->Size();
  uint64_t offset = kRiffHeaderSize;
  bool bHaveFormat = false;
  bool bHaveData = false;
  while (offset + kChunkHeaderSize <= fileSize) {
    uint8_t chunk[kChunkHeaderSize];
    if (m_source->ReadAt(offset, chunk, sizeof chunk) != sizeof chunk)
      break;
    const uint32_t size = Le32(chunk + 4);
    const uint64_t body = offset + kChunkHeaderSize;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !bHaveFormat) {
      WaveStatus status = ParseFormat(body, static_cast<uint32_t>(std::min<uint64_t>(size, fileSize - body)));
      if (status != WaveStatus::Ok)
        return status;
      bHaveFormat = true;
      if (bHaveData)
        break;
    } else if (std::memcmp(chunk, "data", 4) == 0 && !bHaveData) {
      m_dataOffset = static_cast<uint32_t>(std::min<uint64_t>(body, UINT32_MAX));
      m_declaredDataLength = size;
      // Streaming writers leave 0 or ~0 here: the audio runs to the end of the file.
      const uint64_t rest = fileSize - body;
      const bool bUnsized = size == 0 || size == UINT32_MAX;
      m_dataLength = static_cast<uint32_t>(std::min<uint64_t>(bUnsized ? rest : size, std::min<uint64_t>(rest, UINT32_MAX)));
      if (bUnsized)
        m_declaredDataLength = m_dataLength;
      bHaveData = true;
      if (bHaveFormat)
        break;
    }
    offset = NextChunk(body, size);
  }
  if (!bHaveFormat)
    return WaveStatus::NoFormat;
  if (!bHaveData)
    return WaveStatus::NoData;
  // Only whole frames count as audio.
  m_dataLength -= m_dataLength % m_format.blockAlign;
  m_scratch.clear();
  return WaveStatus::Ok;
}

WaveStatus WaveReader::ParseFormat(uint64_t bodyOffset, uint32_t chunkSize) {
  if (chunkSize < kMinFormatSize)
    return WaveStatus::NoFormat;
  uint8_t fmt[kExtensibleFormatSize] = {};
  const uint32_t wanted = std::min(chunkSize, kExtensibleFormatSize);
  if (m_source->ReadAt(bodyOffset, fmt, wanted) != wanted)
    return WaveStatus::NoFormat;
  m_format.formatTag = Le16(fmt);
  m_format.channels = Le16(fmt + 2);
  m_format.samplesPerSec = Le32(fmt + 4);
  m_format.avgBytesPerSec = Le32(fmt + 8);
  m_format.blockAlign = Le16(fmt + 12);
  m_format.bitsPerSample = Le16(fmt + 14);
  m_format.validBitsPerSample = m_format.bitsPerSample;
  m_format.subFormat = m_format.formatTag;
  if (m_format.formatTag == kWaveFormatExtensible) {
    if (wanted < kExtensibleFormatSize)
      return WaveStatus::NoFormat;
    m_format.validBitsPerSample = Le16(fmt + 18);
    m_format.subFormat = Le16(fmt + 24);
  }

  // What we can decode: whole-byte samples, consistent block alignment.
  const WaveFormat& f = m_format;
  const bool bPcm = f.subFormat == kWaveFormatPcm &&
                    (f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 24 ||
                     f.bitsPerSample == 32);
  const bool bFloat = f.subFormat == kWaveFormatIeeeFloat && f.bitsPerSample == 32;
  if (!bPcm && !bFloat)
    return WaveStatus::Unsupported;
  if (f.channels == 0 || f.channels > kMaxChannels || f.samplesPerSec == 0 ||
      f.blockAlign != f.channels * (f.bitsPerSample / 8))
    return WaveStatus::Unsupported;
  return WaveStatus::Ok;
}

// Chunks are padded to even sizes, but some writers forget the pad byte: when the
// padded position does not hold a chunk id and the unpadded one does, trust the latter.
uint64_t WaveReader::NextChunk(uint64_t body, uint32_t size) {
  const uint64_t unpadded = body + size;
  if ((size & 1) == 0)
    return unpadded;
  if (!LooksLikeChunkId(unpadded + 1) && LooksLikeChunkId(unpadded))
    return unpadded;
  return unpadded + 1;
}

bool WaveReader::LooksLikeChunkId(uint64_t offset) {
  uint8_t id[4];
  if (m_source->ReadAt(offset, id, sizeof id) != sizeof id)
    return false;
  return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c < 0x7f; });
}

uint64_t WaveReader::FrameCount() const {
  return m_format.blockAlign ? m_dataLength / m_format.blockAlign : 0;
}

double WaveReader::DurationMs() const {
  return m_format.samplesPerSec ? FrameCount() * 1000.0 / m_format.samplesPerSec : 0.0;
}

size_t WaveReader::ReadFrameBytes(size_t frames) {
  if (!m_source || m_format.blockAlign == 0)
    return 0;
  const size_t available = (m_dataLength - m_position) / m_format.blockAlign;
  frames = std::min(frames, available);
  m_scratch.resize(frames * m_format.blockAlign);
  size_t got = m_source->ReadAt(uint64_t(m_dataOffset) + m_position, m_scratch.data(), m_scratch.size());
  frames = got / m_format.blockAlign;
  m_position += static_cast<uint32_t>(frames * m_format.blockAlign);
  return frames;
}

size_t WaveReader::ReadPcm16(int16_t* out, size_t frames) {
  frames = ReadFrameBytes(frames);
  const uint16_t bytes = m_format.bitsPerSample / 8;
  const size_t samples = frames * m_format.channels;
  for (size_t i = 0; i < samples; ++i)
    out[i] = SampleToPcm16(&m_scratch[i * bytes], m_format.subFormat, bytes);
  return frames;
}

size_t WaveReader::ReadFloat(float* out, size_t frames) {
  frames = ReadFrameBytes(frames);
  const uint16_t bytes = m_format.bitsPerSample / 8;
  const size_t samples = frames * m_format.channels;
  if (m_format.subFormat != kWaveFormatIeeeFloat && bytes == 2) {
    // The common case without a format decision per sample.
    for (size_t i = 0; i < samples; ++i)
      out[i] = static_cast<int16_t>(Le16(&m_scratch[i * 2])) / 32768.0f;
    return frames;
  }
  for (size_t i = 0; i < samples; ++i)
    out[i] = SampleToFloat(&m_scratch[i * bytes], m_format.subFormat, bytes);
  return frames;
}

size_t WaveReader::ReadRaw(uint8_t* out, size_t bytes) {
  if (!m_source)
    return 0;
  bytes = std::min<size_t>(bytes, m_dataLength - m_position);
  size_t got = m_source->ReadAt(uint64_t(m_dataOffset) + m_position, out, bytes);
  m_position += static_cast<uint32_t>(got);
  return got;
}

bool WaveReader::SeekFrame(uint64_t frame) {
  if (!m_source || frame > FrameCount())
    return false;
  m_position = static_cast<uint32_t>(frame * m_format.blockAlign);
  return true;
}

WaveWriter::~WaveWriter() { Close(); }

bool WaveWriter::Open(const std::string& path, uint16_t channels, uint32_t samplesPerSec) {
  Close();
  if (channels == 0 || channels > kMaxChannels || samplesPerSec == 0)
    return false;
  m_file = std::fopen(path.c_str(), "wb");
  if (!m_file)
    return false;
  m_channels = channels;
  m_dataLength = 0;
  m_bFailed = false;

  const uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
  uint8_t header[44];
  std::memcpy(header, "RIFF", 4);
  PutLe32(header + 4, 36);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  PutLe32(header + 16, kMinFormatSize);
  PutLe16(header + 20, kWaveFormatPcm);
  PutLe16(header + 22, channels);
  PutLe32(header + 24, samplesPerSec);
  PutLe32(header + 28, samplesPerSec * blockAlign);
  PutLe16(header + 32, blockAlign);
  PutLe16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  PutLe32(header + 40, 0);
  if (std::fwrite(header, 1, sizeof header, m_file) != sizeof header) {
    m_bFailed = true;
    return false;
  }
  return std::fflush(m_file) == 0;
}

bool WaveWriter::Write(const int16_t* samples, size_t frames) {
  if (!m_file || m_bFailed)
    return false;
  const size_t count = frames * m_channels;
  // Past 4 GB the sizes cannot be stated; refuse rather than wrap.
  if (uint64_t(m_dataLength) + count * 2 + 36 > UINT32_MAX) {
    m_bFailed = true;
    return false;
  }
  uint8_t buffer[4096];
  size_t done = 0;
  while (done < count) {
    size_t n = std::min(count - done, sizeof buffer / 2);
    for (size_t i = 0; i < n; ++i)
      PutLe16(buffer + 2 * i, static_cast<uint16_t>(samples[done + i]));
    if (std::fwrite(buffer, 2, n, m_file) != n) {
      m_bFailed = true;
      return false;
    }
    done += n;
  }
  m_dataLength += static_cast<uint32_t>(count * 2);
  return PatchSizes();
}

bool WaveWriter::PatchSizes() {
  uint8_t size[4];
  bool bOk = std::fseek(m_file, 4, SEEK_SET) == 0;
  PutLe32(size, 36 + m_dataLength);
  bOk = bOk && std::fwrite(size, 1, 4, m_file) == 4;
  bOk = bOk && std::fseek(m_file, 40, SEEK_SET) == 0;
  PutLe32(size, m_dataLength);
  bOk = bOk && std::fwrite(size, 1, 4, m_file) == 4;
  bOk = bOk && std::fseek(m_file, 0, SEEK_END) == 0;
  bOk = bOk && std::fflush(m_file) == 0;
  if (!bOk)
    m_bFailed = true;
  return bOk;
}

bool WaveWriter::Close() {
  if (!m_file)
    return false;
  bool bOk = !m_bFailed && PatchSizes();
  bOk = std::fclose(m_file) == 0 && bOk;
  m_file = nullptr;
  return bOk;
}

}  // namespace orv::codec
