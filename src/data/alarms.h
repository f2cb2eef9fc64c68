// The ten Alarm records, kept under HKLM\Software\Hazelmere\Wakeloom\Alarms
// in one subkey per alarm ("0" .. "9"). One table of fields drives their
// defaults, load and save.
#ifndef WAKELOOM_ALARMS_H
#define WAKELOOM_ALARMS_H

#include <stddef.h>

#include "contract.h"
#include "portable.h"

#define ALARM_COUNT         (EVENT_LAST_ALARM + 1)
#define ALARMS_KEY          L"Software\\Hazelmere\\Wakeloom\\Alarms"
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

extern Alarm* alarms[ALARM_COUNT];

// False when memory ran out; no record is then allocated.
bool AllocateAlarms();
void InitAlarmDefaults();
LONG LoadAlarms();
LONG SaveAlarms();
LONG SaveAlarm(int i);
LONG LoadAlarmHandle(int i, Alarm* alarm);
void FreeAlarms();

// The user's name for alarm i, or "Alarm %d" (i + 1) when it has none.
void AlarmDisplayName(int i, wchar_t* name, size_t nameCount);
// The same for a record of alarm i that may not be the table's (an edited copy).
void RecordDisplayName(const Alarm* alarm, int i, wchar_t* name, size_t nameCount);

#endif
