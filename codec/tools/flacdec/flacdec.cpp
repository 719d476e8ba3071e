// flacdec FILE.flac OUT.wav: decodes a 16-bit FLAC file to a WAVE file; exit 1 when
// the file cannot be read or has damaged frames (their time is printed).
#include <cstdio>
#include <vector>

#include "orvcodec/FlacDecoder.h"
#include "orvcodec/WaveFile.h"

using namespace orv::codec;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: flacdec FILE.flac OUT.wav\n");
    return 2;
  }
  FlacDecoder decoder;
  const FlacStatus status = decoder.Open(argv[1]);
  if (status != FlacStatus::Ok) {
    std::fprintf(stderr, "flacdec: %s: %s\n", argv[1], FlacStatusText(status));
    return 1;
  }
  const FlacInfo& info = decoder.Info();
  if (info.bitsPerSample != 16) {
    std::fprintf(stderr, "flacdec: %s: %d-bit samples; only 16-bit files are written\n", argv[1], info.bitsPerSample);
    return 1;
  }
  WaveWriter writer;
  if (!writer.Open(argv[2], static_cast<uint16_t>(info.channels), info.sampleRate)) {
    std::fprintf(stderr, "flacdec: cannot write %s\n", argv[2]);
    return 1;
  }
  constexpr size_t kChunk = 16384;
  std::vector<int16_t> pcm(kChunk * static_cast<size_t>(info.channels));
  while (size_t n = decoder.ReadPcm16(pcm.data(), kChunk)) {
    if (!writer.Write(pcm.data(), n)) break;
  }
  const bool written = writer.Close();
  if (decoder.DamagedAt() != FlacDecoder::kNoDamage) {
    std::fprintf(stderr, "flacdec: %s: damaged from %.3f s\n", argv[1],
                 static_cast<double>(decoder.DamagedAt()) / info.sampleRate);
    return 1;
  }
  return written ? 0 : 1;
}
