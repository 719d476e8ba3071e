// The command-line tools, run as a user would.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/Mp3Stream.h"
#include "orvcodec/WaveFile.h"

using namespace orv::codec;
using namespace orvtest;

namespace {

std::string Tool(const char* name) { return std::string(ORV_TOOLS_DIR) + "/" + name; }

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

TEST(Tools, Mp3InfoPrintsTheScanFacts) {
  const std::string wav = Fixture("tool.wav", "sox -R -D -n -r 48000 -c 1 -b 16 {out} synth 1 sine 1000 vol 0.5");
  const std::string mp3 = Fixture("tool.mp3", "lame --quiet -b 64 -m m -p " + Quote(wav) + " {out}");
  const std::string info = Text(Capture(Tool("mp3info") + " " + Quote(mp3)));
  for (const char* line : {"mpeg_version: 1\n", "layer: 3\n", "sample_rate: 48000\n", "bit_rate: 64000\n",
                           "channel_mode: 3 (single channel)\n", "crc: 1\n", "frame_ms: 24.000000\n",
                           "vbr_header: Info\n"})
    EXPECT_NE(info.find(line), std::string::npos) << line << " in:\n" << info;
  EXPECT_NE(info.find("frames: 4"), std::string::npos) << info;  // 1 s at 24 ms: 4x frames

  EXPECT_FALSE(Shell(Tool("mp3info") + " " + Quote(wav) + " >/dev/null 2>&1"));
  EXPECT_FALSE(Shell(Tool("mp3info") + " >/dev/null 2>&1"));
}

TEST(Tools, Mp3DecWritesWhatMpg123Decodes) {
  const std::string wav = Fixture("dec.wav", "sox -R -D -n -r 22050 -c 2 -b 16 {out} synth 1 sine 300 sine 500 vol 0.5");
  const std::string mp3 = Fixture("dec.mp3", "lame --quiet -b 64 " + Quote(wav) + " {out}");
  const std::string out = FixtureDir() + "/dec-out.wav";
  ASSERT_TRUE(Shell(Tool("mp3dec") + " " + Quote(mp3) + " " + Quote(out)));
  WaveReader reader;
  ASSERT_EQ(reader.Open(out), WaveStatus::Ok);
  EXPECT_EQ(reader.Format().samplesPerSec, 22050u);
  EXPECT_EQ(reader.Format().channels, 2);
  const std::vector<int16_t> reference = Reference16(mp3);
  std::vector<int16_t> ours(reference.size() + 100);
  ASSERT_EQ(reader.ReadPcm16(ours.data(), ours.size() / 2) * 2, reference.size());
  for (size_t i = 0; i < reference.size(); ++i)
    ASSERT_LE(std::abs(ours[i] - reference[i]), 1) << i;

  const std::string raw = FixtureDir() + "/dec-out.f32";
  ASSERT_TRUE(Shell(Tool("mp3dec") + " --float " + Quote(mp3) + " " + Quote(raw)));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadFile(raw, bytes));
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), bytes.size());
  const std::vector<float> referenceFloat = ReferenceFloat(mp3);
  ASSERT_EQ(samples.size(), referenceFloat.size());
  EXPECT_LE(Compare(samples, referenceFloat).max, 1.0 / 16384);
  EXPECT_FALSE(Shell(Tool("mp3dec") + " " + Quote(wav) + " " + Quote(out) + " 2>/dev/null"));
}
