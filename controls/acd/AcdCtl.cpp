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

    // Event 1 and event 2 for an extraction that could not start.
    SHORT Refuse(long nCode, const char* pszText);
    void Run(HWND hWnd, UINT nGeneration);
    void Halt();
    // Closes the staged target: a whole track is put in place, anything else dropped.
    bool CloseTarget(bool bKeep);
    void Abandon();
    void Finish(long nErrorCode);

    std::unique_ptr<CDiscSource> m_pSource;
    orv::codec::WaveWriter m_writer;
    ctlkit::CStagedFile m_staged;
    TrackSpan m_span;
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

// The worker: reads the track's frames and writes them until the end, a failure or a
// halt. It touches only the source and the writer, which the window thread leaves
// alone until Halt has joined it.
void CAcdControl::Run(HWND hWnd, UINT nGeneration) {
    std::vector<int16_t> samples(static_cast<size_t>(kChunkFrames) * kSamplesPerFrame);
    long lastTenths = 0;
    auto fail = [&](long code) { ::PostMessageA(hWnd, kMsgFailed, nGeneration, code); };
    ::PostMessageA(hWnd, kMsgProgress, nGeneration, 0);
    for (int32_t done = 0; done < m_span.length;) {
        if (m_bHalt) return;
        const int32_t n = std::min(kChunkFrames, m_span.length - done);
        int32_t failed = 0;
        if (!m_pSource->Read(m_span.start + done, n, samples.data(), failed)) {
            m_failedAt = std::max(failed - m_span.start, done);
            return fail(kErrorRead);
        }
        if (!m_writer.Write(samples.data(), static_cast<size_t>(n) * kSamplesPerFrame / kChannels))
            return fail(kErrorCannotWrite);
        done += n;
        const long tenths = static_cast<long>(static_cast<int64_t>(done) * kProgressEnd / m_span.length);
        if (tenths != lastTenths) {
            lastTenths = tenths;
            ::PostMessageA(hWnd, kMsgProgress, nGeneration, tenths);
        }
    }
    ::PostMessageA(hWnd, kMsgEnded, nGeneration, 0);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    return ctlkit::ControlDllMain<CAcdControl>(hInstance, dwReason, kWndClass);
}
