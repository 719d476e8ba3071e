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
