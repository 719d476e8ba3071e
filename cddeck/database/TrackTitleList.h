// CTrackTitleList: the track list of the CD sheet's pages. Each row reads "<NN> title"
// with the length beside it; titles are edited in place without their number.
#pragma once

#include "fw/Framework.h"

#include "CDTrack.h"
#include "SkinControls.h"

class CTrackTitleList : public CSkinListCtrl {
public:
    // The "Track" and "Length" columns, filling the list's inside beside a vertical
    // scroll bar, so that no horizontal one is ever needed.
    void InsertTrackColumns();
    // Appends the row of a track (0-based index) with its check image.
    int AddTrack(int nIndex, const CCDTrack& track, int nImage);
    // A row's title without its number.
    CString Title(int nIndex) const;

    // Starts the in-place edit of the selected row's title, if a row is selected.
    void EditSelectedTitle();
    // The edit control shows the title alone; an emptied title keeps the old one.
    // EndTitleEdit is FALSE when the edit was cancelled and the row stays as it was.
    void BeginTitleEdit(int nItem);
    BOOL EndTitleEdit(const NMLVDISPINFOA& info);

private:
    static constexpr int kPrefixChars = 5;  // "<NN> "
    // The length column takes a fifth of the width and 20 pixels of the title's.
    static constexpr int kColumnParts = 5;
    static constexpr int kColumnShift = 20;
    static CString Prefix(int nIndex);

    CString m_strTitleBeforeEdit;
};
