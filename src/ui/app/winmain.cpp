#include "app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR, int)
{
    // The runtime strips the blanks before the arguments; an event must not
    // be taken from a command line that had one there.
    return WakeloomMain(instance, previousInstance, GetCommandLineW());
}
