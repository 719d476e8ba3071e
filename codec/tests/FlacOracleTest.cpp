// The FLAC decoder against Debian's flac: files it makes at several levels, block
// sizes, channel counts and depths decode bit for bit as `flac -d` decodes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/FlacDecoder.h"
#include "orvcodec/FlacWriter.h"

using namespace orv::codec;
using namespace orvtest;

namespace {

struct FlacCase {
  const char* name;
  int channels;
  int bits;
  const char* flacOptions;
};

// Pink noise with a sweep keeps every predictor busy; the quiet opening gives
// constant subframes, and 24-bit files from 16-bit sox output have wasted bits.
const FlacCase kCases[] = {
    {"l0-b192-stereo16", 2, 16, "-0 -b 192"},
    {"l5-b4608-stereo16", 2, 16, "-5 -b 4608"},
    {"l8-b4608-stereo24", 2, 24, "-8 -b 4608"},
    {"l8-b192-mono16", 1, 16, "-8 -b 192"},
    {"l5-mono24", 1, 24, "-5"},
    {"l0-mono8", 1, 8, "-0"},
    {"l8-3ch16-noseek", 3, 16, "-8 -S- -b 4608 --channel-map=none"},
    {"l5-stereo16-tags", 2, 16, "-5 --padding=70000 -T TITLE=Tagged -S 1s"},
};

std::string Source(const FlacCase& c) {
  const std::string bits = std::to_string(c.bits);
  const std::string synth = c.bits == 24 ? " synth 4 pinknoise sine 200-9000 gain -3 vol 0.9"
                                         : " synth 4 pinknoise sine 200-9000 vol 0.6";
  // 24-bit: a 16-bit signal in the top bits for half, full 24-bit detail in the other.
  if (c.bits == 24)
    return Fixture(std::string(c.name) + ".wav",
                   "sox -R -D -n -r 44100 -c " + std::to_string(c.channels) + " -b 16 {dir}/" + c.name +
                       "-a.wav" + synth + " && sox -R -D -n -r 44100 -c " + std::to_string(c.channels) +
                       " -b 24 {dir}/" + c.name + "-b.wav synth 3 whitenoise sine 300 vol 0.4 && sox -R -D {dir}/" +
                       c.name + "-a.wav {dir}/" + c.name + "-b.wav -b 24 {out}");
  return Fixture(std::string(c.name) + ".wav", "sox -R -D -n -r 44100 -c " + std::to_string(c.channels) + " -b " +
                                                   bits + " {out} pad 0.3 0" + synth);
}

std::string Encoded(const FlacCase& c) {
  return Fixture(std::string(c.name) + ".flac", "flac -s -f " + std::string(c.flacOptions) + " -o {out} " +
                                                    Quote(Source(c)));
}

// flac's own decode, as interleaved integers.
std::vector<int32_t> Reference(const std::string& path, int bits) {
  const std::vector<uint8_t> raw = Capture("flac -s -d -c --force-raw-format --endian=little --sign=signed " +
                                           Quote(path) + " 2>/dev/null");
  const size_t width = static_cast<size_t>(bits + 7) / 8;
  std::vector<int32_t> samples(raw.size() / width);
  for (size_t i = 0; i < samples.size(); ++i) {
    uint32_t v = 0;
    for (size_t b = 0; b < width; ++b) v |= uint32_t{raw[i * width + b]} << (8 * b);
    const uint32_t sign = uint32_t{1} << (width * 8 - 1);
    samples[i] = static_cast<int32_t>((v ^ sign) - sign);
  }
  return samples;
}

std::vector<int32_t> DecodeAll(FlacDecoder& decoder) {
  const size_t channels = static_cast<size_t>(decoder.Info().channels);
  std::vector<int32_t> all;
  std::vector<int32_t> chunk(1000 * channels);
  while (size_t n = decoder.Read(chunk.data(), 1000)) all.insert(all.end(), chunk.begin(), chunk.begin() + n * channels);
  return all;
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class FlacOracle : public ::testing::TestWithParam<FlacCase> {};

}  // namespace

TEST_P(FlacOracle, DecodesAndSeeksAsFlacDoes) {
  const FlacCase& c = GetParam();
  const std::string path = Encoded(c);
  const std::vector<int32_t> reference = Reference(path, c.bits);
  ASSERT_GT(reference.size(), 44100u) << path;

  FlacDecoder decoder;
  ASSERT_EQ(decoder.Open(path), FlacStatus::Ok) << path;
  EXPECT_EQ(decoder.Info().channels, c.channels);
  EXPECT_EQ(decoder.Info().bitsPerSample, c.bits);
  EXPECT_EQ(decoder.Info().totalSamples * static_cast<uint64_t>(c.channels), reference.size());
  const std::vector<int32_t> decoded = DecodeAll(decoder);
  ASSERT_EQ(decoded.size(), reference.size());
  for (size_t i = 0; i < decoded.size(); ++i) ASSERT_EQ(decoded[i], reference[i]) << "sample " << i;
  EXPECT_EQ(decoder.DamagedAt(), FlacDecoder::kNoDamage);

  // Seeks land on the exact sample, backwards and forwards, inside and at frame edges.
  const uint64_t total = decoder.Info().totalSamples;
  for (uint64_t at : {total / 2 + 17, uint64_t{4608}, uint64_t{1}, total - 5, uint64_t{0}, total / 3, total}) {
    ASSERT_TRUE(decoder.SeekSample(at)) << at;
    EXPECT_EQ(decoder.Position(), at);
    std::vector<int32_t> some(300 * static_cast<size_t>(c.channels));
    const size_t n = decoder.Read(some.data(), 300);
    ASSERT_EQ(n, std::min<uint64_t>(300, total - at)) << at;
    for (size_t i = 0; i < n * static_cast<size_t>(c.channels); ++i)
      ASSERT_EQ(some[i], reference[at * static_cast<uint64_t>(c.channels) + i]) << "seek to " << at;
  }
  EXPECT_FALSE(decoder.SeekSample(total + 1));
  EXPECT_EQ(decoder.DamagedAt(), FlacDecoder::kNoDamage);
}

INSTANTIATE_TEST_SUITE_P(Files, FlacOracle, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (ch == '-') ch = '_';
                           return name;
                         });

TEST(Flac, SeekTablesAndMetadataAreReadOrSkipped) {
  FlacDecoder withTable;
  ASSERT_EQ(withTable.Open(Encoded(kCases[7])), FlacStatus::Ok);
  EXPECT_GE(withTable.SeekPoints().size(), 3u);
  FlacDecoder without;
  ASSERT_EQ(without.Open(Encoded(kCases[6])), FlacStatus::Ok);
  EXPECT_TRUE(without.SeekPoints().empty());

  const std::vector<uint8_t> wave = Bytes(Source(kCases[0]));
  EXPECT_EQ(without.OpenMemory(wave.data(), wave.size()), FlacStatus::NotFlac);
  std::vector<uint8_t> flac = Bytes(Encoded(kCases[0]));
  EXPECT_EQ(without.OpenMemory(flac.data(), 30), FlacStatus::BadMetadata);
  EXPECT_EQ(without.OpenMemory(flac.data(), 42), FlacStatus::NoFrames);
}

// One frame's bytes flipped: that frame reads as silence and is reported at its
// first sample; the frames around it still decode exactly. A cut file reports the
// missing end.
TEST(Flac, DamagedFramesAreSilenceAndReported) {
  const FlacCase& c = kCases[1];  // fixed blocks of 4608
  const std::vector<int32_t> reference = Reference(Encoded(c), c.bits);
  std::vector<uint8_t> bytes = Bytes(Encoded(c));
  const size_t hit = bytes.size() / 2;
  for (size_t i = hit; i < hit + 8; ++i) bytes[i] ^= 0x5A;

  FlacDecoder decoder;
  ASSERT_EQ(decoder.OpenMemory(bytes.data(), bytes.size()), FlacStatus::Ok);
  const std::vector<int32_t> decoded = DecodeAll(decoder);
  ASSERT_EQ(decoded.size(), reference.size());
  const uint64_t damaged = decoder.DamagedAt();
  ASSERT_NE(damaged, FlacDecoder::kNoDamage);
  EXPECT_EQ(damaged % 4608, 0u);
  const double hitShare = static_cast<double>(hit) / bytes.size();
  EXPECT_NEAR(static_cast<double>(damaged) / decoder.Info().totalSamples, hitShare, 0.05);
  size_t silent = 0;
  for (size_t i = 0; i < decoded.size(); ++i) {
    const uint64_t sample = i / 2;
    if (sample >= damaged && sample < damaged + 4608 * 2 && decoded[i] == 0 && reference[i] != 0) ++silent;
    else ASSERT_EQ(decoded[i], reference[i]) << "sample " << sample << ", damage at " << damaged;
  }
  EXPECT_GT(silent, 4000u);

  // Seeking past the damage reads clean; seeking into it reports it again.
  decoder.ClearDamage();
  ASSERT_TRUE(decoder.SeekSample(damaged + 3 * 4608));
  std::vector<int32_t> after(200);
  decoder.Read(after.data(), 100);
  EXPECT_EQ(decoder.DamagedAt(), FlacDecoder::kNoDamage);
  ASSERT_TRUE(decoder.SeekSample(damaged + 10));
  decoder.Read(after.data(), 100);
  EXPECT_EQ(decoder.DamagedAt(), damaged);

  bytes = Bytes(Encoded(c));
  bytes.resize(bytes.size() * 6 / 10);
  ASSERT_EQ(decoder.OpenMemory(bytes.data(), bytes.size()), FlacStatus::Ok);
  EXPECT_EQ(DecodeAll(decoder).size(), reference.size());
  EXPECT_LT(decoder.DamagedAt(), decoder.Info().totalSamples * 62 / 100);
  EXPECT_GT(decoder.DamagedAt(), decoder.Info().totalSamples * 50 / 100);
}

// Our writer's files are valid to flac and decode to their input, also with a short
// last block, mono, silence and full-scale swings between the channels.
TEST(Flac, WrittenFilesDecodeToTheirInput) {
  for (int channels : {1, 2}) {
    std::vector<int16_t> pcm;
    uint32_t noise = 12345;
    for (size_t i = 0; i < 30000; ++i) {
      for (int ch = 0; ch < channels; ++ch) {
        noise = noise * 1664525u + 1013904223u;
        const int v = i < 5000 ? 0 : i < 9000 ? ((i / 7) % 2 ? 32767 : -32768) * (ch ? -1 : 1)
                                            : static_cast<int>(8000 * std::sin(i * 0.05 * (ch + 1))) + static_cast<int>(noise >> 24) - 128;
        pcm.push_back(static_cast<int16_t>(v));
      }
    }
    const std::string path = FixtureDir() + "/written" + std::to_string(channels) + ".flac";
    ASSERT_TRUE(WriteFlac16(path, pcm.data(), pcm.size() / channels, channels, 44100));
    ASSERT_TRUE(Shell("flac -s -t " + Quote(path) + " 2>/dev/null")) << path;
    const std::vector<int32_t> reference = Reference(path, 16);
    ASSERT_EQ(reference.size(), pcm.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), reference.begin()));
    FlacDecoder decoder;
    ASSERT_EQ(decoder.Open(path), FlacStatus::Ok);
    EXPECT_FALSE(decoder.SeekPoints().empty());
    EXPECT_EQ(DecodeAll(decoder), reference);
  }
}
