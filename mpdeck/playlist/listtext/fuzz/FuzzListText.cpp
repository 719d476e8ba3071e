// libFuzzer target: the M3U and PLS readers on arbitrary text, and the writer on
// what they read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ListText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace listtext;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (ListFormat format : {ListFormat::M3u, ListFormat::Pls}) {
    const std::vector<ListEntry> entries = ReadList(text, format, "C:\\Music\\Lists");
    const std::string written = WriteM3u(entries, "C:\\Music");
    ReadList(written, ListFormat::M3u8, "C:\\Music");
  }
  return 0;
}
