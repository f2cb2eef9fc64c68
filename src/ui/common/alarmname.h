// The name the user sees for an alarm.
#ifndef WAKELOOM_ALARMNAME_H
#define WAKELOOM_ALARMNAME_H

#include <stddef.h>

#include "alarmrecord.h"

// The user's name for alarm i of the table, or "Alarm %d" (i + 1) from the
// string table when it has none.
void AlarmDisplayName(int i, wchar_t* name, size_t nameCount);
// The same for a record of alarm i that may not be the table's (an edited copy).
void RecordDisplayName(const Alarm* alarm, int i, wchar_t* name, size_t nameCount);

#endif
