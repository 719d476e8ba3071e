// The MP3 play/decode control's interface: identity, dispatch ids and status codes,
// shared by the control and its wrapper so the two cannot drift apart.
#pragma once

#include "fw/ControlProtocol.h"

namespace mp3play {

constexpr char kClsid[] = "{3B00B10D-6EF0-11D1-A6AA-0020AFE4DE54}";
constexpr char kWndClass[] = "OrvMp3PlayCtl";
constexpr char kDllName[] = "orvmp3play.dll";
constexpr fw::ControlClass kControlClass = {kClsid, kDllName, kWndClass};

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
    // string path: the file that follows the open one without a break; empty drops it.
    kMethodQueue = 21,
};

// kEventNext: what is heard now is the queued file, which is the open file from here
// on (its properties, positions from its frame 0); no end event comes between.
enum : DISPID { kEventPosition = 1, kEventEnd = 2, kEventError = 3, kEventNext = 4 };

// Codes of event 3. A decode writes a temporary file in the target's folder that
// replaces the target only at the end of the stream; a stopped or failed decode
// leaves an earlier target as it was. kErrorDamaged comes before the end event of a
// decode whose file was written but lacks audio the source's damage took: the text
// says how much.
enum : long { kErrorWrite = 1, kErrorDevice = 2, kErrorDamaged = 3 };

// Not part of the dispatch interface: while a file plays to the sound device, this
// window property of the control holds the peaks of the audio now heard, left channel
// in the low word and right in the high word (0 to 32767 each); absent or 0 otherwise.
// Hosts read it for a level meter where the mixer has none.
constexpr char kPeakProperty[] = "OrvMp3PlayPeak";

// Method results.
enum : SHORT {
    kStatusOk = 0,
    kStatusNotOpen = 1,
    kStatusCannotRead = 2,
    kStatusNotMpeg = 3,
    kStatusNoDevice = 4,
    kStatusCannotCreate = 5,
    kStatusBadFrame = 6,
    kStatusNotPlaying = 7,
    kStatusBusy = 8,
    // Queue: the file has another sampling rate or channel count, or the open file is
    // being decoded to WAVE rather than played.
    kStatusCannotFollow = 9,
};

}  // namespace mp3play
