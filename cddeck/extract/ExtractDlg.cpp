#include "ExtractDlg.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>

#include "CDDisc.h"
#include "CDPlayerLink.h"
#include "ExistingTargets.h"
#include "ExtractRules.h"
#include "RipTags.h"
#include "SkinText.h"
#include "TelmarIds.h"
#include "cddeck/ExtractorIds.h"

namespace {

constexpr char kSection[] = "APP";
constexpr char kRipPathEntry[] = "DefRipPath";
constexpr char kEncPathEntry[] = "DefEncPath";

constexpr const char* kBitRates[] = {"32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "192", "224",
                                     "256", "320"};
constexpr char kDefaultBitRate[] = "128";
constexpr const char* kSampleRates[] = {"22050", "44100", "48000"};
constexpr char kDefaultSampleRate[] = "44100";
constexpr int kFullRate = 44100;

constexpr long kProgressTenthsMax = 1000;
constexpr long kTenthsPerPercent = 10;
constexpr long long kFullPercent = 100;
constexpr long long kSecondsPerHour = 3600;
constexpr long long kSecondsPerMinute = 60;
constexpr int kMaxLogNumber = 100;

// Column widths: the title takes four fifths of the list less this, the length the rest.

constexpr UINT kEncodeOptions[] = {IDC_EXTRACT_DELETE_WAVE, IDC_EXTRACT_DELETE_LABEL, IDC_EXTRACT_BIT_LABEL,
                                   IDC_EXTRACT_BIT_RATE,    IDC_EXTRACT_SAMPLE_LABEL, IDC_EXTRACT_SAMPLE_RATE,
                                   IDC_EXTRACT_MP3_LABEL,   IDC_EXTRACT_MP3_FOLDER};

void FillCombo(HWND hDlg, UINT nId, const char* const* ppItems, size_t nItems, LPCSTR lpszSelected) {
    for (size_t i = 0; i < nItems; ++i)
        ::SendDlgItemMessageA(hDlg, static_cast<int>(nId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ppItems[i]));
    ::SendDlgItemMessageA(hDlg, static_cast<int>(nId), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(lpszSelected));
}

}  // namespace

BEGIN_MESSAGE_MAP(CExtractDlg, CCDSheetPage)
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_EXTRACT_RIP, OnRip)
    ON_BN_CLICKED(IDC_EXTRACT_STOP, OnStop)
    ON_BN_CLICKED(IDC_EXTRACT_ENCODE, OnEncodeClicked)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_EXTRACT_TRACKS, OnItemChanged)
    ON_NOTIFY(NM_CLICK, IDC_EXTRACT_TRACKS, OnListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_EXTRACT_TRACKS, OnListDoubleClick)
    ON_NOTIFY(LVN_BEGINLABELEDITA, IDC_EXTRACT_TRACKS, OnBeginLabelEdit)
    ON_NOTIFY(LVN_ENDLABELEDITA, IDC_EXTRACT_TRACKS, OnEndLabelEdit)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, static_cast<UINT_PTR>(-1), OnToolTipText)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CExtractDlg, CCDSheetPage)
    ON_EVENT(CExtractDlg, IDC_EXTRACT_RIPPER, CACD::kEventError, OnRipError, VTS_I4 VTS_BSTR)
    ON_EVENT(CExtractDlg, IDC_EXTRACT_RIPPER, CACD::kEventDone, OnRipDone, VTS_NONE)
    ON_EVENT(CExtractDlg, IDC_EXTRACT_RIPPER, CACD::kEventProgress, OnRipProgress, VTS_I4)
    ON_EVENT(CExtractDlg, IDC_EXTRACT_ENCODER, CMp3Enc::kEventProgress, OnEncodeProgress, VTS_I4)
    ON_EVENT(CExtractDlg, IDC_EXTRACT_ENCODER, CMp3Enc::kEventDone, OnEncodeDone, VTS_NONE)
    ON_EVENT(CExtractDlg, IDC_EXTRACT_ENCODER, CMp3Enc::kEventError, OnEncodeError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

CExtractDlg::CExtractDlg(CCDPlayerLink* pPlayer) : CCDSheetPage(IDD_EXTRACT_PAGE), m_pPlayer(pPlayer) {}

BOOL CExtractDlg::OnInitDialog() {
    CCDSheetPage::OnInitDialog();
    m_tracks.SubclassDlgItem(IDC_EXTRACT_TRACKS, this);
    m_ripper.SubclassDlgItem(IDC_EXTRACT_RIPPER, this);
    m_encoder.SubclassDlgItem(IDC_EXTRACT_ENCODER, this);
    if (m_pPlayer) m_pDisc = &m_pPlayer->GetDisc();

    if (CreateListCheckImages(m_images)) m_tracks.SetImageList(&m_images, LVSIL_SMALL);
    m_tracks.InsertTrackColumns();
    FillList();

    FillCombo(m_hWnd, IDC_EXTRACT_BIT_RATE, kBitRates, std::size(kBitRates), kDefaultBitRate);
    FillCombo(m_hWnd, IDC_EXTRACT_SAMPLE_RATE, kSampleRates, std::size(kSampleRates), kDefaultSampleRate);

    CWinApp* pApp = AfxGetApp();
    CString strRip = pApp ? pApp->GetProfileString(kSection, kRipPathEntry, "") : CString();
    CString strEnc = pApp ? pApp->GetProfileString(kSection, kEncPathEntry, "") : CString();
    SetDlgItemText(IDC_EXTRACT_RIP_FOLDER, strRip.IsEmpty() ? LoadText(IDS_DEFAULT_RIP_FOLDER) : strRip);
    SetDlgItemText(IDC_EXTRACT_MP3_FOLDER, strEnc.IsEmpty() ? LoadText(IDS_DEFAULT_MP3_FOLDER) : strEnc);

    // The page stays usable either way: the ripper refuses each track on its own.
    const short nInit = m_ripper.InitRipper();
    if (nInit != 0) ShowMessage(this, IDS_RIPPER_INIT_FAILED, MB_ICONSTOP, static_cast<int>(nInit));
    const short nSetup = m_ripper.SetupRipper(kSetupArgument);
    if (nSetup != 0) ShowMessage(this, IDS_RIPPER_SETUP_FAILED, MB_ICONSTOP, static_cast<int>(nSetup));

    RefreshRip();
    EnableToolTips(TRUE);
    return TRUE;
}

BOOL CExtractDlg::OnSetActive() {
    if (!IsBusy()) {
        FillList();
        for (UINT nId : {IDC_EXTRACT_TRACK, IDC_EXTRACT_COMPLETION, IDC_EXTRACT_ELAPSED}) SetDlgItemText(nId, "");
    }
    OnPlayingChanged(m_pPlayer && m_pPlayer->IsPlayerPlaying());
    return CCDSheetPage::OnSetActive();
}

BOOL CExtractDlg::OnKillActive() {
    if (!QueryEnd()) return FALSE;
    SaveSettings();
    return CCDSheetPage::OnKillActive();
}

void CExtractDlg::OnCancel() {
    if (!QueryEnd()) return;
    SaveSettings();
    if (CPropertySheet* pSheet = GetSheet()) pSheet->DestroyWindow();
}

void CExtractDlg::OnDestroy() {
    // Destroying the controls ends their runs: each joins its worker and deletes a
    // file that is not whole, and sends nothing to a page that is going away.
    m_ripper.DestroyWindow();
    m_encoder.DestroyWindow();
    m_bRipping = m_bEncoding = 0;
    m_bRipOutstanding = m_bEncodeOutstanding = 0;
    SaveSettings();
    CCDSheetPage::OnDestroy();
}

BOOL CExtractDlg::AskToStopRun() {
    const UINT nQuestion = m_bRipping ? IDS_ASK_STOP_RIPPING : IDS_ASK_STOP_ENCODING;
    const int nAnswer = m_question.Ask(this, nQuestion);
    // A run that ended while the question was up leaves nothing to stop.
    return m_question.WasMoot() || nAnswer == IDYES;
}

BOOL CExtractDlg::QueryEnd() {
    if (IsBusy() && !AskToStopRun()) return FALSE;
    OnStop();
    return TRUE;
}

void CExtractDlg::SaveSettings() {
    if (!m_hWnd) return;
    // Titles go only to the disc they were read from: after a disc change the model
    // holds another disc.
    if (m_bListChanged && m_pDisc && m_pDisc->m_strIdentifier == m_strFilledIdentifier &&
        !m_strFilledIdentifier.IsEmpty()) {
        const int nCount = std::min<int>(m_tracks.GetItemCount(), static_cast<int>(m_pDisc->m_tracks.size()));
        for (int i = 0; i < nCount; ++i) m_pDisc->TrackAt(i)->SetTitle(m_tracks.Title(i));
        m_pDisc->SaveToDatabase();
        m_bListChanged = 0;
    }
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return;
    CString strRip, strEnc;
    GetDlgItemText(IDC_EXTRACT_RIP_FOLDER, strRip);
    GetDlgItemText(IDC_EXTRACT_MP3_FOLDER, strEnc);
    if (!strRip.IsEmpty()) pApp->WriteProfileString(kSection, kRipPathEntry, strRip);
    if (!strEnc.IsEmpty()) pApp->WriteProfileString(kSection, kEncPathEntry, strEnc);
}

// ---- player notifications ------------------------------------------------------

BOOL CExtractDlg::IsPlayerPlaying() const {
    return m_pPlayer && m_pPlayer->IsPlayerPlaying();
}

void CExtractDlg::OnPlayingChanged(BOOL) {
    if (!m_hWnd) return;
    RefreshRip();
    const BOOL bRunning = IsBusy() || m_bHalted;
    EnableItem(IDC_EXTRACT_STOP, bRunning && !IsPlayerPlaying());
}

void CExtractDlg::OnDiscChanged() {
    if (!m_hWnd) return;
    // A run goes on only on the disc it started with; another disc's tracks are not
    // the ones checked.
    if (IsBusy()) OnStop();
    FillList();
}

// ---- the list ------------------------------------------------------------------

void CExtractDlg::FillList() {
    m_bFilling = 1;
    m_tracks.DeleteAllItems();
    // The records are what the device reported, even when a read stopped early.
    const int nCount = m_pDisc ? std::min<int>(m_pDisc->m_nTrackCount, static_cast<int>(m_pDisc->m_tracks.size())) : 0;
    m_marks.assign(static_cast<size_t>(nCount), 0);
    for (int i = 0; i < nCount; ++i) m_tracks.AddTrack(i, *m_pDisc->TrackAt(i), kListImageUnchecked);
    m_strFilledIdentifier = m_pDisc ? m_pDisc->m_strIdentifier : CString();
    m_bListChanged = 0;
    m_bFilling = 0;
    RefreshRip();
}

void CExtractDlg::ToggleMark(int nIndex) {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_marks.size()) return;
    BYTE& mark = m_marks[static_cast<size_t>(nIndex)];
    mark = mark ? 0 : 1;
    // Marks are not part of the disc's record: only a title edit makes it worth saving.
    m_tracks.SetItemImage(nIndex, mark ? kListImageChecked : kListImageUnchecked);
    RefreshRip();
}

int CExtractDlg::FirstMarked() const {
    for (size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i]) return static_cast<int>(i);
    return -1;
}

BOOL CExtractDlg::AnyMarked() const {
    return FirstMarked() >= 0;
}

void CExtractDlg::OnItemChanged(NMHDR* pHdr, LRESULT* pResult) {
    *pResult = 0;
    const auto* pView = reinterpret_cast<const NMLISTVIEW*>(pHdr);
    if (m_bFilling || IsBusy() || !(pView->uChanged & LVIF_STATE)) return;
    if ((pView->uNewState & LVIS_SELECTED) && !(pView->uOldState & LVIS_SELECTED)) ToggleMark(pView->iItem);
}

void CExtractDlg::OnListClick(NMHDR*, LRESULT* pResult) {
    RefreshRip();
    *pResult = 0;
}

void CExtractDlg::OnListDoubleClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (!IsBusy()) m_tracks.EditSelectedTitle();
}

void CExtractDlg::OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
    if (IsBusy()) {
        *pResult = TRUE;
        return;
    }
    m_tracks.BeginTitleEdit(reinterpret_cast<const NMLVDISPINFOA*>(pHdr)->item.iItem);
    *pResult = FALSE;
}

void CExtractDlg::OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult) {
    *pResult = FALSE;
    if (m_tracks.EndTitleEdit(*reinterpret_cast<const NMLVDISPINFOA*>(pHdr))) m_bListChanged = 1;
}

// ---- files -------------------------------------------------------------------------

CString CExtractDlg::TrackFilePath(const CString& strFolder, int nTrack, UINT nSuffixId) const {
    std::vector<std::string> titles;
    for (int i = 0; i < m_tracks.GetItemCount(); ++i) titles.emplace_back(m_tracks.Title(i).GetString());
    return strFolder + "\\" + extract::TrackFileTitle(titles, nTrack).c_str() + LoadText(nSuffixId);
}

CString CExtractDlg::FolderText(UINT nEditId) const {
    CString strText;
    GetDlgItemText(static_cast<int>(nEditId), strText);
    while (strText.GetLength() > 1 && strText[strText.GetLength() - 1] == '\\') strText = strText.Left(strText.GetLength() - 1);
    return strText;
}

BOOL CExtractDlg::TakeFolder(UINT nEditId, UINT nEmptyId, UINT nFileId, CString& strFolder) {
    const CString strText = FolderText(nEditId);
    if (strText.IsEmpty()) {
        ShowMessage(this, nEmptyId, MB_ICONINFORMATION);
        return FALSE;
    }
    const DWORD dwAttributes = ::GetFileAttributesA(strText);
    // One level only; a folder that still is not there is named before any track fails on it.
    if (dwAttributes == INVALID_FILE_ATTRIBUTES && !::CreateDirectoryA(strText, nullptr)) {
        ShowMessage(this, IDS_FOLDER_NOT_CREATED, MB_ICONEXCLAMATION, strText);
        if (CWnd* pEdit = GetDlgItem(static_cast<int>(nEditId))) pEdit->SetFocus();
        return FALSE;
    }
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowMessage(this, nFileId, MB_ICONEXCLAMATION);
        if (CWnd* pEdit = GetDlgItem(static_cast<int>(nEditId))) pEdit->SetFocus();
        return FALSE;
    }
    strFolder = strText;
    return TRUE;
}

// ---- the run -------------------------------------------------------------------------

void CExtractDlg::OnRip() {
    if (IsBusy() || m_bRipOutstanding || m_bEncodeOutstanding) return;
    m_bStopped = 0;
    m_bHalted = 0;
    if (!AnyMarked() || !TakeExistingFiles()) return;
    m_failed.assign(m_marks.size(), 0);
    m_nCopied = 0;
    m_log.Close();
    if (NextTrackToDo() < 0) {
        Notify(IDS_RIP_DONE_KEPT, MB_ICONINFORMATION, KeptCount());
        return;
    }
    RipNextTrack();
}

// The files of the checked tracks that are there already are the user's: one question
// before the run, and with No their tracks stay checked and are passed over.
BOOL CExtractDlg::TakeExistingFiles() {
    m_kept.assign(m_marks.size(), 0);
    const CString strRip = FolderText(IDC_EXTRACT_RIP_FOLDER);
    const CString strMp3 = IsChecked(IDC_EXTRACT_ENCODE) ? FolderText(IDC_EXTRACT_MP3_FOLDER) : CString();
    CExistingTargets existing;
    std::vector<std::vector<CString>> files(m_marks.size());
    for (size_t i = 0; i < m_marks.size(); ++i) {
        if (!m_marks[i]) continue;
        const int nTrack = static_cast<int>(i) + 1;
        if (!strRip.IsEmpty()) files[i].push_back(TrackFilePath(strRip, nTrack, IDS_WAVE_SUFFIX));
        if (!strMp3.IsEmpty()) files[i].push_back(TrackFilePath(strMp3, nTrack, IDS_MP3_SUFFIX));
        for (const CString& strFile : files[i]) existing.Add(strFile);
    }
    const ExistingTargetChoice choice = existing.Ask(this);
    if (choice == ExistingTargetChoice::Cancel) return FALSE;
    if (choice != ExistingTargetChoice::Skip) return TRUE;
    for (size_t i = 0; i < files.size(); ++i) {
        for (const CString& strFile : files[i]) {
            if (existing.Holds(strFile)) m_kept[i] = 1;
        }
    }
    return TRUE;
}

int CExtractDlg::NextTrackToDo() const {
    for (size_t i = 0; i < m_marks.size(); ++i) {
        if (m_marks[i] && (i >= m_kept.size() || !m_kept[i]) && !IsFailed(static_cast<int>(i)))
            return static_cast<int>(i);
    }
    return -1;
}

int CExtractDlg::KeptCount() const {
    int nKept = 0;
    for (size_t i = 0; i < m_marks.size() && i < m_kept.size(); ++i) nKept += m_marks[i] && m_kept[i];
    return nKept;
}

void CExtractDlg::RipNextTrack() {
    const int nIndex = NextTrackToDo();
    if (nIndex < 0) return;
    CString strRip, strMp3;
    if (!TakeFolder(IDC_EXTRACT_RIP_FOLDER, IDS_RIP_FOLDER_REQUIRED, IDS_RIP_FOLDER_IS_FILE, strRip) ||
        (IsChecked(IDC_EXTRACT_ENCODE) &&
         !TakeFolder(IDC_EXTRACT_MP3_FOLDER, IDS_MP3_FOLDER_REQUIRED, IDS_MP3_FOLDER_IS_FILE, strMp3))) {
        EndRun();
        return;
    }
    m_strRipFolder = strRip;
    m_strMp3Folder = strMp3;
    m_nTrack = nIndex + 1;
    if (!m_log.IsOpen()) OpenLog();
    const CString strTarget = TrackFilePath(m_strRipFolder, m_nTrack, IDS_WAVE_SUFFIX);

    SetDlgItemInt(IDC_EXTRACT_TRACK, static_cast<UINT>(m_nTrack), FALSE);
    SetDlgItemText(IDC_EXTRACT_TRACK_LABEL, LoadText(IDS_LABEL_RIPPING_TRACK));
    m_bRipping = 1;
    m_bRipFailed = 0;
    EnableRunControls(FALSE);
    m_timeTrackStart = CTime::GetCurrentTime();
    // A refused start sends no events: waiting for them would leave the page ripping.
    const short nStatus = m_ripper.RipTrack(static_cast<short>(m_nTrack), strTarget);
    if (nStatus != 0) {
        m_bRipping = 0;
        EndRun();
        Notify(IDS_RIP_ERROR, MB_ICONEXCLAMATION, static_cast<int>(nStatus), strTarget);
        return;
    }
    m_bRipOutstanding = 1;
}

void CExtractDlg::StartEncode() {
    const CString strSource = TrackFilePath(m_strRipFolder, m_nTrack, IDS_WAVE_SUFFIX);
    const CString strTarget = TrackFilePath(m_strMp3Folder, m_nTrack, IDS_MP3_SUFFIX);
    short nStatus = m_encoder.OpenFiles(strSource, strTarget);
    if (nStatus == 0) {
        const int nRate = SelectedNumber(IDC_EXTRACT_SAMPLE_RATE);
        m_encoder.SetBitRate(SelectedNumber(IDC_EXTRACT_BIT_RATE));
        m_encoder.SetSampleRate(nRate);
        if (nRate < kFullRate) m_encoder.SetLowRate(TRUE);
        nStatus = m_encoder.StartEncode();
        // A refused start sends no done event; the pair is released here.
        if (nStatus != 0) m_encoder.StopEncode();
    }
    if (nStatus != 0) {
        // The run ends here: the track stays checked and its WAVE file stays.
        EndRun();
        Notify(IDS_ENCODE_ERROR, MB_ICONEXCLAMATION, static_cast<int>(nStatus), strTarget);
        return;
    }
    SetDlgItemText(IDC_EXTRACT_TRACK_LABEL, LoadText(IDS_LABEL_ENCODING_TRACK));
    m_bEncoding = 1;
    m_bEncodeOutstanding = 1;
    m_bEncodeFailed = 0;
    EnableItem(IDC_EXTRACT_RIP, FALSE);
    SetDlgItemText(IDC_EXTRACT_STOP, LoadText(IDS_STOP_ENCODING));
}

// The current track is done: unchecked, then the next one, or the end of the run.
void CExtractDlg::FinishTrack(UINT nAllDoneId) {
    if (!IsFailed(m_nTrack - 1)) ToggleMark(m_nTrack - 1);
    if (NextTrackToDo() >= 0) {
        RipNextTrack();
        return;
    }
    EndRun();
    if (const int nFailed = FailedCount()) {
        Notify(IDS_RIP_DONE_MISMATCH, MB_ICONEXCLAMATION, nFailed);
        return;
    }
    const int nKept = KeptCount();
    if (nKept > 0) {
        Notify(IDS_RIP_DONE_KEPT, MB_ICONINFORMATION, nKept);
        return;
    }
    Notify(nAllDoneId, MB_ICONINFORMATION);
}

void CExtractDlg::EndRun() {
    CloseLog();
    m_bRipping = 0;
    m_bEncoding = 0;
    m_question.RunEnded();
    SetDlgItemText(IDC_EXTRACT_STOP, LoadText(IDS_STOP_RIPPING));
    // The track and its percentage belong to the run; the next one starts blank.
    for (UINT nId : {IDC_EXTRACT_TRACK, IDC_EXTRACT_COMPLETION}) SetDlgItemText(nId, "");
    SetDlgItemText(IDC_EXTRACT_TRACK_LABEL, LoadText(IDS_LABEL_RIPPING_TRACK));
    EnableRunControls(TRUE);
}

void CExtractDlg::OnStop() {
    if (m_bRipping || m_bEncoding) m_log.Log(IDS_RIP_LOG_STOPPED, m_nTrack);
    CloseLog();
    if (m_bRipping) {
        m_ripper.StopRip();
        m_bRipping = 0;
        m_bStopped = 1;
    }
    if (m_bEncoding) {
        m_encoder.StopEncode();
        m_bEncoding = 0;
        m_bStopped = 1;
        SetDlgItemText(IDC_EXTRACT_STOP, LoadText(IDS_STOP_RIPPING));
    }
    m_bHalted = 0;
    // Rip stays off until the stopped control's done event has come.
    EnableRunControls(TRUE);
}

// ---- the log ---------------------------------------------------------------------------

void CExtractDlg::OpenLog() {
    SetDlgItemText(IDC_EXTRACT_LOG, "");
    m_timeRunStart = CTime::GetCurrentTime();
    const CString strId = m_pDisc ? m_pDisc->m_strIdentifier : CString();
    const CString strStamp = m_timeRunStart.Format("%Y-%m-%d %H%M%S");
    // A run started within the same second as the last one does not take its log.
    CString strNumber;
    CString strPath = m_strRipFolder + "\\" + FormatText(IDS_RIP_LOG_FILE, strId, strStamp, strNumber);
    for (int n = 2; ::GetFileAttributesA(strPath) != INVALID_FILE_ATTRIBUTES && n < kMaxLogNumber; ++n) {
        strNumber.Format(" (%d)", n);
        strPath = m_strRipFolder + "\\" + FormatText(IDS_RIP_LOG_FILE, strId, strStamp, strNumber);
    }
    // Without its log the run still goes on; the page then names none.
    if (!m_log.Open(strPath)) return;
    m_log.Log(IDS_RIP_LOG_HEADER, m_timeRunStart.Format("%A, %B %d, %Y"), m_timeRunStart.GetHour(),
              m_timeRunStart.GetMinute(), m_timeRunStart.GetSecond(), strId,
              m_pDisc ? m_pDisc->m_strAlbum : CString(), m_pDisc ? m_pDisc->m_strArtist : CString(),
              m_ripper.GetSourceName());
}

void CExtractDlg::CloseLog() {
    if (!m_log.IsOpen()) return;
    const long long s = (CTime::GetCurrentTime() - m_timeRunStart).GetTotalSeconds();
    CString strElapsed;
    strElapsed.Format("%.2lld:%.2lld:%.2lld", s / kSecondsPerHour, s / kSecondsPerMinute % kSecondsPerMinute,
                      s % kSecondsPerMinute);
    m_log.Log(IDS_RIP_LOG_END, m_nCopied, FailedCount(), strElapsed);
    m_log.Close();
    const CString& strPath = m_log.Path();
    const int nSlash = strPath.ReverseFind('\\');
    SetDlgItemText(IDC_EXTRACT_LOG, FormatText(IDS_RIP_LOG_SHOWN, strPath.Mid(nSlash + 1), strPath.Left(nSlash)));
}

BOOL CExtractDlg::LogRippedTrack() {
    auto hex = [](DWORD dwValue) {
        CString strHex;
        strHex.Format("%.8lX", static_cast<unsigned long>(dwValue));
        return strHex;
    };
    const DWORD dwCopy = m_ripper.GetRipCheck(acd::kRipCheckCopyCrc);
    const DWORD dwTest = m_ripper.GetRipCheck(acd::kRipCheckTestCrc);
    const BOOL bSame = dwCopy == dwTest;
    CString strLength;
    if (m_pDisc && m_nTrack <= static_cast<int>(m_pDisc->m_tracks.size())) {
        const CCDTrack& track = *m_pDisc->TrackAt(m_nTrack - 1);
        strLength.Format("%.2d:%.2d:%.2d", track.GetMinutes(), track.GetSeconds(), track.GetFrames());
    }
    ++m_nCopied;
    m_log.Log(IDS_RIP_LOG_TRACK, m_nTrack, m_tracks.Title(m_nTrack - 1),
              TrackFilePath(m_strRipFolder, m_nTrack, IDS_WAVE_SUFFIX), strLength, hex(dwCopy), hex(dwTest),
              LoadText(bSame ? IDS_RIP_LOG_COPY_OK : IDS_RIP_LOG_MISMATCH),
              hex(m_ripper.GetRipCheck(acd::kRipCheckAccurateRipV1)),
              hex(m_ripper.GetRipCheck(acd::kRipCheckAccurateRipV2)));
    return bSame;
}

BOOL CExtractDlg::IsFailed(int nIndex) const {
    return nIndex >= 0 && static_cast<size_t>(nIndex) < m_failed.size() && m_failed[static_cast<size_t>(nIndex)];
}

int CExtractDlg::FailedCount() const {
    int nFailed = 0;
    for (BYTE failed : m_failed) nFailed += failed ? 1 : 0;
    return nFailed;
}

// ---- control events --------------------------------------------------------------------

void CExtractDlg::ShowElapsed() {
    const long long s = (CTime::GetCurrentTime() - m_timeTrackStart).GetTotalSeconds();
    CString strElapsed;
    strElapsed.Format("%.2lld:%.2lld:%.2lld", s / kSecondsPerHour, s / kSecondsPerMinute % kSecondsPerMinute,
                      s % kSecondsPerMinute);
    SetDlgItemText(IDC_EXTRACT_ELAPSED, strElapsed);
}

void CExtractDlg::OnRipProgress(long nTenths) {
    if (!m_bRipping) return;
    const long nClamped = nTenths < 0 ? 0 : (nTenths > kProgressTenthsMax ? kProgressTenthsMax : nTenths);
    CString strCompletion;
    strCompletion.Format("%ld %%", nClamped / kTenthsPerPercent);
    SetDlgItemText(IDC_EXTRACT_COMPLETION, strCompletion);
    ShowElapsed();
}

void CExtractDlg::OnRipError(long nCode, LPCSTR lpszText) {
    if (!m_bRipOutstanding) return;
    m_bRipping = 0;
    m_bRipFailed = 1;
    if (m_bStopped) return;
    m_log.Log(IDS_RIP_LOG_FAILED, m_nTrack, m_tracks.Title(m_nTrack - 1), static_cast<int>(nCode), CString(lpszText));
    Notify(IDS_RIP_ERROR, MB_ICONEXCLAMATION, static_cast<int>(nCode), CString(lpszText));
}

void CExtractDlg::OnRipDone() {
    if (!m_bRipOutstanding) return;  // not an extraction of ours
    m_bRipOutstanding = 0;
    m_bRipping = 0;
    if (m_bStopped) {
        m_bStopped = 0;
        m_bRipFailed = 0;
        RefreshRip();
        Notify(IDS_RIP_STOPPED, MB_ICONINFORMATION);
        return;
    }
    if (m_bRipFailed) {
        // Nothing was written: the track stays checked and nothing is encoded.
        m_bRipFailed = 0;
        EndRun();
        return;
    }
    // A copy the test read contradicts is not encoded: the track stays checked.
    if (!LogRippedTrack()) {
        m_failed[static_cast<size_t>(m_nTrack - 1)] = 1;
        FinishTrack(IDS_RIP_ALL_DONE);
        return;
    }
    if (IsChecked(IDC_EXTRACT_ENCODE)) {
        if (!m_strMp3Folder.IsEmpty()) {
            StartEncode();
            return;
        }
        Notify(IDS_MP3_FOLDER_MISSING_KEPT, MB_ICONINFORMATION);
    }
    FinishTrack(IDS_RIP_ALL_DONE);
}

void CExtractDlg::OnEncodeProgress(long nPosition) {
    if (!m_bEncoding) return;
    CString strCompletion;
    strCompletion.Format("%lld %%", extract::EncodePercent(nPosition, m_encoder.GetTotal()));
    SetDlgItemText(IDC_EXTRACT_COMPLETION, strCompletion);
    ShowElapsed();
}

void CExtractDlg::OnEncodeError(long nCode, LPCSTR lpszText) {
    if (!m_bEncodeOutstanding) return;
    m_bEncodeFailed = 1;
    if (m_bStopped) return;
    // The run halts: the controls stay off until Stop.
    m_bEncoding = 0;
    m_bHalted = 1;
    m_log.Log(IDS_RIP_LOG_ENCODE_FAILED, TrackFilePath(m_strMp3Folder, m_nTrack, IDS_MP3_SUFFIX),
              static_cast<int>(nCode), CString(lpszText));
    Notify(IDS_ENCODE_ERROR, MB_ICONEXCLAMATION, static_cast<int>(nCode), CString(lpszText));
}

void CExtractDlg::OnEncodeDone() {
    if (!m_bEncodeOutstanding) return;  // not an encode of ours
    m_bEncodeOutstanding = 0;
    m_bEncoding = 0;
    if (m_bStopped) {
        m_bStopped = 0;
        m_bEncodeFailed = 0;
        RefreshRip();
        Notify(IDS_ENCODE_STOPPED, MB_ICONINFORMATION);
        return;
    }
    if (m_bEncodeFailed) {
        // No MP3 was made: the mark and the WAVE file stay.
        m_bEncodeFailed = 0;
        return;
    }
    CString strCompletion;
    strCompletion.Format("%lld %%", kFullPercent);
    SetDlgItemText(IDC_EXTRACT_COMPLETION, strCompletion);
    const CString strMp3 = TrackFilePath(m_strMp3Folder, m_nTrack, IDS_MP3_SUFFIX);
    m_log.Log(IDS_RIP_LOG_ENCODED, strMp3);
    if (m_pDisc && !TagRippedMp3(strMp3, *m_pDisc, m_nTrack, m_tracks.Title(m_nTrack - 1)))
        m_log.Log(IDS_RIP_LOG_TAGS_FAILED, strMp3);
    if (IsChecked(IDC_EXTRACT_DELETE_WAVE)) ::DeleteFileA(TrackFilePath(m_strRipFolder, m_nTrack, IDS_WAVE_SUFFIX));
    FinishTrack(IDS_RIP_ENCODE_ALL_DONE);
}

// ---- control states ----------------------------------------------------------------------

BOOL CExtractDlg::IsChecked(UINT nId) const {
    return ::IsDlgButtonChecked(m_hWnd, static_cast<int>(nId)) == BST_CHECKED;
}

void CExtractDlg::EnableItem(UINT nId, BOOL bEnable) {
    if (CWnd* pItem = GetDlgItem(static_cast<int>(nId))) pItem->EnableWindow(bEnable);
}

int CExtractDlg::SelectedNumber(UINT nComboId) const {
    const int nId = static_cast<int>(nComboId);
    const LRESULT nSel = ::SendDlgItemMessageA(m_hWnd, nId, CB_GETCURSEL, 0, 0);
    if (nSel == CB_ERR) return 0;
    char szText[16] = {};
    if (::SendDlgItemMessageA(m_hWnd, nId, CB_GETLBTEXTLEN, static_cast<WPARAM>(nSel), 0) >=
        static_cast<LRESULT>(sizeof szText))
        return 0;
    ::SendDlgItemMessageA(m_hWnd, nId, CB_GETLBTEXT, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(szText));
    return std::atoi(szText);
}

void CExtractDlg::OnEncodeClicked() {
    EnableEncodeOptions(IsChecked(IDC_EXTRACT_ENCODE));
}

void CExtractDlg::EnableEncodeOptions(BOOL bEnable) {
    for (UINT nId : kEncodeOptions) EnableItem(nId, bEnable);
}

void CExtractDlg::EnableRunControls(BOOL bEnable) {
    for (UINT nId : {IDC_EXTRACT_TRACKS, IDC_EXTRACT_RIP_FOLDER, IDC_EXTRACT_ENCODE}) EnableItem(nId, bEnable);
    EnableEncodeOptions(bEnable && IsChecked(IDC_EXTRACT_ENCODE));
    EnableItem(IDC_EXTRACT_STOP, !bEnable);
    RefreshRip();
}

void CExtractDlg::RefreshRip() {
    if (!m_hWnd) return;
    const BOOL bIdle = !IsBusy() && !m_bHalted && !m_bRipOutstanding && !m_bEncodeOutstanding;
    EnableItem(IDC_EXTRACT_RIP, bIdle && AnyMarked() && !IsPlayerPlaying());
}

// ---- tooltips ------------------------------------------------------------------------------

UINT CExtractDlg::TipTextFor(UINT nId) const {
    const CWnd* pItem = GetDlgItem(static_cast<int>(nId));
    const BOOL bEnabled = pItem && pItem->IsWindowEnabled();
    const BOOL bEncode = IsChecked(IDC_EXTRACT_ENCODE);
    switch (nId) {
    case IDCANCEL: return IDS_TIP_CLOSE;
    case IDC_EXTRACT_RIP_FOLDER: return IDS_TIP_RIP_FOLDER;
    case IDC_EXTRACT_STOP: return bEnabled ? (bEncode ? IDS_TIP_RIP_ENCODE_STOP : IDS_TIP_RIP_STOP) : 0;
    case IDC_EXTRACT_RIP: return bEnabled ? (bEncode ? IDS_TIP_RIP_ENCODE : IDS_TIP_RIP) : 0;
    case IDC_EXTRACT_COMPLETION:
        return m_bEncoding ? IDS_TIP_PROGRESS_ENCODING : (m_bRipping ? IDS_TIP_PROGRESS_RIPPING : IDS_TIP_PROGRESS_IDLE);
    case IDC_EXTRACT_TRACK:
        return m_bEncoding ? IDS_TIP_TRACK_ENCODING : (m_bRipping ? IDS_TIP_TRACK_RIPPING : IDS_TIP_TRACK_IDLE);
    case IDC_EXTRACT_ELAPSED: return IDS_TIP_TRACK_TIME;
    case IDC_EXTRACT_SAMPLE_RATE: return bEnabled ? IDS_TIP_RIP_SAMPLE_RATE : 0;
    case IDC_EXTRACT_BIT_RATE: return bEnabled ? IDS_TIP_RIP_BITRATE : 0;
    case IDC_EXTRACT_MP3_FOLDER: return bEnabled ? IDS_TIP_MP3_FOLDER : 0;
    case IDC_EXTRACT_ENCODE: return bEncode ? IDS_TIP_ENCODE_ON : IDS_TIP_ENCODE_OFF;
    case IDC_EXTRACT_DELETE_WAVE:
        return bEnabled ? (IsChecked(nId) ? IDS_TIP_DELETE_WAVE_ON : IDS_TIP_DELETE_WAVE_OFF) : 0;
    default: return 0;
    }
}

BOOL CExtractDlg::OnToolTipText(UINT_PTR, NMHDR* pHdr, LRESULT* pResult) {
    const UINT nId = ToolTipControlId(pHdr);
    const UINT nText = nId ? TipTextFor(nId) : 0;
    if (!nText) return FALSE;
    AnswerToolTip(pHdr, nText, m_strTip);
    *pResult = 0;
    return TRUE;
}
