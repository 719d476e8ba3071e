// The ID3v2 reader: tags built byte by byte for each rule and each damage, and tags
// written by eyeD3 and ffmpeg in every version and text encoding they offer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "OracleSupport.h"
#include "orvcodec/Id3v2Tag.h"
#include "orvcodec/Mp3Stream.h"

namespace {

using orv::codec::Id3v2Tag;
using orv::codec::ReadId3v2Tag;
using Bytes = std::vector<uint8_t>;

Bytes Str(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes SyncSafe(size_t n) {
  return {uint8_t((n >> 21) & 0x7F), uint8_t((n >> 14) & 0x7F), uint8_t((n >> 7) & 0x7F), uint8_t(n & 0x7F)};
}

Bytes Plain(size_t n, size_t bytes) {
  Bytes out;
  for (size_t i = bytes; i-- > 0;) out.push_back(uint8_t(n >> (8 * i)));
  return out;
}

// One frame of the version's layout; 2.4 sizes are sync-safe unless told otherwise.
Bytes Frame(int version, const std::string& id, const Bytes& data, uint8_t format = 0, bool plainSize = false) {
  if (version == 2) return Cat({Str(id), Plain(data.size(), 3), data});
  const Bytes size = version == 4 && !plainSize ? SyncSafe(data.size()) : Plain(data.size(), 4);
  return Cat({Str(id), size, {0, format}, data});
}

Bytes Tag(int version, const Bytes& body, uint8_t flags = 0, size_t claimed = SIZE_MAX) {
  return Cat({Str("ID3"), {uint8_t(version), 0, flags}, SyncSafe(claimed == SIZE_MAX ? body.size() : claimed), body});
}

Bytes Latin1(const std::string& s) {
  return Cat({{0}, Str(s)});
}

Id3v2Tag Read(const Bytes& bytes) {
  Id3v2Tag tag;
  EXPECT_TRUE(ReadId3v2Tag(bytes.data(), bytes.size(), tag));
  return tag;
}

// "Café ☃ 𝄞" in each encoding.
const std::u16string kWide = u"Caf\u00E9 \u2603 \U0001D11E";
const Bytes kUtf16Le = {0xFF, 0xFE, 'C', 0, 'a', 0, 'f', 0, 0xE9, 0, ' ', 0, 0x03, 0x26, ' ', 0, 0x34, 0xD8, 0x1E, 0xDD};
const Bytes kUtf16BeBom = {0xFE, 0xFF, 0, 'C', 0, 'a', 0, 'f', 0, 0xE9, 0, ' ', 0x26, 0x03, 0, ' ', 0xD8, 0x34, 0xDD, 0x1E};
const Bytes kUtf16Be = {0, 'C', 0, 'a', 0, 'f', 0, 0xE9, 0, ' ', 0x26, 0x03, 0, ' ', 0xD8, 0x34, 0xDD, 0x1E};
const Bytes kUtf8 = {'C', 'a', 'f', 0xC3, 0xA9, ' ', 0xE2, 0x98, 0x83, ' ', 0xF0, 0x9D, 0x84, 0x9E};

TEST(Id3v2Tag, TextEncodingsOfEveryVersion) {
  struct Case {
    int version;
    uint8_t encoding;
    Bytes text;
    std::u16string expected;
  };
  const Case cases[] = {
      {2, 0, {'C', 'a', 'f', 0xE9}, u"Caf\u00E9"},
      {3, 0, {'C', 'a', 'f', 0xE9, 0}, u"Caf\u00E9"},
      {3, 1, kUtf16Le, kWide},
      {3, 1, kUtf16BeBom, kWide},
      {3, 1, Bytes(kUtf16Le.begin() + 2, kUtf16Le.end()), kWide},  // no BOM: little-endian
      {4, 1, Cat({kUtf16Le, {0, 0}}), kWide},
      {4, 2, kUtf16Be, kWide},
      {4, 3, kUtf8, kWide},
      {4, 3, Cat({kUtf8, {0}, Str("Second value")}), kWide},  // 2.4 lists give their first value
      {4, 3, {'a', 0xC3, 'b', 0xFF, 0xE2, 0x98}, u"a\uFFFDb\uFFFD\uFFFD\uFFFD"},  // broken UTF-8
      {4, 9, Str("unknown encoding"), u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " encoding " << int(c.encoding));
    const std::string id = c.version == 2 ? "TT2" : "TIT2";
    const Id3v2Tag tag = Read(Tag(c.version, Frame(c.version, id, Cat({{c.encoding}, c.text}))));
    EXPECT_EQ(tag.version, c.version);
    EXPECT_TRUE(tag.title == c.expected);
  }
}

TEST(Id3v2Tag, EveryFieldOfEachVersion) {
  struct Ids {
    int version;
    const char* title;
    const char* artist;
    const char* album;
    const char* year;
    const char* genre;
    const char* track;
    const char* comment;
  };
  const Ids ids[] = {{2, "TT2", "TP1", "TAL", "TYE", "TCO", "TRK", "COM"},
                     {3, "TIT2", "TPE1", "TALB", "TYER", "TCON", "TRCK", "COMM"},
                     {4, "TIT2", "TPE1", "TALB", "TDRC", "TCON", "TRCK", "COMM"}};
  for (const Ids& v : ids) {
    SCOPED_TRACE(v.version);
    const int n = v.version;
    const Bytes body = Cat({Frame(n, "XXX" + std::string(n == 2 ? "" : "X"), Latin1("ignored")),
                            Frame(n, v.title, Latin1("Title")), Frame(n, v.artist, Latin1("Artist  ")),
                            Frame(n, v.album, Latin1("Album")), Frame(n, v.year, Latin1("1999-12-31")),
                            Frame(n, v.genre, Latin1("(17)")), Frame(n, v.track, Latin1("3/12")),
                            Frame(n, v.comment, Cat({{0}, Str("eng"), Str("iTunNORM"), {0}, Str("numbers")})),
                            Frame(n, v.comment, Cat({{0}, Str("eng"), {0}, Str("The comment")})),
                            Frame(n, v.comment, Cat({{0}, Str("eng"), {0}, Str("A later one")})),
                            Bytes(64, 0)});
    const Id3v2Tag tag = Read(Tag(n, body));
    EXPECT_TRUE(tag.title == u"Title");
    EXPECT_TRUE(tag.artist == u"Artist");
    EXPECT_TRUE(tag.album == u"Album");
    EXPECT_TRUE(tag.year == u"1999");
    EXPECT_TRUE(tag.genre == u"(17)");
    EXPECT_TRUE(tag.track == u"3/12");
    EXPECT_TRUE(tag.comment == u"The comment");
    EXPECT_EQ(tag.tagBytes, 10 + body.size());
  }
}

// Stand-ins: a release time gives the year only without a recording time, and a
// user text named "comment" the comment only without a comment frame.
TEST(Id3v2Tag, StandInFramesGiveWay) {
  const Bytes release = Frame(4, "TDRL", Latin1("1980")), recording = Frame(4, "TDRC", Latin1("1979"));
  const Bytes user = Frame(4, "TXXX", Cat({{0}, Str("Comment"), {0}, Str("user")}));
  const Bytes comm = Frame(4, "COMM", Cat({{0}, Str("eng"), {0}, Str("comm")}));
  EXPECT_TRUE(Read(Tag(4, Cat({release, user}))).year == u"1980");
  EXPECT_TRUE(Read(Tag(4, Cat({release, user}))).comment == u"user");
  EXPECT_TRUE(Read(Tag(4, Cat({recording, release, user, comm}))).year == u"1979");
  EXPECT_TRUE(Read(Tag(4, Cat({release, recording, comm, user}))).year == u"1979");
  EXPECT_TRUE(Read(Tag(4, Cat({user, comm}))).comment == u"comm");
  EXPECT_TRUE(Read(Tag(4, Cat({comm, user}))).comment == u"comm");
}

TEST(Id3v2Tag, UnsynchronisationExtendedHeadersAndFooters) {
  // "\xFF\xE0x" unsynchronised is FF 00 E0 'x'.
  const Bytes unsynced = {0, 0xFF, 0x00, 0xE0, 'x'};
  const std::u16string expected = u"\u00FF\u00E0x";
  const Bytes ext23 = Cat({Plain(6, 4), {0, 0}, Plain(0, 4)});
  const Bytes ext24 = Cat({SyncSafe(6), {1, 0}});
  struct Case {
    const char* name;
    Bytes tag;
    size_t tagBytes;
  };
  // Before 2.4 a frame's size counts its bytes before unsynchronisation.
  const Bytes v3Frame = Cat({Str("TIT2"), Plain(4, 4), {0, 0}, unsynced});
  const Bytes v4Frame = Cat({Str("TIT2"), SyncSafe(5), {0, 0x02}, unsynced});
  const Bytes v4Tagwide = Cat({Str("TIT2"), SyncSafe(5), {0, 0}, unsynced});
  const Bytes v4Length = Cat({Str("TIT2"), SyncSafe(9), {0, 0x03}, SyncSafe(4), unsynced});
  const Bytes v2Frame = Cat({Str("TT2"), Plain(4, 3), unsynced});
  const Case cases[] = {
      {"2.2 whole tag", Tag(2, v2Frame, 0x80), 10 + v2Frame.size()},
      {"2.3 whole tag", Tag(3, v3Frame, 0x80), 10 + v3Frame.size()},
      {"2.3 extended header", Tag(3, Cat({ext23, v3Frame}), 0xC0), 10 + ext23.size() + v3Frame.size()},
      {"2.4 frame flag", Tag(4, v4Frame), 10 + v4Frame.size()},
      {"2.4 tag flag", Tag(4, v4Tagwide, 0x80), 10 + v4Tagwide.size()},
      {"2.4 data length", Tag(4, v4Length), 10 + v4Length.size()},
      {"2.4 extended header and footer", Cat({Tag(4, Cat({ext24, v4Frame}), 0x50), Str("3DI"), {4, 0, 0x50, 0, 0, 0, 0}}),
       20 + ext24.size() + v4Frame.size()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Id3v2Tag tag = Read(c.tag);
    EXPECT_TRUE(tag.title == expected);
    EXPECT_EQ(tag.tagBytes, c.tagBytes);
    EXPECT_EQ(tag.tagBytes, orv::codec::Id3v2TagBytes(c.tag.data(), c.tag.size()));
  }
}

TEST(Id3v2Tag, PlainFrameSizesIn24AreRecognised) {
  // 256 stored plain is 00 00 01 00, which reads sync-safe as 128: only the plain
  // reading lands on the next frame.
  const std::string title(256 - 1, 't');
  const Bytes body = Cat({Frame(4, "TIT2", Latin1(title), 0, true), Frame(4, "TPE1", Latin1("Artist"))});
  const Id3v2Tag tag = Read(Tag(4, body));
  EXPECT_EQ(tag.title.size(), title.size());
  EXPECT_TRUE(tag.artist == u"Artist");
}

TEST(Id3v2Tag, DamageStaysInsideTheTag) {
  const Bytes good = Frame(3, "TIT2", Latin1("Kept"));
  struct Case {
    const char* name;
    Bytes bytes;
    bool isTag;
    std::u16string title;
  };
  const Case cases[] = {
      {"no tag", Str("ID4\x03\x00\x00\x00\x00\x00\x10"), false, u""},
      {"short header", Str("ID3\x03\x00"), false, u""},
      {"version 5", Cat({Str("ID3"), {5, 0, 0}, SyncSafe(good.size()), good}), false, u""},
      {"size not sync-safe", Cat({Str("ID3"), {3, 0, 0, 0, 0, 0, 0x80}, good}), false, u""},
      {"tag larger than the file", Tag(3, good, 0, 100000), true, u"Kept"},
      {"frame larger than its tag", Tag(3, Cat({good, Frame(3, "TPE1", Latin1("x")), {}}), 0, good.size() + 11),
       true, u"Kept"},
      {"frame size past the end", Tag(3, Cat({good, Str("TPE1"), Plain(0x7FFFFFFF, 4), {0, 0}, Str("xy")})), true,
       u"Kept"},
      {"garbage frame id", Tag(3, Cat({good, Str("ti\x01t"), Plain(2, 4), {0, 0, 0, 'x'}})), true, u"Kept"},
      {"empty text frame", Tag(3, Cat({Frame(3, "TIT2", {}), Frame(3, "TPE1", Latin1("a"))})), true, u""},
      {"extended header larger than the tag", Tag(3, Cat({Plain(1000, 4), good}), 0x40), true, u""},
      {"2.4 extended header not sync-safe", Tag(4, Cat({{0x80, 0, 0, 6}, good}), 0x40), true, u""},
      {"compressed 2.2 tag", Tag(2, Frame(2, "TT2", Latin1("x")), 0x40), true, u""},
      {"compressed frame", Tag(3, Frame(3, "TIT2", Latin1("zz"), 0x80)), true, u""},
      {"encrypted frame", Tag(4, Frame(4, "TIT2", Latin1("zz"), 0x04)), true, u""},
      {"grouping byte only", Tag(4, Frame(4, "TIT2", {0x01}, 0x40)), true, u""},
      {"data length without data", Tag(4, Frame(4, "TIT2", {0, 0}, 0x01)), true, u""},
      {"comment without language", Tag(3, Cat({good, Frame(3, "COMM", {0, 'e'})})), true, u"Kept"},
      {"odd UTF-16", Tag(3, Frame(3, "TIT2", {1, 0xFF, 0xFE, 'K', 0, 'e'})), true, u"K"},
      {"unsynchronised tag ending in 0xFF", Tag(3, Cat({good, {0xFF}}), 0x80), true, u"Kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // An exact-size copy lets the address sanitizer see any read past the end.
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[c.bytes.size()]);
    std::memcpy(exact.get(), c.bytes.data(), c.bytes.size());
    Id3v2Tag tag;
    EXPECT_EQ(ReadId3v2Tag(exact.get(), c.bytes.size(), tag), c.isTag);
    EXPECT_TRUE(tag.title == c.title);
  }
}

std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  Id3v2Tag tag;
  const Bytes bytes = Tag(4, Frame(4, "TIT2", Cat({{3}, Str(utf8)})));
  ReadId3v2Tag(bytes.data(), bytes.size(), tag);
  return tag.title;
}

Id3v2Tag ReadFileTag(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(orv::codec::LoadFile(path, bytes)) << path;
  Id3v2Tag tag;
  EXPECT_TRUE(ReadId3v2Tag(bytes.data(), bytes.size(), tag)) << path;
  return tag;
}

// The reference taggers write over a copy of one short MP3.
TEST(Id3v2Tag, TagsOfReferenceTaggersReadBack) {
  using orvtest::Fixture;
  using orvtest::Quote;
  const std::string mp3 = Fixture("tagless.mp3", "sox -n -r 44100 -c 1 -t wav - synth 0.3 sine 440 | lame --quiet - {out}");
  struct Case {
    const char* name;
    std::string command;
    int version;
    std::string title;  // UTF-8
  };
  const std::string wide = "Caf\xC3\xA9 \xE2\x98\x83";
  const std::string eyeD3 = "cp " + Quote(mp3) + " {out} && eyeD3 --quiet --no-color ";
  const std::string fields = " -a Artist -A Album --recording-date 2001 -G Rock -n 7 -c Comment {out} >/dev/null";
  const std::string ffmpeg = "ffmpeg -loglevel error -y -i " + Quote(mp3) + " -c copy -write_xing 0 ";
  const std::string ffFields =
      " -metadata artist=Artist -metadata album=Album -metadata date=2001 -metadata genre=Rock "
      "-metadata track=7 -metadata comment=Comment {out}";
  const Case cases[] = {
      {"eyeD3 2.3 latin1", eyeD3 + "--to-v2.3 --encoding latin1 -t 'Caf\xC3\xA9'" + fields, 3, "Caf\xC3\xA9"},
      {"eyeD3 2.3 utf16", eyeD3 + "--to-v2.3 --encoding utf16 -t '" + wide + "'" + fields, 3, wide},
      {"eyeD3 2.4 latin1", eyeD3 + "--to-v2.4 --encoding latin1 -t 'Caf\xC3\xA9'" + fields, 4, "Caf\xC3\xA9"},
      {"eyeD3 2.4 utf16", eyeD3 + "--to-v2.4 --encoding utf16 -t '" + wide + "'" + fields, 4, wide},
      {"eyeD3 2.4 utf16-be", eyeD3 + "--to-v2.4 --encoding utf16-be -t '" + wide + "'" + fields, 4, wide},
      {"eyeD3 2.4 utf8", eyeD3 + "--to-v2.4 --encoding utf8 -t '" + wide + "'" + fields, 4, wide},
      {"ffmpeg 2.3", ffmpeg + "-id3v2_version 3 -metadata title='" + wide + "'" + ffFields, 3, wide},
      {"ffmpeg 2.4", ffmpeg + "-id3v2_version 4 -metadata title='" + wide + "'" + ffFields, 4, wide},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string(c.name) + ".mp3";
    const std::string path = Fixture(name, c.command);
    const Id3v2Tag tag = ReadFileTag(path);
    EXPECT_EQ(tag.version, c.version);
    EXPECT_TRUE(tag.title == Utf16(c.title));
    EXPECT_TRUE(tag.artist == u"Artist");
    EXPECT_TRUE(tag.album == u"Album");
    EXPECT_TRUE(tag.year == u"2001");
    EXPECT_TRUE(tag.genre == u"(17)" || tag.genre == u"Rock" || tag.genre == u"17" || tag.genre == u"(17)Rock");
    EXPECT_TRUE(tag.track == u"7" || tag.track == u"07" || tag.track.rfind(u"7/", 0) == 0);
    EXPECT_TRUE(tag.comment == u"Comment");
  }
}

}  // namespace
