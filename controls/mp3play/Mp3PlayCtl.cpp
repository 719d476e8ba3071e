// The MP3 play/decode control: window class "OrvMp3PlayCtl", registered when the DLL
// loads. Each control window owns one CMp3PlayControl, whose IDispatch the host gets
// by sending the containment's get-dispatch message. Events are posted to the
// parent window; worker messages pass through the control window first, so that
// nothing from a halted run reaches the host.
#include <windows.h>
#include <mmsystem.h>
#include <oleauto.h>

#include <cstring>
#include <memory>
#include <string>

#include "Mp3PlayDispIds.h"
#include "PlayEngine.h"
#include "fw/ControlProtocol.h"
#include "orvcodec/Mp3Decoder.h"
#include "orvcodec/WaveFile.h"

namespace {

constexpr char kWndClass[] = "OrvMp3PlayCtl";

using namespace mp3play;

// Method results.
enum : SHORT {
    kStatusOk = 0,
    kStatusNotOpen = 1,
    kStatusCannotRead = 2,
    kStatusNotMpeg = 3,
    kStatusNoDevice = 4,
    kStatusCannotCreate = 5,
    kStatusBadFrame = 6,
    kStatusNotPlaying = 7,
    kStatusBusy = 8,
};

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

class CMp3PlayControl final : public IDispatch {
public:
    explicit CMp3PlayControl(HWND hWnd) : m_hWnd(hWnd), m_engine(m_decoder) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IDispatch: no type information; callers use the fixed ids.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo) *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo) *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO*, UINT* puArgErr) override;

    // The window is going away: stop everything; later calls fail.
    void Shutdown() {
        CloseFile();
        m_hWnd = nullptr;
    }

    void OnWorkerMessage(UINT message, UINT nGeneration, LPARAM lParam);
    void OnPositionTimer();

private:
    HRESULT InvokeProperty(DISPID dispid, VARIANT* pResult);
    HRESULT InvokeMethod(DISPID dispid, DISPPARAMS* pParams, VARIANT* pResult, UINT* puArgErr);

    SHORT Open(const std::string& source, const std::string& target);
    SHORT Play();
    SHORT Pause();
    SHORT Seek(long frame);
    SHORT Stop();
    SHORT CloseFile();

    // Halts the worker, keeps the device, and drops the run's messages.
    void HaltRun();
    void FinishRun();
    BOOL StartRun();
    void PostEvent(DISPID dispid, long nArg = 0, const char* pszText = nullptr, UINT cArgs = 0);
    void PostPosition(uint64_t frame);
    uint64_t FrameCount() const { return m_decoder.IsOpen() ? m_decoder.Info().frameCount : 0; }

    LONG m_nRefs = 1;  // the window's reference
    HWND m_hWnd;
    orv::codec::Mp3Decoder m_decoder;
    orv::codec::WaveWriter m_writer;
    CPlayEngine m_engine;
    std::string m_strTarget;  // empty: play to the sound device
    State m_state = State::Closed;
    UINT m_nGeneration = 0;
    int64_t m_lastPosted = -1;
};

HRESULT CMp3PlayControl::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                                EXCEPINFO*, UINT* puArgErr) {
    if (!m_hWnd) return E_UNEXPECTED;
    if (dispid >= kMethodOpen && dispid <= kMethodClose) {
        if (!(wFlags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        return InvokeMethod(dispid, pParams, pResult, puArgErr);
    }
    if (!(wFlags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (pParams && pParams->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    return InvokeProperty(dispid, pResult);
}

HRESULT CMp3PlayControl::InvokeProperty(DISPID dispid, VARIANT* pResult) {
    if (!pResult) return E_POINTER;
    ::VariantInit(pResult);
    const bool bOpen = m_decoder.IsOpen();
    const orv::codec::StreamInfo& info = m_decoder.Info();
    const orv::codec::FrameHeader& h = info.first;
    auto setLong = [&](long v) { pResult->vt = VT_I4; pResult->lVal = bOpen ? v : 0; };
    auto setShort = [&](long v) { pResult->vt = VT_I2; pResult->iVal = static_cast<SHORT>(bOpen ? v : 0); };
    auto setBool = [&](bool v) { pResult->vt = VT_BOOL; pResult->boolVal = bOpen && v ? VARIANT_TRUE : VARIANT_FALSE; };
    switch (dispid) {
    case kPropFrames: setLong(static_cast<long>(info.frameCount)); break;
    case kPropCopyright: setBool(h.bCopyright); break;
    case kPropOriginal: setBool(h.bOriginal); break;
    case kPropCrc: setBool(h.bCrc); break;
    case kPropLayer: setShort(h.layer); break;
    case kPropFrequency: setLong(static_cast<long>(h.sampleRate)); break;
    // The average over the audio frames: the nominal rate for constant bit rate,
    // a steady figure for variable.
    case kPropBitRate: setLong(static_cast<long>(info.averageBitRate)); break;
    case kPropVersion: setShort(h.VersionNumber()); break;
    case kPropFrameMs:
        pResult->vt = VT_R4;
        pResult->fltVal = bOpen ? static_cast<float>(info.frameDurationMs) : 0.0f;
        break;
    case kPropLengthMs: setLong(static_cast<long>(info.lengthMs)); break;
    case kPropChannelMode: setShort(h.channelMode); break;
    default: return DISP_E_MEMBERNOTFOUND;
    }
    return S_OK;
}

HRESULT CMp3PlayControl::InvokeMethod(DISPID dispid, DISPPARAMS* pParams, VARIANT* pResult, UINT* puArgErr) {
    const UINT cArgs = pParams ? pParams->cArgs : 0;
    const UINT cWanted = dispid == kMethodOpen ? 2 : dispid == kMethodSeek ? 1 : 0;
    if (cArgs != cWanted || (pParams && pParams->cNamedArgs != 0)) return DISP_E_BADPARAMCOUNT;
    // rgvarg holds the arguments last first.
    VARIANT args[2];
    for (UINT i = 0; i < cArgs; ++i) {
        ::VariantInit(&args[i]);
        const VARTYPE vt = dispid == kMethodOpen ? VT_BSTR : VT_I4;
        if (FAILED(::VariantChangeType(&args[i], &pParams->rgvarg[cArgs - 1 - i], 0, vt))) {
            for (UINT j = 0; j < i; ++j) ::VariantClear(&args[j]);
            if (puArgErr) *puArgErr = cArgs - 1 - i;
            return DISP_E_TYPEMISMATCH;
        }
    }
    SHORT status = kStatusOk;
    switch (dispid) {
    case kMethodOpen: status = Open(fw::BstrToAnsi(args[0].bstrVal), fw::BstrToAnsi(args[1].bstrVal)); break;
    case kMethodPlay: status = Play(); break;
    case kMethodPause: status = Pause(); break;
    case kMethodSeek: status = Seek(args[0].lVal); break;
    case kMethodStop: status = Stop(); break;
    case kMethodClose: status = CloseFile(); break;
    default: break;
    }
    for (UINT i = 0; i < cArgs; ++i) ::VariantClear(&args[i]);
    if (pResult) {
        ::VariantInit(pResult);
        pResult->vt = VT_I2;
        pResult->iVal = status;
    }
    return S_OK;
}

SHORT CMp3PlayControl::Open(const std::string& source, const std::string& target) {
    CloseFile();
    if (!FileReadable(source)) return kStatusCannotRead;
    std::vector<uint8_t> bytes;
    if (!orv::codec::LoadFile(source, bytes)) return kStatusCannotRead;
    if (!m_decoder.Open(std::move(bytes))) return kStatusNotMpeg;
    if (!target.empty()) {
        // Decoding onto the source would destroy the file being converted.
        if (::lstrcmpiA(FullPath(source).c_str(), FullPath(target).c_str()) == 0 ||
            !m_writer.Open(target, static_cast<uint16_t>(m_decoder.Channels()), m_decoder.SampleRate())) {
            m_decoder.Close();
            return kStatusCannotCreate;
        }
    }
    m_strTarget = target;
    m_state = State::Ready;
    return kStatusOk;
}

SHORT CMp3PlayControl::Play() {
    if (m_state == State::Closed) return kStatusNotOpen;
    if (m_state != State::Ready) return kStatusOk;  // already under way
    if (m_strTarget.empty()) {
        if (!m_engine.OpenDevice()) return kStatusNoDevice;
    } else if (!m_writer.IsOpen() &&
               !m_writer.Open(m_strTarget, static_cast<uint16_t>(m_decoder.Channels()), m_decoder.SampleRate())) {
        return kStatusCannotCreate;
    }
    if (!StartRun()) return kStatusBusy;
    m_state = State::Running;
    return kStatusOk;
}

BOOL CMp3PlayControl::StartRun() {
    m_lastPosted = -1;
    if (!m_engine.Start(m_hWnd, m_nGeneration, m_strTarget.empty() ? nullptr : &m_writer)) return FALSE;
    if (m_strTarget.empty()) ::SetTimer(m_hWnd, kPositionTimer, kPositionPeriodMs, nullptr);
    return TRUE;
}

SHORT CMp3PlayControl::Pause() {
    if (m_state == State::Running) {
        m_engine.Pause();
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
    if (frame < 0 || static_cast<uint64_t>(frame) > m_decoder.FramesAvailable()) return kStatusBadFrame;
    if (m_state == State::Ready) return m_decoder.SeekFrame(static_cast<uint64_t>(frame)) ? kStatusOk : kStatusBadFrame;
    HaltRun();
    m_decoder.SeekFrame(static_cast<uint64_t>(frame));
    if (!StartRun()) {
        FinishRun();
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
    FinishRun();
    m_decoder.SeekFrame(0);
    PostEvent(kEventEnd);
    return kStatusOk;
}

SHORT CMp3PlayControl::CloseFile() {
    if (m_state == State::Closed) return kStatusOk;
    FinishRun();
    m_writer.Close();
    m_decoder.Close();
    m_strTarget.clear();
    m_state = State::Closed;
    return kStatusOk;
}

void CMp3PlayControl::HaltRun() {
    if (m_hWnd) ::KillTimer(m_hWnd, kPositionTimer);
    m_engine.Halt();
    ++m_nGeneration;
}

// Ends the run for good: no device, the file complete, state Ready.
void CMp3PlayControl::FinishRun() {
    HaltRun();
    m_engine.CloseDevice();
    if (m_writer.IsOpen()) m_writer.Close();
    if (m_state != State::Closed) m_state = State::Ready;
}

void CMp3PlayControl::PostEvent(DISPID dispid, long nArg, const char* pszText, UINT cArgs) {
    if (!m_hWnd) return;
    fw::ControlEventBlock* pBlock = fw::AllocControlEvent(dispid);
    if (!pBlock) return;
    if (cArgs >= 1) {
        pBlock->args[0].vt = VT_I4;
        pBlock->args[0].lVal = nArg;
    }
    if (cArgs >= 2) {
        pBlock->args[1].vt = VT_BSTR;
        pBlock->args[1].bstrVal = fw::AnsiToBstr(pszText ? pszText : "");
    }
    pBlock->cArgs = cArgs;
    fw::PostControlEvent(::GetParent(m_hWnd), static_cast<UINT>(::GetDlgCtrlID(m_hWnd)), pBlock);
}

void CMp3PlayControl::PostPosition(uint64_t frame) {
    frame = std::min<uint64_t>(frame, FrameCount());
    if (static_cast<int64_t>(frame) == m_lastPosted) return;
    m_lastPosted = static_cast<int64_t>(frame);
    PostEvent(kEventPosition, static_cast<long>(frame), nullptr, 1);
}

void CMp3PlayControl::OnPositionTimer() {
    if (m_state != State::Running || !m_strTarget.empty()) return;
    PostPosition(m_engine.AudibleFrame());
}

void CMp3PlayControl::OnWorkerMessage(UINT message, UINT nGeneration, LPARAM lParam) {
    if (nGeneration != m_nGeneration || m_state == State::Closed || m_state == State::Ready) return;
    switch (message) {
    case kMsgWorkerProgress:
        PostPosition(static_cast<uint64_t>(lParam));
        break;
    case kMsgWorkerError:
        PostEvent(kEventError, static_cast<long>(lParam), EngineErrorText(static_cast<long>(lParam)), 2);
        break;
    case kMsgWorkerEnded:
        if (m_strTarget.empty()) PostPosition(FrameCount());
        FinishRun();
        m_decoder.SeekFrame(0);
        PostEvent(kEventEnd);
        break;
    default:
        break;
    }
}

CMp3PlayControl* ControlOf(HWND hWnd) {
    return reinterpret_cast<CMp3PlayControl*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

LRESULT CALLBACK ControlWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* pControl = new (std::nothrow) CMp3PlayControl(hWnd);
        if (!pControl) return FALSE;
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pControl));
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    CMp3PlayControl* pControl = ControlOf(hWnd);
    if (!pControl) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == fw::ControlGetDispatchMessage()) {
        pControl->AddRef();
        return reinterpret_cast<LRESULT>(static_cast<IDispatch*>(pControl));
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == kPositionTimer) pControl->OnPositionTimer();
        return 0;
    case kMsgWorkerProgress:
    case kMsgWorkerEnded:
    case kMsgWorkerError:
        pControl->OnWorkerMessage(message, static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        pControl->Shutdown();
        pControl->Release();
        return 0;
    default:
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(hInstance);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        // Global: dialog templates of any module in the process can place it.
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = ControlWndProc;
        wc.hInstance = hInstance;
        wc.lpszClassName = kWndClass;
        return ::RegisterClassExA(&wc) != 0;
    }
    if (dwReason == DLL_PROCESS_DETACH) ::UnregisterClassA(kWndClass, hInstance);
    return TRUE;
}
