#include "orvcodec/Mp3Decoder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstring>

#include "Layer12.h"
#include "Layer3.h"
#include "Synthesis.h"

namespace orv::codec {

namespace {
constexpr uint32_t kMpeg1ReservoirMax = 511;  // main_data_begin is 9 bits
constexpr uint32_t kLsfReservoirMax = 255;    // 8 bits
// Above any frame's size (Layer II at 384 kbit/s and 32 kHz: 1729 bytes).
constexpr size_t kMaxFrameBytes = 4096;
// A stream without a header that measures it is read whole once to be indexed.
constexpr uint64_t kMaxScanBytes = uint64_t(1) << 31;
// Past the end of the index, a seek this close reads on exactly (about 3 s).
constexpr uint64_t kReadOnFrames = 120;
// A seek by the table lands this many frames early, to fill the reservoir.
constexpr uint64_t kTablePrimeFrames = 3;
constexpr int kTocEntries = 100;
constexpr size_t kResyncWindow = 4096;
// Headers in a row that make a sync word the start of a frame.
constexpr int kSyncRun = 3;
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
  return OpenStream(FileSource::Open(path));
}

bool Mp3Decoder::Open(std::vector<uint8_t> bytes) {
  Close();
  auto source = std::make_unique<MemorySource>(std::move(bytes));
  m_info = ScanStream(source->Bytes().data(), source->Bytes().size());
  m_bIndexed = true;
  return Begin(std::move(source));
}

bool Mp3Decoder::OpenStream(std::unique_ptr<ByteSource> source) {
  Close();
  if (!source)
    return false;
  if (ProbeStream(*source, m_info)) {
    m_bIndexed = false;
    return Begin(std::move(source));
  }
  // Without a header that measures it, the stream is walked once for its index; the
  // bytes are not kept.
  const uint64_t size = source->Size();
  if (size == 0 || size > kMaxScanBytes)
    return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  bytes.resize(source->ReadAt(0, bytes.data(), bytes.size()));
  m_info = ScanStream(bytes.data(), bytes.size());
  m_bIndexed = true;
  return Begin(std::move(source));
}

bool Mp3Decoder::Begin(std::unique_ptr<ByteSource> source) {
  if (!m_info.bValid) {
    Close();
    return false;
  }
  m_source = std::move(source);
  m_pos = m_info.audioStart;
  m_bContiguous = true;
  m_bAligned = true;
  m_scratch.resize(kMaxSamplesPerFrame * kMaxChannels);
  m_frame.resize(kMaxFrameBytes);
  return true;
}

void Mp3Decoder::Close() {
  m_source.reset();
  m_info = StreamInfo();
  m_bIndexed = false;
  m_bContiguous = false;
  m_bAligned = false;
  m_pos = 0;
  m_nextFrame = 0;
  m_concealed = 0;
  m_state->Reset();
}

size_t Mp3Decoder::HeldBytes() const {
  return (m_source ? m_source->HeldBytes() : 0) + m_frame.capacity() +
         m_info.frameOffsets.capacity() * sizeof(uint32_t);
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
  if (!IsOpen() || frame > FramesAvailable())
    return false;
  // Reading on from the end of the index is exact, and cheap for a short way.
  if (m_bIndexed || frame <= m_info.frameOffsets.size() + kReadOnFrames)
    SeekIndexed(frame);
  else
    SeekByTable(frame);
  return true;
}

void Mp3Decoder::SeekIndexed(uint64_t frame) {
  m_state->Reset();
  m_bContiguous = true;
  m_bAligned = true;
  m_pos = m_info.audioStart;
  m_nextFrame = 0;
  if (frame == 0)
    return;
  // Start early enough that frames n-2 and n-1 find their reservoir bytes, so that
  // frame n meets the same overlap and filter-bank history as in a continuous decode.
  const uint64_t known = m_info.frameOffsets.size();
  uint64_t start = frame >= 2 ? frame - 2 : 0;
  if (start >= known)
    start = known > 0 ? known - 1 : 0;
  if (m_info.first.layer == 3) {
    const uint32_t need = m_info.first.IsLsf() ? kLsfReservoirMax : kMpeg1ReservoirMax;
    const uint32_t overhead = kFrameHeaderBytes + m_info.first.SideInfoBytes();
    uint32_t bytes = 0;
    while (start > 0 && bytes < need) {
      --start;
      uint8_t head[kFrameHeaderBytes];
      FrameHeader h;
      if (m_source->ReadAt(m_info.frameOffsets[start], head, kFrameHeaderBytes) == kFrameHeaderBytes &&
          ParseFrameHeader(head, h) && h.frameBytes > overhead)
        bytes += h.frameBytes - overhead - (h.bCrc ? 2 : 0);
    }
  }
  const uint64_t concealed = m_concealed;
  m_nextFrame = start;
  while (m_nextFrame < frame && DecodeNext(m_scratch.data(), false) > 0) {
  }
  m_concealed = concealed;
}

void Mp3Decoder::SeekByTable(uint64_t frame) {
  m_state->Reset();
  m_bContiguous = false;
  // The frames before the one asked for refill the reservoir and the filter banks.
  const uint64_t land = frame > kTablePrimeFrames ? frame - kTablePrimeFrames : 0;
  m_pos = TableOffset(land);
  m_bAligned = false;
  m_nextFrame = land;
  const uint64_t concealed = m_concealed;
  while (m_nextFrame < frame && DecodeNext(m_scratch.data(), false) > 0) {
  }
  m_concealed = concealed;
  m_nextFrame = frame;
}

// The table maps percent of the time to 256ths of the stream's bytes, counted from
// the header's frame; between entries the bytes are taken as even. Without a table
// the bytes are taken as even throughout.
uint64_t Mp3Decoder::TableOffset(uint64_t frame) const {
  const uint64_t base = m_info.vbrHeaderAt;
  const uint64_t fileSpan = m_info.audioEnd > base ? m_info.audioEnd - base : 0;
  uint64_t span = m_info.vbrStreamBytes;
  if (span == 0 || span > fileSpan)
    span = fileSpan;
  const double percent = m_info.frameCount ? 100.0 * double(frame) / double(m_info.frameCount) : 0.0;
  double fraction = percent / 100.0;
  if (m_info.vbrToc.size() == kTocEntries) {
    const int i = std::min(static_cast<int>(percent), kTocEntries - 1);
    const double a = m_info.vbrToc[size_t(i)];
    const double b = i + 1 < kTocEntries ? m_info.vbrToc[size_t(i + 1)] : 256.0;
    fraction = (a + (std::max(b, a) - a) * (percent - i)) / 256.0;
  }
  const uint64_t at = base + static_cast<uint64_t>(std::min(fraction, 1.0) * double(span));
  return std::max<uint64_t>(at, m_info.audioStart);
}

// Where the last frame ended, a header of the stream whose frame fits is the next
// frame, as in the whole-file walk.
bool Mp3Decoder::IsFrameAt(uint64_t at) {
  uint8_t head[kFrameHeaderBytes];
  FrameHeader h;
  return m_source->ReadAt(at, head, kFrameHeaderBytes) == kFrameHeaderBytes && ParseFrameHeader(head, h) &&
         SameStream(h, m_info.first) && at + h.frameBytes <= m_info.audioEnd;
}

// The frames that follow confirm a sync word found in the middle of audio data, as
// the whole-file walk wants them (fewer where the stream ends).
bool Mp3Decoder::IsFollowedByFrames(uint64_t next, uint64_t end) {
  for (int i = 1; i < kSyncRun && next + kFrameHeaderBytes <= end; ++i) {
    uint8_t head[kFrameHeaderBytes];
    FrameHeader following;
    if (m_source->ReadAt(next, head, kFrameHeaderBytes) != kFrameHeaderBytes || !ParseFrameHeader(head, following) ||
        !SameStream(following, m_info.first))
      return false;
    next += following.frameBytes;
  }
  return true;
}

bool Mp3Decoder::Resync(uint64_t at, uint64_t& found) {
  // As far as the whole-file walk would look: to the end of the audio.
  const uint64_t end = m_info.audioEnd;
  uint8_t window[kResyncWindow];
  while (at + kFrameHeaderBytes <= end) {
    const size_t n = m_source->ReadAt(at, window, size_t(std::min<uint64_t>(sizeof window, end - at)));
    if (n < kFrameHeaderBytes)
      return false;
    for (size_t i = 0; i + kFrameHeaderBytes <= n; ++i) {
      FrameHeader h;
      if (window[i] != 0xFF || !ParseFrameHeader(window + i, h) || !SameStream(h, m_info.first) ||
          h.channels != m_info.first.channels)
        continue;
      if (!IsFollowedByFrames(at + i + h.frameBytes, end))
        continue;
      found = at + i;
      return true;
    }
    at += n - (kFrameHeaderBytes - 1);
  }
  return false;
}

bool Mp3Decoder::ReadFrame(FrameHeader& h, bool& bHeader) {
  const bool bKnown = m_nextFrame < m_info.frameOffsets.size();
  uint64_t at = 0;
  if (bKnown) {
    at = m_info.frameOffsets[m_nextFrame];
  } else if (m_bIndexed) {
    return false;
  } else if (m_bAligned && IsFrameAt(m_pos)) {
    at = m_pos;
  } else if (!Resync(m_bAligned ? m_pos + 1 : m_pos, at)) {
    return false;
  } else if (m_bContiguous) {
    // Bytes passed over between frames, as the whole-file walk counts them.
    m_info.skippedBytes += at - m_pos;
    if (!m_info.frameOffsets.empty()) m_info.damagedBytes += at - m_pos;
  }
  // A file cut short (or gone) since it was opened ends where its bytes end.
  if (m_source->ReadAt(at, m_frame.data(), kFrameHeaderBytes) != kFrameHeaderBytes)
    return false;
  bHeader = ParseFrameHeader(m_frame.data(), h) && SameStream(h, m_info.first) && h.channels == m_info.first.channels;
  if (!bHeader) {
    // An indexed frame whose header is damaged is concealed; the walk found none.
    h = m_info.first;
    return bKnown;
  }
  if (m_source->ReadAt(at, m_frame.data(), h.frameBytes) != h.frameBytes)
    return false;
  m_pos = at + h.frameBytes;
  m_bAligned = true;
  if (!bKnown && m_bContiguous && m_nextFrame == m_info.frameOffsets.size() && at <= UINT32_MAX)
    m_info.frameOffsets.push_back(static_cast<uint32_t>(at));
  return true;
}

int Mp3Decoder::DecodeNext(float* out, bool bOutput) {
  if (!IsOpen())
    return 0;
  FrameHeader h;
  bool bHeader = false;
  if (!ReadFrame(h, bHeader))
    return 0;
  ++m_nextFrame;
  const uint8_t* frame = m_frame.data();
  SubbandFrame& subbands = m_state->subbands;
  bool bOk = false;
  if (bHeader) {
    switch (h.layer) {
      case 1: bOk = DecodeLayer1(h, frame, subbands); break;
      case 2: bOk = DecodeLayer2(h, frame, subbands); break;
      default: bOk = m_state->layer3.DecodeFrame(h, frame, subbands); break;
    }
  }
  if (!bOk) {
    ++m_concealed;
    std::memset(subbands, 0, sizeof(SubbandFrame));
  }
  const int channels = m_info.first.channels;
  const int slots = h.samplesPerFrame / kSubbands;
  if (!bOutput) {
    float discard[kMaxSlots * kSubbands];
    for (int ch = 0; ch < channels; ++ch)
      m_state->synthesis[ch].RunSlots(subbands[ch][0], slots, discard, 1);
    return h.samplesPerFrame;
  }
  for (int ch = 0; ch < channels; ++ch)
    m_state->synthesis[ch].RunSlots(subbands[ch][0], slots, out + ch, channels);
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
    if (first >= keepTo && m_bIndexed) return 0;
    const int n = DecodeNext(out, true);
    if (n <= 0) return 0;
    // A stream read on past the count its header states (files joined end to end)
    // keeps those frames whole.
    if (first >= all) return n;
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
  FloatToPcm16(m_scratch.data(), size_t(samples) * Channels(), out);
  return samples;
}

}  // namespace orv::codec
