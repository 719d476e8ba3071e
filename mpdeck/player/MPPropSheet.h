// CMPPropSheet: mpdeck's modeless property sheet below the player window, with the
// playlist, encoder and decoder pages. The player window allocates it; it deletes
// itself once its window is gone and tells the player so.
#pragma once

#include "fw/Framework.h"

#include "DecodeDlg.h"
#include "EncodeDlg.h"
#include "PlaylistPage.h"

class CMP3PlayerDlg;

class CMPPropSheet : public CPropertySheet {
public:
    // A popup with a caption and a modal frame, but no system menu: no close box.
    static constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
    // How far right of the player a sheet goes that is moved up from the desktop's bottom.
    static constexpr int kShiftRight = 10;

    explicit CMPPropSheet(CMP3PlayerDlg* pPlayer);

    // Where a sheet of rcSheet's size goes: flush below the player, or, when that
    // would leave the desktop at the bottom, up against its bottom and a little right.
    static CPoint PlaceBelow(const CRect& rcPlayer, const CRect& rcSheet, const CRect& rcDesktop);
    void PlaceBelowPlayer();

    // Tells the page that is active now, and no other, that playing started or stopped.
    void PlayingChanged(BOOL bPlaying);

    CMP3PlayerDlg* Player() const { return m_pPlayer; }

    CMPlaylist m_pagePlaylist;
    CEncodeDlg m_pageEncode;
    CDecodeDlg m_pageDecode;

protected:
    void OnDestroy();
    void PostNcDestroy() override;

    CMP3PlayerDlg* m_pPlayer;

    DECLARE_MESSAGE_MAP()
};
