// CCDPlayerDlg: cddeck's skinned, region-shaped player window (template 801).
#pragma once

#include "fw/Framework.h"

#include <memory>

#include "CDDevice.h"
#include "CDDisplay.h"
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

    // The device's view of this window; the panel exists from initialisation on.
    CWnd* GetDeviceWindow() override { return this; }
    CCDDisc& GetDisc() override { return m_disc; }
    CCDPanelState& GetPanel() override { return *m_pDisplay; }
    void RedrawPanel() override { m_pDisplay->RedrawAll(); }
    void ShowPanelMessage(int nTextId) override { m_pDisplay->ShowMessage(nTextId); }
    BOOL BuildStrip(int nTracks) override { return m_pDisplay->m_strip.Build(nTracks); }
    void ResetStrip() override { m_pDisplay->m_strip.Reset(); }
    void SetStripMark(int nTrack, BOOL bOn) override { m_pDisplay->m_strip.SetMark(nTrack, bOn); }
    void SetOrderPosition(int nPosition) override { m_nOrderPosition = nPosition; }
    void OnDiscRead() override {}

    CCDDevice m_device;
    CCDDisc m_disc;
    std::unique_ptr<CCDDisplay> m_pDisplay;
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
