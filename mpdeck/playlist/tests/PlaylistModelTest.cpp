// The playlist model on the real INI file: the saved text, loading rules, the
// missing-file questions, shuffle orders and single files.
#include <algorithm>
#include <numeric>

#include "PlaylistTestApp.h"
#include "TelmarIds.h"

namespace {

void AddEntry(CPlaylistModel& model, const std::string& path, BYTE type) {
    model.m_songList.AddTail(new CSongEntry(path.c_str(), type));
}

std::vector<std::string> Paths(const CPlaylistModel& model) {
    std::vector<std::string> paths;
    for (int i = 0; i < model.m_songList.GetCount(); ++i) paths.emplace_back(model.m_songList.GetAt(i)->m_strPath);
    return paths;
}

bool IsPermutation(const std::vector<WORD>& order, size_t count) {
    if (order.size() != count) return false;
    std::vector<WORD> sorted(order);
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 0; i < count; ++i) {
        if (sorted[i] != static_cast<WORD>(i)) return false;
    }
    return true;
}

std::string Formatted(const std::string& format, const std::string& arg) {
    CString text;
    text.Format(format.c_str(), arg.c_str());
    return text.GetString();
}

}  // namespace

TEST_F(PlaylistTest, SavedPlaylistIsTheDocumentedIniText) {
    m_app.m_strPlaylistName = "Evening";
    AddEntry(m_app, "C:\\Music\\a.mp3", SONG_MPEG);
    AddEntry(m_app, "C:\\Music\\b.wav", SONG_WAVE);
    m_app.m_bPlaylistModified = 1;

    m_app.SavePlaylist(5);

    EXPECT_EQ("[Evening]\r\nTotal=2\r\n1=C:\\Music\\a.mp3,MPEG\r\n2=C:\\Music\\b.wav,WAVE\r\nPlayMode=5\r\n", IniText());
    EXPECT_EQ(0, m_app.m_bPlaylistModified);
}

TEST_F(PlaylistTest, SavingFewerEntriesLeavesNoKeyBeyondTheTotal) {
    WriteIni("[Mix]\r\nTotal=5\r\n1=C:\\1.mp3,MPEG\r\n2=C:\\2.mp3,MPEG\r\n3=C:\\3.mp3,MPEG\r\n"
             "4=C:\\4.mp3,MPEG\r\n5=C:\\5.mp3,MPEG\r\nPlayMode=2\r\n[Playlist]\r\nTotal=1\r\n1=Mix\r\n");
    m_app.m_strPlaylistName = "Mix";
    AddEntry(m_app, "C:\\a.mp3", SONG_MPEG);
    AddEntry(m_app, "C:\\b.wav", SONG_WAVE);
    AddEntry(m_app, "C:\\c.wav", SONG_UNKNOWN);

    m_app.SavePlaylist(6);

    const std::vector<std::string> expected = {"Total=3", "1=C:\\a.mp3,MPEG", "2=C:\\b.wav,WAVE",
                                               "3=C:\\c.wav,WAVE", "PlayMode=6"};
    EXPECT_EQ(expected, SectionLines("Mix"));
    // The index is not the model's to change.
    EXPECT_EQ((std::vector<std::string>{"Total=1", "1=Mix"}), SectionLines("Playlist"));
}

TEST_F(PlaylistTest, UnknownTypeSavesAsWaveAndComesBackAsWave) {
    const std::string song = MakeFile("odd.ogg");
    m_app.m_strPlaylistName = "Odd";
    AddEntry(m_app, song, SONG_UNKNOWN);
    m_app.SavePlaylist(1);
    EXPECT_EQ(song + ",WAVE", CPlaylistFile().ReadNumbered("Odd", 1, "").GetString());

    m_app.LoadPlaylist();
    ASSERT_EQ(1, m_app.m_songList.GetCount());
    EXPECT_EQ(SONG_WAVE, m_app.m_songList.GetAt(0)->m_nType);
    EXPECT_EQ(song, std::string(m_app.m_songList.GetAt(0)->m_strPath));
}

TEST_F(PlaylistTest, LoadCutsTypeWordsAndSkipsUntitledAndMissingKeys) {
    const std::string a = MakeFile("a.mp3");
    const std::string b = MakeFile("b.wav");
    WriteIni("[Night]\r\nTotal=6\r\n1=" + a + ",MPEG\r\n2=Untitled\r\n4=" + b + ",WAVE\r\n5=Z:\\x.mp3\r\n6=" + a +
             ",mpeg\r\nPlayMode=4\r\n");
    m_app.m_strPlaylistName = "Night";
    m_app.m_bPlaylistModified = 1;

    std::string asked;
    m_ui.Run([&](CUiScript& ui) { asked = ui.AnswerBox(IDNO); }, [&] { m_app.LoadPlaylist(); });

    EXPECT_TRUE(m_ui.m_errors.empty()) << m_ui.m_errors.front();
    EXPECT_TRUE(m_ui.m_unexpected.empty()) << m_ui.m_unexpected.front();
    // Five characters always go, comma or not: the kept path is "Z:\", which is no file.
    EXPECT_EQ(Formatted(Text(IDS_ASK_DROP_MISSING_SONG), "Z:\\"), asked);
    EXPECT_EQ((std::vector<std::string>{a, b, "Z:\\", a}), Paths(m_app));
    EXPECT_EQ(SONG_MPEG, m_app.m_songList.GetAt(0)->m_nType);
    EXPECT_EQ(SONG_WAVE, m_app.m_songList.GetAt(1)->m_nType);
    EXPECT_EQ(SONG_UNKNOWN, m_app.m_songList.GetAt(2)->m_nType);
    EXPECT_EQ(SONG_UNKNOWN, m_app.m_songList.GetAt(3)->m_nType);  // the type word is case-sensitive
    EXPECT_EQ(0, m_app.m_songList.GetAt(0)->m_nLength);
    EXPECT_EQ(4, m_app.m_nPlayMode);
    EXPECT_EQ(1, m_app.m_bPlaylistModified);
}

TEST_F(PlaylistTest, EmptyOrUnknownNameLoadsNothingInPlainMode) {
    WriteIni("[Night]\r\nTotal=1\r\n1=C:\\a.mp3,MPEG\r\nPlayMode=6\r\n");
    for (const char* name : {"", "Nowhere"}) {
        AddEntry(m_app, "C:\\old.mp3", SONG_MPEG);
        m_app.m_nPlayMode = 6;
        m_app.m_strPlaylistName = name;
        m_app.LoadPlaylist();
        EXPECT_EQ(0, m_app.m_songList.GetCount()) << name;
        EXPECT_EQ(1, m_app.m_nPlayMode) << name;
    }
}

TEST_F(PlaylistTest, MissingFilesAreAskedForOneByOneAndCancelKeepsWhatWasRead) {
    const std::string first = MakeFile("1.mp3");
    const std::string fourth = MakeFile("4.mp3");
    const std::string missing2 = m_dir + "\\gone2.mp3";
    const std::string missing3 = m_dir + "\\gone3.wav";
    const std::string missing5 = m_dir + "\\gone5.mp3";
    WriteIni("[Trip]\r\nTotal=6\r\n1=" + first + ",MPEG\r\n2=" + missing2 + ",MPEG\r\n3=" + missing3 +
             ",WAVE\r\n4=" + fourth + ",MPEG\r\n5=" + missing5 + ",MPEG\r\n6=" + first + ",MPEG\r\n");
    m_app.m_strPlaylistName = "Trip";

    std::vector<std::string> texts;
    bool quietAfter = false;
    m_ui.Run(
        [&](CUiScript& ui) {
            texts.push_back(ui.AnswerBox(IDYES));
            texts.push_back(ui.AnswerBox(IDNO));
            texts.push_back(ui.AnswerBox(IDCANCEL));
            texts.push_back(ui.AnswerBox(IDOK));
            quietAfter = ui.NoBoxFor(400);
        },
        [&] { m_app.LoadPlaylist(); });

    EXPECT_TRUE(m_ui.m_errors.empty()) << m_ui.m_errors.front();
    const std::string ask = Text(IDS_ASK_DROP_MISSING_SONG);
    EXPECT_EQ((std::vector<std::string>{Formatted(ask, missing2), Formatted(ask, missing3), Formatted(ask, missing5),
                                        Text(IDS_PLAYLIST_INCOMPLETE)}),
              texts);
    EXPECT_TRUE(quietAfter) << "a second notice after Cancel";
    EXPECT_EQ((std::vector<std::string>{first, missing3, fourth}), Paths(m_app));
}

TEST_F(PlaylistTest, DroppedFilesAreReportedOnceAtTheEnd) {
    const std::string kept = MakeFile("kept.wav");
    WriteIni("[Trip]\r\nTotal=3\r\n1=" + m_dir + "\\a.mp3,MPEG\r\n2=" + kept + ",WAVE\r\n3=" + m_dir +
             "\\b.mp3,MPEG\r\n");
    m_app.m_strPlaylistName = "Trip";

    std::vector<std::string> texts;
    m_ui.Run(
        [&](CUiScript& ui) {
            texts.push_back(ui.AnswerBox(IDYES));
            texts.push_back(ui.AnswerBox(IDYES));
            texts.push_back(ui.AnswerBox(IDOK));
        },
        [&] { m_app.LoadPlaylist(); });

    EXPECT_TRUE(m_ui.m_errors.empty()) << m_ui.m_errors.front();
    EXPECT_TRUE(m_ui.m_unexpected.empty()) << m_ui.m_unexpected.front();
    ASSERT_EQ(3u, texts.size());
    EXPECT_EQ(Text(IDS_PLAYLIST_INCOMPLETE), texts[2]);
    EXPECT_EQ((std::vector<std::string>{kept}), Paths(m_app));
}

TEST_F(PlaylistTest, DamagedTotalEndsWithTheEntriesThatExist) {
    const std::string a = MakeFile("a.mp3");
    WriteIni("[Big]\r\nTotal=2000000000\r\n1=" + a + ",MPEG\r\n");
    m_app.m_strPlaylistName = "Big";
    const DWORD start = ::GetTickCount();
    m_app.LoadPlaylist();
    EXPECT_EQ((std::vector<std::string>{a}), Paths(m_app));
    EXPECT_LT(::GetTickCount() - start, 5000u);

    // Saving over it does not try to clear two thousand million keys either.
    m_app.SavePlaylist(m_app.m_nPlayMode);
    EXPECT_EQ((std::vector<std::string>{"Total=1", "1=" + a + ",MPEG", "PlayMode=1"}), SectionLines("Big"));
}

TEST_F(PlaylistTest, ShuffleOrdersArePermutationsForAnyCount) {
    for (int count : {0, 1, 2, 999, 32769, kMaxSongs}) {
        m_app.m_songList.RemoveAll();
        for (int i = 0; i < count; ++i) AddEntry(m_app, "C:\\s.mp3", SONG_MPEG);
        m_app.BuildShuffleOrder();
        EXPECT_TRUE(IsPermutation(m_app.m_shuffleOrder, static_cast<size_t>(count))) << count;
    }
}

TEST_F(PlaylistTest, ShuffleOrdersDifferBetweenPasses) {
    for (int i = 0; i < 999; ++i) AddEntry(m_app, "C:\\s.mp3", SONG_MPEG);
    m_app.BuildShuffleOrder();
    const std::vector<WORD> first = m_app.m_shuffleOrder;
    m_app.BuildShuffleOrder();
    EXPECT_NE(first, m_app.m_shuffleOrder);
    std::vector<WORD> identity(first.size());
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_NE(identity, first);
}

TEST_F(PlaylistTest, SingleFileIsTypedByTheFilePatterns) {
    m_app.m_strPlaylistName = "Kept";
    AddEntry(m_app, "C:\\before.mp3", SONG_MPEG);
    const struct {
        const char* path;
        BYTE type;
    } cases[] = {
        {"C:\\Music\\One.MP3", SONG_MPEG}, {"C:\\two.mp2", SONG_MPEG}, {"C:\\three.mpa", SONG_MPEG},
        {"C:\\four.Wav", SONG_WAVE},       {"C:\\five.ogg", SONG_UNKNOWN}, {"C:\\six.wave", SONG_UNKNOWN},
    };
    for (const auto& c : cases) {
        m_app.m_nPlayMode = 6;
        m_app.LoadSingleFile(c.path);
        const CSongEntry* entry = m_app.m_songList.GetAt(m_app.m_songList.GetCount() - 1);
        EXPECT_EQ(std::string(c.path), std::string(entry->m_strPath));
        EXPECT_EQ(c.type, entry->m_nType) << c.path;
        EXPECT_EQ(1, m_app.m_nPlayMode);
    }
    EXPECT_EQ(7, m_app.m_songList.GetCount());
    EXPECT_EQ(std::string("Kept"), std::string(m_app.m_strPlaylistName));
}

TEST(SongEntryTest, TypeTexts) {
    EXPECT_STREQ("???", CSongEntry::TypeText(SONG_UNKNOWN));
    EXPECT_STREQ("WAVE", CSongEntry::TypeText(SONG_WAVE));
    EXPECT_STREQ("MPEG", CSongEntry::TypeText(SONG_MPEG));
    EXPECT_STREQ("???", CSongEntry::TypeText(7));
}
