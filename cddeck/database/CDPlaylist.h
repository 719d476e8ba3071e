// CCDPlaylist: the "CD PlayList" page of the CD player's property sheet, the editor of
// the database entry of the disc in the drive: album data, track titles, which tracks
// play (a check mark each) and the Loop and Shuffle switches. Its changes stay on the
// page until it saves them into the disc model and the database.
#pragma once

#include "fw/Framework.h"

#include <memory>
#include <vector>

#include "CDAuditionDlg.h"
#include "CDSheetPage.h"
#include "SkinControls.h"
#include "TrackTitleList.h"
#include "cddeck/PlaylistIds.h"

class CCDDisc;
class CCDPlayerLink;

class CCDPlaylist : public CCDSheetPage, public CCDAuditionOwner {
public:
    explicit CCDPlaylist(CCDPlayerLink* pPlayer = nullptr);
    ~CCDPlaylist() override;

    // Notifications of the player, forwarded by the sheet.
    void OnPlayingChanged(BOOL bPlaying) override;
    void OnDiscChanged() override;
    void OnPlayModeChanged(int nMode) override;
    void OnSheetMoved() override;

    // The audition dialog's view of the page.
    CWnd* GetAuditionPage() override { return this; }
    void OnAuditionPlaying() override;
    // The open audition, or nullptr.
    CCDAuditionDlg* Audition() const { return m_pAudition.get(); }

    // The page from the disc model; unsaved edits are dropped.
    void Refresh();
    // The page into the disc model and the database.
    void Save();

    BOOL IsModified() const { return m_bModified; }
    // Tracks checked for the selection, one byte per track.
    const std::vector<BYTE>& Marks() const { return m_marks; }

    CTrackTitleList m_tracks;
    CComboBox m_genres;


protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy();

private:
    void FillGenres();
    void SelectGenre(const CString& strGenre);
    void FillList();
    void ToggleMark(int nIndex);
    // The user's answer to leaving unsaved edits: No saves them, Yes drops them.
    void AskToSave();
    BOOL IsPlayerPlaying() const;
    BOOL IsChecked(UINT nId) const;
    int PageMode() const;
    void EnableAudition();
    void CloseSheet();
    void OnAudition();
    LRESULT OnAuditionClosed(WPARAM wParam, LPARAM lParam);
    // Ends an open audition, gives the drive back to the player and frees the page.
    void CloseAudition();
    void EnableDuringAudition(BOOL bEnable);
    void PlaceAudition();

    void OnFieldChanged();
    void OnItemChanged(NMHDR* pHdr, LRESULT* pResult);
    void OnListDoubleClick(NMHDR* pHdr, LRESULT* pResult);
    void OnBeginLabelEdit(NMHDR* pHdr, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pHdr, LRESULT* pResult);
    UINT TipTextFor(UINT nId) const;
    BOOL OnToolTipText(UINT_PTR nId, NMHDR* pHdr, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

    CCDPlayerLink* m_pPlayer;
    CCDDisc* m_pDisc = nullptr;
    CImageList m_images;
    std::vector<BYTE> m_marks;
    int m_bModified = 0;
    int m_bFilling = 0;
    // The disc the page was filled from: a re-read of the same disc keeps the edits.
    CString m_strFilledIdentifier;
    CString m_strTip;
    std::unique_ptr<CCDAuditionDlg> m_pAudition;
};
