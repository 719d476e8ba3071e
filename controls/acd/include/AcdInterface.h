// The CD ripper control's interface: identity, dispatch ids, status and error codes,
// shared by the control and its wrapper.
//
// Contract:
// - InitRipper finds the disc source: the disc images of our CD-audio stand-in when
//   its setting exists (HKCU\Software\Orvanta\CDAudio), else the first CD drive of the
//   machine; neither gives kStatusNoSource. SetupRipper (any argument) answers
//   kStatusNotReady before a successful InitRipper, else 0.
// - RipTrack(track, path) extracts one audio track of the disc now in the drive into a
//   16-bit stereo 44.1 kHz PCM WAVE file whose samples are the track's samples on the
//   disc, from its INDEX 01 to the next track's (or the lead-out). The header is valid
//   after every write. Progress (event 3) runs 0 to 1000, tenths of a percent.
// - Exactly one event 2 per RipTrack: after success, after event 1 (failure: no disc,
//   a track that is not on the disc or not audio, a target that cannot be written, a
//   read that fails), and after StopRip. StopRip with nothing running sends nothing.
//   RipTrack while an extraction runs is refused (kStatusBusy) and sends nothing.
// - The track is written to a temporary file in the target's folder, which replaces
//   the target only when the track is whole: a stopped or failed extraction (also a
//   control destroyed mid-run, which sends nothing) leaves an earlier file of that
//   name as it was and no partial file.
// - After the copy, the track is read once more from the disc (not from the file) as a
//   test read. GetRipCheck(kind) gives the sums of the last track put in place: the
//   CRC32 of the copied and of the test-read audio bytes and the track's AccurateRip
//   v1 and v2 checksums (the first and last track of the disc by the usual rule);
//   0 before one, after a failed or stopped one, and for an unknown kind. Copy and
//   test CRC differ when the disc read differently twice: the file is kept, and the
//   host decides.
// - Test hook: with the environment variable ORV_ACD_UNSTABLE_READS set when
//   InitRipper runs, a read of frames that were read before (the test read) comes
//   back with one sample changed, as a disc that reads differently the second time.
#pragma once

#include "fw/ControlProtocol.h"

namespace acd {

constexpr char kClsid[] = "{164FD5E8-A898-11D1-BF8B-000000000000}";
constexpr char kWndClass[] = "OrvAcdCtl";
constexpr char kDllName[] = "orvacd.dll";
constexpr fw::ControlClass kControlClass = {kClsid, kDllName, kWndClass};

enum : DISPID {
    kMethodInitRipper = 2,
    kMethodSetupRipper = 4,  // short
    kMethodRipTrack = 6,     // short track (1-based), string target
    kMethodStopRip = 14,
    kMethodGetRipCheck = 20,    // short kind -> long (a 32-bit sum)
    kMethodGetSourceName = 21,  // -> string: the image's sheet or the drive ("D:") read from
};

// Kinds of GetRipCheck.
enum : short {
    kRipCheckCopyCrc = 0,
    kRipCheckTestCrc = 1,
    kRipCheckAccurateRipV1 = 2,
    kRipCheckAccurateRipV2 = 3,
    kRipCheckCount = 4,
};

enum : DISPID {
    kEventError = 1,     // long code, string text
    kEventDone = 2,
    kEventProgress = 3,  // long, tenths of a percent
};

constexpr long kProgressEnd = 1000;

// Method results.
enum : SHORT {
    kStatusOk = 0,
    kStatusNoSource = 1,  // neither disc images nor a CD drive
    kStatusNotReady = 2,  // InitRipper has not succeeded
    kStatusBusy = 3,      // an extraction is under way
};

// Codes of event 1.
enum : long {
    kErrorNoDisc = 1,       // the drive is empty, open, or its disc cannot be read
    kErrorNoTrack = 2,      // no such track, or not an audio track
    kErrorCannotWrite = 3,  // the target cannot be created or written
    kErrorRead = 4,         // reading the disc failed mid-track
};

}  // namespace acd
