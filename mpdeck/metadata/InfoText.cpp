#include "InfoText.h"

#include "TelmarIds.h"

namespace {

constexpr DWORD kBytesPerKb = 1024;
constexpr DWORD kHalfKb = 512;
constexpr long kBitsPerKbit = 1000;

}  // namespace

long RoundedKb(DWORD dwBytes) {
    return static_cast<long>(dwBytes / kBytesPerKb + (dwBytes % kBytesPerKb >= kHalfKb ? 1 : 0));
}

LPCSTR YesNoText(BOOL bValue) {
    return bValue ? "Yes" : "No";
}

UINT MpegChannelModeText(short nMode) {
    switch (nMode) {
    case 0: return IDS_CHANNELS_STEREO;
    case 1: return IDS_CHANNELS_JOINT_STEREO;
    case 2: return IDS_CHANNELS_DUAL;
    case 3: return IDS_CHANNELS_MONO;
    default: return 0;
    }
}

int KbitPerSecond(long nBitsPerSecond) {
    return static_cast<int>((nBitsPerSecond + kBitsPerKbit / 2) / kBitsPerKbit);
}

void AppendStatic(CWnd* pDlg, int nID, LPCSTR lpszText) {
    CString strText;
    pDlg->GetDlgItemText(nID, strText);
    pDlg->SetDlgItemText(nID, strText + lpszText);
}
