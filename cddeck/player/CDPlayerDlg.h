// CCDPlayerDlg: cddeck's skinned, region-shaped player window (template 801).
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "CDDevice.h"
#include "CDDisc.h"
#include "CDPlayerRes.h"
#include "SkinPlayerDlg.h"

// The idle tick: media polling while nothing plays.
constexpr UINT_PTR kTickTimer = 2;
constexpr UINT kTickMs = 250;
// Idle ticks after start-up before the first poll (3 s).
constexpr int kTicksBeforePoll = 12;

class CCDPlayerDlg : public CSkinPlayerDlg, public CCDDeviceOwner {
public:
    enum { IDD = IDD_CD_PLAYER };

    CCDPlayerDlg() = default;

    // The device's view of this window. The LCD panel is not drawn yet: the state
    // is kept for it and a redraw repaints the window.
    CWnd* GetDeviceWindow() override { return this; }
    CCDDisc& GetDisc() override { return m_disc; }
    CCDPanelState& GetPanel() override { return m_panel; }
    void RedrawPanel() override;
    void ShowPanelMessage(int nTextId) override;
    BOOL BuildStrip(int nTracks) override;
    void ResetStrip() override { m_stripMarks.clear(); }
    void SetStripMark(int nTrack, BOOL bOn) override;
    void SetOrderPosition(int nPosition) override { m_nOrderPosition = nPosition; }
    void OnDiscRead() override {}

    CCDDevice m_device;
    CCDDisc m_disc;
    CCDPanelState m_panel;
    std::vector<BYTE> m_stripMarks;
    int m_nOrderPosition = -1;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc must not close (or, modeless, merely hide) the player.
    void OnOK() override {}
    void OnCancel() override {}

    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToMp3();
    // Close: the exit hotspot and the sibling's request end the program alike.
    void Close();

    CRgn m_rgnWindow;
    int m_nIdleTicks = 0;

    DECLARE_MESSAGE_MAP()
};
