#include "Mp3Enc.h"

using namespace mp3enc;

BOOL CMp3Enc::Register() { return fw::RegisterControlClass(kControlClass); }

void CMp3Enc::SetBitRate(long nKbps) { SetProp(kPropBitRate, nKbps); }
void CMp3Enc::SetSampleRate(long nHz) { SetProp(kPropSampleRate, nHz); }
void CMp3Enc::SetLowRate(BOOL bLow) { SetProp(kPropLowRate, bLow != FALSE); }

short CMp3Enc::OpenFiles(LPCSTR lpszSource, LPCSTR lpszTarget) {
    return Call<short>(kMethodOpenFiles, lpszSource, lpszTarget);
}
short CMp3Enc::StartEncode() { return Call<short>(kMethodStartEncode); }
short CMp3Enc::StopEncode() { return Call<short>(kMethodStopEncode); }
long CMp3Enc::GetTotal() { return Call<long>(kMethodGetTotal); }
