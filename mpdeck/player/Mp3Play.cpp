#include "Mp3Play.h"
#include "Mp3PlayDispIds.h"

using namespace mp3play;

namespace {

constexpr long kMsPerSecond = 1000;

}  // namespace

long CMp3Play::GetLongProperty(DISPID dispid) {
    long value = 0;
    GetProperty(dispid, VT_I4, &value);
    return value;
}

short CMp3Play::GetShortProperty(DISPID dispid) {
    short value = 0;
    GetProperty(dispid, VT_I2, &value);
    return value;
}

BOOL CMp3Play::GetBoolProperty(DISPID dispid) {
    BOOL value = FALSE;
    GetProperty(dispid, VT_BOOL, &value);
    return value;
}

short CMp3Play::CallMethod(DISPID dispid) {
    short status = kStatusNoControl;
    if (FAILED(InvokeHelper(dispid, DISPATCH_METHOD, VT_I2, &status, nullptr))) return kStatusNoControl;
    return status;
}

long CMp3Play::GetFrames() { return GetLongProperty(kPropFrames); }
BOOL CMp3Play::GetCopyright() { return GetBoolProperty(kPropCopyright); }
BOOL CMp3Play::GetOriginal() { return GetBoolProperty(kPropOriginal); }
BOOL CMp3Play::GetCrc() { return GetBoolProperty(kPropCrc); }
short CMp3Play::GetLayer() { return GetShortProperty(kPropLayer); }
long CMp3Play::GetFrequency() { return GetLongProperty(kPropFrequency); }
long CMp3Play::GetBitRate() { return GetLongProperty(kPropBitRate); }
short CMp3Play::GetVersion() { return GetShortProperty(kPropVersion); }
long CMp3Play::GetLength() { return GetLongProperty(kPropLengthMs); }
short CMp3Play::GetChannelMode() { return GetShortProperty(kPropChannelMode); }

float CMp3Play::GetFrameDuration() {
    float value = 0;
    GetProperty(kPropFrameMs, VT_R4, &value);
    return value;
}

short CMp3Play::Open(LPCSTR lpszSource, LPCSTR lpszTarget) {
    static const BYTE kParams[] = VTS_BSTR VTS_BSTR;
    short status = kStatusNoControl;
    if (FAILED(InvokeHelper(kMethodOpen, DISPATCH_METHOD, VT_I2, &status, kParams, lpszSource ? lpszSource : "",
                            lpszTarget ? lpszTarget : "")))
        return kStatusNoControl;
    return status;
}

short CMp3Play::Play() { return CallMethod(kMethodPlay); }
short CMp3Play::Pause() { return CallMethod(kMethodPause); }
short CMp3Play::Stop() { return CallMethod(kMethodStop); }
short CMp3Play::Close() { return CallMethod(kMethodClose); }

short CMp3Play::Seek(long nFrame) {
    static const BYTE kParams[] = VTS_I4;
    short status = kStatusNoControl;
    if (FAILED(InvokeHelper(kMethodSeek, DISPATCH_METHOD, VT_I2, &status, kParams, nFrame))) return kStatusNoControl;
    return status;
}

short CMp3Play::OpenAndPlay(LPCSTR lpszPath) {
    short status = Open(lpszPath, "");
    if (status != 0) return status;
    status = Seek(0);
    if (status != 0) return status;
    return Play();
}

long CMp3Play::ScanLengthSeconds(LPCSTR lpszPath) {
    if (Open(lpszPath, "") != 0) return -1;
    const long nSeconds = GetLength() / kMsPerSecond;
    Close();
    return nSeconds;
}

long CMp3Play::ElapsedSeconds(long nFrame) {
    if (GetFrames() == 0) return 0;
    return static_cast<long>(GetFrameDuration() * static_cast<float>(nFrame) / kMsPerSecond);
}

long CMp3Play::FrameForSecond(long nSecond, float fFrameMs) {
    if (nSecond == 0) return 0;
    const long nDivisor = static_cast<long>(fFrameMs);
    if (nDivisor < 1) return -1;
    return nSecond * kMsPerSecond / nDivisor;
}

short CMp3Play::SeekToSecond(long nSecond) {
    const long nFrame = FrameForSecond(nSecond, GetFrameDuration());
    if (nFrame < 0) return kStatusNoControl;
    const short status = Seek(nFrame);
    if (status != 0) return status;
    return Pause();
}
