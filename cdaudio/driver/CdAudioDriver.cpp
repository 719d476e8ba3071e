// The CD-audio MCI driver: plays the disc image named in the suite's registry key
// with the command contract of the MCI CDAudio device. Sound goes to waveOut on one
// worker thread per device; the worker only posts notifications.
#include <orvcdaudio/DiscImage.h>
#include <orvcdaudio/StandInKey.h>

#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

extern "C" BOOL WINAPI mciDriverNotify(HANDLE hwndCallback, MCIDEVICEID wDeviceID, UINT uStatus);

namespace {

using orv::cd::CDiscImage;
using orv::cd::kFramesPerSecond;
using orv::cd::kSamplesPerFrame;

using orv::cd::kDiscErrorValue;
using orv::cd::kStandInKey;
constexpr DWORD kMsPerSecond = 1000;
constexpr int kBufferCount = 8;                 // 1.6 s queued rides out a busy machine
constexpr int32_t kFramesPerBuffer = 15;        // 0.2 s
constexpr DWORD kWorkerWaitMs = 100;
constexpr DWORD kDiscCheckMs = 250;
constexpr WORD kChannels = 2;
constexpr DWORD kSampleRate = 44100;
constexpr WORD kBitsPerSample = 16;

// The tray is the drive's, so it is shared by every device this process opens.
std::atomic<bool> g_bDoorOpen{false};

std::string ReadInsertedDisc() {
    return orv::cd::ReadStandInValue(orv::cd::kDiscValue);
}

std::string CurrentDiscPath() { return g_bDoorOpen ? std::string() : ReadInsertedDisc(); }

void ReportDiscError(const std::string& reason) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kStandInKey, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS) return;
    if (reason.empty()) {
        RegDeleteValueA(hKey, kDiscErrorValue);
    } else {
        RegSetValueExA(hKey, kDiscErrorValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(reason.c_str()),
                       static_cast<DWORD>(reason.size() + 1));
        OutputDebugStringA(("orvcda: " + reason + "\n").c_str());
    }
    RegCloseKey(hKey);
}

DWORD PackMsf(int32_t frames) {
    const orv::cd::Msf msf = orv::cd::FramesToMsf(frames);
    return MCI_MAKE_MSF(msf.minutes, msf.seconds, msf.frames);
}

bool UnpackMsf(DWORD value, int32_t& frames) {
    const int minutes = MCI_MSF_MINUTE(value), seconds = MCI_MSF_SECOND(value), rest = MCI_MSF_FRAME(value);
    if (seconds >= orv::cd::kSecondsPerMinute || rest >= kFramesPerSecond) return false;
    frames = minutes * orv::cd::kFramesPerMinute + seconds * kFramesPerSecond + rest;
    return true;
}

enum class Mode { Stopped, Playing, Paused };
enum class Ending { None, Natural, Stop, Pause, Lost };

class CCdDevice {
public:
    explicit CCdDevice(MCIDEVICEID wDeviceId) : m_wDeviceId(wDeviceId) {
        m_hWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    ~CCdDevice() {
        Halt(Ending::Stop, MCI_NOTIFY_ABORTED);
        CloseHandle(m_hWake);
    }
    CCdDevice(const CCdDevice&) = delete;
    CCdDevice& operator=(const CCdDevice&) = delete;

    // Notification slot ------------------------------------------------------------
    // One request waits at a time; whoever takes it from the slot sends its answer.
    void SetPending(DWORD dwFlags, DWORD_PTR dwCallback) {
        if (!(dwFlags & MCI_NOTIFY)) return;
        std::lock_guard<std::mutex> lock(m_lock);
        m_hNotifyWnd = reinterpret_cast<HWND>(dwCallback);
        m_bNotifyPending = true;
    }
    // A command that finishes at once: it supersedes the waiting request, then
    // reports its own success.
    void Complete(DWORD dwFlags, DWORD_PTR dwCallback) {
        if (!(dwFlags & MCI_NOTIFY)) return;
        AnswerPending(MCI_NOTIFY_SUPERSEDED);
        SetPending(dwFlags, dwCallback);
        AnswerPending(MCI_NOTIFY_SUCCESSFUL);
    }
    void AnswerPending(UINT uStatus) {
        HWND hWnd = nullptr;
        if (!TakePending(hWnd)) return;
        mciDriverNotify(hWnd, m_wDeviceId, uStatus);
    }

    // Disc ------------------------------------------------------------------------
    // Follows the registry value and the tray; a changed disc ends a running play. A
    // disc whose file went away under a play counts as taken out until another disc
    // is named or the tray closes again, as a drive drops a disc it cannot read.
    void RefreshDisc() {
        const std::string path = CurrentDiscPath();
        if (path == m_discPath && !m_bFileMissing) return;
        Halt(Ending::Lost, MCI_NOTIFY_FAILURE);
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_mode = Mode::Stopped;
        }
        std::string error;
        if (path == m_discPath) {
            error = "cannot open \"" + m_disc.MissingFile() + "\"";
            m_disc.Clear();
        } else {
            m_disc.Clear();
            m_discPath = path;
            // A cut-short FLAC file is refused here as at insert, not found mid-play.
            if (!path.empty() && !(m_disc.Load(path, error) && m_disc.CheckFileEnds(error))) m_disc.Clear();
        }
        m_bFileMissing = false;
        ReportDiscError(error);
        m_position = m_disc.FirstStart();
    }
    bool HasDisc() const { return !m_disc.Empty(); }
    const CDiscImage& Disc() const { return m_disc; }
    int TrackCount() const { return static_cast<int>(m_disc.Tracks().size()); }

    // Windows reports the last track one frame short of the lead-out.
    int32_t TrackLength(int track) const {
        const auto& toc = m_disc.Tracks()[static_cast<size_t>(track - 1)];
        return track == TrackCount() ? toc.length - 1 : toc.length;
    }
    int32_t DiscLength() const { return m_disc.LeadOut() - m_disc.FirstStart() - 1; }

    // Time formats ------------------------------------------------------------------
    DWORD TimeFormat() const { return m_dwTimeFormat; }
    void SetTimeFormat(DWORD dwFormat) { m_dwTimeFormat = dwFormat; }

    DWORD PositionValue(int32_t frame) const {
        switch (m_dwTimeFormat) {
        case MCI_FORMAT_MILLISECONDS:
            return static_cast<DWORD>(static_cast<int64_t>(frame) * kMsPerSecond / kFramesPerSecond);
        case MCI_FORMAT_TMSF: {
            const int track = m_disc.TrackAt(frame);
            const int32_t into = frame - m_disc.Tracks()[static_cast<size_t>(track - 1)].start;
            const orv::cd::Msf msf = orv::cd::FramesToMsf(into);
            return MCI_MAKE_TMSF(track, msf.minutes, msf.seconds, msf.frames);
        }
        default:
            return PackMsf(frame);
        }
    }
    DWORD DurationValue(int32_t frames) const {
        if (m_dwTimeFormat == MCI_FORMAT_MILLISECONDS)
            return static_cast<DWORD>(static_cast<int64_t>(frames) * kMsPerSecond / kFramesPerSecond);
        return PackMsf(frames);
    }
    // A position given by a caller, as an absolute frame on the disc.
    bool FrameOf(DWORD value, int32_t& frame) const {
        switch (m_dwTimeFormat) {
        case MCI_FORMAT_MILLISECONDS:
            frame = static_cast<int32_t>(static_cast<int64_t>(value) * kFramesPerSecond / kMsPerSecond);
            break;
        case MCI_FORMAT_TMSF: {
            const int track = MCI_TMSF_TRACK(value);
            int32_t into = 0;
            if (track < 1 || track > TrackCount()) return false;
            if (!UnpackMsf(MCI_MAKE_MSF(MCI_TMSF_MINUTE(value), MCI_TMSF_SECOND(value), MCI_TMSF_FRAME(value)), into)) return false;
            frame = m_disc.Tracks()[static_cast<size_t>(track - 1)].start + into;
            break;
        }
        default:
            if (!UnpackMsf(value, frame)) return false;
        }
        if (frame > m_disc.LeadOut()) return false;
        if (frame < m_disc.FirstStart()) frame = m_disc.FirstStart();
        return true;
    }

    // Transport ---------------------------------------------------------------------
    Mode CurrentMode() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_mode;
    }
    int32_t Position() {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_mode != Mode::Playing || !m_hWaveOut) return m_position;
        return PlayedTo();
    }
    int32_t LastPlayEnd() const { return m_playTo; }

    // Starts the sound of [from, to) once Halt has ended the last play; an empty
    // range ends at once.
    void Start(int32_t from, int32_t to) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_position = from;
            m_playFrom = from;
            m_playTo = to;
            m_mode = Mode::Playing;
            m_ending = Ending::None;
        }
        m_worker = std::thread(&CCdDevice::PlayLoop, this, from, to, m_discPath);
    }
    void WaitForEnd() {
        if (m_worker.joinable()) m_worker.join();
    }
    // Ends a running play; a request still waiting is told uStatus.
    void Halt(Ending ending, UINT uStatus) {
        if (m_worker.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_lock);
                if (m_ending == Ending::None) m_ending = ending;
            }
            SetEvent(m_hWake);
            m_worker.join();
        }
        AnswerPending(uStatus);
    }
    void Pause() {
        const bool wasPlaying = CurrentMode() == Mode::Playing;
        Halt(Ending::Pause, MCI_NOTIFY_ABORTED);
        std::lock_guard<std::mutex> lock(m_lock);
        if (wasPlaying && m_mode == Mode::Stopped && m_ending == Ending::Pause) m_mode = Mode::Paused;
    }
    // Stops where the sound had come to, or moves there.
    void StopHere() {
        Halt(Ending::Stop, MCI_NOTIFY_ABORTED);
        std::lock_guard<std::mutex> lock(m_lock);
        m_mode = Mode::Stopped;
    }
    void MoveTo(int32_t frame) {
        StopHere();
        std::lock_guard<std::mutex> lock(m_lock);
        m_position = frame;
    }

private:
    bool TakePending(HWND& hWnd) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_bNotifyPending) return false;
        m_bNotifyPending = false;
        hWnd = m_hNotifyWnd;
        return true;
    }

    // Caller holds m_lock and m_hWaveOut is open.
    int32_t PlayedTo() const {
        MMTIME time = {};
        time.wType = TIME_SAMPLES;
        if (waveOutGetPosition(m_hWaveOut, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_SAMPLES)
            return m_playFrom;
        const int32_t played = static_cast<int32_t>(time.u.sample / kSamplesPerFrame);
        return std::min(m_playFrom + played, m_playTo);
    }

    Ending RequestedEnding() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_ending;
    }

    void PlayLoop(int32_t from, int32_t to, std::string discPath) {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = kChannels;
        format.nSamplesPerSec = kSampleRate;
        format.wBitsPerSample = kBitsPerSample;
        format.nBlockAlign = kChannels * kBitsPerSample / 8;
        format.nAvgBytesPerSec = kSampleRate * format.nBlockAlign;
        HWAVEOUT hWaveOut = nullptr;
        if (from < to && waveOutOpen(&hWaveOut, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(m_hWake), 0,
                                     CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            Finish(Ending::Lost, from);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_hWaveOut = hWaveOut;
        }
        const Ending ending = hWaveOut ? Feed(hWaveOut, from, to, discPath) : Ending::Natural;
        int32_t reached = to;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (hWaveOut && ending != Ending::Natural) reached = PlayedTo();
            m_hWaveOut = nullptr;
        }
        if (hWaveOut) {
            waveOutReset(hWaveOut);
            for (WAVEHDR& header : m_headers) {
                if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(hWaveOut, &header, sizeof header);
            }
            waveOutClose(hWaveOut);
        }
        Finish(ending, reached);
    }

    // Keeps the device's queue full until the range is played or the play must end.
    Ending Feed(HWAVEOUT hWaveOut, int32_t from, int32_t to, const std::string& discPath) {
        m_headers.assign(kBufferCount, WAVEHDR());
        m_buffers.assign(kBufferCount, std::vector<int16_t>(static_cast<size_t>(kFramesPerBuffer) * kSamplesPerFrame * kChannels));
        int32_t next = from;
        bool bReadFailed = false;
        DWORD lastCheck = GetTickCount();
        for (;;) {
            const Ending requested = RequestedEnding();
            if (requested != Ending::None) return requested;
            bool busy = false;
            for (int i = 0; i < kBufferCount; ++i) {
                WAVEHDR& header = m_headers[static_cast<size_t>(i)];
                if ((header.dwFlags & WHDR_PREPARED) && !(header.dwFlags & WHDR_DONE)) {
                    busy = true;
                    continue;
                }
                if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(hWaveOut, &header, sizeof header);
                if (next >= to) continue;
                int32_t count = std::min(kFramesPerBuffer, to - next);
                std::vector<int16_t>& buffer = m_buffers[static_cast<size_t>(i)];
                if (!m_disc.ReadFrames(next, count, buffer.data())) {
                    // As a drive's read error: the sound ends where the damage begins.
                    const int32_t failed = std::max(m_disc.FailedFrame(), next);
                    OutputDebugStringA(("orvcda: cannot read frame " + std::to_string(failed) + "\n").c_str());
                    if (!m_disc.MissingFile().empty()) m_bFileMissing = true;
                    count = failed - next;
                    to = failed;
                    bReadFailed = true;
                    if (count == 0) continue;
                }
                header = WAVEHDR();
                header.lpData = reinterpret_cast<LPSTR>(buffer.data());
                header.dwBufferLength = static_cast<DWORD>(count) * kSamplesPerFrame * kChannels * sizeof(int16_t);
                if (waveOutPrepareHeader(hWaveOut, &header, sizeof header) != MMSYSERR_NOERROR ||
                    waveOutWrite(hWaveOut, &header, sizeof header) != MMSYSERR_NOERROR) {
                    return Ending::Lost;
                }
                next += count;
                busy = true;
            }
            if (!busy) return bReadFailed ? Ending::Lost : Ending::Natural;
            if (GetTickCount() - lastCheck >= kDiscCheckMs) {
                lastCheck = GetTickCount();
                if (CurrentDiscPath() != discPath) return Ending::Lost;
            }
            WaitForSingleObject(m_hWake, kWorkerWaitMs);
        }
    }

    void Finish(Ending ending, int32_t reached) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_position = reached;
            m_mode = Mode::Stopped;
            m_ending = ending;
        }
        if (ending == Ending::Natural) AnswerPending(MCI_NOTIFY_SUCCESSFUL);
        if (ending == Ending::Lost) AnswerPending(MCI_NOTIFY_FAILURE);
    }

    const MCIDEVICEID m_wDeviceId;
    DWORD m_dwTimeFormat = MCI_FORMAT_MSF;
    CDiscImage m_disc;
    std::string m_discPath;
    std::atomic<bool> m_bFileMissing{false};  // set by the worker, taken by RefreshDisc

    std::mutex m_lock;  // guards what the worker shares: below
    Mode m_mode = Mode::Stopped;
    Ending m_ending = Ending::None;
    int32_t m_position = 0;
    int32_t m_playFrom = 0;
    int32_t m_playTo = 0;
    HWAVEOUT m_hWaveOut = nullptr;
    HWND m_hNotifyWnd = nullptr;
    bool m_bNotifyPending = false;

    HANDLE m_hWake = nullptr;  // waveOut's buffer-done event, also set to end a play
    std::thread m_worker;
    std::vector<WAVEHDR> m_headers;
    std::vector<std::vector<int16_t>> m_buffers;
};

std::mutex g_devicesLock;
std::set<CCdDevice*> g_devices;

CCdDevice* FindDevice(DWORD_PTR dwDevId) {
    std::lock_guard<std::mutex> lock(g_devicesLock);
    auto* device = reinterpret_cast<CCdDevice*>(dwDevId);
    return g_devices.count(device) ? device : nullptr;
}

// The parameter block is needed as soon as a flag refers to one of its fields.
bool MissingBlock(const void* pParms, DWORD dwFlags, DWORD dwNeeding) {
    return pParms == nullptr && (dwFlags & (dwNeeding | MCI_NOTIFY)) != 0;
}

// Command handlers: parameter block, device, flags; then the work; then notify. -----

DWORD OnOpen(CCdDevice* pDevice, DWORD dwFlags, MCI_OPEN_PARMSW* pParms) {
    if (MissingBlock(pParms, dwFlags, 0)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    pDevice->RefreshDisc();
    if (pParms) pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD OnClose(CCdDevice* pDevice, DWORD dwFlags, MCI_GENERIC_PARMS* pParms) {
    if (MissingBlock(pParms, dwFlags, 0)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    pDevice->Halt(Ending::Stop, MCI_NOTIFY_ABORTED);
    if (pParms) pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD OnSet(CCdDevice* pDevice, DWORD dwFlags, MCI_SET_PARMS* pParms) {
    if (MissingBlock(pParms, dwFlags, MCI_SET_TIME_FORMAT)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    if ((dwFlags & MCI_SET_DOOR_OPEN) && (dwFlags & MCI_SET_DOOR_CLOSED)) return MCIERR_FLAGS_NOT_COMPATIBLE;
    if (dwFlags & (MCI_SET_AUDIO | MCI_SET_VIDEO | MCI_SET_ON | MCI_SET_OFF)) return MCIERR_UNSUPPORTED_FUNCTION;
    if (dwFlags & MCI_SET_TIME_FORMAT) {
        const DWORD format = pParms->dwTimeFormat;
        if (format != MCI_FORMAT_MSF && format != MCI_FORMAT_TMSF && format != MCI_FORMAT_MILLISECONDS)
            return MCIERR_BAD_TIME_FORMAT;
        pDevice->SetTimeFormat(format);
    }
    if (dwFlags & MCI_SET_DOOR_OPEN) {
        pDevice->Halt(Ending::Stop, MCI_NOTIFY_ABORTED);
        g_bDoorOpen = true;
    }
    if (dwFlags & MCI_SET_DOOR_CLOSED) g_bDoorOpen = false;
    pDevice->RefreshDisc();
    if (pParms) pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD StatusValue(CCdDevice* pDevice, DWORD dwFlags, MCI_STATUS_PARMS* pParms, DWORD_PTR& value) {
    const bool track = (dwFlags & MCI_TRACK) != 0;
    switch (pParms->dwItem) {
    case MCI_STATUS_MEDIA_PRESENT:
    case MCI_STATUS_READY:
        value = pDevice->HasDisc() ? TRUE : FALSE;
        return 0;
    case MCI_STATUS_TIME_FORMAT:
        value = pDevice->TimeFormat();
        return 0;
    case MCI_STATUS_MODE: {
        const Mode mode = pDevice->CurrentMode();
        if (g_bDoorOpen) value = MCI_MODE_OPEN;
        else if (!pDevice->HasDisc()) value = MCI_MODE_NOT_READY;
        else value = mode == Mode::Playing ? MCI_MODE_PLAY : mode == Mode::Paused ? MCI_MODE_PAUSE : MCI_MODE_STOP;
        return 0;
    }
    default:
        break;
    }
    if (!pDevice->HasDisc()) return MCIERR_DEVICE_NOT_READY;
    const int number = static_cast<int>(pParms->dwTrack);
    if (track && (number < 1 || number > pDevice->TrackCount())) return MCIERR_OUTOFRANGE;
    const auto& tracks = pDevice->Disc().Tracks();
    switch (pParms->dwItem) {
    case MCI_STATUS_NUMBER_OF_TRACKS:
        value = static_cast<DWORD_PTR>(pDevice->TrackCount());
        return 0;
    case MCI_STATUS_LENGTH:
        value = pDevice->DurationValue(track ? pDevice->TrackLength(number) : pDevice->DiscLength());
        return 0;
    case MCI_STATUS_POSITION:
        value = pDevice->PositionValue(track ? tracks[static_cast<size_t>(number - 1)].start : pDevice->Position());
        return 0;
    case MCI_STATUS_START:
        value = pDevice->PositionValue(pDevice->Disc().FirstStart());
        return 0;
    case MCI_STATUS_CURRENT_TRACK:
        value = static_cast<DWORD_PTR>(pDevice->Disc().TrackAt(pDevice->Position()));
        return 0;
    case MCI_CDA_STATUS_TYPE_TRACK:
        if (!track) return MCIERR_MISSING_PARAMETER;
        value = tracks[static_cast<size_t>(number - 1)].audio ? MCI_CDA_TRACK_AUDIO : MCI_CDA_TRACK_OTHER;
        return 0;
    default:
        return MCIERR_BAD_CONSTANT;
    }
}

DWORD OnStatus(CCdDevice* pDevice, DWORD dwFlags, MCI_STATUS_PARMS* pParms) {
    if (!pParms) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    if (!(dwFlags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
    pDevice->RefreshDisc();
    DWORD_PTR value = 0;
    const DWORD error = StatusValue(pDevice, dwFlags, pParms, value);
    if (error) return error;
    pParms->dwReturn = value;
    pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD OnPlay(CCdDevice* pDevice, DWORD dwFlags, MCI_PLAY_PARMS* pParms) {
    if (MissingBlock(pParms, dwFlags, MCI_FROM | MCI_TO)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    pDevice->RefreshDisc();
    if (!pDevice->HasDisc()) return MCIERR_DEVICE_NOT_READY;
    const CDiscImage& disc = pDevice->Disc();
    int32_t from = pDevice->Position();
    int32_t to = disc.LeadOut();
    if ((dwFlags & MCI_FROM) && !pDevice->FrameOf(pParms->dwFrom, from)) return MCIERR_OUTOFRANGE;
    if ((dwFlags & MCI_TO) && !pDevice->FrameOf(pParms->dwTo, to)) return MCIERR_OUTOFRANGE;
    if (from > to) return MCIERR_OUTOFRANGE;
    if (from < to && !disc.Tracks()[static_cast<size_t>(disc.TrackAt(from) - 1)].audio) return MCIERR_HARDWARE;
    // A play that asks for notification supersedes the waiting one; one that does
    // not only interrupts it.
    pDevice->Halt(Ending::Stop, (dwFlags & MCI_NOTIFY) ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
    if (pParms) pDevice->SetPending(dwFlags, pParms->dwCallback);
    pDevice->Start(from, to);
    if (dwFlags & MCI_WAIT) pDevice->WaitForEnd();
    return 0;
}

DWORD OnPause(CCdDevice* pDevice, DWORD dwFlags, MCI_GENERIC_PARMS* pParms) {
    if (MissingBlock(pParms, dwFlags, 0)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    pDevice->RefreshDisc();
    pDevice->Pause();
    if (pParms) pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD OnResume(CCdDevice* pDevice, DWORD dwFlags, MCI_GENERIC_PARMS* pParms) {
    if (MissingBlock(pParms, dwFlags, 0)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    pDevice->RefreshDisc();
    if (!pDevice->HasDisc()) return MCIERR_DEVICE_NOT_READY;
    if (pDevice->CurrentMode() == Mode::Paused) {
        pDevice->Halt(Ending::Stop, (dwFlags & MCI_NOTIFY) ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED);
        if (pParms) pDevice->SetPending(dwFlags, pParms->dwCallback);
        pDevice->Start(pDevice->Position(), pDevice->LastPlayEnd());
        return 0;
    }
    if (pParms) pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD OnStop(CCdDevice* pDevice, DWORD dwFlags, MCI_GENERIC_PARMS* pParms) {
    if (MissingBlock(pParms, dwFlags, 0)) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    pDevice->RefreshDisc();
    pDevice->StopHere();
    if (pParms) pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

DWORD OnSeek(CCdDevice* pDevice, DWORD dwFlags, MCI_SEEK_PARMS* pParms) {
    if (!pParms) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!pDevice) return MCIERR_INVALID_DEVICE_ID;
    const DWORD targets = dwFlags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO);
    if (targets == 0) return MCIERR_MISSING_PARAMETER;
    if (targets & (targets - 1)) return MCIERR_FLAGS_NOT_COMPATIBLE;
    pDevice->RefreshDisc();
    if (!pDevice->HasDisc()) return MCIERR_DEVICE_NOT_READY;
    int32_t frame = pDevice->Disc().FirstStart();
    if (dwFlags & MCI_SEEK_TO_END) frame = pDevice->Disc().LeadOut() - 1;
    if ((dwFlags & MCI_TO) && !pDevice->FrameOf(pParms->dwTo, frame)) return MCIERR_OUTOFRANGE;
    pDevice->MoveTo(frame);
    pDevice->Complete(dwFlags, pParms->dwCallback);
    return 0;
}

LRESULT OnDriverOpen(MCI_OPEN_DRIVER_PARMS* pOpen) {
    if (!pOpen) return 1;  // opened outside MCI, e.g. to configure
    auto* device = new CCdDevice(pOpen->wDeviceID);
    pOpen->wType = MCI_DEVTYPE_CD_AUDIO;
    pOpen->wCustomCommandTable = MCI_NO_COMMAND_TABLE;
    std::lock_guard<std::mutex> lock(g_devicesLock);
    g_devices.insert(device);
    return reinterpret_cast<LRESULT>(device);
}

LRESULT OnDriverClose(DWORD_PTR dwDevId) {
    CCdDevice* device = FindDevice(dwDevId);
    if (!device) return 1;
    {
        std::lock_guard<std::mutex> lock(g_devicesLock);
        g_devices.erase(device);
    }
    delete device;
    return 1;
}

void CloseAllDevices() {
    std::set<CCdDevice*> devices;
    {
        std::lock_guard<std::mutex> lock(g_devicesLock);
        devices.swap(g_devices);
    }
    for (CCdDevice* device : devices) delete device;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK DriverProc(DWORD_PTR dwDevId, HDRVR hDriver, UINT uMsg,
                                                           LPARAM lParam1, LPARAM lParam2) {
    switch (uMsg) {
    case DRV_LOAD: return 1;
    case DRV_FREE: CloseAllDevices(); return 1;
    case DRV_OPEN: return OnDriverOpen(reinterpret_cast<MCI_OPEN_DRIVER_PARMS*>(lParam2));
    case DRV_CLOSE: return OnDriverClose(dwDevId);
    case DRV_ENABLE:
    case DRV_DISABLE: return 1;
    case DRV_QUERYCONFIGURE: return 0;
    case DRV_CONFIGURE:
    case DRV_INSTALL:
    case DRV_REMOVE: return DRVCNF_OK;
    default: break;
    }
    if (uMsg < DRV_MCI_FIRST || uMsg > DRV_MCI_LAST) return DefDriverProc(dwDevId, hDriver, uMsg, lParam1, lParam2);

    CCdDevice* device = FindDevice(dwDevId);
    const auto flags = static_cast<DWORD>(lParam1);
    switch (uMsg) {
    case MCI_OPEN_DRIVER: return OnOpen(device, flags, reinterpret_cast<MCI_OPEN_PARMSW*>(lParam2));
    case MCI_CLOSE_DRIVER: return OnClose(device, flags, reinterpret_cast<MCI_GENERIC_PARMS*>(lParam2));
    case MCI_SET: return OnSet(device, flags, reinterpret_cast<MCI_SET_PARMS*>(lParam2));
    case MCI_STATUS: return OnStatus(device, flags, reinterpret_cast<MCI_STATUS_PARMS*>(lParam2));
    case MCI_PLAY: return OnPlay(device, flags, reinterpret_cast<MCI_PLAY_PARMS*>(lParam2));
    case MCI_PAUSE: return OnPause(device, flags, reinterpret_cast<MCI_GENERIC_PARMS*>(lParam2));
    case MCI_RESUME: return OnResume(device, flags, reinterpret_cast<MCI_GENERIC_PARMS*>(lParam2));
    case MCI_STOP: return OnStop(device, flags, reinterpret_cast<MCI_GENERIC_PARMS*>(lParam2));
    case MCI_SEEK: return OnSeek(device, flags, reinterpret_cast<MCI_SEEK_PARMS*>(lParam2));
    // Not offered by this device: recording, editing, stepping, information strings,
    // capabilities, configuration.
    case MCI_RECORD:
    case MCI_SAVE:
    case MCI_LOAD:
    case MCI_CUE:
    case MCI_STEP:
    case MCI_INFO:
    case MCI_GETDEVCAPS:
    case MCI_SPIN:
    case MCI_ESCAPE:
    case MCI_SYSINFO:
    default: return MCIERR_UNSUPPORTED_FUNCTION;
    }
}
