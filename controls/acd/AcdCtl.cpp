// The CD ripper control, built on the control kit. One track at a time is read from
// the disc source on a worker thread and written as a WAVE file; the worker's messages
// pass through the control window, so nothing of a stopped run reaches the host.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AcdInterface.h"
#include "DiscSource.h"
#include "ctlkit/ControlKit.h"
#include "ctlkit/StagedFile.h"
#include "orvcdaudio/RipChecks.h"
#include "orvcodec/WaveFile.h"

namespace {

using namespace acd;

constexpr UINT kMsgProgress = ctlkit::kMsgWorkerFirst;  // lParam: tenths of a percent
constexpr UINT kMsgEnded = ctlkit::kMsgWorkerFirst + 1;
constexpr UINT kMsgFailed = ctlkit::kMsgWorkerFirst + 2;  // lParam: an event 1 code

constexpr int32_t kChunkFrames = 75;  // a second of audio per read
constexpr size_t kSamplesPerFrame = 588 * 2;
constexpr uint16_t kChannels = 2;
constexpr uint32_t kRate = 44100;

const char* ErrorText(long code) {
    switch (code) {
    case kErrorNoDisc: return "There is no disc in the drive.";
    case kErrorNoTrack: return "The disc has no such audio track.";
    case kErrorCannotWrite: return "The WAVE file cannot be written.";
    default: return "The disc cannot be read.";
    }
}

// Where on the track the read failed, as the track's own time.
std::string ReadErrorText(int nTrack, int32_t nFrames) {
    const int32_t seconds = nFrames / 75;
    char text[96];
    std::snprintf(text, sizeof text, "The disc cannot be read at %d:%02d of track %d.", seconds / 60, seconds % 60, nTrack);
    return text;
}

class CAcdControl final : public ctlkit::CControl {
public:
    explicit CAcdControl(HWND hWnd) : CControl(hWnd) {}
    ~CAcdControl() override { Abandon(); }

private:
    ctlkit::MemberList Members() const override;
    void OnDestroy() override { Abandon(); }
    void OnWorkerMessage(UINT message, LPARAM lParam) override;

    SHORT InitRipper();
    SHORT SetupRipper(short nArgument);
    SHORT RipTrack(short nTrack, std::string target);
    SHORT StopRip();
    long GetRipCheck(short nKind);
    std::string GetSourceName();

    // Event 1 and event 2 for an extraction that could not start.
    SHORT Refuse(long nCode, const char* pszText);
    void Run(HWND hWnd, UINT nGeneration);
    // One pass over the track: false (after posting the failure) when it ends early.
    // The copy writes what it reads; the test read only sums it.
    bool ReadPass(HWND hWnd, UINT nGeneration, bool bCopy);
    void Halt();
    // Closes the staged target: a whole track is put in place, anything else dropped.
    bool CloseTarget(bool bKeep);
    void Abandon();
    void Finish(long nErrorCode);

    std::unique_ptr<CDiscSource> m_pSource;
    orv::codec::WaveWriter m_writer;
    ctlkit::CStagedFile m_staged;
    TrackSpan m_span;
    bool m_bFirstTrack = false;
    bool m_bLastTrack = false;
    // The sums of the last whole track; the worker fills m_pending, the window thread
    // takes it over when the track is put in place.
    uint32_t m_pending[kRipCheckCount] = {};
    uint32_t m_checks[kRipCheckCount] = {};
    int m_nTrack = 0;
    std::atomic<int32_t> m_failedAt{0};  // frames into the track; set by the worker before it posts
    bool m_bRunning = false;
    std::thread m_worker;
    std::atomic<bool> m_bHalt{false};
};

ctlkit::MemberList CAcdControl::Members() const {
    using C = CAcdControl;
    static const ctlkit::Member kMembers[] = {
        ctlkit::Method<&C::InitRipper>(kMethodInitRipper),
        ctlkit::Method<&C::SetupRipper>(kMethodSetupRipper),
        ctlkit::Method<&C::RipTrack>(kMethodRipTrack),
        ctlkit::Method<&C::StopRip>(kMethodStopRip),
        ctlkit::Method<&C::GetRipCheck>(kMethodGetRipCheck),
        ctlkit::Method<&C::GetSourceName>(kMethodGetSourceName),
    };
    return kMembers;
}

SHORT CAcdControl::InitRipper() {
    if (m_bRunning) return kStatusBusy;
    m_pSource = FindDiscSource();
    return m_pSource ? kStatusOk : kStatusNoSource;
}

SHORT CAcdControl::SetupRipper(short) {
    return m_pSource ? kStatusOk : kStatusNotReady;
}

long CAcdControl::GetRipCheck(short nKind) {
    if (nKind < 0 || nKind >= kRipCheckCount) return 0;
    return static_cast<long>(m_checks[nKind]);
}

std::string CAcdControl::GetSourceName() {
    return m_pSource ? m_pSource->Name() : std::string();
}

SHORT CAcdControl::Refuse(long nCode, const char* pszText) {
    PostEvent(kEventError, nCode, pszText ? pszText : ErrorText(nCode));
    PostEvent(kEventDone);
    return kStatusOk;
}

SHORT CAcdControl::RipTrack(short nTrack, std::string target) {
    if (!m_pSource) return kStatusNotReady;
    if (m_bRunning) return kStatusBusy;
    std::string error;
    if (!m_pSource->Load(error)) return Refuse(kErrorNoDisc, error.c_str());
    if (!m_pSource->Track(nTrack, m_span) || !m_span.audio || m_span.length <= 0) return Refuse(kErrorNoTrack, nullptr);
    if (!m_staged.Begin(target) || !m_writer.Open(m_staged.TempPath(), kChannels, kRate)) {
        m_staged.Discard();
        return Refuse(kErrorCannotWrite, nullptr);
    }
    TrackSpan neighbour;
    m_bFirstTrack = !m_pSource->Track(nTrack - 1, neighbour);
    m_bLastTrack = !m_pSource->Track(nTrack + 1, neighbour);
    std::fill(std::begin(m_checks), std::end(m_checks), 0u);
    m_nTrack = nTrack;
    m_bHalt = false;
    m_bRunning = true;
    m_worker = std::thread(&CAcdControl::Run, this, GetHwnd(), Generation());
    return kStatusOk;
}

SHORT CAcdControl::StopRip() {
    if (!m_bRunning) return kStatusOk;
    Halt();
    CloseTarget(false);
    m_bRunning = false;
    PostEvent(kEventDone);
    return kStatusOk;
}

void CAcdControl::Halt() {
    if (m_worker.joinable()) {
        m_bHalt = true;
        m_worker.join();
    }
    NextGeneration();
}

bool CAcdControl::CloseTarget(bool bKeep) {
    if (!m_staged.IsActive()) return false;
    const bool bClosed = m_writer.Close();
    if (bKeep && bClosed) return m_staged.Commit();
    m_staged.Discard();
    return false;
}

void CAcdControl::Abandon() {
    Halt();
    CloseTarget(false);
    m_bRunning = false;
}

void CAcdControl::Finish(long nErrorCode) {
    Halt();
    if (!CloseTarget(nErrorCode == 0) && nErrorCode == 0) nErrorCode = kErrorCannotWrite;
    if (nErrorCode == 0) std::copy(std::begin(m_pending), std::end(m_pending), std::begin(m_checks));
    m_bRunning = false;
    if (nErrorCode == kErrorRead) PostEvent(kEventError, nErrorCode, ReadErrorText(m_nTrack, m_failedAt).c_str());
    else if (nErrorCode != 0) PostEvent(kEventError, nErrorCode, ErrorText(nErrorCode));
    PostEvent(kEventDone);
}

void CAcdControl::OnWorkerMessage(UINT message, LPARAM lParam) {
    if (!m_bRunning) return;
    switch (message) {
    case kMsgProgress: PostEvent(kEventProgress, static_cast<long>(lParam)); break;
    case kMsgEnded: Finish(0); break;
    case kMsgFailed: Finish(static_cast<long>(lParam)); break;
    default: break;
    }
}

// The worker: reads the track's frames and writes them, then reads them again from
// the source for the test sum, until the end, a failure or a halt. It touches only the
// source, the writer and the pending sums, which the window thread leaves alone until
// Halt has joined it.
void CAcdControl::Run(HWND hWnd, UINT nGeneration) {
    ::PostMessageA(hWnd, kMsgProgress, nGeneration, 0);
    if (!ReadPass(hWnd, nGeneration, true) || !ReadPass(hWnd, nGeneration, false)) return;
    ::PostMessageA(hWnd, kMsgEnded, nGeneration, 0);
}

bool CAcdControl::ReadPass(HWND hWnd, UINT nGeneration, bool bCopy) {
    std::vector<int16_t> samples(static_cast<size_t>(kChunkFrames) * kSamplesPerFrame);
    const uint32_t totalSamples = static_cast<uint32_t>(m_span.length) * (kSamplesPerFrame / kChannels);
    orv::cd::CAccurateRip accurateRip(totalSamples, m_bFirstTrack, m_bLastTrack);
    uint32_t crc = 0;
    long lastTenths = bCopy ? 0 : kProgressEnd / 2;
    auto fail = [&](long code) {
        ::PostMessageA(hWnd, kMsgFailed, nGeneration, code);
        return false;
    };
    for (int32_t done = 0; done < m_span.length;) {
        if (m_bHalt) return false;
        const int32_t n = std::min(kChunkFrames, m_span.length - done);
        const size_t count = static_cast<size_t>(n) * kSamplesPerFrame;
        int32_t failed = 0;
        if (!m_pSource->Read(m_span.start + done, n, samples.data(), failed)) {
            m_failedAt = std::max(failed - m_span.start, done);
            return fail(kErrorRead);
        }
        crc = orv::cd::Crc32(crc, samples.data(), count * sizeof(int16_t));
        if (bCopy) {
            accurateRip.Add(samples.data(), count / kChannels);
            if (!m_writer.Write(samples.data(), count / kChannels)) return fail(kErrorCannotWrite);
        }
        done += n;
        // The copy is the first half of the progress, the test read the second.
        const long tenths = static_cast<long>(static_cast<int64_t>(done) * (kProgressEnd / 2) / m_span.length) +
                            (bCopy ? 0 : kProgressEnd / 2);
        if (tenths != lastTenths) {
            lastTenths = tenths;
            ::PostMessageA(hWnd, kMsgProgress, nGeneration, tenths);
        }
    }
    if (bCopy) {
        m_pending[kRipCheckCopyCrc] = crc;
        m_pending[kRipCheckAccurateRipV1] = accurateRip.V1();
        m_pending[kRipCheckAccurateRipV2] = accurateRip.V2();
    } else {
        m_pending[kRipCheckTestCrc] = crc;
    }
    return true;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    return ctlkit::ControlDllMain<CAcdControl>(hInstance, dwReason, kWndClass);
}
