// Header parsing and the whole-file scan, against mpg123 and ffprobe.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/Mp3Stream.h"

using namespace orv::codec;
using namespace orvtest;

namespace {

using Bytes = std::vector<uint8_t>;

std::string LameFile(const std::string& name, const std::string& signal, int rate, const std::string& args) {
  const std::string wav = Fixture(name + ".wav", "sox -R -D -n -r " + std::to_string(rate) + " -c 2 -b 16 {out} " + signal);
  return Fixture(name + ".mp3", "lame --quiet " + args + " " + Quote(wav) + " {out}");
}

Bytes Load(const std::string& path) {
  Bytes bytes;
  EXPECT_TRUE(LoadFile(path, bytes)) << path;
  return bytes;
}

StreamInfo Scan(const Bytes& b) { return ScanStream(b.data(), b.size()); }

std::string WriteFixture(const std::string& name, const Bytes& bytes) {
  const std::string path = FixtureDir() + "/" + name;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  EXPECT_NE(out, nullptr) << path;
  if (out) {
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
    std::fclose(out);
  }
  return path;
}

// An ID3v2.4 tag with a footer, whose frame data is full of false frame syncs.
Bytes Id3v2WithFooter() {
  Bytes body;
  for (int i = 0; i < 300; ++i) {
    const uint8_t fake[4] = {0xFF, 0xFB, 0x90, 0x64};
    body.insert(body.end(), fake, fake + 4);
  }
  Bytes tag = {'I', 'D', '3', 4, 0, 0x10 | 0x80, 0, 0, 0, 0};
  const size_t n = body.size();
  tag[6] = uint8_t((n >> 21) & 0x7F), tag[7] = uint8_t((n >> 14) & 0x7F);
  tag[8] = uint8_t((n >> 7) & 0x7F), tag[9] = uint8_t(n & 0x7F);
  Bytes footer = tag;
  footer[0] = '3', footer[1] = 'D', footer[2] = 'I';
  tag.insert(tag.end(), body.begin(), body.end());
  tag.insert(tag.end(), footer.begin(), footer.end());
  return tag;
}

Bytes Id3v1() {
  Bytes tag(128, ' ');
  std::memcpy(tag.data(), "TAG", 3);
  tag[3] = 0xFF, tag[4] = 0xFB;  // a sync pattern in the title
  return tag;
}

std::vector<float> DecodeAll(Bytes bytes) {
  Mp3Decoder decoder;
  std::vector<float> all;
  if (!decoder.Open(std::move(bytes)))
    return all;
  std::vector<float> frame(Mp3Decoder::kMaxSamplesPerFrame * 2);
  while (int n = decoder.DecodeFrame(frame.data()))
    all.insert(all.end(), frame.begin(), frame.begin() + n * decoder.Channels());
  return all;
}

uint64_t LostFramesOfDecode(Bytes bytes) {
  Mp3Decoder decoder;
  if (!decoder.Open(std::move(bytes)))
    return ~0ull;
  std::vector<float> frame(Mp3Decoder::kMaxSamplesPerFrame * 2);
  while (decoder.DecodeFrame(frame.data()) > 0) {
  }
  return decoder.LostFrames();
}

double FfprobeSeconds(const std::string& path) {
  Bytes out = Capture("ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 " + Quote(path));
  return std::atof(std::string(out.begin(), out.end()).c_str());
}

long FfprobeFrames(const std::string& path) {
  Bytes out = Capture("ffprobe -v error -count_frames -select_streams a -show_entries stream=nb_read_frames "
                      "-of default=nw=1:nk=1 " + Quote(path));
  return std::atol(std::string(out.begin(), out.end()).c_str());
}

}  // namespace

TEST(FrameHeader, ParsesEveryField) {
  // MPEG-1 Layer III, CRC, 128 kbit/s, 44.1 kHz, padded, private, joint stereo with
  // mode extension 2, copyright, original, emphasis 50/15.
  const uint8_t a[4] = {0xFF, 0xFA, 0x93, 0x6D};
  FrameHeader h;
  ASSERT_TRUE(ParseFrameHeader(a, h));
  EXPECT_EQ(h.version, MpegVersion::Mpeg1);
  EXPECT_EQ(h.layer, 3);
  EXPECT_TRUE(h.bCrc);
  EXPECT_EQ(h.bitRate, 128000u);
  EXPECT_EQ(h.sampleRate, 44100u);
  EXPECT_TRUE(h.bPadding);
  EXPECT_TRUE(h.bPrivate);
  EXPECT_EQ(h.channelMode, kJointStereo);
  EXPECT_EQ(h.modeExtension, 2);
  EXPECT_TRUE(h.bCopyright);
  EXPECT_TRUE(h.bOriginal);
  EXPECT_EQ(h.emphasis, 1);
  EXPECT_EQ(h.frameBytes, 418u);
  EXPECT_NEAR(h.FrameDurationMs(), 26.122449, 1e-6);

  // MPEG-2.5 Layer III 8 kHz mono, 8 kbit/s: 576 samples, 72 ms.
  const uint8_t b[4] = {0xFF, 0xE3, 0x18, 0xC0};
  ASSERT_TRUE(ParseFrameHeader(b, h));
  EXPECT_EQ(h.version, MpegVersion::Mpeg25);
  EXPECT_EQ(h.VersionNumber(), 2);
  EXPECT_EQ(h.sampleRate, 8000u);
  EXPECT_EQ(h.bitRate, 8000u);
  EXPECT_EQ(h.channels, 1);
  EXPECT_EQ(h.frameBytes, 72u);
  EXPECT_NEAR(h.FrameDurationMs(), 72.0, 1e-9);

  // MPEG-1 Layer I 32 kHz 448 kbit/s and Layer II 48 kHz 384 kbit/s.
  const uint8_t c[4] = {0xFF, 0xFF, 0xE8, 0x00};
  ASSERT_TRUE(ParseFrameHeader(c, h));
  EXPECT_EQ(h.layer, 1);
  EXPECT_EQ(h.frameBytes, 12u * 448000 / 32000 * 4);
  const uint8_t d[4] = {0xFF, 0xFD, 0xE4, 0x00};
  ASSERT_TRUE(ParseFrameHeader(d, h));
  EXPECT_EQ(h.layer, 2);
  EXPECT_EQ(h.frameBytes, 144u * 384000 / 48000);

  // Reserved version, reserved layer, free format, bad bit rate, reserved rate and emphasis.
  for (const auto& bad : {std::vector<uint8_t>{0xFF, 0xEB, 0x90, 0x00}, {0xFF, 0xF9, 0x90, 0x00},
                          {0xFF, 0xFB, 0x00, 0x00}, {0xFF, 0xFB, 0xF0, 0x00}, {0xFF, 0xFB, 0x9C, 0x00},
                          {0xFF, 0xFB, 0x90, 0x02}, {0xFE, 0xFB, 0x90, 0x00}})
    EXPECT_FALSE(ParseFrameHeader(bad.data(), h)) << int(bad[1]) << " " << int(bad[2]) << " " << int(bad[3]);
}

TEST(StreamScan, AgreesWithMpg123AndFfprobe) {
  struct Case {
    const char* name;
    const char* signal;
    int rate;
    const char* args;
  } cases[] = {
      {"cbr128", "synth 2 sine 440 sine 1250 vol 0.6", 44100, "-b 128"},
      {"vbr", "synth 2 sine 30-16000 whitenoise vol 0.5", 44100, "-V 2"},
      {"lsf", "synth 2 pinknoise pinknoise vol 0.5", 22050, "-b 64"},
      {"mpeg25", "synth 2 sine 200-3000 sine 300 vol 0.5", 8000, "-b 16"},
  };
  for (const Case& c : cases) {
    const std::string path = LameFile(std::string("scan_") + c.name, c.signal, c.rate, c.args);
    const Bytes bytes = Load(path);
    const StreamInfo info = Scan(bytes);
    ASSERT_TRUE(info.bValid) << path;
    // mpg123 decodes every audio frame: its sample count gives the frame count.
    const size_t refSamples = ReferenceFloat(path).size() / info.first.channels;
    EXPECT_EQ(info.frameCount * info.first.samplesPerFrame, refSamples) << c.name;
    // ffprobe's packet count runs one short on lame's LSF files; its duration agrees.
    if (!info.first.IsLsf()) {
      EXPECT_EQ(long(info.frameCount), FfprobeFrames(path)) << c.name;
    }
    EXPECT_NEAR(info.lengthMs / 1000.0, FfprobeSeconds(path), 0.002) << c.name;
    EXPECT_EQ(info.frameCount, info.frameOffsets.size()) << c.name;
    // lame writes Xing or Info when the frame has room for it (not at 16 kbit/s, 8 kHz).
    if (info.first.frameBytes > 200) {
      EXPECT_NE(info.vbrHeader, VbrHeaderKind::None) << c.name;
    }
    EXPECT_EQ(info.first.sampleRate, uint32_t(c.rate));
  }
}

TEST(StreamScan, TagsAndJunkAroundTheAudioChangeNothing) {
  const std::string path = LameFile("tags", "synth 1 sine 440 sine 660 vol 0.5", 44100, "-b 96");
  const Bytes plain = Load(path);
  const StreamInfo reference = Scan(plain);
  ASSERT_TRUE(reference.bValid);

  Bytes tagged = Id3v2WithFooter();
  const size_t tagBytes = tagged.size();
  // Junk with false syncs between the tag and the first frame.
  std::mt19937 rng(7);
  for (int i = 0; i < 500; ++i)
    tagged.push_back(i % 50 == 0 ? 0xFF : uint8_t(rng()));
  tagged.insert(tagged.end(), plain.begin(), plain.end());
  const Bytes v1 = Id3v1();
  tagged.insert(tagged.end(), v1.begin(), v1.end());

  const StreamInfo info = Scan(tagged);
  ASSERT_TRUE(info.bValid);
  EXPECT_EQ(info.id3v2Bytes, tagBytes);
  EXPECT_TRUE(info.bId3v1);
  EXPECT_EQ(info.frameCount, reference.frameCount);
  EXPECT_EQ(info.lengthMs, reference.lengthMs);
  EXPECT_EQ(info.first.bitRate, reference.first.bitRate);
  EXPECT_EQ(info.audioStart, reference.audioStart + tagBytes + 500);
  EXPECT_EQ(DecodeAll(tagged), DecodeAll(plain));
  EXPECT_EQ(LostFramesOfDecode(tagged), 0u);
}

// The probe gives what the scan gives, from the head of the file alone: damage in
// the middle changes nothing, and a file without a header is left to the scan.
TEST(StreamScan, ProbeMeasuresFromTheHeaderAlone) {
  const std::string cbr = LameFile("probe_cbr", "synth 3 sine 440 vol 0.5", 44100, "-b 160");
  const std::string vbr = LameFile("probe_vbr", "synth 3 sine 30-16000 whitenoise vol 0.5", 44100, "-V 2");
  const std::string lsf = LameFile("probe_lsf", "synth 3 pinknoise pinknoise vol 0.5", 22050, "-V 4");
  Bytes tagged = Id3v2WithFooter();
  const Bytes vbrBytes = Load(vbr), v1 = Id3v1();
  tagged.insert(tagged.end(), vbrBytes.begin(), vbrBytes.end());
  tagged.insert(tagged.end(), v1.begin(), v1.end());
  const std::string tags = WriteFixture("probe_tags.mp3", tagged);
  for (const std::string& path : {cbr, vbr, lsf, tags}) {
    SCOPED_TRACE(path);
    const StreamInfo scanned = Scan(Load(path));
    StreamInfo probed;
    ASSERT_TRUE(ProbeFile(path, probed));
    EXPECT_EQ(probed.frameCount, scanned.frameCount);
    EXPECT_EQ(probed.lengthMs, scanned.lengthMs);
    EXPECT_NEAR(probed.lengthMs / 1000.0, FfprobeSeconds(path), 0.002);
    EXPECT_EQ(probed.audioStart, scanned.audioStart);
    EXPECT_EQ(probed.bId3v1, scanned.bId3v1);
    EXPECT_EQ(probed.first.bitRate, scanned.first.bitRate);
    EXPECT_EQ(probed.first.channelMode, scanned.first.channelMode);
    EXPECT_NEAR(probed.averageBitRate, scanned.averageBitRate, scanned.averageBitRate * 0.01);
    EXPECT_TRUE(probed.frameOffsets.empty());
  }
  Bytes damaged = vbrBytes;
  std::fill(damaged.begin() + damaged.size() / 3, damaged.begin() + damaged.size() / 2, 0);
  StreamInfo probed;
  ASSERT_TRUE(ProbeFile(WriteFixture("probe_damaged.mp3", damaged), probed));
  EXPECT_EQ(probed.lengthMs, Scan(vbrBytes).lengthMs);

  const std::string plain = Fixture("probe_plain.mp3", "ffmpeg -loglevel error -y -i " + Quote(cbr) +
                                                           " -c copy -write_xing 0 {out}");
  EXPECT_FALSE(ProbeFile(plain, probed));
  EXPECT_FALSE(ProbeFile(FixtureDir() + "/missing.mp3", probed));
  EXPECT_NEAR(Scan(Load(plain)).lengthMs / 1000.0, FfprobeSeconds(plain), 0.002);
}

TEST(StreamScan, ReadsVbriAndSkipsItsFrame) {
  const std::string path = LameFile("vbri", "synth 1 sine 440 sine 660 vol 0.5", 44100, "-b 128");
  Bytes bytes = Load(path);
  StreamInfo info = Scan(bytes);
  ASSERT_EQ(info.vbrHeader, VbrHeaderKind::Info);
  // Turn lame's Info frame into a VBRI frame stating the same count.
  const size_t first = info.audioStart - info.first.frameBytes;
  const size_t xing = first + 4 + info.first.SideInfoBytes();
  std::memset(bytes.data() + xing, 0, 8);
  uint8_t* vbri = bytes.data() + first + 36;
  std::memcpy(vbri, "VBRI", 4);
  const uint32_t frames = static_cast<uint32_t>(info.frameCount);
  for (int i = 0; i < 4; ++i)
    vbri[14 + i] = uint8_t(frames >> (24 - 8 * i));
  const StreamInfo vbriInfo = Scan(bytes);
  EXPECT_EQ(vbriInfo.vbrHeader, VbrHeaderKind::Vbri);
  EXPECT_EQ(vbriInfo.frameCount, info.frameCount);
  EXPECT_EQ(vbriInfo.audioStart, info.audioStart);
}

TEST(StreamScan, RefusesWhatIsNotMpegAudio) {
  const std::string wav = Fixture("refuse.wav", "sox -R -D -n -r 44100 -c 2 -b 16 {out} synth 1 whitenoise");
  std::mt19937 rng(99);
  Bytes noise(200000);
  for (uint8_t& b : noise)
    b = uint8_t(rng());
  const Bytes wavBytes = Load(wav);
  for (const Bytes& b : {wavBytes, noise, Bytes(), Bytes{0xFF, 0xFB, 0x90}, Id3v2WithFooter(), Id3v1()}) {
    EXPECT_FALSE(Scan(b).bValid) << b.size();
    Mp3Decoder decoder;
    EXPECT_FALSE(decoder.Open(b));
    float out[2304];
    EXPECT_EQ(decoder.DecodeFrame(out), 0);
  }
  EXPECT_FALSE(ScanStream(nullptr, 10).bValid);
  // A tag claiming more bytes than the file has.
  Bytes liar = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 0xFF, 0xFB};
  EXPECT_FALSE(Scan(liar).bValid);
}

TEST(StreamScan, ResynchronisesOverDamagedBytes) {
  const std::string path = LameFile("damage", "synth 2 pinknoise pinknoise vol 0.5", 44100, "-b 128");
  Bytes bytes = Load(path);
  const StreamInfo clean = Scan(bytes);
  ASSERT_TRUE(clean.bValid);
  // Wreck frames 20-21 (headers included).
  const size_t from = clean.frameOffsets[20];
  const size_t to = clean.frameOffsets[22];
  std::mt19937 rng(3);
  for (size_t i = from; i < to; ++i)
    bytes[i] = uint8_t(rng());
  const StreamInfo info = Scan(bytes);
  ASSERT_TRUE(info.bValid);
  EXPECT_GE(info.frameOffsets.size(), clean.frameOffsets.size() - 2);
  EXPECT_LE(info.frameOffsets.size(), clean.frameOffsets.size());
  EXPECT_EQ(info.frameOffsets.back(), clean.frameOffsets.back());
  EXPECT_GT(info.skippedBytes, 0u);
  // The two wrecked frames are missing from the decode, and it says so.
  EXPECT_EQ(LostFramesOfDecode(Load(path)), 0u);
  const uint64_t lost = LostFramesOfDecode(bytes);
  EXPECT_GE(lost, 2u);
  EXPECT_LE(lost, 4u);
}
