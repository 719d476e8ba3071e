// CCDPropSheet: the CD player's modeless property sheet, "CD PlayList" then
// "CD Extractor". The player allocates it; it deletes itself once its window is gone
// and tells the player so. It owns its pages.
#pragma once

#include "fw/Framework.h"

#include <memory>

#include "CDPlayerLink.h"
#include "CDSheetPage.h"

// The player window that owns the sheet: what its pages need of it, and what the
// sheet tells it.
class CCDSheetOwner : public CCDPlayerLink {
public:
    virtual void OnSheetDestroyed() = 0;
};

class CCDPropSheet : public CPropertySheet {
public:
    static constexpr DWORD kStyle = 0x90C00080;  // popup, visible, caption, modal frame
    static constexpr int kLowShift = 10;         // to the right when moved up

    // The usual pages.
    explicit CCDPropSheet(CCDSheetOwner* pOwner);
    // Other pages in their places (tests).
    CCDPropSheet(CCDSheetOwner* pOwner, std::unique_ptr<CCDSheetPage> pPlaylist,
                 std::unique_ptr<CCDSheetPage> pExtractor);

    // Creates the window for the player and places it below the player.
    BOOL Open(CWnd* pPlayer);
    // Below the player; moved up to end at the desktop's bottom when it would leave it.
    static CPoint PlaceBelow(const CRect& rcPlayer, int nSheetHeight, int nDesktopBottom);

    BOOL IsBusy() const;
    // Whether the sheet may go now; its pages may ask the user.
    BOOL QueryEnd();
    void NotifyPlaying(BOOL bPlaying);
    void NotifyDiscChanged();
    void NotifyPlayMode(int nMode);

    CCDSheetPage* GetPlaylistPage() const { return m_pPlaylist.get(); }
    CCDSheetPage* GetExtractPage() const { return m_pExtractor.get(); }

protected:
    CCDSheetPage* ActiveSheetPage() const;
    void OnDestroy();
    void OnMove(int x, int y);
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

private:
    void AddPages();

    CCDSheetOwner* m_pOwner;
    std::unique_ptr<CCDSheetPage> m_pPlaylist;
    std::unique_ptr<CCDSheetPage> m_pExtractor;
};
