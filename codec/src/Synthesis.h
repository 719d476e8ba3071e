// Polyphase synthesis filter bank (11172-3, 2.4.3.2.2 and Figure A.2): 32 sub-band
// samples in, 32 PCM samples out, with the matrixing done by a fast 32-point DCT;
// and the fast transforms the encoder's filter banks share with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv::codec {

class Synthesis {
 public:
  Synthesis() { Reset(); }
  void Reset();
  // Writes 32 samples to out[0], out[stride], ...
  void Run(const float* subbands, float* out, int stride);
  // Runs `slots` time slots in a row (subbands[32 * s + k]); slot s writes
  // out[(32 * s + j) * stride]. The same output as Run slot by slot, sooner.
  void RunSlots(const float* subbands, int slots, float* out, int stride);

 private:
  // The second half of Run: the DCT's output x into V, windowed into 32 samples.
  void Window(const float* x, float* out, int stride);

  float m_v[16][64];
  int m_newest = 0;
};

// Float samples (full scale 1.0) to 16-bit PCM, rounded to the nearest (ties to
// even) and clamped. SSE2 where the compiler has it; the portable loop otherwise and
// for the rest, with the same result for every sample that is not a NaN.
void FloatToPcm16(const float* in, size_t count, int16_t* out);
void FloatToPcm16Portable(const float* in, size_t count, int16_t* out);

// Unnormalised DCT-II of 32 points: out[m] = sum in[k] cos(pi m (2k + 1) / 64).
void Dct32(const float* in, float* out);
// Its transpose, the DCT-III: out[k] = sum in[m] cos(pi m (2k + 1) / 64).
void Dct32Transposed(const float* in, float* out);
// DCT-IV of 18 points, the core of the hybrid filter bank's IMDCT and MDCT:
// z[n] = sum x[k] cos(pi (2n + 1)(2k + 1) / 72) for n, k = 0..17.
void DctIv18(const float* x, float* z);
// Dct32 of four blocks of 32 at once: in[32 * b + k] to out[32 * b + m].
void Dct32x4(const float* in, float* out);

}  // namespace orv::codec
