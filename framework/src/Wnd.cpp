#include "fw/Wnd.h"

#include "fw/App.h"
#include "fw/Gdi.h"

#include <cassert>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// The framework's windows all live on the one user-interface thread.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryMap() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

thread_local CWnd* t_pWndInit = nullptr;  // waiting for its HWND (CWndCreateScope)
thread_local HHOOK t_hCreateHook = nullptr;
thread_local MSG t_currentMsg = {};

// The message being handled, kept across nested sends.
class CCurrentMessage {
public:
    CCurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) : m_saved(t_currentMsg) {
        t_currentMsg.hwnd = hWnd;
        t_currentMsg.message = message;
        t_currentMsg.wParam = wParam;
        t_currentMsg.lParam = lParam;
    }
    ~CCurrentMessage() { t_currentMsg = m_saved; }
    CCurrentMessage(const CCurrentMessage&) = delete;
    CCurrentMessage& operator=(const CCurrentMessage&) = delete;

private:
    MSG m_saved;
};

}  // namespace

// --- message maps ---------------------------------------------------------------------

namespace fw {

const MsgMapEntry* FindMsgMapEntry(const MsgMap* pMap, UINT nMessage, UINT nCode, UINT_PTR nID) {
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const MsgMapEntry* e = pMap->pEntries; e->pfn; ++e) {
            if (e->nMessage != nMessage || e->nCode != nCode) continue;
            if (nID < e->nID || nID > e->nLastID) continue;
            return e;
        }
    }
    return nullptr;
}

}  // namespace fw

const fw::MsgMap* CWnd::GetThisMessageMap() {
    static const fw::MsgMapEntry s_entries[] = {{0, 0, 0, 0, nullptr}};
    static const fw::MsgMap s_map = {nullptr, s_entries};
    return &s_map;
}

const fw::MsgMap* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

// --- the window procedure ---------------------------------------------------------------

LRESULT CALLBACK FwWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    CCurrentMessage current(hWnd, message, wParam, lParam);
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) pWnd->OnFinalRelease();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(t_currentMsg.message, t_currentMsg.wParam, t_currentMsg.lParam);
}

const MSG* CWnd::GetCurrentMessage() {
    return &t_currentMsg;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    *pResult = 0;
    if (message == fw::ControlEventMessage()) {
        OnControlEvent(static_cast<UINT>(wParam), reinterpret_cast<fw::ControlEventBlock*>(lParam));
        return TRUE;
    }
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    if (message == WM_NOTIFY) return OnNotify(wParam, lParam, pResult);
    if (message == WM_DRAWITEM && wParam != 0) {
        const auto* pDraw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CWnd* pChild = FromHandlePermanent(pDraw->hwndItem);
        if (pChild && pChild->OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
    }
    const fw::MsgMapEntry* pEntry = fw::FindMsgMapEntry(GetMessageMap(), message, 0, 0);
    return pEntry && pEntry->pfn(this, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    const HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    LRESULT ignored = 0;
    if (hWndCtrl) {
        CWnd* pChild = FromHandlePermanent(hWndCtrl);
        if (pChild && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
    }
    // Menus and accelerators (code 0 and 1, no control) both count as commands.
    const UINT nMapCode = hWndCtrl ? nCode : 0;
    const fw::MsgMapEntry* pEntry = fw::FindMsgMapEntry(GetMessageMap(), WM_COMMAND, nMapCode, nID);
    return pEntry && pEntry->pfn(this, wParam, lParam, &ignored);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!pHdr) return FALSE;
    CWnd* pChild = FromHandlePermanent(pHdr->hwndFrom);
    if (pChild && pChild != this && pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult)) return TRUE;
    for (const fw::MsgMap* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const fw::MsgMapEntry* e = pMap->pEntries; e->pfn; ++e) {
            if (e->nMessage != WM_NOTIFY || e->nCode != pHdr->code) continue;
            if (pHdr->idFrom < e->nID || pHdr->idFrom > e->nLastID) continue;
            // An _EX handler may decline and let the search continue.
            if (e->pfn(this, wParam, lParam, pResult)) return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&) {
    return TRUE;
}

void CWnd::PostNcDestroy() {}

// --- object <-> handle ------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (!m_hWnd || m_bTemporary) return;
    if (FromHandlePermanent(m_hWnd) != this) return;
    if (m_bOwnsWindow && ::IsWindow(m_hWnd)) {
        // Destroying here still releases the handle through WM_NCDESTROY.
        ::DestroyWindow(m_hWnd);
        if (!m_hWnd) return;
    }
    if (m_pfnSuper) UnsubclassWindow();
    else Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    auto& map = PermanentMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
    auto& temps = TemporaryMap();
    auto& slot = temps[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
        slot->m_bTemporary = true;
    }
    return slot.get();
}

void CWnd::DeleteTempMap() {
    for (auto& entry : TemporaryMap()) entry.second->m_hWnd = nullptr;
    TemporaryMap().clear();
}

void CWnd::BindHandle(HWND hWnd, bool bSubclass, bool bOwnsWindow) {
    assert(!m_hWnd && hWnd && !FromHandlePermanent(hWnd));
    m_hWnd = hWnd;
    m_bOwnsWindow = bOwnsWindow;
    PermanentMap()[hWnd] = this;
    // A temporary wrapper of the same handle would now shadow nothing; drop it.
    auto& temps = TemporaryMap();
    auto it = temps.find(hWnd);
    if (it != temps.end()) {
        it->second->m_hWnd = nullptr;
        temps.erase(it);
    }
    if (!bSubclass) return;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FwWndProc)));
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    BindHandle(hWnd, false, false);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (!hWnd) return nullptr;
    auto& map = PermanentMap();
    auto it = map.find(hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
    m_hWnd = nullptr;
    m_bOwnsWindow = false;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || !::IsWindow(hWnd) || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    BindHandle(hWnd, true, false);
    return m_pfnSuper != nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent || !pParent->m_hWnd) return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && m_hWnd &&
        ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&FwWndProc)) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::OnFinalRelease() {
    if (m_hWndToolTip) m_hWndToolTip = nullptr;  // destroyed with its owner
    UnsubclassWindow();
    // May delete this: nothing touches the object afterwards.
    PostNcDestroy();
}

// --- creation -----------------------------------------------------------------------------

LRESULT CALLBACK CWndCreateScope::HookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && t_pWndInit) {
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->BindHandle(reinterpret_cast<HWND>(wParam), true, true);
    }
    return ::CallNextHookEx(t_hCreateHook, nCode, wParam, lParam);
}

CWndCreateScope::CWndCreateScope(CWnd* pWnd) : m_hHook(nullptr), m_pPrevious(t_pWndInit) {
    t_pWndInit = pWnd;
    if (!t_hCreateHook) {
        m_hHook = ::SetWindowsHookExA(WH_CBT, HookProc, nullptr, ::GetCurrentThreadId());
        t_hCreateHook = m_hHook;
    }
}

CWndCreateScope::~CWndCreateScope() {
    t_pWndInit = m_pPrevious;
    if (m_hHook) {
        ::UnhookWindowsHookEx(m_hHook);
        t_hCreateHook = nullptr;
    }
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (m_hWnd) return FALSE;
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) return FALSE;
    if (!cs.lpszClass) cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
    HWND hWnd = nullptr;
    {
        CWndCreateScope scope(this);
        hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                 cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    // A window that failed in WM_CREATE has been destroyed and released already.
    return hWnd && m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    static std::set<std::string> s_registered;
    char name[96];
    wsprintfA(name, "Orv:%x:%x:%x:%x", nClassStyle, reinterpret_cast<UINT_PTR>(hCursor),
              reinterpret_cast<UINT_PTR>(hbrBackground), reinterpret_cast<UINT_PTR>(hIcon));
    auto it = s_registered.find(name);
    if (it != s_registered.end()) return it->c_str();
    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;  // our objects subclass their windows
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    return s_registered.insert(name).first->c_str();
}

// --- helpers --------------------------------------------------------------------------------

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}

CDC* CWnd::GetDC() {
    HDC hDC = ::GetDC(m_hWnd);
    if (!hDC) return nullptr;
    CDC* pDC = new CDC;
    pDC->Attach(hDC);
    return pDC;
}

CDC* CWnd::GetWindowDC() {
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (!hDC) return nullptr;
    CDC* pDC = new CDC;
    pDC->Attach(hDC);
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC) return 0;
    const int result = ::ReleaseDC(m_hWnd, pDC->Detach());
    delete pDC;
    return result;
}

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

BOOL CWnd::SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::InvalidateRgn(HRGN hRgn, BOOL bErase) { ::InvalidateRgn(m_hWnd, hRgn, bErase); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hRgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hRgnUpdate, flags);
}

void CWnd::SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(static_cast<size_t>(length) + 2);
    const int got = ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
    rString = CString(buffer.data(), got > 0 ? got : 0);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
void CWnd::SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (!hItem) return 0;
    FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
}

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
BOOL CWnd::ReleaseCapture() { return ::ReleaseCapture(); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
void CWnd::DragAcceptFiles(BOOL bAccept) { ::DragAcceptFiles(m_hWnd, bAccept); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOT)); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = GetStyle();
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

BOOL CWnd::BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }

void CWnd::SetFont(HFONT hFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), MAKELPARAM(bRedraw, 0));
}

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) const {
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::EnableToolTips(BOOL bEnable) {
    if (!bEnable) {
        if (m_hWndToolTip) ::SendMessageA(m_hWndToolTip, TTM_ACTIVATE, FALSE, 0);
        return TRUE;
    }
    if (!m_hWndToolTip) {
        m_hWndToolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                          nullptr, AfxGetInstanceHandle(), nullptr);
        if (!m_hWndToolTip) return FALSE;
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            TOOLINFOA ti = {};
            ti.cbSize = TTTOOLINFOA_V2_SIZE;
            ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            ti.hwnd = m_hWnd;
            ti.uId = reinterpret_cast<UINT_PTR>(hChild);
            ti.hinst = AfxGetInstanceHandle();
            ti.lpszText = LPSTR_TEXTCALLBACKA;
            ::SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    ::SendMessageA(m_hWndToolTip, TTM_ACTIVATE, TRUE, 0);
    return TRUE;
}

CWnd* CWnd::FindWindow(LPCSTR lpszClassName, LPCSTR lpszWindowName) {
    return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
}

CWnd* CWnd::GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
