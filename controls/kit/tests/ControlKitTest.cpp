// A tiny control on the kit, hosted by a framework window: typed calls both ways,
// the dispatch errors a caller can meet, events in order, stale worker messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "ctlkit/ControlKit.h"
#include "fw/ControlWnd.h"
#include "fw/Framework.h"

namespace {

constexpr char kWndClass[] = "OrvKitTestCtl";
constexpr UINT kCtlId = 5;
enum : DISPID { kPropLevel = 1, kMethodJoin = 2, kMethodNextRun = 3, kMethodFire = 4 };
enum : DISPID { kEventReport = 1, kEventWorker = 2 };
constexpr UINT kMsgTick = ctlkit::kMsgWorkerFirst;

class CTestControl final : public ctlkit::CControl {
public:
    explicit CTestControl(HWND hWnd) : CControl(hWnd) {}

private:
    ctlkit::MemberList Members() const override;
    void OnWorkerMessage(UINT message, LPARAM lParam) override {
        if (message == kMsgTick) PostEvent(kEventWorker, static_cast<long>(lParam));
    }
    long Level() const { return m_nLevel; }
    void SetLevel(long nLevel) { m_nLevel = nLevel; }
    std::string Join(short n, std::string text, bool bFlag, float f) {
        return std::to_string(n) + "|" + text + "|" + (bFlag ? "yes" : "no") + "|" + std::to_string(static_cast<int>(f * 10));
    }
    // The generation a worker started now would carry.
    long NextRun() {
        NextGeneration();
        return static_cast<long>(Generation());
    }
    short Fire() {
        PostEvent(kEventReport, 7L, "first", true);
        PostEvent(kEventReport, 8L, std::string("second"), false);
        return 0;
    }
    long m_nLevel = 0;
};

ctlkit::MemberList CTestControl::Members() const {
    static const ctlkit::Member kMembers[] = {
        ctlkit::Get<&CTestControl::Level>(kPropLevel),
        ctlkit::Put<&CTestControl::SetLevel>(kPropLevel),
        ctlkit::Method<&CTestControl::Join>(kMethodJoin),
        ctlkit::Method<&CTestControl::NextRun>(kMethodNextRun),
        ctlkit::Method<&CTestControl::Fire>(kMethodFire),
    };
    return kMembers;
}

class CHostWnd : public CWnd {
public:
    std::vector<std::string> m_log;

private:
    void OnReport(long nCode, LPCSTR lpszText, BOOL bFlag) {
        m_log.push_back(std::to_string(nCode) + lpszText + (bFlag ? "+" : "-"));
    }
    void OnWorker(long nValue) { m_log.push_back("worker " + std::to_string(nValue)); }
    DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostWnd, CWnd)
    ON_EVENT(CHostWnd, kCtlId, kEventReport, OnReport, VTS_I4 VTS_BSTR VTS_BOOL)
    ON_EVENT(CHostWnd, kCtlId, kEventWorker, OnWorker, VTS_I4)
END_EVENTSINK_MAP()

class ControlKitTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const BOOL s_bRegistered = ctlkit::RegisterControlWindow(
            ::GetModuleHandleA(nullptr), kWndClass, &ctlkit::ControlWndProc<CTestControl>);
        ASSERT_TRUE(s_bRegistered);
        ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
        ASSERT_TRUE(m_control.Create(kWndClass, "", WS_CHILD, CRect(0, 0, 1, 1), &m_host, kCtlId));
    }
    void TearDown() override {
        if (m_host.GetSafeHwnd()) m_host.DestroyWindow();
    }
    IDispatch* Dispatch() {
        return reinterpret_cast<IDispatch*>(m_control.SendMessage(fw::ControlGetDispatchMessage()));
    }
    CHostWnd m_host;
    CControlWnd m_control;
};

TEST_F(ControlKitTest, TypedCallsRoundTripThroughTheWrapper) {
    EXPECT_EQ(m_control.GetProp<long>(kPropLevel), 0);
    EXPECT_TRUE(SUCCEEDED(m_control.SetProp(kPropLevel, 42L)));
    EXPECT_EQ(m_control.GetProp<long>(kPropLevel), 42);
    // Arguments in order, each converted to the member's type.
    EXPECT_STREQ(m_control.Call<CString>(kMethodJoin, short(-3), "a b", true, 2.5f), "-3|a b|yes|25");
    EXPECT_STREQ(m_control.Call<CString>(kMethodJoin, 12L, CString("x"), false, 0.0f), "12|x|no|0");
}

TEST_F(ControlKitTest, BadCallsGiveTheDispatchErrors) {
    IDispatch* pDispatch = Dispatch();
    ASSERT_NE(pDispatch, nullptr);
    VARIANT args[4];
    for (VARIANT& v : args) ::VariantInit(&v);
    // Last first: Join(short, string, bool, float) with "abc" where the short goes.
    args[3].vt = VT_BSTR;
    args[3].bstrVal = ::SysAllocString(L"abc");
    args[2].vt = VT_BSTR;
    args[2].bstrVal = ::SysAllocString(L"t");
    args[1].vt = VT_BOOL;
    args[1].boolVal = VARIANT_TRUE;
    args[0].vt = VT_R4;
    args[0].fltVal = 1.0f;
    DISPID dispidPut = DISPID_PROPERTYPUT;
    struct Case {
        const char* what;
        DISPID dispid;
        WORD wFlags;
        DISPPARAMS params;
        HRESULT hr;
    } cases[] = {
        {"unknown id", 99, DISPATCH_METHOD, {nullptr, nullptr, 0, 0}, DISP_E_MEMBERNOTFOUND},
        {"method read as property", kMethodNextRun, DISPATCH_PROPERTYGET, {nullptr, nullptr, 0, 0}, DISP_E_MEMBERNOTFOUND},
        {"too few arguments", kMethodJoin, DISPATCH_METHOD, {args, nullptr, 3, 0}, DISP_E_BADPARAMCOUNT},
        {"argument to a get", kPropLevel, DISPATCH_PROPERTYGET, {args, nullptr, 1, 0}, DISP_E_BADPARAMCOUNT},
        {"put without its named value", kPropLevel, DISPATCH_PROPERTYPUT, {args, nullptr, 1, 0}, DISP_E_BADPARAMCOUNT},
        {"put of a string", kPropLevel, DISPATCH_PROPERTYPUT, {&args[2], &dispidPut, 1, 1}, DISP_E_TYPEMISMATCH},
        {"text for a number", kMethodJoin, DISPATCH_METHOD, {args, nullptr, 4, 0}, DISP_E_TYPEMISMATCH},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        VARIANT result;
        ::VariantInit(&result);
        UINT uArgErr = 77;
        EXPECT_EQ(pDispatch->Invoke(c.dispid, IID_NULL, 0, c.wFlags, &c.params, &result, nullptr, &uArgErr), c.hr);
        ::VariantClear(&result);
        if (c.hr == DISP_E_TYPEMISMATCH && c.params.cArgs == 4) {
            EXPECT_EQ(uArgErr, 3u);  // the first argument, counted last first
        }
    }
    for (VARIANT& v : args) ::VariantClear(&v);
    // A reference outlives the window: calls then fail, nothing crashes.
    m_control.DestroyWindow();
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    EXPECT_EQ(pDispatch->Invoke(kPropLevel, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              E_UNEXPECTED);
    pDispatch->Release();
    EXPECT_EQ(m_control.Call<short>(kMethodFire), fw::kStatusNoControl);
}

TEST_F(ControlKitTest, EventsArriveInOrderAndStaleWorkerMessagesAreDropped) {
    ASSERT_EQ(m_control.Call<short>(kMethodFire), 0);
    const long nOld = 0;
    const long nRun = m_control.Call<long>(kMethodNextRun);
    ASSERT_NE(nRun, nOld);
    m_control.PostMessage(kMsgTick, static_cast<WPARAM>(nOld), 1);
    m_control.PostMessage(kMsgTick, static_cast<WPARAM>(nRun), 2);
    ASSERT_TRUE(orvtest::PumpUntil([&] { return m_host.m_log.size() >= 3; }, 2000));
    const std::vector<std::string> expected = {"7first+", "8second-", "worker 2"};
    EXPECT_EQ(m_host.m_log, expected);
}

}  // namespace
