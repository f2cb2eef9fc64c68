// The ten Alarm records, kept under the user's
// Software\Hazelmere\Wakeloom\Alarms (devicestore.h) in one subkey per
// alarm ("0" .. "9"). One table of fields drives their defaults, load and
// save.
#ifndef WAKELOOM_ALARMS_H
#define WAKELOOM_ALARMS_H

#include <stddef.h>

#include "alarmrecord.h"

#define ALARMS_KEY          L"Software\\Hazelmere\\Wakeloom\\Alarms"

extern Alarm* alarms[ALARM_COUNT];

// False when memory ran out; no record is then allocated.
bool AllocateAlarms();
void InitAlarmDefaults();
LONG LoadAlarms();
// Each record that could not be written is noted (NoteRecordSaved); the
// result is the first such error.
LONG SaveAlarms();
LONG SaveAlarm(int i);
LONG LoadAlarmHandle(int i, Alarm* alarm);
// Keeps `handle` as alarm i's AlarmHandle and saves the alarm; false when
// it could not be written.
bool StoreAlarmHandle(int i, DWORD handle);
void FreeAlarms();

#endif
