#include "ui-win32/Win32PageView.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <vector>

#include "ui-win32/Resource.h"

#include "ui-win32/Win32Pickers.h"
#include "ui-win32/Win32Text.h"

namespace tv {

namespace {

constexpr COLORREF kAlternateRow = RGB(230, 230, 230);
// Grid lines, full-row selection, info tips, label tips, columns sized to fit.
constexpr DWORD kResultListStyle = 0x10004421 | LVS_EX_DOUBLEBUFFER;

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return lstrcmpiW(buffer, name) == 0;
}

BOOL CALLBACK StyleList(HWND child, LPARAM) {
    if (IsClass(child, WC_LISTVIEWW)) SendMessageW(child, LVM_SETEXTENDEDLISTVIEWSTYLE, kResultListStyle, kResultListStyle);
    return TRUE;
}

SYSTEMTIME ToSystemTime(const DayDate& date) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return time;
}

}  // namespace

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    GetWindowTextW(window, buffer.data(), length + 1);
    return FromWide(buffer.data());
}

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpi != nullptr && window != nullptr) {
        const UINT dpi = getDpi(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(window);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc != nullptr) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : 96;
}

Win32PageView::Win32PageView(HWND dialog, Win32PageEvents& events, COLORREF background)
    : dialog_(dialog), events_(events), background_(background), brush_(CreateSolidBrush(background)) {
    EnumChildWindows(dialog_, StyleList, 0);
}

bool Win32PageView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_COMMAND: {
            if (lParam == 0) return false;  // menus and accelerators are the window's
            const int control = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (code == BN_CLICKED && IsClass(reinterpret_cast<HWND>(lParam), WC_BUTTONW)) {
                events_.OnClicked(control);
            } else if (code == CBN_SELCHANGE && IsClass(reinterpret_cast<HWND>(lParam), WC_COMBOBOXW)) {
                events_.OnSelectionChanged(control);
            } else if (code == EN_CHANGE && !settingText_) {
                events_.OnEdited(control);
            } else {
                return false;
            }
            result = TRUE;
            return true;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == DTN_DATETIMECHANGE) {
                events_.OnEdited(static_cast<int>(header->idFrom));
                result = TRUE;
                return true;
            }
            if (header->code == NM_CUSTOMDRAW && IsClass(header->hwndFrom, WC_LISTVIEWW)) return CustomDrawList(lParam, result);
            return false;
        }
        case WM_DESTROY:
            // The tip window goes with its dialog, before its handle can be reused.
            tooltip_.Reset();
            return false;
        case WM_TIMER:
            events_.OnTimerDue(static_cast<int>(wParam));
            result = TRUE;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(dialog_, &paint);
            EndPaint(dialog_, &paint);
            events_.OnPainted();
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            const bool white = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
            SetBkColor(dc, white ? RGB(255, 255, 255) : background_);
            result = reinterpret_cast<INT_PTR>(white ? GetStockObject(WHITE_BRUSH) : brush_.Get());
            return true;
        }
        default:
            return false;
    }
}

bool Win32PageView::CustomDrawList(LPARAM lParam, INT_PTR& result) {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    LRESULT answer = CDRF_DODEFAULT;
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        answer = CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        // Every second row on grey, the first on white.
        draw->clrTextBk = (draw->nmcd.dwItemSpec % 2) != 0 ? kAlternateRow : RGB(255, 255, 255);
    }
    SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, answer);
    result = TRUE;
    return true;
}

void Win32PageView::SetText(int control, const std::u16string& text) {
    settingText_ = true;
    if (HWND item = Item(control)) SetWindowTextW(item, Wide(text));
    settingText_ = false;
}

std::u16string Win32PageView::GetText(int control) const { return WindowText(Item(control)); }

void Win32PageView::Show(int control, bool show) {
    if (HWND item = Item(control)) ShowWindow(item, show ? SW_SHOWNA : SW_HIDE);
}

bool Win32PageView::IsVisible(int control) const {
    HWND item = Item(control);
    return item != nullptr && (GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32PageView::Enable(int control, bool enable) {
    if (HWND item = Item(control)) EnableWindow(item, enable ? TRUE : FALSE);
}

bool Win32PageView::IsEnabled(int control) const {
    HWND item = Item(control);
    return item != nullptr && IsWindowEnabled(item) != FALSE;
}

void Win32PageView::Focus(int control) {
    if (HWND item = Item(control)) SetFocus(item);
}

HWND Win32PageView::Tooltip() {
    if (tooltip_.Get() == nullptr) {
        tooltip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    }
    return tooltip_.Get();
}

void Win32PageView::SetTip(int control, const std::u16string& tip) {
    HWND item = Item(control);
    HWND tooltip = item != nullptr ? Tooltip() : nullptr;
    if (tooltip == nullptr) return;
    std::wstring text = ToWide(tip);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = dialog_;
    info.uId = reinterpret_cast<UINT_PTR>(item);
    info.lpszText = text.data();
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (!tip.empty()) SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

// A picture control (a static) is "checked" when it shows success.
void Win32PageView::SetChecked(int control, bool checked) {
    if (IsPicture(control)) {
        SetImage(control, checked ? TV_ICON_SUCCESS : TV_ICON_FAILURE);
        return;
    }
    CheckDlgButton(dialog_, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32PageView::IsChecked(int control) const {
    if (IsPicture(control)) {
        const auto it = pictures_.find(control);
        return it != pictures_.end() && it->second == TV_ICON_SUCCESS;
    }
    return IsDlgButtonChecked(dialog_, control) == BST_CHECKED;
}

bool Win32PageView::IsPicture(int control) const {
    HWND item = Item(control);
    if (item == nullptr) return false;
    wchar_t kind[16] = {};
    GetClassNameW(item, kind, 16);
    return lstrcmpiW(kind, L"Static") == 0 && (GetWindowLongPtrW(item, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

void Win32PageView::SetImage(int control, int picture) {
    HWND item = Item(control);
    if (item == nullptr) return;
    RECT r{};
    GetClientRect(item, &r);
    const int size = std::max(16, static_cast<int>(std::min(r.right - r.left, r.bottom - r.top)));
    // Shared: the system keeps the icon for as long as the module is loaded.
    auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(picture), IMAGE_ICON, size, size, LR_SHARED));
    if (icon == nullptr) return;
    SendMessageW(item, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    pictures_[control] = picture;
}

// Yellow for a card with room left, red for a full one, on white. Visual styles draw
// such a bar in colours of their own (or not at all): a coloured bar is drawn
// plain, in our colour, the same on every system.
void Win32PageView::SetBarState(int control, BarState state) {
    HWND bar = Item(control);
    if (bar == nullptr) return;
    if (state == BarState::kNormal) {
        SetWindowTheme(bar, nullptr, nullptr);
        SendMessageW(bar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(CLR_DEFAULT));
        SendMessageW(bar, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(CLR_DEFAULT));
        SendMessageW(bar, PBM_SETSTATE, PBST_NORMAL, 0);
        return;
    }
    const bool full = state == BarState::kError;
    SetWindowTheme(bar, L" ", L" ");
    // A thin frame keeps the white, empty part of the bar apart from the page.
    const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
    if ((style & WS_BORDER) == 0) {
        SetWindowLongPtrW(bar, GWL_STYLE, style | WS_BORDER);
        SetWindowLongPtrW(bar, GWL_EXSTYLE, GetWindowLongPtrW(bar, GWL_EXSTYLE) & ~WS_EX_STATICEDGE);
        SetWindowPos(bar, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    SendMessageW(bar, PBM_SETSTATE, full ? PBST_ERROR : PBST_PAUSED, 0);
    SendMessageW(bar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(full ? RGB(255, 0, 0) : RGB(225, 200, 0)));
    SendMessageW(bar, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(RGB(255, 255, 255)));
}

void Win32PageView::ClearItems(int control) { SendDlgItemMessageW(dialog_, control, CB_RESETCONTENT, 0, 0); }

void Win32PageView::AddItem(int control, const std::u16string& text) {
    SendDlgItemMessageW(dialog_, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
}

int Win32PageView::ItemCount(int control) const {
    const auto count = SendDlgItemMessageW(dialog_, control, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::u16string Win32PageView::ItemText(int control, int index) const {
    const auto length = SendDlgItemMessageW(dialog_, control, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    SendDlgItemMessageW(dialog_, control, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return FromWide(buffer.data());
}

int Win32PageView::Selection(int control) const {
    const auto index = SendDlgItemMessageW(dialog_, control, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32PageView::Select(int control, int index) {
    SendDlgItemMessageW(dialog_, control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

ProgressView* Win32PageView::Progress(int control) {
    HWND item = Item(control);
    if (item == nullptr) return nullptr;
    auto& view = progress_[control];
    if (!view) view = std::make_unique<Win32ProgressView>(item);
    return view.get();
}

StatusView* Win32PageView::Status(int control) {
    HWND item = Item(control);
    if (item == nullptr) return nullptr;
    auto& view = status_[control];
    if (!view) view = std::make_unique<Win32StatusView>(item);
    return view.get();
}

ResultList* Win32PageView::Results(int control) {
    HWND item = Item(control);
    if (item == nullptr) return nullptr;
    auto& view = results_[control];
    if (!view) view = std::make_unique<Win32ResultList>(item);
    return view.get();
}

void Win32PageView::SetColumns(int control, const std::vector<std::u16string>& headers, const std::vector<int>& widths) {
    HWND list = Item(control);
    if (list == nullptr) return;
    while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0) != FALSE) {
    }
    const int dpi = WindowDpi(list);
    for (size_t i = 0; i < headers.size(); ++i) {
        std::wstring text = ToWide(headers[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = MulDiv(i < widths.size() ? widths[i] : 100, dpi, 96);
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

DayDate Win32PageView::GetDate(int control) const {
    SYSTEMTIME time{};
    if (SendDlgItemMessageW(dialog_, control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID) return {};
    return DayDate{time.wYear, time.wMonth, time.wDay};
}

void Win32PageView::SetDate(int control, const DayDate& date) {
    SYSTEMTIME time = ToSystemTime(date);
    SendDlgItemMessageW(dialog_, control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

void Win32PageView::SetDateRange(int control, const DayDate& first, const DayDate& last) {
    SYSTEMTIME range[2] = {ToSystemTime(first), ToSystemTime(last)};
    WPARAM which = 0;
    if (first.year > 0) which |= GDTR_MIN;
    if (last.year > 0) which |= GDTR_MAX;
    SendDlgItemMessageW(dialog_, control, DTM_SETRANGE, which, reinterpret_cast<LPARAM>(range));
}

void Win32PageView::SetTimer(int id, int milliseconds) {
    ::SetTimer(dialog_, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr);
}

void Win32PageView::KillTimer(int id) { ::KillTimer(dialog_, static_cast<UINT_PTR>(id)); }

std::u16string Win32PageView::ChooseFile(const std::u16string& title, const std::u16string& initial,
                                         const std::vector<FileFilter>& filters) {
    return RunPicker(GetAncestor(dialog_, GA_ROOT), PickerKind::kOpenFile, title, initial, filters);
}

std::u16string Win32PageView::ChooseFolder(const std::u16string& title, const std::u16string& initial) {
    return RunPicker(GetAncestor(dialog_, GA_ROOT), PickerKind::kFolder, title, initial, {});
}

std::u16string Win32PageView::ChooseSaveFile(const std::u16string& title, const std::u16string& initial,
                                             const std::vector<FileFilter>& filters) {
    return RunPicker(GetAncestor(dialog_, GA_ROOT), PickerKind::kSaveFile, title, initial, filters);
}

}  // namespace tv
