// A small FLAC writer: fixed predictors with Rice-coded residuals, the best of the
// four stereo decorrelations per block, and a SEEKTABLE. Enough for composed audio
// (the demo disc); it does no LPC analysis. Portable: stdio only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv::codec {

// Encodes interleaved 16-bit PCM (1 or 2 channels) as a whole FLAC file in memory.
std::vector<uint8_t> EncodeFlac16(const int16_t* samples, size_t frames, int channels, uint32_t sampleRate);

// Writes the encoding to path through a temporary file, so a failure leaves no
// partial file; false when it could not be written.
bool WriteFlac16(const std::string& path, const int16_t* samples, size_t frames, int channels, uint32_t sampleRate);

}  // namespace orv::codec
