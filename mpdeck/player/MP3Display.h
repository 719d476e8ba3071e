// CMP3Display: the player's LCD panel, owned by the player window. It holds what the
// panel shows and draws each field straight onto the window; the play mode (1 plain,
// bit 2 loop, bit 4 shuffle) is saved with each playlist.
#pragma once

#include "fw/Framework.h"

class CMP3PlayerDlg;

class CMP3Display {
public:
    enum Indicator { kIndicatorPlay = 1, kIndicatorPause = 2, kIndicatorForward = 3, kIndicatorBack = 4 };
    static constexpr int kMaxVolumeLevel = 15;

    explicit CMP3Display(CMP3PlayerDlg* pWnd) : m_pWnd(pWnd) {}
    virtual ~CMP3Display() = default;
    CMP3Display(const CMP3Display&) = delete;
    CMP3Display& operator=(const CMP3Display&) = delete;

    // Each operation draws on pDC, or on the window's own DC when none is given.
    void DrawAll(CDC* pDC = nullptr);
    void DrawTitle(CDC* pDC = nullptr);
    void DrawArtist(CDC* pDC = nullptr);
    void DrawFormat(CDC* pDC = nullptr);
    void DrawSongNumber(CDC* pDC = nullptr);
    void DrawElapsed(CDC* pDC = nullptr);
    void DrawLength(CDC* pDC = nullptr);
    void DrawMode(CDC* pDC = nullptr);
    void DrawIndicator(int nIndicator, CDC* pDC = nullptr);
    void DrawVolume(int nLevel, CDC* pDC = nullptr);

    int m_nSongNumber = 0;
    CString m_strTitle;
    CString m_strArtist;
    int m_nSamplingFrequency = 0;
    int m_nBitRate = 0;
    int m_nChannelMode = 0;
    int m_nElapsed = 0;
    int m_nLength = 0;
    int m_nPlayMode = 1;
    int m_bPlaying = 0;
    int m_bPaused = 0;
    int m_bSeekForward = 0;
    int m_bSeekBack = 0;
    CDC* m_pSharedDC = nullptr;
    CRect m_rcTitle{33, 35, 288, 49};
    CRect m_rcArtist{33, 48, 213, 60};
    CRect m_rcFormat{33, 60, 213, 72};
    CMP3PlayerDlg* m_pWnd;
};
