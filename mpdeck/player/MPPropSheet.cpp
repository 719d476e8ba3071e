#include "MPPropSheet.h"

#include "MP3PlayerDlg.h"
#include "ProgramNames.h"

BEGIN_MESSAGE_MAP(CMPPropSheet, CPropertySheet)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CMPPropSheet::CMPPropSheet(CMP3PlayerDlg* pPlayer)
    : CPropertySheet(kMp3Title, pPlayer), m_pagePlaylist(pPlayer->Playlist()), m_pPlayer(pPlayer) {
    m_pagePlaylist.m_pPlayer = pPlayer;
    m_pageEncode.m_pPlayer = pPlayer;
    m_pageDecode.m_pPlayer = pPlayer;
    AddPage(&m_pagePlaylist);
    AddPage(&m_pageEncode);
    AddPage(&m_pageDecode);
}

CPoint CMPPropSheet::PlaceBelow(const CRect& rcPlayer, const CRect& rcSheet, const CRect& rcDesktop) {
    CPoint pt(rcPlayer.left, rcPlayer.bottom);
    if (pt.y + rcSheet.Height() > rcDesktop.bottom) {
        pt.y = rcDesktop.bottom - rcSheet.Height();
        pt.x = rcPlayer.left + kShiftRight;
    }
    return pt;
}

void CMPPropSheet::PlaceBelowPlayer() {
    CRect rcPlayer, rcSheet, rcDesktop;
    m_pPlayer->GetWindowRect(&rcPlayer);
    GetWindowRect(&rcSheet);
    CWnd::GetDesktopWindow()->GetWindowRect(&rcDesktop);
    const CPoint pt = PlaceBelow(rcPlayer, rcSheet, rcDesktop);
    MoveWindow(pt.x, pt.y, rcSheet.Width(), rcSheet.Height(), TRUE);
}

void CMPPropSheet::PlayingChanged(BOOL bPlaying) {
    if (auto* pPage = dynamic_cast<CPlayerPage*>(GetActivePage())) pPage->PlayingChanged(bPlaying);
}

void CMPPropSheet::OnDestroy() {
    Default();
    m_pPlayer->SheetDestroyed();
}

void CMPPropSheet::PostNcDestroy() {
    delete this;
}
