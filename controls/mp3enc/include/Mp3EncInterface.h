// The MP3 encoder control's interface: identity, dispatch ids, event ids and status
// codes, shared by the control and its wrapper so the two cannot drift apart.
//
// The contract its hosts rely on:
// - OpenFiles(source, target) ends any run first (as StopEncode does), then resets the
//   bit rate to 128 kbit/s, the sample rate to the source's own and the low-rate flag
//   to off, so no setting leaks from one job into the next. It refuses (non-zero) a
//   source that is not a readable PCM WAVE file the encoder takes (1 or 2 channels,
//   8 to 32 bits, 4000 to 192000 Hz), a target that names the source, and a target
//   that cannot be created (missing folder, a folder, read-only). It never touches
//   an existing target.
// - The output rate: SetSampleRate when given; SetLowRate(TRUE) alone asks for the
//   MPEG-2 rate that matches the source (half of 32000, 44100 or 48000; a source that
//   is already low keeps its rate). A rate the format lacks is resampled to the
//   nearest it has, and the stream's frame headers state what was made. A bit rate
//   the stream's MPEG version lacks becomes its nearest one.
// - Settings put while a run goes on leave that run alone.
// - GetTotal: the source's sample frames of the last opened pair, at least 1, kept
//   after the pair is released so that progress events still in the host's queue
//   divide by the same figure. Progress positions run from 0 to GetTotal.
// - Exactly one event 2 per successful StartEncode: at the end of the file, after a
//   StopEncode during the run, and after an event 3. StopEncode without a running
//   encode (after a refused start, for example) only releases the pair: no event.
//   Every event 2 releases the pair. A control destroyed during a run sends nothing.
// - The MP3 is written to a temporary file in the target's folder, which replaces the
//   target only when the encode is complete: a stopped, failed or abandoned encode
//   leaves an earlier file of that name as it was and no partial file. A source that ends before its header's data length is damaged:
//   the run fails with kErrorSourceShort.
#pragma once

#include "fw/ControlProtocol.h"

namespace mp3enc {

constexpr char kClsid[] = "{FFBEC4C6-839E-11D1-85FE-0020AFE4DE54}";
constexpr char kWndClass[] = "OrvMp3EncCtl";
constexpr char kDllName[] = "orvmp3enc.dll";
constexpr fw::ControlClass kControlClass = {kClsid, kDllName, kWndClass};

enum : DISPID {
    kPropBitRate = 1,     // put, VT_I4, kbit/s
    kPropSampleRate = 2,  // put, VT_I4, Hz
    kPropLowRate = 8,     // put, VT_BOOL
    kMethodStartEncode = 9,
    kMethodStopEncode = 10,
    kMethodOpenFiles = 11,
    kMethodGetTotal = 12,  // VT_I4
};

enum : DISPID {
    kEventProgress = 1,  // long position
    kEventDone = 2,
    kEventError = 3,  // long code, string text
};

constexpr long kDefaultBitRate = 128;

// Method results.
enum : SHORT {
    kStatusOk = 0,
    kStatusNotOpen = 1,       // StartEncode without an opened pair
    kStatusCannotRead = 2,    // the source is missing or unreadable
    kStatusNotWave = 3,       // not a WAVE file
    kStatusBadFormat = 4,     // a WAVE encoding or shape the encoder does not take
    kStatusSameFile = 5,      // the target names the source
    kStatusCannotCreate = 6,  // the target cannot be created
    kStatusBusy = 7,          // a run is under way
    kStatusBadSettings = 8,   // the encoder refuses the bit rate or sample rate
};

// Codes of event 3.
enum : long {
    kErrorSourceShort = 1,  // the source ends before its stated length
    kErrorRead = 2,         // the source cannot be read any more
    kErrorWrite = 3,        // the target cannot be written
    kErrorEncoder = 4,      // the encoder refused the audio
};

}  // namespace mp3enc
