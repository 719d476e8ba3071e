// Dispatch ids of the MP3 play/decode control's interface, shared by the control
// and its wrapper so the two cannot drift apart.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace mp3play {

enum : DISPID {
    kPropFrames = 1,
    kPropCopyright = 2,
    kPropOriginal = 3,
    kPropCrc = 4,
    kPropLayer = 5,
    kPropFrequency = 6,
    kPropBitRate = 7,
    kPropVersion = 8,
    kPropFrameMs = 12,
    kPropLengthMs = 13,
    kPropChannelMode = 14,
    kMethodOpen = 15,
    kMethodPlay = 16,
    kMethodPause = 17,
    kMethodSeek = 18,
    kMethodStop = 19,
    kMethodClose = 20,
};

enum : DISPID { kEventPosition = 1, kEventEnd = 2, kEventError = 3 };

}  // namespace mp3play
