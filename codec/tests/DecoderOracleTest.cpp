// Our decoder against mpg123 on files made at test time by lame, ffmpeg and sox, and
// on Layer I streams written here (no Debian tool encodes Layer I).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/Mp3Stream.h"
#include "../src/Synthesis.h"

using namespace orv::codec;
using namespace orvtest;

namespace {

// Full-accuracy limits of the compliance standard, relative to full scale.
const double kMaxRms = std::pow(2.0, -15) / std::sqrt(12.0);
const double kMaxAbs = std::pow(2.0, -14);

std::string SignalArgs(const std::string& signal) {
  if (signal == "tone") return "synth 1.5 sine 440 sine 1250 vol 0.6";
  if (signal == "sweep") return "synth 1.5 sine 30-16000 sine 12000-40 vol 0.6";
  if (signal == "noise") return "synth 1.5 whitenoise pinknoise vol 0.4";
  if (signal == "trans") return "synth 1.5 square 3 square 7 vol 0.5";
  return "trim 0 1.5";  // silence
}

std::string Wave(const std::string& signal, int rate, int channels) {
  const std::string name = signal + "_" + std::to_string(rate) + "_" + std::to_string(channels) + ".wav";
  // -D: no dither, so that every run encodes the same samples.
  return Fixture(name, "sox -R -D -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                           " -b 16 {out} " + SignalArgs(signal));
}

// --- Layer I streams --------------------------------------------------------------
class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (m_bit == 0)
        m_bytes.push_back(0);
      if ((value >> i) & 1)
        m_bytes.back() |= uint8_t(0x80 >> m_bit);
      m_bit = (m_bit + 1) & 7;
    }
  }
  std::vector<uint8_t>& Bytes() { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
  int m_bit = 0;
};

// Random but well-formed Layer I frames: allocations, scale factors and samples drawn
// at random within the frame's bit budget.
void WriteLayer1(const std::string& path, int frequencyIndex, int mode, int modeExtension, unsigned seed) {
  std::mt19937 rng(seed);
  const int channels = mode == 3 ? 1 : 2;
  const int rateIndex = 14;  // 448 kbit/s
  const int rates[3] = {44100, 48000, 32000};
  const int frameBytes = 12 * 448000 / rates[frequencyIndex] * 4;
  std::vector<uint8_t> file;
  for (int f = 0; f < 120; ++f) {
    BitWriter w;
    w.Put(0xFFF, 12), w.Put(1, 1), w.Put(3, 2), w.Put(1, 1);  // MPEG-1, Layer I, no CRC
    w.Put(rateIndex, 4), w.Put(frequencyIndex, 2), w.Put(0, 1), w.Put(0, 1);
    w.Put(mode, 2), w.Put(modeExtension, 2), w.Put(0, 1), w.Put(1, 1), w.Put(0, 2);
    const int bound = mode == 1 ? (modeExtension + 1) * 4 : 32;
    int alloc[2][32] = {};
    int budget = frameBytes * 8 - 32 - 32 * 4 * channels;
    for (int sb = 0; sb < 32; ++sb) {
      for (int ch = 0; ch < channels; ++ch) {
        if (sb >= bound && ch == 1) {
          alloc[1][sb] = alloc[0][sb];
          continue;
        }
        int a = int(rng() % 9);
        const int cost = a ? 6 * (sb >= bound ? channels : 1) + 12 * (a + 1) : 0;
        if (cost > budget)
          a = 0;
        else
          budget -= cost;
        alloc[ch][sb] = a;
      }
    }
    for (int sb = 0; sb < 32; ++sb) {
      if (sb < bound)
        for (int ch = 0; ch < channels; ++ch)
          w.Put(alloc[ch][sb], 4);
      else
        w.Put(alloc[0][sb], 4);
    }
    for (int sb = 0; sb < 32; ++sb)
      for (int ch = 0; ch < channels; ++ch)
        if (alloc[ch][sb])
          w.Put(8 + rng() % 30, 6);
    for (int s = 0; s < 12; ++s)
      for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < (sb >= bound ? 1 : channels); ++ch)
          if (alloc[ch][sb])
            w.Put(rng() % ((1u << (alloc[ch][sb] + 1)) - 1), alloc[ch][sb] + 1);
    std::vector<uint8_t>& bytes = w.Bytes();
    bytes.resize(frameBytes, 0);
    file.insert(file.end(), bytes.begin(), bytes.end());
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(out);
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
}

struct OracleCase {
  const char* name;
  const char* signal;
  int rate;
  int channels;
  const char* encoder;  // lame, ffmpeg or layer1
  const char* args;
};

const OracleCase kCases[] = {
    {"l3_cbr32", "tone", 44100, 2, "lame", "-b 32 --resample 44.1"},
    {"l3_cbr64", "sweep", 44100, 2, "lame", "-b 64"},
    {"l3_cbr128", "noise", 44100, 2, "lame", "-b 128"},
    {"l3_cbr192_transients", "trans", 44100, 2, "lame", "-b 192"},
    {"l3_cbr320", "noise", 44100, 2, "lame", "-b 320"},
    {"l3_vbr_v2", "sweep", 44100, 2, "lame", "-V 2"},
    {"l3_vbr_v6_noise", "noise", 44100, 2, "lame", "-V 6"},
    {"l3_plain_stereo", "tone", 44100, 2, "lame", "-b 128 -m s"},
    {"l3_forced_ms", "noise", 44100, 2, "lame", "-b 128 -m f"},
    {"l3_mono_crc", "sweep", 44100, 1, "lame", "-b 64 -m m -p"},
    {"l3_silence", "silence", 44100, 2, "lame", "-b 128"},
    {"l3_48k", "trans", 48000, 2, "lame", "-b 160"},
    {"l3_32k", "noise", 32000, 2, "lame", "-b 96"},
    {"l3_22k_crc", "sweep", 22050, 2, "lame", "-b 64 -p"},
    {"l3_22k_transients", "trans", 22050, 2, "lame", "-b 48"},
    {"l3_24k_vbr", "noise", 24000, 2, "lame", "-V 4"},
    {"l3_16k_mono", "noise", 16000, 1, "lame", "-b 32 -m m"},
    {"l3_11k", "tone", 11025, 2, "lame", "-b 24"},
    {"l3_12k", "sweep", 12000, 1, "lame", "-b 16 -m m"},
    {"l3_8k_transients", "trans", 8000, 1, "lame", "-b 16 -m m"},
    {"l3_8k_stereo", "noise", 8000, 2, "lame", "-b 16"},
    {"l3_shine", "sweep", 44100, 2, "ffmpeg", "-c:a libshine -b:a 128k"},
    {"l2_192k_stereo", "noise", 44100, 2, "ffmpeg", "-c:a mp2 -b:a 192k"},
    {"l2_48k", "sweep", 48000, 2, "ffmpeg", "-c:a mp2 -b:a 128k"},
    {"l2_32k_mono", "trans", 32000, 1, "ffmpeg", "-c:a mp2 -b:a 64k"},
    {"l2_low_rate", "tone", 44100, 2, "ffmpeg", "-c:a mp2 -b:a 64k"},
    {"l2_32k_low_rate", "sweep", 32000, 2, "ffmpeg", "-c:a mp2 -b:a 64k"},
    {"l2_22k_lsf", "noise", 22050, 2, "ffmpeg", "-c:a mp2 -b:a 96k"},
    {"l2_16k_lsf_mono", "sweep", 16000, 1, "ffmpeg", "-c:a mp2 -b:a 48k"},
    {"l2_joint_stereo", "noise", 44100, 2, "ffmpeg", "-c:a libtwolame -b:a 128k -mode joint_stereo"},
    {"l1_stereo", "", 0, 2, "layer1", "0 0 0"},
    {"l1_joint", "", 0, 2, "layer1", "1 1 2"},
    {"l1_mono_32k", "", 0, 1, "layer1", "2 3 0"},
};

std::string MakeCase(const OracleCase& c) {
  const bool bLayer2 = std::string(c.name).rfind("l2_", 0) == 0;
  const std::string name = std::string(c.name) + (bLayer2 ? ".mp2" : ".mp3");
  if (std::string(c.encoder) == "layer1") {
    int frequency = 0, mode = 0, extension = 0;
    std::sscanf(c.args, "%d %d %d", &frequency, &mode, &extension);
    const std::string path = FixtureDir() + "/" + name;
    WriteLayer1(path, frequency, mode, extension, 1234u + frequency);
    return path;
  }
  const std::string wav = Wave(c.signal, c.rate, c.channels);
  if (std::string(c.encoder) == "lame")
    return Fixture(name, "lame --quiet " + std::string(c.args) + " " + Quote(wav) + " {out}");
  return Fixture(name, "ffmpeg -loglevel error -y -i " + Quote(wav) + " " + c.args +
                           (bLayer2 ? " -f mp2 {out}" : " -f mp3 {out}"));
}

std::vector<float> DecodeAll(const std::string& path) {
  Mp3Decoder decoder;
  std::vector<float> all;
  if (!decoder.OpenFile(path))
    return all;
  std::vector<float> frame(Mp3Decoder::kMaxSamplesPerFrame * 2);
  while (int n = decoder.DecodeFrame(frame.data()))
    all.insert(all.end(), frame.begin(), frame.begin() + n * decoder.Channels());
  return all;
}

std::vector<int16_t> DecodeAll16(const std::string& path) {
  Mp3Decoder decoder;
  std::vector<int16_t> all;
  if (!decoder.OpenFile(path))
    return all;
  std::vector<int16_t> frame(Mp3Decoder::kMaxSamplesPerFrame * 2);
  while (int n = decoder.DecodeFrame(frame.data()))
    all.insert(all.end(), frame.begin(), frame.begin() + n * decoder.Channels());
  return all;
}

void PrintTo(const OracleCase& c, std::ostream* os) { *os << c.name; }

class DecoderOracle : public ::testing::TestWithParam<OracleCase> {};

void ExpectMatchesMpg123(const std::string& path) {
  const std::vector<float> reference = ReferenceFloat(path);
  ASSERT_GT(reference.size(), 10000u) << "no reference decode of " << path;
  const std::vector<float> ours = DecodeAll(path);
  ASSERT_EQ(ours.size(), reference.size()) << path;
  const Difference d = Compare(ours, reference);
  EXPECT_LT(d.rms, kMaxRms) << path;
  EXPECT_LE(d.max, kMaxAbs) << path << " at sample " << d.maxAt;
  char figures[64];
  std::snprintf(figures, sizeof figures, "rms %.3g max %.3g", d.rms, d.max);
  ::testing::Test::RecordProperty("difference", figures);

  const std::vector<int16_t> reference16 = Reference16(path);
  const std::vector<int16_t> ours16 = DecodeAll16(path);
  ASSERT_EQ(ours16.size(), reference16.size());
  int worst = 0;
  for (size_t i = 0; i < ours16.size(); ++i)
    worst = std::max(worst, std::abs(int(ours16[i]) - int(reference16[i])));
  EXPECT_LE(worst, 1) << path;
}

// No Debian encoder writes intensity stereo or mixed blocks, so lame's files are
// edited into them in ways that keep every bit in place: the intensity bit of the
// mode extension (MPEG-1 scale factors do not depend on it), and the mixed-block flag
// of short granules whose first scale-factor group has zero bits (the scale factors
// then take the same bits either way).
enum class Edit { Intensity, Mixed };

std::string EditedCopy(const std::string& path, Edit edit, const std::string& name) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(LoadFile(path, bytes));
  const StreamInfo info = ScanStream(bytes.data(), bytes.size());
  EXPECT_TRUE(info.bValid && !info.first.IsLsf() && !info.first.bCrc);
  auto bit = [&](size_t pos) { return (bytes[pos >> 3] >> (7 - (pos & 7))) & 1; };
  auto bitsAt = [&](size_t pos, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
      v = (v << 1) | bit(pos + i);
    return v;
  };
  int edited = 0;
  for (uint32_t offset : info.frameOffsets) {
    uint8_t* frame = bytes.data() + offset;
    if (edit == Edit::Intensity) {
      frame[3] |= 0x10;
      ++edited;
      continue;
    }
    const int channels = (frame[3] >> 6) == kMono ? 1 : 2;
    const size_t base = size_t(offset) * 8 + 32 + 9 + (channels == 1 ? 5 : 3) + 4 * channels;
    constexpr int kGranuleBits = 59;
    for (int g = 0; g < 2 * channels; ++g) {
      const size_t at = base + size_t(g) * kGranuleBits;
      const bool bShort = bit(at + 33) && bitsAt(at + 34, 2) == 2;
      if (bShort && bitsAt(at + 29, 4) < 4) {
        bytes[(at + 36) >> 3] |= uint8_t(0x80 >> ((at + 36) & 7));
        ++edited;
      }
    }
  }
  EXPECT_GT(edited, 2) << name;
  const std::string out = FixtureDir() + "/" + name;
  std::FILE* file = std::fopen(out.c_str(), "wb");
  EXPECT_TRUE(file);
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return out;
}

}  // namespace

TEST_P(DecoderOracle, MatchesMpg123) { ExpectMatchesMpg123(MakeCase(GetParam())); }

TEST(DecoderOracleEdited, IntensityStereoAndMixedBlocks) {
  // Tonal material: on noise, short granules whose right channel reaches the last
  // band are treated differently by mpg123 (it applies intensity there regardless);
  // we keep to the standard's rule, so such files are not a fair comparison.
  const std::string wav = Fixture("is.wav", "sox -R -D -n -r 44100 -c 2 -b 16 {out} synth 1.5 sine 500 sine 300-2000 vol 0.5 fade 0.3 1.5 0.3");
  ExpectMatchesMpg123(EditedCopy(Fixture("is.mp3", "lame --quiet -b 128 -m j " + Quote(wav) + " {out}"),
                                 Edit::Intensity, "intensity.mp3"));
  ExpectMatchesMpg123(EditedCopy(Fixture("is_ms.mp3", "lame --quiet -b 160 -m f " + Quote(wav) + " {out}"),
                                 Edit::Intensity, "intensity_ms.mp3"));
  // Plain stereo and mono: mid/side would pair lines of a mixed and a short granule.
  const std::string transients = Wave("trans", 44100, 2);
  ExpectMatchesMpg123(EditedCopy(Fixture("mx.mp3", "lame --quiet -b 128 -m s " + Quote(transients) + " {out}"),
                                 Edit::Mixed, "mixed.mp3"));
  const std::string mono = Wave("trans", 44100, 1);
  ExpectMatchesMpg123(EditedCopy(Fixture("mxm.mp3", "lame --quiet -b 96 -m m " + Quote(mono) + " {out}"),
                                 Edit::Mixed, "mixed_mono.mp3"));
}

INSTANTIATE_TEST_SUITE_P(Files, DecoderOracle, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<OracleCase>& info) { return std::string(info.param.name); });

// The synthesis runs four time slots at once in vector lanes (SSE2 where there is
// SSE2): the same bits as slot by slot, for whole blocks of four and the rest.
TEST(DecoderSynthesis, SlotsInLanesEqualSlotBySlot) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> level(-1.0f, 1.0f);
  std::vector<float> subbands(18 * 32);
  Synthesis lanes, single;
  for (int frame = 0; frame < 4; ++frame) {
    for (float& v : subbands) v = level(random);
    std::vector<float> a(18 * 32 * 2), b(a.size());
    lanes.RunSlots(subbands.data(), 18, a.data() + 1, 2);
    for (int s = 0; s < 18; ++s) single.Run(&subbands[32 * s], &b[64 * s + 1], 2);
    EXPECT_EQ(a, b) << "frame " << frame;
  }
}

// The SSE2 conversion to 16 bits against the portable one: rounding (ties to even),
// clamping and a count that leaves a rest.
TEST(DecoderSynthesis, SimdPcmConversionEqualsPortable) {
  std::vector<float> in = {0.0f, -0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 1e30f, -1e30f, 0.5f / 32768, 1.5f / 32768,
                           -0.5f / 32768, -1.5f / 32768, 32767.5f / 32768, -32768.5f / 32768};
  std::mt19937 random(11);
  std::uniform_real_distribution<float> level(-1.2f, 1.2f);
  for (int i = 0; i < 1001; ++i) in.push_back(level(random));
  std::vector<int16_t> simd(in.size()), portable(in.size());
  FloatToPcm16(in.data(), in.size(), simd.data());
  FloatToPcm16Portable(in.data(), in.size(), portable.data());
  EXPECT_EQ(simd, portable);
  EXPECT_EQ(simd[8], 0);   // half an LSB rounds to even
  EXPECT_EQ(simd[9], 2);
  EXPECT_EQ(simd[6], 32767);
  EXPECT_EQ(simd[7], -32768);
}
