// Resource and control ids of Wakeloom, grouped by kind.
// The numbers are those the program has always used: stored data, the menu
// bar record and other programs depend on them.
#ifndef WAKELOOM_RESOURCE_H
#define WAKELOOM_RESOURCE_H

// Strings
#define IDS_WINDOW_CLASS        1
#define IDS_WINDOW_TITLE        2

// Dialog templates (120-218)
#define IDD_SNOOZE_TIME         132
#define IDD_SETTINGS            133
#define IDD_ABOUT               173
#define IDD_SET_ALARMS          177
#define IDD_SLEEP               178
#define IDD_COUNTDOWN           195
#define IDD_COUNTDOWN_FINISHED  196
#define IDD_HOURLY_CHIME        199

// Menu and menu-bar record
#define IDM_MAIN_MENU           172
#define IDB_MENUBAR_IMAGES      151

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

#endif
