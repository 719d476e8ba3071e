// CWnd: one object per window, tied to its HWND for the window's life.
//
// Windows made by CreateEx are subclassed from the first message on (a CBT hook hands
// the object its HWND before WM_NCCREATE); dialog items are subclassed with
// SubclassDlgItem. Every message then goes through WindowProc: the message map first
// (most derived class first), then DefWindowProc, which calls the window's previous
// procedure. When WM_NCDESTROY has been handled the object lets go of its HWND and
// PostNcDestroy runs: the place where self-deleting windows say `delete this`.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "fw/MsgMap.h"
#include "fw/OleControl.h"
#include "fw/String.h"
#include "fw/Types.h"

class CDC;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object of a window: the permanent one when the window has one, otherwise a
    // temporary wrapper that lives until the application's next idle time.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();

    // Creation. PreCreateWindow may change every field of the CREATESTRUCT first.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    // A child window with control id nID.
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();

    // Binding to an existing window. Attach only maps the handle; SubclassWindow also
    // routes the window's messages through this object until it is destroyed.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default();  // default handling of the message being handled now
    static const MSG* GetCurrentMessage();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual void PostNcDestroy();

    // Helpers over the window's handle.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    // The DC object is owned by the window until ReleaseDC.
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL ShowWindow(int nCmdShow);
    // The system owns the region afterwards; pass a detached handle.
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void InvalidateRgn(HRGN hRgn, BOOL bErase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, HRGN hRgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void SetWindowText(LPCSTR lpszString);
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    CWnd* SetCapture();
    static BOOL ReleaseCapture();
    static CWnd* GetCapture();
    void DragAcceptFiles(BOOL bAccept = TRUE);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL BringWindowToTop();
    BOOL SetForegroundWindow();
    CWnd* SetActiveWindow();
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE);
    HFONT GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    // Caption nullptr means the program title (AfxGetAppName).
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK) const;
    // Adds every child control as a tooltip tool given by window, text on request: the
    // window then receives TTN_NEEDTEXT with the control's HWND as id.
    BOOL EnableToolTips(BOOL bEnable = TRUE);

    static CWnd* FindWindow(LPCSTR lpszClassName, LPCSTR lpszWindowName);

    // Control containment (fw/OleControl.h). The calls reach the control's IDispatch
    // through its window; they return S_OK or the failure (no control, wrong type, the
    // control's own error), leaving *pvRet untouched on failure. Parameters follow
    // pbParamInfo (VTS_xxx): int for VTS_I2 and VTS_BOOL, long for VTS_I4, double for
    // VTS_R4, LPCSTR for VTS_BSTR. Results: short*, long*, BOOL*, float*, CString*
    // for VT_I2, VT_I4, VT_BOOL, VT_R4, VT_BSTR; VT_EMPTY for none.
    BOOL CreateControl(LPCSTR lpszClsid, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID);
    HRESULT InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);
    HRESULT GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp);
    HRESULT SetProperty(DISPID dwDispID, VARTYPE vtProp, ...);
    static CWnd* GetDesktopWindow();

protected:
    static const fw::MsgMap* GetThisMessageMap();
    virtual const fw::MsgMap* GetMessageMap() const;
    static const fw::EventSinkMap* GetThisEventSinkMap();
    virtual const fw::EventSinkMap* GetEventSinkMap() const;
    // A posted control event: the sink map's handler runs, the block is freed.
    void OnControlEvent(UINT nCtlID, fw::ControlEventBlock* pBlock);

    // The map walk behind WindowProc; TRUE when something handled the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A control's own chance at WM_COMMAND, WM_NOTIFY and WM_DRAWITEM that it sent to
    // its parent (owner-drawn buttons draw themselves this way).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Default handlers: the message maps call these; derived handlers may call them
    // for default processing.
    int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnMove(int, int) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnKillFocus(CWnd*) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonDown(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnHScroll(UINT, UINT, CWnd*) { Default(); }
    void OnVScroll(UINT, UINT, CWnd*) { Default(); }
    void OnDropFiles(HDROP) { Default(); }
    BOOL OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
    void OnPaletteChanged(CWnd*) { Default(); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

    // Binds hWnd to this object; with bSubclass the window procedure becomes ours.
    void BindHandle(HWND hWnd, bool bSubclass, bool bOwnsWindow);
    // Creates a window with this object bound from the first message on.
    friend class CWndCreateScope;

    WNDPROC m_pfnSuper = nullptr;  // the window's procedure before we subclassed it

private:
    friend LRESULT CALLBACK FwWndProc(HWND, UINT, WPARAM, LPARAM);
    void OnFinalRelease();

    bool m_bOwnsWindow = false;  // created here: the destructor destroys it
    bool m_bTemporary = false;
    HWND m_hWndToolTip = nullptr;
};

// Hands the object to the first window created on this thread while the scope lives
// (CreateWindowEx, CreateDialog, PropertySheet), before that window's first message.
class CWndCreateScope {
public:
    explicit CWndCreateScope(CWnd* pWnd);
    ~CWndCreateScope();
    CWndCreateScope(const CWndCreateScope&) = delete;
    CWndCreateScope& operator=(const CWndCreateScope&) = delete;

private:
    static LRESULT CALLBACK HookProc(int nCode, WPARAM wParam, LPARAM lParam);

    HHOOK m_hHook;
    CWnd* m_pPrevious;
};

LRESULT CALLBACK FwWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers (once) a window class with the framework's defaults and returns its name.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                           HICON hIcon = nullptr);
