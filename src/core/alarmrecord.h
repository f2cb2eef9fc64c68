// The Alarm record: the ten alarms' fields, named as their registry values
// are, so that the time arithmetic and the storage share one type.
#ifndef WAKELOOM_ALARMRECORD_H
#define WAKELOOM_ALARMRECORD_H

#include "contract.h"
#include "portable.h"

#define ALARM_COUNT         (EVENT_LAST_ALARM + 1)
#define ALARM_SOUND_UNITS   262
#define ALARM_NAME_UNITS    82
#define UNTITLED_ALARM_NAME L"Untitled"

// Field names are the registry value names.
struct Alarm {
    DWORD AlarmHandle;
    DWORD AlarmOn;
    DWORD AThour;
    DWORD ATmin;
    WCHAR AlarmSound[ALARM_SOUND_UNITS];
    DWORD UseSystemVol;
    DWORD Volume;
    DWORD Days;     // bit n: SYSTEMTIME wDayOfWeek n (bit 0 Sunday)
    WCHAR AlarmName[ALARM_NAME_UNITS];
};

#endif
