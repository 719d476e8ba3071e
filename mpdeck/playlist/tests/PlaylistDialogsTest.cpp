// The Save, Open and Select Song dialogs on the real playlist index, driven as a user
// would: names typed, rows selected, buttons pressed, message boxes answered.
#include "OpenPlaylistDlg.h"
#include "PlaylistTestApp.h"
#include "SavePlaylistDlg.h"
#include "SelectSongDlg.h"
#include "TelmarIds.h"
#include "TestSupport.h"

namespace {

const char kSaveCaption[] = "Save Playlist";
const char kOpenCaption[] = "Open Playlist";
const char kSelectCaption[] = "Select Song to Play";

using Lines = std::vector<std::string>;

std::string EditText(HWND hDlg, int id) {
    char text[256] = {};
    ::GetDlgItemTextA(hDlg, id, text, sizeof text);
    return text;
}

}  // namespace

class PlaylistDialogsTest : public PlaylistTest {
protected:
    void ExpectCleanScript() {
        EXPECT_TRUE(m_ui.m_errors.empty()) << m_ui.m_errors.front();
        EXPECT_TRUE(m_ui.m_unexpected.empty()) << m_ui.m_unexpected.front();
    }
};

TEST_F(PlaylistDialogsTest, SaveUnderANewNameAddsItAsTheNextIndexKey) {
    WriteIni("[Playlist]\r\nTotal=2\r\n1=Beta\r\n2=Alpha\r\n");
    INT_PTR result = 0;
    Lines rows;
    bool okAtStart = true, okAfterTyping = false;
    std::string asked;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSaveCaption);
            if (!hDlg) return;
            rows = CUiScript::ListBoxRows(hDlg, IDC_SAVED_PLAYLISTS);
            okAtStart = CUiScript::IsEnabled(hDlg, IDOK);
            CUiScript::SetText(hDlg, IDC_PLAYLIST_NAME_EDIT, "Gamma");
            okAfterTyping = CUiScript::IsEnabled(hDlg, IDOK);
            CUiScript::Click(hDlg, IDOK);
            asked = ui.AnswerBox(IDYES);
        },
        [&] { result = CSavePlaylistDlg(m_app).DoModal(); });

    ExpectCleanScript();
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Lines{"Alpha", "Beta"}), rows);
    EXPECT_FALSE(okAtStart);
    EXPECT_TRUE(okAfterTyping);
    EXPECT_EQ(Text(IDS_ASK_ADD_PLAYLIST), asked);
    EXPECT_EQ("Gamma", std::string(m_app.m_strPlaylistName));
    EXPECT_EQ((Lines{"Total=3", "1=Beta", "2=Alpha", "3=Gamma"}), SectionLines("Playlist"));

    // Saving again under the current name asks nothing and adds nothing.
    std::string shown;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSaveCaption);
            if (!hDlg) return;
            shown = EditText(hDlg, IDC_PLAYLIST_NAME_EDIT);
            CUiScript::Click(hDlg, IDOK);
        },
        [&] { result = CSavePlaylistDlg(m_app).DoModal(); });
    ExpectCleanScript();
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Gamma", shown);
    EXPECT_EQ((Lines{"Total=3", "1=Beta", "2=Alpha", "3=Gamma"}), SectionLines("Playlist"));
}

TEST_F(PlaylistDialogsTest, SaveQuestionAnsweredNoKeepsTheDialogOpen) {
    WriteIni("[Playlist]\r\nTotal=1\r\n1=Alpha\r\n");
    m_app.m_strPlaylistName = "Alpha";
    INT_PTR result = 0;
    bool stillOpen = false;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSaveCaption);
            if (!hDlg) return;
            CUiScript::SetText(hDlg, IDC_PLAYLIST_NAME_EDIT, "Delta");
            CUiScript::Click(hDlg, IDOK);
            ui.AnswerBox(IDNO);
            stillOpen = ::IsWindowVisible(hDlg) != FALSE;
            CUiScript::Click(hDlg, IDCANCEL);
        },
        [&] { result = CSavePlaylistDlg(m_app).DoModal(); });

    ExpectCleanScript();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ("Alpha", std::string(m_app.m_strPlaylistName));
    EXPECT_EQ((Lines{"Total=1", "1=Alpha"}), SectionLines("Playlist"));
}

TEST_F(PlaylistDialogsTest, SaveFindsAnExistingNameInOtherLetterCase) {
    WriteIni("[Playlist]\r\nTotal=2\r\n1=Alpha\r\n2=Beta\r\n");
    m_app.m_strPlaylistName = "Alpha";
    INT_PTR result = 0;
    std::string picked, asked;
    int selectedAtStart = -2;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSaveCaption);
            if (!hDlg) return;
            selectedAtStart = static_cast<int>(::SendDlgItemMessageA(hDlg, IDC_SAVED_PLAYLISTS, LB_GETCURSEL, 0, 0));
            CUiScript::SelectListBoxRow(hDlg, IDC_SAVED_PLAYLISTS, 1);
            picked = EditText(hDlg, IDC_PLAYLIST_NAME_EDIT);
            CUiScript::SetText(hDlg, IDC_PLAYLIST_NAME_EDIT, "bETA");
            CUiScript::Click(hDlg, IDOK);
            asked = ui.AnswerBox(IDYES);
        },
        [&] { result = CSavePlaylistDlg(m_app).DoModal(); });

    ExpectCleanScript();
    EXPECT_EQ(0, selectedAtStart);
    EXPECT_EQ("Beta", picked);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(Text(IDS_ASK_REPLACE_PLAYLIST), asked);
    EXPECT_EQ("bETA", std::string(m_app.m_strPlaylistName));
    EXPECT_EQ((Lines{"Total=2", "1=Alpha", "2=Beta"}), SectionLines("Playlist"));
}

TEST_F(PlaylistDialogsTest, OpenWithAnEmptyIndexShowsOnlyTheNotice) {
    INT_PTR result = 0;
    std::string notice;
    bool dialogShown = true;
    m_ui.Run(
        [&](CUiScript& ui) {
            ui.WaitWindow(kTestAppTitle);
            dialogShown = ::FindWindowA("#32770", kOpenCaption) && ::IsWindowVisible(::FindWindowA("#32770", kOpenCaption));
            notice = ui.AnswerBox(IDOK);
        },
        [&] { result = COpenPlaylistDlg(m_app).DoModal(); });

    ExpectCleanScript();
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(Text(IDS_NO_SAVED_PLAYLISTS), notice);
    EXPECT_FALSE(dialogShown);
}

TEST_F(PlaylistDialogsTest, DeletingTheSecondOfThreeRewritesTheIndex) {
    WriteIni("[Playlist]\r\nTotal=3\r\n1=One\r\n2=Two\r\n3=Three\r\n[One]\r\nTotal=0\r\n[Two]\r\nTotal=1\r\n"
             "1=C:\\a.mp3,MPEG\r\n[Three]\r\nTotal=0\r\n");
    m_app.m_strPlaylistName = "One";
    INT_PTR result = 0;
    Lines rowsAtStart, rowsAfter;
    std::string refused, asked;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kOpenCaption);
            if (!hDlg) return;
            rowsAtStart = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS);
            orvtest::CaptureScreen("open-playlist");
            // The playlist in use stays.
            CUiScript::SelectListViewRow(hDlg, IDC_PLAYLIST_ROWS, 0);
            CUiScript::Click(hDlg, IDC_DELETE_PLAYLIST);
            refused = ui.AnswerBox(IDOK);
            CUiScript::SelectListViewRow(hDlg, IDC_PLAYLIST_ROWS, 1);
            CUiScript::Click(hDlg, IDC_DELETE_PLAYLIST);
            asked = ui.AnswerBox(IDYES);
            rowsAfter = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS);
            CUiScript::Click(hDlg, IDCANCEL);
        },
        [&] { result = COpenPlaylistDlg(m_app).DoModal(); });

    ExpectCleanScript();
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ((Lines{"One", "Two", "Three"}), rowsAtStart);
    EXPECT_EQ(Text(IDS_PLAYLIST_IN_USE), refused);
    CString ask;
    ask.Format(Text(IDS_ASK_DELETE_PLAYLIST).c_str(), "Two");
    EXPECT_EQ(std::string(ask), asked);
    EXPECT_EQ((Lines{"One", "Three"}), rowsAfter);
    EXPECT_EQ((Lines{"Total=2", "1=One", "2=Three"}), SectionLines("Playlist"));
    EXPECT_TRUE(SectionLines("Two").empty());
    EXPECT_EQ((Lines{"Total=0"}), SectionLines("Three"));
}

TEST_F(PlaylistDialogsTest, RenamedRowsChangeOnlyTheListAndOpenLoadsByTheShownName) {
    const std::string song = MakeFile("a.mp3");
    WriteIni("[Playlist]\r\nTotal=2\r\n1=One\r\n2=Two\r\n[Two]\r\nTotal=1\r\n1=" + song + ",MPEG\r\nPlayMode=2\r\n");
    INT_PTR result = 0;
    Lines afterEmpty, afterRename;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kOpenCaption);
            if (!hDlg) return;
            ui.RenameListViewRow(hDlg, IDC_PLAYLIST_ROWS, 0, "");
            afterEmpty = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS);
            ui.RenameListViewRow(hDlg, IDC_PLAYLIST_ROWS, 0, "Zed");
            afterRename = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS);
            CUiScript::Click(hDlg, IDOK);
        },
        [&] { result = COpenPlaylistDlg(m_app).DoModal(); });

    ExpectCleanScript();
    EXPECT_EQ((Lines{"One", "Two"}), afterEmpty);
    EXPECT_EQ((Lines{"Zed", "Two"}), afterRename);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Zed", std::string(m_app.m_strPlaylistName));
    EXPECT_EQ(0, m_app.m_songList.GetCount());
    EXPECT_EQ((Lines{"Total=2", "1=One", "2=Two"}), SectionLines("Playlist"));

    // Opening a saved playlist loads it with its play mode.
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kOpenCaption);
            if (!hDlg) return;
            CUiScript::SelectListViewRow(hDlg, IDC_PLAYLIST_ROWS, 1);
            CUiScript::Click(hDlg, IDOK);
        },
        [&] { result = COpenPlaylistDlg(m_app).DoModal(); });
    ExpectCleanScript();
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Two", std::string(m_app.m_strPlaylistName));
    ASSERT_EQ(1, m_app.m_songList.GetCount());
    EXPECT_EQ(song, std::string(m_app.m_songList.GetAt(0)->m_strPath));
    EXPECT_EQ(2, m_app.m_nPlayMode);
}

TEST_F(PlaylistDialogsTest, SelectSongShowsThePlaylistAndReturnsTheChosenRow) {
    const struct {
        const char* path;
        BYTE type;
        LONG length;
    } songs[] = {{"C:\\a.mp3", SONG_MPEG, 65}, {"C:\\b.wav", SONG_WAVE, 0}, {"C:\\c.xyz", SONG_UNKNOWN, 3599}};
    for (const auto& s : songs) {
        CSongEntry* entry = new CSongEntry(s.path, s.type);
        entry->m_nLength = s.length;
        m_app.m_songList.AddTail(entry);
    }

    CSelectSongDlg dlg(m_app.m_songList);
    dlg.m_nSelected = 1;
    INT_PTR result = 0;
    Lines labels, lengths, types;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSelectCaption);
            if (!hDlg) return;
            labels = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS, 0);
            lengths = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS, 1);
            types = CUiScript::ListViewRows(hDlg, IDC_PLAYLIST_ROWS, 2);
            CUiScript::Click(hDlg, IDOK);
        },
        [&] { result = dlg.DoModal(); });
    ExpectCleanScript();
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Lines{"<001>  C:\\a.mp3", "<002>  C:\\b.wav", "<003>  C:\\c.xyz"}), labels);
    EXPECT_EQ((Lines{"01:05", "00:00", "59:59"}), lengths);
    EXPECT_EQ((Lines{"MPEG", "WAVE", "???"}), types);
    EXPECT_EQ(1, dlg.m_nSelected);  // nothing selected: the caller's value stays

    CSelectSongDlg picker(m_app.m_songList);
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSelectCaption);
            if (!hDlg) return;
            CUiScript::SelectListViewRow(hDlg, IDC_PLAYLIST_ROWS, 2);
            CUiScript::DoubleClickListView(hDlg, IDC_PLAYLIST_ROWS, 2);
        },
        [&] { result = picker.DoModal(); });
    ExpectCleanScript();
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(2, picker.m_nSelected);
}

TEST_F(PlaylistDialogsTest, SelectSongDoubleClickBelowTheLastRowChoosesNothing) {
    m_app.m_songList.AddTail(new CSongEntry("C:\\a.mp3", SONG_MPEG));
    CSelectSongDlg dlg(m_app.m_songList);
    dlg.m_nSelected = 5;
    INT_PTR result = 0;
    bool stillOpen = false;
    m_ui.Run(
        [&](CUiScript& ui) {
            HWND hDlg = ui.WaitWindow(kSelectCaption);
            if (!hDlg) return;
            HWND hList = ::GetDlgItem(hDlg, IDC_PLAYLIST_ROWS);
            CUiScript::SelectListViewRow(hDlg, IDC_PLAYLIST_ROWS, 0);
            RECT rc = {};
            ::GetClientRect(hList, &rc);
            // The list view itself turns the click into its notification.
            ::SendMessageA(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, rc.bottom - 4));
            stillOpen = ::IsWindowVisible(hDlg) != FALSE;
            CUiScript::Click(hDlg, IDCANCEL);
        },
        [&] { result = dlg.DoModal(); });
    ExpectCleanScript();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(5, dlg.m_nSelected);
}
