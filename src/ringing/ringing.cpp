#include "ringing.h"

BYTE alarmRinging;
int currentAlarm;
