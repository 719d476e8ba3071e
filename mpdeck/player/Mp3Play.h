// CMp3Play: the MP3 play/decode control (dialog item 1061), one dispatch call per
// operation. Methods return the control's 16-bit status (0 = success); when the
// control is missing they return kStatusNoControl and properties read 0.
#pragma once

#include "fw/ControlWnd.h"
#include "fw/Framework.h"

#include "Mp3PlayInterface.h"

class CMp3Play : public CControlWnd {
public:
    static constexpr LPCSTR kClsid = mp3play::kClsid;
    static constexpr UINT kControlId = 1061;
    static constexpr short kStatusNoControl = fw::kStatusNoControl;
    // Names the control to the containment; the program calls it before
    // AfxEnableControlContainer.
    static BOOL Register();
    // Events of the control (sink dispatch ids).
    static constexpr DISPID kEventPosition = mp3play::kEventPosition;  // long frame
    static constexpr DISPID kEventEnd = mp3play::kEventEnd;
    static constexpr DISPID kEventError = mp3play::kEventError;        // long code, string text
    static constexpr DISPID kEventNext = mp3play::kEventNext;          // the queued file is heard

    // Properties of the open file.
    long GetFrames();
    BOOL GetCopyright();
    BOOL GetOriginal();
    BOOL GetCrc();
    short GetLayer();
    long GetFrequency();
    long GetBitRate();
    short GetVersion();
    float GetFrameDuration();  // milliseconds
    long GetLength();          // milliseconds
    short GetChannelMode();

    // Methods. An empty target plays to the sound device; a path decodes into it.
    short Open(LPCSTR lpszSource, LPCSTR lpszTarget);
    short Play();
    short Pause();  // again: resume
    short Seek(long nFrame);
    short Stop();
    short Close();
    // The file that plays on from the open one without a break; "" drops it.
    short Queue(LPCSTR lpszPath);

    // Open, seek to frame 0 and start; the first non-zero status, or 0.
    short OpenAndPlay(LPCSTR lpszPath);
    // Opens, reads the length and closes; -1 when the file cannot be opened.
    long ScanLengthSeconds(LPCSTR lpszPath);
    // Seconds played at a position event's frame; 0 while no file is open.
    long ElapsedSeconds(long nFrame);
    // The frame where second nSecond starts, for a frame duration in ms; -1 when the
    // duration truncates below 1 ms (no seek then).
    static long FrameForSecond(long nSecond, float fFrameMs);
    // Seeks to a second and leaves the pause the seek started from.
    short SeekToSecond(long nSecond);
};
