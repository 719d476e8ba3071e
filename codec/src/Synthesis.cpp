#include "Synthesis.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::codec {

namespace {

// The prototype of the synthesis window D[i] of Table B.3 for i = 0..256, in units of
// 2^-16. D mirrors it around 256, and every other block of 64 is negated.
const int32_t kWindowHalf[257] = {
    0, -1, -1, -1, -1, -1, -1, -2,
    -2, -2, -2, -3, -3, -4, -4, -5,
    -5, -6, -7, -7, -8, -9, -10, -11,
    -13, -14, -16, -17, -19, -21, -24, -26,
    -29, -31, -35, -38, -41, -45, -49, -53,
    -58, -63, -68, -73, -79, -85, -91, -97,
    -104, -111, -117, -125, -132, -139, -147, -154,
    -161, -169, -176, -183, -190, -196, -202, -208,
    -213, -218, -222, -225, -227, -228, -228, -227,
    -224, -221, -215, -208, -200, -189, -177, -163,
    -146, -127, -106, -83, -57, -29, 2, 36,
    72, 111, 153, 197, 244, 294, 347, 401,
    459, 519, 581, 645, 711, 779, 848, 919,
    991, 1064, 1137, 1210, 1283, 1356, 1428, 1498,
    1567, 1634, 1698, 1759, 1817, 1870, 1919, 1962,
    2001, 2032, 2057, 2075, 2085, 2087, 2080, 2063,
    2037, 2000, 1952, 1893, 1822, 1739, 1644, 1535,
    1414, 1280, 1131, 970, 794, 605, 402, 185,
    -45, -288, -545, -814, -1095, -1388, -1692, -2006,
    -2330, -2663, -3004, -3351, -3705, -4063, -4425, -4788,
    -5153, -5517, -5879, -6237, -6589, -6935, -7271, -7597,
    -7910, -8209, -8491, -8755, -8998, -9219, -9416, -9585,
    -9727, -9838, -9916, -9959, -9966, -9935, -9863, -9750,
    -9592, -9389, -9139, -8840, -8492, -8092, -7640, -7134,
    -6574, -5959, -5288, -4561, -3776, -2935, -2037, -1082,
    -70, 998, 2122, 3300, 4533, 5818, 7154, 8540,
    9975, 11455, 12980, 14548, 16155, 17799, 19478, 21189,
    22929, 24694, 26482, 28289, 30112, 31947, 33791, 35640,
    37489, 39336, 41176, 43006, 44821, 46617, 48390, 50137,
    51853, 53534, 55178, 56778, 58333, 59838, 61289, 62684,
    64019, 65290, 66494, 67629, 68692, 69679, 70590, 71420,
    72169, 72835, 73415, 73908, 74313, 74630, 74856, 74992,
    75038,
};

struct SynthesisTables {
  float window[512];
  // 1 / (2 cos(pi (2k + 1) / 2N)) for N = 32, 16, 8, 4, 2.
  float dctScale32[16], dctScale16[8], dctScale8[4], dctScale4[2], dctScale2[1];

  SynthesisTables() {
    for (int i = 0; i < 512; ++i) {
      const int mirror = i <= 256 ? i : 512 - i;
      const int sign = (i / 64) % 2 == 0 ? 1 : -1;
      window[i] = static_cast<float>(sign * kWindowHalf[mirror] / 65536.0);
    }
    Fill(dctScale32, 32);
    Fill(dctScale16, 16);
    Fill(dctScale8, 8);
    Fill(dctScale4, 4);
    Fill(dctScale2, 2);
  }
  static void Fill(float* scale, int n) {
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < n / 2; ++k)
      scale[k] = static_cast<float>(1.0 / (2.0 * std::cos(pi * (2 * k + 1) / (2.0 * n))));
  }
};

const SynthesisTables& Tables() {
  static const SynthesisTables tables;
  return tables;
}

// Four lanes of float: the DCT of four time slots at once. The compiler maps it to SSE2
// where there is SSE2 and to plain floats elsewhere; each lane computes exactly what
// the scalar DCT does, in the same order.
typedef float Float4 __attribute__((vector_size(16)));

// Lee's recursion: the even outputs are the half-size DCT of the folded sums, the odd
// ones the pairwise sums of the half-size DCT of the scaled differences.
template <int N, typename T>
struct Dct {
  static void Run(const T* in, T* out, const float* const* scales) {
    T sums[N / 2], diffs[N / 2], even[N / 2], odd[N / 2];
    const float* scale = scales[0];
    for (int k = 0; k < N / 2; ++k) {
      sums[k] = in[k] + in[N - 1 - k];
      diffs[k] = (in[k] - in[N - 1 - k]) * scale[k];
    }
    Dct<N / 2, T>::Run(sums, even, scales + 1);
    Dct<N / 2, T>::Run(diffs, odd, scales + 1);
    for (int m = 0; m < N / 2; ++m)
      out[2 * m] = even[m];
    for (int m = 0; m < N / 2 - 1; ++m)
      out[2 * m + 1] = odd[m] + odd[m + 1];
    out[N - 1] = odd[N / 2 - 1];
  }
};

template <typename T>
struct Dct<1, T> {
  static void Run(const T* in, T* out, const float* const*) { out[0] = in[0]; }
};

// The transpose of Lee's recursion, for the DCT-III: even inputs make one half-size
// transform, neighbouring odd ones summed the other; the two are combined as the
// forward transform splits them.
template <int N, typename T>
struct DctTransposed {
  static void Run(const T* in, T* out, const float* const* scales) {
    T evenIn[N / 2], oddIn[N / 2], even[N / 2], odd[N / 2];
    for (int m = 0; m < N / 2; ++m)
      evenIn[m] = in[2 * m];
    oddIn[0] = in[1];
    for (int m = 1; m < N / 2; ++m)
      oddIn[m] = in[2 * m + 1] + in[2 * m - 1];
    DctTransposed<N / 2, T>::Run(evenIn, even, scales + 1);
    DctTransposed<N / 2, T>::Run(oddIn, odd, scales + 1);
    const float* scale = scales[0];
    for (int k = 0; k < N / 2; ++k) {
      const T d = odd[k] * scale[k];
      out[k] = even[k] + d;
      out[N - 1 - k] = even[k] - d;
    }
  }
};

template <typename T>
struct DctTransposed<1, T> {
  static void Run(const T* in, T* out, const float* const*) { out[0] = in[0]; }
};

template <typename T>
void RunDct32(const T* in, T* out) {
  const SynthesisTables& t = Tables();
  const float* const scales[5] = {t.dctScale32, t.dctScale16, t.dctScale8, t.dctScale4, t.dctScale2};
  Dct<32, T>::Run(in, out, scales);
}

// The DCT-IV of 18 points through a 9-point complex DFT (three by three) between two
// rotations: e^(-i pi (4m + 1) / 72) before, e^(-i pi p / 18) after, and the DFT's
// inner twiddles e^(-2 i pi n / 9), n = 0..4.
struct DctIv18Tables {
  float preCos[9], preSin[9], postCos[9], postSin[9], dftCos[5], dftSin[5];

  DctIv18Tables() {
    const double pi = 3.14159265358979323846;
    for (int m = 0; m < 9; ++m) {
      preCos[m] = static_cast<float>(std::cos(pi * (4 * m + 1) / 72));
      preSin[m] = static_cast<float>(std::sin(pi * (4 * m + 1) / 72));
      postCos[m] = static_cast<float>(std::cos(pi * m / 18));
      postSin[m] = static_cast<float>(std::sin(pi * m / 18));
    }
    for (int n = 0; n < 5; ++n) {
      dftCos[n] = static_cast<float>(std::cos(2 * pi * n / 9));
      dftSin[n] = static_cast<float>(std::sin(2 * pi * n / 9));
    }
  }
  static const DctIv18Tables& Get() {
    static const DctIv18Tables tables;
    return tables;
  }
};

struct Complex {
  float re, im;
};

// a times e^(-i phi), given cos phi and sin phi.
Complex Rotate(Complex a, float c, float s) { return {a.re * c + a.im * s, a.im * c - a.re * s}; }

// The 3-point DFT in place, with W = e^(-2 i pi / 3).
void Dft3(Complex& a0, Complex& a1, Complex& a2) {
  const float r = 0.866025403784438646764f;  // sqrt(3) / 2
  const Complex sum = {a1.re + a2.re, a1.im + a2.im};
  const Complex diff = {a1.re - a2.re, a1.im - a2.im};
  const Complex mid = {a0.re - 0.5f * sum.re, a0.im - 0.5f * sum.im};
  a0 = {a0.re + sum.re, a0.im + sum.im};
  a1 = {mid.re + r * diff.im, mid.im - r * diff.re};
  a2 = {mid.re - r * diff.im, mid.im + r * diff.re};
}

}  // namespace

// Pairs of inputs rotated into a 9-point complex DFT, whose rotated outputs are
// pairs of z.
void DctIv18(const float* x, float* z) {
  const DctIv18Tables& t = DctIv18Tables::Get();
  Complex v[9];
  for (int m = 0; m < 9; ++m)
    v[m] = Rotate({x[2 * m], x[17 - 2 * m]}, t.preCos[m], t.preSin[m]);
  // The DFT of 9 as 3 by 3: m = 3 m1 + m2, p = p1 + 3 p2.
  for (int m2 = 0; m2 < 3; ++m2)
    Dft3(v[m2], v[m2 + 3], v[m2 + 6]);
  v[4] = Rotate(v[4], t.dftCos[1], t.dftSin[1]);
  v[7] = Rotate(v[7], t.dftCos[2], t.dftSin[2]);
  v[5] = Rotate(v[5], t.dftCos[2], t.dftSin[2]);
  v[8] = Rotate(v[8], t.dftCos[4], t.dftSin[4]);
  for (int p1 = 0; p1 < 3; ++p1)
    Dft3(v[3 * p1], v[3 * p1 + 1], v[3 * p1 + 2]);
  for (int p1 = 0; p1 < 3; ++p1)
    for (int p2 = 0; p2 < 3; ++p2) {
      const int p = p1 + 3 * p2;
      const Complex u = Rotate(v[3 * p1 + p2], t.postCos[p], t.postSin[p]);
      z[2 * p] = u.re;
      z[17 - 2 * p] = -u.im;
    }
}

void Dct32(const float* in, float* out) { RunDct32(in, out); }

void Dct32Transposed(const float* in, float* out) {
  const SynthesisTables& t = Tables();
  const float* const scales[5] = {t.dctScale32, t.dctScale16, t.dctScale8, t.dctScale4, t.dctScale2};
  DctTransposed<32, float>::Run(in, out, scales);
}

void Dct32x4(const float* in, float* out) {
  Float4 lanes[32], result[32];
  for (int k = 0; k < 32; ++k)
    lanes[k] = Float4{in[k], in[32 + k], in[64 + k], in[96 + k]};
  RunDct32(lanes, result);
  for (int m = 0; m < 32; ++m)
    for (int lane = 0; lane < 4; ++lane)
      out[32 * lane + m] = result[m][lane];
}

void FloatToPcm16Portable(const float* in, size_t count, int16_t* out) {
  for (size_t i = 0; i < count; ++i) {
    const float v = std::min(std::max(in[i] * 32768.0f, -32768.0f), 32767.0f);
    out[i] = static_cast<int16_t>(std::lrint(v));
  }
}

void FloatToPcm16(const float* in, size_t count, int16_t* out) {
  size_t i = 0;
#if defined(__SSE2__)
  // Conversion rounds by the MXCSR mode as lrint does by the current one: to nearest.
  const __m128 scale = _mm_set1_ps(32768.0f), low = _mm_set1_ps(-32768.0f), high = _mm_set1_ps(32767.0f);
  for (; i + 8 <= count; i += 8) {
    const __m128 a = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(in + i), scale), low), high);
    const __m128 b = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(in + i + 4), scale), low), high);
    const __m128i packed = _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), packed);
  }
#endif
  FloatToPcm16Portable(in + i, count - i, out + i);
}

void Synthesis::Reset() {
  std::memset(m_v, 0, sizeof m_v);
  m_newest = 0;
}

void Synthesis::Run(const float* subbands, float* out, int stride) {
  float x[32];
  Dct32(subbands, x);
  Window(x, out, stride);
}

void Synthesis::RunSlots(const float* subbands, int slots, float* out, int stride) {
  int s = 0;
  for (; s + 4 <= slots; s += 4) {
    float x[4 * 32];
    Dct32x4(subbands + 32 * s, x);
    for (int lane = 0; lane < 4; ++lane)
      Window(x + 32 * lane, out + 32 * (s + lane) * stride, stride);
  }
  for (; s < slots; ++s)
    Run(subbands + 32 * s, out + 32 * s * stride, stride);
}

void Synthesis::Window(const float* x, float* out, int stride) {
  const float* window = Tables().window;
  // V[i] = sum S[k] cos((16 + i)(2k + 1) pi / 64), expressed through the DCT.
  m_newest = (m_newest + 15) & 15;
  float* v = m_v[m_newest];
  for (int i = 0; i < 16; ++i)
    v[i] = x[16 + i];
  v[16] = 0.0f;
  for (int i = 17; i < 48; ++i)
    v[i] = -x[48 - i];
  for (int i = 48; i < 64; ++i)
    v[i] = -x[i - 48];

  float sum[32] = {};
  for (int i = 0; i < 8; ++i) {
    const float* even = m_v[(m_newest + 2 * i) & 15];
    const float* odd = m_v[(m_newest + 2 * i + 1) & 15] + 32;
    const float* d0 = window + 64 * i;
    const float* d1 = d0 + 32;
    for (int j = 0; j < 32; ++j)
      sum[j] += d0[j] * even[j] + d1[j] * odd[j];
  }
  for (int j = 0; j < 32; ++j)
    out[j * stride] = sum[j];
}

}  // namespace orv::codec
