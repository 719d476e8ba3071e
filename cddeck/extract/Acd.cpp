#include "Acd.h"

using namespace acd;

BOOL CACD::Register() { return fw::RegisterControlClass(kControlClass); }

short CACD::InitRipper() { return Call<short>(kMethodInitRipper); }
short CACD::SetupRipper(short nArgument) { return Call<short>(kMethodSetupRipper, nArgument); }
short CACD::RipTrack(short nTrack, LPCSTR lpszTarget) { return Call<short>(kMethodRipTrack, nTrack, lpszTarget); }
short CACD::StopRip() { return Call<short>(kMethodStopRip); }
DWORD CACD::GetRipCheck(short nKind) { return static_cast<DWORD>(Call<long>(kMethodGetRipCheck, nKind)); }
CString CACD::GetSourceName() { return Call<CString>(kMethodGetSourceName); }
