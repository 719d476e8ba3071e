// Control ids of mpdeck's playlist page (803). The controls it shares with the batch
// pages keep their ids.
#ifndef ORVANTA_PLAYLIST_PAGE_IDS_H
#define ORVANTA_PLAYLIST_PAGE_IDS_H

#include "mpdeck/BatchPageIds.h"

#define IDD_PLAYLIST_PAGE       803

#define IDC_PLAYLIST_TOTALS     1003
#define IDC_PLAYLIST_RESUME     1010
#define IDC_PLAYLIST_LOOP       1043
#define IDC_PLAYLIST_SHUFFLE    1045
#define IDC_PLAYLIST_SAVE       1120
#define IDC_PLAYLIST_OPEN       1121

#endif  // ORVANTA_PLAYLIST_PAGE_IDS_H
