// RIFF WAVE reading (PCM 8/16/24/32 bit, IEEE float, WAVE_FORMAT_EXTENSIBLE) and
// 16-bit PCM writing. Portable: stdio only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace orv::codec {

constexpr uint16_t kWaveFormatPcm = 0x0001;
constexpr uint16_t kWaveFormatIeeeFloat = 0x0003;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// The fmt chunk as the file states it; for WAVE_FORMAT_EXTENSIBLE, `subFormat` holds
// the first two bytes of the sub-format GUID (the real format tag), else formatTag.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t validBitsPerSample = 0;
  uint16_t subFormat = 0;
};

enum class WaveStatus {
  Ok,
  CannotOpen,
  NotWave,          // no RIFF/WAVE signature
  NoFormat,         // fmt chunk missing or too short
  Unsupported,      // a valid WAVE file whose encoding we do not read
  NoData,           // no data chunk
};

const char* WaveStatusText(WaveStatus status);

class WaveByteSource;

class WaveReader {
 public:
  WaveReader();
  ~WaveReader();
  WaveReader(const WaveReader&) = delete;
  WaveReader& operator=(const WaveReader&) = delete;

  WaveStatus Open(const std::string& path);
  // Parses a file image held by the caller; the bytes must outlive the reader.
  WaveStatus OpenMemory(const uint8_t* data, size_t size);
  void Close();

  const WaveFormat& Format() const { return m_format; }
  // Audio bytes actually present (the declared length clipped to the file).
  uint32_t DataLength() const { return m_dataLength; }
  // What the data chunk header claims.
  uint32_t DeclaredDataLength() const { return m_declaredDataLength; }
  bool IsTruncated() const { return m_dataLength < m_declaredDataLength; }
  uint64_t FrameCount() const;
  double DurationMs() const;

  // Interleaved samples from the current position; returns whole frames read.
  size_t ReadPcm16(int16_t* out, size_t frames);
  size_t ReadFloat(float* out, size_t frames);
  // Reads undecoded bytes of the data chunk.
  size_t ReadRaw(uint8_t* out, size_t bytes);
  bool SeekFrame(uint64_t frame);

 private:
  WaveStatus Parse();
  WaveStatus ParseFormat(uint64_t bodyOffset, uint32_t chunkSize);
  size_t ReadFrameBytes(size_t frames);
  uint64_t NextChunk(uint64_t body, uint32_t size);
  bool LooksLikeChunkId(uint64_t offset);

  std::unique_ptr<WaveByteSource> m_source;
  WaveFormat m_format;
  uint32_t m_dataOffset = 0;
  uint32_t m_dataLength = 0;
  uint32_t m_declaredDataLength = 0;
  uint32_t m_position = 0;  // bytes into the data chunk
  std::vector<uint8_t> m_scratch;
};

// Writes 16-bit PCM. The header sizes are patched after every write, so a file left
// behind by an interrupted conversion is still a valid WAVE file of what was written.
class WaveWriter {
 public:
  WaveWriter() = default;
  ~WaveWriter();
  WaveWriter(const WaveWriter&) = delete;
  WaveWriter& operator=(const WaveWriter&) = delete;

  bool Open(const std::string& path, uint16_t channels, uint32_t samplesPerSec);
  bool Write(const int16_t* samples, size_t frames);
  // Finishes the header and closes; false when any write failed.
  bool Close();
  bool IsOpen() const { return m_file != nullptr; }
  uint32_t DataLength() const { return m_dataLength; }

 private:
  bool PatchSizes();

  std::FILE* m_file = nullptr;
  uint16_t m_channels = 0;
  uint32_t m_dataLength = 0;
  bool m_bFailed = false;
};

}  // namespace orv::codec
