// libFuzzer target: scan, decode, seek and decode again on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvcodec/Mp3Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv::codec;
  constexpr int kMaxFrames = 400;
  Mp3Decoder decoder;
  if (!decoder.Open(std::vector<uint8_t>(data, data + size)))
    return 0;
  std::vector<float> pcm(Mp3Decoder::kMaxSamplesPerFrame * Mp3Decoder::kMaxChannels);
  std::vector<int16_t> pcm16(pcm.size());
  for (int i = 0; i < kMaxFrames && decoder.DecodeFrame(pcm.data()) > 0; ++i) {
  }
  const uint64_t middle = decoder.FramesAvailable() / 2;
  if (decoder.SeekFrame(middle))
    for (int i = 0; i < 8 && decoder.DecodeFrame(pcm16.data()) > 0; ++i) {
    }
  return 0;
}
