// Control ids of cddeck's CD extractor page (template 804).
#ifndef ORVANTA_EXTRACTOR_IDS_H
#define ORVANTA_EXTRACTOR_IDS_H

#define IDD_EXTRACT_PAGE            804

#define IDC_EXTRACT_RIP_FOLDER      1000
#define IDC_EXTRACT_STOP            1003
#define IDC_EXTRACT_RIPPER          1006
#define IDC_EXTRACT_RIP             1010
#define IDC_EXTRACT_COMPLETION      1013
#define IDC_EXTRACT_TRACK           1014
#define IDC_EXTRACT_ELAPSED         1019
#define IDC_EXTRACT_SAMPLE_RATE     1021
#define IDC_EXTRACT_SAMPLE_LABEL    1022
#define IDC_EXTRACT_TRACKS          1027
#define IDC_EXTRACT_DELETE_LABEL    1053
#define IDC_EXTRACT_ENCODE          1056
#define IDC_EXTRACT_ENCODER         1057
#define IDC_EXTRACT_DELETE_WAVE     1058
#define IDC_EXTRACT_BIT_RATE        1059
#define IDC_EXTRACT_BIT_LABEL       1062
#define IDC_EXTRACT_MP3_LABEL       1065
#define IDC_EXTRACT_MP3_FOLDER      1069
#define IDC_EXTRACT_TRACK_LABEL     1070
#define IDC_EXTRACT_LOG             1080

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

#endif  // ORVANTA_EXTRACTOR_IDS_H
