// Control ids of mpdeck's Audition dialog, the mini-player of the pages.
#ifndef ORVANTA_AUDITION_IDS_H
#define ORVANTA_AUDITION_IDS_H

#define IDD_AUDITION            805

#define IDC_AUD_LENGTH          1011    // "%.2d:%.2d"
#define IDC_AUD_PATH            1022
#define IDC_AUD_ELAPSED         1036    // "%.2d:%.2d"
#define IDC_AUD_MP3_CONTROL     1061    // the hidden MP3 control that plays MPEG songs
#define IDC_AUD_NUMBER          1068    // "%.3d"
#define IDC_AUD_SLIDER          1073    // position in whole seconds
#define IDC_AUD_PLAY            1109
#define IDC_AUD_PAUSE           1110
#define IDC_AUD_STOP            1111

#endif  // ORVANTA_AUDITION_IDS_H
