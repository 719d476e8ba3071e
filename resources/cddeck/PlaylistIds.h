// Control ids of cddeck's CD playlist page (template 803) and its audition dialog
// (template 805).
#ifndef ORVANTA_PLAYLIST_IDS_H
#define ORVANTA_PLAYLIST_IDS_H

#define IDD_CD_PLAYLIST             803
#define IDD_CD_AUDITION             805

#define IDC_CDPL_ALBUM              1015
#define IDC_CDPL_ARTIST             1016
#define IDC_CDPL_YEAR               1017
#define IDC_CDPL_COMMENT            1018
#define IDC_CDPL_GENRE              1023
#define IDC_CDPL_AUDITION           1025
#define IDC_CDPL_TOTAL              1026
#define IDC_CDPL_TRACKS             1027
#define IDC_CDPL_LOOP               1037
#define IDC_CDPL_SHUFFLE            1038
#define IDC_CDPL_FRAME              1074
#define IDC_CDPL_ALBUM_LABEL        1075
#define IDC_CDPL_ARTIST_LABEL       1076
#define IDC_CDPL_YEAR_LABEL         1077
#define IDC_CDPL_GENRE_LABEL        1078
#define IDC_CDPL_COMMENT_LABEL      1079

#define IDC_CDAU_LENGTH             1011
#define IDC_CDAU_ELAPSED            1026
#define IDC_CDAU_TITLE              1030
#define IDC_CDAU_PLAY               1039
#define IDC_CDAU_STOP               1040
#define IDC_CDAU_PAUSE              1041
#define IDC_CDAU_TRACK              1068
#define IDC_CDAU_SLIDER             1073

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

#endif  // ORVANTA_PLAYLIST_IDS_H
