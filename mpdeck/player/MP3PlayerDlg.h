// CMP3PlayerDlg: mpdeck's skinned, region-shaped player window (template 801).
#pragma once

#include "fw/Framework.h"

#include "Mp3PlayerRes.h"

class CMP3PlayerDlg : public CDialog {
public:
    enum { IDD = IDD_MP3_PLAYER };

    CMP3PlayerDlg() = default;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc must not close (or, modeless, merely hide) the player.
    void OnOK() override {}
    void OnCancel() override {}

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToCd();

    CRgn m_rgnWindow;

    DECLARE_MESSAGE_MAP()
};
