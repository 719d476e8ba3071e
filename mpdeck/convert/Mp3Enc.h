// CMp3Enc: the MP3 encoder control (dialog item 1062 in mpdeck, 1057 in cddeck), one
// dispatch call per operation. Methods return the control's 16-bit status (0 =
// success); when the control is missing they return kStatusNoControl and GetTotal 0.
#pragma once

#include "fw/ControlWnd.h"
#include "fw/Framework.h"

#include "Mp3EncInterface.h"

class CMp3Enc : public CControlWnd {
public:
    static constexpr LPCSTR kClsid = mp3enc::kClsid;
    static constexpr short kStatusNoControl = fw::kStatusNoControl;
    // Names the control to the containment; the program calls it before
    // AfxEnableControlContainer.
    static BOOL Register();
    // Events of the control (sink dispatch ids).
    static constexpr DISPID kEventProgress = mp3enc::kEventProgress;  // long position
    static constexpr DISPID kEventDone = mp3enc::kEventDone;
    static constexpr DISPID kEventError = mp3enc::kEventError;  // long code, string text

    void SetBitRate(long nKbps);
    void SetSampleRate(long nHz);
    void SetLowRate(BOOL bLow);
    short OpenFiles(LPCSTR lpszSource, LPCSTR lpszTarget);
    short StartEncode();
    short StopEncode();
    long GetTotal();
};
