#include "PlayEngine.h"

#include <algorithm>

using orv::codec::Mp3Decoder;
using orv::codec::WaveWriter;

namespace {

// Decode mode reports progress this often (frames), and at the end.
constexpr uint64_t kProgressFrames = 16;
constexpr DWORD kWorkerWaitMs = 100;

}  // namespace

CPlayEngine::~CPlayEngine() {
    Halt();
    CloseDevice();
    if (m_hWake) ::CloseHandle(m_hWake);
}

BOOL CPlayEngine::OpenDevice() {
    if (m_hWaveOut) return TRUE;
    if (!m_pDecoder) return FALSE;
    const int channels = m_pDecoder->Channels();
    const DWORD rate = m_pDecoder->SampleRate();
    if (channels < 1 || channels > 2 || rate == 0 || !m_hWake) return FALSE;
    m_format = {};
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = static_cast<WORD>(channels);
    m_format.nSamplesPerSec = rate;
    m_format.wBitsPerSample = 16;
    m_format.nBlockAlign = static_cast<WORD>(channels * 2);
    m_format.nAvgBytesPerSec = rate * m_format.nBlockAlign;
    const MMRESULT mr = ::waveOutOpen(&m_hWaveOut, WAVE_MAPPER, &m_format, reinterpret_cast<DWORD_PTR>(m_hWake), 0,
                                      CALLBACK_EVENT);
    if (mr != MMSYSERR_NOERROR) {
        m_hWaveOut = nullptr;
        return FALSE;
    }
    for (Buffer& b : m_buffers)
        b.samples.assign(static_cast<size_t>(kFramesPerBuffer) * Mp3Decoder::kMaxSamplesPerFrame * channels, 0);
    return TRUE;
}

void CPlayEngine::CloseDevice() {
    if (!m_hWaveOut) return;
    Halt();
    ::waveOutClose(m_hWaveOut);
    m_hWaveOut = nullptr;
}

BOOL CPlayEngine::Start(HWND hWndNotify, UINT nGeneration, WaveWriter* pWriter) {
    if (IsRunning() || !m_pDecoder) return FALSE;
    if (!pWriter && !m_hWaveOut) return FALSE;
    m_bHalt = false;
    m_bJoined = false;
    // The device counts from its last reset, which every halt does.
    m_queuedSamples = 0;
    for (Buffer& b : m_buffers) b.sampleCount = 0;
    if (pWriter) {
        m_worker = std::thread(&CPlayEngine::DecodeLoop, this, hWndNotify, nGeneration, pWriter);
    } else {
        m_worker = std::thread(&CPlayEngine::PlayLoop, this, hWndNotify, nGeneration);
    }
    return TRUE;
}

void CPlayEngine::Halt() {
    if (m_worker.joinable()) {
        m_bHalt = true;
        ::SetEvent(m_hWake);
        m_worker.join();
    }
    m_bHold = false;
    if (!m_hWaveOut) return;
    // Reset returns every queued buffer at once: nothing stale plays after a seek.
    ::waveOutReset(m_hWaveOut);
    for (Buffer& b : m_buffers) ReclaimBuffer(b);
}

void CPlayEngine::Pause() {
    m_bHold = true;
    if (m_hWaveOut) ::waveOutPause(m_hWaveOut);
}

void CPlayEngine::Resume() {
    m_bHold = false;
    if (m_hWaveOut) ::waveOutRestart(m_hWaveOut);
    ::SetEvent(m_hWake);
}

uint64_t CPlayEngine::DeviceSamples() const {
    MMTIME time = {};
    time.wType = TIME_SAMPLES;
    if (!m_hWaveOut || ::waveOutGetPosition(m_hWaveOut, &time, sizeof(time)) != MMSYSERR_NOERROR) return 0;
    if (time.wType == TIME_SAMPLES) return time.u.sample;
    if (time.wType == TIME_BYTES && m_format.nBlockAlign) return time.u.cb / m_format.nBlockAlign;
    return 0;
}

BOOL CPlayEngine::Queue(Mp3Decoder& next) {
    if (m_bJoined) return FALSE;
    Mp3Decoder* pNone = nullptr;
    return m_pQueued.compare_exchange_strong(pNone, &next);
}

BOOL CPlayEngine::TakeQueued() {
    if (m_bJoined) return FALSE;
    Mp3Decoder* pNext = m_pQueued.exchange(nullptr);
    if (!pNext) return FALSE;
    m_pDecoder = pNext;
    m_joinSample = m_queuedSamples;
    m_bJoined = true;
    return TRUE;
}

uint32_t CPlayEngine::AudiblePeaks() const {
    if (!m_hWaveOut) return 0;
    const uint64_t now = DeviceSamples();
    for (const Buffer& b : m_buffers) {
        const uint64_t first = b.firstSample;
        if (now >= first && now < first + b.sampleCount) return b.peaks;
    }
    return 0;
}

void CPlayEngine::MarkPeaks(Buffer& buffer, size_t used) {
    const int channels = m_format.nChannels;
    int peak[2] = {0, 0};
    for (size_t i = 0; i < used; ++i) {
        const int v = buffer.samples[i];
        const int c = channels == 2 ? static_cast<int>(i & 1) : 0;
        peak[c] = std::max(peak[c], std::min(v < 0 ? -v : v, 32767));
    }
    if (channels == 1) peak[1] = peak[0];
    const uint32_t count = static_cast<uint32_t>(used / channels);
    buffer.sampleCount = 0;
    buffer.firstSample = m_queuedSamples;
    buffer.peaks = static_cast<uint32_t>(peak[0]) | (static_cast<uint32_t>(peak[1]) << 16);
    buffer.sampleCount = count;
    m_queuedSamples += count;
}

BOOL CPlayEngine::FillBuffer(Buffer& buffer) {
    const int channels = m_format.nChannels;
    size_t used = 0;
    for (int i = 0; i < kFramesPerBuffer; ++i) {
        const int n = m_pDecoder->DecodeFrame(buffer.samples.data() + used);
        if (n > 0) {
            used += static_cast<size_t>(n) * channels;
            continue;
        }
        // A join ends the buffer, so that a buffer's samples come from one file.
        if (used > 0 || !TakeQueued()) break;
    }
    if (used == 0) return FALSE;
    buffer.header = {};
    buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
    buffer.header.dwBufferLength = static_cast<DWORD>(used * sizeof(int16_t));
    return TRUE;
}

void CPlayEngine::ReclaimBuffer(Buffer& buffer) {
    if (!buffer.bQueued) return;
    ::waveOutUnprepareHeader(m_hWaveOut, &buffer.header, sizeof(WAVEHDR));
    buffer.bQueued = false;
}

BOOL CPlayEngine::AllBuffersDone() const {
    return std::all_of(std::begin(m_buffers), std::end(m_buffers), [](const Buffer& b) {
        return !b.bQueued || (b.header.dwFlags & WHDR_DONE);
    });
}

void CPlayEngine::PlayLoop(HWND hWndNotify, UINT nGeneration) {
    bool bEnd = false;
    while (!m_bHalt) {
        // A file queued while the last buffers play still joins without a break.
        if (bEnd && !m_bJoined && m_pQueued.load() != nullptr) bEnd = false;
        for (Buffer& b : m_buffers) {
            if (bEnd || m_bHalt) break;
            if (b.bQueued && !(b.header.dwFlags & WHDR_DONE)) continue;
            ReclaimBuffer(b);
            if (!FillBuffer(b)) {
                bEnd = true;
                break;
            }
            MarkPeaks(b, b.header.dwBufferLength / sizeof(int16_t));
            MMRESULT mr = ::waveOutPrepareHeader(m_hWaveOut, &b.header, sizeof(WAVEHDR));
            if (mr == MMSYSERR_NOERROR) {
                b.bQueued = true;
                mr = ::waveOutWrite(m_hWaveOut, &b.header, sizeof(WAVEHDR));
            }
            if (mr != MMSYSERR_NOERROR) {
                ::PostMessageA(hWndNotify, kMsgWorkerError, nGeneration, kEngineErrorDevice);
                bEnd = true;
            }
        }
        if (bEnd && AllBuffersDone()) {
            ::PostMessageA(hWndNotify, kMsgWorkerEnded, nGeneration, 0);
            return;
        }
        ::WaitForSingleObject(m_hWake, kWorkerWaitMs);
    }
}

void CPlayEngine::DecodeLoop(HWND hWndNotify, UINT nGeneration, WaveWriter* pWriter) {
    std::vector<int16_t> samples(static_cast<size_t>(Mp3Decoder::kMaxSamplesPerFrame) * Mp3Decoder::kMaxChannels);
    uint64_t sinceReport = 0;
    while (!m_bHalt) {
        if (m_bHold) {
            ::WaitForSingleObject(m_hWake, kWorkerWaitMs);
            continue;
        }
        const int n = m_pDecoder->DecodeFrame(samples.data());
        if (n <= 0) break;
        if (!pWriter->Write(samples.data(), static_cast<size_t>(n))) {
            ::PostMessageA(hWndNotify, kMsgWorkerError, nGeneration, kEngineErrorWrite);
            break;
        }
        if (++sinceReport >= kProgressFrames) {
            sinceReport = 0;
            ::PostMessageA(hWndNotify, kMsgWorkerProgress, nGeneration, static_cast<LPARAM>(m_pDecoder->NextFrame()));
        }
    }
    if (m_bHalt) return;
    ::PostMessageA(hWndNotify, kMsgWorkerProgress, nGeneration, static_cast<LPARAM>(m_pDecoder->NextFrame()));
    ::PostMessageA(hWndNotify, kMsgWorkerEnded, nGeneration, 0);
}
