// CMPlaylist: the playlist page of mpdeck's property sheet (template 803). It edits a
// working copy of the current playlist, one entry per row and in row order, and hands
// it to the model when the page is left or closed.
#pragma once

#include "fw/Framework.h"

#include <vector>

#include "AuditionDlg.h"
#include "Mp3Play.h"
#include "PlayerLink.h"
#include "SkinControls.h"
#include "SongEntry.h"
#include "mpdeck/PlaylistPageIds.h"

class CPlaylistModel;

// The rows' order after moving the block of nCount rows from nFirst onto row nTarget
// (nRows: below the last row). order[i] is the old index of the row that comes i-th;
// empty when nothing moves (a drop onto the block itself).
std::vector<int> MovedRowOrder(int nRows, int nFirst, int nCount, int nTarget);

class CMPlaylist : public CPropertyPage, public CAuditionOwner, public CPlayerPage {
public:
    enum { IDD = IDD_PLAYLIST_PAGE };
    enum Column { kColSong = 0, kColLength = 1, kColType = 2 };

    explicit CMPlaylist(CPlaylistModel& model);

    // Set by the sheet before the page is shown.
    CPlayerLink* m_pPlayer = nullptr;

    CWnd* GetAuditionParent() override { return this; }
    void SetPlayerLock(BOOL bLock) override;

    // The player started or stopped (forwarded by the sheet).
    void OnPlayingChanged(BOOL bPlaying);
    void PlayingChanged(BOOL bPlaying) override { OnPlayingChanged(bPlaying); }

    void FillFromModel();
    void CommitPage();
    void AddSongFile(LPCSTR lpszPath, int nIndex);
    // Songs, and the songs of M3U, M3U8 and PLS lists, at the end of the list; one
    // message counts the songs of lists that were not found.
    void AddPaths(const std::vector<CString>& paths);
    // Writes the list as M3U8; FALSE (after a message) when it cannot be written.
    BOOL SaveAsM3u8(LPCSTR lpszPath);

    const CSongList& WorkingList() const { return m_songs; }
    unsigned TotalSeconds() const;
    BOOL IsModified() const { return m_bModified; }
    BOOL IsDragging() const { return m_bDragging; }

    CSkinListCtrl m_list;
    CMp3Play m_mp3Play;  // measures MP3 lengths
    CAuditionDlg m_audition;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnCancel() override;

    void OnOpen();
    void OnSave();
    void OnAdd();
    void OnRemove();
    void OnMoreInfo();
    void OnAudition();
    void OnModeClicked();
    void OnListClick(NMHDR* pHdr, LRESULT* pResult);
    void OnListDoubleClick(NMHDR* pHdr, LRESULT* pResult);
    void OnBeginDrag(NMHDR* pHdr, LRESULT* pResult);
    void OnListRightClick(NMHDR* pHdr, LRESULT* pResult);
    LRESULT OnListDropFiles(WPARAM wParam, LPARAM lParam);
    LRESULT OnListMouse(WPARAM wParam, LPARAM lParam);
    LRESULT OnAuditionClosed(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonHover(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    BOOL OnToolTipText(UINT_PTR nId, NMHDR* pHdr, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    void InsertColumns();
    // Label, length and type of a row from its entry.
    void ShowRow(int nRow);
    void ShowRowsFrom(int nFirst);
    void ShowTotals();
    void ShowTabCaption();
    int PlayModeOfChecks() const;
    BOOL ListDiffersFromModel() const;
    // Save Playlist dialog, then commit and save; FALSE unless it ended with OK.
    BOOL SaveUnderChosenName();

    BOOL IsBusy() const;
    BOOL IsBlocked() const;
    void RefreshBusyButtons();
    void RefreshSelectionButtons();
    void EnableItem(UINT nId, BOOL bEnable);
    BOOL IsChecked(UINT nId) const;
    int FirstSelectedRow() const;
    UINT TipTextFor(UINT nId) const;

    // Row moves.
    BOOL SelectedBlock(int& nFirst, int& nCount) const;
    void DragOver(CPoint point);
    void Drop(CPoint point);
    void EndDrag();
    void SetDropHighlight(int nRow);
    // The row under a point of the list, the row count below the last row, -1 elsewhere.
    int DropTarget(CPoint point) const;
    int RowHeight() const;

    CPlaylistModel& m_model;
    CSongList m_songs;  // the working list, one entry per row
    CSkinButtonSet m_buttons;
    BOOL m_bModified = FALSE;
    BOOL m_bDragging = FALSE;
    int m_nDragFirst = 0;
    int m_nDragCount = 0;
    int m_nDropRow = -1;
    HCURSOR m_hRowCursor = nullptr;
    HCURSOR m_hRowsCursor = nullptr;
    HCURSOR m_hNoCursor = nullptr;
    CString m_strTip;
};
