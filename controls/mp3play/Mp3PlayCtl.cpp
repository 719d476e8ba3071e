// The MP3 play/decode control, built on the control kit. Each control window owns one
// CMp3PlayControl. Worker messages pass through the control window first, so that
// nothing from a halted run reaches the host.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "Mp3PlayInterface.h"
#include "PlayEngine.h"
#include "ctlkit/ControlKit.h"
#include "ctlkit/StagedFile.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

namespace {

using namespace mp3play;

constexpr UINT_PTR kPositionTimer = 1;
// Fast enough that a seconds display never lags by a visible step, slow enough to
// leave the host's queue quiet: about one event per two frames at 44.1 kHz.
constexpr UINT kPositionPeriodMs = 50;

enum class State { Closed, Ready, Running, Paused };

bool FileReadable(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FullPath(const std::string& path) {
    char szFull[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), MAX_PATH, szFull, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(szFull) : path;
}

const char* EngineErrorText(long code) {
    switch (code) {
    case kEngineErrorWrite: return "The WAVE file cannot be written.";
    case kEngineErrorDevice: return "The sound device refused the audio.";
    default: return "Playback failed.";
    }
}

class CMp3PlayControl final : public ctlkit::CControl {
public:
    // Playback and decoding leave out the encoder delay and padding a file states.
    explicit CMp3PlayControl(HWND hWnd) : CControl(hWnd) {
        for (orv::codec::Mp3Decoder& decoder : m_decoders) decoder.SetGaplessTrim(true);
        m_engine.SetDecoder(Current());
    }

private:
    ctlkit::MemberList Members() const override;
    void OnDestroy() override { CloseFile(); }
    void OnTimer(UINT_PTR nID) override;
    void OnWorkerMessage(UINT message, LPARAM lParam) override;

    // Properties of the open file; all read 0 while nothing is open.
    long Frames() const { return IsOpen() ? static_cast<long>(Info().frameCount) : 0; }
    bool Copyright() const { return IsOpen() && Header().bCopyright; }
    bool Original() const { return IsOpen() && Header().bOriginal; }
    bool Crc() const { return IsOpen() && Header().bCrc; }
    short Layer() const { return IsOpen() ? static_cast<short>(Header().layer) : 0; }
    long Frequency() const { return IsOpen() ? static_cast<long>(Header().sampleRate) : 0; }
    // The average over the audio frames: the nominal rate for constant bit rate,
    // a steady figure for variable.
    long BitRate() const { return IsOpen() ? static_cast<long>(Info().averageBitRate) : 0; }
    short Version() const { return IsOpen() ? static_cast<short>(Header().VersionNumber()) : 0; }
    float FrameMs() const { return IsOpen() ? static_cast<float>(Info().frameDurationMs) : 0.0f; }
    long LengthMs() const { return IsOpen() ? static_cast<long>(Info().lengthMs) : 0; }
    short ChannelMode() const { return IsOpen() ? static_cast<short>(Header().channelMode) : 0; }

    SHORT Open(std::string source, std::string target);
    SHORT Play();
    SHORT Pause();
    SHORT Seek(long frame);
    SHORT Stop();
    SHORT CloseFile();
    SHORT Queue(std::string path);

    bool IsOpen() const { return m_state != State::Closed; }
    orv::codec::Mp3Decoder& Current() { return m_decoders[m_nCurrent]; }
    const orv::codec::Mp3Decoder& Current() const { return m_decoders[m_nCurrent]; }
    orv::codec::Mp3Decoder& Following() { return m_decoders[1 - m_nCurrent]; }
    const orv::codec::StreamInfo& Info() const { return Current().IsOpen() ? Current().Info() : m_probed; }
    const orv::codec::FrameHeader& Header() const { return Info().first; }
    // A file measured for its length is opened for reading when it is played or sought.
    bool LoadSource();

    // Halts the worker, keeps the device, and drops the run's messages.
    void HaltRun();
    // The worker had moved into the queued file before anyone heard it: it stays queued.
    void TakeBackJoin();
    // False when the worker has already moved into the queued file.
    bool DropQueued();
    // Once the device plays the queued file, it is the open file.
    void ApplyJoinIfHeard(bool bEnded);
    // The frame now audible in the open file.
    uint64_t AudibleFrame() const;
    bool FinishRun(bool bComplete);
    bool OpenStagedTarget();
    // The stream has been played or written to its end.
    void OnRunEnded();
    BOOL StartRun();
    void PostPosition(uint64_t frame);
    // The peaks hosts read outside the dispatch interface; 0 removes them.
    void PublishPeaks(uint32_t peaks);
    uint64_t FrameCount() const { return IsOpen() ? Info().frameCount : 0; }

    // The open file's decoder and the one of the file queued to follow it.
    orv::codec::Mp3Decoder m_decoders[2];
    int m_nCurrent = 0;
    bool m_bQueued = false;
    std::string m_strQueued;
    orv::codec::StreamInfo m_probed;  // of a file not yet loaded
    std::string m_strSource;
    orv::codec::WaveWriter m_writer;  // writes the staged target during a decode
    ctlkit::CStagedFile m_staged;
    bool m_bWriteFailed = false;
    CPlayEngine m_engine;
    std::string m_strTarget;  // empty: play to the sound device
    State m_state = State::Closed;
    int64_t m_lastPosted = -1;
    // Where positions count from: the open file's frame at the device sample where
    // it started to sound in this run.
    uint64_t m_runFrame = 0;
    uint64_t m_runSample = 0;
};

ctlkit::MemberList CMp3PlayControl::Members() const {
    using C = CMp3PlayControl;
    static const ctlkit::Member kMembers[] = {
        ctlkit::Get<&C::Frames>(kPropFrames),
        ctlkit::Get<&C::Copyright>(kPropCopyright),
        ctlkit::Get<&C::Original>(kPropOriginal),
        ctlkit::Get<&C::Crc>(kPropCrc),
        ctlkit::Get<&C::Layer>(kPropLayer),
        ctlkit::Get<&C::Frequency>(kPropFrequency),
        ctlkit::Get<&C::BitRate>(kPropBitRate),
        ctlkit::Get<&C::Version>(kPropVersion),
        ctlkit::Get<&C::FrameMs>(kPropFrameMs),
        ctlkit::Get<&C::LengthMs>(kPropLengthMs),
        ctlkit::Get<&C::ChannelMode>(kPropChannelMode),
        ctlkit::Method<&C::Open>(kMethodOpen),
        ctlkit::Method<&C::Play>(kMethodPlay),
        ctlkit::Method<&C::Pause>(kMethodPause),
        ctlkit::Method<&C::Seek>(kMethodSeek),
        ctlkit::Method<&C::Stop>(kMethodStop),
        ctlkit::Method<&C::CloseFile>(kMethodClose),
        ctlkit::Method<&C::Queue>(kMethodQueue),
    };
    return kMembers;
}

SHORT CMp3PlayControl::Open(std::string source, std::string target) {
    CloseFile();
    if (!FileReadable(source)) return kStatusCannotRead;
    m_strSource = source;
    // Measuring a song (a playlist at start-up) needs only the header's frame count.
    if (target.empty() && orv::codec::ProbeFile(source, m_probed)) {
        m_state = State::Ready;
        return kStatusOk;
    }
    if (!Current().OpenFile(source)) return kStatusNotMpeg;
    // Decoding onto the source would destroy the file being converted; an existing
    // target is left alone until a finished decode replaces it.
    if (!target.empty() && (::lstrcmpiA(FullPath(source).c_str(), FullPath(target).c_str()) == 0 ||
                            !ctlkit::CStagedFile::CanWrite(target))) {
        Current().Close();
        return kStatusCannotCreate;
    }
    m_strTarget = target;
    m_state = State::Ready;
    return kStatusOk;
}

bool CMp3PlayControl::LoadSource() {
    return Current().IsOpen() || Current().OpenFile(m_strSource);
}

SHORT CMp3PlayControl::Play() {
    if (m_state == State::Closed) return kStatusNotOpen;
    if (!LoadSource()) return kStatusCannotRead;
    if (m_state != State::Ready) return kStatusOk;  // already under way
    if (m_strTarget.empty()) {
        if (!m_engine.OpenDevice()) return kStatusNoDevice;
    } else if (!m_writer.IsOpen() && !OpenStagedTarget()) {
        return kStatusCannotCreate;
    }
    if (!StartRun()) {
        FinishRun(false);  // a file that is only Ready holds no device and no target
        return kStatusBusy;
    }
    m_state = State::Running;
    return kStatusOk;
}

BOOL CMp3PlayControl::StartRun() {
    m_lastPosted = -1;
    m_runFrame = Current().NextFrame();
    m_runSample = 0;
    m_engine.SetDecoder(Current());
    if (m_bQueued) m_engine.Queue(Following());
    if (!m_engine.Start(GetHwnd(), Generation(), m_strTarget.empty() ? nullptr : &m_writer)) {
        m_engine.Unqueue();
        return FALSE;
    }
    if (m_strTarget.empty()) ::SetTimer(GetHwnd(), kPositionTimer, kPositionPeriodMs, nullptr);
    return TRUE;
}

SHORT CMp3PlayControl::Queue(std::string path) {
    if (m_state == State::Closed) return kStatusNotOpen;
    if (!DropQueued()) return kStatusBusy;
    if (path.empty()) return kStatusOk;
    if (!m_strTarget.empty()) return kStatusCannotFollow;
    if (!FileReadable(path)) return kStatusCannotRead;
    orv::codec::Mp3Decoder& next = Following();
    if (!next.OpenFile(path)) return kStatusNotMpeg;
    // The device stream goes on unchanged, so the samples must fit it as they are.
    if (next.SampleRate() != Header().sampleRate || next.Channels() != Header().channels) {
        next.Close();
        return kStatusCannotFollow;
    }
    m_bQueued = true;
    m_strQueued = path;
    if (m_engine.IsRunning()) m_engine.Queue(next);
    return kStatusOk;
}

bool CMp3PlayControl::DropQueued() {
    if (!m_bQueued) return true;
    if (m_engine.IsRunning() && !m_engine.Unqueue()) return false;
    Following().Close();
    m_bQueued = false;
    m_strQueued.clear();
    return true;
}

void CMp3PlayControl::TakeBackJoin() {
    if (!m_engine.Joined()) return;
    m_engine.ClearJoin();
    Following().SeekFrame(0);
    m_engine.SetDecoder(Current());
}

void CMp3PlayControl::ApplyJoinIfHeard(bool bEnded) {
    if (!m_engine.Joined()) return;
    if (!bEnded && m_engine.DeviceSamples() < m_engine.JoinSample()) return;
    m_runSample = m_engine.JoinSample();
    m_runFrame = 0;
    // The worker left this decoder before it marked the join.
    Current().Close();
    m_nCurrent = 1 - m_nCurrent;
    m_strSource = m_strQueued;
    m_strQueued.clear();
    m_bQueued = false;
    m_probed = orv::codec::StreamInfo();
    m_lastPosted = -1;
    m_engine.ClearJoin();
    PostEvent(kEventNext);
}

uint64_t CMp3PlayControl::AudibleFrame() const {
    const uint32_t perFrame = Header().samplesPerFrame;
    const uint64_t device = m_engine.DeviceSamples();
    const uint64_t played = device > m_runSample ? device - m_runSample : 0;
    return m_runFrame + (perFrame ? played / perFrame : 0);
}

SHORT CMp3PlayControl::Pause() {
    if (m_state == State::Running) {
        m_engine.Pause();
        PublishPeaks(0);
        m_state = State::Paused;
        return kStatusOk;
    }
    if (m_state == State::Paused) {
        m_engine.Resume();
        m_state = State::Running;
        return kStatusOk;
    }
    return m_state == State::Closed ? kStatusNotOpen : kStatusNotPlaying;
}

SHORT CMp3PlayControl::Seek(long frame) {
    if (m_state == State::Closed) return kStatusNotOpen;
    if (!LoadSource()) return kStatusCannotRead;
    if (frame < 0 || static_cast<uint64_t>(frame) > Current().FramesAvailable()) return kStatusBadFrame;
    if (m_state == State::Ready) return Current().SeekFrame(static_cast<uint64_t>(frame)) ? kStatusOk : kStatusBadFrame;
    HaltRun();
    Current().SeekFrame(static_cast<uint64_t>(frame));
    if (!StartRun()) {
        FinishRun(false);
        return kStatusBusy;
    }
    // A paused run stays paused at its new place.
    if (m_state == State::Paused) m_engine.Pause();
    PostPosition(static_cast<uint64_t>(frame));
    return kStatusOk;
}

SHORT CMp3PlayControl::Stop() {
    if (m_state == State::Closed) return kStatusNotOpen;
    if (m_state == State::Ready) return kStatusOk;
    FinishRun(false);
    DropQueued();
    Current().SeekFrame(0);
    PostEvent(kEventEnd);
    return kStatusOk;
}

bool CMp3PlayControl::OpenStagedTarget() {
    m_bWriteFailed = false;
    if (m_staged.Begin(m_strTarget) &&
        m_writer.Open(m_staged.TempPath(), static_cast<uint16_t>(Current().Channels()), Current().SampleRate())) {
        return true;
    }
    m_staged.Discard();
    return false;
}

SHORT CMp3PlayControl::CloseFile() {
    if (m_state == State::Closed) return kStatusOk;
    // A file only measured, or whose run has ended, has no run to end: a playlist
    // measured at start-up then costs no window or device calls per song.
    if (m_state != State::Ready) FinishRun(false);
    DropQueued();
    Current().Close();
    m_probed = orv::codec::StreamInfo();
    m_strSource.clear();
    m_strTarget.clear();
    m_state = State::Closed;
    return kStatusOk;
}

void CMp3PlayControl::HaltRun() {
    if (GetHwnd()) ::KillTimer(GetHwnd(), kPositionTimer);
    PublishPeaks(0);
    m_engine.Halt();
    m_engine.Unqueue();
    TakeBackJoin();
    NextGeneration();
}

// Ends the run for good: no device, state Ready. A decode that reached its end puts
// its file in place; any other leaves the target as it was. False when a finished
// decode could not be put in place.
bool CMp3PlayControl::FinishRun(bool bComplete) {
    HaltRun();
    m_engine.CloseDevice();
    if (m_state != State::Closed) m_state = State::Ready;
    if (!m_writer.IsOpen()) return true;
    const bool bClosed = m_writer.Close();
    if (bComplete && bClosed && !m_bWriteFailed) return m_staged.Commit();
    m_staged.Discard();
    return !bComplete;
}

void CMp3PlayControl::OnRunEnded() {
    const bool bDecode = !m_strTarget.empty();
    const bool bWriteFailed = m_bWriteFailed;
    const uint64_t lost = bDecode ? Current().LostFrames() : 0;
    const bool bPlaced = FinishRun(true);
    DropQueued();
    if (bDecode && !bPlaced && !bWriteFailed) PostEvent(kEventError, kEngineErrorWrite, EngineErrorText(kEngineErrorWrite));
    if (bPlaced && lost > 0) {
        char szText[160] = {};
        std::snprintf(szText, sizeof szText,
                      "The MP3 file is damaged: %llu frames (about %llu ms of audio) could not be decoded.",
                      static_cast<unsigned long long>(lost),
                      static_cast<unsigned long long>(static_cast<double>(lost) * Info().frameDurationMs + 0.5));
        PostEvent(kEventError, static_cast<long>(kErrorDamaged), szText);
    }
    Current().SeekFrame(0);
    PostEvent(kEventEnd);
}

void CMp3PlayControl::PostPosition(uint64_t frame) {
    frame = std::min<uint64_t>(frame, FrameCount());
    if (static_cast<int64_t>(frame) == m_lastPosted) return;
    m_lastPosted = static_cast<int64_t>(frame);
    PostEvent(kEventPosition, static_cast<long>(frame));
}

void CMp3PlayControl::OnTimer(UINT_PTR nID) {
    if (nID != kPositionTimer || !m_strTarget.empty()) return;
    PublishPeaks(m_state == State::Running ? m_engine.AudiblePeaks() : 0);
    if (m_state != State::Running) return;
    ApplyJoinIfHeard(false);
    PostPosition(AudibleFrame());
}

void CMp3PlayControl::PublishPeaks(uint32_t peaks) {
    if (!GetHwnd()) return;
    if (peaks) {
        ::SetPropA(GetHwnd(), kPeakProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(peaks)));
    } else {
        ::RemovePropA(GetHwnd(), kPeakProperty);
    }
}

void CMp3PlayControl::OnWorkerMessage(UINT message, LPARAM lParam) {
    if (m_state == State::Closed || m_state == State::Ready) return;
    switch (message) {
    case kMsgWorkerProgress:
        PostPosition(static_cast<uint64_t>(lParam));
        break;
    case kMsgWorkerError:
        if (lParam == kEngineErrorWrite) m_bWriteFailed = true;
        PostEvent(kEventError, static_cast<long>(lParam), EngineErrorText(static_cast<long>(lParam)));
        break;
    case kMsgWorkerEnded:
        if (m_strTarget.empty()) {
            ApplyJoinIfHeard(true);
            PostPosition(FrameCount());
        }
        OnRunEnded();
        break;
    default:
        break;
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    return ctlkit::ControlDllMain<CMp3PlayControl>(hInstance, dwReason, kWndClass);
}
