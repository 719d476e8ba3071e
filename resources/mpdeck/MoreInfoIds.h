// Control ids of mpdeck's More Info dialog (the MPEG details of a file and its ID3
// tag editor) and of its Wave Info dialog, which shares the details' ids.
#ifndef ORVANTA_MORE_INFO_IDS_H
#define ORVANTA_MORE_INFO_IDS_H

#define IDD_WAVE_INFO           813
#define IDD_MORE_INFO           814

#define IDC_INFO_TITLE          1012
#define IDC_INFO_ARTIST         1013
#define IDC_INFO_ALBUM          1014
#define IDC_INFO_GENRE          1020    // sorted drop-down; item data = genre number
#define IDC_INFO_YEAR           1021
#define IDC_INFO_PATH           1022
#define IDC_INFO_FILE_SIZE      1023
#define IDC_INFO_LENGTH         1025
#define IDC_INFO_MPEG_LAYER     1026
#define IDC_INFO_BITRATE        1027
#define IDC_INFO_FRAMES         1028
#define IDC_INFO_AVG_BYTES      1030    // Wave Info only
#define IDC_INFO_FREQUENCY      1031
#define IDC_INFO_COPYRIGHTED    1033
#define IDC_INFO_ORIGINAL       1035
#define IDC_INFO_CHECKSUMS      1037
#define IDC_INFO_CHANNELS       1038
#define IDC_INFO_COMMENT        1039
#define IDC_INFO_TAG_GROUP      1040    // names the tag the fields show
#define IDC_INFO_MP3_CONTROL    1061    // the hidden MP3 control that reads the details
#define IDC_INFO_SAVE           1120
#define IDC_INFO_REMOVE_TAG     1123

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif  // ORVANTA_MORE_INFO_IDS_H
