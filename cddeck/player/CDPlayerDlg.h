// CCDPlayerDlg: cddeck's skinned, region-shaped player window (template 801). It
// carries out the transport's decisions on the CD device and the LCD panel, polls for
// disc changes while idle, sets the volume and hosts the property sheet.
#pragma once

#include "fw/Framework.h"

#include <memory>

#include "CDDevice.h"
#include "CDDisc.h"
#include "CDDiscOrder.h"
#include "CDDisplay.h"
#include "CDPlayerRes.h"
#include "CDPropSheet.h"
#include "CDTransport.h"
#include "MixerVolume.h"
#include "SkinPlayerDlg.h"

class CCDPlayerDlg : public CSkinPlayerDlg, public CCDDeviceOwner, public CCDSheetOwner {
public:
    enum { IDD = IDD_CD_PLAYER };

    enum Timer : UINT_PTR { kTimerVolume = 1, kTimerTick = 2, kTimerHold = 3 };
    static constexpr UINT kVolumeShownMs = 3000;
    static constexpr UINT kTickMs = 250;
    static constexpr UINT kScanTickMs = 75;
    static constexpr UINT kAfterScanTickMs = 330;
    static constexpr UINT kHoldMs = 500;
    // Idle ticks after start-up before the first poll (3 s).
    static constexpr int kTicksBeforePoll = 12;
    static constexpr int kStripSlots = 16;
    static constexpr UINT kVolumeStep = 4096;
    static constexpr UINT kVolumeMax = 65535;
    static constexpr int kVolumeLevelShift = 12;

    CCDPlayerDlg();
    ~CCDPlayerDlg() override;

    // The device's view of this window; the panel exists from initialisation on.
    CWnd* GetDeviceWindow() override { return this; }
    CCDDisc& GetDisc() override { return m_disc; }
    BOOL IsPlayerPlaying() const override { return IsSongPlaying(); }
    CCDPanelState& GetPanel() override { return *m_pDisplay; }
    void RedrawPanel() override { m_pDisplay->RedrawAll(); }
    void ShowPanelMessage(int nTextId, const CString& strDetail = CString()) override {
        m_pDisplay->ShowMessage(nTextId, strDetail);
    }
    BOOL BuildStrip(int nTracks) override { return m_pDisplay->m_strip.Build(nTracks); }
    void ResetStrip() override { m_pDisplay->m_strip.Reset(); }
    void SetStripMark(int nTrack, BOOL bOn) override { m_pDisplay->m_strip.SetMark(nTrack, bOn); }
    void SetOrderPosition(int nPosition) override { m_transport.SetOrderPosition(nPosition); }
    void OnDiscRead() override;
    void OnSheetDestroyed() override;
    void SetPlayMode(int nMode) override;
    void OnSelectionChanged() override;
    void OnTitlesChanged() override;
    void ReleaseDevice() override { m_device.Close(); }
    void ReclaimDevice() override;

    // The commands, as the hotspots and the strip run them.
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();
    void PlayChosenTrack(int nTrack);
    void Eject();
    void ChangeMode();
    void ChangeVolume(BOOL bUp);
    void OpenSheet();
    void ShowPlayerMenu();
    void ShowHelp();
    void Close();
    // Sheet, play and window go, with no question.
    void End();

    BOOL IsSheetBusy() const { return m_pSheet && m_pSheet->m_hWnd && m_pSheet->IsBusy(); }
    BOOL IsScanning() const { return m_pDisplay && (m_pDisplay->m_bRewind || m_pDisplay->m_bFastForward); }

    CCDDevice m_device;
    CCDDisc m_disc;
    std::unique_ptr<CCDDisplay> m_pDisplay;
    CMixerVolume m_volume;
    CCDDiscOrder m_order{m_disc};
    CCDTransport m_transport{&m_order};
    int m_nScanSeconds = 0;
    int m_bHoldTimerRunning = 0;
    int m_bVolumeShown = 0;
    CCDPropSheet* m_pSheet = nullptr;
    int m_bSheetOpen = 0;
    int m_nIdleTicks = 0;
    int m_nBlinkCount = 0;
    int m_nBlinkPhase = 0;

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc must not close (or, modeless, merely hide) the player.
    void OnOK() override {}
    void OnCancel() override {}
    // The sheet's own pages; tests put others in their place.
    virtual CCDPropSheet* MakeSheet();

    void InitVolume();
    void OnHotspotPressed(UINT nId) override;
    BOOL OnHotspotReleased(UINT nId) override;
    void StartScan(UINT nHotspot);
    void EndScan();
    void Tick();
    void Blink();
    void EndVolumeDisplay();
    void NotifySheetPlaying();
    void RefuseWhileBusy(UINT nTextId);

    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnHotspotClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnShutdown(WPARAM wParam, LPARAM lParam);
    void OnSwitchToMp3();

    CRgn m_rgnWindow;

    DECLARE_MESSAGE_MAP()
};
