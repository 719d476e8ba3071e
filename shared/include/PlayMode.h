// The play mode both players keep and store: 1 plays the list once, bit 2 loops it,
// bit 4 shuffles it (mpdeck's page stores shuffle alone as 5). Plain C++, so the
// window-free transports share it.
#pragma once

#include "TelmarIds.h"

namespace playmode {

constexpr int kPlain = 1;
constexpr int kLoopBit = 2;
constexpr int kShuffleBit = 4;

constexpr bool HasLoop(int nMode) { return (nMode & kLoopBit) != 0; }
constexpr bool HasShuffle(int nMode) { return (nMode & kShuffleBit) != 0; }

// The mode hotspot's cycle: 1, 2, 4, 6, and back to 1 from anything else.
constexpr int Next(int nMode) {
    switch (nMode) {
    case 1:
        return 2;
    case 2:
        return 4;
    case 4:
        return 6;
    default:
        return 1;
    }
}

// The string the LCD shows for a mode.
constexpr unsigned TextId(int nMode) {
    switch (nMode) {
    case 1:
        return IDS_MODE_NORMAL;
    case 2:
        return IDS_MODE_LOOP;
    case 4:
    case 5:
        return IDS_MODE_SHUFFLE;
    default:
        return IDS_MODE_LOOP_SHUFFLE;
    }
}

}  // namespace playmode
