// The MP3 encoder control, built on the control kit. Each control window owns one
// CMp3EncControl; the encoding runs on a worker thread whose messages pass through the
// control window, so that nothing of a stopped run reaches the host.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Mp3EncInterface.h"
#include "ctlkit/ControlKit.h"
#include "ctlkit/StagedFile.h"
#include "orvcodec/Mp3Encoder.h"
#include "orvcodec/WaveFile.h"

namespace {

using namespace mp3enc;
using orv::codec::Mp3Encoder;
using orv::codec::Mp3EncoderError;
using orv::codec::Mp3EncoderSettings;
using orv::codec::WaveReader;
using orv::codec::WaveStatus;

constexpr UINT kMsgProgress = ctlkit::kMsgWorkerFirst;  // lParam: source frames consumed
constexpr UINT kMsgEnded = ctlkit::kMsgWorkerFirst + 1;
constexpr UINT kMsgFailed = ctlkit::kMsgWorkerFirst + 2;  // lParam: an event 3 code

constexpr size_t kChunkFrames = 4096;
// A header that states no length (streamed files) is not a damaged one.
constexpr uint32_t kUnknownLength = 0xFFFFFFFFu;
constexpr int kMinRate = 4000;
constexpr int kMaxRate = 192000;
// Below this a source is already at a low rate: SetLowRate keeps it.
constexpr int kLowestFullRate = 32000;

enum class State { Closed, Ready, Running };

std::string FullPath(const std::string& path) {
    char szFull[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, szFull, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(szFull) : path;
}

bool ReadFileId(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool bOk = ::GetFileInformationByHandle(h, &info) != FALSE;
    ::CloseHandle(h);
    return bOk;
}

// By name, and by file identity when both exist (short names, other spellings).
bool SameFile(const std::string& a, const std::string& b) {
    if (::lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0) return true;
    BY_HANDLE_FILE_INFORMATION ia = {}, ib = {};
    if (!ReadFileId(a, ia) || !ReadFileId(b, ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

bool IsPcm(const orv::codec::WaveFormat& f) {
    const uint16_t tag = f.formatTag == orv::codec::kWaveFormatExtensible ? f.subFormat : f.formatTag;
    return tag == orv::codec::kWaveFormatPcm;
}

const char* ErrorText(long code) {
    switch (code) {
    case kErrorSourceShort: return "The WAVE file ends before its stated length.";
    case kErrorRead: return "The WAVE file cannot be read.";
    case kErrorWrite: return "The MP3 file cannot be written.";
    default: return "The encoder refused the audio.";
    }
}

class CMp3EncControl final : public ctlkit::CControl {
public:
    explicit CMp3EncControl(HWND hWnd) : CControl(hWnd) {}
    ~CMp3EncControl() override { Abandon(); }

private:
    ctlkit::MemberList Members() const override;
    // The host is going away with the control: no event any more.
    void OnDestroy() override { Abandon(); }
    void OnWorkerMessage(UINT message, LPARAM lParam) override;

    void SetBitRate(long nKbps) { m_nBitRate = nKbps; }
    void SetSampleRate(long nHz) { m_nSampleRate = nHz; }
    void SetLowRate(bool bLow) { m_bLowRate = bLow; }
    SHORT OpenFiles(std::string source, std::string target);
    SHORT StartEncode();
    SHORT StopEncode();
    long GetTotal() { return static_cast<long>(std::max<uint64_t>(m_total, 1)); }

    SHORT CheckSource(const std::string& source);
    int OutputRate() const;
    void Run(HWND hWnd, UINT nGeneration);
    // Joins the worker and drops its queued messages.
    void Halt();
    // Closes the staged target: a finished run puts it in place, any other drops it.
    bool CloseTarget(bool bKeep);
    void ReleasePair();
    // Ends any run without a word: its partial file goes, the pair is released.
    void Abandon();
    void Finish(long nErrorCode);

    WaveReader m_reader;
    Mp3Encoder m_encoder;
    std::FILE* m_pTarget = nullptr;  // the staged file while a run writes it
    ctlkit::CStagedFile m_staged;
    std::string m_strSource;
    std::string m_strTarget;
    State m_state = State::Closed;
    long m_nBitRate = kDefaultBitRate;
    long m_nSampleRate = 0;  // 0: the source's, or the low-rate rule
    bool m_bLowRate = false;
    int m_nSourceRate = 0;
    uint64_t m_total = 0;     // frames the header states
    uint64_t m_present = 0;   // frames the file holds
    std::thread m_worker;
    std::atomic<bool> m_bHalt{false};
};

ctlkit::MemberList CMp3EncControl::Members() const {
    using C = CMp3EncControl;
    static const ctlkit::Member kMembers[] = {
        ctlkit::Put<&C::SetBitRate>(kPropBitRate),
        ctlkit::Put<&C::SetSampleRate>(kPropSampleRate),
        ctlkit::Put<&C::SetLowRate>(kPropLowRate),
        ctlkit::Method<&C::StartEncode>(kMethodStartEncode),
        ctlkit::Method<&C::StopEncode>(kMethodStopEncode),
        ctlkit::Method<&C::OpenFiles>(kMethodOpenFiles),
        ctlkit::Method<&C::GetTotal>(kMethodGetTotal),
    };
    return kMembers;
}

SHORT CMp3EncControl::CheckSource(const std::string& source) {
    const WaveStatus status = m_reader.Open(source);
    if (status == WaveStatus::CannotOpen) return kStatusCannotRead;
    if (status == WaveStatus::NotWave) return kStatusNotWave;
    if (status != WaveStatus::Ok) return kStatusBadFormat;
    const orv::codec::WaveFormat& f = m_reader.Format();
    const bool bShape = f.channels >= 1 && f.channels <= 2 && f.bitsPerSample >= 8 && f.bitsPerSample <= 32 &&
                        f.samplesPerSec >= static_cast<uint32_t>(kMinRate) &&
                        f.samplesPerSec <= static_cast<uint32_t>(kMaxRate);
    if (!IsPcm(f) || !bShape) return kStatusBadFormat;
    m_nSourceRate = static_cast<int>(f.samplesPerSec);
    m_present = m_reader.FrameCount();
    m_total = m_present;
    const uint32_t declared = m_reader.DeclaredDataLength();
    if (m_reader.IsTruncated() && declared != kUnknownLength && f.blockAlign) m_total = declared / f.blockAlign;
    return kStatusOk;
}

SHORT CMp3EncControl::OpenFiles(std::string source, std::string target) {
    StopEncode();
    m_nBitRate = kDefaultBitRate;
    m_nSampleRate = 0;
    m_bLowRate = false;
    const SHORT status = CheckSource(source);
    m_reader.Close();
    if (status != kStatusOk) return status;
    if (SameFile(source, target)) return kStatusSameFile;
    if (!ctlkit::CStagedFile::CanWrite(target)) return kStatusCannotCreate;
    m_strSource = source;
    m_strTarget = target;
    m_state = State::Ready;
    return kStatusOk;
}

int CMp3EncControl::OutputRate() const {
    if (m_nSampleRate > 0) return static_cast<int>(m_nSampleRate);
    if (m_bLowRate && m_nSourceRate >= kLowestFullRate) return m_nSourceRate / 2;
    return 0;
}

SHORT CMp3EncControl::StartEncode() {
    if (m_state == State::Running) return kStatusBusy;
    if (m_state == State::Closed) return kStatusNotOpen;
    if (m_reader.Open(m_strSource) != WaveStatus::Ok) return kStatusCannotRead;
    const orv::codec::WaveFormat& f = m_reader.Format();
    Mp3EncoderSettings settings;
    settings.inputRate = static_cast<int>(f.samplesPerSec);
    settings.inputChannels = f.channels;
    settings.inputBits = 16;  // samples arrive as floats
    settings.outputRate = OutputRate();
    settings.bitRateKbps = static_cast<int>(m_nBitRate);
    settings.totalInputFrames = m_total;
    if (m_encoder.Configure(settings) != Mp3EncoderError::None) {
        m_reader.Close();
        return kStatusBadSettings;
    }
    m_pTarget = m_staged.Begin(m_strTarget) ? std::fopen(m_staged.TempPath().c_str(), "wb") : nullptr;
    if (!m_pTarget) {
        m_staged.Discard();
        m_reader.Close();
        return kStatusCannotCreate;
    }
    m_bHalt = false;
    m_worker = std::thread(&CMp3EncControl::Run, this, GetHwnd(), Generation());
    m_state = State::Running;
    return kStatusOk;
}

SHORT CMp3EncControl::StopEncode() {
    if (m_state == State::Running) {
        Halt();
        CloseTarget(false);
        ReleasePair();
        PostEvent(kEventDone);
        return kStatusOk;
    }
    ReleasePair();
    return kStatusOk;
}

void CMp3EncControl::Halt() {
    if (m_worker.joinable()) {
        m_bHalt = true;
        m_worker.join();
    }
    NextGeneration();
}

bool CMp3EncControl::CloseTarget(bool bKeep) {
    if (!m_pTarget) return false;
    const bool bClosed = std::fclose(m_pTarget) == 0;
    m_pTarget = nullptr;
    if (bKeep && bClosed) return m_staged.Commit();
    m_staged.Discard();
    return false;
}

void CMp3EncControl::Abandon() {
    Halt();
    CloseTarget(false);
    ReleasePair();
}

void CMp3EncControl::ReleasePair() {
    m_reader.Close();
    m_state = State::Closed;
}

// Ends a run from its last message: 0 for a finished file, else an event 3 code.
void CMp3EncControl::Finish(long nErrorCode) {
    Halt();
    if (!CloseTarget(nErrorCode == 0) && nErrorCode == 0) nErrorCode = kErrorWrite;
    ReleasePair();
    if (nErrorCode != 0) PostEvent(kEventError, nErrorCode, ErrorText(nErrorCode));
    PostEvent(kEventDone);
}

void CMp3EncControl::OnWorkerMessage(UINT message, LPARAM lParam) {
    if (m_state != State::Running) return;
    switch (message) {
    case kMsgProgress: PostEvent(kEventProgress, static_cast<long>(lParam)); break;
    case kMsgEnded: Finish(0); break;
    case kMsgFailed: Finish(static_cast<long>(lParam)); break;
    default: break;
    }
}

// The worker: reads, encodes and writes until the end, a failure or a halt. It touches
// only the reader, the encoder and the target, which the window thread leaves alone
// until Halt has joined it.
void CMp3EncControl::Run(HWND hWnd, UINT nGeneration) {
    const int channels = m_reader.Format().channels;
    std::vector<float> samples(kChunkFrames * static_cast<size_t>(channels));
    std::vector<uint8_t> bytes;
    uint64_t done = 0;
    uint64_t lastPercent = 0;
    const uint64_t total = std::max<uint64_t>(m_total, 1);
    auto fail = [&](long code) { ::PostMessageA(hWnd, kMsgFailed, nGeneration, code); };
    auto write = [&]() { return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), m_pTarget) == bytes.size(); };
    ::PostMessageA(hWnd, kMsgProgress, nGeneration, 0);
    while (!m_bHalt) {
        const size_t n = m_reader.ReadFloat(samples.data(), kChunkFrames);
        if (n == 0) break;
        bytes.clear();
        if (m_encoder.EncodeFloat(samples.data(), n, bytes) != Mp3EncoderError::None) return fail(kErrorEncoder);
        if (!write()) return fail(kErrorWrite);
        done += n;
        // One event per percent keeps the host's queue short at any speed.
        const uint64_t percent = std::min(done, total) * 100 / total;
        if (percent != lastPercent) {
            lastPercent = percent;
            ::PostMessageA(hWnd, kMsgProgress, nGeneration, static_cast<LPARAM>(std::min(done, total)));
        }
    }
    if (m_bHalt) return;
    if (done < m_present) return fail(kErrorRead);
    if (done < m_total) return fail(kErrorSourceShort);
    bytes.clear();
    if (m_encoder.Flush(bytes) != Mp3EncoderError::None) return fail(kErrorEncoder);
    if (!write()) return fail(kErrorWrite);
    // The counts, delay and padding are known now; the stream's first frame says them.
    if (!m_encoder.InfoFrame(bytes)) return fail(kErrorEncoder);
    if (std::fseek(m_pTarget, 0, SEEK_SET) != 0 || !write() || std::fflush(m_pTarget) != 0) return fail(kErrorWrite);
    if (lastPercent != 100) ::PostMessageA(hWnd, kMsgProgress, nGeneration, static_cast<LPARAM>(total));
    ::PostMessageA(hWnd, kMsgEnded, nGeneration, 0);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    return ctlkit::ControlDllMain<CMp3EncControl>(hInstance, dwReason, kWndClass);
}
