// The worker side of the MP3 control: decodes ahead on its own thread into several
// wave-out buffers (play) or into a WAVE file as fast as it can (decode). The control
// drives it from the user-interface thread; the worker only posts to the control's
// window, which turns its messages into events.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "Mp3PlayInterface.h"
#include "ctlkit/ControlKit.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

// Messages the worker posts to the control window; wParam is the run's generation,
// so that the window drops what a halted run left in the queue.
constexpr UINT kMsgWorkerProgress = ctlkit::kMsgWorkerFirst;   // lParam: frames written (decode)
constexpr UINT kMsgWorkerEnded = ctlkit::kMsgWorkerFirst + 1;  // the stream is done (played or written)
constexpr UINT kMsgWorkerError = ctlkit::kMsgWorkerFirst + 2;  // lParam: an engine error code

constexpr long kEngineErrorWrite = mp3play::kErrorWrite;    // the target file cannot be written
constexpr long kEngineErrorDevice = mp3play::kErrorDevice;  // the sound device refused a buffer

class CPlayEngine {
public:
    CPlayEngine() { m_hWake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr); }
    ~CPlayEngine();
    CPlayEngine(const CPlayEngine&) = delete;
    CPlayEngine& operator=(const CPlayEngine&) = delete;

    // The decoder a run starts on; only while no worker runs.
    void SetDecoder(orv::codec::Mp3Decoder& decoder) { m_pDecoder = &decoder; }
    orv::codec::Mp3Decoder* Decoder() const { return m_pDecoder; }

    // Wave-out for the decoder's format; FALSE when there is no usable device.
    BOOL OpenDevice();
    void CloseDevice();
    BOOL IsDeviceOpen() const { return m_hWaveOut != nullptr; }

    // Starts the worker at the decoder's next frame. Output goes to the device, or to
    // pWriter (owned by the caller, untouched by it until Halt or the ended message).
    BOOL Start(HWND hWndNotify, UINT nGeneration, orv::codec::WaveWriter* pWriter);
    // Stops the worker and drops every queued buffer; the decoders are the caller's again.
    void Halt();
    BOOL IsRunning() const { return m_worker.joinable(); }

    void Pause();
    void Resume();

    // A decoder of the device's format that play continues with when the current one
    // ends, in the same device stream. FALSE while one is queued or a join is pending.
    BOOL Queue(orv::codec::Mp3Decoder& next);
    // Takes the queued decoder back; FALSE when the worker has already moved into it.
    BOOL Unqueue() { return m_pQueued.exchange(nullptr) != nullptr; }
    // The worker has moved into the queued decoder at JoinSample() of the device's
    // count; the control clears it once that is heard (or the run is halted).
    bool Joined() const { return m_bJoined; }
    uint64_t JoinSample() const { return m_joinSample; }
    void ClearJoin() { m_bJoined = false; }

    // Samples per channel the device has played since the run began.
    uint64_t DeviceSamples() const;
    // Peaks of the buffer now audible, left in the low word, right in the high; 0 when
    // none is.
    uint32_t AudiblePeaks() const;

private:
    static constexpr int kBuffers = 8;
    static constexpr int kFramesPerBuffer = 4;

    struct Buffer {
        WAVEHDR header = {};
        std::vector<int16_t> samples;
        bool bQueued = false;
        // Where the buffer's samples stand in the device's count, and their peaks:
        // written by the worker, read by the control window.
        std::atomic<uint64_t> firstSample{0};
        std::atomic<uint32_t> sampleCount{0};
        std::atomic<uint32_t> peaks{0};
    };

    void PlayLoop(HWND hWndNotify, UINT nGeneration);
    void DecodeLoop(HWND hWndNotify, UINT nGeneration, orv::codec::WaveWriter* pWriter);
    // Decodes up to kFramesPerBuffer frames into the buffer, moving into the queued
    // decoder at the end of the current one; FALSE at the end of both.
    BOOL FillBuffer(Buffer& buffer);
    BOOL TakeQueued();
    void MarkPeaks(Buffer& buffer, size_t used);
    void ReclaimBuffer(Buffer& buffer);
    BOOL AllBuffersDone() const;

    orv::codec::Mp3Decoder* m_pDecoder = nullptr;  // the worker's while it runs
    std::atomic<orv::codec::Mp3Decoder*> m_pQueued{nullptr};
    std::atomic<bool> m_bJoined{false};
    std::atomic<uint64_t> m_joinSample{0};
    HWAVEOUT m_hWaveOut = nullptr;
    HANDLE m_hWake = nullptr;  // buffer done (wave-out callback event), pause, halt
    WAVEFORMATEX m_format = {};
    Buffer m_buffers[kBuffers];
    std::thread m_worker;
    std::atomic<bool> m_bHalt{false};
    std::atomic<bool> m_bHold{false};  // decode mode's pause
    uint64_t m_queuedSamples = 0;  // worker only: samples per channel handed to the device this run
};
