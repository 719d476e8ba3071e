#include "PlaylistPage.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "OpenPlaylistDlg.h"
#include "PlayerLink.h"
#include "PlaylistModel.h"
#include "ResourceIds.h"
#include "SavePlaylistDlg.h"
#include "SkinApp.h"
#include "SkinFiles.h"
#include "SkinMessages.h"
#include "SkinText.h"
#include "PlayMode.h"
#include "ID3Tag.h"
#include "ListFile.h"
#include "SongInfoDlg.h"
#include "TelmarIds.h"
#include "WaveDevice.h"
#include "WaveInfoDlg.h"

namespace {

// The page's check boxes store these modes.
constexpr int kModeShuffle = 5;
constexpr int kModeShuffleLoop = 6;

constexpr unsigned kSecondsPerHour = 3600;
constexpr unsigned kSecondsPerMinute = 60;
constexpr int kExtensionChars = 4;
constexpr int kNoRow = -1;

constexpr int kButtonCount = 7;
const SkinButtonPlace kButtons[kButtonCount] = {
    {IDC_PLAYLIST_OPEN, 9, 8, 54, 49, {0, 20}, {0, 70}},
    {IDC_PLAYLIST_SAVE, 75, 8, 54, 49, {55, 20}, {55, 70}},
    {IDC_BATCH_ADD, 141, 8, 54, 49, {110, 20}, {110, 70}},
    {IDC_BATCH_REMOVE, 207, 8, 54, 49, {165, 20}, {165, 70}},
    {IDC_BATCH_MORE_INFO, 273, 8, 54, 49, {220, 20}, {220, 70}},
    {IDC_BATCH_AUDITION, 339, 8, 54, 49, {276, 20}, {276, 70}},
    {IDCANCEL, 405, 8, 54, 49, {331, 20}, {CSkinButton::kNoDisabledImage, 0}},
};

// Description and pattern pairs of the Add dialog, the first one preselected.
const UINT kAddFilter[] = {IDS_AUDIO_FILTER_NAME, IDS_AUDIO_PATTERNS, IDS_MP3_FILTER_NAME, IDS_MP3_PATTERNS,
                           IDS_WAVE_FILTER_NAME,  IDS_WAVE_PATTERN,   IDS_LIST_FILTER_NAME, IDS_LIST_PATTERNS,
                           IDS_ALL_FILTER_NAME,   IDS_ALL_PATTERN};
// The list menu's one command.
constexpr UINT kCmdSaveM3u8 = 1;

// A check box shows its second text while unchecked.
struct PlaylistTip {
    UINT nId;
    UINT nText;
    UINT nTextUnchecked;
};
const PlaylistTip kTips[] = {
    {IDCANCEL, IDS_TIP_CLOSE, 0},
    {IDC_PLAYLIST_RESUME, IDS_TIP_RESUME_ON, IDS_TIP_RESUME_OFF},
    {IDC_BATCH_JOBS, IDS_TIP_PL_LIST, 0},
    {IDC_BATCH_AUTOPLAY, IDS_TIP_AUTOPLAY_ON, IDS_TIP_AUTOPLAY_OFF},
    {IDC_PLAYLIST_LOOP, IDS_TIP_LOOP_ON, IDS_TIP_LOOP_OFF},
    {IDC_PLAYLIST_SHUFFLE, IDS_TIP_SHUFFLE_ON, IDS_TIP_SHUFFLE_OFF},
    {IDC_BATCH_AUDITION, IDS_TIP_PL_AUDITION, 0},
    {IDC_BATCH_MORE_INFO, IDS_TIP_PL_MORE_INFO, 0},
    {IDC_PLAYLIST_SAVE, IDS_TIP_PL_SAVE, 0},
    {IDC_PLAYLIST_OPEN, IDS_TIP_PL_OPEN, 0},
    {IDC_BATCH_ADD, IDS_TIP_PL_ADD, 0},
    {IDC_BATCH_REMOVE, IDS_TIP_PL_REMOVE, 0},
};

// Artist and title as a list of another program writes them.
CString SongTitle(const CSongEntry& entry) {
    if (entry.m_strTagTitle.IsEmpty()) return entry.m_strListTitle;
    if (entry.m_strTagArtist.IsEmpty()) return entry.m_strTagTitle;
    return entry.m_strTagArtist + " - " + entry.m_strTagTitle;
}

// An MP3 whose tag names the song shows artist and title, a song from another
// program's list the title that list gave; any other row its path.
CString RowLabel(int nRow, const CSongEntry& entry) {
    CString strLabel;
    if (entry.m_strTagTitle.IsEmpty() && !entry.m_strListTitle.IsEmpty())
        strLabel.Format("<%.3d>  %s", nRow + 1, entry.m_strListTitle.GetString());
    else if (entry.m_strTagTitle.IsEmpty())
        strLabel.Format("<%.3d>  %s", nRow + 1, entry.m_strPath.GetString());
    else if (entry.m_strTagArtist.IsEmpty())
        strLabel.Format("<%.3d>  %s", nRow + 1, entry.m_strTagTitle.GetString());
    else
        strLabel.Format("<%.3d>  %s - %s", nRow + 1, entry.m_strTagArtist.GetString(), entry.m_strTagTitle.GetString());
    return strLabel;
}

void ReadSongTag(CSongEntry& entry) {
    if (entry.m_bTagRead || entry.m_nType != SONG_MPEG) return;
    CID3Tag tag;
    tag.m_strPath = entry.m_strPath;
    tag.ReadTag();
    entry.m_strTagTitle = tag.GetTitle();
    entry.m_strTagArtist = tag.GetArtist();
    entry.m_bTagRead = TRUE;
}

CString LengthText(LONG nSeconds) {
    CString strLength;
    strLength.Format("%.2d:%.2d", static_cast<int>(nSeconds / 60), static_cast<int>(nSeconds % 60));
    return strLength;
}

void AppendRange(std::vector<int>& order, int nFrom, int nTo) {
    for (int i = nFrom; i < nTo; ++i) order.push_back(i);
}

}  // namespace

std::vector<int> MovedRowOrder(int nRows, int nFirst, int nCount, int nTarget) {
    std::vector<int> order;
    if (nCount < 1 || nFirst < 0 || nFirst + nCount > nRows || nTarget < 0 || nTarget > nRows) return order;
    const int nEnd = nFirst + nCount;
    if (nTarget < nFirst) {
        AppendRange(order, 0, nTarget);
        AppendRange(order, nFirst, nEnd);
        AppendRange(order, nTarget, nFirst);
        AppendRange(order, nEnd, nRows);
        return order;
    }
    // The block goes right after the target row; below the last row is after the last.
    const int nAfter = std::min(nTarget, nRows - 1);
    if (nAfter < nEnd) return order;  // onto the block itself
    AppendRange(order, 0, nFirst);
    AppendRange(order, nEnd, nAfter + 1);
    AppendRange(order, nFirst, nEnd);
    AppendRange(order, nAfter + 1, nRows);
    return order;
}

BEGIN_MESSAGE_MAP(CMPlaylist, CPropertyPage)
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_BN_CLICKED(IDC_PLAYLIST_OPEN, OnOpen)
    ON_BN_CLICKED(IDC_PLAYLIST_SAVE, OnSave)
    ON_BN_CLICKED(IDC_BATCH_ADD, OnAdd)
    ON_BN_CLICKED(IDC_BATCH_REMOVE, OnRemove)
    ON_BN_CLICKED(IDC_BATCH_MORE_INFO, OnMoreInfo)
    ON_BN_CLICKED(IDC_BATCH_AUDITION, OnAudition)
    ON_BN_CLICKED(IDC_PLAYLIST_LOOP, OnModeClicked)
    ON_BN_CLICKED(IDC_PLAYLIST_SHUFFLE, OnModeClicked)
    ON_NOTIFY(NM_CLICK, IDC_BATCH_JOBS, OnListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_BATCH_JOBS, OnListDoubleClick)
    ON_NOTIFY(LVN_BEGINDRAG, IDC_BATCH_JOBS, OnBeginDrag)
    ON_NOTIFY(NM_RCLICK, IDC_BATCH_JOBS, OnListRightClick)
    ON_MESSAGE(UM_LISTDROPFILES, OnListDropFiles)
    ON_MESSAGE(UM_LISTMOUSE, OnListMouse)
    ON_MESSAGE(UM_AUDITIONCLOSED, OnAuditionClosed)
    ON_MESSAGE(UM_BUTTONHOVER, OnButtonHover)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, static_cast<UINT_PTR>(-1), OnToolTipText)
END_MESSAGE_MAP()

CMPlaylist::CMPlaylist(CPlaylistModel& model) : CPropertyPage(IDD), m_model(model) {}

BOOL CMPlaylist::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_list.SubclassDlgItem(IDC_BATCH_JOBS, this);
    if (GetDlgItem(IDC_BATCH_MP3_CONTROL)) m_mp3Play.SubclassDlgItem(IDC_BATCH_MP3_CONTROL, this);
    m_buttons.Attach(this, kButtons, kButtonCount);
    InsertColumns();
    FillFromModel();
    ::CheckDlgButton(m_hWnd, IDC_PLAYLIST_RESUME, GetSkinApp()->m_bResume ? BST_CHECKED : BST_UNCHECKED);
    RefreshBusyButtons();
    EnableToolTips(TRUE);
    m_list.DragAcceptFiles(TRUE);
    m_bModified = FALSE;
    return TRUE;
}

BOOL CMPlaylist::OnSetActive() {
    RefreshBusyButtons();
    return CPropertyPage::OnSetActive();
}

BOOL CMPlaylist::OnKillActive() {
    CommitPage();
    return CPropertyPage::OnKillActive();
}

void CMPlaylist::OnCancel() {
    CommitPage();
    SetPlayerLock(FALSE);
    if (CPropertySheet* pSheet = GetSheet()) pSheet->DestroyWindow();
}

void CMPlaylist::OnPlayingChanged(BOOL) {
    RefreshBusyButtons();
}

void CMPlaylist::SetPlayerLock(BOOL bLock) {
    if (m_pPlayer) m_pPlayer->SetPlayerLock(bLock);
}

// ---- rows and the model ----------------------------------------------------------

void CMPlaylist::InsertColumns() {
    CRect rcList;
    m_list.GetWindowRect(&rcList);
    const int w = rcList.Width();
    m_list.InsertColumn(kColSong, "Song", LVCFMT_LEFT, 6 * w / 8 - 20);
    m_list.InsertColumn(kColLength, "Length", LVCFMT_LEFT, w / 8 + 10);
    m_list.InsertColumn(kColType, "Type", LVCFMT_LEFT, w / 8 + 10);
}

void CMPlaylist::ShowRow(int nRow) {
    CSongEntry* pEntry = m_songs.GetAt(nRow);
    if (!pEntry) return;
    ReadSongTag(*pEntry);
    m_list.SetItemText(nRow, kColSong, RowLabel(nRow, *pEntry));
    m_list.SetItemText(nRow, kColLength, LengthText(pEntry->m_nLength));
    m_list.SetItemText(nRow, kColType, CSongEntry::TypeText(pEntry->m_nType));
}

void CMPlaylist::ShowRowsFrom(int nFirst) {
    for (int i = std::max(nFirst, 0); i < m_songs.GetCount(); ++i) ShowRow(i);
}

unsigned CMPlaylist::TotalSeconds() const {
    unsigned nTotal = 0;
    for (int i = 0; i < m_songs.GetCount(); ++i) nTotal += static_cast<unsigned>(m_songs.GetAt(i)->m_nLength);
    return nTotal;
}

void CMPlaylist::ShowTotals() {
    const unsigned nTotal = TotalSeconds();
    SetDlgItemText(IDC_PLAYLIST_TOTALS,
                   FormatText(IDS_PLAYLIST_TOTALS, m_songs.GetCount(), static_cast<int>(nTotal / kSecondsPerHour),
                              static_cast<int>(nTotal / kSecondsPerMinute % kSecondsPerMinute),
                              static_cast<int>(nTotal % kSecondsPerMinute)));
}

void CMPlaylist::ShowTabCaption() {
    CPropertySheet* pSheet = GetSheet();
    if (!pSheet) return;
    const int nPage = pSheet->GetPageIndex(this);
    if (nPage >= 0) pSheet->SetPageTitle(nPage, FormatText(IDS_PLAYLIST_TAB, m_model.m_strPlaylistName));
}

void CMPlaylist::FillFromModel() {
    m_list.DeleteAllItems();
    m_songs.RemoveAll();
    for (int i = 0; i < m_model.m_songList.GetCount(); ++i) {
        m_songs.AddTail(new CSongEntry(*m_model.m_songList.GetAt(i)));
        m_list.InsertItem(i, "");
        ShowRow(i);
    }
    ShowTotals();
    const int nMode = m_pPlayer ? m_pPlayer->GetPlayMode() : m_model.m_nPlayMode;
    ::CheckDlgButton(m_hWnd, IDC_PLAYLIST_LOOP, playmode::HasLoop(nMode) ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_PLAYLIST_SHUFFLE, playmode::HasShuffle(nMode) ? BST_CHECKED : BST_UNCHECKED);
    ShowTabCaption();
}

int CMPlaylist::PlayModeOfChecks() const {
    const BOOL bLoop = IsChecked(IDC_PLAYLIST_LOOP);
    if (IsChecked(IDC_PLAYLIST_SHUFFLE)) return bLoop ? kModeShuffleLoop : kModeShuffle;
    return bLoop ? playmode::kLoopBit : playmode::kPlain;
}

BOOL CMPlaylist::ListDiffersFromModel() const {
    const CSongList& model = m_model.m_songList;
    if (model.GetCount() != m_songs.GetCount()) return TRUE;
    for (int i = 0; i < m_songs.GetCount(); ++i) {
        if (model.GetAt(i)->m_strPath != m_songs.GetAt(i)->m_strPath) return TRUE;
    }
    return FALSE;
}

void CMPlaylist::CommitPage() {
    const BOOL bResume = IsChecked(IDC_PLAYLIST_RESUME);
    const int nMode = PlayModeOfChecks();
    if (m_pPlayer && nMode != m_pPlayer->GetPlayMode()) {
        m_pPlayer->ChangePlayMode(nMode);
        // A resumed pass must not index a shuffle order built for another mode.
        if (bResume) m_pPlayer->SetPlayerRestart();
        // The player's mode button may have set the model's flag: it stays set.
        if (m_bModified) m_model.m_bPlaylistModified = TRUE;
    }
    GetSkinApp()->m_bResume = bResume;
    const BOOL bChanged = ListDiffersFromModel();
    if (bChanged && m_pPlayer && m_pPlayer->IsPlayerPlaying()) {
        ShowMessage(this, IDS_LIST_LOCKED_WHILE_PLAYING, MB_ICONINFORMATION);
        return;
    }
    m_model.m_songList.RemoveAll();
    for (int i = 0; i < m_songs.GetCount(); ++i) m_model.m_songList.AddTail(new CSongEntry(*m_songs.GetAt(i)));
    if (m_bModified) m_model.m_bPlaylistModified = TRUE;
    // A resumed position or shuffle order belongs to the old list.
    if (bChanged && m_pPlayer) m_pPlayer->SetPlayerRestart();
}

void CMPlaylist::AddSongFile(LPCSTR lpszPath, int nIndex) {
    nIndex = std::clamp(nIndex, 0, m_songs.GetCount());
    auto* pEntry = new CSongEntry(lpszPath, SONG_UNKNOWN);
    CString strLower = pEntry->m_strPath;
    strLower.MakeLower();
    const CString strExt = strLower.Right(kExtensionChars);
    const CString strWave = LoadText(IDS_WAVE_SUFFIX);
    // A path shorter than an extension names no type.
    if (strExt.GetLength() == kExtensionChars && LoadText(IDS_MP3_PATTERNS).Find(strExt) >= 0) {
        pEntry->m_nType = SONG_MPEG;
        pEntry->m_nLength = std::max(m_mp3Play.ScanLengthSeconds(pEntry->m_strPath), 0L);
    } else if (!strWave.IsEmpty() && strLower.Find(strWave) >= 0) {
        pEntry->m_nType = SONG_WAVE;
        if (m_pPlayer) {
            CWaveDevice& wave = m_pPlayer->GetWaveDevice();
            wave.m_strPath = pEntry->m_strPath;
            if (wave.Open()) {
                pEntry->m_dwSize = wave.m_dwLengthBytes;
                pEntry->m_nLength = static_cast<LONG>(wave.m_dwLengthSeconds);
                pEntry->m_dwBitsPerSample = wave.m_dwBitsPerSample;
                pEntry->m_dwSamplesPerSec = wave.m_dwSamplesPerSec;
                pEntry->m_dwChannels = wave.m_dwChannels;
                pEntry->m_dwAvgBytesPerSec = wave.m_dwAvgBytesPerSec;
                wave.Close();
            }
        }
    }
    m_songs.InsertAt(nIndex, pEntry);
    m_list.InsertItem(nIndex, "");
    ShowRowsFrom(nIndex);
}

void CMPlaylist::AddPaths(const std::vector<CString>& paths) {
    int nMissing = 0;
    for (const CString& strPath : paths) {
        if (!IsListFile(strPath)) {
            AddSongFile(strPath, m_songs.GetCount());
            continue;
        }
        std::vector<ListSong> songs;
        int nListMissing = 0;
        if (!ReadListFile(strPath, songs, nListMissing)) {
            ShowMessage(this, IDS_LIST_READ_FAILED, MB_OK | MB_ICONEXCLAMATION, strPath.GetString());
            continue;
        }
        nMissing += nListMissing;
        for (const ListSong& song : songs) {
            const int nRow = m_songs.GetCount();
            AddSongFile(song.strPath, nRow);
            m_songs.GetAt(nRow)->m_strListTitle = song.strTitle;
            ShowRow(nRow);
        }
    }
    if (nMissing > 0) ShowMessage(this, IDS_LIST_SONGS_MISSING, MB_OK | MB_ICONINFORMATION, nMissing);
}

BOOL CMPlaylist::SaveAsM3u8(LPCSTR lpszPath) {
    std::vector<ListSong> songs;
    for (int i = 0; i < m_songs.GetCount(); ++i) {
        const CSongEntry* pEntry = m_songs.GetAt(i);
        ListSong song;
        song.strPath = pEntry->m_strPath;
        song.strTitle = SongTitle(*pEntry);
        song.nSeconds = pEntry->m_nLength > 0 ? pEntry->m_nLength : -1;
        songs.push_back(song);
    }
    if (WriteM3u8File(lpszPath, songs)) return TRUE;
    ShowMessage(this, IDS_LIST_SAVE_FAILED, MB_OK | MB_ICONEXCLAMATION, lpszPath);
    return FALSE;
}

void CMPlaylist::OnListRightClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    menu.AppendMenu(MF_STRING | (m_songs.IsEmpty() ? MF_GRAYED : 0), kCmdSaveM3u8, LoadText(IDS_LIST_SAVE_MENU));
    POINT ptCursor = {};
    ::GetCursorPos(&ptCursor);
    if (menu.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, ptCursor.x, ptCursor.y, this) != kCmdSaveM3u8) return;

    // Description and pattern, each ending in a NUL, and a NUL after the last.
    std::string strFilter = LoadText(IDS_M3U8_FILTER_NAME).GetString();
    strFilter += '\0';
    strFilter += LoadText(IDS_M3U8_PATTERN).GetString();
    strFilter += '\0';
    const CString strTitle = LoadText(IDS_LIST_SAVE_TITLE);
    CFileDialog dlg(FALSE, LoadText(IDS_M3U8_SUFFIX), nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                    nullptr, this);
    dlg.m_ofn.lpstrFilter = strFilter.c_str();
    dlg.m_ofn.lpstrTitle = strTitle;
    if (dlg.DoModal() == IDOK) SaveAsM3u8(dlg.GetPathName());
}

// ---- commands ------------------------------------------------------------------

void CMPlaylist::OnAdd() {
    std::vector<CString> paths;
    if (!ChooseFiles(this, IDS_ADD_SONGS_TITLE, IDS_MP3_SUFFIX, kAddFilter, static_cast<int>(std::size(kAddFilter)),
                     paths)) {
        return;
    }
    AddPaths(paths);
    ShowTotals();
    m_list.SetFocus();
    RefreshSelectionButtons();
    m_bModified = TRUE;
}

LRESULT CMPlaylist::OnListDropFiles(WPARAM wParam, LPARAM) {
    HDROP hDrop = reinterpret_cast<HDROP>(wParam);
    if (!IsBusy()) {
        const std::vector<CString> paths = DroppedPaths(hDrop);
        AddPaths(paths);
        if (!paths.empty()) {
            ShowTotals();
            m_bModified = TRUE;
        }
        m_list.SetFocus();
    }
    ::DragFinish(hDrop);
    return 0;
}

void CMPlaylist::OnRemove() {
    BOOL bRemoved = FALSE;
    for (int nRow = m_songs.GetCount() - 1; nRow >= 0; --nRow) {
        if (!(m_list.GetItemState(nRow, LVIS_SELECTED) & LVIS_SELECTED)) continue;
        m_list.DeleteItem(nRow);
        m_songs.RemoveAt(nRow);
        bRemoved = TRUE;
    }
    if (bRemoved) {
        m_bModified = TRUE;
        ShowRowsFrom(0);
        ShowTotals();
    }
    RefreshSelectionButtons();
}

void CMPlaylist::OnModeClicked() {
    m_bModified = TRUE;
}

int CMPlaylist::FirstSelectedRow() const {
    return m_list.GetNextItem(-1, LVNI_SELECTED);
}

void CMPlaylist::OnAudition() {
    const CSongEntry* pEntry = m_songs.GetAt(FirstSelectedRow());
    if (!pEntry) return;
    const int nType = pEntry->m_nType == SONG_MPEG ? CAuditionDlg::kTypeMpeg : SONG_WAVE;
    m_audition.Audition(this, pEntry->m_strPath, nType, FirstSelectedRow() + 1, pEntry->m_nLength);
}

LRESULT CMPlaylist::OnAuditionClosed(WPARAM, LPARAM) {
    m_audition.OnClosedNotice();
    return 0;
}

void CMPlaylist::OnMoreInfo() {
    const int nRow = FirstSelectedRow();
    CSongEntry* pEntry = m_songs.GetAt(nRow);
    if (!pEntry) return;
    if (pEntry->m_nType == SONG_MPEG) {
        CSongInfoDlg dlg(this);
        dlg.m_strPath = pEntry->m_strPath;
        dlg.DoModal();
        // The editor may have saved or removed the tag the row shows.
        pEntry->m_bTagRead = FALSE;
        ShowRow(nRow);
        return;
    }
    CWaveInfoDlg dlg(this);
    dlg.m_strPath = pEntry->m_strPath;
    dlg.m_nRow = nRow;
    dlg.m_pSongs = &m_songs;
    dlg.DoModal();
}

void CMPlaylist::OnListDoubleClick(NMHDR*, LRESULT* pResult) {
    OnMoreInfo();
    *pResult = 0;
}

void CMPlaylist::OnListClick(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    RefreshSelectionButtons();
    if (!IsBlocked() && IsChecked(IDC_BATCH_AUTOPLAY) && m_list.GetSelectedCount() == 1) OnAudition();
}

BOOL CMPlaylist::SaveUnderChosenName() {
    CSavePlaylistDlg dlg(m_model, this);
    if (dlg.DoModal() != IDOK) return FALSE;
    CommitPage();
    m_model.SavePlaylist(m_pPlayer ? m_pPlayer->GetPlayMode() : PlayModeOfChecks());
    m_bModified = FALSE;
    ShowTabCaption();
    return TRUE;
}

void CMPlaylist::OnSave() {
    SaveUnderChosenName();
}

void CMPlaylist::OnOpen() {
    if (m_bModified) {
        const int nAnswer = ShowMessage(this, IDS_ASK_SAVE_PLAYLIST, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (nAnswer == IDCANCEL) return;
        if (nAnswer == IDYES && !SaveUnderChosenName()) return;
    }
    COpenPlaylistDlg dlg(m_model, this);
    if (dlg.DoModal() == IDCANCEL) return;
    if (m_pPlayer) m_pPlayer->TakeLoadedPlaylist();
    FillFromModel();
    // The page shows the list as it was loaded: nothing of it is an edit.
    m_bModified = FALSE;
    if (m_pPlayer) m_pPlayer->SetPlayerRestart();
}

// ---- button states --------------------------------------------------------------

BOOL CMPlaylist::IsChecked(UINT nId) const {
    return ::IsDlgButtonChecked(m_hWnd, static_cast<int>(nId)) == BST_CHECKED;
}

void CMPlaylist::EnableItem(UINT nId, BOOL bEnable) {
    if (CWnd* pItem = GetDlgItem(static_cast<int>(nId))) pItem->EnableWindow(bEnable);
}

BOOL CMPlaylist::IsBusy() const {
    return m_pPlayer && (m_pPlayer->IsPlayerPlaying() || m_pPlayer->IsPlayerLocked());
}

BOOL CMPlaylist::IsBlocked() const {
    return m_pPlayer &&
           (m_pPlayer->IsPlayerPlaying() || (m_pPlayer->IsPlayerLocked() && !m_audition.GetSafeHwnd()));
}

void CMPlaylist::RefreshBusyButtons() {
    if (!m_hWnd) return;
    const BOOL bBusy = IsBusy();
    const UINT nSelected = m_list.GetSelectedCount();
    EnableItem(IDC_BATCH_MORE_INFO, nSelected == 1);
    for (UINT nId : {IDC_PLAYLIST_OPEN, IDC_PLAYLIST_SAVE, IDC_BATCH_ADD, IDC_BATCH_AUTOPLAY}) EnableItem(nId, !bBusy);
    EnableItem(IDC_BATCH_REMOVE, !bBusy && nSelected >= 1);
    EnableItem(IDC_BATCH_AUDITION, !bBusy && nSelected == 1);
}

void CMPlaylist::RefreshSelectionButtons() {
    const BOOL bBlocked = IsBlocked();
    const UINT nSelected = m_list.GetSelectedCount();
    EnableItem(IDC_BATCH_REMOVE, nSelected >= 1 && !bBlocked);
    EnableItem(IDC_BATCH_MORE_INFO, nSelected == 1);
    EnableItem(IDC_BATCH_AUDITION, nSelected == 1 && !bBlocked);
}

// ---- row moves --------------------------------------------------------------------

BOOL CMPlaylist::SelectedBlock(int& nFirst, int& nCount) const {
    nFirst = FirstSelectedRow();
    if (nFirst < 0) return FALSE;
    nCount = 0;
    while (nFirst + nCount < m_songs.GetCount() && (m_list.GetItemState(nFirst + nCount, LVIS_SELECTED) & LVIS_SELECTED))
        ++nCount;
    return static_cast<UINT>(nCount) == m_list.GetSelectedCount();
}

void CMPlaylist::OnBeginDrag(NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    if (IsBusy() || !SelectedBlock(m_nDragFirst, m_nDragCount)) return;
    m_bDragging = TRUE;
    m_nDropRow = kNoRow;
    CSkinApp* pApp = GetSkinApp();
    if (!m_hRowCursor) m_hRowCursor = pApp->LoadCursor(IDC_DRAG_ROW);
    if (!m_hRowsCursor) m_hRowsCursor = pApp->LoadCursor(IDC_DRAG_ROWS);
    if (!m_hNoCursor) m_hNoCursor = pApp->LoadStandardCursor(IDC_NO);
    m_list.SetCapture();
    ::SetCursor(m_nDragCount == 1 ? m_hRowCursor : m_hRowsCursor);
}

LRESULT CMPlaylist::OnListMouse(WPARAM wParam, LPARAM lParam) {
    // Above or left of the list the coordinates are negative.
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!m_bDragging) return 0;
    if (wParam == CSkinListCtrl::kMouseDrag) DragOver(point);
    if (wParam == CSkinListCtrl::kMouseUp) Drop(point);
    return 0;
}

int CMPlaylist::RowHeight() const {
    CRect rcRow;
    if (!m_list.GetItemRect(m_list.GetTopIndex(), &rcRow, LVIR_BOUNDS)) return 0;
    return rcRow.Height();
}

int CMPlaylist::DropTarget(CPoint point) const {
    const int nRows = m_songs.GetCount();
    const int nTop = m_list.GetTopIndex();
    CRect rcTop;
    if (nRows == 0 || !m_list.GetItemRect(nTop, &rcTop, LVIR_BOUNDS) || rcTop.Height() <= 0) return kNoRow;
    // Rows by height alone: any x of a row counts, also right of the last column.
    if (point.y < rcTop.top) return kNoRow;  // the column headers
    const int nRow = nTop + (point.y - rcTop.top) / rcTop.Height();
    return nRow < nRows ? nRow : nRows;
}

void CMPlaylist::SetDropHighlight(int nRow) {
    if (nRow == m_nDropRow) return;
    if (m_nDropRow >= 0) {
        m_list.SetItemState(m_nDropRow, 0, LVIS_DROPHILITED);
        m_list.RedrawItems(m_nDropRow, m_nDropRow);
    }
    m_nDropRow = nRow;
    if (m_nDropRow >= 0) {
        m_list.SetItemState(m_nDropRow, LVIS_DROPHILITED, LVIS_DROPHILITED);
        m_list.RedrawItems(m_nDropRow, m_nDropRow);
    }
    m_list.UpdateWindow();
}

void CMPlaylist::DragOver(CPoint point) {
    CRect rcList;
    m_list.GetClientRect(&rcList);
    if (rcList.PtInRect(point)) {
        ::SetCursor(m_nDragCount == 1 ? m_hRowCursor : m_hRowsCursor);
        const int nTarget = DropTarget(point);
        SetDropHighlight(nTarget < m_songs.GetCount() ? nTarget : kNoRow);
        return;
    }
    if (point.x >= rcList.left && point.x < rcList.right) {
        if (point.y < rcList.top) m_list.Scroll(CSize(0, -RowHeight()));
        if (point.y >= rcList.bottom) m_list.Scroll(CSize(0, RowHeight()));
    }
    ::SetCursor(m_hNoCursor);
    SetDropHighlight(kNoRow);
}

void CMPlaylist::EndDrag() {
    m_bDragging = FALSE;
    SetDropHighlight(kNoRow);
    CWnd::ReleaseCapture();
    ::SetCursor(GetSkinApp()->m_hArrowCursor);
}

void CMPlaylist::Drop(CPoint point) {
    EndDrag();
    CRect rcList;
    m_list.GetClientRect(&rcList);
    if (!rcList.PtInRect(point)) return;
    const int nTarget = DropTarget(point);
    const int nRows = m_songs.GetCount();
    const std::vector<int> order = MovedRowOrder(nRows, m_nDragFirst, m_nDragCount, nTarget);
    if (order.empty() || !m_songs.Reorder(order)) return;
    const int nFirstChanged = std::min(nTarget, m_nDragFirst);
    ShowRowsFrom(nFirstChanged);
    // The moved block stays selected at its new place.
    const int nNewFirst = nTarget < m_nDragFirst ? nTarget : std::min(nTarget, nRows - 1) - m_nDragCount + 1;
    for (int i = nFirstChanged; i < nRows; ++i) {
        const BOOL bMoved = i >= nNewFirst && i < nNewFirst + m_nDragCount;
        m_list.SetItemState(i, bMoved ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    m_bModified = TRUE;
}

// ---- hover, cursor and tooltips ---------------------------------------------------------

LRESULT CMPlaylist::OnButtonHover(WPARAM wParam, LPARAM) {
    m_buttons.OnButtonHover(static_cast<UINT>(wParam));
    return 0;
}

void CMPlaylist::OnMouseMove(UINT, CPoint) {
    m_buttons.OnPageMouseMove();
    Default();
}

BOOL CMPlaylist::OnSetCursor(CWnd*, UINT, UINT) {
    ::SetCursor(GetSkinApp()->m_hArrowCursor);
    return TRUE;
}

UINT CMPlaylist::TipTextFor(UINT nId) const {
    for (const PlaylistTip& tip : kTips) {
        if (tip.nId != nId) continue;
        return tip.nTextUnchecked && !IsChecked(nId) ? tip.nTextUnchecked : tip.nText;
    }
    return 0;
}

BOOL CMPlaylist::OnToolTipText(UINT_PTR, NMHDR* pHdr, LRESULT* pResult) {
    const UINT nId = ToolTipControlId(pHdr);
    const UINT nText = nId ? TipTextFor(nId) : 0;
    if (!nText) return FALSE;
    AnswerToolTip(pHdr, nText, m_strTip);
    *pResult = 0;
    return TRUE;
}
