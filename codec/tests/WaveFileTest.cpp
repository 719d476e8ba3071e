// WAVE reading and writing on files built byte by byte.
#include "orvcodec/WaveFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace orv::codec;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b.push_back(uint8_t(v >> (8 * i)));
}
void PutId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

void PutChunk(Bytes& b, const char* id, const Bytes& body, bool bPad = true) {
  PutId(b, id);
  Put32(b, uint32_t(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (bPad && (body.size() & 1))
    b.push_back(0);
}

Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  Bytes f;
  const uint16_t align = uint16_t(channels * bits / 8);
  Put16(f, tag);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * align);
  Put16(f, align);
  Put16(f, bits);
  return f;
}

Bytes ExtensibleBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t sub) {
  Bytes f = FormatBody(kWaveFormatExtensible, channels, rate, bits);
  Put16(f, 22);
  Put16(f, bits);
  Put32(f, channels == 2 ? 3 : 4);
  Put16(f, sub);
  const uint8_t rest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                            0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  f.insert(f.end(), rest, rest + 14);
  return f;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body;
  PutId(body, "WAVE");
  for (const Bytes& c : chunks)
    body.insert(body.end(), c.begin(), c.end());
  Bytes file;
  PutId(file, "RIFF");
  Put32(file, uint32_t(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

Bytes Chunk(const char* id, const Bytes& body, bool bPad = true) {
  Bytes b;
  PutChunk(b, id, body, bPad);
  return b;
}

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + "orv_wave_" + name;
}

}  // namespace

TEST(WaveReader, Reads16BitStereoAndReportsFormat) {
  Bytes data;
  for (int16_t s : {100, -100, 32767, -32768})
    Put16(data, uint16_t(s));
  Bytes file = Riff({Chunk("fmt ", FormatBody(1, 2, 44100, 16)), Chunk("data", data)});
  WaveReader reader;
  ASSERT_EQ(reader.OpenMemory(file.data(), file.size()), WaveStatus::Ok);
  EXPECT_EQ(reader.Format().formatTag, 1);
  EXPECT_EQ(reader.Format().channels, 2);
  EXPECT_EQ(reader.Format().samplesPerSec, 44100u);
  EXPECT_EQ(reader.Format().avgBytesPerSec, 176400u);
  EXPECT_EQ(reader.Format().bitsPerSample, 16);
  EXPECT_EQ(reader.DataLength(), 8u);
  EXPECT_EQ(reader.FrameCount(), 2u);
  int16_t out[4];
  ASSERT_EQ(reader.ReadPcm16(out, 10), 2u);
  EXPECT_EQ(out[0], 100);
  EXPECT_EQ(out[1], -100);
  EXPECT_EQ(out[3], -32768);
  EXPECT_EQ(reader.ReadPcm16(out, 1), 0u);
}

TEST(WaveReader, ConvertsEightAnd24BitAndExtensible) {
  Bytes eight = {0x80, 0xFF, 0x00};
  Bytes file8 = Riff({Chunk("fmt ", FormatBody(1, 1, 8000, 8)), Chunk("data", eight)});
  WaveReader reader;
  ASSERT_EQ(reader.OpenMemory(file8.data(), file8.size()), WaveStatus::Ok);
  int16_t pcm[3];
  ASSERT_EQ(reader.ReadPcm16(pcm, 3), 3u);
  EXPECT_EQ(pcm[0], 0);
  EXPECT_EQ(pcm[1], 127 * 256);
  EXPECT_EQ(pcm[2], -32768);

  // 24-bit extensible stereo: one frame of +0.5 and -0.25.
  Bytes d24 = {0x00, 0x00, 0x40, 0x00, 0x00, 0xE0};
  Bytes file24 = Riff({Chunk("fmt ", ExtensibleBody(2, 96000, 24, kWaveFormatPcm)), Chunk("data", d24)});
  ASSERT_EQ(reader.OpenMemory(file24.data(), file24.size()), WaveStatus::Ok);
  EXPECT_EQ(reader.Format().formatTag, kWaveFormatExtensible);
  EXPECT_EQ(reader.Format().subFormat, kWaveFormatPcm);
  EXPECT_EQ(reader.Format().bitsPerSample, 24);
  EXPECT_EQ(reader.Format().avgBytesPerSec, 96000u * 6);
  float f[2];
  ASSERT_EQ(reader.ReadFloat(f, 1), 1u);
  EXPECT_FLOAT_EQ(f[0], 0.5f);
  EXPECT_FLOAT_EQ(f[1], -0.25f);

  // An extensible header naming a compressed sub-format is refused, not misread.
  Bytes other = Riff({Chunk("fmt ", ExtensibleBody(2, 44100, 16, 0x0055)), Chunk("data", d24)});
  EXPECT_EQ(reader.OpenMemory(other.data(), other.size()), WaveStatus::Unsupported);
}

TEST(WaveReader, SkipsUnknownAndOddChunks) {
  Bytes data;
  Put16(data, 1234);
  Put16(data, 4321);
  Bytes odd = {'a', 'b', 'c'};
  // Padded odd chunk before fmt, an unpadded odd chunk before data.
  Bytes file = Riff({Chunk("LIST", odd), Chunk("fmt ", FormatBody(1, 1, 22050, 16)),
                     Chunk("junk", odd, false), Chunk("data", data), Chunk("id3 ", odd)});
  WaveReader reader;
  ASSERT_EQ(reader.OpenMemory(file.data(), file.size()), WaveStatus::Ok);
  int16_t out[2];
  ASSERT_EQ(reader.ReadPcm16(out, 2), 2u);
  EXPECT_EQ(out[0], 1234);
  EXPECT_EQ(out[1], 4321);

  // data before fmt is also found.
  Bytes swapped = Riff({Chunk("data", data), Chunk("fmt ", FormatBody(1, 2, 22050, 16))});
  ASSERT_EQ(reader.OpenMemory(swapped.data(), swapped.size()), WaveStatus::Ok);
  EXPECT_EQ(reader.FrameCount(), 1u);
}

TEST(WaveReader, ToleratesTruncationAndRefusesNonWave) {
  Bytes data(1000, 0x11);
  Bytes file = Riff({Chunk("fmt ", FormatBody(1, 2, 44100, 16)), Chunk("data", data)});
  file.resize(file.size() - 501);  // cut inside the data, mid-frame
  WaveReader reader;
  ASSERT_EQ(reader.OpenMemory(file.data(), file.size()), WaveStatus::Ok);
  EXPECT_TRUE(reader.IsTruncated());
  EXPECT_EQ(reader.DeclaredDataLength(), 1000u);
  EXPECT_EQ(reader.DataLength(), 496u);  // whole frames only
  std::vector<int16_t> out(1000);
  EXPECT_EQ(reader.ReadPcm16(out.data(), 1000), 124u);

  Bytes noData = Riff({Chunk("fmt ", FormatBody(1, 2, 44100, 16))});
  EXPECT_EQ(reader.OpenMemory(noData.data(), noData.size()), WaveStatus::NoData);
  Bytes shortFmt = Riff({Chunk("fmt ", Bytes(10, 1)), Chunk("data", data)});
  EXPECT_EQ(reader.OpenMemory(shortFmt.data(), shortFmt.size()), WaveStatus::NoFormat);
  Bytes badAlign = FormatBody(1, 2, 44100, 16);
  badAlign[12] = 3;
  Bytes misaligned = Riff({Chunk("fmt ", badAlign), Chunk("data", data)});
  EXPECT_EQ(reader.OpenMemory(misaligned.data(), misaligned.size()), WaveStatus::Unsupported);
  Bytes tiny = {'R', 'I', 'F'};
  EXPECT_EQ(reader.OpenMemory(tiny.data(), tiny.size()), WaveStatus::NotWave);
  EXPECT_EQ(reader.OpenMemory(nullptr, 0), WaveStatus::NotWave);
  // A chunk claiming 4 GB ends the walk instead of wrapping around.
  Bytes huge = Riff({Chunk("fmt ", FormatBody(1, 1, 8000, 8))});
  PutId(huge, "data");
  Put32(huge, 0xFFFFFFF0u);
  huge.push_back(0x80);
  ASSERT_EQ(reader.OpenMemory(huge.data(), huge.size()), WaveStatus::Ok);
  EXPECT_EQ(reader.DataLength(), 1u);
  EXPECT_EQ(reader.Open(TempPath("missing.wav") + "/nope"), WaveStatus::CannotOpen);
}

TEST(WaveWriter, RoundTripAndInterruptedWrite) {
  const std::string path = TempPath("roundtrip.wav");
  std::vector<int16_t> samples;
  for (int i = 0; i < 2000; ++i)
    samples.push_back(int16_t(i * 31 - 30000));
  {
    WaveWriter writer;
    ASSERT_TRUE(writer.Open(path, 2, 48000));
    ASSERT_TRUE(writer.Write(samples.data(), 600));
    // Still open, as when a conversion stops here: the file already reads back.
    WaveReader early;
    ASSERT_EQ(early.Open(path), WaveStatus::Ok);
    EXPECT_EQ(early.FrameCount(), 600u);
    EXPECT_FALSE(early.IsTruncated());
    ASSERT_TRUE(writer.Write(samples.data() + 1200, 400));
    ASSERT_TRUE(writer.Close());
  }
  WaveReader reader;
  ASSERT_EQ(reader.Open(path), WaveStatus::Ok);
  EXPECT_EQ(reader.Format().samplesPerSec, 48000u);
  EXPECT_EQ(reader.Format().avgBytesPerSec, 192000u);
  EXPECT_EQ(reader.DataLength(), 4000u);
  std::vector<int16_t> back(2000);
  ASSERT_EQ(reader.ReadPcm16(back.data(), 1000), 1000u);
  EXPECT_EQ(back, samples);
  EXPECT_NEAR(reader.DurationMs(), 1000.0 * 1000 / 48000, 1e-9);

  // The RIFF size covers the whole file.
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(f);
  uint8_t head[8];
  ASSERT_EQ(std::fread(head, 1, 8, f), 8u);
  std::fclose(f);
  EXPECT_EQ(uint32_t(head[4] | head[5] << 8 | head[6] << 16 | head[7] << 24), 36u + 4000u);
  std::remove(path.c_str());

  WaveWriter bad;
  EXPECT_FALSE(bad.Open(path, 0, 44100));
  EXPECT_FALSE(bad.Write(samples.data(), 1));
}
