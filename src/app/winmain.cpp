#include "app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine,
                    int showCommand)
{
    return WakeloomMain(instance, previousInstance, commandLine, showCommand);
}
