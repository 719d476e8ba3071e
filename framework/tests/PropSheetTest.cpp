// A modeless property sheet with three pages, as the players open below themselves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "fw/Framework.h"
#include "fw_test_ids.h"

namespace {

const DWORD kSheetStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;

void CALLBACK QuitLoop(HWND, UINT, UINT_PTR, DWORD) {
    ::PostQuitMessage(99);
}

// Ends a message loop that would otherwise wait for ever when a test fails.
class CLoopGuard {
public:
    CLoopGuard() : m_timer(::SetTimer(nullptr, 0, 5000, QuitLoop)) {}
    ~CLoopGuard() { ::KillTimer(nullptr, m_timer); }

private:
    UINT_PTR m_timer;
};

class CLogPage : public CPropertyPage {
public:
    CLogPage(UINT nIDTemplate, const char* pszName, std::vector<std::string>* pLog)
        : CPropertyPage(nIDTemplate), m_strName(pszName), m_pLog(pLog) {}
    bool m_bMayLeave = true;

protected:
    BOOL OnInitDialog() override {
        Log("init");
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        Log("set");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        Log("kill");
        return m_bMayLeave;
    }
    // The page's Close button, and Esc: close the whole sheet, as the programs' pages do.
    void OnCancel() override {
        Log("cancel");
        GetSheet()->DestroyWindow();
    }

private:
    void Log(const char* what) { m_pLog->push_back(m_strName + ":" + what); }
    std::string m_strName;
    std::vector<std::string>* m_pLog;
};

class CTestSheet : public CPropertySheet {
public:
    CTestSheet(int* pDeleted, int* pNcDestroys)
        : CPropertySheet("Orvanta-MP3"),
          m_page1(IDD_FW_PAGE1, "1", &m_log),
          m_page2(IDD_FW_PAGE2, "2", &m_log),
          m_page3(IDD_FW_PAGE3, "3", &m_log),
          m_pDeleted(pDeleted),
          m_pNcDestroys(pNcDestroys) {
        AddPage(&m_page1);
        AddPage(&m_page2);
        AddPage(&m_page3);
    }
    ~CTestSheet() override { ++*m_pDeleted; }

    std::vector<std::string> m_log;
    CLogPage m_page1, m_page2, m_page3;
    bool m_bDestroySeen = false;

protected:
    void OnDestroy() {
        CPropertySheet::OnDestroy();
        m_bDestroySeen = true;
        ::PostQuitMessage(0);
    }
    void PostNcDestroy() override {
        ++*m_pNcDestroys;
        delete this;
    }
    DECLARE_MESSAGE_MAP()

private:
    int* m_pDeleted;
    int* m_pNcDestroys;
};

BEGIN_MESSAGE_MAP(CTestSheet, CPropertySheet)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

class ModelessSheet : public ::testing::Test {
protected:
    void SetUp() override {
        m_pSheet = new CTestSheet(&m_nDeleted, &m_nNcDestroys);
        ASSERT_TRUE(m_pSheet->Create(nullptr, kSheetStyle));
        m_hSheet = m_pSheet->m_hWnd;
    }
    void TearDown() override {
        if (m_nDeleted == 0 && ::IsWindow(m_hSheet)) ::DestroyWindow(m_hSheet);
        // Drain the quit message the sheet posts on its way out.
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {}
    }
    CTestSheet* m_pSheet = nullptr;
    HWND m_hSheet = nullptr;
    int m_nDeleted = 0;
    int m_nNcDestroys = 0;
};

TEST_F(ModelessSheet, PagesAreMadeOnFirstActivationInOrder) {
    EXPECT_EQ(m_pSheet->m_log, (std::vector<std::string>{"1:init", "1:set"}));
    EXPECT_EQ(m_pSheet->m_page2.m_hWnd, nullptr) << "page 2 is made when first shown";
    EXPECT_EQ(m_pSheet->GetActivePage(), &m_pSheet->m_page1);
    EXPECT_TRUE(::IsWindowVisible(m_hSheet));
    EXPECT_EQ(m_pSheet->GetStyle() & WS_SYSMENU, 0u) << "the caller's styles replace the template's";

    m_pSheet->m_log.clear();
    ASSERT_TRUE(m_pSheet->SetActivePage(1));
    EXPECT_EQ(m_pSheet->m_log, (std::vector<std::string>{"1:kill", "2:init", "2:set"}));
    EXPECT_EQ(m_pSheet->GetActivePage(), &m_pSheet->m_page2);
    EXPECT_EQ(m_pSheet->GetActiveIndex(), 1);

    m_pSheet->m_log.clear();
    ASSERT_TRUE(m_pSheet->SetActivePage(&m_pSheet->m_page1));
    EXPECT_EQ(m_pSheet->m_log, (std::vector<std::string>{"2:kill", "1:set"})) << "made once only";
}

TEST_F(ModelessSheet, KillActiveCanKeepThePage) {
    m_pSheet->m_page1.m_bMayLeave = false;
    m_pSheet->SetActivePage(2);
    EXPECT_EQ(m_pSheet->GetActivePage(), &m_pSheet->m_page1);
    EXPECT_EQ(m_pSheet->m_page3.m_hWnd, nullptr);
    EXPECT_EQ(m_pSheet->m_log.back(), "1:kill");
}

TEST_F(ModelessSheet, StandardButtonsAreHiddenAndTheTabsCanBeDisabled) {
    for (int id : {IDOK, IDCANCEL}) {
        HWND hButton = ::GetDlgItem(m_hSheet, id);
        if (hButton) {
            EXPECT_FALSE(::IsWindowVisible(hButton)) << id;
        }
    }
    CRect tab, client;
    CWnd* pTab = m_pSheet->GetTabControl();
    ASSERT_NE(pTab, nullptr);
    pTab->GetWindowRect(&tab);
    m_pSheet->ScreenToClient(&tab);
    m_pSheet->GetClientRect(&client);
    EXPECT_LE(client.bottom - tab.bottom, 20) << "no room left for hidden buttons";

    pTab->EnableWindow(FALSE);
    EXPECT_FALSE(m_pSheet->GetTabControl()->IsWindowEnabled());
    EXPECT_TRUE(m_pSheet->SetPageTitle(0, "MP3 Playlist <Party>"));
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(pTab->m_hWnd, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "MP3 Playlist <Party>");
}

TEST_F(ModelessSheet, DestroyDeletesTheObjectExactlyOnce) {
    HWND hPage1 = m_pSheet->m_page1.m_hWnd;
    ::DestroyWindow(m_hSheet);
    EXPECT_EQ(m_nNcDestroys, 1);
    EXPECT_EQ(m_nDeleted, 1);
    EXPECT_FALSE(::IsWindow(hPage1));
    EXPECT_EQ(CWnd::FromHandlePermanent(hPage1), nullptr);
    orvtest::PumpFor(100);
    EXPECT_EQ(m_nDeleted, 1);
}

TEST_F(ModelessSheet, PageCloseButtonEndsTheSheetThroughTheLoop) {
    CWinApp app("Orvanta-MP3");
    HWND hClose = ::GetDlgItem(m_pSheet->m_page1.m_hWnd, IDCANCEL);
    ASSERT_NE(hClose, nullptr);
    ::PostMessageA(hClose, BM_CLICK, 0, 0);
    CLoopGuard guard;
    app.Run();  // the sheet's WM_DESTROY posts the quit message
    EXPECT_EQ(m_nDeleted, 1);
    EXPECT_FALSE(::IsWindow(m_hSheet));
}

TEST_F(ModelessSheet, EscapeGoesToTheActivePagesCancel) {
    CWinApp app("Orvanta-MP3");
    m_pSheet->SetActivePage(1);
    m_pSheet->SetForegroundWindow();
    HWND hEdit = ::GetDlgItem(m_pSheet->m_page2.m_hWnd, IDC_FW_EDIT1);
    ::SetFocus(hEdit);
    ::PostMessageA(hEdit, WM_KEYDOWN, VK_ESCAPE, 0);
    CLoopGuard guard;
    app.Run();
    EXPECT_EQ(m_nDeleted, 1);
}

}  // namespace
