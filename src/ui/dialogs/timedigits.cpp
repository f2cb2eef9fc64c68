#include "timedigits.h"

#include <stdlib.h>
#include <strsafe.h>

#include "dialogs.h"
#include "resource.h"

struct DigitField {
    int value, up, down;
};
static const DigitField digitFields[3] = {
    { IDC_HOUR, IDC_HOUR_UP, IDC_HOUR_DOWN },
    { IDC_MINUTE_TENS, IDC_MINUTE_TENS_UP, IDC_MINUTE_TENS_DOWN },
    { IDC_MINUTE_ONES, IDC_MINUTE_ONES_UP, IDC_MINUTE_ONES_DOWN },
};

static int ReadField(HWND dialog, int id)
{
    wchar_t text[3] = L"";
    GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
    return static_cast<int>(_wtol(text));
}

static void WriteField(HWND dialog, int id, int value)
{
    wchar_t text[12];
    StringCchPrintfW(text, ARRAYSIZE(text), L"%d", value);
    SetDlgItemTextW(dialog, id, text);
}

void SetTimeDigits(HWND dialog, int hours, int minutes)
{
    WriteField(dialog, IDC_HOUR, hours);
    WriteField(dialog, IDC_MINUTE_TENS, minutes / 10);
    WriteField(dialog, IDC_MINUTE_ONES, minutes % 10);
}

int TimeDigitsHour(HWND dialog)
{
    return ReadField(dialog, IDC_HOUR);
}

int TimeDigitsMinutes(HWND dialog)
{
    return 10 * ReadField(dialog, IDC_MINUTE_TENS) + ReadField(dialog, IDC_MINUTE_ONES);
}

void SetTimeDigitsDuration(HWND dialog, DWORD minutes)
{
    int hours = static_cast<int>(minutes / 60);
    SetTimeDigits(dialog, hours > 23 ? 23 : hours, static_cast<int>(minutes % 60));
}

int TimeDigitsDuration(HWND dialog)
{
    return TimeDigitsHour(dialog) * 60 + TimeDigitsMinutes(dialog);
}

bool OnTimeDigitCommand(HWND dialog, WPARAM wParam, HourRange hours)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    const HourRange ranges[3] = { hours, { 0, 5 }, { 0, 9 } };
    for (int i = 0; i < 3; i++) {
        const DigitField& field = digitFields[i];
        int step = LOWORD(wParam) == field.up ? 1 : LOWORD(wParam) == field.down ? -1 : 0;
        if (step == 0)
            continue;
        int value = ReadField(dialog, field.value) + step;
        if (value > ranges[i].high)
            value = ranges[i].low;
        else if (value < ranges[i].low)
            value = ranges[i].high;
        WriteField(dialog, field.value, value);
        return true;
    }
    return false;
}

// The editor's pictures, loaded once for the program's life: neither a
// button nor a static frees the bitmap it is given, and Wine does not share
// bitmaps loaded with LR_SHARED, so each opening would leak its own.
static HBITMAP arrowUp, arrowDown, timeColon;

void PrepareTimeDigits(HWND dialog, HFONT font)
{
    HBITMAP up = ProgramBitmap(&arrowUp, IDB_ARROW_UP);
    HBITMAP down = ProgramBitmap(&arrowDown, IDB_ARROW_DOWN);
    SendDlgItemMessageW(dialog, IDC_TIME_COLON, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(ProgramBitmap(&timeColon, IDB_TIME_COLON)));
    for (const DigitField& field : digitFields) {
        SendDlgItemMessageW(dialog, field.up, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(up));
        SendDlgItemMessageW(dialog, field.down, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(down));
        if (font != nullptr)
            SendDlgItemMessageW(dialog, field.value, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

int TwelveHourOf(int hour24, bool* pm)
{
    *pm = hour24 >= 12;
    if (hour24 == 0)
        return 12;
    return hour24 > 12 ? hour24 - 12 : hour24;
}

int HourFromTwelve(int shown, bool pm)
{
    if (pm && shown != 12)
        return shown + 12;
    if (!pm && shown == 12)
        return 0;
    return shown;
}
