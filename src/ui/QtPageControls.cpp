#include "ui/QtPageControls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "ui/FolderEdit.h"
#include "ui/NumberEdit.h"
#include "ui/QtProgressView.h"
#include "ui/QtResultList.h"
#include "ui/QtStatusView.h"
#include "ui/QtText.h"
#include "ui/StatusLine.h"
#include "wizard/WizardDialog.h"
#include "wizard/WizardPage.h"

namespace tv {

namespace {

QtPageControls::Picker& CurrentPicker() {
    static QtPageControls::Picker picker;
    return picker;
}

// Turns Enter and Return in the watched edit into one Next of the wizard.
class EnterMeansNext : public QObject {
public:
    EnterMeansNext(QWidget* edit, CWizardPage* page) : QObject(edit), page_(page) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (page_ != nullptr && page_->Wizard() != nullptr) page_->Wizard()->OnNext();
        return true;
    }

private:
    CWizardPage* page_;
};

QString BarStyle(const QColor& colour) {
    return QStringLiteral(
               "QProgressBar { background: white; border: 1px solid rgb(190,190,190); border-radius: 2px;"
               " text-align: center; color: rgb(45,45,45); min-height: 18px; }"
               "QProgressBar::chunk { background: %1; }")
        .arg(colour.name());
}

QString QtFilters(const std::vector<FileFilter>& filters) {
    QStringList list;
    for (const FileFilter& f : filters) {
        // A name that already ends in its pattern ("PDF report (*.pdf)") is shown as it is.
        const QString name = ToQString(f.name);
        const QString pattern = QStringLiteral("(") + ToQString(f.pattern) + u')';
        list << (name.endsWith(pattern) ? name : name + u' ' + pattern);
    }
    return list.join(QStringLiteral(";;"));
}

DayDate ToDayDate(const QDate& d) { return DayDate{d.year(), d.month(), d.day()}; }
QDate ToQDate(const DayDate& d) { return QDate(d.year, d.month, d.day); }

}  // namespace

QtPageControls::QtPageControls(QWidget& owner, CWizardPage* page) : owner_(owner), page_(page) {}

QtPageControls::~QtPageControls() = default;

void QtPageControls::SetPicker(Picker picker) { CurrentPicker() = std::move(picker); }

void QtPageControls::Tell(void (CWizardPage::*hook)(int), int control) {
    if (!quiet_ && page_ != nullptr && page_->HasView()) (page_->*hook)(control);
}

void QtPageControls::Add(int control, QWidget* widget) {
    controls_[control] = widget;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, &owner_,
                         [this, control] { Tell(&CWizardPage::OnCommand, control); });
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(list, &QComboBox::currentIndexChanged, &owner_,
                         [this, control] { Tell(&CWizardPage::OnSelectionChange, control); });
    } else if (auto* date = qobject_cast<QDateEdit*>(widget)) {
        QObject::connect(date, &QDateEdit::dateChanged, &owner_,
                         [this, control] { Tell(&CWizardPage::OnEditChange, control); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textChanged, &owner_,
                         [this, control] { Tell(&CWizardPage::OnEditChange, control); });
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        progress_[control] = std::make_unique<QtProgressView>(bar);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        results_[control] = std::make_unique<QtResultList>(tree);
    } else if (auto* line = qobject_cast<CStatusLine*>(widget)) {
        status_[control] = std::make_unique<QtStatusView>(line);
    }
}

QWidget* QtPageControls::Control(int control) const {
    const auto it = controls_.find(control);
    return it != controls_.end() ? it->second : nullptr;
}

void QtPageControls::NextOnEnter(int control) {
    if (QWidget* edit = Control(control)) edit->installEventFilter(new EnterMeansNext(edit, page_));
}

void QtPageControls::SetText(int control, const std::u16string& text) {
    const QString t = ToQString(text);
    QWidget* w = Control(control);
    if (w != nullptr && w->isWindow()) {
        w->setWindowTitle(t);
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(t);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(t);
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        Quietly([&] { edit->setText(t); });
    } else if (auto* line = qobject_cast<CStatusLine*>(w)) {
        line->SetText(t);
    } else if (auto* number = qobject_cast<CNumberEdit*>(w)) {
        Quietly([&] { number->SetText(t); });
    }
}

std::u16string QtPageControls::GetText(int control) const {
    QWidget* w = Control(control);
    if (auto* box = qobject_cast<QGroupBox*>(w)) return ToU16(box->title());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return ToU16(button->text());
    if (auto* label = qobject_cast<QLabel*>(w)) return ToU16(label->text());
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return ToU16(edit->text());
    if (auto* list = qobject_cast<QComboBox*>(w)) return ToU16(list->currentText());
    if (auto* number = qobject_cast<CNumberEdit*>(w)) return ToU16(number->text());
    if (w != nullptr && w->isWindow()) return ToU16(w->windowTitle());
    return {};
}

void QtPageControls::Show(int control, bool show) {
    if (QWidget* w = Control(control)) w->setVisible(show);
}

// Shown as far as the page goes: a page not on screen yet still tells which of
// its controls it shows.
bool QtPageControls::IsVisible(int control) const {
    QWidget* w = Control(control);
    return w != nullptr && w->isVisibleTo(&owner_);
}

void QtPageControls::Enable(int control, bool enable) {
    if (QWidget* w = Control(control)) w->setEnabled(enable);
}

bool QtPageControls::IsEnabled(int control) const {
    QWidget* w = Control(control);
    return w != nullptr && w->isEnabledTo(&owner_);
}

void QtPageControls::Focus(int control) {
    if (QWidget* w = Control(control)) w->setFocus();
}

void QtPageControls::SetTip(int control, const std::u16string& tip) {
    // A folder edit's tip is the one of its browse button.
    if (auto* folder = As<CFolderEdit>(control)) {
        folder->SetBrowseToolTip(ToQString(tip));
    } else if (QWidget* w = Control(control)) {
        w->setToolTip(ToQString(tip));
    }
}

void QtPageControls::SetChecked(int control, bool checked) {
    auto* button = As<QAbstractButton>(control);
    if (button == nullptr) return;
    // A radio button of a group is cleared alone, as the page asks, without
    // Qt's rule that one of the group stays checked.
    const bool exclusive = button->autoExclusive();
    if (!checked) button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(exclusive);
}

bool QtPageControls::IsChecked(int control) const {
    auto* button = As<QAbstractButton>(control);
    return button != nullptr && button->isChecked();
}

void QtPageControls::ClearItems(int control) {
    if (auto* list = As<QComboBox>(control)) Quietly([&] { list->clear(); });
}

void QtPageControls::AddItem(int control, const std::u16string& text) {
    if (auto* list = As<QComboBox>(control)) Quietly([&] { list->addItem(ToQString(text)); });
}

int QtPageControls::ItemCount(int control) const {
    auto* list = As<QComboBox>(control);
    return list != nullptr ? list->count() : 0;
}

std::u16string QtPageControls::ItemText(int control, int index) const {
    auto* list = As<QComboBox>(control);
    return list != nullptr ? ToU16(list->itemText(index)) : std::u16string();
}

int QtPageControls::Selection(int control) const {
    auto* list = As<QComboBox>(control);
    return list != nullptr ? list->currentIndex() : -1;
}

void QtPageControls::Select(int control, int index) {
    if (auto* list = As<QComboBox>(control)) Quietly([&] { list->setCurrentIndex(index); });
}

ProgressView* QtPageControls::Progress(int control) {
    const auto it = progress_.find(control);
    return it != progress_.end() ? it->second.get() : nullptr;
}

StatusView* QtPageControls::Status(int control) {
    const auto it = status_.find(control);
    return it != status_.end() ? it->second.get() : nullptr;
}

ResultList* QtPageControls::Results(int control) {
    const auto it = results_.find(control);
    return it != results_.end() ? it->second.get() : nullptr;
}

void QtPageControls::SetBarState(int control, BarState state) {
    auto* bar = As<QProgressBar>(control);
    if (bar == nullptr) return;
    switch (state) {
        case BarState::kNormal: bar->setStyleSheet(QString()); break;
        case BarState::kPaused: bar->setStyleSheet(BarStyle(QColor(225, 200, 0))); break;
        case BarState::kError: bar->setStyleSheet(BarStyle(QColor(255, 0, 0))); break;
    }
}

void QtPageControls::SetColumns(int control, const std::vector<std::u16string>& headers,
                                const std::vector<int>& widths) {
    auto* tree = As<QTreeWidget>(control);
    if (tree == nullptr) return;
    QStringList labels;
    for (const std::u16string& h : headers) labels << ToQString(h);
    tree->setColumnCount(static_cast<int>(labels.size()));
    tree->setHeaderLabels(labels);
    for (size_t i = 0; i < widths.size() && i < headers.size(); ++i) {
        tree->setColumnWidth(static_cast<int>(i), widths[i]);
    }
}

void QtPageControls::MarkCell(int control, int row, int column, bool failed) {
    auto* tree = As<QTreeWidget>(control);
    QTreeWidgetItem* item = tree != nullptr ? tree->topLevelItem(row) : nullptr;
    if (item == nullptr) return;
    item->setForeground(column, failed ? QBrush(QColor(190, 20, 20)) : QBrush());
}

void QtPageControls::SetImage(int control, int bitmap) {
    if (auto* label = As<QLabel>(control)) label->setPixmap(bitmaps_ ? bitmaps_(bitmap) : QPixmap());
}

DayDate QtPageControls::GetDate(int control) const {
    auto* date = As<QDateEdit>(control);
    return date != nullptr ? ToDayDate(date->date()) : DayDate{};
}

void QtPageControls::SetDate(int control, const DayDate& date) {
    if (auto* edit = As<QDateEdit>(control)) Quietly([&] { edit->setDate(ToQDate(date)); });
}

void QtPageControls::SetDateRange(int control, const DayDate& first, const DayDate& last) {
    if (auto* edit = As<QDateEdit>(control)) Quietly([&] { edit->setDateRange(ToQDate(first), ToQDate(last)); });
}

void QtPageControls::SetTimer(int id, int milliseconds) {
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(&owner_);
        QObject::connect(timer, &QTimer::timeout, &owner_, [this, id] {
            if (page_ != nullptr) page_->OnTimer(id);
        });
    }
    timer->start(milliseconds);
}

void QtPageControls::KillTimer(int id) {
    const auto it = timers_.find(id);
    if (it != timers_.end() && it->second != nullptr) it->second->stop();
}

QString QtPageControls::Pick(PickerKind kind, const std::u16string& title, const std::u16string& initial,
                             const std::vector<FileFilter>& filters, QString* chosenFilter) {
    const QString t = ToQString(title);
    const QString start = ToQString(initial);
    const QString list = QtFilters(filters);
    if (CurrentPicker()) return CurrentPicker()(&owner_, kind, t, start, list, chosenFilter);
    switch (kind) {
        case PickerKind::kOpenFile: return QFileDialog::getOpenFileName(&owner_, t, start, list);
        case PickerKind::kSaveFile: return QFileDialog::getSaveFileName(&owner_, t, start, list, chosenFilter);
        case PickerKind::kFolder: return CFolderEdit::Choose(&owner_, start);
    }
    return {};
}

std::u16string QtPageControls::ChooseFile(const std::u16string& title, const std::u16string& initial,
                                          const std::vector<FileFilter>& filters) {
    return ToU16(Pick(PickerKind::kOpenFile, title, initial, filters, nullptr));
}

std::u16string QtPageControls::ChooseFolder(const std::u16string& title, const std::u16string& initial) {
    return ToU16(Pick(PickerKind::kFolder, title, initial, {}, nullptr));
}

std::u16string QtPageControls::ChooseSaveFile(const std::u16string& title, const std::u16string& initial,
                                              const std::vector<FileFilter>& filters) {
    QString chosenFilter;
    QString path = Pick(PickerKind::kSaveFile, title, initial, filters, &chosenFilter);
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty() || filters.empty()) return ToU16(path);
    // No extension typed: the one of the chosen filter ("*.pdf"), else of the first.
    QString pattern = ToQString(filters.front().pattern);
    for (const FileFilter& f : filters) {
        if (chosenFilter.startsWith(ToQString(f.name))) pattern = ToQString(f.pattern);
    }
    const qsizetype dot = pattern.lastIndexOf(u'.');
    if (dot >= 0 && !pattern.mid(dot).contains(u'*')) path += pattern.mid(dot);
    return ToU16(path);
}

}  // namespace tv
