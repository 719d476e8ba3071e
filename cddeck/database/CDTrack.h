// CCDTrack: one audio track of the disc in the drive, its length as the device
// reports it and the title the user gave it.
#pragma once

#include "fw/Framework.h"

class CCDTrack {
public:
    CCDTrack(int nTrackNumber, LPCSTR lpszTitle) : m_strTitle(lpszTitle), m_nTrackNumber(nTrackNumber) {}
    virtual ~CCDTrack() = default;

    int GetLengthInSeconds() const { return m_nLengthMinutes * 60 + m_nLengthSeconds; }
    void SetLengthInSeconds(int nSeconds) {
        m_nLengthMinutes = nSeconds / 60;
        m_nLengthSeconds = nSeconds % 60;
    }
    void SetLength(int nMinutes, int nSeconds, int nFrames) {
        m_nLengthMinutes = nMinutes;
        m_nLengthSeconds = nSeconds;
        m_nLengthFrames = nFrames;
    }
    const CString& GetTitle() const { return m_strTitle; }
    void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }
    int GetMinutes() const { return m_nLengthMinutes; }
    int GetSeconds() const { return m_nLengthSeconds; }
    int GetFrames() const { return m_nLengthFrames; }
    int GetTrackNumber() const { return m_nTrackNumber; }

private:
    int m_nLengthSeconds = 0;  // 0-59
    int m_nLengthMinutes = 0;
    int m_nLengthFrames = 0;   // 0-74
    CString m_strTitle;
    int m_nTrackNumber;        // 1-based
};
