// The playlist page of mpdeck's property sheet: it shows its template and closes the
// sheet with its Close button until the playlist tool fills it.
#pragma once

#include "fw/Framework.h"

#include "PlayerLink.h"
#include "SheetPageIds.h"

class CMP3PlayerDlg;

// What every page of the sheet shares: Close, and being told that playing started
// or stopped.
class CMPSheetPage : public CPropertyPage, public CPlayerPage {
public:
    explicit CMPSheetPage(UINT nIDTemplate) : CPropertyPage(nIDTemplate) {}

    // The player started (TRUE) or stopped (FALSE) playing; only the active page hears it.
    void PlayingChanged(BOOL bPlaying) override { m_bPlayerPlaying = bPlaying; }

    BOOL m_bPlayerPlaying = FALSE;

protected:
    CMP3PlayerDlg* Player() const;
    // Close: the page is done with the player's devices, and the sheet goes.
    void OnCancel() override;
};

class CMPlaylist : public CMPSheetPage {
public:
    enum { IDD = IDD_PLAYLIST_PAGE };
    CMPlaylist() : CMPSheetPage(IDD) {}
};
