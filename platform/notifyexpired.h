// The scheduler's word for a notification it could not deliver in time (the
// machine or the scheduler was down past its end): it still starts the
// application, with this word before the notification's arguments.
#ifndef WAKELOOM_NOTIFYEXPIRED_H
#define WAKELOOM_NOTIFYEXPIRED_H

#define NOTIFICATION_EXPIRED_PREFIX L"/EXPIRED "

#endif
