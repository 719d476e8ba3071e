// CCDDevice: the CD player's road to the drive through the MCI "CDAudio" device. It
// plays one track per request, with the end reported to the player window, polls for
// a changed disc, and reads the disc into the model and onto the panel.
#pragma once

#include "fw/Framework.h"

#include <windows.h>
#include <mmsystem.h>

#include "CDDisc.h"

// What the LCD panel holds that the device reads and sets; the panel draws it.
struct CCDPanelState {
    int m_nCurrentTrack = 0;
    CString m_strTitle;
    CString m_strArtist;
    int m_nMessage = 0;          // text id shown in the title area; 0 = none
    int m_nElapsed = 0;
    int m_nLength = 0;
    int m_nMode = kCdModePlain;
    int m_bPlaying = 0;
    int m_bPaused = 0;
    int m_bFastForward = 0;
    int m_bRewind = 0;
    int m_nTrackCount = 0;
    int m_nTotalTime = 0;

    void Reset();
};

// The device's owner: the player window with its disc, panel and play order.
class CCDDeviceOwner {
public:
    virtual ~CCDDeviceOwner() = default;
    // Owns the device's message boxes and receives MM_MCINOTIFY.
    virtual CWnd* GetDeviceWindow() = 0;
    virtual CCDDisc& GetDisc() = 0;
    virtual CCDPanelState& GetPanel() = 0;
    virtual void RedrawPanel() = 0;
    // Stores the message in the panel and draws it, with a detail line below it; 0
    // clears the area.
    virtual void ShowPanelMessage(int nTextId, const CString& strDetail = CString()) = 0;
    // An empty strip for nTracks tracks; FALSE when it cannot be made.
    virtual BOOL BuildStrip(int nTracks) = 0;
    virtual void ResetStrip() = 0;
    virtual void SetStripMark(int nTrack, BOOL bOn) = 0;
    virtual void SetOrderPosition(int nPosition) = 0;
    // The disc was read again: the open sheet's page reloads.
    virtual void OnDiscRead() = 0;
};

class CCDDevice {
public:
    explicit CCDDevice(CCDDeviceOwner* pOwner = nullptr) : m_pOwner(pOwner) {}
    virtual ~CCDDevice() { Close(); }
    CCDDevice(const CCDDevice&) = delete;
    CCDDevice& operator=(const CCDDevice&) = delete;

    void SetOwner(CCDDeviceOwner* pOwner) { m_pOwner = pOwner; }
    MCIDEVICEID GetDeviceId() const { return m_nDeviceId; }

    // Shows text 235 when the drive cannot be opened.
    BOOL Open();
    void Close();
    BOOL IsMediaPresent();
    // TRUE also for an empty drive (the model is then empty); FALSE when not open or
    // the strip cannot be built.
    BOOL ReadDisc();
    BOOL PlayTrack(int nTrack);
    BOOL Pause();
    BOOL Resume();
    BOOL Stop();
    // The eject button: opens the tray, or closes the tray it opened and reads again.
    BOOL ToggleDoor();
    // From second nSeconds of the track to its end.
    BOOL SeekPlay(int nTrack, int nSeconds);
    // Elapsed seconds within the current track; 0 when not open or the query fails.
    int PositionSeconds();
    // The idle check for a disc put in or taken out.
    void Poll();
    // Why the drive cannot read the disc it holds, when its driver says; else empty.
    static CString DriveProblem();
    // The drive reports that it plays (a request is running).
    BOOL IsPlaying();

    int m_bLoaded = 1;     // a disc is taken to be in the drive and read
    int m_bDoorOpen = 0;   // this program opened the tray last
    int m_bUnreadable = 0; // the drive holds a disc that cannot be read

private:
    BOOL SetTmsf();
    // Plays [from, end of the from position's track) with notification.
    BOOL PlayToTrackEnd(int nTrack, DWORD dwFrom);
    void MarkSelection();
    // The drive's disc is not the one the model holds (identifier or table of contents).
    BOOL IsOtherDisc();

    MCIDEVICEID m_nDeviceId = 0;
    CCDDeviceOwner* m_pOwner = nullptr;
};
