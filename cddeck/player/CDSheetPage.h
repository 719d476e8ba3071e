// CCDSheetPage: what the CD player's sheet asks of each of its pages. The player's
// notices reach the active page only; a page that is ripping or encoding says so,
// and the player then refuses what would disturb the drive.
#pragma once

#include "fw/Framework.h"

#include "CDPlayerRes.h"

class CCDSheetPage : public CPropertyPage {
public:
    explicit CCDSheetPage(UINT nIDTemplate) : CPropertyPage(nIDTemplate) {}

    // TRUE while the page uses the drive for itself (ripping or encoding).
    virtual BOOL IsBusy() const { return FALSE; }
    // The sheet is about to go (its Close, the player's Exit): FALSE keeps it. A busy
    // page asks whether to stop, as its Close does, and stops when told to.
    virtual BOOL QueryEnd() { return TRUE; }
    // The player started (TRUE) or stopped (FALSE) playing.
    virtual void OnPlayingChanged(BOOL /*bPlaying*/) {}
    // The disc was read again: the page reloads from the disc model.
    virtual void OnDiscChanged() {}
    // The player's mode button chose a new play mode.
    virtual void OnPlayModeChanged(int /*nMode*/) {}
    // The sheet window moved: windows placed by it follow.
    virtual void OnSheetMoved() {}

protected:
    // Close (IDCANCEL) ends the whole sheet.
    void OnCancel() override {
        if (CPropertySheet* pSheet = GetSheet()) pSheet->DestroyWindow();
    }
};
