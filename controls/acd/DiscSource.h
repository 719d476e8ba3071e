// Where the ripper reads a disc: the image our CD-audio stand-in plays, or a real
// drive's raw audio sectors. Both give absolute frames (75 a second, the 150-frame
// lead-in included) as interleaved 16-bit stereo samples, 588 frames of samples each.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace acd {

struct TrackSpan {
    int32_t start = 0;   // absolute frame of INDEX 01
    int32_t length = 0;  // frames to the next track's start or the lead-out
    bool audio = true;
};

class CDiscSource {
public:
    virtual ~CDiscSource() = default;
    // Reads the disc now in the drive; false (with a reason) when there is none.
    virtual bool Load(std::string& error) = 0;
    virtual bool Track(int number, TrackSpan& span) const = 0;
    // What is read, for the rip log: the image's sheet or the drive ("D:").
    virtual std::string Name() const = 0;
    // count frames from an absolute frame; false when the disc cannot be read, with
    // failedFrame the first frame that could not.
    virtual bool Read(int32_t frame, int32_t count, int16_t* samples, int32_t& failedFrame) = 0;
};

// The images of our CD-audio stand-in when its setting exists, else the first CD
// drive; nullptr when there is neither.
std::unique_ptr<CDiscSource> FindDiscSource();

}  // namespace acd
