// Media lists: the sound files the sleep player plays, in file-name order.
#ifndef WAKELOOM_MEDIALIST_H
#define WAKELOOM_MEDIALIST_H

#include <windows.h>

#define MEDIA_PATH_UNITS 260

// Sources of a list, as stored in SleepPathType.
#define MEDIA_SOURCE_FOLDER   0
#define MEDIA_SOURCE_PLAYLIST 1
#define MEDIA_SOURCE_FILE     2

struct MediaNode {
    wchar_t path[MEDIA_PATH_UNITS];
    MediaNode* next;
};

void FreeMediaList(MediaNode* list);

#endif
