// M3U, M3U8 and PLS lists: what other programs write reads right, and what we write
// reads back as the same list.
#include <gtest/gtest.h>

#include "ListText.h"

namespace {

using namespace listtext;

struct Expected {
    std::string path;
    std::string title;
    long seconds;
};

void ExpectEntries(const std::vector<ListEntry>& entries, const std::vector<Expected>& expected) {
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].path, expected[i].path) << i;
        EXPECT_EQ(entries[i].title, expected[i].title) << i;
        EXPECT_EQ(entries[i].seconds, expected[i].seconds) << i;
    }
}

TEST(ListText, FormatsByExtension) {
    EXPECT_EQ(FormatOfPath("C:\\a\\List.M3U"), ListFormat::M3u);
    EXPECT_EQ(FormatOfPath("C:\\a\\list.m3u8"), ListFormat::M3u8);
    EXPECT_EQ(FormatOfPath("x.Pls"), ListFormat::Pls);
    EXPECT_EQ(FormatOfPath("song.mp3"), ListFormat::None);
    EXPECT_EQ(FormatOfPath("m3u"), ListFormat::None);
    EXPECT_EQ(FolderOf("C:\\Music\\list.m3u"), "C:\\Music");
    EXPECT_EQ(FolderOf("D:/x/y.pls"), "D:/x");
}

TEST(ListText, M3uOfOtherProgramsReadsRight) {
    const std::string text =
        "\xEF\xBB\xBF#EXTM3U\r\n"
        "#EXTINF:215,Artist - Song One\r\n"
        "Sub Folder/one.mp3\r\n"
        "\r\n"
        "   \n"
        "# a comment\n"
        "C:\\Other\\two.mp3\n"
        "#EXTINF:-1,Stream\n"
        "http://radio.example/stream\n"
        "D:/Forward/Slashes/three.wav\r"
        "..\\Up\\.\\four.mp3\n"
        "\\Rooted\\five.mp3\n"
        "file:///E:/With%20Space/six.mp3\n"
        "\\\\server\\share\\seven.mp3";
    ExpectEntries(ReadList(text, ListFormat::M3u, "C:\\Music\\Lists"),
                  {{"C:\\Music\\Lists\\Sub Folder\\one.mp3", "Artist - Song One", 215},
                   {"C:\\Other\\two.mp3", "", -1},
                   {"D:\\Forward\\Slashes\\three.wav", "", -1},
                   {"C:\\Music\\Up\\four.mp3", "", -1},
                   {"C:\\Rooted\\five.mp3", "", -1},
                   {"E:\\With Space\\six.mp3", "", -1},
                   {"\\\\server\\share\\seven.mp3", "", -1}});
}

TEST(ListText, PlsReadsInNumberOrder) {
    const std::string text =
        "[playlist]\r\n"
        "NumberOfEntries=3\r\n"
        "File2=C:/b.mp3\r\n"
        "Title2=Bee\r\n"
        "file1=a.mp3\r\n"
        "Length1=61\r\n"
        "; comment\r\n"
        "File10=sub\\c.mp3\r\n"
        "Title4=no file\r\n"
        "File5=http://radio/stream\r\n"
        "Filex=ignored.mp3\r\n"
        "Version=2\r\n";
    ExpectEntries(ReadList(text, ListFormat::Pls, "D:\\Lists"),
                  {{"D:\\Lists\\a.mp3", "", 61}, {"C:\\b.mp3", "Bee", -1}, {"D:\\Lists\\sub\\c.mp3", "", -1}});
}

TEST(ListText, WrittenListsReadBackTheSame) {
    const std::vector<ListEntry> entries = {
        {"C:\\Music\\a.mp3", "Artist - A", 180},
        {"C:\\Music\\Sub\\b.wav", "", 42},
        {"C:\\MusicOther\\c.mp3", "", -1},
        {"D:\\Elsewhere\\d.mp3", "Title, with comma", -1},
    };
    const std::string text = WriteM3u(entries, "C:\\Music");
    EXPECT_EQ(text,
              "#EXTM3U\r\n#EXTINF:180,Artist - A\r\na.mp3\r\n#EXTINF:42,\r\nSub\\b.wav\r\nC:\\MusicOther\\c.mp3\r\n"
              "#EXTINF:-1,Title, with comma\r\nD:\\Elsewhere\\d.mp3\r\n");
    const std::vector<ListEntry> back = ReadList(text, ListFormat::M3u8, "C:\\Music");
    ASSERT_EQ(back.size(), entries.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].path, entries[i].path);
        EXPECT_EQ(back[i].title, entries[i].title);
        EXPECT_EQ(back[i].seconds, entries[i].seconds);
    }
}

}  // namespace
