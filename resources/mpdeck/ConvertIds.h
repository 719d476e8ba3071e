// Control ids of mpdeck's conversion dialogs: the option dialogs of an encoder and
// a decoder job, and the log viewer.
#ifndef ORVANTA_CONVERT_IDS_H
#define ORVANTA_CONVERT_IDS_H

#define IDD_LOG_VIEW            806
#define IDD_DECODE_INFO         810
#define IDD_ENCODE_INFO         812

#define IDC_CONV_FILE_SIZE      1023
#define IDC_CONV_LENGTH         1025
#define IDC_CONV_MPEG_LAYER     1026
#define IDC_CONV_BITS           1027    // bits per sample (encoder), kbit/s (decoder)
#define IDC_CONV_FRAMES         1028
#define IDC_LOG_TEXT            1029
#define IDC_CONV_FREQUENCY      1031
#define IDC_CONV_COPYRIGHTED    1033
#define IDC_CONV_ORIGINAL       1035
#define IDC_CONV_CHECKSUMS      1037
#define IDC_CONV_CHANNELS       1038
#define IDC_CONV_SOURCE         1044
#define IDC_CONV_TARGET         1046
#define IDC_CONV_BITRATE        1048
#define IDC_CONV_SAMPLERATE     1050

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif  // ORVANTA_CONVERT_IDS_H
