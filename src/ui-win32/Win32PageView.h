// A page's controls in a dialog made from its template: the PageView the core
// pages work through, and the messages of that dialog turned into the page's
// events. The settings dialog uses it too.
#pragma once

#include "ui-win32/Win32Windows.h"

#include <map>
#include <memory>

#include "ui-win32/Win32ControlViews.h"
#include "ui-win32/Win32Handles.h"
#include "wizard/PageView.h"

namespace tv {

// What the dialog's controls tell the page that owns them.
class Win32PageEvents {
public:
    virtual ~Win32PageEvents() = default;
    virtual void OnClicked(int control) = 0;
    virtual void OnSelectionChanged(int control) = 0;
    virtual void OnEdited(int control) = 0;
    virtual void OnTimerDue(int) {}
    virtual void OnPainted() {}
};

class Win32PageView : public PageView {
public:
    // The dialog's own background and the text and background of its controls.
    Win32PageView(HWND dialog, Win32PageEvents& events, COLORREF background);
    Win32PageView(const Win32PageView&) = delete;
    Win32PageView& operator=(const Win32PageView&) = delete;

    HWND Handle() const { return dialog_; }
    // The control ID by which the core names the dialog's own title (0: none).
    void SetTitleControl(int control) { titleControl_ = control; }
    // The messages of the dialog that concern its controls; true when handled,
    // with the dialog procedure's answer in result.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    void SetText(int control, const std::u16string& text) override;
    std::u16string GetText(int control) const override;
    void Show(int control, bool show) override;
    bool IsVisible(int control) const override;
    void Enable(int control, bool enable) override;
    bool IsEnabled(int control) const override;
    void Focus(int control) override;
    void SetTip(int control, const std::u16string& tip) override;

    void SetChecked(int control, bool checked) override;
    bool IsChecked(int control) const override;
    void SetImage(int control, int picture) override;
    void SetBarState(int control, BarState state) override;

    void ClearItems(int control) override;
    void AddItem(int control, const std::u16string& text) override;
    int ItemCount(int control) const override;
    std::u16string ItemText(int control, int index) const override;
    int Selection(int control) const override;
    void Select(int control, int index) override;

    ProgressView* Progress(int control) override;
    StatusView* Status(int control) override;
    ResultList* Results(int control) override;
    void SetColumns(int control, const std::vector<std::u16string>& headers, const std::vector<int>& widths) override;

    DayDate GetDate(int control) const override;
    void SetDate(int control, const DayDate& date) override;
    void SetDateRange(int control, const DayDate& first, const DayDate& last) override;

    void SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;

    std::u16string ChooseFile(const std::u16string& title, const std::u16string& initial,
                              const std::vector<FileFilter>& filters) override;
    std::u16string ChooseFolder(const std::u16string& title, const std::u16string& initial) override;
    std::u16string ChooseSaveFile(const std::u16string& title, const std::u16string& initial,
                                  const std::vector<FileFilter>& filters) override;

private:
    HWND Item(int control) const {
        return control != 0 && control == titleControl_ ? dialog_ : GetDlgItem(dialog_, control);
    }
    HWND Tooltip();
    bool IsPicture(int control) const;
    bool CustomDrawList(LPARAM lParam, INT_PTR& result);

    HWND dialog_;
    Win32PageEvents& events_;
    COLORREF background_;
    GdiObject<HBRUSH> brush_;
    OwnedWindow tooltip_;
    // Programmatic changes of a text are no edits of the user's.
    bool settingText_ = false;
    int titleControl_ = 0;
    // The picture each picture control shows (its resource number).
    std::map<int, int> pictures_;
    std::map<int, std::unique_ptr<Win32ProgressView>> progress_;
    std::map<int, std::unique_ptr<Win32StatusView>> status_;
    std::map<int, std::unique_ptr<Win32ResultList>> results_;
};

// The dots per inch of a window (96 where the system cannot tell).
int WindowDpi(HWND window);

}  // namespace tv
