// Layers I and II: bit allocation, scale factors and sample requantisation into
// sub-band samples (no state crosses frames).
#pragma once

#include "Layer3.h"

namespace orv::codec {

// Both return false (and silence) when the frame is too short for what it declares.
bool DecodeLayer1(const FrameHeader& header, const uint8_t* frame, SubbandFrame& out);
bool DecodeLayer2(const FrameHeader& header, const uint8_t* frame, SubbandFrame& out);

}  // namespace orv::codec
