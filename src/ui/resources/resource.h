// Resource and control ids of Wakeloom, grouped by kind.
// The numbers are those the program has always used: stored data, the menu
// bar record and other programs depend on them.
#ifndef WAKELOOM_RESOURCE_H
#define WAKELOOM_RESOURCE_H

// Strings: the window class and title, then the texts of messages
#define IDS_WINDOW_CLASS        1
#define IDS_WINDOW_TITLE        2
#define IDS_WAKELOOM            IDS_WINDOW_TITLE   // the caption of most messages
#define IDS_ERROR               300
#define IDS_FAILED_TO_SET_ALARM 301
#define IDS_MENU_BAR_FAILED     302
#define IDS_CANNOT_PLAY         303
#define IDS_CANNOT_OPEN_PLAYLIST 305
#define IDS_NOT_A_PLAYLIST      306
#define IDS_PLAYLIST_MISSING    307
#define IDS_PLAYLIST_UNSUPPORTED 308
#define IDS_CHIME_SOUND_MISSING 311
#define IDS_MAX_TIME_REACHED    312
#define IDS_ALARM_MISSED        313
#define IDS_COUNTDOWN_MISSED    314
#define IDS_NO_DAYS_SELECTED    315
#define IDS_NO_DAYS_CAPTION     316
#define IDS_ZERO_SNOOZE         317
#define IDS_SNOOZE_CAPTION      318
#define IDS_ZERO_COUNTDOWN      319
#define IDS_ZERO_SLEEP          320
#define IDS_NO_SOUND_FILES      321
#define IDS_SOUND_FILES         322
#define IDS_SELECT_SOUND_FILE   323
#define IDS_PLAYLISTS           324
#define IDS_SELECT_PLAYLIST     325
#define IDS_DEFAULT_SOUND       326
#define IDS_FAILED_TO_SET_NAMED_ALARM 327
#define IDS_RANG_DEFAULT_SOUND  328
#define IDS_RANG_TONE           329
#define IDS_SNOOZE_FAILED       330
// Then the captions, tooltips and lines of the windows
#define IDS_CANCEL_SNOOZE_TIP   331
#define IDS_SETTINGS_TIP        332
#define IDS_SET_ALARMS_BUTTON   333
#define IDS_SLEEP_BUTTON        334
#define IDS_STOP_COUNTDOWN_BUTTON 335
#define IDS_NO_PENDING_ALARMS   336
#define IDS_TODAY               338
#define IDS_LAUNCHER_FAILED     339
#define IDS_SOURCE_FOLDER       340
#define IDS_SOURCE_FILE         341
#define IDS_SOURCE_PLAYLIST     342
#define IDS_SOURCE_FOLDER_LABEL 343
#define IDS_SOURCE_FILE_LABEL   344
#define IDS_SOURCE_PLAYLIST_LABEL 345
#define IDS_NO_SOUNDS_SELECTED  346
#define IDS_ALARMS_MISSED       347
#define IDS_NOT_SAVED           348
#define IDS_THE_SETTINGS        349
#define IDS_ALARM_NUMBER        350
#define IDS_ARTIST_UNKNOWN      351

// The version the About dialog shows.
#define WAKELOOM_VERSION_TEXT   "Version 1.0"

// Dialog templates (120-218)
#define IDD_ALARM_RINGING       120
#define IDD_ALARM_RINGING_WIDE  218
#define IDD_SNOOZE_TIME         132
#define IDD_SETTINGS            133
#define IDD_ABOUT               173
#define IDD_SET_ALARMS          177
#define IDD_SLEEP               178
#define IDD_FOLDER_PICKER       179
#define IDD_COUNTDOWN           195
#define IDD_COUNTDOWN_FINISHED  196
#define IDD_MESSAGE             197
#define IDD_HOURLY_CHIME        199

// The program's icon: the first in the file, so Windows shows it for the
// program itself
#define IDI_WAKELOOM            100

// Pictures of the dialogs
#define IDB_TIME_COLON          131
#define IDB_ARROW_UP            134
#define IDB_ARROW_DOWN          135
#define IDB_FOLDER_IMAGES       180

// Menu and menu-bar record; a menu-bar button without a picture
#define IDM_MAIN_MENU           172
#define IDB_MENUBAR_IMAGES      151
#define MENUBAR_IMAGE_NONE      (-2)

// Menu commands (40001-40019)
#define IDM_EXIT                40001
#define IDM_SETTINGS            40002
#define IDM_SOUND_CONTROL_PANEL 40004
#define IDM_CANCEL_SNOOZE       40005
#define IDM_ALARMS_MENU         40006
#define IDS_ALARMS_MENU         40008
#define IDM_OPTIONS_MENU        40009
#define IDS_OPTIONS_MENU        40011
#define IDM_HELP                40013
#define IDM_ABOUT               40014
#define IDM_SLEEP               40015
#define IDM_SILENCE_ALL         40016
#define IDM_COUNTDOWN           40017
#define IDM_SNOOZE_TIME         40018
#define IDM_HOURLY_CHIME        40019

// Controls (1000-1065); some ids serve a role in more than one dialog
#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
#define IDC_ALARM_NAME          1000
#define IDC_STOP                1003
#define IDC_SNOOZE              1004
#define IDC_HOUR_UP             1005
#define IDC_HOUR_DOWN           1006
#define IDC_HOUR                1007
#define IDC_MINUTE_TENS         1008
#define IDC_MINUTE_ONES         1009
#define IDC_ALARM_ON            1010
#define IDC_MINUTE_TENS_DOWN    1011
#define IDC_MINUTE_ONES_DOWN    1012
#define IDC_MINUTE_TENS_UP      1013
#define IDC_MINUTE_ONES_UP      1014
#define IDC_AM                  1015
#define IDC_PM                  1016
#define IDC_TWENTY_FOUR_HOUR    1019
#define IDC_SOURCE_KIND         1021
#define IDC_MAX_TIME            1023
#define IDC_SHOW_ICON           1025
#define IDC_SHOW_ITIME          1026
#define IDC_OWN_VOLUME          1028
#define IDC_VOLUME              1031
#define IDC_ALARM_SELECTOR      1034
#define IDC_SUNDAY              1035
#define IDC_MONDAY              1036
#define IDC_TUESDAY             1037
#define IDC_WEDNESDAY           1038
#define IDC_THURSDAY            1039
#define IDC_SATURDAY            1040
#define IDC_FRIDAY              1041
#define IDC_SELECTOR_LABEL      1042
#define IDC_SETTINGS_TITLE      1044
#define IDC_ABOUT_TITLE         1045
#define IDC_BROWSE              1046
#define IDC_SLEEP_START         1046
#define IDC_PICKER_SELECT       1046
#define IDC_TEST                1047
#define IDC_SLEEP_BROWSE        1047
#define IDC_PICKER_CANCEL       1047
#define IDC_SOUND_NAME          1048
#define IDC_SLEEP_SOURCE_NAME   1051
#define IDC_SLEEP_TITLE         1052
#define IDC_PICKER_TITLE        1054
#define IDC_FOLDER_TREE         1055
#define IDC_SLEEP_SOURCE_LABEL  1056
#define IDC_UNTIL_MUSIC_ENDS    1058
#define IDC_FOR_THE_TIME        1059
#define IDC_COUNTDOWN_TITLE     1059
#define IDC_SOUND_LABEL         1060
#define IDC_KEEP_AWAKE          1061
#define IDC_CHIME_TITLE         1062
#define IDC_CHIME_ON            1063
#define IDC_CHIME_WARNING       1064
#define IDC_COUNTDOWN_START     1065
#define IDC_TIME_COLON          1066
#define IDC_ABOUT_LOGO          1067
#define IDC_MESSAGE_ICON        1068
// A message's text, with the id the system's message box gives its own.
#define IDC_MESSAGE_TEXT        0xFFFF

// Clock face bitmaps (102-231): portrait digits 40 x 120
#define IDB_PORTRAIT_DIGIT_8    102
#define IDB_PORTRAIT_DIGIT_1    103
#define IDB_PORTRAIT_DIGIT_2    104
#define IDB_PORTRAIT_COLON      105
#define IDB_PORTRAIT_DIGIT_3    106
#define IDB_PORTRAIT_DIGIT_4    107
#define IDB_PORTRAIT_DIGIT_5    108
#define IDB_PORTRAIT_DIGIT_6    109
#define IDB_PORTRAIT_DIGIT_7    110
#define IDB_PORTRAIT_DIGIT_9    111
#define IDB_PORTRAIT_DIGIT_0    112
#define IDB_PORTRAIT_COLON_OFF  113
#define IDB_AMPM_STRIP_AM       116
#define IDB_AMPM_STRIP_PM       117
#define IDB_PORTRAIT_BLANK      118
#define IDB_LOGO                176
// Sleep-player buttons, 27 x 27, and the silenced bell
#define IDB_PLAY_YELLOW         181
#define IDB_PLAY_GREEN          182
#define IDB_STOP_YELLOW         183
#define IDB_STOP_GREEN          184
#define IDB_PAUSE_YELLOW        185
#define IDB_PAUSE_GREEN         186
#define IDB_PREVIOUS_YELLOW     187
#define IDB_PREVIOUS_GREEN      188
#define IDB_NEXT_YELLOW         189
#define IDB_NEXT_GREEN          190
#define IDB_PREVIOUS_GREY       191
#define IDB_NEXT_GREY           192
#define IDB_SILENCED            193
#define IDB_COUNTDOWN_ACROSS    200
#define IDB_AMPM_BLOCK_AM       202
#define IDB_AMPM_BLOCK_PM       203
#define IDB_COUNTDOWN_DOWN      204
// Landscape digits 40 x 90
#define IDB_LANDSCAPE_DIGIT_0   205
#define IDB_LANDSCAPE_DIGIT_1   206
#define IDB_LANDSCAPE_DIGIT_2   207
#define IDB_LANDSCAPE_DIGIT_3   208
#define IDB_LANDSCAPE_DIGIT_4   209
#define IDB_LANDSCAPE_DIGIT_5   210
#define IDB_LANDSCAPE_DIGIT_6   211
#define IDB_LANDSCAPE_DIGIT_7   212
#define IDB_LANDSCAPE_DIGIT_8   213
#define IDB_LANDSCAPE_DIGIT_9   214
#define IDB_LANDSCAPE_BLANK     215
#define IDB_LANDSCAPE_COLON_OFF 216
#define IDB_LANDSCAPE_COLON     217
// Square digits 40 x 70
#define IDB_SQUARE_DIGIT_0      219
#define IDB_SQUARE_COLON_OFF    220
#define IDB_SQUARE_DIGIT_1      221
#define IDB_SQUARE_DIGIT_2      222
#define IDB_SQUARE_DIGIT_3      223
#define IDB_SQUARE_DIGIT_4      224
#define IDB_SQUARE_DIGIT_5      225
#define IDB_SQUARE_DIGIT_6      226
#define IDB_SQUARE_DIGIT_7      227
#define IDB_SQUARE_DIGIT_8      228
#define IDB_SQUARE_DIGIT_9      229
#define IDB_SQUARE_BLANK        230
#define IDB_SQUARE_COLON        231

#endif
