// The rules of the disc model that need no device and no file: the CDDB1 disc
// identifier from a table of contents, the selection text of the database, the
// comment lines and the shuffled order. Portable: standard library only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cddisc {

constexpr int kFramesPerSecond = 75;
constexpr int kMaxTracks = 99;

struct MsfTime {
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};

// The device's TMSF position: track, minutes, seconds, frames from the lowest byte.
inline uint32_t PackTmsf(int nTrack, int nMinutes, int nSeconds, int nFrames) {
    return static_cast<uint32_t>(nTrack & 0xFF) | static_cast<uint32_t>(nMinutes & 0xFF) << 8 |
           static_cast<uint32_t>(nSeconds & 0xFF) << 16 | static_cast<uint32_t>(nFrames & 0xFF) << 24;
}

// Decimal digit sum; 0 for 0.
int DigitSum(int nValue);

// The freedb (CDDB1) identifier of a disc from its absolute track starts and the
// length of its last track; the lead-out lies one frame past start + length, as the
// device reports the last track one frame short. 0 for an empty table.
uint32_t CddbDiscId(const std::vector<MsfTime>& starts, const MsfTime& lastLength);
// Eight lower-case hexadecimal digits.
std::string FormatDiscId(uint32_t nId);

// The stored selection: each entry "%.2d " in play order.
std::string FormatSelection(const std::vector<uint8_t>& selection);
// At most nCount entries of the text, two digits and a separator each. Entries
// outside 1..nTracks and repeats are dropped; the text's end ends the list.
std::vector<uint8_t> ParseSelection(const std::string& text, int nCount, int nTracks);

// The lines a comment is stored as: cut at every line feed, without the carriage
// return before it; no empty last line for a comment that ends with a line break.
std::vector<std::string> SplitComment(const std::string& comment);
// A stored line as the edit field shows it; lines written with their carriage
// return still read cleanly.
std::string StoredCommentLine(const std::string& value);

// A random permutation of the selection, drawn with rand(); the caller seeds it.
std::vector<uint8_t> ShuffledSelection(const std::vector<uint8_t>& selection);

}  // namespace cddisc
