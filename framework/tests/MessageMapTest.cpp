// Message-map dispatch on real windows: commands, control notifications, private
// messages, base-class chaining, default handling and window lifetime.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "fw/Framework.h"

namespace {

const UINT kCmdPlay = 2114;
const UINT kCmdRangeFirst = 2101;
const UINT kCmdRangeLast = 2111;
const UINT kIdEdit = 40;
const UINT kIdButton = 41;
const UINT UM_TEST = WM_USER + 10;
const UINT UM_ONLY_BASE = WM_USER + 11;
const UINT kCustomNotify = 0x1234;
const UINT_PTR kTimerId = 7;

class CBaseWnd : public CWnd {
public:
    std::vector<std::string> m_log;

protected:
    void OnPlay() { m_log.push_back("base play"); }
    void OnHotspot(UINT nID) { m_log.push_back("hotspot " + std::to_string(nID)); }
    LRESULT OnTest(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    LRESULT OnOnlyBase(WPARAM, LPARAM) {
        m_log.push_back("only base");
        return 5;
    }
    void OnEditChange() { m_log.push_back("edit change"); }
    void OnButtonClicked() { m_log.push_back("clicked"); }
    void OnCustom(NMHDR* pHdr, LRESULT* pResult) {
        m_log.push_back("notify " + std::to_string(pHdr->idFrom));
        *pResult = 42;
    }
    void OnTimer(UINT_PTR nIDEvent) {
        m_log.push_back("timer " + std::to_string(nIDEvent));
        KillTimer(nIDEvent);
    }
    LRESULT OnSetTextSeen(WPARAM, LPARAM) {
        m_log.push_back("settext");
        return Default();  // the real window still takes the text
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_COMMAND(kCmdPlay, OnPlay)
    ON_COMMAND_RANGE(kCmdRangeFirst, kCmdRangeLast, OnHotspot)
    ON_MESSAGE(UM_TEST, OnTest)
    ON_MESSAGE(UM_ONLY_BASE, OnOnlyBase)
    ON_EN_CHANGE(kIdEdit, OnEditChange)
    ON_BN_CLICKED(kIdButton, OnButtonClicked)
    ON_NOTIFY(kCustomNotify, kIdButton, OnCustom)
    ON_WM_TIMER()
    ON_MESSAGE(WM_SETTEXT, OnSetTextSeen)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
protected:
    void OnPlayDerived() { m_log.push_back("derived play"); }
    LRESULT OnTestDerived(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam * lParam); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_COMMAND(kCmdPlay, OnPlayDerived)
    ON_MESSAGE(UM_TEST, OnTestDerived)
END_MESSAGE_MAP()

template <class T>
void CreateTopLevel(T& wnd) {
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "map test", WS_OVERLAPPEDWINDOW, 50, 50, 300, 200, nullptr, nullptr));
    ASSERT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
}

TEST(MessageMap, CommandsAndPrivateMessagesReachTheirHandlers) {
    CBaseWnd wnd;
    CreateTopLevel(wnd);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kCmdPlay, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(2105, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kCmdRangeLast + 1, 0), 0);  // outside the range: nobody
    EXPECT_EQ(wnd.SendMessage(UM_TEST, 3, 4), 7);
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"base play", "hotspot 2105"}));
}

TEST(MessageMap, DerivedEntriesComeFirstAndBaseEntriesStillApply) {
    CDerivedWnd wnd;
    CreateTopLevel(wnd);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kCmdPlay, 0), 0);
    EXPECT_EQ(wnd.SendMessage(UM_TEST, 3, 4), 12);
    EXPECT_EQ(wnd.SendMessage(UM_ONLY_BASE), 5);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(2101, 0), 0);
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"derived play", "only base", "hotspot 2101"}));
}

TEST(MessageMap, ControlNotificationsFromRealChildren) {
    CBaseWnd wnd;
    CreateTopLevel(wnd);
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(5, 5, 100, 25), &wnd, kIdEdit));
    CButton button;
    ASSERT_TRUE(button.Create("Go", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 30, 100, 50), &wnd, kIdButton));
    wnd.ShowWindow(SW_SHOW);

    edit.SetWindowText("typed");  // the edit control itself sends EN_CHANGE
    button.SendMessage(BM_CLICK);  // and the button BN_CLICKED
    NMHDR hdr = {button.m_hWnd, kIdButton, kCustomNotify};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, kIdButton, reinterpret_cast<LPARAM>(&hdr)), 42);
    // The same code from another id is not ours.
    NMHDR other = {edit.m_hWnd, kIdEdit, kCustomNotify};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, kIdEdit, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"edit change", "clicked", "notify 41"}));
}

TEST(MessageMap, HandlersCanCallDefaultAndUnmappedMessagesGetIt) {
    CBaseWnd wnd;
    CreateTopLevel(wnd);
    wnd.SetWindowText("Orvanta-MP3");
    CString text;
    wnd.GetWindowText(text);  // WM_GETTEXT is not mapped: the default answers
    EXPECT_STREQ(text, "Orvanta-MP3");
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"settext"}));
}

TEST(MessageMap, TimerMessagesCarryTheirId) {
    CBaseWnd wnd;
    CreateTopLevel(wnd);
    ASSERT_NE(wnd.SetTimer(kTimerId, 20), 0u);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return !wnd.m_log.empty(); }, 3000));
    EXPECT_EQ(wnd.m_log.front(), "timer 7");
}

class COwnerDrawButton : public CButton {
public:
    int m_nDraws = 0;
    UINT m_nLastId = 0;
    void DrawItem(LPDRAWITEMSTRUCT pDraw) override {
        ++m_nDraws;
        m_nLastId = pDraw->CtlID;
        CDC dc;
        dc.Attach(pDraw->hDC);
        dc.FillSolidRect(&pDraw->rcItem, RGB(0, 200, 0));
        dc.Detach();
    }
};

TEST(MessageMap, OwnerDrawnButtonDrawsItselfThroughItsParent) {
    CWnd parent;
    CreateTopLevel(parent);
    COwnerDrawButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 60, 40), &parent, kIdButton));
    parent.ShowWindow(SW_SHOW);
    parent.UpdateWindow();
    orvtest::PumpFor(200);
    EXPECT_GT(button.m_nDraws, 0);
    EXPECT_EQ(button.m_nLastId, kIdButton);
    CClientDC dc(&button);
    EXPECT_EQ(dc.GetPixel(20, 15), RGB(0, 200, 0));
}

class CSelfDeletingWnd : public CWnd {
public:
    explicit CSelfDeletingWnd(int* pDeletes) : m_pDeletes(pDeletes) {}
    ~CSelfDeletingWnd() override { ++*m_pDeletes; }

protected:
    void PostNcDestroy() override { delete this; }

private:
    int* m_pDeletes;
};

TEST(WindowLifetime, PostNcDestroyRunsAfterTheHandleIsReleased) {
    int deletes = 0;
    auto* pWnd = new CSelfDeletingWnd(&deletes);
    ASSERT_TRUE(pWnd->CreateEx(0, nullptr, "self", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    const HWND hWnd = pWnd->m_hWnd;
    ::DestroyWindow(hWnd);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(WindowLifetime, SubclassedItemLetsGoWhenItsWindowDies) {
    CWnd parent;
    CreateTopLevel(parent);
    HWND hEdit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kIdEdit)), nullptr, nullptr);
    ASSERT_NE(hEdit, nullptr);
    CEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(kIdEdit, &parent));
    EXPECT_FALSE(CEdit().SubclassDlgItem(kIdEdit, &parent)) << "one object per window";
    edit.SetWindowText("abc");
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ(text, "abc");
    parent.DestroyWindow();
    EXPECT_EQ(edit.m_hWnd, nullptr);
    EXPECT_EQ(parent.m_hWnd, nullptr);
}

TEST(WindowLifetime, TemporaryWrappersForForeignWindows) {
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(pTemp->m_hWnd, hWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pTemp);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsWindow(hWnd)) << "temporary wrappers never destroy their window";
    ::DestroyWindow(hWnd);
}

class CHiddenFrame : public CFrameWnd {
protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
        cs.cx = 0;
        cs.cy = 0;
        cs.x = -200;
        cs.y = -40;
        cs.style &= ~WS_MAXIMIZEBOX;
        return CFrameWnd::PreCreateWindow(cs);
    }
};

TEST(WindowLifetime, FramePreCreateWindowDecidesPlaceAndStyle) {
    CHiddenFrame frame;
    ASSERT_TRUE(frame.Create(nullptr, "Orvanta-MP3"));
    CRect rect;
    frame.GetWindowRect(&rect);
    EXPECT_EQ(rect.left, -200);
    EXPECT_EQ(rect.top, -40);
    EXPECT_EQ(frame.GetStyle() & WS_MAXIMIZEBOX, 0u);
    EXPECT_EQ(CWnd::FindWindow(nullptr, "Orvanta-MP3"), &frame);
}

}  // namespace
