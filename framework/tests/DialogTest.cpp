// Dialogs from templates, modal and modeless, and the application's message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "UiScript.h"
#include "fw/Framework.h"
#include "fw_test_ids.h"

namespace {

const UINT UM_FINISH = WM_USER + 20;

// Ends a message loop that would otherwise wait for ever when a test fails.
void CALLBACK QuitLoop(HWND, UINT, UINT_PTR, DWORD) {
    ::PostQuitMessage(99);
}

class CFormDlg : public CDialog {
public:
    CFormDlg() : CDialog(IDD_FW_DIALOG) {}
    std::vector<std::string> m_log;
    CString m_strText;
    UINT m_nFinishWith = IDOK;

protected:
    BOOL OnInitDialog() override {
        m_log.push_back("init");
        m_edit.SubclassDlgItem(IDC_FW_EDIT1, this);
        m_edit.SetWindowText("from init");
        PostMessage(UM_FINISH);
        return TRUE;
    }
    void OnOK() override {
        m_log.push_back("ok");
        m_edit.GetWindowText(m_strText);
        CDialog::OnOK();
    }
    void OnCancel() override {
        m_log.push_back("cancel");
        CDialog::OnCancel();
    }
    LRESULT OnFinish(WPARAM, LPARAM) {
        if (m_nFinishWith == IDOK) PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        else PostMessage(WM_CLOSE);  // the dialog manager turns it into IDCANCEL
        return 0;
    }

    CEdit m_edit;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFormDlg, CDialog)
    ON_MESSAGE(UM_FINISH, OnFinish)
END_MESSAGE_MAP()

TEST(ModalDialog, OkEndsDoModalWithTheControlsStillReadable) {
    CFormDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_log, (std::vector<std::string>{"init", "ok"}));
    EXPECT_STREQ(dlg.m_strText, "from init");
    EXPECT_EQ(dlg.m_hWnd, nullptr) << "the object lets go when the dialog is gone";
}

TEST(ModalDialog, CloseBecomesCancel) {
    CFormDlg dlg;
    dlg.m_nFinishWith = IDCANCEL;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_log, (std::vector<std::string>{"init", "cancel"}));
}

TEST(ModalDialog, MissingTemplateFails) {
    CDialog dlg(9999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(CDialog().Create(9999));
}

// A modeless dialog that destroys itself and is deleted afterwards, as the programs'
// audition windows are.
class CModelessDlg : public CDialog {
public:
    explicit CModelessDlg(int* pDeleted) : m_pDeleted(pDeleted) {}
    ~CModelessDlg() override { ++*m_pDeleted; }

protected:
    void OnCancel() override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }

private:
    int* m_pDeleted;
};

TEST(ModelessDialog, CreatedFromTemplateAndDeletedOnceAfterDestroy) {
    int deleted = 0;
    auto* pDlg = new CModelessDlg(&deleted);
    ASSERT_TRUE(pDlg->Create(IDD_FW_DIALOG));
    HWND hDlg = pDlg->m_hWnd;
    ASSERT_NE(::GetDlgItem(hDlg, IDC_FW_EDIT2), nullptr);
    pDlg->ShowWindow(SW_SHOW);
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return deleted != 0; }, 3000));
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(::IsWindow(hDlg));
}

TEST(ModelessDialog, DestroyedWithItsObject) {
    HWND hDlg = nullptr;
    {
        CDialog dlg;
        ASSERT_TRUE(dlg.Create(IDD_FW_DIALOG));
        hDlg = dlg.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hDlg));
}

class CQuitOnDestroyDlg : public CDialog {
protected:
    void OnCancel() override { DestroyWindow(); }
    void OnDestroy() {
        CDialog::OnDestroy();
        ::PostQuitMessage(3);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CQuitOnDestroyDlg, CDialog)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(MessageLoop, RunGivesModelessDialogsTheirKeyboardNavigation) {
    CWinApp app("Orvanta-Test");
    AfxWinInit(::GetModuleHandleA(nullptr), nullptr, SW_SHOW);
    CQuitOnDestroyDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_FW_DIALOG));
    dlg.ShowWindow(SW_SHOW);
    dlg.SetForegroundWindow();
    HWND hEdit1 = ::GetDlgItem(dlg.m_hWnd, IDC_FW_EDIT1);
    HWND hEdit2 = ::GetDlgItem(dlg.m_hWnd, IDC_FW_EDIT2);
    ::SetFocus(hEdit1);
    ASSERT_EQ(::GetFocus(), hEdit1);

    // Tab moves the focus only when the loop hands the key to IsDialogMessage; Esc then
    // cancels the dialog, which quits the loop.
    HWND hFocusAfterTab = nullptr;
    ::PostMessageA(hEdit1, WM_KEYDOWN, VK_TAB, 0);
    // The loop of Run, by hand until the Tab has been handled: record the focus, press Esc.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message == WM_TIMER && !msg.hwnd) {
            hFocusAfterTab = ::GetFocus();
            ::PostMessageA(hFocusAfterTab, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        }
        if (app.PreTranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ::KillTimer(nullptr, timer);
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, QuitLoop);
    const int code = app.Run();
    ::KillTimer(nullptr, guard);
    EXPECT_EQ(hFocusAfterTab, hEdit2);
    EXPECT_EQ(code, 3) << "Run returns the quit code through ExitInstance";
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(MessageBoxHelper, CaptionIsTheProgramTitle) {
    CWinApp app("Orvanta-MP3");
    orvtest::CUiScript ui("Orvanta-MP3");
    std::string text;
    int result = 0;
    ui.Run([&](orvtest::CUiScript& script) { text = script.AnswerBox(IDOK); },
           [&] { result = AfxMessageBox("Unable to play", MB_OK | MB_ICONEXCLAMATION); });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(ui.Clean()) << ui.Report();
    EXPECT_EQ(text, "Unable to play");
}

}  // namespace
