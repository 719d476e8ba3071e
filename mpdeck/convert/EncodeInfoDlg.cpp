#include "EncodeInfoDlg.h"

#include "ConvertJobs.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/ConvertIds.h"

using namespace convert;

namespace {

const char* const kBitRates[] = {"32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "192", "224", "256", "320"};
const char* const kFullRates[] = {"22050", "44100", "48000"};
constexpr DWORD kLowestFullRate = 44100;
constexpr long kSecondsPerMinute = 60;
constexpr int kMaxChoiceChars = 16;

DWORD FileBytes(const CString& strPath) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExA(strPath, GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeHigh ? MAXDWORD : data.nFileSizeLow;
}

// The text of a drop-down list's selection; FALSE without one.
BOOL SelectedText(CWnd* pCombo, CString& strText) {
    if (!pCombo) return FALSE;
    const LRESULT nSel = pCombo->SendMessage(CB_GETCURSEL);
    if (nSel == CB_ERR) return FALSE;
    char szText[kMaxChoiceChars] = {};
    if (pCombo->SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(nSel)) >= kMaxChoiceChars) return FALSE;
    pCombo->SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(szText));
    strText = szText;
    return TRUE;
}

}  // namespace

CEncodeInfoDlg::CEncodeInfoDlg() : CJobInfoDlg(IDD_ENCODE_INFO) {}

BOOL CEncodeInfoDlg::OnInitDialog() {
    FillBitRates();
    m_hJobs = JobList(FindPage(GetOwner(), kEncodePageTemplate));
    m_nRow = m_hJobs ? NextSelectedJob(m_hJobs, -1) : -1;
    CString strSource;
    if (HasRow()) {
        strSource = JobText(m_hJobs, m_nRow, kColSource);
        SetDlgItemText(IDC_CONV_SOURCE, strSource);
        SetDlgItemText(IDC_CONV_TARGET, JobText(m_hJobs, m_nRow, kColTarget));
        // From the top, the prefix lookup meets each exact value before a longer one.
        SendDlgItemMessage(IDC_CONV_BITRATE, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(JobText(m_hJobs, m_nRow, kColBitRate).GetString()));
        m_wave.m_strPath = strSource;
        m_wave.Open();
    }
    FillSampleRates(m_wave.m_dwSamplesPerSec);
    if (HasRow()) {
        const CString strRate = JobText(m_hJobs, m_nRow, kColSampleRate);
        const LRESULT nFound = SendDlgItemMessage(IDC_CONV_SAMPLERATE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(strRate.GetString()));
        SendDlgItemMessage(IDC_CONV_SAMPLERATE, CB_SETCURSEL, nFound == CB_ERR ? 0 : static_cast<WPARAM>(nFound));
    }
    FillDetails(strSource);
    m_wave.Close();
    return TRUE;
}

void CEncodeInfoDlg::FillBitRates() {
    for (const char* pszRate : kBitRates)
        SendDlgItemMessage(IDC_CONV_BITRATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszRate));
}

// A source below 44100 Hz can only be encoded at its own rate. A rate of 0 means the
// format could not be read: the full choice then, never a rate of 0.
void CEncodeInfoDlg::FillSampleRates(DWORD dwSourceRate) {
    if (dwSourceRate > 0 && dwSourceRate < kLowestFullRate) {
        CString strRate;
        strRate.Format("%d", static_cast<int>(dwSourceRate));
        SendDlgItemMessage(IDC_CONV_SAMPLERATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strRate.GetString()));
        return;
    }
    for (const char* pszRate : kFullRates)
        SendDlgItemMessage(IDC_CONV_SAMPLERATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszRate));
}

void CEncodeInfoDlg::FillDetails(const CString& strSource) {
    const long nSeconds = static_cast<long>(m_wave.m_dwLengthSeconds);
    FillStatic(this, IDC_CONV_FILE_SIZE, RoundedKb(strSource.IsEmpty() ? 0 : FileBytes(strSource)));
    FillStatic(this, IDC_CONV_LENGTH, static_cast<int>(nSeconds / kSecondsPerMinute),
               static_cast<int>(nSeconds % kSecondsPerMinute));
    FillStatic(this, IDC_CONV_BITS, static_cast<int>(m_wave.m_dwBitsPerSample));
    FillStatic(this, IDC_CONV_FREQUENCY, static_cast<int>(m_wave.m_dwSamplesPerSec));
    const DWORD dwChannels = m_wave.m_dwChannels;
    const CString strChannels = dwChannels == 1 ? LoadText(IDS_CHANNELS_MONO)
                                : dwChannels == 2 ? LoadText(IDS_CHANNELS_STEREO)
                                                  : CString("???");
    AppendStatic(this, IDC_CONV_CHANNELS, strChannels);
}

void CEncodeInfoDlg::ApplyOptions(const CString& strTarget) {
    if (!HasRow()) return;
    SetJobText(m_hJobs, m_nRow, kColTarget, strTarget);
    CString strText;
    if (SelectedText(GetDlgItem(IDC_CONV_BITRATE), strText)) SetJobText(m_hJobs, m_nRow, kColBitRate, strText);
    if (SelectedText(GetDlgItem(IDC_CONV_SAMPLERATE), strText)) SetJobText(m_hJobs, m_nRow, kColSampleRate, strText);
}
