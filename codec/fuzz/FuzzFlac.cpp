// libFuzzer target: the FLAC reader on arbitrary bytes: decode, seek, decode again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvcodec/FlacDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv::codec;
  constexpr size_t kChunk = 4096;
  constexpr int kMaxChunks = 64;
  FlacDecoder decoder;
  if (decoder.OpenMemory(data, size) != FlacStatus::Ok)
    return 0;
  std::vector<int32_t> pcm(kChunk * FlacDecoder::kMaxChannels);
  std::vector<int16_t> pcm16(pcm.size());
  for (int i = 0; i < kMaxChunks && decoder.Read(pcm.data(), kChunk) > 0; ++i) {
  }
  const uint64_t total = decoder.Info().totalSamples;
  for (uint64_t at : {total / 2, total / 7, total}) {
    if (decoder.SeekSample(at))
      for (int i = 0; i < 4 && decoder.ReadPcm16(pcm16.data(), kChunk) > 0; ++i) {
      }
  }
  return 0;
}
