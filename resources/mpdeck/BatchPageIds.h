// Control ids of mpdeck's two batch conversion pages (encoder 816, decoder 811).
#ifndef ORVANTA_BATCH_PAGE_IDS_H
#define ORVANTA_BATCH_PAGE_IDS_H

#define IDD_DECODE_PAGE         811
#define IDD_ENCODE_PAGE         816

#define IDC_BATCH_ELAPSED       1024
#define IDC_BATCH_JOBS          1032
#define IDC_BATCH_AUTOPLAY      1042
#define IDC_BATCH_VIEW_LOG      1055
#define IDC_BATCH_DELETE_AFTER  1060
#define IDC_BATCH_MP3_CONTROL   1061
#define IDC_BATCH_ENC_CONTROL   1062
#define IDC_BATCH_COMPLETION    1114
#define IDC_BATCH_FILE_NUMBER   1115
#define IDC_BATCH_AUDITION      1116
#define IDC_BATCH_MORE_INFO     1118
#define IDC_BATCH_LOG_FILE      1119
#define IDC_BATCH_ADD           1122
#define IDC_BATCH_REMOVE        1123
#define IDC_ENCODE_START        1124
#define IDC_ENCODE_STOP         1125
#define IDC_DECODE_START        1126
#define IDC_DECODE_STOP         1127

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif  // ORVANTA_BATCH_PAGE_IDS_H
