// playlistbench FILE COUNT FOLDER
// Makes COUNT hard links of FILE in FOLDER (a playlist of that many songs) and times
// what the player does with them: measuring every entry's length as the play control
// does, and opening every entry for play (open, first frame). For comparison it also
// times reading and walking each file whole, as opening did before files were streamed.
// The links are removed at the end.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "orvcodec/Mp3Decoder.h"

namespace fs = std::filesystem;
using namespace orv::codec;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Step>
double Time(const std::vector<std::string>& paths, Step step) {
  const Clock::time_point start = Clock::now();
  for (const std::string& path : paths)
    if (!step(path)) {
      std::fprintf(stderr, "failed on %s\n", path.c_str());
      std::exit(1);
    }
  return MsSince(start);
}

void Report(const char* what, double ms, size_t count) {
  std::printf("%-36s %9.1f ms  (%.3f ms per entry)\n", what, ms, ms / double(count));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: playlistbench FILE COUNT FOLDER\n");
    return 2;
  }
  const fs::path source = argv[1];
  const long count = std::strtol(argv[2], nullptr, 10);
  const fs::path folder = argv[3];
  if (count <= 0) return 2;
  std::error_code error;
  fs::create_directories(folder, error);
  std::vector<std::string> paths;
  for (long i = 0; i < count; ++i) {
    const fs::path link = folder / ("song" + std::to_string(i + 1) + ".mp3");
    fs::remove(link, error);
    fs::create_hard_link(source, link, error);
    if (error) {
      std::fprintf(stderr, "cannot link %s: %s\n", link.c_str(), error.message().c_str());
      return 1;
    }
    paths.push_back(link.string());
  }

  std::vector<float> pcm(Mp3Decoder::kMaxSamplesPerFrame * Mp3Decoder::kMaxChannels);
  double lengthSeconds = 0;
  const double measureMs = Time(paths, [&](const std::string& path) {
    StreamInfo info;
    if (!ProbeFile(path, info)) return false;
    lengthSeconds += info.lengthMs / 1000;
    return true;
  });
  const double openMs = Time(paths, [&](const std::string& path) {
    Mp3Decoder decoder;
    return decoder.OpenFile(path) && decoder.DecodeFrame(pcm.data()) > 0;
  });
  const double wholeMs = Time(paths, [&](const std::string& path) {
    std::vector<uint8_t> bytes;
    return LoadFile(path, bytes) && ScanStream(bytes.data(), bytes.size()).bValid;
  });
  std::printf("%ld entries of %s (%.1f s each, %ju bytes)\n", count, source.filename().c_str(),
              lengthSeconds / double(count), static_cast<uintmax_t>(fs::file_size(source)));
  Report("lengths measured (start-up)", measureMs, paths.size());
  Report("opened for play, first frame", openMs, paths.size());
  Report("read and walked whole (before)", wholeMs, paths.size());
  std::printf("start-up measuring is %.0f times faster than reading whole\n", wholeMs / (measureMs > 0 ? measureMs : 1));

  for (const std::string& path : paths) fs::remove(path, error);
  return 0;
}
