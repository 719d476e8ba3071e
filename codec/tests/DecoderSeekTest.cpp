// Frame-accurate seeking and damaged input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
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

// Through the whole frame index of the file's image. The reference is the file
// streamed, so a streamed decode is the image's too.
void ExpectSeeksMatch(const std::string& path) {
  Mp3Decoder full;
  ASSERT_TRUE(full.OpenFile(path)) << path;
  const Frames reference = DecodeFrames(full);
  ASSERT_GT(reference.size(), 40u);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadFile(path, bytes));
  const uint64_t last = reference.size() - 1;
  for (uint64_t n : {uint64_t(1), uint64_t(2), uint64_t(7), uint64_t(30), last - 3, last}) {
    Mp3Decoder seeker;
    ASSERT_TRUE(seeker.Open(bytes));
    seeker.DecodeFrame(std::vector<float>(4608).data());  // a position to move away from
    ASSERT_TRUE(seeker.SeekFrame(n));
    EXPECT_EQ(seeker.NextFrame(), n);
    const Frames after = DecodeFrames(seeker);
    ASSERT_EQ(after.size(), reference.size() - n) << "seek to " << n;
    for (size_t i = 0; i < after.size(); ++i)
      ASSERT_EQ(after[i], reference[n + i]) << path << ": seek to " << n << ", frame " << n + i;
  }
  Mp3Decoder past;
  ASSERT_TRUE(past.Open(bytes));
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

// A minute of VBR whose bit rate swells and falls, so that time and bytes part ways.
std::string SwellingVbr() {
  const std::string wav = Fixture("swell.wav", "sox -R -D -n -r 44100 -c 2 -b 16 {out} synth 60 pinknoise sine 200-6000 "
                                               "tremolo 0.05 90 vol 0.5");
  return Fixture("swell.mp3", "lame --quiet -V 2 " + Quote(wav) + " {out}");
}

TEST(DecoderStream, ReadsTheFileAsItPlaysAndSeeksBackExactlyWithinWhatItRead) {
  const std::string fixture = SwellingVbr();
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(LoadFile(fixture, bytes));
  Mp3Decoder image;
  ASSERT_TRUE(image.Open(bytes));
  const Frames reference = DecodeFrames(image);

  // Our own copy, which the test cuts short while it plays.
  const std::string path = FixtureDir() + "/stream-cut.mp3";
  ASSERT_TRUE(Shell("cp " + Quote(fixture) + " " + Quote(path)));
  Mp3Decoder stream;
  ASSERT_TRUE(stream.OpenFile(path));
  EXPECT_EQ(stream.FramesAvailable(), reference.size()) << "measured from the header";
  std::vector<float> frame(4608);
  for (int i = 0; i < 200; ++i) ASSERT_GT(stream.DecodeFrame(frame.data()), 0);
  EXPECT_LT(stream.HeldBytes(), bytes.size() / 8) << "of " << bytes.size();

  ASSERT_TRUE(stream.SeekFrame(50));
  for (uint64_t n = 50; n < 60; ++n) {
    ASSERT_GT(stream.DecodeFrame(frame.data()), 0);
    ASSERT_TRUE(std::equal(reference[n].begin(), reference[n].end(), frame.begin())) << "frame " << n;
  }
  ASSERT_TRUE(Shell("truncate -s " + std::to_string(bytes.size() / 2) + " " + Quote(path)));
  ASSERT_TRUE(stream.SeekFrame(200));
  uint64_t decoded = 200;
  while (stream.DecodeFrame(frame.data()) > 0) ++decoded;
  EXPECT_LT(decoded, reference.size() * 3 / 4) << "the rest of the file is read from the file";
  EXPECT_GT(decoded, reference.size() / 4);

  // A stretch of zeros: the streamed decode counts the loss as the whole-file walk does.
  std::vector<uint8_t> damaged = bytes;
  std::fill(damaged.begin() + 100000, damaged.begin() + 106000, 0);
  const std::string damagedPath = FixtureDir() + "/stream-damaged.mp3";
  {
    std::FILE* out = std::fopen(damagedPath.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(damaged.data(), 1, damaged.size(), out);
    std::fclose(out);
  }
  Mp3Decoder imaged, streamed;
  ASSERT_TRUE(imaged.Open(damaged));
  ASSERT_TRUE(streamed.OpenFile(damagedPath));
  DecodeFrames(imaged);
  DecodeFrames(streamed);
  EXPECT_GT(streamed.LostFrames(), 0u);
  EXPECT_EQ(streamed.LostFrames(), imaged.LostFrames());
}

TEST(DecoderStream, ASeekByTheHeadersTableLandsWithinHalfASecondOfMpg123) {
  const std::string path = SwellingVbr();
  constexpr uint64_t kSpan = 40;  // frames searched either side, about a second
  for (double share : {0.1, 0.37, 0.63, 0.95}) {
    Mp3Decoder decoder;
    ASSERT_TRUE(decoder.OpenFile(path));
    const uint64_t target = static_cast<uint64_t>(share * decoder.FramesAvailable());
    ASSERT_TRUE(decoder.SeekFrame(target));
    std::vector<float> ours;
    std::vector<float> frame(4608);
    for (int i = 0; i < 4; ++i) {
      const int n = decoder.DecodeFrame(frame.data());
      ASSERT_EQ(n, 1152);
      ours.insert(ours.end(), frame.begin(), frame.begin() + 2 * n);
    }
    // mpg123 skipping to each frame of the span gives where ours landed.
    const std::vector<uint8_t> raw = Capture("mpg123 -q --no-gapless -e f32 -s -k " + std::to_string(target - kSpan) +
                                             " -n " + std::to_string(2 * kSpan + 4) + " " + Quote(path) + " 2>/dev/null");
    std::vector<float> theirs(raw.size() / sizeof(float));
    std::memcpy(theirs.data(), raw.data(), theirs.size() * sizeof(float));
    double best = 1e9;
    uint64_t landed = 0;
    for (uint64_t k = 0; (k + 4) * 2304 <= theirs.size(); ++k) {
      const std::vector<float> clip(theirs.begin() + k * 2304, theirs.begin() + (k + 4) * 2304);
      const double rms = Compare(ours, clip).rms;
      if (rms < best) best = rms, landed = target - kSpan + k;
    }
    const double errorMs = (double(landed) - double(target)) * 1152 * 1000 / 44100;
    std::printf("seek to %.0f%%: frame %llu, landed %+.0f ms from mpg123's\n", share * 100,
                static_cast<unsigned long long>(target), errorMs);
    EXPECT_LT(best, 1e-3) << "no frame within a second of mpg123's matches";
    EXPECT_LE(std::fabs(errorMs), 500);
  }
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
