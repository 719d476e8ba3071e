// The CD playlist page in a modeless sheet under Wine, over the demo disc read through
// the prefix's CD-audio driver, saving into a real database file. A script on a second
// thread answers the page's boxes.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <cmath>
#include <string>
#include <vector>

#include "AudioRecorder.h"
#include "CDDisc.h"
#include "CDPlayerLink.h"
#include "CDPlaylist.h"
#include "DemoDiscReading.h"
#include "Genres.h"
#include "RegistryGuard.h"
#include "TelmarIds.h"
#include "TestDiscs.h"
#include "TestSkinApp.h"
#include "TestSupport.h"
#include "UiScript.h"
#include "cdplaylist_test_ids.h"

namespace {

using orvtest::BoxButtons;
using orvtest::BoxIcon;
using orvtest::CUiScript;

const char kTestTitle[] = "Orvanta-PlaylistTest";

class CTestPlayer : public CCDPlayerLink {
public:
    BOOL IsPlayerPlaying() const override { return m_bPlaying; }
    CCDDisc& GetDisc() override { return m_disc; }
    void SetPlayMode(int nMode) override {
        m_modes.push_back(nMode);
        m_disc.m_nMode = nMode;
    }
    void OnSelectionChanged() override { ++m_nSelectionChanges; }
    void OnTitlesChanged() override { ++m_nTitleChanges; }
    void ReleaseDevice() override { ++m_nReleases; }
    void ReclaimDevice() override { ++m_nReclaims; }
    CCDDisc m_disc{cdtest::kTestDatabase};
    BOOL m_bPlaying = FALSE;
    std::vector<int> m_modes;
    int m_nSelectionChanges = 0;
    int m_nTitleChanges = 0;
    int m_nReleases = 0;
    int m_nReclaims = 0;
};

class COtherPage : public CPropertyPage {
public:
    COtherPage() : CPropertyPage(IDD_CDPL_TEST_OTHER) {}
};

class CPlaylistSheet : public CPropertySheet {
public:
    explicit CPlaylistSheet(CCDPlayerLink* pPlayer) : CPropertySheet("Orvanta-CD"), m_page(pPlayer) {
        AddPage(&m_page);
        AddPage(&m_other);
    }
    CCDPlaylist m_page;
    COtherPage m_other;
};

}  // namespace

class CDPlaylistTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
        const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
        cdtest::WriteDemoTitles(m_database);
        ASSERT_TRUE(Insert(cdtest::kDemoCue));
        ASSERT_TRUE(m_main.Create(IDD_CDPL_TEST_MAIN, nullptr));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override {
        if (m_sheet.GetSafeHwnd()) m_sheet.DestroyWindow();
        if (m_main.GetSafeHwnd()) m_main.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
    }

    // Puts a disc in the drive and reads it into the player's model, as the player does.
    bool Insert(const std::string& cue) {
        return orvtest::SetRegistryString(HKEY_CURRENT_USER, cdtest::kDiscKey, "Disc", cue) && Reread();
    }
    bool Reread() {
        const bool bRead = cdtest::ReadDisc(m_player.m_disc);
        if (Page().GetSafeHwnd()) Page().OnDiscChanged();
        return bRead;
    }
    bool Open() {
        if (!m_sheet.Create(&m_main)) return false;
        ::SetActiveWindow(m_sheet.m_hWnd);
        return Page().GetSafeHwnd() != nullptr;
    }

    CCDPlaylist& Page() { return m_sheet.m_page; }
    HWND PageWnd() { return Page().m_hWnd; }
    void SetText(int nId, const std::string& text) { CUiScript::SetText(PageWnd(), nId, text.c_str()); }
    std::string Field(int nId) { return CUiScript::ItemText(PageWnd(), nId); }
    void Tick(const std::vector<int>& rows) {
        for (int row : rows) CUiScript::SelectListViewRow(PageWnd(), IDC_CDPL_TRACKS, row);
    }
    void Press(int nId) { PressIn(PageWnd(), nId); }
    static void PressIn(HWND hDlg, int nId) {
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, nId)));
    }
    void Check(int nId, bool bOn) {
        ::CheckDlgButton(PageWnd(), nId, bOn ? BST_CHECKED : BST_UNCHECKED);
        Press(nId);
    }
    // Presses the button from the page's own loop while the script answers what shows.
    void PressAnswering(int nId, const CUiScript::Script& script) {
        CUiScript ui(kTestTitle);
        ui.Run(script, [&] {
            CUiScript::Click(PageWnd(), nId);
            EXPECT_TRUE(orvtest::PumpUntil([&] { return m_sheet.GetSafeHwnd() == nullptr; }, 10000));
        });
        EXPECT_TRUE(ui.Clean()) << ui.Report();
    }
    std::string Stored(const char* key) {
        char value[1024] = {};
        ::GetPrivateProfileStringA(cdtest::kDemoDiscId, key, "", value, sizeof value, cdtest::kTestDatabase);
        return value;
    }
    std::vector<int> Marked() {
        std::vector<int> rows;
        for (size_t i = 0; i < Page().Marks().size(); ++i)
            if (Page().Marks()[i]) rows.push_back(static_cast<int>(i));
        return rows;
    }

    // Starts an audition of the row; the dialog, or nullptr.
    CCDAuditionDlg* StartAudition(int row) {
        Tick({row});
        Press(IDC_CDPL_AUDITION);
        return Page().Audition();
    }
    bool TabsEnabled() { return ::IsWindowEnabled(m_sheet.GetTabControl()->m_hWnd) != FALSE; }

    orvtest::CTestSkinApp m_app{kTestTitle};
    orvtest::RegistryGuard m_discGuard{HKEY_CURRENT_USER, cdtest::kDiscKey};
    cdtest::CTestDatabase m_database;
    CTestPlayer m_player;
    CDialog m_main;
    CPlaylistSheet m_sheet{&m_player};
};

TEST_F(CDPlaylistTest, ShowsTheDiscAndOffersTheGenreTableSorted) {
    m_player.m_disc.m_strGenre = "Jaz";
    m_player.m_disc.m_nMode = 5;
    ASSERT_TRUE(Open());
    EXPECT_EQ(CUiScript::ListViewRows(PageWnd(), IDC_CDPL_TRACKS)[1], "<02> Long Road");
    EXPECT_EQ(CUiScript::ListViewRows(PageWnd(), IDC_CDPL_TRACKS, 1)[1], "01:23");
    EXPECT_FALSE(::GetWindowLongA(::GetDlgItem(PageWnd(), IDC_CDPL_TRACKS), GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    int nSeconds = 0;
    for (const CCDTrack* pTrack : m_player.m_disc.m_tracks) nSeconds += pTrack->GetMinutes() * 60 + pTrack->GetSeconds();
    EXPECT_EQ(Field(IDC_CDPL_TOTAL), std::to_string(nSeconds / 60) + ":" + std::to_string(nSeconds % 60 / 10) +
                                         std::to_string(nSeconds % 10));
    EXPECT_FALSE(CUiScript::IsChecked(PageWnd(), IDC_CDPL_LOOP));
    EXPECT_TRUE(CUiScript::IsChecked(PageWnd(), IDC_CDPL_SHUFFLE));
    CComboBox& genres = Page().m_genres;
    ASSERT_EQ(genres.GetCount(), kGenreCount);
    CString strPrevious, strText;
    for (int i = 0; i < genres.GetCount(); ++i) {
        genres.GetLBText(i, strText);
        EXPECT_STREQ(strText, GenreName(static_cast<int>(genres.GetItemData(i))));
        EXPECT_LT(::lstrcmpiA(strPrevious, strText), 0) << strText.GetString();
        strPrevious = strText;
    }
    genres.GetLBText(genres.GetCurSel(), strText);
    EXPECT_STREQ(strText, "Jazz");
    CString strFirst;
    genres.GetLBText(0, strFirst);
    // No match keeps the selection; no genre selects the first entry.
    for (const char* genre : {"Nothing like it", ""}) {
        m_player.m_disc.m_strGenre = genre;
        Page().Refresh();
        genres.GetLBText(genres.GetCurSel(), strText);
        EXPECT_STREQ(strText, *genre ? "Jazz" : strFirst.GetString()) << genre;
    }
    EXPECT_FALSE(Page().IsModified());
}

TEST_F(CDPlaylistTest, OkWhileStoppedStoresTheTickedTracksInTrackOrder) {
    // A custom order from the file becomes track order at the first save.
    m_database.WriteRaw("[" + std::string(cdtest::kDemoDiscId) + "]\r\nNumSelect=3\r\nSelection=05 01 03 \r\n");
    ASSERT_TRUE(Reread());
    ASSERT_EQ(m_player.m_disc.m_selection, (std::vector<BYTE>{5, 1, 3}));
    ASSERT_TRUE(Open());
    ASSERT_EQ(Marked(), (std::vector<int>{0, 2, 4}));
    Tick({5, 4});
    ASSERT_EQ(Marked(), (std::vector<int>{0, 2, 5}));
    Tick({5, 4});
    ASSERT_EQ(Marked(), (std::vector<int>{0, 2, 4}));
    PressAnswering(IDOK, [](CUiScript& script) { EXPECT_TRUE(script.NoBoxFor(500)); });
    EXPECT_EQ(Stored("NumSelect"), "3");
    // Wine's profile functions drop the value's trailing blank on writing.
    EXPECT_EQ(Stored("Selection"), "01 03 05");
    EXPECT_EQ(m_player.m_disc.m_selection, (std::vector<BYTE>{1, 3, 5}));
    EXPECT_EQ(m_player.m_nSelectionChanges, 1);
}

TEST_F(CDPlaylistTest, WhilePlayingTheMarksStayAndAChangedSetIsRefusedWithTheRestSaved) {
    ASSERT_TRUE(Open());
    Tick({1, 3});  // unticked while stopped
    m_player.m_bPlaying = TRUE;
    Page().OnPlayingChanged(TRUE);
    EXPECT_FALSE(CUiScript::IsEnabled(PageWnd(), IDC_CDPL_AUDITION));
    Tick({0});  // no change while playing
    EXPECT_EQ(Marked(), (std::vector<int>{0, 2, 4, 5}));
    SetText(IDC_CDPL_ALBUM, "Played Album");
    Check(IDC_CDPL_LOOP, true);
    std::string text;
    PressAnswering(IDOK, [&](CUiScript& script) { text = script.AnswerBox(IDOK, BoxIcon::Information, BoxButtons::Ok); });
    EXPECT_EQ(text, m_app.Text(IDS_SELECTION_KEPT));
    EXPECT_EQ(m_player.m_disc.m_selection, (std::vector<BYTE>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Stored("NumSelect"), "6");
    EXPECT_EQ(Stored("Album"), "Played Album");
    EXPECT_EQ(Stored("Mode"), "2");
    EXPECT_EQ(m_player.m_modes, std::vector<int>{2});
    EXPECT_EQ(m_player.m_nSelectionChanges, 0);
    EXPECT_EQ(m_player.m_nTitleChanges, 1);
}

TEST_F(CDPlaylistTest, LoopAndShuffleGiveTheStoredMode) {
    const struct {
        bool bLoop, bShuffle;
        const char* mode;
    } cases[] = {{true, false, "2"}, {false, true, "5"}, {true, true, "6"}, {false, false, "1"}};
    ASSERT_TRUE(Open());
    for (const auto& c : cases) {
        Check(IDC_CDPL_LOOP, c.bLoop);
        Check(IDC_CDPL_SHUFFLE, c.bShuffle);
        EXPECT_TRUE(Page().IsModified());
        Page().Save();
        EXPECT_EQ(Stored("Mode"), c.mode) << c.bLoop << c.bShuffle;
    }
}

TEST_F(CDPlaylistTest, RenamingKeepsTheOldTitleForAnEmptyText) {
    ASSERT_TRUE(Open());
    CUiScript ui(kTestTitle);
    ui.Run(
        [&](CUiScript& script) {
            script.RenameListViewRow(PageWnd(), IDC_CDPL_TRACKS, 0, "");
            script.RenameListViewRow(PageWnd(), IDC_CDPL_TRACKS, 2, "\"New Step\"");
        },
        [&] {
            EXPECT_TRUE(orvtest::PumpUntil(
                [&] { return CUiScript::ListViewRows(PageWnd(), IDC_CDPL_TRACKS)[2] == "<03> \"New Step\""; },
                10000));
        });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(CUiScript::ListViewRows(PageWnd(), IDC_CDPL_TRACKS)[0], "<01> First Light");
    EXPECT_TRUE(Page().IsModified());
    Page().Save();
    EXPECT_EQ(Stored("1"), "First Light");
    EXPECT_EQ(Stored("3"), "\"New Step\"") << "quotes are part of the title";
}

TEST_F(CDPlaylistTest, AlbumDataSurvivesOkAndARereadByteForByte) {
    const std::string comment = "line one\r\nline two\r\nline three";
    ASSERT_TRUE(Open());
    SetText(IDC_CDPL_ALBUM, "Album \xE9");
    SetText(IDC_CDPL_ARTIST, "Artist");
    SetText(IDC_CDPL_YEAR, "1999");
    SetText(IDC_CDPL_COMMENT, comment);
    Page().m_genres.SelectString(-1, "Blues");
    PressAnswering(IDOK, [](CUiScript& script) { EXPECT_TRUE(script.NoBoxFor(300)); });
    ASSERT_TRUE(Reread());
    const CCDDisc& disc = m_player.m_disc;
    EXPECT_STREQ(disc.m_strAlbum, "Album \xE9");
    EXPECT_STREQ(disc.m_strArtist, "Artist");
    EXPECT_STREQ(disc.m_strYear, "1999");
    EXPECT_STREQ(disc.m_strGenre, "Blues");
    EXPECT_EQ(std::string(disc.m_strComment.GetString()), comment);
}

TEST_F(CDPlaylistTest, CancelAsksAndNoSavesWhileYesDiscards) {
    const struct {
        int answer;
        const char* typed;
        const char* stored;
    } cases[] = {{IDNO, "Saved", "Saved"}, {IDYES, "Dropped", "Saved"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Open());
        SetText(IDC_CDPL_ALBUM, c.typed);
        std::string text;
        PressAnswering(IDCANCEL,
                       [&](CUiScript& script) { text = script.AnswerBox(c.answer, BoxIcon::Question, BoxButtons::YesNo); });
        EXPECT_EQ(text, m_app.Text(IDS_ASK_DISCARD_DISC_EDITS));
        EXPECT_EQ(Stored("Album"), c.stored) << c.answer;
        ASSERT_TRUE(Reread());
    }
}

TEST_F(CDPlaylistTest, LeavingThePageAsks) {
    ASSERT_TRUE(Open());
    SetText(IDC_CDPL_YEAR, "2001");
    CUiScript ui(kTestTitle);
    std::string text;
    ui.Run([&](CUiScript& script) { text = script.AnswerBox(IDNO, BoxIcon::Question, BoxButtons::YesNo); },
           [&] { m_sheet.SetActivePage(1); });
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(text, m_app.Text(IDS_ASK_DISCARD_DISC_EDITS));
    EXPECT_EQ(Stored("Year"), "2001");
}

TEST_F(CDPlaylistTest, ARereadOfTheSameDiscKeepsUnsavedEditsAndAnotherDiscReplacesThem) {
    ASSERT_TRUE(Open());
    SetText(IDC_CDPL_ARTIST, "Unsaved");
    Tick({0});
    m_player.m_disc.m_strIdentifier.Empty();  // as a read of the emptied drive leaves it
    Page().OnDiscChanged();
    ASSERT_TRUE(Insert(cdtest::kDemoCue));
    EXPECT_EQ(Field(IDC_CDPL_ARTIST), "Unsaved");
    EXPECT_EQ(Marked(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(Page().IsModified());
    ASSERT_TRUE(Insert(cdtest::MakeTestDisc("other", {cdtest::Frames(0, 5, 0), cdtest::Frames(0, 4, 0)}).cue));
    EXPECT_EQ(Field(IDC_CDPL_ARTIST), "");
    EXPECT_EQ(Marked(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(Page().IsModified());
}

TEST_F(CDPlaylistTest, TipsFollowTheSwitches) {
    ASSERT_TRUE(Open());
    // Tooltips are asked by the control's window; the texts come from the page's rule.
    NMTTDISPINFOA info = {};
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    const struct {
        int nId;
        bool bChecked;
        UINT nText;
    } cases[] = {{IDC_CDPL_LOOP, true, IDS_TIP_LOOP_ON},       {IDC_CDPL_LOOP, false, IDS_TIP_LOOP_OFF},
                 {IDC_CDPL_SHUFFLE, true, IDS_TIP_SHUFFLE_ON}, {IDC_CDPL_SHUFFLE, false, IDS_TIP_SHUFFLE_OFF},
                 {IDOK, false, IDS_TIP_CD_OK},                 {IDCANCEL, false, IDS_TIP_CD_CANCEL},
                 {IDC_CDPL_AUDITION, false, IDS_TIP_CD_AUDITION}};
    for (const auto& c : cases) {
        if (c.nId == IDC_CDPL_LOOP || c.nId == IDC_CDPL_SHUFFLE)
            ::CheckDlgButton(PageWnd(), c.nId, c.bChecked ? BST_CHECKED : BST_UNCHECKED);
        info.hdr.idFrom = reinterpret_cast<UINT_PTR>(::GetDlgItem(PageWnd(), c.nId));
        info.lpszText = nullptr;
        ::SendMessageA(PageWnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(info.lpszText, nullptr) << c.nId;
        EXPECT_EQ(std::string(info.lpszText), m_app.Text(c.nText)) << c.nId;
    }
    m_player.m_bPlaying = TRUE;
    Page().OnPlayingChanged(TRUE);
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(::GetDlgItem(PageWnd(), IDC_CDPL_AUDITION));
    info.lpszText = nullptr;
    ::SendMessageA(PageWnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.lpszText, nullptr);
}

TEST_F(CDPlaylistTest, AnAuditionPlaysOnlyItsTrackWithThePageLockedAndEndsAtItsEnd) {
    ASSERT_TRUE(Open());
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdplaylist-audition"));
    const DWORD dwStart = ::GetTickCount();
    CCDAuditionDlg* pAudition = StartAudition(2);
    ASSERT_NE(pAudition, nullptr);
    EXPECT_EQ(m_player.m_nReleases, 1);
    EXPECT_EQ(CUiScript::ItemText(pAudition->m_hWnd, IDC_CDAU_TITLE), "Short Step");
    EXPECT_EQ(CUiScript::ItemText(pAudition->m_hWnd, IDC_CDAU_TRACK), "03");
    EXPECT_FALSE(CUiScript::IsEnabled(pAudition->m_hWnd, IDC_CDAU_PLAY));
    CRect rcFrame, rcAudition;
    ::GetWindowRect(::GetDlgItem(PageWnd(), IDC_CDPL_FRAME), &rcFrame);
    pAudition->GetWindowRect(&rcAudition);
    EXPECT_EQ(rcAudition.TopLeft(), CPoint(rcFrame.left + 6, rcFrame.top + 6));
    for (int nId : {IDC_CDPL_ALBUM, IDC_CDPL_COMMENT, IDC_CDPL_GENRE, IDC_CDPL_YEAR_LABEL, IDOK, IDCANCEL})
        EXPECT_FALSE(CUiScript::IsEnabled(PageWnd(), nId)) << nId;
    EXPECT_FALSE(TabsEnabled());
    orvtest::CaptureScreen("cdplaylist-audition");
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Page().Audition() == nullptr; }, 20000));
    const double dSeconds = (::GetTickCount() - dwStart) / 1000.0;
    // Track 3 lasts 7.3 s; track 4 behind it would go on for 16 s more.
    EXPECT_GT(dSeconds, 6.0);
    EXPECT_LT(dSeconds, 11.0);
    const orvtest::Pcm heard = recorder.Stop();
    const double dHz = orvtest::DominantFrequency(heard);
    EXPECT_LT(std::fabs(dHz - orvdemo::kDemoTracks[2].droneHz), orvdemo::kDemoTracks[2].droneHz * 0.03) << dHz;
    // Its last frames too, not only its whole seconds.
    const std::vector<orvtest::Span> sound = orvtest::SoundSpans(heard, 200);
    ASSERT_FALSE(sound.empty());
    EXPECT_NEAR(sound.back().toMs - sound.front().fromMs, orvdemo::kDemoTracks[2].frames * 1000.0 / 75, 100.0)
        << orvtest::DescribeSpans(sound);
    EXPECT_EQ(m_player.m_nReclaims, 1);
    for (int nId : {IDC_CDPL_ALBUM, IDC_CDPL_GENRE, IDOK, IDCANCEL}) EXPECT_TRUE(CUiScript::IsEnabled(PageWnd(), nId));
    EXPECT_TRUE(TabsEnabled());
}

TEST_F(CDPlaylistTest, AnAuditionDestroyedWithTheSheetFallsSilentAndGivesTheDriveBack) {
    ASSERT_TRUE(Open());
    {
        orvtest::CAudioRecorder playing;
        ASSERT_TRUE(playing.Start("cdplaylist-audition-playing"));
        ASSERT_NE(StartAudition(1), nullptr);
        ASSERT_TRUE(orvtest::PumpUntil([&] { return playing.HeardSound(); }, 5000));
    }
    m_sheet.DestroyWindow();
    EXPECT_EQ(m_player.m_nReclaims, 1);
    EXPECT_EQ(Page().Audition(), nullptr);
    orvtest::CAudioRecorder recorder;
    ASSERT_TRUE(recorder.Start("cdplaylist-audition-gone"));
    orvtest::PumpFor(800);
    EXPECT_FALSE(recorder.HeardSound());
}

TEST_F(CDPlaylistTest, AuditionPauseFallsSilentAndPlayGoesOnFromTheSlider) {
    ASSERT_TRUE(Open());
    CCDAuditionDlg* pAudition = StartAudition(1);  // 83 s, a fifth higher after 1:00
    ASSERT_NE(pAudition, nullptr);
    HWND hAudition = pAudition->m_hWnd;
    EXPECT_EQ(pAudition->m_slider.GetRangeMax(), m_player.m_disc.TrackAt(1)->GetLengthInSeconds());
    ASSERT_TRUE(orvtest::PumpUntil([&] { return CUiScript::ItemText(hAudition, IDC_CDAU_ELAPSED) == "00:01"; }, 5000));
    PressIn(hAudition, IDC_CDAU_PAUSE);
    EXPECT_TRUE(CUiScript::IsEnabled(hAudition, IDC_CDAU_PLAY));
    EXPECT_FALSE(CUiScript::IsEnabled(hAudition, IDC_CDAU_PAUSE));
    {
        orvtest::CAudioRecorder paused;
        ASSERT_TRUE(paused.Start("cdplaylist-audition-paused"));
        orvtest::PumpFor(600);
        EXPECT_FALSE(paused.HeardSound());
    }
    // The thumb dragged to 1:10 and let go there.
    const LPARAM slider = reinterpret_cast<LPARAM>(pAudition->m_slider.m_hWnd);
    ::SendMessageA(hAudition, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 70), slider);
    pAudition->m_slider.SetPos(70);
    orvtest::PumpFor(400);  // position ticks while dragging leave the thumb alone
    EXPECT_EQ(pAudition->m_slider.GetPos(), 70);
    orvtest::CAudioRecorder resumed;
    ASSERT_TRUE(resumed.Start("cdplaylist-audition-resumed"));
    ::SendMessageA(hAudition, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70), slider);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return resumed.HeardSound(); }, 5000));
    orvtest::PumpFor(1000);
    const double dHz = orvtest::DominantFrequency(resumed.Stop());
    EXPECT_LT(std::fabs(dHz - orvdemo::kDemoTracks[1].laterDroneHz), orvdemo::kDemoTracks[1].laterDroneHz * 0.03) << dHz;
    EXPECT_FALSE(CUiScript::IsEnabled(hAudition, IDC_CDAU_PLAY));
    PressIn(hAudition, IDC_CDAU_STOP);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return Page().Audition() == nullptr; }, 3000));
    EXPECT_EQ(m_player.m_nReclaims, 1);
}
