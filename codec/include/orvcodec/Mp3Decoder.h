// Decodes an MPEG audio file (layers I, II and III; MPEG 1, 2 and 2.5) frame by frame
// to PCM, with frame-accurate seeking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvcodec/Mp3Stream.h"

namespace orv::codec {

class Mp3DecoderState;

class Mp3Decoder {
 public:
  static constexpr int kMaxSamplesPerFrame = 1152;  // per channel
  static constexpr int kMaxChannels = 2;

  Mp3Decoder();
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // Reads the file as it plays. A file whose Xing, Info or VBRI header states the frame
  // count is measured from its head alone; any other is scanned once for its frame
  // index, and none of it is kept. False when it cannot be read or holds no stream.
  bool OpenFile(const std::string& path);
  // Takes the bytes of a file image, scanned and indexed whole.
  bool Open(std::vector<uint8_t> bytes);
  // Streams from any source, as OpenFile does.
  bool OpenStream(std::unique_ptr<ByteSource> source);
  void Close();
  bool IsOpen() const { return m_info.bValid; }

  const StreamInfo& Info() const { return m_info; }
  int Channels() const { return m_info.first.channels; }
  uint32_t SampleRate() const { return m_info.first.sampleRate; }
  // Frames that can be decoded and sought: the frame index, or the count the header
  // states for a stream measured from it (a decode reads on past it if the file does).
  uint64_t FramesAvailable() const { return m_bIndexed ? m_info.frameOffsets.size() : m_info.frameCount; }
  uint64_t NextFrame() const { return m_nextFrame; }
  // Frames replaced by silence because they were damaged or lacked reservoir bytes.
  uint64_t ConcealedFrames() const { return m_concealed; }
  // Frames of audio a decode to here lacks: the damaged stretches between audio frames
  // (in frames of the stream's average size, rounded) and the concealed frames. Junk
  // before the first frame or after the last is no loss.
  uint64_t LostFrames() const;

  // Positions before frame n, decoding the frames before it silently so that the
  // bit reservoir and the filter banks hold what a continuous decode would. Exact
  // where the frame index reaches (a measured stream indexes the frames it has
  // read); beyond it, a stream measured from its header lands where the header's
  // table of contents puts that frame's time.
  bool SeekFrame(uint64_t frame);
  // Bytes of the stream held in memory.
  size_t HeldBytes() const;

  // With trimming on, the encoder delay and end padding a file's Info/Xing header
  // states are left out of the output, as gapless players do. Off by default: the
  // output then holds every sample of every frame.
  void SetGaplessTrim(bool bTrim) { m_bTrim = bTrim; }
  // Samples per channel of the whole output under the current trimming.
  uint64_t OutputSamples() const;

  // Decode the next frame into interleaved samples (room for kMaxSamplesPerFrame *
  // Channels()); return samples per channel, 0 at the end of the stream. Float output
  // is full scale at 1.0; 16-bit output is rounded and clipped. Trimming may return
  // part of a frame, or decode on to the next one.
  int DecodeFrame(float* out);
  int DecodeFrame(int16_t* out);

 private:
  bool Begin(std::unique_ptr<ByteSource> source);
  int DecodeNext(float* out, bool bOutput);
  int DecodeTrimmed(float* out);
  // Reads the next frame into m_frame; false at the end of the stream.
  bool ReadFrame(FrameHeader& h, bool& bHeader);
  // The offset of the first frame of the stream at or after at (up to the audio
  // end), or false.
  bool Resync(uint64_t at, uint64_t& found);
  bool IsFollowedByFrames(uint64_t next, uint64_t end);
  bool IsFrameAt(uint64_t at);
  void SeekIndexed(uint64_t frame);
  void SeekByTable(uint64_t frame);
  uint64_t TableOffset(uint64_t frame) const;

  std::unique_ptr<ByteSource> m_source;
  bool m_bIndexed = false;     // the frame index covers the whole stream
  bool m_bContiguous = false;  // frames read since frame 0 join the index
  uint64_t m_pos = 0;          // offset of the next frame when it is not indexed
  bool m_bAligned = false;     // m_pos is where a frame ended, not a landing by the table
  std::vector<uint8_t> m_frame;
  StreamInfo m_info;
  uint64_t m_nextFrame = 0;
  uint64_t m_concealed = 0;
  bool m_bTrim = false;
  std::unique_ptr<Mp3DecoderState> m_state;
  std::vector<float> m_scratch;
};

}  // namespace orv::codec
