#include "Mp3Play.h"

using namespace mp3play;

namespace {

constexpr long kMsPerSecond = 1000;

}  // namespace

BOOL CMp3Play::Register() { return fw::RegisterControlClass(kControlClass); }

long CMp3Play::GetFrames() { return GetProp<long>(kPropFrames); }
BOOL CMp3Play::GetCopyright() { return GetProp<BOOL>(kPropCopyright); }
BOOL CMp3Play::GetOriginal() { return GetProp<BOOL>(kPropOriginal); }
BOOL CMp3Play::GetCrc() { return GetProp<BOOL>(kPropCrc); }
short CMp3Play::GetLayer() { return GetProp<short>(kPropLayer); }
long CMp3Play::GetFrequency() { return GetProp<long>(kPropFrequency); }
long CMp3Play::GetBitRate() { return GetProp<long>(kPropBitRate); }
short CMp3Play::GetVersion() { return GetProp<short>(kPropVersion); }
float CMp3Play::GetFrameDuration() { return GetProp<float>(kPropFrameMs); }
long CMp3Play::GetLength() { return GetProp<long>(kPropLengthMs); }
short CMp3Play::GetChannelMode() { return GetProp<short>(kPropChannelMode); }

short CMp3Play::Open(LPCSTR lpszSource, LPCSTR lpszTarget) { return Call<short>(kMethodOpen, lpszSource, lpszTarget); }
short CMp3Play::Play() { return Call<short>(kMethodPlay); }
short CMp3Play::Pause() { return Call<short>(kMethodPause); }
short CMp3Play::Seek(long nFrame) { return Call<short>(kMethodSeek, nFrame); }
short CMp3Play::Stop() { return Call<short>(kMethodStop); }
short CMp3Play::Close() { return Call<short>(kMethodClose); }
short CMp3Play::Queue(LPCSTR lpszPath) { return Call<short>(kMethodQueue, lpszPath); }

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
