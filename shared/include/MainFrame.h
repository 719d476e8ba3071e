// CMainFrame: the hidden, zero-sized frame that is each program's main window. It
// owns the taskbar button, carries the program title and owns the player window.
#pragma once

#include "fw/Framework.h"

class CMainFrame : public CFrameWnd {
public:
    // The minimize hotspot: the owned player window disappears with the frame and
    // returns when the taskbar button restores it.
    void MinimizeToTaskbar();

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnClose();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
