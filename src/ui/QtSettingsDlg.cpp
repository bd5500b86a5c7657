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
#include "config/SettingsFields.h"
#include "messages/Messages.h"
#include "ui/FolderEdit.h"
#include "ui/NumberEdit.h"
#include "ui/QtText.h"

namespace tv {

namespace {

// Message IDs of the dialog's texts.
constexpr MessageId kTitle = 200;
constexpr MessageId kUseDefault = 155;
constexpr MessageId kArchivePath = 156;
constexpr MessageId kProfilePath = 157;
constexpr MessageId kLogPath = 158;
constexpr MessageId kMaxSize = 159;
constexpr MessageId kLanguage = 160;
constexpr MessageId kEnglish = 128;
constexpr MessageId kFrench = 129;
constexpr MessageId kYearEnd = 245;
constexpr MessageId kJanuary = 246;
constexpr MessageId kScaleType = 278;
constexpr MessageId kZt4 = 279;
constexpr MessageId kDx = 280;
constexpr MessageId kAutoDetect = 281;
constexpr MessageId kRestartNote = 282;
constexpr MessageId kSaveAndClose = 283;
constexpr MessageId kBackup = 215;
constexpr MessageId kOk = 162;
constexpr MessageId kCancel = 106;
constexpr MessageId kFieldsWrong = 208;
constexpr MessageId kMegabytes = 401;
constexpr MessageId kBrowseTip = 403;
constexpr MessageId kNotSaved = 404;

enum ErrorLine { kArchiveError, kProfileError, kLogError, kSizeError, kYearEndError };

// Entries of the scale type list, in list order, with their texts in the file.
constexpr MessageId kScaleTypeTexts[] = {kAutoDetect, kDx, kZt4};
constexpr const char16_t* kScaleTypeValues[] = {u"Auto-detect", u"dX", u"ZT4"};

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

QtSettingsDlg::QtSettingsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("settingsDialog"));
    setModal(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9);
    setFont(font);
    BuildControls();
    UpdateTexts();
    Load();
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

    for (int i = 0; i < 2; ++i) language_->addItem(QString());
    for (int i = 0; i < 12; ++i) month_->addItem(QString());
    for (int i = 0; i < 3; ++i) scaleType_->addItem(QString());
    maxSize_->SetText(QStringLiteral("25"));
    day_->SetText(QStringLiteral("31"));
    month_->setCurrentIndex(11);
    scaleType_->setCurrentIndex(0);

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

    connect(useDefault_, &QCheckBox::toggled, this, &QtSettingsDlg::OnUseDefaultToggled);
    connect(archivePath_, &QLineEdit::textChanged, errors_[kArchiveError], &QWidget::hide);
    connect(profilePath_, &QLineEdit::textChanged, errors_[kProfileError], &QWidget::hide);
    connect(logPath_, &QLineEdit::textChanged, errors_[kLogError], &QWidget::hide);
    connect(maxSize_, &CNumberEdit::TextChanged, errors_[kSizeError], &QWidget::hide);
    connect(day_, &CNumberEdit::TextChanged, errors_[kYearEndError], &QWidget::hide);
    connect(scaleType_, &QComboBox::currentIndexChanged, this, &QtSettingsDlg::OnScaleTypeChosen);
    connect(ok_, &QPushButton::clicked, this, &QtSettingsDlg::OnSave);
    connect(saveAndClose_, &QPushButton::clicked, this, &QtSettingsDlg::OnSave);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // F3 browses; Alt+X and F10, which open the settings and reach the settings
    // button in the main window, do nothing here.
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this,
            &QtSettingsDlg::OnBrowseKey);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_X), this);
    new QShortcut(QKeySequence(Qt::Key_F10), this);
}

void QtSettingsDlg::UpdateTexts() {
    setWindowTitle(Text(kTitle));
    useDefault_->setText(Text(kUseDefault));
    archiveLabel_->setText(Text(kArchivePath));
    profileLabel_->setText(Text(kProfilePath));
    logLabel_->setText(Text(kLogPath));
    sizeLabel_->setText(Text(kMaxSize));
    sizeUnit_->setText(Text(kMegabytes));
    languageLabel_->setText(Text(kLanguage));
    yearEndLabel_->setText(Text(kYearEnd));
    scaleTypeLabel_->setText(Text(kScaleType));
    backup_->setText(Text(kBackup));
    ok_->setText(Text(kOk));
    saveAndClose_->setText(Text(kSaveAndClose));
    cancel_->setText(Text(kCancel));
    for (QPushButton* b : {ok_, saveAndClose_, cancel_}) {
        b->setMinimumWidth(std::max(96, b->fontMetrics().horizontalAdvance(b->text()) + 32));
    }
    language_->setItemText(0, Text(kEnglish));
    language_->setItemText(1, Text(kFrench));
    for (int i = 0; i < 12; ++i) month_->setItemText(i, Text(static_cast<MessageId>(kJanuary + i)));
    for (int i = 0; i < 3; ++i) scaleType_->setItemText(i, Text(kScaleTypeTexts[i]));
    for (CFolderEdit* edit : {archivePath_, profilePath_, logPath_}) edit->SetBrowseToolTip(Text(kBrowseTip));
    if (!note_->text().isEmpty()) note_->setText(Text(kRestartNote));
    for (size_t i = 0; i < errors_.size(); ++i) {
        if (errorIds_[i] != 0) errors_[i]->setText(Text(errorIds_[i]));
    }
}

void QtSettingsDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) UpdateTexts();
    QDialog::changeEvent(event);
}

void QtSettingsDlg::showEvent(QShowEvent* event) {
    UpdateTexts();
    QDialog::showEvent(event);
}

void QtSettingsDlg::Load() {
    const SettingsInput in = ReadSettingsFields(ConfigFilePath());
    archivePath_->setText(ToQString(in.archivePath));
    profilePath_->setText(ToQString(in.profilePath));
    logPath_->setText(ToQString(in.logPath));
    language_->setCurrentIndex(in.language == u"French" ? 1 : 0);
    maxSize_->SetText(ToQString(in.maxSize));
    useDefault_->setChecked(in.useDefaultArchivePath);
    OnUseDefaultToggled(in.useDefaultArchivePath);
    backup_->setChecked(in.backupSmcOnArchive);
    day_->SetText(ToQString(in.day));
    month_->setCurrentIndex(in.monthIndex);
    loadedScaleType_ = static_cast<int>(ConfiguredScaleTypeOf(in.scaleType));
    scaleType_->setCurrentIndex(loadedScaleType_);
    OnScaleTypeChosen(loadedScaleType_);
}

SettingsInput QtSettingsDlg::Collect() const {
    SettingsInput in;
    in.archivePath = ToU16(archivePath_->text());
    in.profilePath = ToU16(profilePath_->text());
    in.logPath = ToU16(logPath_->text());
    in.language = language_->currentIndex() == 1 ? u"French" : u"English";
    in.maxSize = ToU16(maxSize_->text());
    in.useDefaultArchivePath = useDefault_->isChecked();
    in.backupSmcOnArchive = backup_->isChecked();
    in.day = ToU16(day_->text());
    in.monthIndex = month_->currentIndex();
    const int scale = scaleType_->currentIndex();
    in.scaleType = kScaleTypeValues[scale >= 0 && scale < 3 ? scale : 0];
    return in;
}

void QtSettingsDlg::ShowErrors(const SettingsFieldErrors& errors) {
    errorIds_ = {errors.archivePath, errors.profilePath, errors.logPath, errors.maxSize, errors.yearEnd};
    for (size_t i = 0; i < errors_.size(); ++i) {
        if (errorIds_[i] == 0) {
            errors_[i]->hide();
        } else {
            errors_[i]->setText(Text(errorIds_[i]));
            errors_[i]->show();
        }
    }
}

void QtSettingsDlg::OnUseDefaultToggled(bool on) {
    archiveLabel_->setEnabled(on);
    archivePath_->setEnabled(on);
}

void QtSettingsDlg::OnScaleTypeChosen(int index) {
    const bool changed = index != loadedScaleType_;
    note_->setText(changed ? Text(kRestartNote) : QString());
    note_->setVisible(changed);
    ok_->setVisible(!changed);
    ok_->setEnabled(!changed);
    ok_->setDefault(!changed);
    saveAndClose_->setVisible(changed);
    saveAndClose_->setEnabled(changed);
    saveAndClose_->setDefault(changed);
}

void QtSettingsDlg::OnBrowseKey() {
    (useDefault_->isChecked() ? archivePath_ : profilePath_)->Browse();
}

void QtSettingsDlg::OnSave() {
    AppContext& ctx = GetAppContext();
    const SettingsInput input = Collect();
    const SettingsFieldErrors errors = CheckSettingsFields(ctx, input);
    ShowErrors(errors);
    if (errors.Any()) {
        ShowMessage(kFieldsWrong, kMbIconError);
        Ui().Repaint();
        return;
    }

    const std::string languageBefore = ctx.language;
    const bool scaleTypeChanged = scaleType_->currentIndex() != loadedScaleType_;
    // A file that did not take the values is not reported as saved, and the
    // program does not end for a scale type that was not stored.
    const bool saved = SaveConfiguration(ctx, input);
    if (!saved) ShowMessage(kNotSaved, kMbIconError);
    done(saved ? QDialog::Accepted : QDialog::Rejected);

    // The context may hold new values even after a failed write.
    if (ctx.language != languageBefore) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget != this) QCoreApplication::postEvent(widget, new QEvent(QEvent::LanguageChange));
        }
    }
    emit languageChanged();
    emit defaultArchivePathChanged();
    if (saved && scaleTypeChanged) emit this->scaleTypeChanged();
}

}  // namespace tv
