// CID3Tag against real files: the bytes it reads and the bytes it writes.
#include <cstring>

#include "ID3Tag.h"
#include "MetaTestSupport.h"
#include "TelmarIds.h"
#include "UiScript.h"

namespace {

using ID3TagTest = MetaTest;

std::vector<BYTE> Tail(const std::vector<BYTE>& bytes) {
    return std::vector<BYTE>(bytes.end() - 128, bytes.end());
}

bool AllZero(const std::vector<BYTE>& bytes, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(GenreTable, HasTheEightyNamesInNumberOrder) {
    EXPECT_STREQ(GenreName(0), "Blues");
    EXPECT_STREQ(GenreName(14), "R&B");
    EXPECT_STREQ(GenreName(40), "AlternRock");
    EXPECT_STREQ(GenreName(62), "Pop//Funk");
    EXPECT_STREQ(GenreName(67), "Psychadelic");
    EXPECT_STREQ(GenreName(78), "Rock & Roll");
    EXPECT_STREQ(GenreName(79), "Hard Rock");
    EXPECT_EQ(GenreName(80), nullptr);
    EXPECT_EQ(GenreName(kNoGenre), nullptr);
    EXPECT_EQ(GenreName(-1), nullptr);
    for (int i = 0; i < kGenreCount; ++i) {
        ASSERT_NE(g_apszGenreNames[i], nullptr);
        for (int j = i + 1; j < kGenreCount; ++j) EXPECT_STRNE(g_apszGenreNames[i], g_apszGenreNames[j]);
    }
}

TEST_F(ID3TagTest, ReadsFieldsUpToTheirNulOrEndWithoutTrailingSpace) {
    std::vector<BYTE> tag = TagBytes("TAG", "", "  Lead Artist   ", "Album\tName \r\n", "1999", "Note", 17);
    std::memcpy(&tag[3], "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", 30);  // fills the field, no NUL
    tag[97 + 28] = 0;                                             // track number after a NUL
    tag[97 + 29] = 7;
    CID3Tag id3;
    id3.m_strPath = MakeFile("read.mp3", 1000, tag).c_str();
    ASSERT_TRUE(id3.ReadTag());
    EXPECT_TRUE(id3.m_bHasTag);
    EXPECT_EQ(id3.m_dwFileLength, 1128u);
    EXPECT_STREQ(id3.GetTitle(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    EXPECT_STREQ(id3.GetArtist(), "  Lead Artist");
    EXPECT_STREQ(id3.GetAlbum(), "Album\tName");
    EXPECT_STREQ(id3.GetYear(), "1999");
    EXPECT_STREQ(id3.GetComment(), "Note");
    EXPECT_EQ(id3.m_byGenre, 17);
}

// Latin-1 and UTF-8 frame data.
std::string L1(const char* text) {
    return std::string(1, '\0') + text;
}
std::string U8(const char* text) {
    return std::string(1, '\3') + text;
}

TEST_F(ID3TagTest, WithoutID3v1TheID3v2TextsShowInTheCodePage) {
    ASSERT_EQ(::GetACP(), 1252u) << "the expected texts are those of the Western code page";
    const std::vector<BYTE> v2 = Id3v2Bytes({{"TIT2", U8("Caf\xC3\xA9 \xE2\x98\x83 \xC5\x93uvre")},
                                             {"TPE1", L1("Ren\xE9")},
                                             {"TALB", L1("Line\nBreak")},
                                             {"TYER", L1("1998")},
                                             {"TCON", L1("(17)")},
                                             {"COMM", std::string("\0eng\0Note", 9)}});
    CID3Tag id3;
    id3.m_strPath = MakeFile("v2only.mp3", 700, {}, v2).c_str();
    EXPECT_FALSE(id3.ReadTag()) << "no ID3v1 tag";
    EXPECT_FALSE(id3.m_bHasTag);
    EXPECT_EQ(id3.m_nSource, TAG_SOURCE_ID3V2);
    EXPECT_EQ(id3.m_nId3v2Version, 3);
    EXPECT_STREQ(id3.GetTitle(), "Caf\xE9 ? \x9Cuvre");
    EXPECT_STREQ(id3.GetArtist(), "Ren\xE9");
    EXPECT_STREQ(id3.GetAlbum(), "Line Break");
    EXPECT_STREQ(id3.GetYear(), "1998");
    EXPECT_STREQ(id3.GetComment(), "Note");
    EXPECT_EQ(id3.m_byGenre, 17);
    // Nothing to cut: the end of the file is audio.
    const std::vector<BYTE> before = ReadAll(id3.m_strPath.GetString());
    EXPECT_TRUE(id3.RemoveTag());
    EXPECT_EQ(ReadAll(id3.m_strPath.GetString()), before);

    // An ID3v1 tag wins; a tag claiming more than the file still gives what it holds.
    id3.m_strPath = MakeFile("both.mp3", 700, TagBytes("TAG", "One", "", "", "", "", 3), v2).c_str();
    EXPECT_TRUE(id3.ReadTag());
    EXPECT_EQ(id3.m_nSource, TAG_SOURCE_ID3V1);
    EXPECT_STREQ(id3.GetTitle(), "One");
    std::vector<BYTE> cut = Id3v2Bytes({{"TIT2", L1("Cut short")}, {"TPE1", L1("Never there")}});
    cut[8] = 0x7F;  // the size now claims 16 Kb more
    cut.resize(cut.size() - 4);
    id3.m_strPath = MakeFile("cut.mp3", 0, {}, cut).c_str();
    EXPECT_FALSE(id3.ReadTag());
    EXPECT_STREQ(id3.GetTitle(), "Cut short");
    EXPECT_STREQ(id3.GetArtist(), "");
    id3.m_strPath = MakeFile("empty2.mp3", 500, {}, Id3v2Bytes({{"TXXX", L1("x")}})).c_str();
    EXPECT_FALSE(id3.ReadTag());
    EXPECT_EQ(id3.m_nSource, TAG_SOURCE_NONE);
}

TEST(Id3v2Genre, NumbersAndNamesGiveTheGenreNumber) {
    const std::pair<const char*, BYTE> cases[] = {
        {"(17)", 17},     {"17", 17},         {"(17)Rock", 17},     {"rock", 17},   {"  Rock ", 17},
        {"Hard Rock", 79}, {"(255)", 255},    {"(256)", kNoGenre},  {"(-1)", kNoGenre},
        {"Chiptune", kNoGenre}, {"", kNoGenre}, {"(abc)", kNoGenre}, {"17x", kNoGenre}, {"(RX)", kNoGenre},
    };
    for (const auto& c : cases) EXPECT_EQ(GenreFromId3v2(c.first), c.second) << c.first;
}

TEST_F(ID3TagTest, FilesWithoutTheExactMarkerHaveNoTag) {
    CID3Tag id3;
    id3.m_strTitle = "stale";
    EXPECT_FALSE(id3.ReadTag()) << "empty path";
    EXPECT_STREQ(id3.GetTitle(), "stale") << "an empty path changes nothing";

    id3.m_strPath = MakeFile("lower.mp3", 500, TagBytes("tag", "Title", "", "", "", "", 3)).c_str();
    EXPECT_FALSE(id3.ReadTag());
    EXPECT_FALSE(id3.m_bHasTag);
    EXPECT_STREQ(id3.GetTitle(), "");
    EXPECT_EQ(id3.m_byGenre, kNoGenre);

    id3.m_strPath = MakeFile("short.mp3", 60).c_str();
    EXPECT_FALSE(id3.ReadTag());
    EXPECT_EQ(id3.m_dwFileLength, 60u);

    id3.m_strPath = (m_dir + "\\missing.mp3").c_str();
    EXPECT_FALSE(id3.ReadTag());
}

TEST_F(ID3TagTest, WritesNulPaddedFieldsAtTheirOffsets) {
    const std::string path = MakeFile("write.mp3", 2000);
    CID3Tag id3;
    id3.m_strPath = path.c_str();
    id3.m_strTitle = "Abc";
    id3.m_strArtist = "Artist";
    id3.m_strAlbum = "Album";
    id3.m_strYear = "2001";
    id3.m_strComment = "Comment";
    id3.m_byGenre = 79;
    ASSERT_TRUE(id3.WriteTag());
    EXPECT_TRUE(id3.m_bHasTag);

    const std::vector<BYTE> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 2128u);
    const std::vector<BYTE> tag = Tail(bytes);
    EXPECT_EQ(0, std::memcmp(tag.data(), "TAGAbc", 6));
    EXPECT_TRUE(AllZero(tag, 6, 33));
    EXPECT_EQ(0, std::memcmp(&tag[33], "Artist", 6));
    EXPECT_TRUE(AllZero(tag, 39, 63));
    EXPECT_EQ(0, std::memcmp(&tag[63], "Album", 5));
    EXPECT_EQ(0, std::memcmp(&tag[93], "2001", 4));
    EXPECT_EQ(0, std::memcmp(&tag[97], "Comment", 7));
    EXPECT_TRUE(AllZero(tag, 104, 127));
    EXPECT_EQ(tag[127], 79);
}

// Texts longer than their fields are cut at the field, never spilling into the next.
TEST_F(ID3TagTest, OverlongTextsStayInsideTheirFields) {
    const std::string path = MakeFile("long.mp3", 300);
    CID3Tag id3;
    id3.m_strPath = path.c_str();
    id3.m_strTitle = CString('T', 45);
    id3.m_strArtist = CString('A', 31);
    id3.m_strYear = "199999";
    id3.m_strComment = CString('C', 200);
    id3.m_byGenre = 5;
    ASSERT_TRUE(id3.WriteTag());
    const std::vector<BYTE> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 428u);
    const std::vector<BYTE> tag = Tail(bytes);
    EXPECT_EQ(tag[32], 'T');
    EXPECT_EQ(tag[33], 'A');
    EXPECT_EQ(tag[62], 'A');
    EXPECT_EQ(tag[63], 0) << "album stays empty";
    EXPECT_EQ(0, std::memcmp(&tag[93], "1999", 4));
    EXPECT_EQ(tag[97], 'C');
    EXPECT_EQ(tag[126], 'C');
    EXPECT_EQ(tag[127], 5) << "the genre byte is not overwritten";
}

TEST_F(ID3TagTest, WritingOverAReadTagReplacesIt) {
    const std::string path = MakeFile("replace.mp3", 700, TagBytes("TAG", "Old", "Old", "", "", "", 1));
    CID3Tag id3;
    id3.m_strPath = path.c_str();
    ASSERT_TRUE(id3.ReadTag());
    id3.m_strTitle = "New";
    ASSERT_TRUE(id3.WriteTag());
    ASSERT_TRUE(id3.WriteTag());
    const std::vector<BYTE> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 828u) << "one tag, overwritten in place";
    EXPECT_EQ(0, std::memcmp(&bytes[700], "TAGNew", 6));

    // A file too short to hold a tag gets one appended, never cut.
    const std::string shortPath = MakeFile("tiny.mp3", 50);
    CID3Tag tiny;
    tiny.m_strPath = shortPath.c_str();
    EXPECT_FALSE(tiny.ReadTag());
    tiny.m_bHasTag = TRUE;  // as if the file had been cut behind our back
    ASSERT_TRUE(tiny.WriteTag());
    const std::vector<BYTE> tinyBytes = ReadAll(shortPath);
    ASSERT_EQ(tinyBytes.size(), 178u);
    EXPECT_EQ(0, std::memcmp(&tinyBytes[50], "TAG", 3));
}

TEST_F(ID3TagTest, AFileThatCannotBeOpenedForWritingShowsAMessage) {
    const std::string path = MakeFile("locked.mp3", 400);
    CFileLock lock(path);
    ASSERT_TRUE(lock.Held());
    CID3Tag id3;
    id3.m_strPath = path.c_str();
    id3.m_strTitle = "Title";

    orvtest::CUiScript ui(kMetaTestTitle);
    std::string text;
    BOOL bWritten = TRUE;
    ui.Run([&](orvtest::CUiScript& script) { text = script.AnswerBox(IDOK); }, [&] { bWritten = id3.WriteTag(); });
    ASSERT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_FALSE(bWritten);
    EXPECT_EQ(text, Text(IDS_TAG_WRITE_OPEN_FAILED).GetString());
    EXPECT_FALSE(id3.m_bHasTag);
    lock.Release();
    EXPECT_EQ(ReadAll(path).size(), 400u);
}

TEST_F(ID3TagTest, RemovingCutsExactlyTheTagAndOnlyAKnownOne) {
    const std::string path = MakeFile("cut.mp3", 300, TagBytes("TAG", "Title", "", "", "", "", 1));
    CID3Tag id3;
    id3.m_strPath = path.c_str();
    ASSERT_TRUE(id3.ReadTag());
    {
        CFileLock lock(path);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(id3.RemoveTag());
        EXPECT_TRUE(id3.m_bHasTag);
    }
    EXPECT_EQ(ReadAll(path).size(), 428u);

    ASSERT_TRUE(id3.RemoveTag());
    EXPECT_FALSE(id3.m_bHasTag);
    EXPECT_EQ(ReadAll(path).size(), 300u);
    // The last bytes are audio now.
    EXPECT_TRUE(id3.RemoveTag());
    EXPECT_EQ(ReadAll(path).size(), 300u);
}

}  // namespace
