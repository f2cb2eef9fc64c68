#include "messages.h"

#include <stdarg.h>
#include <strsafe.h>

#include <algorithm>

#include "resource.h"

#define MESSAGE_UNITS 1024
// Between the box and the screen's edges, and around its contents.
#define SCREEN_MARGIN 4
#define BOX_MARGIN    8

struct Message {
    const wchar_t* text;
    const wchar_t* caption;
    UINT style;
};

void LoadResourceText(UINT id, wchar_t* text, int units)
{
    text[0] = L'\0';
    LoadStringW(GetModuleHandleW(nullptr), id, text, units);
}

static HICON MessageIcon(UINT style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND:
        return LoadIconW(nullptr, IDI_ERROR);
    case MB_ICONEXCLAMATION:
        return LoadIconW(nullptr, IDI_WARNING);
    case MB_ICONINFORMATION:
        return LoadIconW(nullptr, IDI_INFORMATION);
    case MB_ICONQUESTION:
        return LoadIconW(nullptr, IDI_QUESTION);
    }
    return nullptr;
}

// The text's height when wrapped to `width` in the control's font.
static int WrappedHeight(HWND control, const wchar_t* text, int width)
{
    HDC dc = GetDC(control);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r = { 0, 0, width, 0 };
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    return r.bottom;
}

// As wide as the screen allows and as tall as the wrapped text needs,
// centred on the screen.
static void LayOutMessage(HWND box, const Message* message, HICON icon)
{
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame = {};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE)));
    int boxWidth = work.right - work.left - 2 * SCREEN_MARGIN;
    int clientWidth = boxWidth - (frame.right - frame.left);
    int iconSize = icon != nullptr ? GetSystemMetrics(SM_CXICON) : 0;
    int textLeft = BOX_MARGIN + (icon != nullptr ? iconSize + BOX_MARGIN : 0);
    int textWidth = clientWidth - textLeft - BOX_MARGIN;
    HWND text = GetDlgItem(box, IDC_MESSAGE_TEXT);
    int textHeight = WrappedHeight(text, message->text, textWidth);

    HWND ok = GetDlgItem(box, IDOK);
    RECT button;
    GetWindowRect(ok, &button);
    int buttonWidth = button.right - button.left, buttonHeight = button.bottom - button.top;
    int frameHeight = frame.bottom - frame.top;
    int available = work.bottom - work.top - 2 * SCREEN_MARGIN - frameHeight;
    int contentHeight = std::max(textHeight, iconSize);
    // A text taller than the screen is cut, with its OK still in sight.
    contentHeight = std::min(contentHeight, available - buttonHeight - 3 * BOX_MARGIN);
    int clientHeight = contentHeight + buttonHeight + 3 * BOX_MARGIN;

    MoveWindow(GetDlgItem(box, IDC_MESSAGE_ICON), BOX_MARGIN, BOX_MARGIN, iconSize, iconSize, FALSE);
    MoveWindow(text, textLeft, BOX_MARGIN, textWidth, contentHeight, FALSE);
    MoveWindow(ok, (clientWidth - buttonWidth) / 2, contentHeight + 2 * BOX_MARGIN, buttonWidth,
               buttonHeight, FALSE);
    int boxHeight = clientHeight + frameHeight;
    MoveWindow(box, work.left + SCREEN_MARGIN, work.top + (work.bottom - work.top - boxHeight) / 2,
               boxWidth, boxHeight, TRUE);
}

static BOOL OnMessageInit(HWND box, const Message* message)
{
    SetWindowTextW(box, message->caption);
    SetDlgItemTextW(box, IDC_MESSAGE_TEXT, message->text);
    HICON icon = MessageIcon(message->style);
    SendDlgItemMessageW(box, IDC_MESSAGE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    ShowWindow(GetDlgItem(box, IDC_MESSAGE_ICON), icon != nullptr ? SW_SHOW : SW_HIDE);
    LayOutMessage(box, message, icon);
    // The sound the system's message box makes for its icon.
    MessageBeep(message->style & MB_ICONMASK);
    if (message->style & MB_SETFOREGROUND)
        SetForegroundWindow(box);
    return TRUE;
}

static INT_PTR CALLBACK MessageProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnMessageInit(box, reinterpret_cast<const Message*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(box, IDOK);
        return TRUE;
    }
    return FALSE;
}

// The system's message box lays its text out wider than the device's
// screen; ours wraps it to the screen's width. Every message has OK alone.
int ShowMessageText(HWND owner, const wchar_t* text, UINT captionId, UINT style)
{
    wchar_t caption[64];
    LoadResourceText(captionId, caption, ARRAYSIZE(caption));
    Message message = { text, caption, style };
    INT_PTR answer = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MESSAGE), owner,
                                     MessageProc, reinterpret_cast<LPARAM>(&message));
    // Without the template (out of memory), the system's box still tells.
    return answer > 0 ? static_cast<int>(answer) : MessageBoxW(owner, text, caption, style);
}

int ShowMessage(HWND owner, UINT textId, UINT captionId, UINT style, ...)
{
    wchar_t format[MESSAGE_UNITS];
    LoadResourceText(textId, format, ARRAYSIZE(format));
    wchar_t text[MESSAGE_UNITS];
    va_list arguments;
    va_start(arguments, style);
    StringCchVPrintfW(text, ARRAYSIZE(text), format, arguments);
    va_end(arguments);
    return ShowMessageText(owner, text, captionId, style);
}

void ShowPlaylistResult(PlaylistResult result)
{
    switch (result) {
    case PLAYLIST_READ:
        break;
    case PLAYLIST_CANNOT_OPEN:
        ShowMessage(nullptr, IDS_CANNOT_OPEN_PLAYLIST, IDS_WAKELOOM, MB_OK);
        break;
    case PLAYLIST_NOT_ASX:
        ShowMessage(nullptr, IDS_NOT_A_PLAYLIST, IDS_WAKELOOM, MB_ICONEXCLAMATION);
        break;
    case PLAYLIST_SOME_MISSING:
        ShowMessage(nullptr, IDS_PLAYLIST_MISSING, IDS_WAKELOOM, MB_ICONINFORMATION);
        break;
    case PLAYLIST_SOME_UNSUPPORTED:
        ShowMessage(nullptr, IDS_PLAYLIST_UNSUPPORTED, IDS_WAKELOOM, MB_ICONINFORMATION);
        break;
    }
}

MediaNode* ReadAsxPlaylist(const wchar_t* playlistPath)
{
    PlaylistResult result;
    MediaNode* list = ReadPlaylistFile(playlistPath, &result);
    ShowPlaylistResult(result);
    return list;
}
