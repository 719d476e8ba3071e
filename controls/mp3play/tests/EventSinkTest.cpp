// Event delivery of the containment: posted blocks reach the sink map's handler with
// typed arguments, in order, and unknown events are freed without a handler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "fw/Framework.h"

namespace {

constexpr UINT kCtlA = 7;
constexpr UINT kCtlB = 8;

class CSinkWnd : public CWnd {
public:
    std::vector<std::string> m_log;

private:
    void OnDone() { m_log.push_back("done"); }
    void OnReport(long nCode, LPCSTR lpszText) { m_log.push_back(std::to_string(nCode) + ":" + lpszText); }
    void OnMixed(short nShort, BOOL bFlag, float fValue) {
        m_log.push_back(std::to_string(nShort) + (bFlag ? " yes " : " no ") + std::to_string(static_cast<int>(fValue * 10)));
    }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CSinkWnd, CWnd)
    ON_EVENT(CSinkWnd, kCtlA, 2, OnDone, VTS_NONE)
    ON_EVENT(CSinkWnd, kCtlA, 3, OnReport, VTS_I4 VTS_BSTR)
    ON_EVENT(CSinkWnd, kCtlB, 3, OnMixed, VTS_I2 VTS_BOOL VTS_R4)
END_EVENTSINK_MAP()

fw::ControlEventBlock* Report(long nCode, const char* pszText) {
    fw::ControlEventBlock* pBlock = fw::AllocControlEvent(3);
    pBlock->cArgs = 2;
    pBlock->args[0].vt = VT_I4;
    pBlock->args[0].lVal = nCode;
    pBlock->args[1].vt = VT_BSTR;
    pBlock->args[1].bstrVal = fw::AnsiToBstr(pszText);
    return pBlock;
}

TEST(ControlEvents, PostedEventsReachTheSinkInOrder) {
    CSinkWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "sink", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(fw::PostControlEvent(wnd, kCtlA, Report(42, "C:\\music\\a b.mp3")));
    ASSERT_TRUE(fw::PostControlEvent(wnd, kCtlA, fw::AllocControlEvent(2)));
    fw::ControlEventBlock* pMixed = fw::AllocControlEvent(3);
    pMixed->cArgs = 3;
    pMixed->args[0].vt = VT_I2;
    pMixed->args[0].iVal = -5;
    pMixed->args[1].vt = VT_BOOL;
    pMixed->args[1].boolVal = VARIANT_TRUE;
    pMixed->args[2].vt = VT_R4;
    pMixed->args[2].fltVal = 2.5f;
    ASSERT_TRUE(fw::PostControlEvent(wnd, kCtlB, pMixed));
    // Not in the map: the wrong control, the wrong dispid, the wrong argument count.
    ASSERT_TRUE(fw::PostControlEvent(wnd, kCtlB, fw::AllocControlEvent(2)));
    ASSERT_TRUE(fw::PostControlEvent(wnd, kCtlA, fw::AllocControlEvent(9)));
    fw::ControlEventBlock* pShort = Report(1, "x");
    pShort->cArgs = 1;
    ASSERT_TRUE(fw::PostControlEvent(wnd, kCtlA, pShort));
    EXPECT_TRUE(wnd.m_log.empty());  // posted, never sent
    orvtest::PumpFor(100);
    const std::vector<std::string> expected = {"42:C:\\music\\a b.mp3", "done", "-5 yes 25"};
    EXPECT_EQ(wnd.m_log, expected);
    const HWND hWndGone = wnd.GetSafeHwnd();
    wnd.DestroyWindow();
    // A host that is gone: the sender keeps and frees the block.
    EXPECT_FALSE(fw::PostControlEvent(hWndGone, kCtlA, Report(1, "lost")));
    EXPECT_FALSE(fw::PostControlEvent(nullptr, kCtlA, Report(1, "lost")));
}

}  // namespace
