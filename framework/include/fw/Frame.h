// CFrameWnd: a top-level frame window; the programs use one, hidden, as main window.
#pragma once

#include "fw/Wnd.h"

class CFrameWnd : public CWnd {
public:
    static const CRect rectDefault;  // let the system place and size the window

    // lpszClassName nullptr uses the framework's frame class. lpszMenuName, when given,
    // names a menu resource.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0);

    // Frames are often members of the application object, so a frame does not delete
    // itself; a heap-allocated frame overrides PostNcDestroy to do so.
    void PostNcDestroy() override {}

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
};
