#include "BatchPage.h"

#include <shellapi.h>

#include <iterator>
#include <vector>

#include "ConvertJobs.h"
#include "PlayerLink.h"
#include "LogViewDlg.h"
#include "SkinApp.h"
#include "SkinFiles.h"
#include "SkinMessages.h"
#include "TelmarIds.h"
#include "mpdeck/BatchPageIds.h"

namespace {

constexpr long long kPercent = 100;
constexpr long long kSecondsPerHour = 3600;
constexpr long long kSecondsPerMinute = 60;

BOOL EndsWithBackslash(const CString& str) {
    return !str.IsEmpty() && str[str.GetLength() - 1] == '\\';
}

// The extension as it is split off a path: from the last dot of the file name on.
int ExtensionStart(const CString& strPath) {
    const int nDot = strPath.ReverseFind('.');
    const int nSlash = strPath.ReverseFind('\\');
    return nDot > nSlash ? nDot : -1;
}

}  // namespace

BEGIN_MESSAGE_MAP(CBatchPage, CPropertyPage)
    ON_WM_MOUSEMOVE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_BATCH_ADD, OnAdd)
    ON_BN_CLICKED(IDC_BATCH_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_BATCH_MORE_INFO, OnMoreInfo)
    ON_BN_CLICKED(IDC_BATCH_AUDITION, OnAudition)
    ON_BN_CLICKED(IDC_BATCH_VIEW_LOG, OnViewLog)
    ON_NOTIFY(NM_CLICK, IDC_BATCH_JOBS, OnListClick)
    ON_MESSAGE(UM_LISTDROPFILES, OnListDropFiles)
    ON_MESSAGE(UM_LISTMOUSE, OnListMouse)
    ON_MESSAGE(UM_AUDITIONCLOSED, OnAuditionClosed)
    ON_MESSAGE(UM_BUTTONHOVER, OnButtonHover)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, static_cast<UINT_PTR>(-1), OnToolTipText)
END_MESSAGE_MAP()

CBatchPage::CBatchPage(UINT nIDTemplate, const BatchPageTexts& texts, const SkinButtonPlace* pButtons,
                       const BatchTip* pTips, int nTips)
    : CPropertyPage(nIDTemplate), m_texts(texts), m_pButtonPlaces(pButtons), m_pTips(pTips), m_nTips(nTips) {}

BOOL CBatchPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_jobs.SubclassDlgItem(IDC_BATCH_JOBS, this);
    m_buttons.Attach(this, m_pButtonPlaces, kBatchButtonCount);
    CRect rcList;
    m_jobs.GetWindowRect(&rcList);
    InsertColumns(rcList.Width());
    SetDlgItemText(IDC_BATCH_LOG_FILE, DefaultLogPath());
    EnableToolTips(TRUE);
    m_jobs.DragAcceptFiles(TRUE);
    RefreshRunButtons();
    return TRUE;
}

BOOL CBatchPage::OnSetActive() {
    RefreshRunButtons();
    return CPropertyPage::OnSetActive();
}

CString CBatchPage::DefaultLogPath() const {
    CString strDir;
    GetSkinApp()->GetInstallDir(strDir);
    // Without an install folder the log goes beside the program's current folder
    // rather than into the root of the drive.
    if (!strDir.IsEmpty() && !EndsWithBackslash(strDir)) strDir += "\\";
    return strDir + LoadText(m_texts.nLogName);
}

// ---- the job list -------------------------------------------------------------

CString CBatchPage::TargetFor(const CString& strSource) const {
    const int nExt = ExtensionStart(strSource);
    const CString strBase = nExt >= 0 ? strSource.Left(nExt) : strSource;
    return strBase + LoadText(m_texts.nTargetExt);
}

void CBatchPage::AppendJob(const CString& strSource) {
    const int nRow = m_jobs.InsertItem(m_jobs.GetItemCount(), strSource);
    if (nRow < 0) return;
    m_jobs.SetItemText(nRow, kBatchTarget, TargetFor(strSource));
    FillOptions(nRow, strSource);
}

void CBatchPage::OnAdd() {
    std::vector<CString> paths;
    if (!ChooseFiles(this, m_texts.nAddTitle, m_texts.nTargetExt, m_texts.nFilter,
                     static_cast<int>(std::size(m_texts.nFilter)), paths)) {
        return;
    }
    for (const CString& strPath : paths) AppendJob(strPath);
    FitPathColumns();
    if (!m_pPlayer || !m_pPlayer->IsPlayerPlaying()) EnableItem(m_texts.nStartId, m_jobs.GetItemCount() > 0);
}

LRESULT CBatchPage::OnListDropFiles(WPARAM wParam, LPARAM) {
    HDROP hDrop = reinterpret_cast<HDROP>(wParam);
    // The drop is released also when a running batch ignores it.
    if (!m_bRunning) {
        for (const CString& strPath : DroppedPaths(hDrop)) AppendJob(strPath);
        FitPathColumns();
        m_jobs.SetFocus();
    }
    ::DragFinish(hDrop);
    return 0;
}

// The path columns grow to their longest path, never shrink below their first width;
// the list scrolls sideways when they need more.
void CBatchPage::FitPathColumns() {
    for (int nColumn : {kBatchSource, kBatchTarget}) {
        const LRESULT nBefore = m_jobs.SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nColumn));
        m_jobs.SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nColumn), MAKELPARAM(LVSCW_AUTOSIZE, 0));
        if (m_jobs.SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(nColumn)) < nBefore)
            m_jobs.SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(nColumn), static_cast<LPARAM>(nBefore));
    }
}

// The whole path of the job cell under the mouse, for the list's tip.
BOOL CBatchPage::PathUnderMouse(CString& strPath) const {
    LVHITTESTINFO hit = {};
    ::GetCursorPos(&hit.pt);
    ::ScreenToClient(m_jobs.m_hWnd, &hit.pt);
    if (m_jobs.SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) return FALSE;
    if (hit.iSubItem != kBatchSource && hit.iSubItem != kBatchTarget) return FALSE;
    strPath = m_jobs.GetItemText(hit.iItem, hit.iSubItem);
    return !strPath.IsEmpty();
}

void CBatchPage::OnRemove() {
    BOOL bRemoved = FALSE;
    for (int nRow = m_jobs.GetItemCount() - 1; nRow >= 0; --nRow) {
        if (!(m_jobs.GetItemState(nRow, LVIS_SELECTED) & LVIS_SELECTED)) continue;
        m_jobs.DeleteItem(nRow);
        bRemoved = TRUE;
    }
    if (bRemoved) EnableItem(m_texts.nStartId, m_jobs.GetItemCount() > 0);
    RefreshSelectionButtons();
}

int CBatchPage::FirstSelectedRow() const {
    return m_jobs.GetNextItem(-1, LVNI_SELECTED);
}

void CBatchPage::OnListClick(NMHDR*, LRESULT* pResult) {
    RefreshSelectionButtons();
    *pResult = 0;
}

LRESULT CBatchPage::OnListMouse(WPARAM wParam, LPARAM lParam) {
    if (wParam != CSkinListCtrl::kMouseDoubleClick) return 0;
    const int nRow = static_cast<int>(lParam);
    for (int i = m_jobs.GetItemCount() - 1; i >= 0; --i) m_jobs.SetItemState(i, i == nRow ? LVIS_SELECTED : 0, LVIS_SELECTED);
    OnMoreInfo();
    return 0;
}

void CBatchPage::OnMoreInfo() {
    const int nRow = FirstSelectedRow();
    if (nRow >= 0) ShowMoreInfo(nRow);
}

void CBatchPage::OnViewLog() {
    CString strPath;
    GetDlgItemText(IDC_BATCH_LOG_FILE, strPath);
    CLogViewDlg dlg(this);
    dlg.m_strPath = strPath;
    dlg.DoModal();
}

// ---- button states ------------------------------------------------------------

BOOL CBatchPage::IsChecked(UINT nId) const {
    return ::IsDlgButtonChecked(m_hWnd, static_cast<int>(nId)) == BST_CHECKED;
}

void CBatchPage::EnableItem(UINT nId, BOOL bEnable) {
    if (CWnd* pItem = GetDlgItem(static_cast<int>(nId))) pItem->EnableWindow(bEnable);
}

BOOL CBatchPage::IsBlocked() const {
    return m_pPlayer && (m_pPlayer->IsPlayerPlaying() || m_pPlayer->IsPlayerLocked());
}

void CBatchPage::RefreshRunButtons() {
    if (!m_hWnd) return;
    // A running batch keeps the lock: its own controls stay as Start left them.
    if (m_bRunning) return;
    const BOOL bBlocked = IsBlocked();
    const UINT nSelected = m_jobs.GetSelectedCount();
    EnableItem(m_texts.nStartId, m_jobs.GetItemCount() > 0 && !bBlocked);
    EnableItem(IDC_BATCH_AUDITION, !bBlocked && nSelected == 1);
    EnableItem(IDC_BATCH_AUTOPLAY, !bBlocked);
}

void CBatchPage::RefreshSelectionButtons() {
    const BOOL bBlocked =
        m_pPlayer && (m_pPlayer->IsPlayerPlaying() || (m_pPlayer->IsPlayerLocked() && !m_audition.GetSafeHwnd()));
    const UINT nSelected = m_jobs.GetSelectedCount();
    if (nSelected == 1) {
        EnableItem(IDC_BATCH_REMOVE, !m_bRunning);
        EnableItem(IDC_BATCH_MORE_INFO, !m_bRunning);
        EnableItem(IDC_BATCH_AUDITION, !bBlocked && !m_bRunning);
        if (!bBlocked && !m_bRunning && IsChecked(IDC_BATCH_AUTOPLAY)) OnAudition();
        return;
    }
    EnableItem(IDC_BATCH_REMOVE, nSelected >= 2 && !m_bRunning);
    EnableItem(IDC_BATCH_MORE_INFO, FALSE);
    EnableItem(IDC_BATCH_AUDITION, FALSE);
}

void CBatchPage::SetPlayerLock(BOOL bLock) {
    if (m_pPlayer) m_pPlayer->SetPlayerLock(bLock);
}

void CBatchPage::EnableBatchControls(BOOL bEnable) {
    static constexpr UINT kItems[] = {IDC_BATCH_JOBS, IDC_BATCH_ADD, IDC_BATCH_VIEW_LOG, IDC_BATCH_AUTOPLAY,
                                      IDC_BATCH_DELETE_AFTER, IDC_BATCH_LOG_FILE};
    for (UINT nId : kItems) EnableItem(nId, bEnable);
    EnableItem(m_texts.nStartId, bEnable);
    if (!bEnable) {
        EnableItem(IDC_BATCH_REMOVE, FALSE);
        EnableItem(IDC_BATCH_MORE_INFO, FALSE);
        EnableItem(IDC_BATCH_AUDITION, FALSE);
    }
    if (CPropertySheet* pSheet = GetSheet()) {
        if (CWnd* pTabs = pSheet->GetTabControl()) pTabs->EnableWindow(bEnable);
    }
}

// ---- the batch ----------------------------------------------------------------

void CBatchPage::WriteLog(const CString& strText) {
    m_log.Write(strText);
}

void CBatchPage::CloseLogWithElapsed() {
    if (!m_log.IsOpen()) return;
    CString strElapsed;
    GetDlgItemText(IDC_BATCH_ELAPSED, strElapsed);
    const int n = strElapsed.GetLength();
    // Hours, minutes and seconds as the field shows them, two characters each.
    Log(m_texts.nElapsed, strElapsed.Left(2).GetString(), strElapsed.Mid(3, 2).GetString(),
        (n >= 2 ? strElapsed.Right(2) : strElapsed).GetString());
    m_log.Close();
}

// Targets that are there already are the user's: one question before anything is
// written, the log included.
BOOL CBatchPage::TakeExistingTargets() {
    m_existing = CExistingTargets();
    for (int nRow = 0; nRow < m_jobs.GetItemCount(); ++nRow) {
        const CString strTarget = m_jobs.GetItemText(nRow, kBatchTarget);
        // A target the job refuses (its own source, a read-only file, ...) is not asked about.
        if (convert::FindTargetProblem(m_jobs.GetItemText(nRow, kBatchSource), strTarget) != convert::kTargetFine)
            continue;
        m_existing.Add(strTarget);
    }
    const ExistingTargetChoice choice = m_existing.Ask(this);
    if (choice == ExistingTargetChoice::Cancel) return FALSE;
    m_bKeepExisting = choice == ExistingTargetChoice::Skip;
    return TRUE;
}

void CBatchPage::OnStart() {
    // A new batch never shows the previous batch's figures, not even behind its question.
    SetDlgItemText(IDC_BATCH_ELAPSED, "00:00:00");
    SetDlgItemText(IDC_BATCH_COMPLETION, "0 %");
    if (!TakeExistingTargets()) return;
    m_bNotice = FALSE;
    m_bStop = FALSE;
    m_log.Close();
    CString strLog;
    GetDlgItemText(IDC_BATCH_LOG_FILE, strLog);
    if (strLog.IsEmpty()) {
        strLog = DefaultLogPath();
        SetDlgItemText(IDC_BATCH_LOG_FILE, strLog);
    }
    if (!m_log.Open(strLog)) {
        ShowMessage(this, IDS_LOG_CREATE_FAILED, MB_ICONEXCLAMATION);
        return;
    }
    m_nCurrent = 0;
    m_timeStart = CTime::GetCurrentTime();
    OnBatchStarting();
    Log(m_texts.nHeader, m_timeStart.Format("%A, %B %d, %Y").GetString(), m_timeStart.GetHour(),
        m_timeStart.GetMinute(), m_timeStart.GetSecond());
    if (!StartNext(TRUE)) return;
    SetPlayerLock(TRUE);
    EnableBatchControls(FALSE);
    EnableItem(m_texts.nStopId, TRUE);
}

BOOL CBatchPage::StartNext(BOOL bFirst) {
    BOOL bNoSourceLeft = FALSE;
    while (m_nCurrent < m_jobs.GetItemCount()) {
        const CString strSource = m_jobs.GetItemText(m_nCurrent, kBatchSource);
        CFile source;
        if (!source.Open(strSource, CFile::modeRead | CFile::shareDenyNone)) {
            OnUnreadableSource(strSource);
            bNoSourceLeft = ++m_nCurrent >= m_jobs.GetItemCount();
            continue;
        }
        source.Close();
        SetDlgItemInt(IDC_BATCH_FILE_NUMBER, static_cast<UINT>(m_nCurrent + 1), FALSE);
        const CString strTarget = m_jobs.GetItemText(m_nCurrent, kBatchTarget);
        if (m_bKeepExisting && m_existing.Holds(strTarget)) {
            Log(IDS_LOG_TARGET_KEPT, strSource.GetString(), strTarget.GetString());
            m_bNotice = TRUE;
            ++m_nCurrent;
            continue;
        }
        m_strDamage.Empty();
        if (StartJob(m_nCurrent, strSource)) {
            m_bRunning = TRUE;
            return TRUE;
        }
        m_bNotice = TRUE;
        ++m_nCurrent;
    }
    if (bNoSourceLeft && bFirst) {
        Log(m_texts.nNoSource);
        m_bNotice = TRUE;
    }
    CloseLogWithElapsed();
    if (bFirst && m_bNotice) ShowBatchEndNotice();
    return FALSE;
}

void CBatchPage::OnProgress(long nPosition) {
    const long long nTotal = ProgressTotal();
    CString strCompletion;
    strCompletion.Format("%lld %%", nTotal > 0 ? static_cast<long long>(nPosition) * kPercent / nTotal : 0LL);
    SetDlgItemText(IDC_BATCH_COMPLETION, strCompletion);
    const long long s = (CTime::GetCurrentTime() - m_timeStart).GetTotalSeconds();
    CString strElapsed;
    strElapsed.Format("%.2lld:%.2lld:%.2lld", s / kSecondsPerHour, s / kSecondsPerMinute % kSecondsPerMinute,
                      s % kSecondsPerMinute);
    SetDlgItemText(IDC_BATCH_ELAPSED, strElapsed);
}

void CBatchPage::OnFileDone() {
    if (!m_bRunning && !m_bStop) return;  // no job of ours under way
    const CString strSource = m_jobs.GetItemText(m_nCurrent, kBatchSource);
    const CString strTarget = m_jobs.GetItemText(m_nCurrent, kBatchTarget);
    if (m_bStop) {
        Log(m_texts.nStopped, strSource.GetString());
        OnJobAbandoned(strTarget);
        CloseLogWithElapsed();
        m_bStop = FALSE;
        m_bNotice = TRUE;
        EndBatch();
        return;
    }
    if (m_bJobFailed) {
        // The control reported an error for this job: its source stays.
        m_bNotice = TRUE;
        OnJobAbandoned(strTarget);
    } else if (!m_strDamage.IsEmpty()) {
        // Written, but short of what the source held: the source is all there is.
        Log(m_texts.nFinished, strSource.GetString(), strTarget.GetString());
        WriteLog(m_strDamage);
        m_bNotice = TRUE;
    } else {
        Log(m_texts.nFinished, strSource.GetString(), strTarget.GetString());
        SetDlgItemText(IDC_BATCH_COMPLETION, LoadText(IDS_COMPLETION_DONE));
        if (IsChecked(IDC_BATCH_DELETE_AFTER) && ::DeleteFileA(strSource)) Log(m_texts.nDeleted, strSource.GetString());
    }
    m_strDamage.Empty();
    m_bJobFailed = FALSE;
    ++m_nCurrent;
    if (StartNext(FALSE)) return;
    EndBatch();
}

void CBatchPage::OnJobError() {
    m_bJobFailed = TRUE;
}

void CBatchPage::OnJobDamaged(const CString& strEntry) {
    m_strDamage = strEntry;
}

void CBatchPage::EndBatch() {
    CloseLogWithElapsed();
    m_bRunning = FALSE;
    m_bJobFailed = FALSE;
    SetPlayerLock(FALSE);
    EnableBatchControls(TRUE);
    EnableItem(m_texts.nStopId, FALSE);
    RefreshSelectionButtons();
    m_question.RunEnded();
    ShowBatchEndNotice();
}

void CBatchPage::OnStop() {
    if (!m_bRunning) return;
    StopConversion();
    m_bStop = TRUE;
    // The rest comes back with the stopped job's done event, so a new batch never
    // takes that event as its own.
    EnableItem(m_texts.nStopId, FALSE);
}

void CBatchPage::OnCancel() {
    if (m_bRunning) {
        // A batch that ended while the question was up leaves nothing to stop.
        if (m_question.Ask(this, m_texts.nAskClose) != IDYES && !m_question.WasMoot()) return;
        StopRunningBatch();
    }
    m_log.Close();
    SetPlayerLock(FALSE);
    if (CPropertySheet* pSheet = GetSheet()) pSheet->DestroyWindow();
}

void CBatchPage::StopRunningBatch() {
    if (!m_bRunning) return;
    StopConversion();
    // The done event will not reach a page that is going away: log the stop now.
    const CString strSource = m_jobs.GetItemText(m_nCurrent, kBatchSource);
    if (!m_bStop) Log(m_texts.nStopped, strSource.GetString());
    OnJobAbandoned(m_jobs.GetItemText(m_nCurrent, kBatchTarget));
    CloseLogWithElapsed();
    m_bRunning = FALSE;
    m_bStop = FALSE;
    SetPlayerLock(FALSE);
}

void CBatchPage::OnDestroy() {
    StopRunningBatch();
    CPropertyPage::OnDestroy();
}

void CBatchPage::ShowBatchEndNotice() {
    CString strLog;
    GetDlgItemText(IDC_BATCH_LOG_FILE, strLog);
    if (strLog.IsEmpty()) return;
    m_question.Notify(this, LoadText(m_bNotice ? m_texts.nDoneWithProblems : m_texts.nDone), MB_ICONINFORMATION);
}

// ---- audition -----------------------------------------------------------------

void CBatchPage::OnAudition() {
    const int nRow = FirstSelectedRow();
    if (nRow < 0) return;
    const CString strSource = m_jobs.GetItemText(nRow, kBatchSource);
    m_audition.Audition(this, strSource, AuditionType(), nRow + 1, AuditionSeconds(strSource));
}

LRESULT CBatchPage::OnAuditionClosed(WPARAM, LPARAM) {
    m_audition.OnClosedNotice();
    return 0;
}

// ---- hover and tooltips ---------------------------------------------------------

LRESULT CBatchPage::OnButtonHover(WPARAM wParam, LPARAM) {
    m_buttons.OnButtonHover(static_cast<UINT>(wParam));
    return 0;
}

void CBatchPage::OnMouseMove(UINT, CPoint) {
    m_buttons.OnPageMouseMove();
    Default();
}

UINT CBatchPage::TipTextFor(UINT nId) const {
    if (nId == IDC_BATCH_AUTOPLAY) return IsChecked(nId) ? IDS_TIP_AUTOPLAY_ON : IDS_TIP_AUTOPLAY_OFF;
    if (nId == IDC_BATCH_DELETE_AFTER) return IsChecked(nId) ? m_texts.nTipDeleteOn : m_texts.nTipDeleteOff;
    for (int i = 0; i < m_nTips; ++i) {
        if (m_pTips[i].nId == nId) return m_pTips[i].nText;
    }
    return 0;
}

BOOL CBatchPage::OnToolTipText(UINT_PTR, NMHDR* pHdr, LRESULT* pResult) {
    const UINT nId = ToolTipControlId(pHdr);
    if (nId == IDC_BATCH_JOBS) {
        if (!PathUnderMouse(m_strTip)) return FALSE;
        reinterpret_cast<NMTTDISPINFOA*>(pHdr)->lpszText = const_cast<LPSTR>(m_strTip.GetString());
        *pResult = 0;
        return TRUE;
    }
    const UINT nText = nId ? TipTextFor(nId) : 0;
    if (!nText) return FALSE;
    AnswerToolTip(pHdr, nText, m_strTip);
    *pResult = 0;
    return TRUE;
}
