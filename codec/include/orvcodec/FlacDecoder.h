// FLAC decoding: STREAMINFO and SEEKTABLE, every subframe type, the four channel
// assignments, 4- to 32-bit samples, any block size. Frames that fail their CRC are
// never output as sound: they read as silence and are reported as damage.
// Portable: stdio only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace orv::codec {

enum class FlacStatus {
  Ok,
  CannotOpen,
  NotFlac,      // no "fLaC" signature
  BadMetadata,  // STREAMINFO missing, short or impossible
  NoFrames,     // metadata only, or the first frame cannot be found
};

const char* FlacStatusText(FlacStatus status);

struct FlacInfo {
  uint32_t sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 0;
  uint64_t totalSamples = 0;  // per channel; from STREAMINFO, or found from the last frame
  uint32_t minBlockSize = 0;
  uint32_t maxBlockSize = 0;
  uint32_t maxFrameBytes = 0;  // 0: not stated
};

struct FlacSeekPoint {
  uint64_t sample = 0;
  uint64_t offset = 0;  // from the first frame
};

class FlacByteSource;

class FlacDecoder {
 public:
  static constexpr int kMaxChannels = 8;
  static constexpr uint64_t kNoDamage = ~uint64_t{0};

  FlacDecoder();
  ~FlacDecoder();
  FlacDecoder(const FlacDecoder&) = delete;
  FlacDecoder& operator=(const FlacDecoder&) = delete;

  FlacStatus Open(const std::string& path);
  // Parses a file image held by the caller; the bytes must outlive the decoder.
  FlacStatus OpenMemory(const uint8_t* data, size_t size);
  void Close();

  const FlacInfo& Info() const { return m_info; }
  const std::vector<FlacSeekPoint>& SeekPoints() const { return m_seekPoints; }

  // Interleaved samples at the stream's bit depth from the current position; returns
  // whole sample frames read, fewer only at the end of the stream.
  size_t Read(int32_t* out, size_t frames);
  // The same as 16-bit samples; only for 16-bit streams (0 otherwise).
  size_t ReadPcm16(int16_t* out, size_t frames);
  // Positions the next read at a sample, through the seek table when there is one
  // and a search for frame headers otherwise, decoding only the frames it lands on.
  bool SeekSample(uint64_t sample);
  uint64_t Position() const { return m_blockFirst + m_blockPos; }

  // The first sample of the first damaged stretch met since the last ClearDamage, or
  // kNoDamage. A damaged stretch reads as silence.
  uint64_t DamagedAt() const { return m_damagedAt; }
  void ClearDamage() { m_damagedAt = kNoDamage; }

  // Per-frame scratch and state, shared by the stage functions in the source file.
  struct FrameHeader {
    uint64_t firstSample = 0;
    uint32_t blockSize = 0;
    int channelAssignment = 0;
    int channels = 0;
    int bitsPerSample = 0;
    size_t headerBytes = 0;
  };

 private:
  FlacStatus ParseMetadata();
  bool ReadBytes(uint64_t offset, size_t count);
  bool ParseFrameHeaderAt(uint64_t offset, FrameHeader& header);
  bool FindFrame(uint64_t from, uint64_t to, uint64_t& offset, FrameHeader& header);
  bool DecodeFrameAt(uint64_t offset, FrameHeader& header, uint64_t& frameBytes);
  bool NextBlock();
  void MarkDamaged(uint64_t sample);
  void SilenceUntil(uint64_t sample);
  uint64_t FindTotalFromEnd();
  template <typename Sample, typename Convert>
  size_t ReadInterleaved(Sample* out, size_t frames, Convert convert);

  std::unique_ptr<FlacByteSource> m_source;
  FlacInfo m_info;
  std::vector<FlacSeekPoint> m_seekPoints;
  uint64_t m_firstFrame = 0;  // file offset of the first frame
  uint64_t m_fileSize = 0;
  size_t m_frameBound = 0;    // the most bytes one frame may take

  // The bytes of the frame being read: a view of the source.
  const uint8_t* m_bytes = nullptr;
  size_t m_byteCount = 0;

  // The current block: decoded samples per channel, or a stretch of silence.
  std::vector<int32_t> m_samples;  // a plane of maxBlockSize per channel
  uint64_t m_blockFirst = 0;
  uint64_t m_blockSamples = 0;
  uint64_t m_blockPos = 0;
  bool m_blockSilent = false;
  uint64_t m_nextOffset = 0;  // where the frame after the current block begins
  uint64_t m_damagedAt = kNoDamage;
};

}  // namespace orv::codec
