// Templates and control ids of mpdeck's playlist dialogs: Save Playlist, Open
// Playlist and Select Song.
#ifndef ORVANTA_PLAYLIST_DIALOG_IDS_H
#define ORVANTA_PLAYLIST_DIALOG_IDS_H

#define IDD_SELECT_SONG         802
#define IDD_SAVE_PLAYLIST       815
#define IDD_OPEN_PLAYLIST       817

#define IDC_SAVED_PLAYLISTS     1004    // Save: sorted list box of the index names
#define IDC_PLAYLIST_NAME_EDIT  5002    // Save: the name to save under
#define IDC_PLAYLIST_ROWS       1032    // Open: the index names; Select Song: the songs
#define IDC_DELETE_PLAYLIST     1128

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif  // ORVANTA_PLAYLIST_DIALOG_IDS_H
