// The tags of an extracted track's MP3 file, from the disc's record: ID3v2.3 in front
// (every character kept) and ID3v1.1 at the end (texts cut to their fields).
#pragma once

#include "fw/Framework.h"

class CCDDisc;

// Rewrites the MP3 at strPath with the tags of track nTrack (1-based) titled
// strTitle. The tagged copy is written beside it and replaces it only when complete;
// FALSE (the file as it was) when it cannot be.
BOOL TagRippedMp3(const CString& strPath, const CCDDisc& disc, int nTrack, const CString& strTitle);
