// The playlist page in a modeless sheet under Wine: the real file dialog, shell drops,
// mouse messages on the list, the real MP3 control and WAVE device measuring real
// files, the playlist file in the Windows directory. A script on a second thread
// answers the page's boxes and dialogs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "PlayerLink.h"
#include "PlaylistDialogIds.h"
#include "mpdeck/MoreInfoIds.h"
#include "ListFile.h"
#include "PlaylistFile.h"
#include "PlaylistModel.h"
#include "PlaylistPage.h"
#include "SkinMessages.h"
#include "SkinProbe.h"
#include "TelmarIds.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "WaveDevice.h"
#include "playlistpage_test_ids.h"

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

const char kTestTitle[] = "Orvanta-PlaylistPageTest";
constexpr DWORD kWaitMs = 10000;

class CPageTestApp : public orvtest::CTestSkinApp, public CPlaylistModel {
public:
    CPageTestApp() : CTestSkinApp(kTestTitle) {}
};

class CTestPlayer : public CPlayerLink {
public:
    explicit CTestPlayer(CPlaylistModel& model) : m_model(model) {}
    BOOL IsPlayerPlaying() const override { return m_bPlaying; }
    BOOL IsPlayerLocked() const override { return m_bLock; }
    void SetPlayerLock(BOOL bLock) override { m_bLock = bLock; }
    void SetPlayerRestart() override { ++m_nRestarts; }
    int GetPlayMode() const override { return m_nMode; }
    void ChangePlayMode(int nMode) override { m_nMode = nMode; }
    void TakeLoadedPlaylist() override { m_nMode = m_model.m_nPlayMode; }
    CWaveDevice& GetWaveDevice() override { return m_wave; }

    CPlaylistModel& m_model;
    CWaveDevice m_wave;
    BOOL m_bPlaying = FALSE;
    BOOL m_bLock = FALSE;
    int m_nMode = 1;
    int m_nRestarts = 0;
};

class CPageSheet : public CPropertySheet {
public:
    CPageSheet(CPlaylistModel& model, CPlayerLink* pPlayer)
        : CPropertySheet("Orvanta-MP3"), m_playlist(model), m_other(IDD_PLPAGE_TEST_OTHER) {
        m_playlist.m_pPlayer = pPlayer;
        AddPage(&m_playlist);
        AddPage(&m_other);
    }
    CMPlaylist m_playlist;
    CPropertyPage m_other;
};

class PlaylistPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        CMp3Play::Register();
        AfxEnableControlContainer();
        ::DeleteFileA(IniPath().c_str());
        m_dir = orvtest::MakeTempDir(std::string("plpage-") +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(m_main.Create(IDD_PLPAGE_TEST_MAIN, nullptr));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override {
        if (m_sheet.GetSafeHwnd()) m_sheet.DestroyWindow();
        if (m_main.GetSafeHwnd()) m_main.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
        ::DeleteFileA(IniPath().c_str());
    }

    // Shows the sheet on the model as it is now.
    void OpenSheet() {
        ASSERT_TRUE(m_sheet.Create(&m_main));
        ::SetActiveWindow(m_sheet.m_hWnd);
    }
    void SetModel(const std::vector<std::pair<std::string, LONG>>& songs, BYTE type = SONG_UNKNOWN) {
        m_app.m_songList.RemoveAll();
        for (const auto& song : songs) {
            auto* pEntry = new CSongEntry(song.first.c_str(), type);
            pEntry->m_nLength = song.second;
            m_app.m_songList.AddTail(pEntry);
        }
    }
    static std::string IniPath() {
        char dir[MAX_PATH] = {};
        ::GetWindowsDirectoryA(dir, MAX_PATH);
        return std::string(dir) + "\\" + CPlaylistFile::FileName().GetString();
    }
    std::string Path(const std::string& name) const { return m_dir + "\\" + name; }
    std::string Tone(const std::string& name, DWORD ms) {
        const std::string path = Path(name);
        EXPECT_TRUE(orvtest::WriteToneWave(path, ms, 8000, 1, 440.0));
        return path;
    }
    CMPlaylist& Page() { return m_sheet.m_playlist; }
    HWND List() { return Page().m_list.m_hWnd; }
    std::vector<std::string> Column(int column) { return CUiScript::ListViewRows(Page().m_hWnd, IDC_BATCH_JOBS, column); }
    std::vector<std::string> Paths() {
        std::vector<std::string> paths;
        for (int i = 0; i < Page().WorkingList().GetCount(); ++i)
            paths.push_back(Page().WorkingList().GetAt(i)->m_strPath.GetString());
        return paths;
    }
    void Press(int nId) {
        ::SendMessageA(Page().m_hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(Page().m_hWnd, nId)));
    }
    void Check(int nId, bool bChecked) {
        ::CheckDlgButton(Page().m_hWnd, nId, bChecked ? BST_CHECKED : BST_UNCHECKED);
        Press(nId);
    }
    void Select(const std::vector<int>& rows) {
        for (int i = 0; i < Page().m_list.GetItemCount(); ++i) Page().m_list.SetItemState(i, 0, LVIS_SELECTED);
        for (int row : rows) Page().m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
    std::string Totals(int files, int h, int m, int s) {
        char text[256] = {};
        std::snprintf(text, sizeof text, m_app.Text(IDS_PLAYLIST_TOTALS).c_str(), files, h, m, s);
        return text;
    }
    std::string TotalsShown() { return CUiScript::ItemText(Page().m_hWnd, IDC_PLAYLIST_TOTALS); }
    POINT RowPoint(int row) {
        RECT rc = {};
        Page().m_list.GetItemRect(row, &rc, LVIR_LABEL);
        return POINT{rc.left + 20, (rc.top + rc.bottom) / 2};
    }
    // Until everything posted to this thread has been handled.
    static void Drain() {
        orvtest::PumpUntil([] { MSG msg; return !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); }, kWaitMs);
    }
    // Picks the names in the folder through the page's Add dialog.
    void AddThroughDialog(const std::string& dir, const std::string& names) {
        ::SetCurrentDirectoryA(dir.c_str());
        CUiScript ui(kTestTitle);
        ui.Run(
            [&](CUiScript& script) {
                HWND hDlg = script.WaitWindow(m_app.Text(IDS_ADD_SONGS_TITLE).c_str());
                if (!hDlg) return;
                ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(names.c_str()));
                ::SendMessageA(hDlg, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(names.c_str()));
                CUiScript::Click(hDlg, IDOK);
            },
            [&] { Press(IDC_BATCH_ADD); });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        ::SetCurrentDirectoryA(m_dir.c_str());
    }

    CPageTestApp m_app;
    CTestPlayer m_player{m_app};
    CDialog m_main;
    CPageSheet m_sheet{m_app, &m_player};
    std::string m_dir;
};

TEST_F(PlaylistPageTest, AddedFilesAreTypedMeasuredAndCountedAndRemovingRenumbers) {
    const std::string wave = Tone("a.wav", 3000);
    ASSERT_TRUE(::CopyFileA((std::string(ORV_MP3_FIXTURES) + "\\tone44js.mp3").c_str(), Path("b.mp3").c_str(), FALSE));
    orvtest::WriteFileBytes(Path("c.xyz"), "not audio");
    OpenSheet();
    AddThroughDialog(m_dir, "\"a.wav\" \"b.mp3\" \"c.xyz\"");

    // ffprobe reads 2.04 s for the MP3; lengths are whole seconds.
    EXPECT_EQ(Column(CMPlaylist::kColSong), (std::vector<std::string>{"<001>  " + wave, "<002>  " + Path("b.mp3"),
                                                                      "<003>  " + Path("c.xyz")}));
    EXPECT_EQ(Column(CMPlaylist::kColLength), (std::vector<std::string>{"00:03", "00:02", "00:00"}));
    EXPECT_EQ(Column(CMPlaylist::kColType), (std::vector<std::string>{"WAVE", "MPEG", "???"}));
    EXPECT_EQ(TotalsShown(), Totals(3, 0, 0, 5));
    EXPECT_TRUE(Page().IsModified());
    EXPECT_EQ(Page().WorkingList().GetAt(0)->m_dwSamplesPerSec, 8000u);

    Select({0});
    Press(IDC_BATCH_REMOVE);
    EXPECT_EQ(Column(CMPlaylist::kColSong),
              (std::vector<std::string>{"<001>  " + Path("b.mp3"), "<002>  " + Path("c.xyz")}));
    EXPECT_EQ(TotalsShown(), Totals(2, 0, 0, 2));
}

// Lists of other programs join the list with their titles, songs whose ID3v2 tag
// names them show artist and title, missing songs are counted in one box, and the
// list saved as M3U8 reads back the same.
TEST_F(PlaylistPageTest, ListsOfOtherProgramsJoinAndTheListSavesAsM3u8) {
    const std::string a = Tone("a.wav", 3000);
    ASSERT_TRUE(::CreateDirectoryA(Path("Sub").c_str(), nullptr));
    const std::string b = Tone("Sub\\b.wav", 1000);
    std::ifstream mp3(std::string(ORV_MP3_FIXTURES) + "\\tone44js.mp3", std::ios::binary);
    const std::string audio((std::istreambuf_iterator<char>(mp3)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(audio.empty());
    // An ID3v2.3 tag with a title and an artist, and no ID3v1 tag.
    const std::string frames = std::string("TIT2\0\0\0\x07\0\0\0Song C", 17) + std::string("TPE1\0\0\0\x05\0\0\0Band", 15);
    const std::string tag = std::string("ID3\x03\0\0\0\0\0", 9) + static_cast<char>(frames.size()) + frames;
    const std::string c = Path("c.mp3");
    ASSERT_TRUE(orvtest::WriteFileBytes(c, tag + audio));
    ASSERT_TRUE(orvtest::WriteFileBytes(Path("list.m3u"),
                                        "#EXTM3U\r\n#EXTINF:3,Wave A\r\na.wav\r\n\r\n# comment\r\nSub/b.wav\r\n"
                                        "missing.mp3\r\nc.mp3\r\n"));
    ASSERT_TRUE(orvtest::WriteFileBytes(Path("list.pls"), "[playlist]\nFile1=a.wav\nFile2=gone.wav\nNumberOfEntries=2\n"));
    OpenSheet();
    CUiScript ui(kTestTitle);
    std::string missing;
    ui.Run([&](CUiScript& script) { missing = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok); },
           [&] { Page().AddPaths({Path("list.m3u").c_str(), Path("list.pls").c_str()}); });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    char expected[256] = {};
    std::snprintf(expected, sizeof expected, m_app.Text(IDS_LIST_SONGS_MISSING).c_str(), 2);
    EXPECT_EQ(missing, expected);
    EXPECT_EQ(Paths(), (std::vector<std::string>{a, b, c, a}));
    EXPECT_EQ(Column(CMPlaylist::kColSong),
              (std::vector<std::string>{"<001>  Wave A", "<002>  " + b, "<003>  Band - Song C", "<004>  " + a}));
    EXPECT_EQ(Column(CMPlaylist::kColLength), (std::vector<std::string>{"00:03", "00:01", "00:02", "00:03"}));
    orvtest::CaptureScreen("playlist-page-lists");

    ASSERT_TRUE(Page().SaveAsM3u8(Path("saved.m3u8").c_str()));
    std::ifstream saved(Path("saved.m3u8"), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>()),
              "#EXTM3U\r\n#EXTINF:3,Wave A\r\na.wav\r\n#EXTINF:1,\r\nSub\\b.wav\r\n#EXTINF:2,Band - Song C\r\nc.mp3\r\n"
              "#EXTINF:3,\r\na.wav\r\n");
    std::vector<ListSong> songs;
    int nMissing = -1;
    ASSERT_TRUE(ReadListFile(Path("saved.m3u8").c_str(), songs, nMissing));
    EXPECT_EQ(nMissing, 0);
    ASSERT_EQ(songs.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::string(songs[i].strPath.GetString()), Paths()[i]);
        EXPECT_EQ(songs[i].nSeconds, Page().WorkingList().GetAt(i)->m_nLength);
    }
    EXPECT_EQ(std::string(songs[2].strTitle.GetString()), "Band - Song C");
}

TEST_F(PlaylistPageTest, FilesFromADrivesRootGetOneBackslash) {
    const std::string root = "C:\\";
    for (const char* name : {"plpage-root1.wav", "plpage-root2.wav"}) {
        ASSERT_TRUE(orvtest::WriteToneWave(root + name, 1000, 8000, 1, 440.0));
    }
    OpenSheet();
    AddThroughDialog(root, "\"plpage-root1.wav\" \"plpage-root2.wav\"");
    std::vector<std::string> paths = Paths();
    for (std::string& path : paths) {
        for (char& ch : path) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"c:\\plpage-root1.wav", "c:\\plpage-root2.wav"}));
    for (const char* name : {"plpage-root1.wav", "plpage-root2.wav"}) ::DeleteFileA((root + name).c_str());
}

TEST_F(PlaylistPageTest, TotalsLineSplitsTheSumIntoHoursMinutesSeconds) {
    struct Case {
        std::vector<LONG> lengths;
        int h, m, s;
    } cases[] = {{{1800, 1799, 1}, 1, 0, 0}, {{3725}, 1, 2, 5}, {{}, 0, 0, 0}, {{59, 1}, 0, 1, 0}};
    OpenSheet();
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, LONG>> songs;
        for (LONG n : c.lengths) songs.emplace_back("C:\\x.wav", n);
        SetModel(songs);
        Page().FillFromModel();
        EXPECT_EQ(TotalsShown(), Totals(static_cast<int>(c.lengths.size()), c.h, c.m, c.s));
    }
}

TEST_F(PlaylistPageTest, RowsKeepTheirEntriesPastRow1000AndPast100Minutes) {
    const std::string wave = Tone("long.wav", 1000);
    std::vector<std::pair<std::string, LONG>> songs(1000, {"C:\\filler.wav", 1});
    songs.emplace_back(wave, 6000);
    SetModel(songs, SONG_WAVE);
    OpenSheet();
    const int last = 1000;
    EXPECT_EQ(std::string(Page().m_list.GetItemText(last, CMPlaylist::kColSong).GetString()), "<1001>  " + wave);
    EXPECT_EQ(std::string(Page().m_list.GetItemText(last, CMPlaylist::kColLength).GetString()), "100:00");
    Select({last});
    Press(IDC_BATCH_AUDITION);
    ASSERT_NE(Page().m_audition.GetSafeHwnd(), nullptr);
    EXPECT_EQ(std::string(Page().m_audition.m_strPath.GetString()), wave);
    EXPECT_EQ(Page().m_audition.m_nLength, 6000);
    EXPECT_EQ(Page().m_audition.m_nSongNumber, 1001);
    Page().m_audition.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(orvtest::PumpUntil([&] { return !Page().m_audition.GetSafeHwnd(); }, kWaitMs));
    EXPECT_FALSE(m_player.m_bLock);
}

TEST_F(PlaylistPageTest, DraggingRowsMovesTheBlockWhereItIsDropped) {
    const std::vector<std::string> names = {"1", "2", "3", "4", "5", "6"};
    std::vector<std::pair<std::string, LONG>> songs;
    for (const std::string& name : names) songs.emplace_back("C:\\" + name + ".wav", 1);
    SetModel(songs);
    OpenSheet();
    enum Drop { kOnRow, kBelowLast, kAboveList };
    struct Case {
        const char* what;
        std::vector<int> selected;
        int pressed;
        Drop drop;
        int target;
        std::string order;
    } cases[] = {
        // Nothing moves: the page stays unmodified until the first move.
        {"rows 2-4 onto row 3, inside the block", {1, 2, 3}, 1, kOnRow, 2, "123456"},
        {"rows 1 and 3: no drag", {0, 2}, 0, kOnRow, 4, "123456"},
        {"row 2 released above the list", {1}, 1, kAboveList, 0, "123456"},
        {"rows 4-5 onto row 1", {3, 4}, 3, kOnRow, 0, "451236"},
        {"row 1 onto row 3", {0}, 0, kOnRow, 2, "231456"},
        {"row 2 below the last row", {1}, 1, kBelowLast, 0, "134562"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Page().FillFromModel();
        Select(c.selected);
        const POINT from = RowPoint(c.pressed);
        POINT to = RowPoint(c.target);
        RECT rcLast = {};
        Page().m_list.GetItemRect(static_cast<int>(names.size()) - 1, &rcLast, LVIR_BOUNDS);
        if (c.drop == kBelowLast) to.y = rcLast.bottom + 8;
        if (c.drop == kAboveList) to.y = -10;
        orvtest::MouseDown(List(), from);
        orvtest::DragTo(List(), POINT{from.x, from.y + 12});
        orvtest::DragTo(List(), to);
        orvtest::MouseUp(List(), to);
        Drain();
        EXPECT_FALSE(Page().IsDragging());
        EXPECT_EQ(::GetCapture(), nullptr);
        std::string order;
        for (const std::string& path : Paths()) order += path.substr(3, 1);
        EXPECT_EQ(order, c.order);
        EXPECT_EQ(Column(CMPlaylist::kColSong)[0].substr(0, 9), "<001>  C:");
        EXPECT_EQ(Page().IsModified(), c.order != "123456");
    }
    // Without a drag the list's button-up and moves are not a drop.
    Page().FillFromModel();
    Select({0});
    const POINT last = RowPoint(5);
    ::SendMessageA(Page().m_hWnd, UM_LISTMOUSE, CSkinListCtrl::kMouseUp, MAKELPARAM(last.x, last.y));
    EXPECT_EQ(Paths().front(), "C:\\1.wav");
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(PlaylistPageTest, LeavingThePageCommitsAsThePlayerAllows) {
    struct Case {
        const char* what;
        BOOL playing, remove, loop, resume, modelFlag;
        bool box;
        int modelCount, mode, restarts;
        BOOL flagAfter;
    } cases[] = {
        {"changed list while playing", TRUE, TRUE, FALSE, FALSE, FALSE, true, 3, 1, 0, FALSE},
        {"changed list while stopped", FALSE, TRUE, FALSE, FALSE, FALSE, false, 2, 1, 1, TRUE},
        {"flag set by the mode button stays", FALSE, FALSE, FALSE, FALSE, TRUE, false, 3, 1, 0, TRUE},
        {"mode change with Resume", TRUE, FALSE, TRUE, TRUE, FALSE, false, 3, 2, 1, TRUE},
        {"mode change without Resume", TRUE, FALSE, TRUE, FALSE, FALSE, false, 3, 2, 0, TRUE},
    };
    OpenSheet();
    // Each case comes back to the page from the other one.
    m_sheet.SetActivePage(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetModel({{"C:\\1.wav", 1}, {"C:\\2.wav", 2}, {"C:\\3.wav", 3}});
        m_player.m_nMode = 1;
        m_player.m_nRestarts = 0;
        m_player.m_bPlaying = c.playing;
        m_app.m_bPlaylistModified = c.modelFlag;
        m_sheet.SetActivePage(0);
        Page().FillFromModel();
        Check(IDC_PLAYLIST_RESUME, c.resume);
        if (c.loop) Check(IDC_PLAYLIST_LOOP, true);
        if (c.remove) {
            Select({1});
            Press(IDC_BATCH_REMOVE);
        }
        CUiScript ui(kTestTitle);
        std::string notice;
        ui.Run(
            [&](CUiScript& script) {
                if (c.box) notice = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok);
            },
            [&] { m_sheet.SetActivePage(1); });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        EXPECT_EQ(notice, c.box ? m_app.Text(IDS_LIST_LOCKED_WHILE_PLAYING) : "");
        EXPECT_EQ(m_app.m_songList.GetCount(), c.modelCount);
        EXPECT_EQ(m_player.m_nMode, c.mode);
        EXPECT_EQ(m_player.m_nRestarts, c.restarts);
        EXPECT_EQ(m_app.m_bPlaylistModified, c.flagAfter);
        EXPECT_EQ(m_app.m_bResume, c.resume);
    }
}

TEST_F(PlaylistPageTest, OpenWithUnsavedEditsAsksThenShowsTheOpenedList) {
    const std::string wave = Tone("evening.wav", 2000);
    std::ofstream(IniPath(), std::ios::binary) << "[Playlist]\r\nTotal=1\r\n1=Evening\r\n[Evening]\r\nTotal=1\r\n1="
                                               << wave << ",WAVE\r\nPlayMode=5\r\n";
    SetModel({{"C:\\1.wav", 1}, {"C:\\2.wav", 2}});
    OpenSheet();
    Select({0});
    Press(IDC_BATCH_REMOVE);

    CUiScript ui(kTestTitle);
    std::string cancelled, asked;
    ui.Run([&](CUiScript& script) { cancelled = script.AnswerBox(IDCANCEL, BoxIcon::Question, BoxButtons::YesNoCancel); },
           [&] { Press(IDC_PLAYLIST_OPEN); });
    EXPECT_EQ(cancelled, m_app.Text(IDS_ASK_SAVE_PLAYLIST));
    EXPECT_EQ(Paths(), (std::vector<std::string>{"C:\\2.wav"}));
    ui.Run(
        [&](CUiScript& script) {
            asked = script.AnswerBox(IDNO, BoxIcon::Question, BoxButtons::YesNoCancel);
            HWND hDlg = script.WaitWindow("Open Playlist");
            if (!hDlg) return;
            CUiScript::SelectListViewRow(hDlg, IDC_PLAYLIST_ROWS, 0);
            CUiScript::Click(hDlg, IDOK);
        },
        [&] { Press(IDC_PLAYLIST_OPEN); });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(asked, m_app.Text(IDS_ASK_SAVE_PLAYLIST));
    EXPECT_EQ(Paths(), (std::vector<std::string>{wave}));
    EXPECT_EQ(m_player.m_nMode, 5);
    EXPECT_TRUE(CUiScript::IsChecked(Page().m_hWnd, IDC_PLAYLIST_SHUFFLE));
    EXPECT_FALSE(CUiScript::IsChecked(Page().m_hWnd, IDC_PLAYLIST_LOOP));
    EXPECT_EQ(m_player.m_nRestarts, 1);
    EXPECT_FALSE(Page().IsModified());
    TCITEMA item = {};
    char title[128] = {};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof title;
    ::SendMessageA(m_sheet.GetTabControl()->m_hWnd, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::string(title), "MP3 Playlist <Evening>");
}

TEST_F(PlaylistPageTest, AutoPlayAuditionsTheClickedRowAndClosingFreesThePlayer) {
    const std::string a = Tone("a.wav", 2000), b = Tone("b.wav", 2000);
    SetModel({{a, 2}, {b, 2}}, SONG_WAVE);
    OpenSheet();
    Check(IDC_BATCH_AUTOPLAY, true);
    const POINT row = RowPoint(1);
    orvtest::MouseDown(List(), row);
    orvtest::MouseUp(List(), row);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Page().m_audition.GetSafeHwnd() != nullptr; }, kWaitMs));
    EXPECT_EQ(std::string(Page().m_audition.m_strPath.GetString()), b);
    EXPECT_EQ(Page().m_audition.m_nSongNumber, 2);
    EXPECT_TRUE(m_player.m_bLock);
    Page().m_audition.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(orvtest::PumpUntil([&] { return !Page().m_audition.GetSafeHwnd(); }, kWaitMs));
    EXPECT_FALSE(m_player.m_bLock);
}

HHOOK g_hRefuseHook = nullptr;
LRESULT CALLBACK RefuseAudition(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* pCreate = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (pCreate->lpszName && !IS_INTRESOURCE(pCreate->lpszName) && std::string(pCreate->lpszName) == "Audition")
            return 1;
    }
    return ::CallNextHookEx(g_hRefuseHook, code, wParam, lParam);
}

TEST_F(PlaylistPageTest, AnAuditionWindowThatCannotBeMadeLeavesThePlayerUnlocked) {
    SetModel({{Tone("a.wav", 1000), 1}}, SONG_WAVE);
    OpenSheet();
    Select({0});
    g_hRefuseHook = ::SetWindowsHookExA(WH_CBT, RefuseAudition, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(g_hRefuseHook, nullptr);
    Press(IDC_BATCH_AUDITION);
    ::UnhookWindowsHookEx(g_hRefuseHook);
    EXPECT_EQ(Page().m_audition.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(m_player.m_bLock);
}

TEST_F(PlaylistPageTest, DroppedFilesAreAddedCountedAndMarkedUnlessBusy) {
    const std::string wave = Tone("a.wav", 2000);
    const std::string overlong = "C:\\" + std::string(300, 'x') + ".wav";
    OpenSheet();
    m_player.m_bPlaying = TRUE;
    ASSERT_TRUE(orvtest::PostDropFiles(List(), {wave}));
    Drain();
    EXPECT_EQ(Page().WorkingList().GetCount(), 0);
    m_player.m_bPlaying = FALSE;
    // An empty list, as a drop from an X11 program brings under Wine, with bytes after
    // its end that are no name of the drop.
    const char kAfterEnd[] = "\0C:\\junk.wav\0";
    HGLOBAL hEmpty = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof kAfterEnd);
    auto* pHeader = static_cast<DROPFILES*>(::GlobalLock(hEmpty));
    pHeader->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(pHeader) + sizeof(DROPFILES), kAfterEnd, sizeof kAfterEnd);
    ::GlobalUnlock(hEmpty);
    ASSERT_TRUE(::PostMessageA(List(), WM_DROPFILES, reinterpret_cast<WPARAM>(hEmpty), 0));
    Drain();
    EXPECT_EQ(Page().WorkingList().GetCount(), 0);
    ASSERT_TRUE(orvtest::PostDropFiles(List(), {wave, overlong, "C:"}));
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Page().WorkingList().GetCount() == 2; }, kWaitMs));
    Drain();
    EXPECT_EQ(Paths(), (std::vector<std::string>{wave, "C:"}));
    EXPECT_EQ(Column(CMPlaylist::kColType), (std::vector<std::string>{"WAVE", "???"}));
    EXPECT_EQ(TotalsShown(), Totals(2, 0, 0, 2));
    EXPECT_TRUE(Page().IsModified());
}

TEST_F(PlaylistPageTest, DoubleClickShowsTheDetailsDialogOfTheRowsType) {
    const std::string wave = Tone("a.wav", 1000);
    const std::string mp3 = std::string(ORV_MP3_FIXTURES) + "\\tone44js.mp3";
    SetModel({{wave, 1}, {mp3, 2}});
    m_app.m_songList.GetAt(1)->m_nType = SONG_MPEG;
    OpenSheet();
    struct Case {
        int row;
        const char* caption;
        std::string path;
    } cases[] = {{0, "Wave Info", wave}, {1, "More Info", mp3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        Select({c.row});
        CUiScript ui(kTestTitle);
        std::string shown;
        ui.Run(
            [&](CUiScript& script) {
                HWND hDlg = script.WaitWindow(c.caption);
                if (!hDlg) return;
                shown = CUiScript::ItemText(hDlg, IDC_INFO_PATH);
                CUiScript::Click(hDlg, IDCANCEL);
            },
            [&] { CUiScript::DoubleClickListView(Page().m_hWnd, IDC_BATCH_JOBS, c.row); });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        EXPECT_EQ(shown, c.path);
    }
}

TEST_F(PlaylistPageTest, CloseCommitsFreesThePlayerAndDestroysTheSheet) {
    SetModel({{"C:\\1.wav", 1}, {"C:\\2.wav", 2}});
    OpenSheet();
    m_player.m_bLock = TRUE;
    Select({0});
    Press(IDC_BATCH_REMOVE);
    CUiScript::Click(Page().m_hWnd, IDCANCEL);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return !m_sheet.GetSafeHwnd(); }, kWaitMs));
    ASSERT_EQ(m_app.m_songList.GetCount(), 1);
    EXPECT_EQ(std::string(m_app.m_songList.GetAt(0)->m_strPath.GetString()), "C:\\2.wav");
    EXPECT_EQ(m_app.m_songList.GetAt(0)->m_nLength, 2);
    EXPECT_TRUE(m_app.m_bPlaylistModified);
    EXPECT_FALSE(m_player.m_bLock);
}

TEST_F(PlaylistPageTest, ButtonsFollowTheBusyStateAndTheSelection) {
    SetModel({{"C:\\1.wav", 1}, {"C:\\2.wav", 1}});
    OpenSheet();
    struct Case {
        BOOL playing;
        std::vector<int> selected;
        bool add, remove, moreInfo, audition;
    } cases[] = {
        {FALSE, {0}, true, true, true, true},
        {FALSE, {0, 1}, true, true, false, false},
        {TRUE, {0}, false, false, true, false},
        {TRUE, {}, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "playing " << c.playing << ", " << c.selected.size() << " selected");
        m_player.m_bPlaying = c.playing;
        Select(c.selected);
        Page().OnPlayingChanged(c.playing);
        const HWND hPage = Page().m_hWnd;
        EXPECT_EQ(CUiScript::IsEnabled(hPage, IDC_BATCH_ADD), c.add);
        EXPECT_EQ(CUiScript::IsEnabled(hPage, IDC_PLAYLIST_OPEN), c.add);
        EXPECT_EQ(CUiScript::IsEnabled(hPage, IDC_BATCH_AUTOPLAY), c.add);
        EXPECT_EQ(CUiScript::IsEnabled(hPage, IDC_BATCH_REMOVE), c.remove);
        EXPECT_EQ(CUiScript::IsEnabled(hPage, IDC_BATCH_MORE_INFO), c.moreInfo);
        EXPECT_EQ(CUiScript::IsEnabled(hPage, IDC_BATCH_AUDITION), c.audition);
    }
}

}  // namespace
