// Polyphase synthesis filter bank (11172-3, 2.4.3.2.2 and Figure A.2): 32 sub-band
// samples in, 32 PCM samples out, with the matrixing done by a fast 32-point DCT.
#pragma once

#include <cstdint>

namespace orv::codec {

class Synthesis {
 public:
  Synthesis() { Reset(); }
  void Reset();
  // Writes 32 samples to out[0], out[stride], ...
  void Run(const float* subbands, float* out, int stride);

 private:
  float m_v[16][64];
  int m_newest = 0;
};

// Unnormalised DCT-II of 32 points: out[m] = sum in[k] cos(pi m (2k + 1) / 64).
void Dct32(const float* in, float* out);

}  // namespace orv::codec
