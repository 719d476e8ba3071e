#include "Synthesis.h"

#include <cmath>
#include <cstring>

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

template <typename T>
void RunDct32(const T* in, T* out) {
  const SynthesisTables& t = Tables();
  const float* const scales[5] = {t.dctScale32, t.dctScale16, t.dctScale8, t.dctScale4, t.dctScale2};
  Dct<32, T>::Run(in, out, scales);
}

}  // namespace

void Dct32(const float* in, float* out) { RunDct32(in, out); }

void Dct32x4(const float* in, float* out) {
  Float4 lanes[32], result[32];
  for (int k = 0; k < 32; ++k)
    lanes[k] = Float4{in[k], in[32 + k], in[64 + k], in[96 + k]};
  RunDct32(lanes, result);
  for (int m = 0; m < 32; ++m)
    for (int lane = 0; lane < 4; ++lane)
      out[32 * lane + m] = result[m][lane];
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
