// CWaveDevice: plays one WAVE file through the MCI "waveaudio" device and reads its
// format and length. Completion notifications (MM_MCINOTIFY) go to the owner window.
#pragma once

#include "fw/Framework.h"

#include <mmsystem.h>

class CWaveDevice {
public:
    CWaveDevice() = default;
    virtual ~CWaveDevice();
    CWaveDevice(const CWaveDevice&) = delete;
    CWaveDevice& operator=(const CWaveDevice&) = delete;

    // Opens m_strPath (closing first) and reads its format.
    BOOL Open();
    MCIERROR Close();
    // Plays from the current position; notifies the owner at the end or when stopped.
    BOOL Play();
    MCIERROR Stop();
    BOOL Pause();
    BOOL Resume();
    // Plays from the given time; sets the skip flag for the cut-off play's notification.
    BOOL Seek(int nMinutes, int nSeconds);
    BOOL IsPlaying();
    // Seconds played; 0 unless playing.
    DWORD Position();
    // Milliseconds played; 0 unless playing.
    DWORD PositionMs();
    // Format fields and lengths; opens the device when it is closed.
    BOOL ReadInfo();

    BOOL IsOpen() const { return m_wDeviceID != 0; }

    // The one notification a Seek replaces is still to come; whoever handles this
    // device's notifications clears this and ignores that one. Each device has its
    // own, so an audition's pending skip never swallows the player's end of song.
    BOOL m_bSkipNotify = FALSE;

    CWnd* m_pOwner = nullptr;
    MCIDEVICEID m_wDeviceID = 0;
    DWORD m_dwLengthSeconds = 0;
    DWORD m_dwLengthBytes = 0;
    DWORD m_dwFormatTag = 0;
    DWORD m_dwAvgBytesPerSec = 0;
    DWORD m_dwBitsPerSample2 = 0;  // the second reading of the same item
    DWORD m_dwSamplesPerSec = 0;
    DWORD m_dwChannels = 0;
    DWORD m_dwBitsPerSample = 0;
    CString m_strPath;

private:
    DWORD_PTR Callback() const;
    BOOL SetTimeFormat(DWORD dwFormat, DWORD dwFlags);
    BOOL QueryStatus(DWORD dwItem, DWORD& dwValue);
};
