#include "CDPropSheet.h"

#include "CDPlaylist.h"
#include "ExtractDlg.h"
#include "ProgramNames.h"

BEGIN_MESSAGE_MAP(CCDPropSheet, CPropertySheet)
    ON_WM_DESTROY()
    ON_WM_MOVE()
END_MESSAGE_MAP()

CCDPropSheet::CCDPropSheet(CCDSheetOwner* pOwner)
    : CCDPropSheet(pOwner, std::make_unique<CCDPlaylist>(pOwner), std::make_unique<CExtractDlg>(pOwner)) {}

CCDPropSheet::CCDPropSheet(CCDSheetOwner* pOwner, std::unique_ptr<CCDSheetPage> pPlaylist,
                           std::unique_ptr<CCDSheetPage> pExtractor)
    : CPropertySheet(kCdTitle), m_pOwner(pOwner), m_pPlaylist(std::move(pPlaylist)),
      m_pExtractor(std::move(pExtractor)) {
    AddPages();
}

void CCDPropSheet::AddPages() {
    // The tabs' texts; the templates carry none of their own.
    static const char kPlaylistTab[] = "CD PlayList";
    static const char kExtractorTab[] = "CD Extractor";
    const struct {
        CCDSheetPage* pPage;
        LPCSTR lpszTab;
    } pages[] = {{m_pPlaylist.get(), kPlaylistTab}, {m_pExtractor.get(), kExtractorTab}};
    for (const auto& page : pages) {
        if (!page.pPage) continue;
        page.pPage->m_psp.dwFlags |= PSP_USETITLE;
        page.pPage->m_psp.pszTitle = page.lpszTab;
        AddPage(page.pPage);
    }
}

CPoint CCDPropSheet::PlaceBelow(const CRect& rcPlayer, int nSheetHeight, int nDesktopBottom) {
    CPoint pt(rcPlayer.left, rcPlayer.bottom);
    if (pt.y + nSheetHeight > nDesktopBottom) {
        pt.y = nDesktopBottom - nSheetHeight;
        pt.x = rcPlayer.left + kLowShift;
    }
    return pt;
}

BOOL CCDPropSheet::Open(CWnd* pPlayer) {
    if (!Create(pPlayer, kStyle, 0)) return FALSE;
    CRect rcPlayer, rcSheet, rcDesktop;
    pPlayer->GetWindowRect(&rcPlayer);
    GetWindowRect(&rcSheet);
    ::GetWindowRect(::GetDesktopWindow(), &rcDesktop);
    const CPoint pt = PlaceBelow(rcPlayer, rcSheet.Height(), rcDesktop.bottom);
    MoveWindow(pt.x, pt.y, rcSheet.Width(), rcSheet.Height(), TRUE);
    return TRUE;
}

CCDSheetPage* CCDPropSheet::ActiveSheetPage() const {
    return dynamic_cast<CCDSheetPage*>(GetActivePage());
}

BOOL CCDPropSheet::IsBusy() const {
    const CCDSheetPage* pPage = ActiveSheetPage();
    return pPage && pPage->m_hWnd && pPage->IsBusy();
}

BOOL CCDPropSheet::QueryEnd() {
    CCDSheetPage* pPage = ActiveSheetPage();
    return !pPage || !pPage->m_hWnd || pPage->QueryEnd();
}

void CCDPropSheet::NotifyPlaying(BOOL bPlaying) {
    if (CCDSheetPage* pPage = ActiveSheetPage()) pPage->OnPlayingChanged(bPlaying);
}

void CCDPropSheet::NotifyDiscChanged() {
    if (CCDSheetPage* pPage = ActiveSheetPage()) pPage->OnDiscChanged();
}

void CCDPropSheet::NotifyPlayMode(int nMode) {
    // The mode check boxes live on the playlist page, whether it is active or not.
    if (m_pPlaylist && m_pPlaylist->m_hWnd) m_pPlaylist->OnPlayModeChanged(nMode);
}

void CCDPropSheet::OnMove(int, int) {
    Default();
    if (m_pPlaylist && m_pPlaylist->m_hWnd) m_pPlaylist->OnSheetMoved();
}

void CCDPropSheet::OnDestroy() {
    Default();
    if (m_pOwner) m_pOwner->OnSheetDestroyed();
    m_pOwner = nullptr;
}

void CCDPropSheet::PostNcDestroy() {
    delete this;
}
