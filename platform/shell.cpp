// The shell services of the device, built on desktop windows: a taskbar
// strip at the top of the screen, a menu bar at the bottom made of a
// common-controls toolbar, and the program's windows between them.
#include "shell.h"

#include <commctrl.h>
#include <strsafe.h>

#define MENUBAR_CLASS      L"menu_worker"
#define TASKBAR_CLASS      L"HHTaskBar"
// The strip's "ok" button: its left edge this far from the strip's right.
#define DONE_BUTTON_INSET  36
#define DONE_BUTTON_TOP    3
#define DONE_BUTTON_WIDTH  32
#define CLOSE_BUTTON_INSET (DONE_BUTTON_INSET + 22)
#define CLOSE_BUTTON_WIDTH 20
#define MENUBAR_TOOLBAR_ID 1
#define MAX_BAR_BUTTONS    16
#define TOOLTIP_UNITS      64

// One menu bar: the toolbar it is made of and what its buttons open.
struct MenuBar {
    HWND owner;
    HWND toolbar;
    HMENU menu;
    HIMAGELIST images;
    int buttonCount;
    int commands[MAX_BAR_BUTTONS];     // by button index
    int subMenus[MAX_BAR_BUTTONS];     // -1: a plain button
    int tooltipCount;
    wchar_t tooltips[MAX_BAR_BUTTONS][TOOLTIP_UNITS];
};

static HWND taskbar;        // the main window's strip

RECT DeviceWorkArea()
{
    RECT area = { 0, TASKBAR_HEIGHT, GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN) - MENUBAR_HEIGHT };
    return area;
}

// ---- the taskbar strip ---------------------------------------------------------
// The strip is a child of the full-screen window it names, laid over the
// band at the top that such a window leaves free, so it is always drawn
// above that window and takes taps even while the window is a dialog.

static void PaintTaskbar(HWND strip)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(strip, &ps);
    RECT client;
    GetClientRect(strip, &client);
    HBRUSH navy = CreateSolidBrush(RGB(0, 0, 128));
    FillRect(dc, &client, navy);
    DeleteObject(navy);

    wchar_t title[64] = L"";
    GetWindowTextW(GetParent(strip), title, ARRAYSIZE(title));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    client.left += 6;
    DrawTextW(dc, title, -1, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    EndPaint(strip, &ps);
}

static LRESULT CALLBACK TaskbarProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintTaskbar(strip);
        return 0;
    case WM_COMMAND:
        // The Done button and the close box: the dialog receives them as
        // its OK and its Cancel.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            PostMessageW(GetParent(strip), WM_COMMAND, MAKEWPARAM(LOWORD(wParam), BN_CLICKED), 0);
        return 0;
    case WM_DESTROY:
        if (strip == taskbar)
            taskbar = nullptr;
        return 0;
    }
    return DefWindowProcW(strip, message, wParam, lParam);
}

static HWND CreateTaskbar(HWND window, bool withDone)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TaskbarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = TASKBAR_CLASS;
    RegisterClassW(&wc);
    int width = GetSystemMetrics(SM_CXSCREEN);
    HWND strip = CreateWindowExW(0, TASKBAR_CLASS, L"",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                 width, TASKBAR_HEIGHT, window, nullptr, instance, nullptr);
    if (strip == nullptr)
        return nullptr;
    SetWindowPos(strip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (withDone) {
        // A desktop's mouse user also needs a way out that saves nothing:
        // a close box beside Done, as a title bar has.
        const struct {
            const wchar_t* text;
            int id, inset, width;
        } buttons[] = { { L"ok", IDOK, DONE_BUTTON_INSET, DONE_BUTTON_WIDTH },
                        { L"\u00D7", IDCANCEL, CLOSE_BUTTON_INSET, CLOSE_BUTTON_WIDTH } };
        for (const auto& b : buttons) {
            HWND button = CreateWindowExW(0, L"BUTTON", b.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                          width - b.inset, DONE_BUTTON_TOP, b.width,
                                          TASKBAR_HEIGHT - 2 * DONE_BUTTON_TOP, strip,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)),
                                          instance, nullptr);
            SendMessageW(button, WM_SETFONT,
                         reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        }
    }
    return strip;
}

HWND DeviceTaskbar()
{
    return taskbar;
}

HWND DeviceDoneButton(HWND dialog, int id)
{
    HWND strip = FindWindowExW(dialog, nullptr, TASKBAR_CLASS, nullptr);
    return strip != nullptr ? GetDlgItem(strip, id) : nullptr;
}

static void StripFrame(HWND window)
{
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX
                                    | WS_MAXIMIZEBOX | DS_MODALFRAME);
    style |= WS_POPUP;
    SetWindowLongPtrW(window, GWL_STYLE, style);
    LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    exStyle &= ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME);
    SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle);
}

void PlaceOnDeviceScreen(HWND window)
{
    StripFrame(window);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN) - MENUBAR_HEIGHT;
    SetWindowPos(window, nullptr, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (taskbar == nullptr || GetParent(taskbar) != window)
        taskbar = CreateTaskbar(window, false);
    else
        SetWindowPos(taskbar, HWND_TOP, 0, 0, width, TASKBAR_HEIGHT, SWP_NOACTIVATE);
}

// ---- full-screen dialogs, and those taller than the screen --------------------------
// A dialog laid out for the upright screen does not fit a turned one: it
// scrolls below its title strip, as the handheld's own dialogs do, and
// follows the screen when it turns. The scroll bar is a control of its own
// at the right edge under the strip; the strip and it stay where they are.

#define SCROLL_SUBCLASS_ID 1
#define SCROLL_LINE        16
#define SCROLL_BAR_WIDTH   13

struct ChildMove {
    HWND dialog;
    HWND strip;
    HWND scrollBar;
    int dy;
    int bottom;     // the lowest control's bottom, in client coordinates
};

static BOOL CALLBACK MoveOrMeasureChild(HWND control, LPARAM param)
{
    auto* move = reinterpret_cast<ChildMove*>(param);
    if (GetParent(control) != move->dialog || control == move->strip || control == move->scrollBar)
        return TRUE;
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, move->dialog, reinterpret_cast<POINT*>(&r), 2);
    if (move->dy != 0)
        SetWindowPos(control, nullptr, r.left, r.top + move->dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (r.bottom + move->dy > move->bottom)
        move->bottom = r.bottom + move->dy;
    return TRUE;
}

static int MoveControls(HWND dialog, HWND scrollBar, int dy)
{
    ChildMove move = { dialog, FindWindowExW(dialog, nullptr, TASKBAR_CLASS, nullptr),
                       scrollBar, dy, 0 };
    EnumChildWindows(dialog, MoveOrMeasureChild, reinterpret_cast<LPARAM>(&move));
    return move.bottom;
}

static void ScrollDialogTo(HWND dialog, HWND scrollBar, int position)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(scrollBar, SB_CTL, &info);
    int limit = info.nMax - static_cast<int>(info.nPage) + 1;
    position = position > limit ? limit : position;
    position = position < 0 ? 0 : position;
    if (position == info.nPos)
        return;
    MoveControls(dialog, scrollBar, info.nPos - position);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(scrollBar, SB_CTL, &info, TRUE);
    InvalidateRect(dialog, nullptr, TRUE);
}

// The scroll bar shows only while the controls reach below the dialog.
static void UpdateDialogScrolling(HWND dialog, HWND scrollBar)
{
    ScrollDialogTo(dialog, scrollBar, 0);
    RECT client;
    GetClientRect(dialog, &client);
    int page = client.bottom > TASKBAR_HEIGHT ? client.bottom - TASKBAR_HEIGHT : 1;
    int content = MoveControls(dialog, scrollBar, 0) + 4 - TASKBAR_HEIGHT;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = content > page ? content : 0;
    info.nPage = static_cast<UINT>(page);
    SetScrollInfo(scrollBar, SB_CTL, &info, FALSE);
    SetWindowPos(scrollBar, HWND_TOP, client.right - SCROLL_BAR_WIDTH, TASKBAR_HEIGHT,
                 SCROLL_BAR_WIDTH, page, SWP_NOACTIVATE | (content > page ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

static void OnDialogVScroll(HWND dialog, HWND scrollBar, int code)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(scrollBar, SB_CTL, &info);
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP:        position -= SCROLL_LINE; break;
    case SB_LINEDOWN:      position += SCROLL_LINE; break;
    case SB_PAGEUP:        position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN:      position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP:           position = 0; break;
    case SB_BOTTOM:        position = info.nMax; break;
    }
    ScrollDialogTo(dialog, scrollBar, position);
}

static void FitDialogToScreen(HWND dialog)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    SetWindowPos(dialog, nullptr, 0, 0, width, GetSystemMetrics(SM_CYSCREEN) - MENUBAR_HEIGHT,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HWND strip = FindWindowExW(dialog, nullptr, TASKBAR_CLASS, nullptr);
    SetWindowPos(strip, nullptr, 0, 0, width, TASKBAR_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(strip, IDOK), nullptr, width - DONE_BUTTON_INSET, DONE_BUTTON_TOP,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(strip, IDCANCEL), nullptr, width - CLOSE_BUTTON_INSET, DONE_BUTTON_TOP,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static LRESULT CALLBACK FullScreenDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR, DWORD_PTR reference)
{
    HWND scrollBar = reinterpret_cast<HWND>(reference);
    switch (message) {
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) != scrollBar && lParam != 0)
            break;
        OnDialogVScroll(dialog, scrollBar, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnDialogVScroll(dialog, scrollBar, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case WM_DISPLAYCHANGE:
        FitDialogToScreen(dialog);
        break;
    case WM_SIZE:
        UpdateDialogScrolling(dialog, scrollBar);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(dialog, FullScreenDialogProc, SCROLL_SUBCLASS_ID);
        break;
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

static void AddDialogScrolling(HWND dialog)
{
    HWND scrollBar = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_VERT, 0, 0, 0, 0, dialog,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowSubclass(dialog, FullScreenDialogProc, SCROLL_SUBCLASS_ID,
                      reinterpret_cast<DWORD_PTR>(scrollBar));
    UpdateDialogScrolling(dialog, scrollBar);
}

BOOL SHInitDialog(SHINITDLGINFO* info)
{
    if (info == nullptr || info->hDlg == nullptr || !IsWindow(info->hDlg))
        return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS))
        return TRUE;
    HWND dialog = info->hDlg;
    DWORD flags = info->dwFlags;
    bool resize = (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN
                            | SHIDIF_FULLSCREENNOMENUBAR)) != 0;
    if (!resize && !(flags & SHIDIF_DONEBUTTON))
        return TRUE;
    // The dialog's title moves into its own taskbar strip at the top, and its
    // controls move down below it.
    StripFrame(dialog);
    MoveControls(dialog, nullptr, TASKBAR_HEIGHT);
    RECT placed;
    GetWindowRect(dialog, &placed);
    int width = placed.right - placed.left;
    int height = placed.bottom - placed.top + TASKBAR_HEIGHT;
    if (resize) {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        // Without a menu bar of its own the dialog covers the program's.
        if ((flags & SHIDIF_SIZEDLG) && !(flags & (SHIDIF_SIZEDLGFULLSCREEN
                                                   | SHIDIF_FULLSCREENNOMENUBAR)))
            height -= MENUBAR_HEIGHT;
    }
    // Still hidden here; activating it now would let a caller that waits for
    // the activation act before the modal loop shows it.
    SetWindowPos(dialog, nullptr, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    CreateTaskbar(dialog, (flags & SHIDIF_DONEBUTTON) != 0);
    if (resize)
        AddDialogScrolling(dialog);
    return TRUE;
}

void SystemIdleTimerReset()
{
    // Without ES_CONTINUOUS this only restarts the idle timers once.
    SetThreadExecutionState(ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}

// ---- the menu bar --------------------------------------------------------------------

static MenuBar* BarOf(HWND window)
{
    return reinterpret_cast<MenuBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

static void PlaceMenuBar(HWND window, MenuBar* bar)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int top = GetSystemMetrics(SM_CYSCREEN) - MENUBAR_HEIGHT;
    SetWindowPos(window, nullptr, 0, top, width, MENUBAR_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(bar->toolbar, nullptr, 0, 0, width, MENUBAR_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
}

static int ButtonIndex(MenuBar* bar, int command)
{
    return static_cast<int>(SendMessageW(bar->toolbar, TB_COMMANDTOINDEX, command, 0));
}

// The texts are one per button, separators not counted.
static int TooltipIndex(MenuBar* bar, int command)
{
    int index = ButtonIndex(bar, command);
    int tooltip = 0;
    for (int i = 0; i < index; i++) {
        TBBUTTON button = {};
        SendMessageW(bar->toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (!(button.fsStyle & TBSTYLE_SEP))
            tooltip++;
    }
    return index < 0 ? -1 : tooltip;
}

static LRESULT OpenSubMenu(MenuBar* bar, const NMTOOLBARW* note)
{
    for (int i = 0; i < bar->buttonCount; i++) {
        if (bar->commands[i] != note->iItem || bar->subMenus[i] < 0)
            continue;
        HMENU sub = GetSubMenu(bar->menu, bar->subMenus[i]);
        if (sub == nullptr)
            break;
        RECT button;
        SendMessageW(bar->toolbar, TB_GETRECT, note->iItem, reinterpret_cast<LPARAM>(&button));
        MapWindowPoints(bar->toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
        // Menus close properly only when their owner is in the foreground.
        SetForegroundWindow(bar->owner);
        TPMPARAMS avoid = { sizeof(avoid), button };
        TrackPopupMenuEx(sub, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_VERTICAL, button.left,
                         button.top, bar->owner, &avoid);
        break;
    }
    return TBDDRET_DEFAULT;
}

static LRESULT OnMenuBarNotify(MenuBar* bar, NMHDR* header)
{
    if (header->code == TBN_DROPDOWN)
        return OpenSubMenu(bar, reinterpret_cast<NMTOOLBARW*>(header));
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        int index = TooltipIndex(bar, static_cast<int>(header->idFrom));
        info->lpszText = const_cast<wchar_t*>(L"");
        if (index >= 0 && index < bar->tooltipCount)
            info->lpszText = bar->tooltips[index];
    }
    return 0;
}

static LRESULT CALLBACK MenuBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MenuBar* bar = BarOf(window);
    if (bar == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case SHCMBM_GETMENU:
        return reinterpret_cast<LRESULT>(bar->menu);
    case TB_SETBUTTONTOOLTIPS: {
        auto* texts = reinterpret_cast<const wchar_t* const*>(lParam);
        int count = static_cast<int>(wParam);
        bar->tooltipCount = 0;
        for (int i = 0; texts != nullptr && i < count && i < MAX_BAR_BUTTONS; i++) {
            StringCchCopyW(bar->tooltips[i], TOOLTIP_UNITS, texts[i] ? texts[i] : L"");
            bar->tooltipCount = i + 1;
        }
        return TRUE;
    }
    case TB_ADDBUTTONSW: {
        // Remember the new buttons' commands for the sub-menu lookup.
        auto* buttons = reinterpret_cast<const TBBUTTON*>(lParam);
        for (WPARAM i = 0; buttons != nullptr && i < wParam && bar->buttonCount < MAX_BAR_BUTTONS;
             i++) {
            bar->commands[bar->buttonCount] = buttons[i].idCommand;
            bar->subMenus[bar->buttonCount] = -1;
            bar->buttonCount++;
        }
        return SendMessageW(bar->toolbar, message, wParam, lParam);
    }
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == bar->toolbar)
            return SendMessageW(bar->owner, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
        return 0;
    case WM_NOTIFY:
        return OnMenuBarNotify(bar, reinterpret_cast<NMHDR*>(lParam));
    case WM_DISPLAYCHANGE:
        // The device's shell refits its windows and tells them the screen turned.
        PlaceMenuBar(window, bar);
        if (IsWindow(bar->owner)) {
            PlaceOnDeviceScreen(bar->owner);
            SendMessageW(bar->owner, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyMenu(bar->menu);
        if (bar->images != nullptr)
            ImageList_Destroy(bar->images);
        delete bar;
        return 0;
    }
    if (message >= WM_USER && message < WM_USER + 0x100)
        return SendMessageW(bar->toolbar, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// RCDATA of a menu bar: the menu id and the button count, then per button
// image, command, state, style, caption string, 0 and sub-menu index.
struct MenuBarRecord {
    const WORD* words;
    int buttonCount;
};

static bool ReadMenuBarRecord(HINSTANCE instance, UINT id, MenuBarRecord* record)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr)
        return false;
    HGLOBAL loaded = LoadResource(instance, found);
    DWORD size = SizeofResource(instance, found);
    const WORD* words = loaded != nullptr ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (words == nullptr || size < 4)
        return false;
    int count = words[1];
    if (count > MAX_BAR_BUTTONS || size < static_cast<DWORD>(4 + count * 14))
        return false;
    record->words = words;
    record->buttonCount = count;
    return true;
}

static HIMAGELIST LoadBarImages(HINSTANCE instance, int bitmapId, int count)
{
    if (bitmapId == 0 || count <= 0)
        return nullptr;
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId));
    if (bitmap == nullptr)
        return nullptr;
    BITMAP info;
    GetObjectW(bitmap, sizeof(info), &info);
    HIMAGELIST images = ImageList_Create(info.bmWidth / count, info.bmHeight,
                                         ILC_COLOR24 | ILC_MASK, count, 0);
    // Magenta marks the see-through pixels of the pictures.
    if (images != nullptr)
        ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
    DeleteObject(bitmap);
    return images;
}

static void AddRecordButtons(MenuBar* bar, HINSTANCE instance, const MenuBarRecord& record)
{
    for (int i = 0; i < record.buttonCount && bar->buttonCount < MAX_BAR_BUTTONS; i++) {
        const WORD* w = record.words + 2 + i * 7;
        wchar_t caption[64] = L"";
        LoadStringW(instance, w[4], caption, ARRAYSIZE(caption));
        TBBUTTON button = {};
        button.iBitmap = static_cast<short>(w[0]);
        button.idCommand = w[1];
        button.fsState = static_cast<BYTE>(w[2]);
        button.fsStyle = static_cast<BYTE>(w[3]);
        // Given as text, not as an index into the toolbar's strings, so that
        // buttons added later with string 0 stay without a caption.
        button.iString = reinterpret_cast<INT_PTR>(caption);
        SendMessageW(bar->toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
        bar->commands[bar->buttonCount] = w[1];
        bar->subMenus[bar->buttonCount] = w[6];
        bar->buttonCount++;
    }
}

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (info == nullptr || info->cbSize < sizeof(SHMENUBARINFO) || info->hwndParent == nullptr)
        return FALSE;
    info->hwndMB = nullptr;
    MenuBarRecord record;
    if (!ReadMenuBarRecord(info->hInstRes, info->nToolBarId, &record))
        return FALSE;
    HMENU menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(record.words[0]));
    if (menu == nullptr)
        return FALSE;

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MenuBarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = MENUBAR_CLASS;
    RegisterClassW(&wc);

    if (!(GetWindowLongPtrW(info->hwndParent, GWL_STYLE) & WS_CHILD))
        PlaceOnDeviceScreen(info->hwndParent);

    auto* bar = new MenuBar();
    bar->owner = info->hwndParent;
    bar->menu = menu;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MENUBAR_CLASS, L"",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), MENUBAR_HEIGHT,
                                  info->hwndParent, nullptr, instance, nullptr);
    if (window == nullptr) {
        DestroyMenu(menu);
        delete bar;
        return FALSE;
    }
    bar->toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER
                                       | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_LIST
                                       | TBSTYLE_TOOLTIPS,
                                   0, 0, GetSystemMetrics(SM_CXSCREEN), MENUBAR_HEIGHT, window,
                                   reinterpret_cast<HMENU>(MENUBAR_TOOLBAR_ID), instance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    SendMessageW(bar->toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    bar->images = LoadBarImages(info->hInstRes, info->nBmpId, info->cBmpImages);
    if (bar->images != nullptr)
        SendMessageW(bar->toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(bar->images));
    SendMessageW(bar->toolbar, TB_SETPADDING, 0, MAKELPARAM(6, 2));
    AddRecordButtons(bar, info->hInstRes, record);
    PlaceMenuBar(window, bar);
    info->hwndMB = window;
    return TRUE;
}
