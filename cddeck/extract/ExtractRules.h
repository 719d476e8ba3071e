// The extractor's portable rules: file names made from typed track titles, and the
// encoder's progress as a percentage.
#pragma once

#include <string>
#include <vector>

namespace extract {

// Longest file title taken from a track title: a folder path, the suffix and a
// duplicate's number still fit in MAX_PATH for any sensible folder.
constexpr size_t kMaxFileTitle = 180;

// A title that Windows takes as one file name inside a folder: characters it forbids
// (\ / : * ? " < > | and control characters) become '_', trailing dots and blanks go,
// a device name (CON, NUL, COM1 ...) gets a leading '_', and what is left empty
// becomes "TrackNN".
std::string SafeFileTitle(const std::string& title, int nTrack);

// The file title of track nTrack (1-based) among all the disc's titles (index i holds
// track i + 1): its safe title, with " (NN)" added when an earlier track already has
// the same one, so no two tracks share a file.
std::string TrackFileTitle(const std::vector<std::string>& titles, int nTrack);

// position * 100 / total in 64 bits; 0 while the total is not positive.
long long EncodePercent(long nPosition, long nTotal);

}  // namespace extract
