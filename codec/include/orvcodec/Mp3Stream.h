// MPEG audio frame headers and the whole-file scan: where the audio is, how many
// frames it has and how long it plays, found by walking headers (no decoding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "orvcodec/MpegTables.h"

namespace orv::codec {

enum ChannelMode : uint8_t { kStereo = 0, kJointStereo = 1, kDualChannel = 2, kMono = 3 };

struct FrameHeader {
  MpegVersion version = MpegVersion::Mpeg1;
  uint8_t layer = 0;            // 1 to 3
  bool bCrc = false;            // a 16-bit checksum follows the header
  uint8_t bitRateIndex = 0;
  uint8_t frequencyIndex = 0;
  bool bPadding = false;
  bool bPrivate = false;
  uint8_t channelMode = kStereo;
  uint8_t modeExtension = 0;
  bool bCopyright = false;
  bool bOriginal = false;
  uint8_t emphasis = 0;

  uint32_t bitRate = 0;         // bit/s
  uint32_t sampleRate = 0;      // Hz
  uint32_t frameBytes = 0;      // whole frame, header included
  uint16_t samplesPerFrame = 0;
  uint8_t channels = 0;

  bool IsLsf() const { return version != MpegVersion::Mpeg1; }
  // 1 for MPEG-1, 2 for MPEG-2 and 2.5 (the control reports 2.5 as 2).
  int VersionNumber() const { return version == MpegVersion::Mpeg1 ? 1 : 2; }
  double FrameDurationMs() const { return sampleRate ? samplesPerFrame * 1000.0 / sampleRate : 0.0; }
  // Bytes of Layer III side information after the header (and CRC).
  uint32_t SideInfoBytes() const;
};

constexpr uint32_t kFrameHeaderBytes = 4;

// Decodes the four header bytes at p; false for anything that is not a usable frame
// header (bad sync, reserved values, free format).
bool ParseFrameHeader(const uint8_t* p, FrameHeader& header);

// Two headers belong to the same stream when these fields agree.
bool SameStream(const FrameHeader& a, const FrameHeader& b);

enum class VbrHeaderKind { None, Xing, Info, Vbri };

struct StreamInfo {
  bool bValid = false;
  FrameHeader first;                 // the first audio frame
  uint64_t frameCount = 0;           // audio frames (a VBR header frame is not counted)
  double frameDurationMs = 0;
  double lengthMs = 0;
  uint32_t averageBitRate = 0;       // bit/s over the audio frames
  VbrHeaderKind vbrHeader = VbrHeaderKind::None;
  uint64_t vbrHeaderFrames = 0;      // frame count the VBR header states
  size_t vbrHeaderAt = 0;            // offset of the frame that carries it
  uint64_t vbrStreamBytes = 0;       // bytes from that frame on, as a Xing header states them; 0 when not
  // A Xing header's table: entry i is where i percent of the time lies, in 256ths of
  // vbrStreamBytes; empty when the header has none.
  std::vector<uint8_t> vbrToc;
  // Gapless: samples a decoder drops at the start (its own delay included) and at
  // the end, from the encoder's extension of a Xing/Info header; 0 without one.
  uint32_t trimStart = 0;
  uint32_t trimEnd = 0;
  size_t id3v2Bytes = 0;             // skipped at the start (with footer)
  bool bId3v1 = false;               // 128 bytes excluded at the end
  size_t audioStart = 0;             // offset of the first audio frame
  size_t audioEnd = 0;               // end of the MPEG data (before ID3v1)
  uint64_t skippedBytes = 0;         // junk bytes passed over while resynchronising
  uint64_t damagedBytes = 0;         // of those, the ones between audio frames
  std::vector<uint32_t> frameOffsets;  // offset of every audio frame, for seeking
};

// Size of an ID3v2 tag (header, body and footer) at p, or 0 when there is none.
size_t Id3v2TagBytes(const uint8_t* p, size_t size);

// Walks the whole buffer. On failure bValid is false and the rest is meaningless.
StreamInfo ScanStream(const uint8_t* data, size_t size);

// Bytes read where they are needed: a file read as it goes, or a memory image.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to n bytes from offset at; returns how many there were.
  virtual size_t ReadAt(uint64_t at, uint8_t* out, size_t n) = 0;
  // The size now (a file may shrink or grow while it is read).
  virtual uint64_t Size() = 0;
  // Bytes of the stream kept in memory.
  virtual size_t HeldBytes() const = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)) {}
  size_t ReadAt(uint64_t at, uint8_t* out, size_t n) override;
  uint64_t Size() override { return m_bytes.size(); }
  size_t HeldBytes() const override { return m_bytes.size(); }
  const std::vector<uint8_t>& Bytes() const { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};

// Reads through a window of kWindowBytes, so that walking frames in order costs one
// read per window. The file is open only while a window is read: other programs
// (a tag editor) may open it exclusively while it plays.
class FileSource final : public ByteSource {
 public:
  static constexpr size_t kWindowBytes = 65536;
  // Null when the file cannot be opened.
  static std::unique_ptr<FileSource> Open(const std::string& path);
  // Keeps the file open for the source's life, so that one open serves every read:
  // for short uses such as measuring a song.
  static std::unique_ptr<FileSource> OpenHeld(const std::string& path);
  size_t ReadAt(uint64_t at, uint8_t* out, size_t n) override;
  uint64_t Size() override;
  // The window, never the whole file.
  size_t HeldBytes() const override { return m_window.capacity(); }

 private:
  struct Closer {
    void operator()(std::FILE* file) const;
  };
  using Handle = std::unique_ptr<std::FILE, Closer>;
  FileSource(std::string path, Handle held) : m_path(std::move(path)), m_held(std::move(held)) {}
  // Another program holding the file for a moment delays a read rather than ends it.
  std::FILE* OpenBriefly() const;
  // The held file, or a brief open that brief owns.
  std::FILE* Reach(Handle& brief) const;
  std::string m_path;
  Handle m_held;
  std::vector<uint8_t> m_window;
  uint64_t m_windowAt = 0;
};

// Measures a stream from its head (and its last 128 bytes) alone, when the first
// frame carries a Xing, Info or VBRI header that states the frame count: info is then
// what ScanStream would give, without frame offsets. False for any other stream,
// which must be scanned whole.
bool ProbeStream(ByteSource& source, StreamInfo& info);
bool ProbeFile(const std::string& path, StreamInfo& info);

// Reads a whole file into memory; false when it cannot be read.
bool LoadFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace orv::codec
