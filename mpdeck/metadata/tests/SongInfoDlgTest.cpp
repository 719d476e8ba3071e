// The More Info dialog's tag editor, driven through its real controls; every
// message box it shows is answered by pressing its button.
#include <cstring>
#include <memory>

#include "MetaTestSupport.h"
#include "SongInfoDlg.h"
#include "TelmarIds.h"
#include "UiScript.h"
#include "mpdeck/MoreInfoIds.h"

namespace {

using orvtest::CUiScript;

const char kInfoCaption[] = "More Info";

class SongInfoDlgTest : public MetaTest {
protected:
    // Runs the dialog on path; the script runs between its opening and its Close.
    bool RunDialog(const std::string& path, const std::function<void(CUiScript&)>& steps) {
        m_dlg.m_strPath = path.c_str();
        CUiScript ui(kMetaTestTitle);
        INT_PTR nResult = -1;
        ui.Run(
            [&](CUiScript& script) {
                if (!script.WaitWindow(kInfoCaption)) return;
                steps(script);
                CUiScript::Click(m_dlg.m_hWnd, IDCANCEL);
            },
            [&] { nResult = m_dlg.DoModal(); });
        EXPECT_EQ(nResult, IDCANCEL);
        EXPECT_TRUE(ui.Clean()) << ui.Report();
        return ui.Clean();
    }

    std::string Item(int nId) const {
        CString strText;
        m_dlg.GetDlgItemText(nId, strText);
        return strText.GetString();
    }
    void SetItem(int nId, const char* text) { m_dlg.SetDlgItemText(nId, text); }
    LRESULT Genre(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return m_dlg.SendDlgItemMessage(IDC_INFO_GENRE, msg, wParam, lParam);
    }
    std::string SelectedGenreText() const {
        const LRESULT nSel = Genre(CB_GETCURSEL);
        if (nSel == CB_ERR) return "";
        char text[64] = {};
        Genre(CB_GETLBTEXT, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(text));
        return text;
    }
    // Presses a button and answers the box it shows; the dialog has handled the
    // answer when this returns.
    void PressAndAnswer(CUiScript& script, int nButton, int nAnswer, std::string* pText) {
        CUiScript::Click(m_dlg.m_hWnd, nButton);
        const std::string text = script.AnswerBox(nAnswer);
        if (pText) *pText = text;
        CUiScript::Settle(m_dlg.m_hWnd);
    }

    CSongInfoDlg m_dlg;
};

TEST_F(SongInfoDlgTest, ShowsTheTagWithLimitedInputsAndASortedGenreBox) {
    const std::string path = MakeFile("show.mp3", 900, TagBytes("TAG", "Song", "Band  ", "Record", "1987", "Hi", 17));
    ASSERT_TRUE(RunDialog(path, [&](CUiScript&) {
        {
            EXPECT_EQ(Item(IDC_INFO_PATH), path);
            EXPECT_EQ(Item(IDC_INFO_TITLE), "Song");
            EXPECT_EQ(Item(IDC_INFO_ARTIST), "Band");
            EXPECT_EQ(Item(IDC_INFO_ALBUM), "Record");
            EXPECT_EQ(Item(IDC_INFO_YEAR), "1987");
            EXPECT_EQ(Item(IDC_INFO_COMMENT), "Hi");
            EXPECT_EQ(SelectedGenreText(), "Rock");
            for (int nId : {IDC_INFO_TITLE, IDC_INFO_ARTIST, IDC_INFO_ALBUM, IDC_INFO_COMMENT})
                EXPECT_EQ(m_dlg.SendDlgItemMessage(nId, EM_GETLIMITTEXT), 30) << nId;
            EXPECT_EQ(m_dlg.SendDlgItemMessage(IDC_INFO_YEAR, EM_GETLIMITTEXT), 4);

            // Sorted for display, each item still carrying its own number.
            ASSERT_EQ(Genre(CB_GETCOUNT), kGenreCount);
            std::string previous;
            for (int nItem = 0; nItem < kGenreCount; ++nItem) {
                char text[64] = {};
                Genre(CB_GETLBTEXT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(text));
                const LRESULT nGenre = Genre(CB_GETITEMDATA, static_cast<WPARAM>(nItem));
                ASSERT_GE(nGenre, 0);
                ASSERT_LT(nGenre, kGenreCount);
                EXPECT_STREQ(text, g_apszGenreNames[nGenre]);
                EXPECT_LE(::lstrcmpiA(previous.c_str(), text), 0) << text;
                previous = text;
            }
        }
    }));
}

TEST_F(SongInfoDlgTest, AnID3v2TagIsShownNamedAndSavedAsID3v1) {
    const std::string title = "A title longer than thirty characters";
    const std::vector<BYTE> v2 = Id3v2Bytes({{"TIT2", std::string(1, '\0') + title}, {"TCON", std::string(1, '\0') + "Jazz"}});
    const std::string path = MakeFile("v2.mp3", 900, {}, v2);
    std::string group, saved;
    ASSERT_TRUE(RunDialog(path, [&](CUiScript& script) {
        EXPECT_EQ(Item(IDC_INFO_TITLE), title);
        EXPECT_EQ(SelectedGenreText(), "Jazz");
        EXPECT_EQ(Item(IDC_INFO_TAG_GROUP), "ID3v2.3 Tag (saved as ID3v1)");
        PressAndAnswer(script, IDC_INFO_SAVE, IDOK, &saved);
        group = Item(IDC_INFO_TAG_GROUP);
    }));
    EXPECT_EQ(saved, Text(IDS_TAG_SAVED).GetString());
    EXPECT_EQ(group, Text(IDS_TAG_SHOWN_ID3V1).GetString());
    const std::vector<BYTE> after = ReadAll(path);
    ASSERT_EQ(after.size(), v2.size() + 900 + 128);
    EXPECT_TRUE(std::equal(v2.begin(), v2.end(), after.begin())) << "the ID3v2 tag stays as it was";
    EXPECT_EQ(0, std::memcmp(&after[v2.size() + 900], ("TAG" + title.substr(0, 30)).c_str(), 33));
    EXPECT_EQ(after.back(), 8) << "Jazz";
}

TEST_F(SongInfoDlgTest, UnknownGenreShowsNoneAndTwoSavesLeaveOneTagWith127) {
    const std::string path = MakeFile("genre.mp3", 1500, TagBytes("TAG", "Old", "", "", "", "", 200));
    const std::vector<BYTE> before = ReadAll(path);
    std::string first, second;
    ASSERT_TRUE(RunDialog(path, [&](CUiScript& script) {
        {
            EXPECT_EQ(Genre(CB_GETCURSEL), CB_ERR);
            SetItem(IDC_INFO_TITLE, "New Title");
            SetItem(IDC_INFO_YEAR, "2024");
        }
        PressAndAnswer(script, IDC_INFO_SAVE, IDOK, &first);
        PressAndAnswer(script, IDC_INFO_SAVE, IDOK, &second);
    }));
    EXPECT_EQ(first, Text(IDS_TAG_SAVED).GetString());
    EXPECT_EQ(second, Text(IDS_TAG_SAVED).GetString());
    const std::vector<BYTE> after = ReadAll(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 1500, after.begin()));
    EXPECT_EQ(0, std::memcmp(&after[1500], "TAGNew Title", 12));
    EXPECT_EQ(0, std::memcmp(&after[1500 + 93], "2024", 4));
    EXPECT_EQ(after[1500 + 127], kNoGenre);
}

TEST_F(SongInfoDlgTest, EnterInATagFieldSavesWhatWasTyped) {
    const std::string path = MakeFile("enter.mp3", 600);
    std::string saved;
    ASSERT_TRUE(RunDialog(path, [&](CUiScript& script) {
        SetItem(IDC_INFO_ALBUM, "Typed Album");
        // The user's keys, in the dialog's own queue: focus in the field, then Enter.
        const HWND hAlbum = ::GetDlgItem(m_dlg.m_hWnd, IDC_INFO_ALBUM);
        ::PostMessageA(m_dlg.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hAlbum), TRUE);
        ::PostMessageA(hAlbum, WM_KEYDOWN, VK_RETURN, 1);
        saved = script.AnswerBox(IDOK);
        CUiScript::Settle(m_dlg.m_hWnd);
    }));
    EXPECT_EQ(saved, Text(IDS_TAG_SAVED).GetString());
    const std::vector<BYTE> after = ReadAll(path);
    ASSERT_EQ(after.size(), 728u);
    EXPECT_EQ(0, std::memcmp(&after[600 + 63], "Typed Album", 11));
}

TEST_F(SongInfoDlgTest, ChosenGenreIsSavedByItsNumber) {
    const std::string path = MakeFile("choose.mp3", 600);
    ASSERT_TRUE(RunDialog(path, [&](CUiScript& script) {
        {
            EXPECT_EQ(Item(IDC_INFO_TITLE), "");
            const LRESULT nItem = Genre(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>("Acid Jazz"));
            ASSERT_NE(nItem, CB_ERR);
            Genre(CB_SETCURSEL, static_cast<WPARAM>(nItem));
            SetItem(IDC_INFO_ARTIST, "Trio");
        }
        PressAndAnswer(script, IDC_INFO_SAVE, IDOK, nullptr);
    }));
    const std::vector<BYTE> after = ReadAll(path);
    ASSERT_EQ(after.size(), 728u) << "a file without a tag gets one appended";
    EXPECT_EQ(0, std::memcmp(&after[600 + 33], "Trio", 4));
    EXPECT_EQ(after[600 + 127], 74);
}

TEST_F(SongInfoDlgTest, RemoveThenSaveLeavesTheAudioAndOneTag) {
    const std::string path = MakeFile("remove.mp3", 2048, TagBytes("TAG", "Gone", "Gone", "", "", "", 8));
    const std::vector<BYTE> before = ReadAll(path);
    std::string ask, removed, saved;
    ASSERT_TRUE(RunDialog(path, [&](CUiScript& script) {
        PressAndAnswer(script, IDC_INFO_REMOVE_TAG, IDYES, &ask);
        removed = script.AnswerBox(IDOK);
        CUiScript::Settle(m_dlg.m_hWnd);
        {
            for (int nId : {IDC_INFO_TITLE, IDC_INFO_ARTIST, IDC_INFO_ALBUM, IDC_INFO_YEAR, IDC_INFO_COMMENT,
                            IDC_INFO_GENRE})
                EXPECT_EQ(Item(nId), "") << nId;
            EXPECT_EQ(ReadAll(path).size(), 2048u);
            SetItem(IDC_INFO_TITLE, "Back");
        }
        PressAndAnswer(script, IDC_INFO_SAVE, IDOK, &saved);
    }));
    EXPECT_EQ(ask, Text(IDS_TAG_ASK_REMOVE).GetString());
    EXPECT_EQ(removed, Text(IDS_TAG_REMOVED).GetString());
    EXPECT_EQ(saved, Text(IDS_TAG_SAVED).GetString());
    const std::vector<BYTE> after = ReadAll(path);
    ASSERT_EQ(after.size(), 2048u + 128);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 2048, after.begin()));
    EXPECT_EQ(0, std::memcmp(&after[2048], "TAGBack", 7));
    EXPECT_EQ(after[2048 + 127], kNoGenre);
}

TEST_F(SongInfoDlgTest, RemoveAsksFirstAndKnowsWhenThereIsNoTag) {
    const std::string tagged = MakeFile("keep.mp3", 800, TagBytes("TAG", "Stay", "", "", "", "", 1));
    const std::vector<BYTE> before = ReadAll(tagged);
    ASSERT_TRUE(RunDialog(tagged, [&](CUiScript& script) {
        PressAndAnswer(script, IDC_INFO_REMOVE_TAG, IDNO, nullptr);
        EXPECT_EQ(Item(IDC_INFO_TITLE), "Stay") << "No keeps the fields";
    }));
    EXPECT_EQ(ReadAll(tagged), before);

    // Also a short file: it has no tag and is never cut.
    const std::string tiny = MakeFile("tiny.mp3", 90);
    std::string none;
    ASSERT_TRUE(RunDialog(tiny, [&](CUiScript& script) {
        PressAndAnswer(script, IDC_INFO_REMOVE_TAG, IDOK, &none);
    }));
    EXPECT_EQ(none, Text(IDS_TAG_NONE).GetString());
    EXPECT_EQ(ReadAll(tiny).size(), 90u);
}

TEST_F(SongInfoDlgTest, AFileInUseReportsFailedSaveAndRemove) {
    const std::string path = MakeFile("readonly.mp3", 512, TagBytes("TAG", "Fixed", "", "", "", "", 2));
    const std::vector<BYTE> before = ReadAll(path);
    std::string openFailed, saveFailed, removeFailed;
    std::unique_ptr<CFileLock> lock;
    ASSERT_TRUE(RunDialog(path, [&](CUiScript& script) {
        {
            lock = std::make_unique<CFileLock>(path);
            EXPECT_TRUE(lock->Held());
            SetItem(IDC_INFO_TITLE, "Changed");
        }
        PressAndAnswer(script, IDC_INFO_SAVE, IDOK, &openFailed);
        saveFailed = script.AnswerBox(IDOK);
        CUiScript::Settle(m_dlg.m_hWnd);
        PressAndAnswer(script, IDC_INFO_REMOVE_TAG, IDYES, nullptr);
        removeFailed = script.AnswerBox(IDOK);
        CUiScript::Settle(m_dlg.m_hWnd);
        EXPECT_EQ(Item(IDC_INFO_TITLE), "") << "the fields are emptied before the failure";
    }));
    EXPECT_EQ(openFailed, Text(IDS_TAG_WRITE_OPEN_FAILED).GetString());
    EXPECT_EQ(saveFailed, Text(IDS_TAG_SAVE_FAILED).GetString());
    EXPECT_EQ(removeFailed, Text(IDS_TAG_REMOVE_FAILED).GetString());
    lock.reset();
    EXPECT_EQ(ReadAll(path), before);
}

}  // namespace
