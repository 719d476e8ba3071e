// libFuzzer target: the WAVE reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvcodec/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv::codec;
  WaveReader reader;
  if (reader.OpenMemory(data, size) != WaveStatus::Ok)
    return 0;
  std::vector<int16_t> pcm(4096 * 8);
  std::vector<float> pcmFloat(4096 * 8);
  while (reader.ReadPcm16(pcm.data(), 4096) > 0) {
  }
  if (reader.SeekFrame(reader.FrameCount() / 2))
    while (reader.ReadFloat(pcmFloat.data(), 4096) > 0) {
    }
  uint8_t raw[512];
  reader.SeekFrame(0);
  reader.ReadRaw(raw, sizeof raw);
  return 0;
}
