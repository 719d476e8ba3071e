// mp3info FILE: prints the scan facts of an MPEG audio file, one per line.
#include <cstdio>
#include <vector>

#include "orvcodec/Mp3Stream.h"

using namespace orv::codec;

namespace {

const char* ModeName(int mode) {
  static const char* const kNames[4] = {"stereo", "joint stereo", "dual channel", "single channel"};
  return kNames[mode & 3];
}

const char* VbrName(VbrHeaderKind kind) {
  switch (kind) {
    case VbrHeaderKind::Xing: return "Xing";
    case VbrHeaderKind::Info: return "Info";
    case VbrHeaderKind::Vbri: return "VBRI";
    default: return "none";
  }
}

const char* VersionName(MpegVersion version) {
  switch (version) {
    case MpegVersion::Mpeg1: return "1";
    case MpegVersion::Mpeg2: return "2";
    default: return "2.5";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mp3info FILE\n");
    return 2;
  }
  std::vector<uint8_t> bytes;
  if (!LoadFile(argv[1], bytes)) {
    std::fprintf(stderr, "mp3info: cannot read %s\n", argv[1]);
    return 1;
  }
  const StreamInfo info = ScanStream(bytes.data(), bytes.size());
  if (!info.bValid) {
    std::fprintf(stderr, "mp3info: %s: no MPEG audio stream found\n", argv[1]);
    return 1;
  }
  const FrameHeader& h = info.first;
  std::printf("frames: %llu\n", static_cast<unsigned long long>(info.frameCount));
  std::printf("mpeg_version: %s\n", VersionName(h.version));
  std::printf("layer: %d\n", h.layer);
  std::printf("sample_rate: %u\n", h.sampleRate);
  std::printf("bit_rate: %u\n", h.bitRate);
  std::printf("average_bit_rate: %u\n", info.averageBitRate);
  std::printf("channel_mode: %d (%s)\n", h.channelMode, ModeName(h.channelMode));
  std::printf("mode_extension: %d\n", h.modeExtension);
  std::printf("crc: %d\n", h.bCrc ? 1 : 0);
  std::printf("copyright: %d\n", h.bCopyright ? 1 : 0);
  std::printf("original: %d\n", h.bOriginal ? 1 : 0);
  std::printf("emphasis: %d\n", h.emphasis);
  std::printf("frame_ms: %.6f\n", info.frameDurationMs);
  std::printf("length_ms: %llu\n", static_cast<unsigned long long>(info.lengthMs));
  std::printf("vbr_header: %s\n", VbrName(info.vbrHeader));
  std::printf("id3v2_bytes: %zu\n", info.id3v2Bytes);
  std::printf("id3v1: %d\n", info.bId3v1 ? 1 : 0);
  std::printf("audio_start: %zu\n", info.audioStart);
  std::printf("skipped_bytes: %llu\n", static_cast<unsigned long long>(info.skippedBytes));
  return 0;
}
