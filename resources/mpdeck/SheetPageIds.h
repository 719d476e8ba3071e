// The playlist page of mpdeck's property sheet and the controls the player window
// reaches on it.
#ifndef ORVANTA_SHEET_PAGE_IDS_H
#define ORVANTA_SHEET_PAGE_IDS_H

#define IDD_PLAYLIST_PAGE       803

#define IDC_PLAYLIST_LOOP       1043    // playlist page: the loop bit of the play mode
#define IDC_PLAYLIST_SHUFFLE    1045    // playlist page: the shuffle bit

#endif  // ORVANTA_SHEET_PAGE_IDS_H
