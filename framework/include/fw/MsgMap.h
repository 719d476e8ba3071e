// Message maps: each window class owns a static table of entries that CWnd::WindowProc
// walks, most derived class first, before default handling.
//
// An entry names the message, the notification code and control id range for
// WM_COMMAND / WM_NOTIFY entries, and a thunk: a small function made by the macro that
// unpacks wParam/lParam and calls the member handler with its typed arguments. The
// compiler thus checks every handler's signature; nothing is cast between member
// function pointer types.
//
//   class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_TIMER()
//       ON_BN_CLICKED(IDC_PLAY, OnPlay)
//       ON_MESSAGE(UM_SHUTDOWN, OnShutdown)
//   END_MESSAGE_MAP()
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

class CWnd;

namespace fw {

// Returns true when the handler took the message; *pResult is the window procedure's
// result (preset to 0).
using MsgThunk = bool (*)(CWnd* pWnd, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct MsgMapEntry {
    UINT nMessage;     // WM_xxx; WM_COMMAND and WM_NOTIFY for control entries
    UINT nCode;        // notification code of WM_COMMAND / WM_NOTIFY entries, else 0
    UINT_PTR nID;      // first control or command id
    UINT_PTR nLastID;  // last id of the range
    MsgThunk pfn;      // nullptr ends the table
};

struct MsgMap {
    const MsgMap* (*pfnGetBaseMap)();  // nullptr at CWnd
    const MsgMapEntry* pEntries;
};

// The first entry of the map chain that matches, or nullptr.
const MsgMapEntry* FindMsgMapEntry(const MsgMap* pMap, UINT nMessage, UINT nCode, UINT_PTR nID);

}  // namespace fw

#define DECLARE_MESSAGE_MAP()                                \
protected:                                                   \
    static const ::fw::MsgMap* GetThisMessageMap();          \
    const ::fw::MsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const ::fw::MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::fw::MsgMap* theClass::GetThisMessageMap() {                             \
        using ThisClass [[maybe_unused]] = theClass;                                \
        using TheBaseClass = baseClass;                                             \
        static const ::fw::MsgMapEntry s_entries[] = {

#define END_MESSAGE_MAP()                                                  \
            {0, 0, 0, 0, nullptr}};                                        \
        static const ::fw::MsgMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
        return &s_map;                                                     \
    }

#define FW_THUNK(body) \
    [](CWnd * pWnd_, [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam, [[maybe_unused]] LRESULT * pResult) -> bool { \
        ThisClass* pThis = static_cast<ThisClass*>(pWnd_);                \
        body;                                                             \
        return true;                                                      \
    }

#define FW_MSG(msg, body) {msg, 0, 0, 0, FW_THUNK(body)},

// --- window messages ---------------------------------------------------------------
#define ON_WM_CREATE() FW_MSG(WM_CREATE, *pResult = pThis->OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam)))
#define ON_WM_DESTROY() FW_MSG(WM_DESTROY, pThis->OnDestroy())
#define ON_WM_CLOSE() FW_MSG(WM_CLOSE, pThis->OnClose())
#define ON_WM_PAINT() FW_MSG(WM_PAINT, pThis->OnPaint())
#define ON_WM_ERASEBKGND() \
    FW_MSG(WM_ERASEBKGND, CDC dc_; dc_.Attach(reinterpret_cast<HDC>(wParam)); \
           *pResult = pThis->OnEraseBkgnd(&dc_); dc_.Detach())
#define ON_WM_TIMER() FW_MSG(WM_TIMER, pThis->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_MOVE() FW_MSG(WM_MOVE, pThis->OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))))
#define ON_WM_SIZE() FW_MSG(WM_SIZE, pThis->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_ACTIVATE() \
    FW_MSG(WM_ACTIVATE, pThis->OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam)))
#define ON_WM_SETFOCUS() FW_MSG(WM_SETFOCUS, pThis->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KILLFOCUS() FW_MSG(WM_KILLFOCUS, pThis->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_SHOWWINDOW() FW_MSG(WM_SHOWWINDOW, pThis->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define ON_WM_SYSCOMMAND() FW_MSG(WM_SYSCOMMAND, pThis->OnSysCommand(static_cast<UINT>(wParam), lParam))
#define ON_WM_NCHITTEST() FW_MSG(WM_NCHITTEST, *pResult = pThis->OnNcHitTest(CPoint(lParam)))
#define ON_WM_SETCURSOR()                                                                        \
    FW_MSG(WM_SETCURSOR, *pResult = pThis->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                       LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_MOUSEMOVE() FW_MSG(WM_MOUSEMOVE, pThis->OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_LBUTTONDOWN() FW_MSG(WM_LBUTTONDOWN, pThis->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_LBUTTONUP() FW_MSG(WM_LBUTTONUP, pThis->OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_LBUTTONDBLCLK() FW_MSG(WM_LBUTTONDBLCLK, pThis->OnLButtonDblClk(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_RBUTTONDOWN() FW_MSG(WM_RBUTTONDOWN, pThis->OnRButtonDown(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_RBUTTONUP() FW_MSG(WM_RBUTTONUP, pThis->OnRButtonUp(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_HSCROLL()                                                                       \
    FW_MSG(WM_HSCROLL, pThis->OnHScroll(LOWORD(wParam), HIWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam))))
#define ON_WM_VSCROLL()                                                                       \
    FW_MSG(WM_VSCROLL, pThis->OnVScroll(LOWORD(wParam), HIWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam))))
#define ON_WM_DROPFILES() FW_MSG(WM_DROPFILES, pThis->OnDropFiles(reinterpret_cast<HDROP>(wParam)))
#define ON_WM_QUERYNEWPALETTE() FW_MSG(WM_QUERYNEWPALETTE, *pResult = pThis->OnQueryNewPalette())
#define ON_WM_PALETTECHANGED() FW_MSG(WM_PALETTECHANGED, pThis->OnPaletteChanged(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))

// All WM_CTLCOLORxxx messages go to one handler: HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor).
#define FW_CTLCOLOR(msg)                                                                  \
    FW_MSG(msg, CDC dc_; dc_.Attach(reinterpret_cast<HDC>(wParam));                       \
           *pResult = reinterpret_cast<LRESULT>(pThis->OnCtlColor(                        \
               &dc_, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), msg - WM_CTLCOLORMSGBOX)); \
           dc_.Detach())
#define ON_WM_CTLCOLOR()                                                                     \
    FW_CTLCOLOR(WM_CTLCOLORMSGBOX) FW_CTLCOLOR(WM_CTLCOLOREDIT) FW_CTLCOLOR(WM_CTLCOLORLISTBOX) \
    FW_CTLCOLOR(WM_CTLCOLORBTN) FW_CTLCOLOR(WM_CTLCOLORDLG) FW_CTLCOLOR(WM_CTLCOLORSCROLLBAR)    \
    FW_CTLCOLOR(WM_CTLCOLORSTATIC)

// Any message, private ones included: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn) FW_MSG(message, *pResult = pThis->memberFxn(wParam, lParam))

// --- commands and control notifications ---------------------------------------------
// WM_COMMAND from a menu, an accelerator or a button click: void fn().
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), (id), FW_THUNK(pThis->memberFxn())},
// Ids first..last: void fn(UINT nID).
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn) \
    {WM_COMMAND, 0, (idFirst), (idLast), FW_THUNK(pThis->memberFxn(LOWORD(wParam)))},
// A WM_COMMAND notification code from control id: void fn().
#define ON_CONTROL(code, id, memberFxn) {WM_COMMAND, (code), (id), (id), FW_THUNK(pThis->memberFxn())},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)

// WM_NOTIFY with the code from control id: void fn(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, memberFxn)                                               \
    {WM_NOTIFY, static_cast<UINT>(code), (id), (id),                                 \
     FW_THUNK(pThis->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))},
#define ON_NOTIFY_RANGE(code, idFirst, idLast, memberFxn)                            \
    {WM_NOTIFY, static_cast<UINT>(code), (idFirst), (idLast),                        \
     FW_THUNK(pThis->memberFxn(static_cast<UINT>(reinterpret_cast<NMHDR*>(lParam)->idFrom), \
                               reinterpret_cast<NMHDR*>(lParam), pResult))},
// BOOL fn(UINT_PTR id, NMHDR*, LRESULT*); FALSE lets the search go on. Tooltips of tools
// given by window carry the tool's HWND as id, so TTN_NEEDTEXT is usually mapped for
// the whole range 0..UINT_PTR_MAX.
#define ON_NOTIFY_EX_RANGE(code, idFirst, idLast, memberFxn)                                   \
    {WM_NOTIFY, static_cast<UINT>(code), (idFirst), (idLast),                                  \
     [](CWnd * pWnd_, WPARAM, LPARAM lParam, LRESULT * pResult) -> bool {                      \
         NMHDR* pHdr_ = reinterpret_cast<NMHDR*>(lParam);                                      \
         return static_cast<ThisClass*>(pWnd_)->memberFxn(pHdr_->idFrom, pHdr_, pResult) != FALSE; \
     }},
