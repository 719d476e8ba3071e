// libFuzzer target: scan, decode, seek and decode again on arbitrary bytes, both as an
// indexed image and as a stream measured from its VBR header (seeks by its table).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "orvcodec/Mp3Decoder.h"

namespace {

void Exercise(orv::codec::Mp3Decoder& decoder) {
  using namespace orv::codec;
  constexpr int kMaxFrames = 400;
  std::vector<float> pcm(Mp3Decoder::kMaxSamplesPerFrame * Mp3Decoder::kMaxChannels);
  std::vector<int16_t> pcm16(pcm.size());
  for (int i = 0; i < kMaxFrames && decoder.DecodeFrame(pcm.data()) > 0; ++i) {
  }
  const uint64_t middle = decoder.FramesAvailable() / 2;
  if (decoder.SeekFrame(middle))
    for (int i = 0; i < 8 && decoder.DecodeFrame(pcm16.data()) > 0; ++i) {
    }
  if (decoder.SeekFrame(decoder.FramesAvailable() - decoder.FramesAvailable() / 8))
    for (int i = 0; i < 8 && decoder.DecodeFrame(pcm.data()) > 0; ++i) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv::codec;
  Mp3Decoder image;
  if (image.Open(std::vector<uint8_t>(data, data + size)))
    Exercise(image);
  Mp3Decoder stream;
  if (stream.OpenStream(std::make_unique<MemorySource>(std::vector<uint8_t>(data, data + size))))
    Exercise(stream);
  return 0;
}
