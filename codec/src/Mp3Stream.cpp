#include "orvcodec/Mp3Stream.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace orv::codec {

namespace {

constexpr size_t kId3v2HeaderBytes = 10;
constexpr size_t kId3v1Bytes = 128;
constexpr uint8_t kId3v2FooterFlag = 0x10;
// Headers in a row needed before a position counts as the start of the stream.
constexpr int kSyncRun = 3;
constexpr uint32_t kXingFramesFlag = 0x1;
constexpr uint32_t kXingBytesFlag = 0x2;
constexpr uint32_t kXingTocFlag = 0x4;
constexpr uint32_t kXingQualityFlag = 0x8;
constexpr uint32_t kXingTocBytes = 100;
// The encoder extension after the Xing/Info fields: a 9-byte encoder name, then at
// offset 21 the delay and padding, 12 bits each.
constexpr uint32_t kExtensionDelayAt = 21;
constexpr uint32_t kExtensionMinBytes = 24;
// Decoders add this delay to the encoder's; the extension leaves it out.
constexpr uint32_t kDecoderDelay = 529;

uint32_t Be32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// True when `run` frames in a row of one stream start at pos (fewer if the data ends
// exactly after a frame).
bool IsSyncedAt(const uint8_t* data, size_t end, size_t pos, FrameHeader& first) {
  if (pos + kFrameHeaderBytes > end || !ParseFrameHeader(data + pos, first))
    return false;
  size_t next = pos + first.frameBytes;
  for (int i = 1; i < kSyncRun; ++i) {
    if (next == end)
      return true;
    FrameHeader h;
    if (next + kFrameHeaderBytes > end || !ParseFrameHeader(data + next, h) || !SameStream(first, h))
      return false;
    next += h.frameBytes;
  }
  return next <= end;
}

// Next synchronised position at or after pos, or end.
size_t FindSync(const uint8_t* data, size_t end, size_t pos, FrameHeader& header) {
  for (; pos + kFrameHeaderBytes <= end; ++pos) {
    if (data[pos] != 0xFF || (data[pos + 1] & 0xE0) != 0xE0)
      continue;
    if (IsSyncedAt(data, end, pos, header))
      return pos;
  }
  return end;
}

// Only encoders that write the extension put these names first; other bytes there
// are no delay to trust.
bool HasGaplessExtension(const uint8_t* p) {
  return std::memcmp(p, "LAME", 4) == 0 || std::memcmp(p, "Lavf", 4) == 0 || std::memcmp(p, "Lavc", 4) == 0;
}

// The extension follows the fields the flags announce.
void ReadGapless(const uint8_t* xing, uint32_t available, uint32_t flags, StreamInfo& info) {
  uint32_t at = 8;
  if (flags & kXingFramesFlag) at += 4;
  if (flags & kXingBytesFlag) at += 4;
  if (flags & kXingTocFlag) at += kXingTocBytes;
  if (flags & kXingQualityFlag) at += 4;
  if (at + kExtensionMinBytes > available || !HasGaplessExtension(xing + at))
    return;
  const uint8_t* p = xing + at + kExtensionDelayAt;
  const uint32_t delay = (uint32_t(p[0]) << 4) | (p[1] >> 4);
  const uint32_t padding = ((uint32_t(p[1]) & 0x0F) << 8) | p[2];
  if (delay == 0 && padding == 0)
    return;
  info.trimStart = delay + kDecoderDelay;
  info.trimEnd = padding > kDecoderDelay ? padding - kDecoderDelay : 0;
}

// Xing/Info sits after the side information of the first frame; VBRI 32 bytes after
// the header. Returns the frame count it states (0 when absent or without count).
VbrHeaderKind ReadVbrHeader(const uint8_t* frame, const FrameHeader& h, uint64_t& frames, StreamInfo& info) {
  frames = 0;
  if (h.layer != 3)
    return VbrHeaderKind::None;
  // lame places the tag right after the side information even when the frame header
  // announces a CRC, so both positions are tried.
  for (uint32_t crc : {0u, h.bCrc ? 2u : 0u}) {
    const uint32_t xing = kFrameHeaderBytes + crc + h.SideInfoBytes();
    if (xing + 8 > h.frameBytes)
      continue;
    const uint8_t* p = frame + xing;
    const bool bXing = std::memcmp(p, "Xing", 4) == 0;
    if (bXing || std::memcmp(p, "Info", 4) == 0) {
      const uint32_t flags = Be32(p + 4);
      const uint32_t available = h.frameBytes - xing;
      uint32_t at = 8;
      if (flags & kXingFramesFlag) {
        if (at + 4 <= available) frames = Be32(p + at);
        at += 4;
      }
      if (flags & kXingBytesFlag) {
        if (at + 4 <= available) info.vbrStreamBytes = Be32(p + at);
        at += 4;
      }
      if ((flags & kXingTocFlag) && at + kXingTocBytes <= available)
        info.vbrToc.assign(p + at, p + at + kXingTocBytes);
      ReadGapless(p, available, flags, info);
      return bXing ? VbrHeaderKind::Xing : VbrHeaderKind::Info;
    }
  }
  constexpr uint32_t kVbriOffset = kFrameHeaderBytes + 32;
  constexpr uint32_t kVbriFramesAt = 14;
  if (kVbriOffset + kVbriFramesAt + 4 <= h.frameBytes &&
      std::memcmp(frame + kVbriOffset, "VBRI", 4) == 0) {
    frames = Be32(frame + kVbriOffset + kVbriFramesAt);
    return VbrHeaderKind::Vbri;
  }
  return VbrHeaderKind::None;
}

}  // namespace

uint32_t FrameHeader::SideInfoBytes() const {
  if (layer != 3)
    return 0;
  if (IsLsf())
    return channels == 1 ? 9 : 17;
  return channels == 1 ? 17 : 32;
}

bool ParseFrameHeader(const uint8_t* p, FrameHeader& h) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
    return false;
  h.version = static_cast<MpegVersion>((p[1] >> 3) & 3);
  const int layerBits = (p[1] >> 1) & 3;
  h.bCrc = (p[1] & 1) == 0;
  h.bitRateIndex = p[2] >> 4;
  h.frequencyIndex = (p[2] >> 2) & 3;
  h.bPadding = (p[2] >> 1) & 1;
  h.bPrivate = p[2] & 1;
  h.channelMode = p[3] >> 6;
  h.modeExtension = (p[3] >> 4) & 3;
  h.bCopyright = (p[3] >> 3) & 1;
  h.bOriginal = (p[3] >> 2) & 1;
  h.emphasis = p[3] & 3;
  // Reserved version, layer, frequency and emphasis; free format and the forbidden
  // bit-rate index are not streams we can walk.
  if (h.version == MpegVersion::Reserved || layerBits == 0 || h.frequencyIndex == 3 ||
      h.bitRateIndex == 0 || h.bitRateIndex == 15 || h.emphasis == 2)
    return false;
  h.layer = static_cast<uint8_t>(4 - layerBits);
  const int row = VersionRow(h.version);
  h.bitRate = kBitRateKbps[h.IsLsf() ? 1 : 0][h.layer - 1][h.bitRateIndex] * 1000u;
  h.sampleRate = kSampleRateHz[row][h.frequencyIndex];
  h.samplesPerFrame = kSamplesPerFrame[row][h.layer - 1];
  h.channels = h.channelMode == kMono ? 1 : 2;
  if (h.layer == 1) {
    h.frameBytes = (12 * h.bitRate / h.sampleRate + (h.bPadding ? 1 : 0)) * 4;
  } else {
    const uint32_t slotsPerSample = h.samplesPerFrame / 8;  // 144 or 72 bytes per bit/s ratio
    h.frameBytes = slotsPerSample * h.bitRate / h.sampleRate + (h.bPadding ? 1 : 0);
  }
  return h.frameBytes > kFrameHeaderBytes + (h.bCrc ? 2u : 0u) + h.SideInfoBytes();
}

bool SameStream(const FrameHeader& a, const FrameHeader& b) {
  return a.version == b.version && a.layer == b.layer && a.frequencyIndex == b.frequencyIndex &&
         (a.channelMode == kMono) == (b.channelMode == kMono);
}

size_t Id3v2TagBytes(const uint8_t* p, size_t size) {
  if (size < kId3v2HeaderBytes || std::memcmp(p, "ID3", 3) != 0)
    return 0;
  // Version bytes 0xFF and non-syncsafe sizes mean this is not a tag.
  if (p[3] == 0xFF || p[4] == 0xFF)
    return 0;
  for (int i = 6; i < 10; ++i)
    if (p[i] & 0x80)
      return 0;
  const size_t body = (size_t(p[6]) << 21) | (size_t(p[7]) << 14) | (size_t(p[8]) << 7) | p[9];
  // Only version 2.4 defines a footer; the same flag bit means nothing before it.
  const size_t footer = (p[3] >= 4 && (p[5] & kId3v2FooterFlag)) ? kId3v2HeaderBytes : 0;
  return kId3v2HeaderBytes + body + footer;
}

StreamInfo ScanStream(const uint8_t* data, size_t size) {
  StreamInfo info;
  if (!data)
    return info;
  size_t end = size;
  if (end >= kId3v1Bytes && std::memcmp(data + end - kId3v1Bytes, "TAG", 3) == 0) {
    end -= kId3v1Bytes;
    info.bId3v1 = true;
  }
  // Several ID3v2 tags may follow one another.
  size_t pos = 0;
  while (size_t tag = Id3v2TagBytes(data + pos, end - pos)) {
    if (tag > end - pos)
      return info;  // a tag that claims more than the file holds: no audio after it
    pos += tag;
    info.id3v2Bytes += tag;
  }

  FrameHeader header;
  pos = FindSync(data, end, pos, header);
  if (pos >= end)
    return info;
  info.skippedBytes = pos - info.id3v2Bytes;
  info.first = header;

  uint64_t vbrFrames = 0;
  info.vbrHeader = ReadVbrHeader(data + pos, header, vbrFrames, info);
  if (info.vbrHeader != VbrHeaderKind::None) {
    info.vbrHeaderFrames = vbrFrames;
    info.vbrHeaderAt = pos;
    pos += header.frameBytes;
  }

  // Walk; when a header is missing, resynchronise on the same stream.
  const FrameHeader reference = header;
  uint64_t audioBytes = 0;
  while (pos + kFrameHeaderBytes <= end) {
    FrameHeader h;
    if (!ParseFrameHeader(data + pos, h) || !SameStream(reference, h) || pos + h.frameBytes > end) {
      const size_t next = FindSync(data, end, pos + 1, h);
      if (next >= end || !SameStream(reference, h))
        break;
      info.skippedBytes += next - pos;
      if (!info.frameOffsets.empty())
        info.damagedBytes += next - pos;
      pos = next;
      continue;
    }
    if (info.frameOffsets.empty()) {
      info.first = h;
      info.audioStart = pos;
    }
    info.frameOffsets.push_back(static_cast<uint32_t>(pos));
    audioBytes += h.frameBytes;
    pos += h.frameBytes;
  }
  if (info.frameOffsets.empty())
    return info;
  info.audioEnd = pos;
  info.frameCount = info.frameOffsets.size();
  if (vbrFrames > 0 && info.vbrHeader != VbrHeaderKind::None)
    info.frameCount = vbrFrames;
  info.frameDurationMs = info.first.FrameDurationMs();
  info.lengthMs = info.frameCount * info.frameDurationMs;
  const double seconds = info.frameOffsets.size() * info.frameDurationMs / 1000.0;
  info.averageBitRate = seconds > 0 ? static_cast<uint32_t>(audioBytes * 8 / seconds + 0.5) : 0;
  info.bValid = true;
  return info;
}

namespace {

// Enough for the first frames of any stream after its tags.
constexpr size_t kProbeBytes = 16384;

}  // namespace

size_t MemorySource::ReadAt(uint64_t at, uint8_t* out, size_t n) {
  if (at >= m_bytes.size()) return 0;
  n = size_t(std::min<uint64_t>(n, m_bytes.size() - at));
  std::memcpy(out, m_bytes.data() + at, n);
  return n;
}

namespace {

constexpr int kOpenTries = 20;
constexpr auto kOpenRetryWait = std::chrono::milliseconds(5);

size_t ReadFileAt(std::FILE* file, uint64_t at, uint8_t* out, size_t n) {
  if (!file || at > uint64_t(LONG_MAX) || std::fseek(file, long(at), SEEK_SET) != 0) return 0;
  return std::fread(out, 1, n, file);
}

}  // namespace

void FileSource::Closer::operator()(std::FILE* file) const { std::fclose(file); }

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
  Handle file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  return std::unique_ptr<FileSource>(new FileSource(path, nullptr));
}

std::unique_ptr<FileSource> FileSource::OpenHeld(const std::string& path) {
  Handle file(std::fopen(path.c_str(), "rb"));
  if (!file) return nullptr;
  return std::unique_ptr<FileSource>(new FileSource(path, std::move(file)));
}

std::FILE* FileSource::OpenBriefly() const {
  for (int i = 0; i < kOpenTries; ++i) {
    if (std::FILE* file = std::fopen(m_path.c_str(), "rb")) return file;
    std::this_thread::sleep_for(kOpenRetryWait);
  }
  return nullptr;
}

std::FILE* FileSource::Reach(Handle& brief) const {
  if (m_held) return m_held.get();
  brief.reset(OpenBriefly());
  return brief.get();
}

uint64_t FileSource::Size() {
  Handle brief;
  std::FILE* file = Reach(brief);
  if (!file || std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long length = std::ftell(file);
  return length > 0 ? uint64_t(length) : 0;
}

size_t FileSource::ReadAt(uint64_t at, uint8_t* out, size_t n) {
  Handle brief;
  if (n > kWindowBytes) return ReadFileAt(Reach(brief), at, out, n);
  const bool bInside = at >= m_windowAt && at + n <= m_windowAt + m_window.size();
  if (!bInside) {
    m_window.reserve(kWindowBytes);
    m_window.resize(kWindowBytes);
    m_windowAt = at;
    m_window.resize(ReadFileAt(Reach(brief), at, m_window.data(), kWindowBytes));
  }
  if (at < m_windowAt || at >= m_windowAt + m_window.size()) return 0;
  const size_t from = size_t(at - m_windowAt);
  n = std::min(n, m_window.size() - from);
  std::memcpy(out, m_window.data() + from, n);
  return n;
}

bool ProbeStream(ByteSource& source, StreamInfo& info) {
  info = StreamInfo();
  const uint64_t fileBytes = source.Size();
  if (fileBytes == 0)
    return false;
  std::vector<uint8_t> head(kProbeBytes);

  uint8_t tail[kId3v1Bytes];
  const bool bTail = fileBytes >= kId3v1Bytes && source.ReadAt(fileBytes - kId3v1Bytes, tail, kId3v1Bytes) == kId3v1Bytes;
  const uint64_t end = fileBytes - ((bTail && std::memcmp(tail, "TAG", 3) == 0) ? kId3v1Bytes : 0);

  // Tags first, one after another, each read by its header alone.
  uint64_t tags = 0;
  for (;;) {
    const size_t got = source.ReadAt(tags, head.data(), kId3v2HeaderBytes);
    const size_t tag = Id3v2TagBytes(head.data(), got);
    if (tag == 0)
      break;
    tags += tag;
    if (tags >= end)
      return false;
  }
  const size_t got = source.ReadAt(tags, head.data(), size_t(std::min<uint64_t>(kProbeBytes, end - tags)));

  FrameHeader header;
  const size_t pos = FindSync(head.data(), got, 0, header);
  if (pos >= got || pos + header.frameBytes + kFrameHeaderBytes > got)
    return false;
  uint64_t frames = 0;
  info.vbrHeader = ReadVbrHeader(head.data() + pos, header, frames, info);
  FrameHeader first;
  if (info.vbrHeader == VbrHeaderKind::None || frames == 0 ||
      !ParseFrameHeader(head.data() + pos + header.frameBytes, first) || !SameStream(header, first)) {
    info = StreamInfo();
    return false;
  }
  info.first = first;
  info.vbrHeaderFrames = frames;
  info.vbrHeaderAt = size_t(tags + pos);
  info.frameCount = frames;
  info.id3v2Bytes = size_t(tags);
  info.bId3v1 = end < fileBytes;
  info.skippedBytes = pos;
  info.audioStart = size_t(tags + pos + header.frameBytes);
  info.audioEnd = size_t(end);
  info.frameDurationMs = first.FrameDurationMs();
  info.lengthMs = frames * info.frameDurationMs;
  const double seconds = info.lengthMs / 1000.0;
  const uint64_t audioBytes = end > info.audioStart ? end - info.audioStart : 0;
  info.averageBitRate = seconds > 0 ? static_cast<uint32_t>(audioBytes * 8 / seconds + 0.5) : 0;
  info.bValid = true;
  return true;
}

bool ProbeFile(const std::string& path, StreamInfo& info) {
  info = StreamInfo();
  std::unique_ptr<FileSource> file = FileSource::OpenHeld(path);
  return file && ProbeStream(*file, info);
}

bool LoadFile(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file)
    return false;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  const bool bOk = std::ferror(file) == 0;
  std::fclose(file);
  return bOk;
}

}  // namespace orv::codec
