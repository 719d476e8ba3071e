#include <orvcdaudio/CueSheet.h>

#include <gtest/gtest.h>

namespace {

using orv::cd::CueError;
using orv::cd::CueSheet;
using orv::cd::FileType;
using orv::cd::ParseCueSheet;
using orv::cd::TrackMode;

TEST(CueSheet, ReadsEveryFormOfTheSheet) {
    const char* text =
        "\xEF\xBB\xBFREM GENRE Hard Rock\r\n"
        "PERFORMER \"Somebody\"\r\n"
        "rem date 1999\r\n"
        "TITLE \"Caf\xC3\xA9 Album\"\r\n"
        "FILE \"disc one.bin\" BINARY\r\n"
        "  TRACK 01 MODE1/2352\r\n"
        "    TITLE Data Part\r\n"
        "    INDEX 01 00:00:00\r\n"
        "  track 02 audio\r\n"
        "    PERFORMER \"Guest\"\r\n"
        "    REM GENRE Jazz\r\n"
        "    PREGAP 00:02:00\r\n"
        "    INDEX 01 01:02:03\r\n"
        "    POSTGAP 00:00:10\r\n"
        "FILE plain name.raw MOTOROLA\n"
        "  TRACK 03 AUDIO\n"
        "    INDEX 00 00:00:00\n"
        "    INDEX 01 00:01:74\n"
        "    INDEX 02 00:03:00\n"
        "FILE \"t4.wav\" WAVE\n"
        "  TRACK 04 MODE2/2352\n"
        "    INDEX 01 00:00:00";
    CueSheet sheet;
    CueError error;
    ASSERT_TRUE(ParseCueSheet(text, sheet, error)) << error.Text();
    ASSERT_EQ(sheet.files.size(), 3u);
    EXPECT_EQ(sheet.files[0].name, "disc one.bin");
    EXPECT_EQ(sheet.files[1].name, "plain name.raw");
    EXPECT_EQ(sheet.files[1].type, FileType::Motorola);
    EXPECT_EQ(sheet.files[2].type, FileType::Wave);
    ASSERT_EQ(sheet.tracks.size(), 4u);
    EXPECT_EQ(sheet.tracks[0].mode, TrackMode::Mode1Raw);
    EXPECT_EQ(sheet.tracks[1].pregap, 150);
    EXPECT_EQ(sheet.tracks[1].postgap, 10);
    EXPECT_EQ(sheet.tracks[1].Index01(), (60 + 2) * 75 + 3);
    EXPECT_EQ(sheet.tracks[2].file, 1u);
    EXPECT_EQ(sheet.tracks[2].FirstIndex(), 0);
    EXPECT_EQ(sheet.tracks[2].Index01(), 149);
    EXPECT_EQ(sheet.tracks[3].mode, TrackMode::Mode2Raw);
    // The texts, as written; a track's REM is not the disc's.
    EXPECT_EQ(sheet.title, "Caf\xC3\xA9 Album");
    EXPECT_EQ(sheet.performer, "Somebody");
    EXPECT_EQ(sheet.date, "1999");
    EXPECT_EQ(sheet.genre, "Hard Rock");
    EXPECT_EQ(sheet.tracks[0].title, "Data Part");
    EXPECT_EQ(sheet.tracks[1].performer, "Guest");
    EXPECT_EQ(sheet.tracks[1].title, "");
}

TEST(CueSheet, DamagedSheetsSayWhatAndWhere) {
    const std::string file = "FILE \"a.bin\" BINARY\n";
    const std::string track1 = file + "TRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    std::string hundred = file;
    for (int t = 1; t <= 100; ++t) hundred += "TRACK " + std::to_string(t) + " AUDIO\nINDEX 01 00:00:00\n";
    struct Case {
        std::string text;
        int line;
        const char* words;
    } cases[] = {
        {"", 0, "no tracks"},
        {"TRACK 01 AUDIO\n", 1, "before any FILE"},
        {file + "TRACK 02 AUDIO\n", 2, "out of order"},
        {track1 + "TRACK 03 AUDIO\n", 4, "out of order"},
        {file + "TRACK 00 AUDIO\n", 2, "bad track number"},
        {file + "TRACK 01 MODE1/2048\n", 2, "unsupported track type"},
        {"FILE a.mp3 MP3\n", 1, "unsupported file type"},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:60:00\n", 3, "bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:00:75\n", 3, "bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 01 0:x:00\n", 3, "bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:00\n", 3, "bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 01 99999:00:00\n", 3, "bad time"},
        {file + "TRACK 01 AUDIO\nINDEX 00 00:00:00\n", 2, "no INDEX 01"},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:02:00\nINDEX 02 00:01:00\n", 4, "lies before"},
        {file + "TRACK 01 AUDIO\nINDEX 02 00:00:00\n", 3, "before INDEX 01"},
        {track1 + "TRACK 02 AUDIO\nINDEX 01 00:00:00\nINDEX 01 00:00:00\n", 6, "out of order"},
        {file + "TRACK 01 AUDIO\nINDEX 01 00:05:00\nTRACK 02 AUDIO\nINDEX 01 00:04:00\n", 5, "starts before"},
        {track1 + "PREGAP 00:02:00\n", 4, "PREGAP after an INDEX"},
        {file + "INDEX 01 00:00:00\n", 2, "outside a track"},
        {track1 + "FILE b.bin BINARY\n", 0, "has no tracks"},
        {track1 + "WOBBLE 1\n", 4, "unknown command"},
        {track1 + std::string("REM \0", 5), 0, "not text"},
        {hundred, 200, "more than 99 tracks"},
    };
    for (const Case& c : cases) {
        CueSheet sheet;
        CueError error;
        EXPECT_FALSE(ParseCueSheet(c.text, sheet, error)) << c.text;
        EXPECT_NE(error.message.find(c.words), std::string::npos) << c.text << " gave: " << error.message;
        EXPECT_EQ(error.line, c.line) << c.text;
    }
}

}  // namespace
