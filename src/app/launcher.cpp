// What passes between Wakeloom and its Companion launcher.
#include "app.h"

void UpdateTaskbarIcon()
{
    // The launcher's taskbar icon comes with the launcher's own window.
}
