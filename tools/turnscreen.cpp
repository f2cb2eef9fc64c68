// Turns the screen as a handheld does when it is rotated: sets the display
// (under Wine, the virtual desktop) to the given width and height.
//   turnscreen.exe 320 240
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: turnscreen WIDTH HEIGHT\n");
        return 2;
    }
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = static_cast<DWORD>(_wtoi(argv[1]));
    mode.dmPelsHeight = static_cast<DWORD>(_wtoi(argv[2]));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    LONG result = ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    if (result != DISP_CHANGE_SUCCESSFUL) {
        fprintf(stderr, "the screen cannot be %lux%lu (%ld)\n", mode.dmPelsWidth,
                mode.dmPelsHeight, result);
        return 1;
    }
    return 0;
}
