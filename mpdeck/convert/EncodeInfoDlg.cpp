#include "EncodeInfoDlg.h"

#include <cstdlib>

#include "ConvertJobs.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "mpdeck/ConvertIds.h"

using namespace convert;

namespace {

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

BEGIN_MESSAGE_MAP(CEncodeInfoDlg, CJobInfoDlg)
    ON_CBN_SELCHANGE(IDC_CONV_SAMPLERATE, OnSampleRateChange)
END_MESSAGE_MAP()

CEncodeInfoDlg::CEncodeInfoDlg() : CJobInfoDlg(IDD_ENCODE_INFO) {}

BOOL CEncodeInfoDlg::OnInitDialog() {
    m_hJobs = JobList(FindPage(GetOwner(), kEncodePageTemplate));
    m_nRow = m_hJobs ? NextSelectedJob(m_hJobs, -1) : -1;
    CString strSource;
    if (HasRow()) {
        strSource = JobText(m_hJobs, m_nRow, kColSource);
        SetDlgItemText(IDC_CONV_SOURCE, strSource);
        SetDlgItemText(IDC_CONV_TARGET, JobText(m_hJobs, m_nRow, kColTarget));
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
    FillBitRates(HasRow() ? JobText(m_hJobs, m_nRow, kColBitRate) : CString());
    FillDetails(strSource);
    m_wave.Close();
    return TRUE;
}

void CEncodeInfoDlg::FillBitRates(const CString& strWanted) {
    CString strRate;
    const long nRate = SelectedText(GetDlgItem(IDC_CONV_SAMPLERATE), strRate) ? std::atol(strRate) : 0;
    const long nWanted = std::atol(strWanted);
    SendDlgItemMessage(IDC_CONV_BITRATE, CB_RESETCONTENT);
    LRESULT nChoice = CB_ERR;
    for (const long nBitRate : OfferedBitRates(nRate)) {
        CString strBitRate;
        strBitRate.Format("%ld", nBitRate);
        const LRESULT nIndex = SendDlgItemMessage(IDC_CONV_BITRATE, CB_ADDSTRING, 0,
                                                  reinterpret_cast<LPARAM>(strBitRate.GetString()));
        if (nBitRate <= nWanted) nChoice = nIndex;
    }
    // A job's text that names no rate (none when the dialog has no row) stays unchosen.
    if (nWanted > 0) SendDlgItemMessage(IDC_CONV_BITRATE, CB_SETCURSEL, static_cast<WPARAM>(nChoice));
}

void CEncodeInfoDlg::OnSampleRateChange() {
    CString strBitRate;
    SelectedText(GetDlgItem(IDC_CONV_BITRATE), strBitRate);
    FillBitRates(strBitRate);
}

// Each rate offered is one the encoder writes for this source. A rate of 0 means the
// format could not be read: the choice of a 44100 Hz source then, never a rate of 0.
void CEncodeInfoDlg::FillSampleRates(DWORD dwSourceRate) {
    for (const long nRate : OfferedSampleRates(static_cast<long>(dwSourceRate))) {
        CString strRate;
        strRate.Format("%ld", nRate);
        SendDlgItemMessage(IDC_CONV_SAMPLERATE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strRate.GetString()));
    }
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
