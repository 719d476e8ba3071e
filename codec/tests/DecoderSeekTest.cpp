// Frame-accurate seeking and damaged input.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/Mp3Decoder.h"

using namespace orv::codec;
using namespace orvtest;

namespace {

using Frames = std::vector<std::vector<float>>;

Frames DecodeFrames(Mp3Decoder& decoder) {
  Frames frames;
  std::vector<float> frame(Mp3Decoder::kMaxSamplesPerFrame * 2);
  while (int n = decoder.DecodeFrame(frame.data()))
    frames.emplace_back(frame.begin(), frame.begin() + n * decoder.Channels());
  return frames;
}

std::string Encoded(const std::string& name, int rate, const std::string& encoder) {
  const std::string wav = Fixture(name + ".wav", "sox -R -D -n -r " + std::to_string(rate) +
                                                     " -c 2 -b 16 {out} synth 3 pinknoise sine 300-5000 vol 0.5");
  return Fixture(name + ".mp3", encoder + " " + Quote(wav) + " {out}");
}

void ExpectSeeksMatch(const std::string& path) {
  Mp3Decoder full;
  ASSERT_TRUE(full.OpenFile(path)) << path;
  const Frames reference = DecodeFrames(full);
  ASSERT_GT(reference.size(), 40u);
  const uint64_t last = reference.size() - 1;
  for (uint64_t n : {uint64_t(1), uint64_t(2), uint64_t(7), uint64_t(30), last - 3, last}) {
    Mp3Decoder seeker;
    ASSERT_TRUE(seeker.OpenFile(path));
    seeker.DecodeFrame(std::vector<float>(4608).data());  // a position to move away from
    ASSERT_TRUE(seeker.SeekFrame(n));
    EXPECT_EQ(seeker.NextFrame(), n);
    const Frames after = DecodeFrames(seeker);
    ASSERT_EQ(after.size(), reference.size() - n) << "seek to " << n;
    for (size_t i = 0; i < after.size(); ++i)
      ASSERT_EQ(after[i], reference[n + i]) << path << ": seek to " << n << ", frame " << n + i;
  }
  Mp3Decoder past;
  ASSERT_TRUE(past.OpenFile(path));
  EXPECT_TRUE(past.SeekFrame(reference.size()));
  EXPECT_EQ(past.DecodeFrame(std::vector<float>(4608).data()), 0);
  EXPECT_FALSE(past.SeekFrame(reference.size() + 1));
}

}  // namespace

TEST(DecoderSeek, PrimesTheReservoirAndFilterBanks) {
  // Low bit rates lean hardest on the reservoir: main data reaches several frames back.
  ExpectSeeksMatch(Encoded("seek_l3_low", 44100, "lame --quiet -b 32 --resample 44.1"));
  ExpectSeeksMatch(Encoded("seek_l3_vbr", 44100, "lame --quiet -V 0"));
  ExpectSeeksMatch(Encoded("seek_l3_lsf", 22050, "lame --quiet -b 24"));
  const std::string wav = Fixture("seek_l2.wav", "sox -R -D -n -r 48000 -c 2 -b 16 {out} synth 2 pinknoise vol 0.5");
  ExpectSeeksMatch(Fixture("seek_l2.mp2", "ffmpeg -loglevel error -y -i " + Quote(wav) + " -c:a mp2 -b:a 160k -f mp2 {out}"));
}

TEST(DecoderRobustness, DamagedFramesAreConcealed) {
  const std::string path = Encoded("damaged", 44100, "lame --quiet -b 128");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadFile(path, bytes));
  Mp3Decoder clean;
  ASSERT_TRUE(clean.Open(bytes));
  const size_t frames = clean.FramesAvailable();

  // Flip random bits everywhere after the headers' sync: every frame must still come
  // out, finite, at full length.
  std::mt19937 rng(11);
  for (int round = 0; round < 20; ++round) {
    std::vector<uint8_t> damaged = bytes;
    for (int i = 0; i < 400; ++i)
      damaged[800 + rng() % (damaged.size() - 800)] ^= uint8_t(1u << (rng() % 8));
    Mp3Decoder decoder;
    if (!decoder.Open(damaged))
      continue;
    std::vector<float> out(4608);
    size_t decoded = 0;
    while (int n = decoder.DecodeFrame(out.data())) {
      for (int i = 0; i < n * decoder.Channels(); ++i)
        ASSERT_TRUE(std::isfinite(out[i]));
      ++decoded;
    }
    EXPECT_EQ(decoded, decoder.FramesAvailable());
    EXPECT_LE(decoded, frames + 5);
  }

  // Truncated in the middle of a frame: the last whole frames decode, nothing more.
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2 + 17);
  Mp3Decoder truncated;
  ASSERT_TRUE(truncated.Open(cut));
  EXPECT_LT(truncated.FramesAvailable(), frames);
  EXPECT_GT(truncated.FramesAvailable(), frames / 2 - 3);
  std::vector<int16_t> pcm(4608);
  size_t count = 0;
  while (truncated.DecodeFrame(pcm.data()))
    ++count;
  EXPECT_EQ(count, truncated.FramesAvailable());
}

TEST(DecoderRobustness, ReservoirGapAfterJunkIsSilenceNotGarbage) {
  const std::string path = Encoded("gap", 44100, "lame --quiet -b 32 --resample 44.1");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadFile(path, bytes));
  Mp3Decoder whole;
  ASSERT_TRUE(whole.Open(bytes));
  // Start the stream at frame 40: its main data begins in frames that are gone.
  const size_t cut = whole.Info().frameOffsets[40];
  std::vector<uint8_t> tail(bytes.begin() + cut, bytes.end());
  Mp3Decoder decoder;
  ASSERT_TRUE(decoder.Open(tail));
  std::vector<float> out(4608);
  ASSERT_GT(decoder.DecodeFrame(out.data()), 0);
  EXPECT_GE(decoder.ConcealedFrames(), 1u);
  for (float v : out)
    EXPECT_EQ(v, 0.0f);
}
