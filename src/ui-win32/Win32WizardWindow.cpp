#include "ui-win32/Win32WizardWindow.h"

#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>

#include <algorithm>
#include <array>

#include "messages/Messages.h"
#include "platform/Text.h"
#include "ui-win32/Resource.h"
#include "ui-win32/Win32PageView.h"
#include "ui-win32/Win32SettingsDialog.h"
#include "ui-win32/Win32SingleInstance.h"
#include "ui-win32/Win32Text.h"
#include "wizard/MasterDlg.h"
#include "wizard/WizardPage.h"

namespace tv {

namespace {

constexpr COLORREF kWindowColour = RGB(245, 245, 245);
constexpr COLORREF kButtonColour = RGB(220, 220, 220);
constexpr COLORREF kButtonText = RGB(45, 45, 45);
constexpr COLORREF kBandColour = RGB(20, 60, 142);
constexpr COLORREF kCaptionText = RGB(195, 195, 195);
constexpr COLORREF kPageColour = RGB(255, 255, 255);
// Captions at the even places, separators between them.
constexpr std::array<int, 9> kCrumbs = {TV_CTL_CRUMB1, TV_CTL_CRUMB2, TV_CTL_CRUMB3, TV_CTL_CRUMB4, TV_CTL_CRUMB5,
                                        TV_CTL_CRUMB6, TV_CTL_CRUMB7, TV_CTL_CRUMB8, TV_CTL_CRUMB9};
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

int ButtonId(WizardButton button) {
    switch (button) {
        case WizardButton::kBack: return kCtlBack;
        case WizardButton::kNext: return kCtlNext;
        case WizardButton::kCancel: return kCtlCancel;
        case WizardButton::kFinish: return kCtlFinish;
        case WizardButton::kPage: return TV_CTL_PAGE_BUTTON;
    }
    return 0;
}

int TextWidth(HWND control, HFONT font, const std::u16string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

// A page's child dialog and the way its controls' events reach the core page.
struct Win32WizardWindow::PageHost : Win32PageEvents {
    PageHost(Win32WizardWindow& w, CWizardPage& p) : owner(w), page(p) {}
    void OnClicked(int control) override {
        if (control == TV_CTL_BROWSE) {
            page.OnBrowse();
        } else {
            page.OnCommand(control);
        }
    }
    void OnSelectionChanged(int control) override { page.OnSelectionChange(control); }
    void OnEdited(int control) override { page.OnEditChange(control); }
    void OnTimerDue(int id) override { page.OnTimer(id); }
    // The page hears of its paint from the loop: a paint forced while the
    // wizard moves to the page (a redraw in its activation) would let it show
    // buttons the move hides right after.
    void OnPainted() override {
        if (paintPending) return;
        paintPending = PostMessageW(owner.Handle(), kMsgPagePainted, 0, reinterpret_cast<LPARAM>(&page)) != 0;
    }
    static constexpr UINT kMsgPagePainted = WM_USER + 103;

    Win32WizardWindow& owner;
    CWizardPage& page;
    HWND window = nullptr;
    std::unique_ptr<Win32PageView> view;
    bool paintPending = false;
};

Win32WizardWindow::Win32WizardWindow(HINSTANCE instance)
    : instance_(instance),
      windowBrush_(CreateSolidBrush(kWindowColour)),
      buttonBrush_(CreateSolidBrush(kButtonColour)),
      bandBrush_(CreateSolidBrush(kBandColour)) {}

Win32WizardWindow::~Win32WizardWindow() {
    if (HWND w = window_.Get()) UnmarkWizardWindow(w);
    // The tip window belongs to the window: it goes first, while its handle is ours.
    tooltip_.Reset();
    window_.Reset();
}

bool Win32WizardWindow::Create(CMasterDlg& wizard) {
    wizard_ = &wizard;
    keys_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(TV_ACCEL_WIZARD));
    HWND w = CreateDialogParamW(instance_, MAKEINTRESOURCEW(TV_DLG_WIZARD), nullptr, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    return w != nullptr;
}

HWND Win32WizardWindow::Button(WizardButton button) const { return GetDlgItem(Handle(), ButtonId(button)); }

HWND Win32WizardWindow::PageWindow(const CWizardPage& page) const {
    auto it = pages_.find(&page);
    return it == pages_.end() ? nullptr : it->second->window;
}

int Win32WizardWindow::HighlightedCaption() const {
    if (highlight_ < 0 || highlight_ >= static_cast<int>(plan_.steps.size())) return 0;
    return kCrumbs[static_cast<size_t>(2 * highlight_)];
}

// ---- the loop -------------------------------------------------------------------------

bool Win32WizardWindow::PreTranslate(MSG& message) {
    HWND w = Handle();
    if (w == nullptr || (message.hwnd != w && !IsChild(w, message.hwnd))) return false;
    // Backspace in an edit box deletes a character; elsewhere it is a key of the table.
    const bool editKey = message.message == WM_KEYDOWN && message.wParam == VK_BACK && [&message] {
        wchar_t name[16] = {};
        GetClassNameW(message.hwnd, name, 16);
        return lstrcmpiW(name, WC_EDITW) == 0;
    }();
    if (!editKey && keys_ != nullptr && TranslateAcceleratorW(w, keys_, &message) != 0) return true;
    return IsDialogMessageW(w, &message) != FALSE;
}

void Win32WizardWindow::PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int Win32WizardWindow::Run() {
    HWND w = Handle();
    if (w == nullptr || wizard_ == nullptr) return kCtlCancel;
    wizard_->Initialise();
    ShowWindow(w, SW_SHOWNORMAL);
    SetForegroundWindow(w);
    UpdateWindow(w);
    // The focus starts on the page's first control, unless the page chose one.
    HWND focus = GetFocus();
    if (focus == nullptr || !IsChild(w, focus) || !IsWindowVisible(focus)) {
        if (HWND first = GetNextDlgTabItem(w, nullptr, FALSE))
            SendMessageW(w, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
    wizard_->Started();
    MSG message;
    while (!ended_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    FinishLoop();
    return ended_ ? endCode_ : kCtlCancel;
}

void Win32WizardWindow::FinishLoop() {
    if (Handle() == nullptr) return;
    ShowWindow(Handle(), SW_HIDE);
    if (wizard_ != nullptr) wizard_->DestroyPages();
}

// ---- WizardWindow ------------------------------------------------------------------------

void Win32WizardWindow::ShowButton(WizardButton button, bool show) {
    if (HWND b = Button(button)) ShowWindow(b, show ? SW_SHOWNA : SW_HIDE);
    LayOutButtons();
}

bool Win32WizardWindow::IsButtonVisible(WizardButton button) const {
    HWND b = Button(button);
    return b != nullptr && (GetWindowLongPtrW(b, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32WizardWindow::EnableButton(WizardButton button, bool enable) {
    if (HWND b = Button(button)) EnableWindow(b, enable ? TRUE : FALSE);
}

bool Win32WizardWindow::IsButtonEnabled(WizardButton button) const {
    HWND b = Button(button);
    return b != nullptr && IsWindowEnabled(b) != FALSE;
}

void Win32WizardWindow::SetButtonText(WizardButton button, const std::u16string& text) {
    if (HWND b = Button(button)) SetWindowTextW(b, Wide(text));
    // The captions are set again whenever the language may have changed.
    if (button == WizardButton::kBack) RefreshOwnTips();
    LayOutButtons();
}

// The visible buttons in a row at the right edge of the page's frame, in the
// order Back, Next, the page's own, Cancel, Finish: none hides another, and a
// caption longer than the usual width widens its button.
void Win32WizardWindow::LayOutButtons() {
    HWND w = Handle();
    HWND edge = w != nullptr ? GetDlgItem(w, TV_CTL_FRAME_RIGHT) : nullptr;
    if (edge == nullptr) return;
    RECT unit{0, 209, 56, 224};  // a button of the template, in dialog units
    MapDialogRect(w, &unit);
    RECT gaps{4, 0, 10, 0};
    MapDialogRect(w, &gaps);
    int x = ClientRectOf(edge, w).right;
    bool placed = false;
    for (WizardButton b : {WizardButton::kFinish, WizardButton::kCancel, WizardButton::kPage, WizardButton::kNext,
                           WizardButton::kBack}) {
        HWND button = Button(b);
        if (button == nullptr || !IsButtonVisible(b)) continue;
        if (b == WizardButton::kNext && placed) x -= gaps.right - gaps.left;
        wchar_t caption[128] = {};
        GetWindowTextW(button, caption, 128);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
        const int needed = TextWidth(button, font, FromWide(caption)) + 4 * gaps.left;
        const int width = std::max(static_cast<int>(unit.right - unit.left), needed);
        x -= width;
        SetWindowPos(button, nullptr, x, unit.top, width, unit.bottom - unit.top, SWP_NOZORDER | SWP_NOACTIVATE);
        x -= gaps.left;
        placed = true;
    }
}

void Win32WizardWindow::SetDefaultButton(WizardButton button) {
    for (WizardButton b : {WizardButton::kBack, WizardButton::kNext, WizardButton::kCancel, WizardButton::kFinish,
                           WizardButton::kPage}) {
        if (b != button && Button(b) != nullptr) SendMessageW(Button(b), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    if (HWND b = Button(button)) SendMessageW(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SendMessageW(Handle(), DM_SETDEFID, static_cast<WPARAM>(ButtonId(button)), 0);
}

void Win32WizardWindow::FocusButton(WizardButton button) {
    if (HWND b = Button(button)) SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(b), TRUE);
}

PageView* Win32WizardWindow::CreatePageView(CWizardPage& page) {
    auto& host = pages_[&page];
    if (host && host->view) return host->view.get();
    host = std::make_unique<PageHost>(*this, page);
    HWND w = CreateDialogParamW(instance_, MAKEINTRESOURCEW(page.PageId()), Handle(), PageProc,
                                reinterpret_cast<LPARAM>(host.get()));
    if (w == nullptr || !host->view) {
        pages_.erase(&page);
        return nullptr;
    }
    host->window = w;
    // In the tab order right after the page area, before the wizard's buttons.
    SetWindowPos(w, GetDlgItem(Handle(), kCtlPagePlaceholder), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return host->view.get();
}

void Win32WizardWindow::ShowPageView(CWizardPage& page, bool show) {
    HWND w = PageWindow(page);
    if (w == nullptr) return;
    if (!show) {
        ShowWindow(w, SW_HIDE);
        return;
    }
    const RECT area = ClientRectOf(GetDlgItem(Handle(), kCtlPagePlaceholder), Handle());
    SetWindowPos(w, nullptr, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(w, TRUE);
    ShowWindow(w, SW_SHOWNA);
    InvalidateRect(w, nullptr, TRUE);
    UpdateWindow(w);
}

void Win32WizardWindow::EndDialog(int code) {
    endCode_ = code;
    ended_ = true;
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

void Win32WizardWindow::SetTitle(const std::u16string& title) { SetWindowTextW(Handle(), Wide(title)); }

void Win32WizardWindow::ShowBreadcrumb(const BreadcrumbPlan& plan) {
    plan_ = plan;
    if (plan.highlight >= 0) highlight_ = plan.highlight;
    LayOutBreadcrumb();
}

void Win32WizardWindow::LayOutBreadcrumb() {
    HWND w = Handle();
    for (int id : kCrumbs) {
        ShowWindow(GetDlgItem(w, id), SW_HIDE);
        AddTip(GetDlgItem(w, id), {});
        SendDlgItemMessageW(w, id, WM_SETFONT, reinterpret_cast<WPARAM>(captionFont_.Get()), FALSE);
    }
    HWND first = GetDlgItem(w, kCrumbs[0]);
    const RECT place = ClientRectOf(first, w);
    const int height = place.bottom - place.top;
    int x = place.left;
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
    const size_t count = std::min(plan_.steps.size(), size_t{5});
    for (size_t i = 0; i < count; ++i) {
        const BreadcrumbStep& step = plan_.steps[i];
        HWND caption = GetDlgItem(w, kCrumbs[2 * i]);
        const bool lit = static_cast<int>(i) == highlight_;
        const HFONT font = lit ? highlightFont_.Get() : captionFont_.Get();
        const std::u16string text = GetMessageText(step.caption);
        SendMessageW(caption, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowTextW(caption, Wide(text));
        const int width = TextWidth(caption, font, text) + 4;
        SetWindowPos(caption, nullptr, x, place.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(caption, SW_SHOWNA);
        AddTip(caption, step.tooltip != 0 ? GetMessageText(step.tooltip) : std::u16string());
        x += width;
        if (i + 1 == count) break;
        HWND separator = GetDlgItem(w, kCrumbs[2 * i + 1]);
        SetWindowTextW(separator, L"  >");
        const int gap = TextWidth(separator, dialogFont, u"  >  ");
        SetWindowPos(separator, nullptr, x, place.top, gap, height, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(separator, SW_SHOWNA);
        x += gap;
    }
    RECT band = ClientRectOf(GetDlgItem(w, TV_CTL_BAND), w);
    InvalidateRect(w, &band, TRUE);
}

void Win32WizardWindow::EnableSettings(bool enable) {
    EnableWindow(GetDlgItem(Handle(), TV_CTL_SETTINGS), enable ? TRUE : FALSE);
}

bool Win32WizardWindow::IsSettingsEnabled() const {
    return IsWindowEnabled(GetDlgItem(Handle(), TV_CTL_SETTINGS)) != FALSE;
}

void Win32WizardWindow::FocusSettings() {
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(Handle(), TV_CTL_SETTINGS)), TRUE);
}

bool Win32WizardWindow::OpenDocument(const std::string& path) {
    const std::u16string wide = ToUtf16(path);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(Handle(), L"open", Wide(wide), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void Win32WizardWindow::RunSettings(CSettingsDlg& dialog) {
    Win32SettingsDialog settings(instance_, dialog);
    settings.Run(Handle());
}

void Win32WizardWindow::Redraw() {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---- the dialog's messages ------------------------------------------------------------------

INT_PTR CALLBACK Win32WizardWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32WizardWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_.Reset(window);
        self->OnInitDialog();
        return TRUE;
    }
    auto* self = reinterpret_cast<Win32WizardWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK Win32WizardWindow::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host = reinterpret_cast<PageHost*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        host->view = std::make_unique<Win32PageView>(window, *host, kPageColour);
        return FALSE;
    }
    auto* host = reinterpret_cast<PageHost*>(GetWindowLongPtrW(window, DWLP_USER));
    if (host == nullptr || !host->view) return FALSE;
    INT_PTR result = FALSE;
    return host->view->HandleMessage(message, wParam, lParam, result) ? result : FALSE;
}

void Win32WizardWindow::OnInitDialog() {
    HWND w = Handle();
    MarkWizardWindow(w);
    MakeFonts();
    MakeImages();
    tooltip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w, nullptr, instance_,
                                   nullptr));
    RefreshOwnTips();
    SendMessageW(w, DM_SETDEFID, kCtlNext, 0);
}

void Win32WizardWindow::MakeFonts() {
    const int dpi = WindowDpi(Handle());
    auto arial = [dpi](int tenthsOfPoint, int weight) {
        LOGFONTW font{};
        font.lfHeight = -MulDiv(tenthsOfPoint, dpi, 720);
        font.lfWeight = weight;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = CLEARTYPE_QUALITY;
        lstrcpyW(font.lfFaceName, L"Arial");
        return CreateFontIndirectW(&font);
    };
    captionFont_.Reset(arial(88, FW_NORMAL));
    highlightFont_.Reset(arial(90, FW_SEMIBOLD));
}

void Win32WizardWindow::MakeImages() {
    HWND w = Handle();
    const int dpi = WindowDpi(w);
    auto icon = [this](int id, int size) {
        return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    };
    bigIcon_.Reset(icon(TV_ICON_APP, GetSystemMetrics(SM_CXICON)));
    smallIcon_.Reset(icon(TV_ICON_APP, GetSystemMetrics(SM_CXSMICON)));
    SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    const int buttonIcon = MulDiv(20, dpi, 96);
    helpIcon_.Reset(icon(TV_ICON_HELP, buttonIcon));
    settingsIcon_.Reset(icon(TV_ICON_SETTINGS, buttonIcon));
    SendDlgItemMessageW(w, TV_CTL_HELP, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(helpIcon_.Get()));
    SendDlgItemMessageW(w, TV_CTL_SETTINGS, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(settingsIcon_.Get()));
    // The logo drawn for the screen's density sits at the top right corner.
    HWND logo = GetDlgItem(w, TV_CTL_LOGO);
    const int logoId = dpi >= 144 ? TV_BMP_LOGO_LARGE : TV_BMP_LOGO;
    if (auto fresh = static_cast<HBITMAP>(
            LoadImageW(instance_, MAKEINTRESOURCEW(logoId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR))) {
        auto old = reinterpret_cast<HBITMAP>(
            SendMessageW(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fresh)));
        // The template's own bitmap is handed back to be freed; an earlier one of ours goes below.
        if (old != nullptr && old != logo_.Get()) DeleteObject(old);
        logo_.Reset(fresh);
    }
    RECT client{};
    GetClientRect(w, &client);
    const RECT r = ClientRectOf(logo, w);
    const int margin = MulDiv(8, dpi, 96);
    SetWindowPos(logo, nullptr, client.right - (r.right - r.left) - margin, r.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WizardWindow::AddTip(HWND control, const std::u16string& text) {
    if (tooltip_.Get() == nullptr) return;
    std::wstring copy = ToWide(text);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = Handle();
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = copy.data();
    SendMessageW(tooltip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (!text.empty()) SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(tooltip_.Get(), TTM_ACTIVATE, TRUE, 0);
}

void Win32WizardWindow::RefreshOwnTips() {
    AddTip(GetDlgItem(Handle(), TV_CTL_HELP), GetMessageText(312));
    AddTip(GetDlgItem(Handle(), TV_CTL_SETTINGS), GetMessageText(200));
}

bool Win32WizardWindow::OnCommand(int id) {
    CMasterDlg& wizard = *wizard_;
    switch (id) {
        case kCtlBack: wizard.OnBack(); return true;
        case kCtlNext: wizard.OnNext(); return true;
        case kCtlCancel: wizard.OnCancel(); return true;
        case kCtlFinish: wizard.OnFinish(); return true;
        case TV_CTL_HELP: wizard.OnHelp(); return true;
        case TV_CTL_SETTINGS: wizard.OnSettings(); return true;
        case TV_CTL_PAGE_BUTTON:
            if (CWizardPage* page = wizard.ActivePage()) page->OnPageButton();
            return true;
        case TV_CMD_BACK: return wizard.OnKey(WizardKey::kAltLeft);
        case TV_CMD_BACK_KEY: return wizard.OnKey(WizardKey::kBackspace);
        case TV_CMD_NEXT: return wizard.OnKey(WizardKey::kAltRight);
        case TV_CMD_BROWSE: return wizard.OnKey(WizardKey::kF3);
        case TV_CMD_SETTINGS: return wizard.OnKey(WizardKey::kAltX);
        case TV_CMD_FOCUS_SETTINGS: return wizard.OnKey(WizardKey::kF10);
        default: return false;
    }
}

INT_PTR Win32WizardWindow::OnColour(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    const bool frame = id >= TV_CTL_FRAME_TOP && id <= TV_CTL_FRAME_RIGHT;
    if (control == Handle()) return reinterpret_cast<INT_PTR>(windowBrush_.Get());
    if (frame || id == kCtlBack || id == kCtlNext || id == kCtlCancel || id == kCtlFinish || id == TV_CTL_PAGE_BUTTON) {
        SetTextColor(dc, kButtonText);
        SetBkColor(dc, kButtonColour);
        return reinterpret_cast<INT_PTR>(buttonBrush_.Get());
    }
    if (id == TV_CTL_BAND || std::find(kCrumbs.begin(), kCrumbs.end(), id) != kCrumbs.end()) {
        SetTextColor(dc, id == HighlightedCaption() ? RGB(255, 255, 255) : kCaptionText);
        SetBkColor(dc, kBandColour);
        return reinterpret_cast<INT_PTR>(bandBrush_.Get());
    }
    SetBkColor(dc, kWindowColour);
    return reinterpret_cast<INT_PTR>(windowBrush_.Get());
}

INT_PTR Win32WizardWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (wizard_ == nullptr) return FALSE;
            // Clicks, and the commands of the key table.
            if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 1) return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
            return FALSE;
        case WM_CLOSE:
            if (wizard_ != nullptr) wizard_->OnCancel();
            return TRUE;
        case WM_DEVICECHANGE:
            if ((wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && wizard_ != nullptr)
                wizard_->DeviceChanged();
            SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnColour(reinterpret_cast<HDC>(wParam), message == WM_CTLCOLORDLG ? Handle() : reinterpret_cast<HWND>(lParam));
        case WM_SETCURSOR: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
            if (id != TV_CTL_HELP && id != TV_CTL_SETTINGS) return FALSE;
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_DPICHANGED:
            MakeFonts();
            MakeImages();
            LayOutBreadcrumb();
            LayOutButtons();
            return FALSE;
        case WM_USER + 100:
            if (wizard_ != nullptr) wizard_->RefreshTexts();
            return TRUE;
        case WM_USER + 101:
            if (wizard_ != nullptr) wizard_->RefreshDefaultPath();
            return TRUE;
        case WM_USER + 102:
            if (wizard_ != nullptr) wizard_->CloseApplicationNow();
            return TRUE;
        case PageHost::kMsgPagePainted: {
            // The page's host may have gone since (its panel destroyed).
            const auto host = pages_.find(reinterpret_cast<const CWizardPage*>(lParam));
            if (host == pages_.end()) return TRUE;
            host->second->paintPending = false;
            host->second->page.OnPaint();
            return TRUE;
        }
        default:
            // A second start of the program asks this one to come to the front.
            if (message == RaiseRequestMessage()) {
                BringToFront(Handle());
                return TRUE;
            }
            return FALSE;
    }
}

}  // namespace tv
