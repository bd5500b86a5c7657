#include "ui/QtMasterDlg.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "messages/Messages.h"
#include "ui/Artwork.h"
#include "platform/Text.h"
#include "ui/QtLanguage.h"
#include "ui/QtSettingsDlg.h"
#include "ui/QtText.h"
#include "wizard/Breadcrumb.h"

namespace tv {

namespace {

const QColor kBlue(20, 60, 142);
const QColor kWindow(245, 245, 245);
const QColor kButton(220, 220, 220);

// The events that pages and the settings dialog post to the window.
constexpr int kTextsChangedEvent = QEvent::User + 100;
constexpr int kDefaultPathEvent = QEvent::User + 101;
constexpr int kApplicationClosedEvent = QEvent::User + 102;

QFont ArialFont(double points, int weight = QFont::Normal) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

}  // namespace

QtMasterDlg::QtMasterDlg(QWidget* parent) : QtWizardDialog(parent) {
    // The pages' font is the program's: tooltips, popups, message boxes and Qt's
    // own dialogs, which do not inherit it from this window, take it too.
    QApplication::setFont(ArialFont(10));
    setFont(ArialFont(10));
    setWindowTitle(QString());
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kWindow);
    setPalette(p);
    setMinimumSize(780, 500);
    resize(780, 500);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 12);
    root->setSpacing(0);

    auto* top = new QWidget(this);
    top->setFixedHeight(64);
    BuildHeader(top);
    root->addWidget(top);

    band_ = new QWidget(this);
    band_->setFixedHeight(34);
    band_->setAutoFillBackground(true);
    QPalette bp = band_->palette();
    bp.setColor(QPalette::Window, kBlue);
    band_->setPalette(bp);
    auto* crumbs = new QHBoxLayout(band_);
    crumbs->setContentsMargins(18, 0, 18, 0);
    crumbs->setSpacing(0);
    for (int i = 0; i < 5; ++i) {
        auto* caption = new QLabel(band_);
        caption->hide();
        captions_.push_back(caption);
        crumbs->addWidget(caption);
        if (i < 4) {
            auto* separator = new QLabel(QStringLiteral("  >  "), band_);
            separator->hide();
            separators_.push_back(separator);
            crumbs->addWidget(separator);
        }
    }
    crumbs->addStretch(1);
    root->addWidget(band_);

    // The page area, framed by thin grey lines.
    auto* frame = new QWidget(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(18, 14, 18, 14);
    auto* border = new QWidget(frame);
    border->setAutoFillBackground(true);
    QPalette fp = border->palette();
    fp.setColor(QPalette::Window, kButton);
    border->setPalette(fp);
    auto* borderLayout = new QVBoxLayout(border);
    borderLayout->setContentsMargins(1, 1, 1, 1);
    pageArea_->setParent(border);
    pageArea_->setAutoFillBackground(true);
    QPalette ap = pageArea_->palette();
    ap.setColor(QPalette::Window, Qt::white);
    pageArea_->setPalette(ap);
    borderLayout->addWidget(pageArea_);
    frameLayout->addWidget(border);
    root->addWidget(frame, 1);

    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(18, 0, 18, 0);
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addSpacing(10);
    buttons->addWidget(pageButton_);
    buttons->addWidget(cancel_);
    buttons->addWidget(finish_);
    root->addLayout(buttons);
    const QString buttonStyle = QStringLiteral(
        "QPushButton { background: rgb(220,220,220); color: rgb(45,45,45); border: 1px solid rgb(180,180,180);"
        " border-radius: 3px; padding: 5px 14px; min-height: 18px; }"
        "QPushButton:default { border: 2px solid rgb(20,60,142); }"
        "QPushButton:hover { background: rgb(232,232,232); }"
        "QPushButton:pressed { background: rgb(200,200,200); }"
        "QPushButton:disabled { color: rgb(160,160,160); border-color: rgb(205,205,205); }");
    for (QPushButton* b : {back_, next_, cancel_, finish_, pageButton_}) b->setStyleSheet(buttonStyle);

    connect(this, &QtMasterDlg::textsChanged, this, &QtMasterDlg::RefreshTexts);
    connect(this, &QtMasterDlg::defaultPathChanged, this, &QtMasterDlg::RefreshDefaultPath);
    connect(this, &QtMasterDlg::applicationClosed, this, &QtMasterDlg::CloseApplicationNow);

    const int fd = Sys().DeviceChangeHandle();
    if (fd >= 0) {
        deviceWatch_ = new QSocketNotifier(fd, QSocketNotifier::Exception, this);
        connect(deviceWatch_, &QSocketNotifier::activated, this, &QtMasterDlg::DeviceChanged);
    }
    openDocument_ = [](const QString& path) {
        return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };

    core_.SetProgramFolder(ToNarrowPath(QCoreApplication::applicationDirPath()));
    SetTitle(ToUtf16(WindowTitle()));
    ApplyLanguage();
    core_.RefreshTexts();
}

void QtMasterDlg::BuildHeader(QWidget* header) {
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(18, 8, 18, 8);
    row->setSpacing(6);
    setWindowIcon(ApplicationIcon());
    logo_ = new QLabel(header);
    logo_->setPixmap(LogoPixmap(44));
    row->addWidget(logo_);
    row->addStretch(1);
    help_ = new QToolButton(header);
    settings_ = new QToolButton(header);
    help_->setIcon(HelpIcon());
    settings_->setIcon(SettingsIcon());
    for (QToolButton* b : {help_, settings_}) {
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        b->setCursor(Qt::PointingHandCursor);
        row->addWidget(b);
    }
    connect(help_, &QToolButton::clicked, this, &QtMasterDlg::OnHelp);
    connect(settings_, &QToolButton::clicked, this, &QtMasterDlg::OnSettings);
}

void QtMasterDlg::showEvent(QShowEvent* event) {
    QtWizardDialog::showEvent(event);
    core_.Started();
}

void QtMasterDlg::ShowBreadcrumb(const BreadcrumbPlan& plan) {
    const QString normal = QStringLiteral("color: rgb(195,195,195); font-family: Arial; font-size: 9pt;");
    const QString bright = QStringLiteral("color: white; font-family: Arial; font-size: 9pt; font-weight: 600;");
    const int previous = highlighted_ == nullptr ? -1
        : static_cast<int>(std::find(captions_.begin(), captions_.end(), highlighted_) - captions_.begin());
    for (QLabel* l : captions_) l->hide();
    for (QLabel* l : separators_) l->hide();
    const int highlight = plan.highlight >= 0 ? plan.highlight : previous;
    for (size_t i = 0; i < plan.steps.size() && i < captions_.size(); ++i) {
        QLabel* caption = captions_[i];
        caption->setText(Text(plan.steps[i].caption));
        caption->setToolTip(plan.steps[i].tooltip != 0 ? Text(plan.steps[i].tooltip) : QString());
        caption->setStyleSheet(static_cast<int>(i) == highlight ? bright : normal);
        caption->show();
        if (i + 1 < plan.steps.size() && i < separators_.size()) {
            separators_[i]->setStyleSheet(normal);
            separators_[i]->show();
        }
    }
    highlighted_ = highlight >= 0 && highlight < static_cast<int>(captions_.size()) ? captions_[static_cast<size_t>(highlight)] : nullptr;
}

QStringList QtMasterDlg::BreadcrumbTexts() const {
    QStringList texts;
    for (QLabel* l : captions_) {
        if (!l->isHidden()) texts << l->text();
    }
    return texts;
}

QString QtMasterDlg::HighlightedCaption() const {
    return highlighted_ != nullptr && !highlighted_->isHidden() ? highlighted_->text() : QString();
}

void QtMasterDlg::ApplyLanguage() {
    ApplyLanguageToQt();
    help_->setToolTip(Text(312));
    settings_->setToolTip(Text(200));
}

bool QtMasterDlg::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
        case kTextsChangedEvent: emit textsChanged(); return true;
        case kDefaultPathEvent: emit defaultPathChanged(); return true;
        case kApplicationClosedEvent: emit applicationClosed(); return true;
        default: return QtWizardDialog::event(event);
    }
}

void QtMasterDlg::RefreshTexts() {
    ApplyLanguage();
    core_.RefreshTexts();
}

void QtMasterDlg::SetHelpFolder(const QString& folder) { core_.SetProgramFolder(ToNarrowPath(folder)); }

QString QtMasterDlg::HelpFilePath() const { return ToQString(core_.HelpFilePath()); }

bool QtMasterDlg::OpenDocument(const std::string& path) {
    const QString page = ToQString(path);
    if (openDocument_(page)) return true;
    // No viewer on this desktop: the page is shown here when it exists.
    if (!QFileInfo(page).isFile()) return false;
    if (helpWindow_ == nullptr) helpWindow_ = new CHelpWindow(this);
    helpWindow_->ShowPage(page);
    return true;
}

void QtMasterDlg::RunSettings(CSettingsDlg& dialog) {
    // The core dialog on its Qt panel; the wizard core takes what it saved.
    QtSettingsDlg settings(dialog, this);
    settings.exec();
    ApplyLanguage();
}

}  // namespace tv
