#include "WaveInfoDlg.h"

#include "InfoText.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/MoreInfoIds.h"

namespace {

constexpr long kSecondsPerMinute = 60;
constexpr DWORD kMonoChannels = 1;
constexpr DWORD kStereoChannels = 2;
const char kUnknownChannels[] = "???";

CString ChannelsText(DWORD dwChannels) {
    if (dwChannels == kMonoChannels) return LoadText(IDS_CHANNELS_MONO);
    if (dwChannels == kStereoChannels) return LoadText(IDS_CHANNELS_STEREO);
    return kUnknownChannels;
}

}  // namespace

CWaveInfoDlg::CWaveInfoDlg(CWnd* pParent) : CDialog(IDD_WAVE_INFO, pParent) {}

BOOL CWaveInfoDlg::OnInitDialog() {
    SetDlgItemText(IDC_INFO_PATH, m_strPath);
    // A row the list does not hold leaves the templates as they are.
    const CSongEntry* pEntry = m_pSongs ? m_pSongs->GetAt(m_nRow) : nullptr;
    if (pEntry) ShowEntry(*pEntry);
    return TRUE;
}

void CWaveInfoDlg::ShowEntry(const CSongEntry& entry) {
    FillStatic(this, IDC_INFO_FILE_SIZE, RoundedKb(entry.m_dwSize));
    const long nSeconds = entry.m_nLength > 0 ? entry.m_nLength : 0;
    FillStatic(this, IDC_INFO_LENGTH, static_cast<int>(nSeconds / kSecondsPerMinute),
               static_cast<int>(nSeconds % kSecondsPerMinute));
    FillStatic(this, IDC_INFO_BITRATE, static_cast<int>(entry.m_dwBitsPerSample));
    FillStatic(this, IDC_INFO_FREQUENCY, static_cast<int>(entry.m_dwSamplesPerSec));
    AppendStatic(this, IDC_INFO_CHANNELS, ChannelsText(entry.m_dwChannels));
    FillStatic(this, IDC_INFO_AVG_BYTES, static_cast<long>(entry.m_dwAvgBytesPerSec));
}
