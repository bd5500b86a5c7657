// The controls of a page's panel as the wizard core sees them: Qt widgets by
// the control IDs of the page's template. What the user does with a control
// goes to the core page (clicks to OnCommand, a new list choice to
// OnSelectionChange, a new text or date to OnEditChange); what the page sets
// through the view does not come back to it as if the user had done it.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "wizard/PageView.h"

class QTimer;

namespace tv {

class CWizardPage;

// What a picker is asked for.
enum class PickerKind { kOpenFile, kSaveFile, kFolder };

class QtPageControls : public PageView {
public:
    // Returns the chosen path, empty when the user cancelled. `filters` is Qt's
    // "Name (*.ext);;..." list (empty for a folder); a save picker may set
    // `chosenFilter` to the filter the user chose.
    using Picker = std::function<QString(QWidget* parent, PickerKind kind, const QString& title,
                                         const QString& initial, const QString& filters, QString* chosenFilter)>;
    // The picture of a bitmap resource ID (a null pixmap: none).
    using Bitmaps = std::function<QPixmap(int bitmap)>;

    // `owner` is the panel the controls lie on; `page` hears of the user's doings.
    QtPageControls(QWidget& owner, CWizardPage* page);
    ~QtPageControls() override;
    QtPageControls(const QtPageControls&) = delete;
    QtPageControls& operator=(const QtPageControls&) = delete;

    // Makes the widget the control of that ID and forwards its signals.
    void Add(int control, QWidget* widget);
    QWidget* Control(int control) const;
    // Enter in that edit moves the wizard Next once, and the key ends there:
    // the run that Next may start makes Finish the default button, which the
    // same key must not press.
    void NextOnEnter(int control);
    void SetBitmaps(Bitmaps bitmaps) { bitmaps_ = std::move(bitmaps); }

    // Replaces Qt's file and folder dialogs (tests, portable front ends); an
    // empty picker brings them back. Without one, a folder is picked as a
    // folder edit's browse button picks it (CFolderEdit::SetChooser).
    static void SetPicker(Picker picker);

    // --- PageView --------------------------------------------------------------
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
    void ClearItems(int control) override;
    void AddItem(int control, const std::u16string& text) override;
    int ItemCount(int control) const override;
    std::u16string ItemText(int control, int index) const override;
    int Selection(int control) const override;
    void Select(int control, int index) override;
    ProgressView* Progress(int control) override;
    StatusView* Status(int control) override;
    ResultList* Results(int control) override;
    void SetBarState(int control, BarState state) override;
    void SetColumns(int control, const std::vector<std::u16string>& headers, const std::vector<int>& widths) override;
    void MarkCell(int control, int row, int column, bool failed) override;
    void SetImage(int control, int bitmap) override;
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
    template <typename T>
    T* As(int control) const {
        return qobject_cast<T*>(Control(control));
    }
    // Runs a change the page makes without telling the page of it.
    template <typename F>
    void Quietly(F&& change) {
        const bool was = quiet_;
        quiet_ = true;
        change();
        quiet_ = was;
    }
    void Tell(void (CWizardPage::*hook)(int), int control);
    QString Pick(PickerKind kind, const std::u16string& title, const std::u16string& initial,
                 const std::vector<FileFilter>& filters, QString* chosenFilter);

    QWidget& owner_;
    CWizardPage* page_;
    std::map<int, QWidget*> controls_;
    std::map<int, QTimer*> timers_;
    std::map<int, std::unique_ptr<ProgressView>> progress_;
    std::map<int, std::unique_ptr<StatusView>> status_;
    std::map<int, std::unique_ptr<ResultList>> results_;
    Bitmaps bitmaps_;
    bool quiet_ = false;
};

}  // namespace tv
