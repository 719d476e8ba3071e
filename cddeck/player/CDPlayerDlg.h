// CCDPlayerDlg: cddeck's skinned, region-shaped player window (template 801).
#pragma once

#include "fw/Framework.h"

#include "CDPlayerRes.h"
#include "SkinPlayerDlg.h"

class CCDPlayerDlg : public CSkinPlayerDlg {
public:
    enum { IDD = IDD_CD_PLAYER };

    CCDPlayerDlg() = default;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc must not close (or, modeless, merely hide) the player.
    void OnOK() override {}
    void OnCancel() override {}

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToMp3();
    // Close: the exit hotspot and the sibling's request end the program alike.
    void Close();

    CRgn m_rgnWindow;

    DECLARE_MESSAGE_MAP()
};
