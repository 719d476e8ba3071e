// Ids of the resources both programs carry themselves (OrvantaCommon.rc and the
// About box fragments). Dialog templates of the other windows come with their code.
#ifndef ORVANTA_RESOURCE_IDS_H
#define ORVANTA_RESOURCE_IDS_H

#define IDI_APP                 101     // program icon: frame class, About box
#define IDI_LIST_CHECKED        2001    // list image 1: track in the selection
#define IDI_LIST_UNCHECKED      2002    // list image 0
#define IDC_HOTSPOT_HAND                2051    // over hotspots and skinned buttons
#define IDC_DRAG_ROWS           2052    // dragging several playlist rows
#define IDC_DRAG_ROW            2053    // dragging one playlist row

#define IDR_PLAYER_MENU         1800    // its first popup switches players
#define ID_SWITCH_TO_CD         32771   // "Orvanta-&CD..."
#define ID_SWITCH_TO_MP3        32772   // "Orvanta-&MP3..."

#define IDD_ABOUT_MP3           247     // mpdeck's About box
#define IDD_ABOUT_CD            1082    // cddeck's About box
#define IDC_ABOUT_ICON          1090
#define IDC_ABOUT_PRODUCT       1091
#define IDC_ABOUT_VERSION       1092    // "Version %s", filled in by the program
#define IDC_ABOUT_URL           1093    // the maker's web page address
#define IDC_ABOUT_WEBSITE       1094    // button that opens IDC_ABOUT_URL

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif  // ORVANTA_RESOURCE_IDS_H
