// mp3dec [--float] [--gapless] FILE.mp3 OUT: decodes to a 16-bit WAVE file, or with
// --float to raw interleaved 32-bit float samples (native byte order); --gapless
// leaves out the encoder delay and padding the file states.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

using namespace orv::codec;

namespace {

int Usage() {
  std::fprintf(stderr, "usage: mp3dec [--float] [--gapless] [--start FRAME] FILE.mp3 OUT\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool bFloat = false;
  bool bGapless = false;
  unsigned long long startFrame = 0;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--float") == 0)
      bFloat = true;
    else if (std::strcmp(argv[i], "--gapless") == 0)
      bGapless = true;
    else if (std::strcmp(argv[i], "--start") == 0 && i + 1 < argc)
      startFrame = std::strtoull(argv[++i], nullptr, 10);
    else
      paths.push_back(argv[i]);
  }
  if (paths.size() != 2)
    return Usage();

  Mp3Decoder decoder;
  if (!decoder.OpenFile(paths[0])) {
    std::fprintf(stderr, "mp3dec: %s: no MPEG audio stream found\n", paths[0].c_str());
    return 1;
  }
  decoder.SetGaplessTrim(bGapless);
  if (!decoder.SeekFrame(startFrame)) {
    std::fprintf(stderr, "mp3dec: frame %llu is past the end\n", startFrame);
    return 1;
  }
  const int channels = decoder.Channels();
  std::vector<float> pcm(Mp3Decoder::kMaxSamplesPerFrame * Mp3Decoder::kMaxChannels);
  std::vector<int16_t> pcm16(pcm.size());

  if (bFloat) {
    std::FILE* out = paths[1] == "-" ? stdout : std::fopen(paths[1].c_str(), "wb");
    if (!out) {
      std::fprintf(stderr, "mp3dec: cannot write %s\n", paths[1].c_str());
      return 1;
    }
    bool bOk = true;
    while (int n = decoder.DecodeFrame(pcm.data()))
      bOk = bOk && std::fwrite(pcm.data(), sizeof(float), size_t(n) * channels, out) == size_t(n) * channels;
    bOk = (out == stdout ? std::fflush(out) : std::fclose(out)) == 0 && bOk;
    return bOk ? 0 : 1;
  }

  WaveWriter writer;
  if (!writer.Open(paths[1], static_cast<uint16_t>(channels), decoder.SampleRate())) {
    std::fprintf(stderr, "mp3dec: cannot write %s\n", paths[1].c_str());
    return 1;
  }
  // Frames are gathered into about a second of audio per write: the writer patches
  // the header after every write, which per frame costs more than the decoding.
  const size_t batchFrames = 48;
  std::vector<int16_t> batch(pcm16.size() * batchFrames);
  size_t held = 0;
  bool bOk = true;
  for (;;) {
    const int n = decoder.DecodeFrame(batch.data() + held * channels);
    held += size_t(n);
    if (held > 0 && (n == 0 || batch.size() - held * channels < pcm16.size())) {
      bOk = bOk && writer.Write(batch.data(), held);
      held = 0;
    }
    if (n == 0)
      break;
  }
  bOk = writer.Close() && bOk;
  if (!bOk)
    std::fprintf(stderr, "mp3dec: writing %s failed\n", paths[1].c_str());
  return bOk ? 0 : 1;
}
