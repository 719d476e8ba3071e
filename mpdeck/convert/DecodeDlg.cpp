#include "DecodeDlg.h"

#include "ConvertJobs.h"
#include "DecodeInfoDlg.h"
#include "TelmarIds.h"

namespace {

constexpr int kSongMpeg = 2;

const SkinButtonPlace kButtons[CBatchPage::kBatchButtonCount] = {
    {IDC_DECODE_START, 9, 8, 54, 49, {496, 20}, {496, 70}},
    {IDC_DECODE_STOP, 75, 8, 54, 49, {441, 20}, {441, 70}},
    {IDC_BATCH_ADD, 141, 8, 54, 49, {110, 20}, {110, 70}},
    {IDC_BATCH_REMOVE, 207, 8, 54, 49, {165, 20}, {165, 70}},
    {IDC_BATCH_MORE_INFO, 273, 8, 54, 49, {220, 20}, {220, 70}},
    {IDC_BATCH_AUDITION, 339, 8, 54, 49, {276, 20}, {276, 70}},
    {IDCANCEL, 405, 8, 54, 49, {331, 20}, {CSkinButton::kNoDisabledImage, 0}},
};

const BatchTip kTips[] = {
    {IDCANCEL, IDS_TIP_CLOSE},
    {IDC_BATCH_ELAPSED, IDS_TIP_DEC_ELAPSED},
    {IDC_BATCH_VIEW_LOG, IDS_TIP_VIEW_LOG},
    {IDC_BATCH_COMPLETION, IDS_TIP_DEC_COMPLETION},
    {IDC_BATCH_FILE_NUMBER, IDS_TIP_DEC_FILE_NUMBER},
    {IDC_BATCH_AUDITION, IDS_TIP_DEC_AUDITION},
    {IDC_BATCH_MORE_INFO, IDS_TIP_DEC_MORE_INFO},
    {IDC_BATCH_LOG_FILE, IDS_TIP_DEC_LOG_FILE},
    {IDC_BATCH_ADD, IDS_TIP_DEC_ADD},
    {IDC_BATCH_REMOVE, IDS_TIP_REMOVE_FILES},
    {IDC_DECODE_START, IDS_TIP_DEC_START},
    {IDC_DECODE_STOP, IDS_TIP_DEC_STOP},
};

const BatchPageTexts kTexts = {
    IDC_DECODE_START, IDC_DECODE_STOP, IDS_DEC_LOG_FILE, IDS_DEC_LOG_HEADER, IDS_DEC_LOG_ELAPSED,
    IDS_DEC_LOG_STOPPED, IDS_DEC_LOG_FINISHED, IDS_DEC_LOG_SOURCE_DELETED, IDS_DEC_LOG_NO_SOURCE,
    IDS_DEC_ASK_CLOSE_RUNNING, IDS_DEC_DONE_WITH_PROBLEMS, IDS_DEC_DONE, IDS_ADD_MP3S_TITLE, IDS_WAVE_SUFFIX,
    {IDS_MP3_FILTER_NAME, IDS_MP3_PATTERNS, IDS_ALL_FILTER_NAME, IDS_ALL_PATTERN},
    IDS_TIP_DELETE_MP3_ON, IDS_TIP_DELETE_MP3_OFF,
};

}  // namespace

BEGIN_MESSAGE_MAP(CDecodeDlg, CBatchPage)
    ON_BN_CLICKED(IDC_DECODE_START, OnStart)
    ON_BN_CLICKED(IDC_DECODE_STOP, OnStop)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CDecodeDlg, CBatchPage)
    ON_EVENT(CDecodeDlg, IDC_BATCH_MP3_CONTROL, CMp3Play::kEventPosition, OnDecoderProgress, VTS_I4)
    ON_EVENT(CDecodeDlg, IDC_BATCH_MP3_CONTROL, CMp3Play::kEventEnd, OnDecoderDone, VTS_NONE)
    ON_EVENT(CDecodeDlg, IDC_BATCH_MP3_CONTROL, CMp3Play::kEventError, OnDecoderError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

CDecodeDlg::CDecodeDlg() : CBatchPage(IDD, kTexts, kButtons, kTips, static_cast<int>(std::size(kTips))) {}

BOOL CDecodeDlg::OnInitDialog() {
    m_mp3Play.SubclassDlgItem(IDC_BATCH_MP3_CONTROL, this);
    return CBatchPage::OnInitDialog();
}

void CDecodeDlg::InsertColumns(int nListWidth) {
    m_jobs.InsertColumn(kBatchSource, "Source (.mp3)", LVCFMT_LEFT, nListWidth / 2);
    m_jobs.InsertColumn(kBatchTarget, "Target (.wav)", LVCFMT_LEFT, nListWidth / 2);
}

BOOL CDecodeDlg::StartJob(int nRow, const CString& strSource) {
    const CString strTarget = m_jobs.GetItemText(nRow, kBatchTarget);
    // Every unusable target is logged with its reason; creating the source's own name
    // would empty the source.
    const convert::TargetProblem problem = convert::FindTargetProblem(strSource, strTarget);
    if (problem == convert::kTargetNotAFile) {
        Log(IDS_DEC_LOG_BAD_TARGET, strSource.GetString(), strTarget.GetString());
        return FALSE;
    }
    if (problem != convert::kTargetFine) {
        Log(IDS_DEC_LOG_FAILED, strSource.GetString(),
            FormatText(convert::TargetProblemText(problem), strTarget).GetString());
        return FALSE;
    }
    if (m_mp3Play.Open(strSource, strTarget) != 0) {
        Log(IDS_DEC_LOG_REFUSED, strSource.GetString());
        return FALSE;
    }
    const short nStatus = m_mp3Play.Play();
    if (nStatus == 0) {
        Log(IDS_DEC_LOG_STARTED, strSource.GetString(), strTarget.GetString());
        return TRUE;
    }
    m_mp3Play.Stop();
    Log(IDS_DEC_LOG_START_FAILED, strTarget.GetString(), static_cast<int>(nStatus));
    OnJobAbandoned(strTarget);
    return FALSE;
}

void CDecodeDlg::OnUnreadableSource(const CString& strSource) {
    Log(IDS_DEC_LOG_SOURCE_MISSING, strSource.GetString());
}

long CDecodeDlg::ProgressTotal() {
    return m_mp3Play.GetFrames();
}

void CDecodeDlg::StopConversion() {
    m_mp3Play.Stop();
}

void CDecodeDlg::OnJobAbandoned(const CString&) {
    // Closing drops what a cut-off decode wrote; an earlier target stays as it was.
    m_mp3Play.Close();
}

void CDecodeDlg::ShowMoreInfo(int) {
    CDecodeInfoDlg dlg;
    dlg.DoModal();
}

long CDecodeDlg::AuditionSeconds(const CString& strSource) {
    const long nSeconds = m_mp3Play.ScanLengthSeconds(strSource);
    return nSeconds > 0 ? nSeconds : 0;
}

int CDecodeDlg::AuditionType() const {
    return kSongMpeg;
}

void CDecodeDlg::OnDecoderProgress(long nPosition) {
    OnProgress(nPosition);
}

void CDecodeDlg::OnDecoderDone() {
    OnFileDone();
}

void CDecodeDlg::OnDecoderError(long nCode, LPCSTR lpszText) {
    if (!IsRunning()) return;
    const CString strSource = m_jobs.GetItemText(CurrentIndex(), kBatchSource);
    if (nCode == mp3play::kErrorDamaged) {
        OnJobDamaged(FormatText(IDS_DEC_LOG_DAMAGED, strSource, CString(lpszText)));
        return;
    }
    Log(IDS_DEC_LOG_FAILED, strSource.GetString(), lpszText);
    OnJobError();
}
