#include "ui/QtSettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppContext.h"
#include "ui/FolderEdit.h"
#include "ui/NumberEdit.h"
#include "ui/QtText.h"

namespace tv {

namespace {

enum ErrorLine { kArchiveError, kProfileError, kLogError, kSizeError, kYearEndError };

const QColor kLabelColour(45, 45, 45);
const QColor kLineBackground(240, 240, 240);
const QColor kErrorColour(200, 0, 0);
const QColor kNoteColour(0, 70, 190);

QFont LabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    return font;
}

QFont LineFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    font.setItalic(true);
    return font;
}

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel* MessageLine(QWidget* parent, const QColor& colour, const char* name) {
    auto* line = new QLabel(parent);
    line->setObjectName(QLatin1String(name));
    line->setFont(LineFont());
    line->setAutoFillBackground(true);
    line->setWordWrap(true);
    line->setContentsMargins(6, 1, 6, 1);
    Colour(line, QPalette::Window, kLineBackground);
    Colour(line, QPalette::WindowText, colour);
    QSizePolicy policy = line->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    line->setSizePolicy(policy);
    line->hide();
    return line;
}

QLabel* FieldLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(LabelFont());
    Colour(label, QPalette::WindowText, kLabelColour);
    return label;
}

QCheckBox* CheckBox(QWidget* parent, const char* name) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(LabelFont());
    Colour(box, QPalette::WindowText, kLabelColour);
    return box;
}

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

QtSettingsDlg::QtSettingsDlg(QWidget* parent) : QtSettingsDlg(*new CSettingsDlg, parent) {
    own_.reset(&core_);
}

QtSettingsDlg::QtSettingsDlg(CSettingsDlg& core, QWidget* parent)
    : QDialog(parent), core_(core), controls_(*this, nullptr) {
    setObjectName(QStringLiteral("settingsDialog"));
    setModal(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    setFont(font);
    BuildControls();
    AddControls();
    quiet_ = true;
    core_.OnInitDialog(controls_);
    quiet_ = false;
    UpdateTexts();
}

void QtSettingsDlg::AddControls() {
    const std::pair<int, QWidget*> controls[] = {
        {kCtlSetTitle, this},
        {kCtlSetUseDefault, useDefault_},
        {kCtlSetArchiveLabel, archiveLabel_},
        {kCtlSetArchivePath, archivePath_},
        // A folder edit's browse button lies in the edit.
        {kCtlSetArchiveBrowse, archivePath_},
        {kCtlSetProfileLabel, profileLabel_},
        {kCtlSetProfilePath, profilePath_},
        {kCtlSetProfileBrowse, profilePath_},
        {kCtlSetLogLabel, logLabel_},
        {kCtlSetLogPath, logPath_},
        {kCtlSetLogBrowse, logPath_},
        {kCtlSetSizeLabel, sizeLabel_},
        {kCtlSetSize, maxSize_},
        {kCtlSetSizeUnit, sizeUnit_},
        {kCtlSetLanguageLabel, languageLabel_},
        {kCtlSetLanguage, language_},
        {kCtlSetYearEndLabel, yearEndLabel_},
        {kCtlSetMonth, month_},
        {kCtlSetDay, day_},
        {kCtlSetScaleTypeLabel, scaleTypeLabel_},
        {kCtlSetScaleType, scaleType_},
        {kCtlSetBackup, backup_},
        {kCtlSetNote, note_},
        {kCtlSetArchiveError, errors_[kArchiveError]},
        {kCtlSetProfileError, errors_[kProfileError]},
        {kCtlSetLogError, errors_[kLogError]},
        {kCtlSetSizeError, errors_[kSizeError]},
        {kCtlSetYearEndError, errors_[kYearEndError]},
        {kCtlSetOk, ok_},
        {kCtlSetSaveAndClose, saveAndClose_},
        {kCtlSetCancel, cancel_},
    };
    for (const auto& [id, widget] : controls) controls_.Add(id, widget);
}

void QtSettingsDlg::BuildControls() {
    auto* body = new QWidget(this);
    body->setAutoFillBackground(true);
    Colour(body, QPalette::Window, Qt::white);

    useDefault_ = CheckBox(body, "useDefaultArchivePath");
    archiveLabel_ = FieldLabel(body, "archivePathLabel");
    archivePath_ = Named(new CFolderEdit(body), "archivePath");
    profileLabel_ = FieldLabel(body, "profilePathLabel");
    profilePath_ = Named(new CFolderEdit(body), "profilePath");
    logLabel_ = FieldLabel(body, "logPathLabel");
    logPath_ = Named(new CFolderEdit(body), "logPath");
    sizeLabel_ = FieldLabel(body, "maxSizeLabel");
    maxSize_ = Named(new CNumberEdit(1, 2048, body), "maxSize");
    sizeUnit_ = FieldLabel(body, "maxSizeUnit");
    languageLabel_ = FieldLabel(body, "languageLabel");
    language_ = Named(new QComboBox(body), "language");
    yearEndLabel_ = FieldLabel(body, "yearEndLabel");
    month_ = Named(new QComboBox(body), "yearEndMonth");
    day_ = Named(new CNumberEdit(1, 31, body), "yearEndDay");
    scaleTypeLabel_ = FieldLabel(body, "scaleTypeLabel");
    scaleType_ = Named(new QComboBox(body), "scaleType");
    backup_ = CheckBox(body, "backupSmcOnArchive");
    note_ = MessageLine(body, kNoteColour, "scaleTypeNote");
    const char* errorNames[] = {"archivePathError", "profilePathError", "logPathError",
                                "maxSizeError", "yearEndError"};
    for (size_t i = 0; i < errors_.size(); ++i) errors_[i] = MessageLine(body, kErrorColour, errorNames[i]);

    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(22, 18, 22, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 330);
    int row = 0;
    grid->addWidget(useDefault_, row++, 0, 1, 2);
    grid->setRowMinimumHeight(row++, 4);
    const auto addField = [&](QLabel* label, QWidget* field, QLabel* error) {
        grid->addWidget(label, row, 0);
        if (label->buddy() == nullptr) label->setBuddy(field);
        grid->addWidget(field, row++, 1);
        if (error != nullptr) grid->addWidget(error, row++, 1);
    };
    const auto box = [&](std::initializer_list<QWidget*> widgets) {
        auto* holder = new QWidget(body);
        auto* line = new QHBoxLayout(holder);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(8);
        for (QWidget* w : widgets) line->addWidget(w);
        line->addStretch(1);
        return holder;
    };
    // Labels lead to their controls (mnemonics, screen readers).
    sizeLabel_->setBuddy(maxSize_);
    languageLabel_->setBuddy(language_);
    yearEndLabel_->setBuddy(month_);
    scaleTypeLabel_->setBuddy(scaleType_);
    addField(archiveLabel_, archivePath_, errors_[kArchiveError]);
    addField(profileLabel_, profilePath_, errors_[kProfileError]);
    addField(logLabel_, logPath_, errors_[kLogError]);
    addField(sizeLabel_, box({maxSize_, sizeUnit_}), errors_[kSizeError]);
    addField(languageLabel_, box({language_}), nullptr);
    grid->setRowMinimumHeight(row++, 8);
    addField(yearEndLabel_, box({month_, day_}), errors_[kYearEndError]);
    addField(scaleTypeLabel_, box({scaleType_}), nullptr);
    grid->setRowMinimumHeight(row++, 8);
    grid->addWidget(backup_, row++, 0, 1, 2);
    grid->setRowMinimumHeight(row++, 6);
    grid->addWidget(note_, row++, 0, 1, 2);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Plain);
    Colour(rule, QPalette::WindowText, QColor(220, 220, 220));

    auto* buttons = new QWidget(this);
    buttons->setAutoFillBackground(true);
    Colour(buttons, QPalette::Window, kLineBackground);
    ok_ = Named(new QPushButton(buttons), "okButton");
    saveAndClose_ = Named(new QPushButton(buttons), "saveAndCloseButton");
    cancel_ = Named(new QPushButton(buttons), "cancelButton");
    ok_->setDefault(true);
    saveAndClose_->hide();
    saveAndClose_->setEnabled(false);
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(22, 10, 22, 10);
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok_);
    buttonRow->addWidget(saveAndClose_);
    buttonRow->addWidget(cancel_);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(body, 1);
    outer->addWidget(rule);
    outer->addWidget(buttons);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(useDefault_, &QCheckBox::toggled, this, [this] { Tell([this] { core_.OnCommand(kCtlSetUseDefault); }); });
    const std::pair<int, CFolderEdit*> folders[] = {
        {kCtlSetArchivePath, archivePath_}, {kCtlSetProfilePath, profilePath_}, {kCtlSetLogPath, logPath_}};
    for (const auto& [id, edit] : folders) {
        connect(edit, &QLineEdit::textChanged, this, [this, id] { Tell([this, id] { core_.OnEditChange(id); }); });
    }
    for (const auto& [id, number] : {std::pair<int, CNumberEdit*>{kCtlSetSize, maxSize_}, {kCtlSetDay, day_}}) {
        connect(number, &CNumberEdit::TextChanged, this, [this, id] { Tell([this, id] { core_.OnEditChange(id); }); });
    }
    connect(scaleType_, &QComboBox::currentIndexChanged, this, [this] {
        Tell([this] { core_.OnSelectionChange(kCtlSetScaleType); });
        OnScaleTypeChosen();
    });
    connect(ok_, &QPushButton::clicked, this, &QtSettingsDlg::OnSave);
    connect(saveAndClose_, &QPushButton::clicked, this, &QtSettingsDlg::OnSave);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // F3 browses; Alt+X and F10, which open the settings and reach the settings
    // button in the main window, do nothing here.
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this,
            [this] { core_.OnBrowse(); });
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_X), this);
    new QShortcut(QKeySequence(Qt::Key_F10), this);
}

void QtSettingsDlg::UpdateTexts() {
    quiet_ = true;
    core_.UpdateTexts();
    quiet_ = false;
    for (QPushButton* b : {ok_, saveAndClose_, cancel_}) {
        b->setMinimumWidth(std::max(96, b->fontMetrics().horizontalAdvance(b->text()) + 32));
    }
    OnScaleTypeChosen();
}

void QtSettingsDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) UpdateTexts();
    QDialog::changeEvent(event);
}

void QtSettingsDlg::showEvent(QShowEvent* event) {
    UpdateTexts();
    QDialog::showEvent(event);
}

void QtSettingsDlg::OnScaleTypeChosen() {
    // The button the core shows is the default one.
    ok_->setDefault(!ok_->isHidden());
    saveAndClose_->setDefault(!saveAndClose_->isHidden());
}

void QtSettingsDlg::OnSave() {
    AppContext& ctx = GetAppContext();
    const std::string languageBefore = ctx.language;
    if (!core_.OnOk()) return;
    done(core_.Saved() ? QDialog::Accepted : QDialog::Rejected);

    // The context may hold new values even after a failed write.
    if (ctx.language != languageBefore) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget != this) QCoreApplication::postEvent(widget, new QEvent(QEvent::LanguageChange));
        }
    }
    emit languageChanged();
    emit defaultArchivePathChanged();
    if (core_.ScaleTypeChanged()) emit scaleTypeChanged();
}

}  // namespace tv
