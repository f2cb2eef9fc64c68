// The Companion launcher's taskbar icon, as the ShowIcon setting says.
#ifndef WAKELOOM_LAUNCHER_H
#define WAKELOOM_LAUNCHER_H

// Starts the launcher, which shows the icon, or closes it.
void UpdateTaskbarIcon();

#endif
