#include "orvcodec/Mp3Decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Layer12.h"
#include "Layer3.h"
#include "Synthesis.h"

namespace orv::codec {

namespace {
constexpr uint32_t kMpeg1ReservoirMax = 511;  // main_data_begin is 9 bits
constexpr uint32_t kLsfReservoirMax = 255;    // 8 bits
}  // namespace

class Mp3DecoderState {
 public:
  void Reset() {
    layer3.Reset();
    synthesis[0].Reset();
    synthesis[1].Reset();
  }
  Layer3Decoder layer3;
  Synthesis synthesis[2];
  SubbandFrame subbands;
};

Mp3Decoder::Mp3Decoder() : m_state(std::make_unique<Mp3DecoderState>()) {}
Mp3Decoder::~Mp3Decoder() = default;

bool Mp3Decoder::OpenFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!LoadFile(path, bytes)) {
    Close();
    return false;
  }
  return Open(std::move(bytes));
}

bool Mp3Decoder::Open(std::vector<uint8_t> bytes) {
  Close();
  m_bytes = std::move(bytes);
  m_info = ScanStream(m_bytes.data(), m_bytes.size());
  if (!m_info.bValid) {
    Close();
    return false;
  }
  m_scratch.resize(kMaxSamplesPerFrame * kMaxChannels);
  return true;
}

void Mp3Decoder::Close() {
  m_bytes.clear();
  m_info = StreamInfo();
  m_nextFrame = 0;
  m_concealed = 0;
  m_state->Reset();
}

uint64_t Mp3Decoder::LostFrames() const {
  uint64_t lost = m_concealed;
  const uint64_t frames = m_info.frameOffsets.size();
  const uint64_t span = m_info.audioEnd > m_info.audioStart ? m_info.audioEnd - m_info.audioStart : 0;
  if (m_info.damagedBytes > 0 && frames > 0 && span > m_info.damagedBytes) {
    const uint64_t average = (span - m_info.damagedBytes) / frames;
    if (average > 0)
      lost += (m_info.damagedBytes + average / 2) / average;
  }
  return lost;
}

bool Mp3Decoder::SeekFrame(uint64_t frame) {
  if (!IsOpen() || frame > m_info.frameOffsets.size())
    return false;
  m_state->Reset();
  m_nextFrame = frame;
  if (frame == 0)
    return true;
  // Start early enough that frames n-2 and n-1 find their reservoir bytes, so that
  // frame n meets the same overlap and filter-bank history as in a continuous decode.
  uint64_t start = frame >= 2 ? frame - 2 : 0;
  if (m_info.first.layer == 3) {
    const uint32_t need = m_info.first.IsLsf() ? kLsfReservoirMax : kMpeg1ReservoirMax;
    const uint32_t overhead = kFrameHeaderBytes + m_info.first.SideInfoBytes();
    uint32_t bytes = 0;
    while (start > 0 && bytes < need) {
      --start;
      FrameHeader h;
      if (ParseFrameHeader(m_bytes.data() + m_info.frameOffsets[start], h) && h.frameBytes > overhead)
        bytes += h.frameBytes - overhead - (h.bCrc ? 2 : 0);
    }
  }
  const uint64_t concealed = m_concealed;
  m_nextFrame = start;
  while (m_nextFrame < frame)
    DecodeNext(m_scratch.data(), false);
  m_concealed = concealed;
  return true;
}

int Mp3Decoder::DecodeNext(float* out, bool bOutput) {
  if (!IsOpen() || m_nextFrame >= m_info.frameOffsets.size())
    return 0;
  const uint8_t* frame = m_bytes.data() + m_info.frameOffsets[m_nextFrame++];
  FrameHeader h;
  const bool bHeader = ParseFrameHeader(frame, h) && SameStream(h, m_info.first) &&
                       h.channels == m_info.first.channels;
  SubbandFrame& subbands = m_state->subbands;
  bool bOk = false;
  if (bHeader) {
    switch (h.layer) {
      case 1: bOk = DecodeLayer1(h, frame, subbands); break;
      case 2: bOk = DecodeLayer2(h, frame, subbands); break;
      default: bOk = m_state->layer3.DecodeFrame(h, frame, subbands); break;
    }
  } else {
    h = m_info.first;
  }
  if (!bOk) {
    ++m_concealed;
    std::memset(subbands, 0, sizeof(SubbandFrame));
  }
  const int channels = m_info.first.channels;
  const int slots = h.samplesPerFrame / kSubbands;
  if (!bOutput) {
    float discard[kSubbands];
    for (int ch = 0; ch < channels; ++ch)
      for (int s = 0; s < slots; ++s)
        m_state->synthesis[ch].Run(subbands[ch][s], discard, 1);
    return h.samplesPerFrame;
  }
  for (int ch = 0; ch < channels; ++ch)
    for (int s = 0; s < slots; ++s)
      m_state->synthesis[ch].Run(subbands[ch][s], out + s * kSubbands * channels + ch, channels);
  return h.samplesPerFrame;
}

uint64_t Mp3Decoder::OutputSamples() const {
  const uint64_t all = FramesAvailable() * m_info.first.samplesPerFrame;
  if (!m_bTrim) return all;
  const uint64_t trimmed = uint64_t(m_info.trimStart) + m_info.trimEnd;
  return all > trimmed ? all - trimmed : 0;
}

// Frame k holds output samples [k * spf, (k + 1) * spf); what lies outside the kept
// range is dropped and the rest moved to the front.
int Mp3Decoder::DecodeTrimmed(float* out) {
  if (!m_bTrim || (m_info.trimStart == 0 && m_info.trimEnd == 0)) return DecodeNext(out, true);
  const uint64_t perFrame = m_info.first.samplesPerFrame;
  const uint64_t all = FramesAvailable() * perFrame;
  const uint64_t keepFrom = m_info.trimStart;
  const uint64_t keepTo = all > m_info.trimEnd ? all - m_info.trimEnd : 0;
  const int channels = Channels();
  for (;;) {
    const uint64_t first = m_nextFrame * perFrame;
    if (first >= keepTo) return 0;
    const int n = DecodeNext(out, true);
    if (n <= 0) return 0;
    const uint64_t from = std::max(first, keepFrom);
    const uint64_t to = std::min(first + uint64_t(n), keepTo);
    if (from >= to) continue;
    if (from > first) std::memmove(out, out + (from - first) * channels, (to - from) * channels * sizeof(float));
    return static_cast<int>(to - from);
  }
}

int Mp3Decoder::DecodeFrame(float* out) { return DecodeTrimmed(out); }

int Mp3Decoder::DecodeFrame(int16_t* out) {
  const int samples = DecodeTrimmed(m_scratch.data());
  const int count = samples * Channels();
  for (int i = 0; i < count; ++i) {
    const float v = std::min(std::max(m_scratch[i] * 32768.0f, -32768.0f), 32767.0f);
    out[i] = static_cast<int16_t>(std::lrint(v));
  }
  return samples;
}

}  // namespace orv::codec
