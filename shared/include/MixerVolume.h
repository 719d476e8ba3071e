// CMixerVolume: one volume control of mixer 0. CLevelMeter: the two-channel peak meter
// of the player window, drawn from the face bitmap.
#pragma once

#include "fw/Framework.h"

#include <mmsystem.h>

class CSkinPlayerDlg;

class CMixerVolume {
public:
    enum LineKind { kSpeakers = 0, kWaveOut = 2, kCompactDisc = 4 };

    CMixerVolume() = default;
    virtual ~CMixerVolume() = default;

    MMRESULT Init(int nLineKind);
    // Both channels to the same value.
    MMRESULT SetVolume(UINT nValue);
    // Mean of the two channels; 0 when the query fails.
    UINT GetVolume();

    DWORD m_dwControlId = 0;

private:
    // Both channels as the driver answers them; FALSE when the read fails.
    BOOL ReadChannels(DWORD dwControlId, DWORD& dwLeft, DWORD& dwRight, BOOL& bUntouched);
    MMRESULT WriteChannels(DWORD dwControlId, UINT nValue);

    // Some drivers keep only channel 0, others answer a read without filling it in;
    // what was set stands in for a value that cannot be read back.
    UINT m_nLastSet = 0;
    BOOL m_bHaveLastSet = FALSE;
    DWORD m_dwDefault = 0;
    // A source line that cannot be read back does not reach the output either on such
    // drivers; the speakers' volume then carries what is set, too.
    DWORD m_dwLoudnessControlId = 0;
    BOOL m_bHaveLoudness = FALSE;
};

class CLevelMeter {
public:
    static constexpr UINT kFullScale = 65535;
    static constexpr int kSegments = 12;

    explicit CLevelMeter(CSkinPlayerDlg* pWnd) : m_pWnd(pWnd) {}
    virtual ~CLevelMeter() = default;

    void Read();
    void Draw(CDC* pDC = nullptr);
    void Reset() { m_dwLeft = m_dwRight = 0; }
    // Lit segments of a held level.
    static int LitSegments(DWORD dwLevel) { return static_cast<int>(dwLevel * kSegments / kFullScale); }

    DWORD m_dwPeakControlId = 0;
    DWORD m_dwLeft = 0;
    DWORD m_dwRight = 0;
    CSkinPlayerDlg* m_pWnd;

private:
    BOOL ReadMixerPeaks(short& nLeft, short& nRight);
    void Hold(short nLeft, short nRight);

    BOOL m_bNoPeakMeter = FALSE;  // the mixer answered NOTSUPPORTED once
};
