#include "MciNotices.h"

#include "TestSupport.h"

namespace orvtest {
namespace {

const char kClassName[] = "OrvTestMciNotices";

void RegisterOnce(WNDPROC proc) {
    WNDCLASSA wc = {};
    if (::GetClassInfoA(::GetModuleHandleA(nullptr), kClassName, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    ::RegisterClassA(&wc);
}

}  // namespace

CMciNotices::CMciNotices() {
    RegisterOnce(Proc);
    m_hWnd = ::CreateWindowA(kClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                             nullptr);
    if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CMciNotices::~CMciNotices() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CMciNotices::WaitFor(size_t count, DWORD timeoutMs) const {
    return PumpUntil([&] { return m_notices.size() >= count; }, timeoutMs);
}

LRESULT CALLBACK CMciNotices::Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* pSelf = reinterpret_cast<CMciNotices*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (msg == MM_MCINOTIFY && pSelf) {
        pSelf->m_notices.push_back({static_cast<UINT>(wParam), static_cast<MCIDEVICEID>(lParam), ::GetTickCount()});
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

}  // namespace orvtest
