// Resource ids of TELMAR.DLL, the resource library both players load at run time.
//
// The #defines serve the .rc files and the programs alike. Below them, for C++ only,
// kTelmarStrings lists every string of the library with the printf arguments its
// callers pass: one letter per argument, 'd' for an integer, 's' for a string.
// The library's tests check each loaded text against that list, so a caller that
// formats a string can rely on the conversions named here.
#ifndef TELMAR_IDS_H
#define TELMAR_IDS_H

// Skin bitmaps (8-bit, 256-colour table).
#define IDB_SKIN_WINDOW             2020
#define IDB_SKIN_FACES              2021
#define IDB_SKIN_PAGE_BUTTONS       2023

// Library and file names, suffixes, folders, registry keys, fonts.
#define IDS_LIBRARY_FILE            136
#define IDS_MP3_SUFFIX              112
#define IDS_WAVE_SUFFIX             118
#define IDS_ENC_LOG_FILE            139
#define IDS_DEC_LOG_FILE            160
#define IDS_DEFAULT_RIP_FOLDER      171
#define IDS_DEFAULT_MP3_FOLDER      172
#define IDS_CDDECK_PROFILE_KEY      177
#define IDS_MPDECK_PROFILE_KEY      178
#define IDS_LCD_FONT                186
#define IDS_AUDITION_FONT           226
#define IDS_MP3_HELP_FILE           240
#define IDS_CD_HELP_FILE            248

// File dialogs: titles, filter descriptions and patterns.
#define IDS_ADD_SONGS_TITLE         110
#define IDS_ADD_WAVES_TITLE         111
#define IDS_ADD_MP3S_TITLE          147
#define IDS_MP3_PATTERNS            188
#define IDS_MP3_FILTER_NAME         189
#define IDS_WAVE_FILTER_NAME        190
#define IDS_WAVE_PATTERN            191
#define IDS_ALL_FILTER_NAME         192
#define IDS_ALL_PATTERN             193
#define IDS_AUDIO_FILTER_NAME       194
#define IDS_AUDIO_PATTERNS          195

// LCD texts.
#define IDS_CD_NO_DISC              132
#define IDS_CD_DOOR_OPEN            133
#define IDS_MODE_NORMAL             181
#define IDS_MODE_LOOP               182
#define IDS_MODE_SHUFFLE            183
#define IDS_MODE_LOOP_SHUFFLE       184
#define IDS_CHANNELS_MONO           214
#define IDS_CHANNELS_STEREO         215
#define IDS_CHANNELS_JOINT_STEREO   216
#define IDS_CHANNELS_DUAL           217

// Player windows and start-up.
#define IDS_ASK_SAVE_PLAYLIST       104
#define IDS_OPEN_FAILED             196
#define IDS_PLAY_FAILED             207
#define IDS_MP3_PLAYER_MISSING      211
#define IDS_CD_PLAYER_MISSING       212
#define IDS_PLAYLIST_EMPTY          229
#define IDS_CD_DEVICE_FAILED        235
#define IDS_CD_PLAY_FAILED          236
#define IDS_SHEET_CREATE_FAILED     237
#define IDS_EJECT_BUSY              169
#define IDS_PLAY_BUSY               170
#define IDS_NO_BROWSER              5023

// Playlists, playlist page and its dialogs.
#define IDS_ASK_ADD_PLAYLIST        106
#define IDS_ASK_REPLACE_PLAYLIST    107
#define IDS_NO_SAVED_PLAYLISTS      108
#define IDS_PLAYLIST_TAB            161
#define IDS_PLAYLIST_TOTALS         209
#define IDS_ASK_DROP_MISSING_SONG   224
#define IDS_PLAYLIST_INCOMPLETE     225
#define IDS_LIST_LOCKED_WHILE_PLAYING 227
#define IDS_ASK_DELETE_PLAYLIST     241
#define IDS_PLAYLIST_IN_USE         242

// ID3 tag editor.
#define IDS_TAG_SAVED               218
#define IDS_TAG_SAVE_FAILED         219
#define IDS_TAG_NONE                220
#define IDS_TAG_ASK_REMOVE          221
#define IDS_TAG_REMOVE_FAILED       222
#define IDS_TAG_REMOVED             223
#define IDS_TAG_WRITE_OPEN_FAILED   228
#define IDS_TAG_SHOWN_ID3V1         270
#define IDS_TAG_SHOWN_ID3V2         271

// Lists of other programs on the playlist page.
#define IDS_LIST_FILTER_NAME        272
#define IDS_LIST_PATTERNS           273
#define IDS_LIST_SONGS_MISSING      274
#define IDS_LIST_READ_FAILED        275
#define IDS_LIST_SAVE_MENU          276
#define IDS_LIST_SAVE_TITLE         277
#define IDS_M3U8_FILTER_NAME        278
#define IDS_M3U8_PATTERN            279
#define IDS_LIST_SAVE_FAILED        280
#define IDS_M3U8_SUFFIX             281

// Conversion dialogs.
#define IDS_TARGET_REQUIRED         120
#define IDS_LOG_VIEW_FAILED         185
#define IDS_LOG_VIEW_CAPPED         187

// Encoder page: notices and log entries.
#define IDS_COMPLETION_DONE         114
#define IDS_LOG_CREATE_FAILED       121
#define IDS_ENC_LOG_NO_SOURCE       122
#define IDS_ENC_DONE_WITH_PROBLEMS  123
#define IDS_ENC_DONE                124
#define IDS_ENC_LOG_REFUSED         125
#define IDS_ENC_LOG_BAD_TARGET      126
#define IDS_ENC_LOG_STARTED         127
#define IDS_ENC_LOG_START_FAILED    128
#define IDS_ENC_LOG_STOPPED         129
#define IDS_ENC_LOG_FINISHED        130
#define IDS_ENC_LOG_SOURCE_DELETED  138
#define IDS_ENC_ASK_CLOSE_RUNNING   140
#define IDS_ENC_LOG_HEADER          141
#define IDS_ENC_LOG_ELAPSED         142

// Decoder page: notices and log entries.
#define IDS_DEC_LOG_HEADER          146
#define IDS_DEC_ASK_CLOSE_RUNNING   148
#define IDS_DEC_LOG_STOPPED         149
#define IDS_DEC_LOG_FINISHED        150
#define IDS_DEC_LOG_SOURCE_DELETED  151
#define IDS_DEC_LOG_ELAPSED         152
#define IDS_DEC_DONE_WITH_PROBLEMS  153
#define IDS_DEC_DONE                154
#define IDS_DEC_LOG_NO_SOURCE       155
#define IDS_DEC_LOG_BAD_TARGET      156
#define IDS_DEC_LOG_REFUSED         157
#define IDS_DEC_LOG_START_FAILED    158
#define IDS_DEC_LOG_STARTED         159
#define IDS_DEC_LOG_SOURCE_MISSING  230
#define IDS_DEC_LOG_FAILED          231
#define IDS_DEC_TARGET_NOT_CREATED  232
// Ours: the encoder reported an error for a job (source, the control's text).
#define IDS_ENC_LOG_FAILED          233
// Ours: files a run would write exist already (count); a job skipped for one (source,
// target); a decode that lacks audio of a damaged source (source, the control's text).
#define IDS_ASK_REPLACE_EXISTING    251
#define IDS_LOG_TARGET_KEPT         252
#define IDS_DEC_LOG_DAMAGED         253
// Ours: why a job's target cannot be written (the target), for entries 231 and 233.
#define IDS_TARGET_IS_SOURCE        290
#define IDS_TARGET_IS_FOLDER        291
#define IDS_TARGET_READ_ONLY        292
#define IDS_TARGET_NO_FOLDER        293
#define IDS_TARGET_FOLDER_LOCKED    294

// CD playlist page and CD extractor page.
#define IDS_AUDITION_CREATE_FAILED  113
#define IDS_RIPPER_INIT_FAILED      134
#define IDS_RIPPER_SETUP_FAILED     135
#define IDS_RIP_FOLDER_REQUIRED     163
#define IDS_RIP_FOLDER_IS_FILE      164
#define IDS_MP3_FOLDER_REQUIRED     165
#define IDS_MP3_FOLDER_IS_FILE      166
#define IDS_RIP_ERROR               167
#define IDS_RIP_STOPPED             168
#define IDS_MP3_FOLDER_MISSING_KEPT 173
#define IDS_RIP_ALL_DONE            174
#define IDS_ENCODE_STOPPED          175
#define IDS_RIP_ENCODE_ALL_DONE     176
#define IDS_ASK_DISCARD_DISC_EDITS  180
#define IDS_ENCODE_ERROR            208
#define IDS_SELECTION_KEPT          213
#define IDS_LABEL_ENCODING_TRACK    244
#define IDS_LABEL_RIPPING_TRACK     245
#define IDS_STOP_ENCODING           246
#define IDS_STOP_RIPPING            247
#define IDS_ASK_STOP_RIPPING        249
#define IDS_ASK_STOP_ENCODING       250
// Ours: a rip ended with tracks left checked because their files were kept (count).
#define IDS_RIP_DONE_KEPT           254
// Ours: an output folder that is missing and cannot be made (the folder).
#define IDS_FOLDER_NOT_CREATED      295
// Ours: the rip log beside the extracted files, and the copy check.
#define IDS_RIP_LOG_FILE            296
#define IDS_RIP_LOG_HEADER          297
#define IDS_RIP_LOG_TRACK           298
#define IDS_RIP_LOG_COPY_OK         299
#define IDS_RIP_LOG_MISMATCH        300
#define IDS_RIP_LOG_FAILED          301
#define IDS_RIP_LOG_ENCODED         302
#define IDS_RIP_LOG_ENCODE_FAILED   303
#define IDS_RIP_LOG_TAGS_FAILED     304
#define IDS_RIP_LOG_STOPPED         305
#define IDS_RIP_LOG_END             306
#define IDS_RIP_LOG_SHOWN           307
#define IDS_RIP_DONE_MISMATCH       308

// Tooltips of the player hotspots.
#define IDS_TIP_EXIT                1500
#define IDS_TIP_MINIMIZE            1501
#define IDS_TIP_HELP                1502
#define IDS_TIP_ABOUT_CD            1503
#define IDS_TIP_ABOUT_MP3           1504
#define IDS_TIP_SHEET_CD            1505
#define IDS_TIP_SHEET_MP3           1506
#define IDS_TIP_MODE_CD             1507
#define IDS_TIP_MODE_MP3            1508
#define IDS_TIP_SWITCH_TO_MP3       1509
#define IDS_TIP_SWITCH_TO_CD        1510
#define IDS_TIP_VOLUME_UP           1511
#define IDS_TIP_VOLUME_DOWN         1512
#define IDS_TIP_PLAY                1513
#define IDS_TIP_PAUSE               1514
#define IDS_TIP_STOP                1515
#define IDS_TIP_PREVIOUS            1516
#define IDS_TIP_NEXT                1517
#define IDS_TIP_EJECT               1518

// Tooltips of the playlist page.
#define IDS_TIP_PL_OPEN             1525
#define IDS_TIP_PL_SAVE             1526
#define IDS_TIP_PL_ADD              1527
#define IDS_TIP_PL_REMOVE           1528
#define IDS_TIP_PL_AUDITION         1529
#define IDS_TIP_PL_MORE_INFO        1530
#define IDS_TIP_RESUME_ON           1531
#define IDS_TIP_RESUME_OFF          1532
#define IDS_TIP_LOOP_ON             1533
#define IDS_TIP_LOOP_OFF            1534
#define IDS_TIP_SHUFFLE_ON          1535
#define IDS_TIP_SHUFFLE_OFF         1536
#define IDS_TIP_PL_LIST             1537
#define IDS_TIP_AUTOPLAY_ON         1541
#define IDS_TIP_AUTOPLAY_OFF        1542

// Tooltips of the encoder page (1543, 1544, 1552 and 1555 serve other pages too).
#define IDS_TIP_DELETE_WAVE_ON      1543
#define IDS_TIP_DELETE_WAVE_OFF     1544
#define IDS_TIP_ENC_FILE_NUMBER     1545
#define IDS_TIP_ENC_COMPLETION      1546
#define IDS_TIP_ENC_ELAPSED         1547
#define IDS_TIP_ENC_LOG_FILE        1548
#define IDS_TIP_ENC_START           1549
#define IDS_TIP_ENC_STOP            1550
#define IDS_TIP_ENC_ADD             1551
#define IDS_TIP_REMOVE_FILES        1552
#define IDS_TIP_ENC_MORE_INFO       1553
#define IDS_TIP_ENC_AUDITION        1554
#define IDS_TIP_CLOSE               1555
#define IDS_TIP_VIEW_LOG            1556

// Tooltips of the decoder page.
#define IDS_TIP_DEC_START           1561
#define IDS_TIP_DEC_FILE_NUMBER     1562
#define IDS_TIP_DEC_STOP            1563
#define IDS_TIP_DEC_ADD             1564
#define IDS_TIP_DEC_MORE_INFO       1565
#define IDS_TIP_DEC_AUDITION        1566
#define IDS_TIP_DELETE_MP3_ON       1567
#define IDS_TIP_DELETE_MP3_OFF      1568
#define IDS_TIP_DEC_COMPLETION      1569
#define IDS_TIP_DEC_ELAPSED         1570
#define IDS_TIP_DEC_LOG_FILE        1571

// Tooltips of the CD pages.
#define IDS_TIP_CD_CANCEL           1572
#define IDS_TIP_CD_OK               1573
#define IDS_TIP_RIP_FOLDER          1574
#define IDS_TIP_ENCODE_ON           1575
#define IDS_TIP_ENCODE_OFF          1576
#define IDS_TIP_RIP_BITRATE         1577
#define IDS_TIP_RIP_SAMPLE_RATE     1578
#define IDS_TIP_MP3_FOLDER          1579
#define IDS_TIP_RIP                 1580
#define IDS_TIP_RIP_STOP            1581
#define IDS_TIP_RIP_ENCODE          1582
#define IDS_TIP_RIP_ENCODE_STOP     1583
#define IDS_TIP_TRACK_IDLE          1584
#define IDS_TIP_TRACK_ENCODING      1585
#define IDS_TIP_TRACK_RIPPING       1586
#define IDS_TIP_PROGRESS_ENCODING   1587
#define IDS_TIP_PROGRESS_RIPPING    1588
#define IDS_TIP_PROGRESS_IDLE       1589
#define IDS_TIP_TRACK_TIME          1590
#define IDS_TIP_CD_AUDITION         1591

#ifndef RC_INVOKED

namespace telmar {

// One loaded text may hold at most this many characters (the loaders' buffer is
// one larger, for the terminator).
constexpr int kMaxStringChars = 1023;
// Tooltip texts fit the 80-character buffer of a tooltip text request.
constexpr int kMaxTooltipChars = 79;
constexpr unsigned kFirstTooltipId = 1500;
constexpr unsigned kLastTooltipId = 1599;

struct StringSpec {
    unsigned id;
    const char* args;  // 'd' integer, 's' string, in call order
};

inline constexpr StringSpec kTelmarStrings[] = {
    {IDS_LIBRARY_FILE, ""},
    {IDS_MP3_SUFFIX, ""},
    {IDS_WAVE_SUFFIX, ""},
    {IDS_ENC_LOG_FILE, ""},
    {IDS_DEC_LOG_FILE, ""},
    {IDS_DEFAULT_RIP_FOLDER, ""},
    {IDS_DEFAULT_MP3_FOLDER, ""},
    {IDS_CDDECK_PROFILE_KEY, ""},
    {IDS_MPDECK_PROFILE_KEY, ""},
    {IDS_LCD_FONT, ""},
    {IDS_AUDITION_FONT, ""},
    {IDS_MP3_HELP_FILE, ""},
    {IDS_CD_HELP_FILE, ""},

    {IDS_ADD_SONGS_TITLE, ""},
    {IDS_ADD_WAVES_TITLE, ""},
    {IDS_ADD_MP3S_TITLE, ""},
    {IDS_MP3_PATTERNS, ""},
    {IDS_MP3_FILTER_NAME, ""},
    {IDS_WAVE_FILTER_NAME, ""},
    {IDS_WAVE_PATTERN, ""},
    {IDS_ALL_FILTER_NAME, ""},
    {IDS_ALL_PATTERN, ""},
    {IDS_AUDIO_FILTER_NAME, ""},
    {IDS_AUDIO_PATTERNS, ""},

    {IDS_CD_NO_DISC, ""},
    {IDS_CD_DOOR_OPEN, ""},
    {IDS_MODE_NORMAL, ""},
    {IDS_MODE_LOOP, ""},
    {IDS_MODE_SHUFFLE, ""},
    {IDS_MODE_LOOP_SHUFFLE, ""},
    {IDS_CHANNELS_MONO, ""},
    {IDS_CHANNELS_STEREO, ""},
    {IDS_CHANNELS_JOINT_STEREO, ""},
    {IDS_CHANNELS_DUAL, ""},

    {IDS_ASK_SAVE_PLAYLIST, ""},
    {IDS_OPEN_FAILED, "s"},
    {IDS_PLAY_FAILED, "s"},
    {IDS_MP3_PLAYER_MISSING, "s"},
    {IDS_CD_PLAYER_MISSING, "s"},
    {IDS_PLAYLIST_EMPTY, ""},
    {IDS_CD_DEVICE_FAILED, ""},
    {IDS_CD_PLAY_FAILED, ""},
    {IDS_SHEET_CREATE_FAILED, ""},
    {IDS_EJECT_BUSY, ""},
    {IDS_PLAY_BUSY, ""},
    {IDS_NO_BROWSER, ""},

    {IDS_ASK_ADD_PLAYLIST, ""},
    {IDS_ASK_REPLACE_PLAYLIST, ""},
    {IDS_NO_SAVED_PLAYLISTS, ""},
    {IDS_PLAYLIST_TAB, "s"},
    {IDS_PLAYLIST_TOTALS, "dddd"},
    {IDS_ASK_DROP_MISSING_SONG, "s"},
    {IDS_PLAYLIST_INCOMPLETE, ""},
    {IDS_LIST_LOCKED_WHILE_PLAYING, ""},
    {IDS_ASK_DELETE_PLAYLIST, "s"},
    {IDS_PLAYLIST_IN_USE, ""},

    {IDS_TAG_SAVED, ""},
    {IDS_TAG_SAVE_FAILED, ""},
    {IDS_TAG_NONE, ""},
    {IDS_TAG_ASK_REMOVE, ""},
    {IDS_TAG_REMOVE_FAILED, ""},
    {IDS_TAG_REMOVED, ""},
    {IDS_TAG_WRITE_OPEN_FAILED, ""},
    {IDS_TAG_SHOWN_ID3V1, ""},
    {IDS_TAG_SHOWN_ID3V2, "d"},

    {IDS_LIST_FILTER_NAME, ""},
    {IDS_LIST_PATTERNS, ""},
    {IDS_LIST_SONGS_MISSING, "d"},
    {IDS_LIST_READ_FAILED, "s"},
    {IDS_LIST_SAVE_MENU, ""},
    {IDS_LIST_SAVE_TITLE, ""},
    {IDS_M3U8_FILTER_NAME, ""},
    {IDS_M3U8_PATTERN, ""},
    {IDS_LIST_SAVE_FAILED, "s"},
    {IDS_M3U8_SUFFIX, ""},

    {IDS_TARGET_REQUIRED, ""},
    {IDS_LOG_VIEW_FAILED, "s"},
    {IDS_LOG_VIEW_CAPPED, "dd"},

    {IDS_COMPLETION_DONE, ""},
    {IDS_LOG_CREATE_FAILED, ""},
    {IDS_ENC_LOG_NO_SOURCE, ""},
    {IDS_ENC_DONE_WITH_PROBLEMS, ""},
    {IDS_ENC_DONE, ""},
    {IDS_ENC_LOG_REFUSED, "s"},
    {IDS_ENC_LOG_BAD_TARGET, "s"},
    {IDS_ENC_LOG_STARTED, "ss"},
    {IDS_ENC_LOG_START_FAILED, "sd"},
    {IDS_ENC_LOG_STOPPED, "s"},
    {IDS_ENC_LOG_FINISHED, "ss"},
    {IDS_ENC_LOG_SOURCE_DELETED, "s"},
    {IDS_ENC_ASK_CLOSE_RUNNING, ""},
    {IDS_ENC_LOG_HEADER, "sddd"},
    {IDS_ENC_LOG_ELAPSED, "sss"},

    {IDS_DEC_LOG_HEADER, "sddd"},
    {IDS_DEC_ASK_CLOSE_RUNNING, ""},
    {IDS_DEC_LOG_STOPPED, "s"},
    {IDS_DEC_LOG_FINISHED, "ss"},
    {IDS_DEC_LOG_SOURCE_DELETED, "s"},
    {IDS_DEC_LOG_ELAPSED, "sss"},
    {IDS_DEC_DONE_WITH_PROBLEMS, ""},
    {IDS_DEC_DONE, ""},
    {IDS_DEC_LOG_NO_SOURCE, ""},
    {IDS_DEC_LOG_BAD_TARGET, "ss"},
    {IDS_DEC_LOG_REFUSED, "s"},
    {IDS_DEC_LOG_START_FAILED, "sd"},
    {IDS_DEC_LOG_STARTED, "ss"},
    {IDS_DEC_LOG_SOURCE_MISSING, "s"},
    {IDS_DEC_LOG_FAILED, "ss"},
    {IDS_DEC_TARGET_NOT_CREATED, ""},
    {IDS_ENC_LOG_FAILED, "ss"},
    {IDS_ASK_REPLACE_EXISTING, "d"},
    {IDS_LOG_TARGET_KEPT, "ss"},
    {IDS_DEC_LOG_DAMAGED, "ss"},
    {IDS_TARGET_IS_SOURCE, "s"},
    {IDS_TARGET_IS_FOLDER, "s"},
    {IDS_TARGET_READ_ONLY, "s"},
    {IDS_TARGET_NO_FOLDER, "s"},
    {IDS_TARGET_FOLDER_LOCKED, "s"},

    {IDS_AUDITION_CREATE_FAILED, ""},
    {IDS_RIPPER_INIT_FAILED, "d"},
    {IDS_RIPPER_SETUP_FAILED, "d"},
    {IDS_RIP_FOLDER_REQUIRED, ""},
    {IDS_RIP_FOLDER_IS_FILE, ""},
    {IDS_MP3_FOLDER_REQUIRED, ""},
    {IDS_MP3_FOLDER_IS_FILE, ""},
    {IDS_RIP_ERROR, "ds"},
    {IDS_RIP_STOPPED, ""},
    {IDS_MP3_FOLDER_MISSING_KEPT, ""},
    {IDS_RIP_ALL_DONE, ""},
    {IDS_ENCODE_STOPPED, ""},
    {IDS_RIP_ENCODE_ALL_DONE, ""},
    {IDS_ASK_DISCARD_DISC_EDITS, ""},
    {IDS_ENCODE_ERROR, "ds"},
    {IDS_SELECTION_KEPT, ""},
    {IDS_LABEL_ENCODING_TRACK, ""},
    {IDS_LABEL_RIPPING_TRACK, ""},
    {IDS_STOP_ENCODING, ""},
    {IDS_STOP_RIPPING, ""},
    {IDS_ASK_STOP_RIPPING, ""},
    {IDS_ASK_STOP_ENCODING, ""},
    {IDS_RIP_DONE_KEPT, "d"},
    {IDS_FOLDER_NOT_CREATED, "s"},
    {IDS_RIP_LOG_FILE, "sss"},
    {IDS_RIP_LOG_HEADER, "sdddssss"},
    {IDS_RIP_LOG_TRACK, "dssssssss"},
    {IDS_RIP_LOG_COPY_OK, ""},
    {IDS_RIP_LOG_MISMATCH, ""},
    {IDS_RIP_LOG_FAILED, "dsds"},
    {IDS_RIP_LOG_ENCODED, "s"},
    {IDS_RIP_LOG_ENCODE_FAILED, "sds"},
    {IDS_RIP_LOG_TAGS_FAILED, "s"},
    {IDS_RIP_LOG_STOPPED, "d"},
    {IDS_RIP_LOG_END, "dds"},
    {IDS_RIP_LOG_SHOWN, "ss"},
    {IDS_RIP_DONE_MISMATCH, "d"},

    {IDS_TIP_EXIT, ""},
    {IDS_TIP_MINIMIZE, ""},
    {IDS_TIP_HELP, ""},
    {IDS_TIP_ABOUT_CD, ""},
    {IDS_TIP_ABOUT_MP3, ""},
    {IDS_TIP_SHEET_CD, ""},
    {IDS_TIP_SHEET_MP3, ""},
    {IDS_TIP_MODE_CD, ""},
    {IDS_TIP_MODE_MP3, ""},
    {IDS_TIP_SWITCH_TO_MP3, ""},
    {IDS_TIP_SWITCH_TO_CD, ""},
    {IDS_TIP_VOLUME_UP, ""},
    {IDS_TIP_VOLUME_DOWN, ""},
    {IDS_TIP_PLAY, ""},
    {IDS_TIP_PAUSE, ""},
    {IDS_TIP_STOP, ""},
    {IDS_TIP_PREVIOUS, ""},
    {IDS_TIP_NEXT, ""},
    {IDS_TIP_EJECT, ""},

    {IDS_TIP_PL_OPEN, ""},
    {IDS_TIP_PL_SAVE, ""},
    {IDS_TIP_PL_ADD, ""},
    {IDS_TIP_PL_REMOVE, ""},
    {IDS_TIP_PL_AUDITION, ""},
    {IDS_TIP_PL_MORE_INFO, ""},
    {IDS_TIP_RESUME_ON, ""},
    {IDS_TIP_RESUME_OFF, ""},
    {IDS_TIP_LOOP_ON, ""},
    {IDS_TIP_LOOP_OFF, ""},
    {IDS_TIP_SHUFFLE_ON, ""},
    {IDS_TIP_SHUFFLE_OFF, ""},
    {IDS_TIP_PL_LIST, ""},
    {IDS_TIP_AUTOPLAY_ON, ""},
    {IDS_TIP_AUTOPLAY_OFF, ""},

    {IDS_TIP_DELETE_WAVE_ON, ""},
    {IDS_TIP_DELETE_WAVE_OFF, ""},
    {IDS_TIP_ENC_FILE_NUMBER, ""},
    {IDS_TIP_ENC_COMPLETION, ""},
    {IDS_TIP_ENC_ELAPSED, ""},
    {IDS_TIP_ENC_LOG_FILE, ""},
    {IDS_TIP_ENC_START, ""},
    {IDS_TIP_ENC_STOP, ""},
    {IDS_TIP_ENC_ADD, ""},
    {IDS_TIP_REMOVE_FILES, ""},
    {IDS_TIP_ENC_MORE_INFO, ""},
    {IDS_TIP_ENC_AUDITION, ""},
    {IDS_TIP_CLOSE, ""},
    {IDS_TIP_VIEW_LOG, ""},

    {IDS_TIP_DEC_START, ""},
    {IDS_TIP_DEC_FILE_NUMBER, ""},
    {IDS_TIP_DEC_STOP, ""},
    {IDS_TIP_DEC_ADD, ""},
    {IDS_TIP_DEC_MORE_INFO, ""},
    {IDS_TIP_DEC_AUDITION, ""},
    {IDS_TIP_DELETE_MP3_ON, ""},
    {IDS_TIP_DELETE_MP3_OFF, ""},
    {IDS_TIP_DEC_COMPLETION, ""},
    {IDS_TIP_DEC_ELAPSED, ""},
    {IDS_TIP_DEC_LOG_FILE, ""},

    {IDS_TIP_CD_CANCEL, ""},
    {IDS_TIP_CD_OK, ""},
    {IDS_TIP_RIP_FOLDER, ""},
    {IDS_TIP_ENCODE_ON, ""},
    {IDS_TIP_ENCODE_OFF, ""},
    {IDS_TIP_RIP_BITRATE, ""},
    {IDS_TIP_RIP_SAMPLE_RATE, ""},
    {IDS_TIP_MP3_FOLDER, ""},
    {IDS_TIP_RIP, ""},
    {IDS_TIP_RIP_STOP, ""},
    {IDS_TIP_RIP_ENCODE, ""},
    {IDS_TIP_RIP_ENCODE_STOP, ""},
    {IDS_TIP_TRACK_IDLE, ""},
    {IDS_TIP_TRACK_ENCODING, ""},
    {IDS_TIP_TRACK_RIPPING, ""},
    {IDS_TIP_PROGRESS_ENCODING, ""},
    {IDS_TIP_PROGRESS_RIPPING, ""},
    {IDS_TIP_PROGRESS_IDLE, ""},
    {IDS_TIP_TRACK_TIME, ""},
    {IDS_TIP_CD_AUDITION, ""},
};

}  // namespace telmar

#endif  // RC_INVOKED
#endif  // TELMAR_IDS_H
