// CACD: the CD ripper control (dialog item 1006 of the extractor page), one dispatch
// call per operation. Methods return the control's 16-bit status (0 = success); when
// the control is missing they return kStatusNoControl.
#pragma once

#include "fw/ControlWnd.h"
#include "fw/Framework.h"

#include "AcdInterface.h"

class CACD : public CControlWnd {
public:
    static constexpr LPCSTR kClsid = acd::kClsid;
    static constexpr UINT kControlId = 1006;
    static constexpr short kStatusNoControl = fw::kStatusNoControl;
    // Names the control to the containment; the program calls it before
    // AfxEnableControlContainer.
    static BOOL Register();
    // Events of the control (sink dispatch ids).
    static constexpr DISPID kEventError = acd::kEventError;  // long code, string text
    static constexpr DISPID kEventDone = acd::kEventDone;
    static constexpr DISPID kEventProgress = acd::kEventProgress;  // long, tenths of a percent

    short InitRipper();
    short SetupRipper(short nArgument);
    short RipTrack(short nTrack, LPCSTR lpszTarget);
    short StopRip();
    // The sums of the last track put in place (acd::kRipCheck...), as 32-bit values.
    DWORD GetRipCheck(short nKind);
    CString GetSourceName();
};
