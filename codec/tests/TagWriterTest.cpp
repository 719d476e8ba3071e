// The tag writer: an ID3v2.3 and an ID3v1.1 tag around a real MP3 stream, read back by
// ffprobe and by the project's own ID3v2 reader; the ID3v1 fields by their offsets.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/Genres.h"
#include "orvcodec/Id3v2Tag.h"
#include "orvcodec/TagWriter.h"

namespace {

using namespace orv::codec;
using namespace orvtest;

std::map<std::string, std::string> ProbeTags(const std::string& path) {
  const std::vector<uint8_t> out = Capture("ffprobe -v error -show_entries format_tags -of default=nw=1 " + Quote(path));
  std::map<std::string, std::string> tags;
  std::istringstream lines(std::string(out.begin(), out.end()));
  for (std::string line; std::getline(lines, line);) {
    const size_t eq = line.find('=');
    if (line.rfind("TAG:", 0) == 0 && eq != std::string::npos) tags[line.substr(4, eq - 4)] = line.substr(eq + 1);
  }
  return tags;
}

std::string Tagged(const std::string& name, const Id3v2Texts& v2, const Id3v1Texts& v1) {
  const std::string wav = Fixture("tw.wav", "sox -R -D -n -r 44100 -c 2 -b 16 {out} synth 1 sine 440");
  const std::string mp3 = Fixture("tw.mp3", "lame --quiet -b 128 " + Quote(wav) + " {out}");
  std::ifstream in(mp3, std::ios::binary);
  const std::vector<char> audio((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::vector<uint8_t> front = MakeId3v2Tag(v2);
  const auto back = MakeId3v1Tag(v1);
  const std::string path = FixtureDir() + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(front.data()), static_cast<std::streamsize>(front.size()));
  out.write(audio.data(), static_cast<std::streamsize>(audio.size()));
  out.write(reinterpret_cast<const char*>(back.data()), static_cast<std::streamsize>(back.size()));
  return path;
}

TEST(TagWriter, Id3v2TextsReadBackByFfprobeAndOurReader) {
  // Latin-1 texts stay single-byte; Greek, the euro sign and CJK need UTF-16.
  const struct {
    std::u16string title;
    std::string utf8;
    uint8_t encoding;
  } cases[] = {
      {u"Caf\u00e9 Noir", "Caf\xc3\xa9 Noir", 0},
      {u"\u0391\u03b8\u03ae\u03bd\u03b1 \u20ac5", "\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1 \xe2\x82\xac" "5", 1},
      {u"\u6771\u4eac", "\xe6\x9d\xb1\xe4\xba\xac", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    Id3v2Texts v2{c.title, u"The Band", u"Album One", u"1999", u"Rock", u"3/12"};
    const std::vector<uint8_t> tag = MakeId3v2Tag(v2);
    ASSERT_GT(tag.size(), 21u);
    EXPECT_EQ(std::string(tag.begin(), tag.begin() + 5), std::string("ID3\x03\x00", 5));
    EXPECT_EQ(std::string(tag.begin() + 10, tag.begin() + 14), "TIT2");
    EXPECT_EQ(tag[20], c.encoding);
    Id3v2Tag read;
    ASSERT_TRUE(ReadId3v2Tag(tag.data(), tag.size(), read));
    EXPECT_EQ(read.version, 3);
    EXPECT_EQ(read.title, c.title);
    EXPECT_EQ(read.track, u"3/12");
    const auto probed = ProbeTags(Tagged("tw-v2.mp3", v2, {}));
    EXPECT_EQ(probed.at("title"), c.utf8);
    EXPECT_EQ(probed.at("artist"), "The Band");
    EXPECT_EQ(probed.at("album"), "Album One");
    EXPECT_EQ(probed.at("date"), "1999");
    EXPECT_EQ(probed.at("genre"), "Rock");
    EXPECT_EQ(probed.at("track"), "3/12");
  }
}

TEST(TagWriter, EmptyFieldsAreLeftOut) {
  EXPECT_TRUE(MakeId3v2Tag({}).empty());
  const std::vector<uint8_t> tag = MakeId3v2Tag({u"", u"", u"Only", u"", u"", u""});
  // Header, one frame header, the encoding byte and four characters.
  ASSERT_EQ(tag.size(), 10u + 10u + 1u + 4u);
  EXPECT_EQ(std::string(tag.begin() + 6, tag.begin() + 10), std::string("\0\0\0\x0f", 4));
  EXPECT_EQ(std::string(tag.begin() + 10, tag.begin() + 14), "TALB");
}

TEST(TagWriter, Id3v1FieldsAreCutAndTheTrackFollowsAShortComment) {
  const std::string long40(40, 'x');
  Id3v1Texts v1{"T" + long40, "A" + long40, "B" + long40, "19999", "C" + long40, 17, 7};
  const auto tag = MakeId3v1Tag(v1);
  const std::string s(tag.begin(), tag.end());
  const struct {
    size_t offset, bytes;
    std::string text;
  } fields[] = {
      {0, 3, "TAG"}, {3, 30, "T" + long40.substr(0, 29)}, {33, 30, "A" + long40.substr(0, 29)},
      {63, 30, "B" + long40.substr(0, 29)}, {93, 4, "1999"}, {97, 28, "C" + long40.substr(0, 27)},
      {125, 3, std::string("\0\x07\x11", 3)},
  };
  for (const auto& f : fields) EXPECT_EQ(s.substr(f.offset, f.bytes), f.text) << f.offset;
  // Without a track the comment keeps all 30 bytes (ID3v1.0).
  v1.track = 0;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(MakeId3v1Tag(v1).data()) + 97, 30), "C" + long40.substr(0, 29));
  // ffprobe reads an ID3v1.1 tag alone.
  const auto probed = ProbeTags(Tagged("tw-v1.mp3", {}, {"Short", "Band", "Disc", "2001", "", 17, 4}));
  EXPECT_EQ(probed.at("title"), "Short");
  EXPECT_EQ(probed.at("track"), "4");
  EXPECT_EQ(probed.at("genre"), "Rock");
  EXPECT_EQ(GenreNumber("rOCK"), 17);
  EXPECT_EQ(GenreNumber("Rocks"), -1);
}

}  // namespace
