// libFuzzer target: the ID3v2 reader on arbitrary bytes, also cut short where the
// tag claims more than there is.
#include <cstddef>
#include <cstdint>

#include "orvcodec/Id3v2Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv::codec;
  Id3v2Tag tag;
  ReadId3v2Tag(data, size, tag);
  if (size > 0) ReadId3v2Tag(data, size - 1, tag);
  return 0;
}
