#include "EncodeDlg.h"

#include <cstdlib>

#include "ConvertJobs.h"
#include "EncodeInfoDlg.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "WaveDevice.h"

namespace {

constexpr int kDefaultBitRate = 128;
constexpr long kLowRateCeiling = 22050;  // above this the rate is asked for directly
constexpr long kFullRate = 44100;        // below this the encoder takes its low rates
constexpr int kSongWave = 1;

const SkinButtonPlace kButtons[CBatchPage::kBatchButtonCount] = {
    {IDC_ENCODE_START, 9, 8, 54, 49, {386, 20}, {386, 70}},
    {IDC_ENCODE_STOP, 75, 8, 54, 49, {441, 20}, {441, 70}},
    {IDC_BATCH_ADD, 141, 8, 54, 49, {110, 20}, {110, 70}},
    {IDC_BATCH_REMOVE, 207, 8, 54, 49, {165, 20}, {165, 70}},
    {IDC_BATCH_MORE_INFO, 273, 8, 55, 49, {220, 20}, {220, 70}},
    {IDC_BATCH_AUDITION, 339, 8, 54, 49, {276, 20}, {276, 70}},
    {IDCANCEL, 405, 8, 54, 49, {331, 20}, {CSkinButton::kNoDisabledImage, 0}},
};

const BatchTip kTips[] = {
    {IDCANCEL, IDS_TIP_CLOSE},
    {IDC_BATCH_ELAPSED, IDS_TIP_ENC_ELAPSED},
    {IDC_BATCH_VIEW_LOG, IDS_TIP_VIEW_LOG},
    {IDC_BATCH_COMPLETION, IDS_TIP_ENC_COMPLETION},
    {IDC_BATCH_FILE_NUMBER, IDS_TIP_ENC_FILE_NUMBER},
    {IDC_BATCH_AUDITION, IDS_TIP_ENC_AUDITION},
    {IDC_BATCH_MORE_INFO, IDS_TIP_ENC_MORE_INFO},
    {IDC_BATCH_LOG_FILE, IDS_TIP_ENC_LOG_FILE},
    {IDC_BATCH_ADD, IDS_TIP_ENC_ADD},
    {IDC_BATCH_REMOVE, IDS_TIP_REMOVE_FILES},
    {IDC_ENCODE_START, IDS_TIP_ENC_START},
    {IDC_ENCODE_STOP, IDS_TIP_ENC_STOP},
};

const BatchPageTexts kTexts = {
    IDC_ENCODE_START, IDC_ENCODE_STOP, IDS_ENC_LOG_FILE, IDS_ENC_LOG_HEADER, IDS_ENC_LOG_ELAPSED,
    IDS_ENC_LOG_STOPPED, IDS_ENC_LOG_FINISHED, IDS_ENC_LOG_SOURCE_DELETED, IDS_ENC_LOG_NO_SOURCE,
    IDS_ENC_ASK_CLOSE_RUNNING, IDS_ENC_DONE_WITH_PROBLEMS, IDS_ENC_DONE, IDS_ADD_WAVES_TITLE, IDS_MP3_SUFFIX,
    {IDS_WAVE_FILTER_NAME, IDS_WAVE_PATTERN, IDS_ALL_FILTER_NAME, IDS_ALL_PATTERN},
    IDS_TIP_DELETE_WAVE_ON, IDS_TIP_DELETE_WAVE_OFF,
};

long CellNumber(const CListCtrl& list, int nRow, int nColumn) {
    return std::atol(list.GetItemText(nRow, nColumn));
}

}  // namespace

BEGIN_MESSAGE_MAP(CEncodeDlg, CBatchPage)
    ON_BN_CLICKED(IDC_ENCODE_START, OnStart)
    ON_BN_CLICKED(IDC_ENCODE_STOP, OnStop)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CEncodeDlg, CBatchPage)
    ON_EVENT(CEncodeDlg, IDC_BATCH_ENC_CONTROL, CMp3Enc::kEventProgress, OnEncoderProgress, VTS_I4)
    ON_EVENT(CEncodeDlg, IDC_BATCH_ENC_CONTROL, CMp3Enc::kEventDone, OnEncoderDone, VTS_NONE)
    ON_EVENT(CEncodeDlg, IDC_BATCH_ENC_CONTROL, CMp3Enc::kEventError, OnEncoderError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

CEncodeDlg::CEncodeDlg() : CBatchPage(IDD, kTexts, kButtons, kTips, static_cast<int>(std::size(kTips))) {}

BOOL CEncodeDlg::OnInitDialog() {
    m_encoder.SubclassDlgItem(IDC_BATCH_ENC_CONTROL, this);
    m_mp3Play.SubclassDlgItem(IDC_BATCH_MP3_CONTROL, this);
    return CBatchPage::OnInitDialog();
}

void CEncodeDlg::InsertColumns(int nListWidth) {
    m_jobs.InsertColumn(kBatchSource, "Source (.wav)", LVCFMT_LEFT, nListWidth * 2 / 6);
    m_jobs.InsertColumn(kBatchTarget, "Target (.mp3)", LVCFMT_LEFT, nListWidth * 2 / 6);
    m_jobs.InsertColumn(kBatchBitRate, "BitRate", LVCFMT_LEFT, nListWidth / 6);
    m_jobs.InsertColumn(kBatchSampleRate, "SampleRate", LVCFMT_LEFT, nListWidth / 6);
}

void CEncodeDlg::FillOptions(int nRow, const CString& strSource) {
    CString strRate;
    strRate.Format("%d", kDefaultBitRate);
    m_jobs.SetItemText(nRow, kBatchBitRate, strRate);
    CWaveDevice wave;
    wave.m_strPath = strSource;
    const DWORD dwRate = wave.ReadInfo() ? wave.m_dwSamplesPerSec : 0;
    wave.Close();
    strRate.Format("%d", static_cast<int>(dwRate));
    m_jobs.SetItemText(nRow, kBatchSampleRate, strRate);
}

BOOL CEncodeDlg::StartJob(int nRow, const CString& strSource) {
    const CString strTarget = m_jobs.GetItemText(nRow, kBatchTarget);
    const convert::TargetProblem problem = convert::FindTargetProblem(strSource, strTarget);
    if (problem == convert::kTargetNotAFile) {
        Log(IDS_ENC_LOG_BAD_TARGET, strSource.GetString());
        return FALSE;
    }
    // The control would only refuse the pair; the log names the reason.
    if (problem != convert::kTargetFine) {
        Log(IDS_ENC_LOG_FAILED, strSource.GetString(),
            FormatText(convert::TargetProblemText(problem), strTarget).GetString());
        return FALSE;
    }
    if (m_encoder.OpenFiles(strSource, strTarget) != 0) {
        Log(IDS_ENC_LOG_REFUSED, strSource.GetString());
        return FALSE;
    }
    m_encoder.SetBitRate(CellNumber(m_jobs, nRow, kBatchBitRate));
    const long nRate = CellNumber(m_jobs, nRow, kBatchSampleRate);
    if (nRate > kLowRateCeiling) m_encoder.SetSampleRate(nRate);
    if (nRate < kFullRate) m_encoder.SetLowRate(TRUE);
    const short nStatus = m_encoder.StartEncode();
    if (nStatus == 0) {
        Log(IDS_ENC_LOG_STARTED, strSource.GetString(), strTarget.GetString());
        return TRUE;
    }
    m_encoder.StopEncode();
    Log(IDS_ENC_LOG_START_FAILED, strSource.GetString(), static_cast<int>(nStatus));
    return FALSE;
}

long CEncodeDlg::ProgressTotal() {
    return m_encoder.GetTotal();
}

void CEncodeDlg::StopConversion() {
    m_encoder.StopEncode();
}

void CEncodeDlg::ShowMoreInfo(int) {
    CEncodeInfoDlg dlg;
    dlg.DoModal();
}

long CEncodeDlg::AuditionSeconds(const CString& strSource) {
    CWaveDevice wave;
    wave.m_strPath = strSource;
    const long nSeconds = wave.ReadInfo() ? static_cast<long>(wave.m_dwLengthSeconds) : 0;
    wave.Close();
    return nSeconds;
}

int CEncodeDlg::AuditionType() const {
    return kSongWave;
}

void CEncodeDlg::OnEncoderProgress(long nPosition) {
    OnProgress(nPosition);
}

void CEncodeDlg::OnEncoderDone() {
    OnFileDone();
}

void CEncodeDlg::OnEncoderError(long, LPCSTR lpszText) {
    if (!IsRunning()) return;
    Log(IDS_ENC_LOG_FAILED, m_jobs.GetItemText(CurrentIndex(), kBatchSource).GetString(), lpszText);
    OnJobError();
}
