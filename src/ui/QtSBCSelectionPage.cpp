#include "ui/QtSBCSelectionPage.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "smc/SmcAccess.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"

namespace tv {

namespace {

constexpr uint64_t kFillLevelThreshold = 26214399;

QString BarStyle(const QColor& colour) {
    return QStringLiteral(
               "QProgressBar { background: white; border: 1px solid rgb(190,190,190); border-radius: 2px;"
               " text-align: center; color: rgb(45,45,45); min-height: 18px; }"
               "QProgressBar::chunk { background: %1; }")
        .arg(colour.name());
}

}  // namespace

QtSBCSelectionPage::QtSBCSelectionPage(int pageId, QWidget* parent) : QtWizardPage(pageId, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* inner = new QVBoxLayout(box_);
    inner->setSpacing(12);
    list_ = new QComboBox(box_);
    list_->setMinimumWidth(360);
    list_->setFont(textFont_);
    auto* listRow = new QHBoxLayout();
    listRow->addWidget(list_);
    listRow->addStretch(1);
    inner->addLayout(listRow);
    auto* fillRow = new QHBoxLayout();
    fillIcon_ = new QLabel(box_);
    fillIcon_->setPixmap(style()->standardIcon(QStyle::SP_DriveFDIcon).pixmap(20, 20));
    fill_ = new QProgressBar(box_);
    fill_->setRange(0, 100);
    fill_->setFixedWidth(320);
    fill_->setFormat(QStringLiteral("%p %"));
    fillRow->addWidget(fillIcon_);
    fillRow->addWidget(fill_);
    fillRow->addStretch(1);
    inner->addLayout(fillRow);
    inner->addStretch(1);
    layout->addWidget(box_);
    layout->addStretch(1);
    fill_->hide();
    fillIcon_->hide();
    connect(list_, &QComboBox::currentIndexChanged, this, &QtSBCSelectionPage::SelectionChanged);
}

bool QtSBCSelectionPage::OnCreatePage() {
    configured_ = GetAppContext().configuredScaleType;
    return true;
}

int QtSBCSelectionPage::UpdateHeader() {
    if (Wizard()->ShowPageHeader(PageId(), true)) Wizard()->update();
    return 0;
}

void QtSBCSelectionPage::UpdateTexts() {
    box_->setTitle(Text(116));
    filling_ = true;
    if (list_->count() > 0) list_->removeItem(0);
    list_->insertItem(0, Text(cardsFound_ ? 171 : 173));
    list_->setCurrentIndex(0);
    filling_ = false;
    list_->setFocus();
}

void QtSBCSelectionPage::DisableNext() {
    Wizard()->SetNextOrCancelDefault(true);
    list_->setFocus();
}

void QtSBCSelectionPage::Scan(bool refresh) {
    AppContext& ctx = GetAppContext();
    filling_ = true;
    cardsFound_ = false;
    list_->clear();
    if (refresh) list_->addItem(Text(173));
    fill_->hide();
    fillIcon_->hide();
    Wizard()->SetNextOrCancelDefault(true);
    list_->setEnabled(true);
    const SmcList found = ScanSmcDrives(ctx);
    list_->clear();
    // The placeholder first, then the cards in the order of their names.
    std::vector<std::string> cards(found.entries.begin() + (found.entries.empty() ? 0 : 1), found.entries.end());
    std::sort(cards.begin(), cards.end());
    if (found.cardFound) {
        cardsFound_ = true;
        list_->addItem(Text(171));
        for (const std::string& card : cards) list_->addItem(ToQString(card));
        list_->setCurrentIndex(0);
    } else {
        list_->addItem(Text(173));
        list_->setCurrentIndex(0);
        list_->setEnabled(refresh);
    }
    filling_ = false;
    DisableNext();
}

int QtSBCSelectionPage::OnDeviceChange() {
    Scan(true);
    return 0;
}

void QtSBCSelectionPage::OnBeforeNext() {
    cardsFound_ = false;
    repaint_ = true;
}

void QtSBCSelectionPage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    list_->setFocus();
}

void QtSBCSelectionPage::ShowBackButton() { Wizard()->BackButton()->setVisible(configured_ != 0); }

void QtSBCSelectionPage::OnSetActive() { ShowBackButton(); }

bool QtSBCSelectionPage::OnKillActive() {
    ShowBackButton();
    return true;
}

bool QtSBCSelectionPage::OnQueryCancel() {
    if (AskYesNo(109, kMbIconQuestion | kMbDefButton2)) CloseApplication(kModSbcSelectionPage);
    list_->setFocus();
    return false;
}

void QtSBCSelectionPage::SelectionChanged(int index) {
    if (filling_ || index < 0) return;
    const QString text = list_->itemText(index);
    if (text == Text(171) || text == Text(173)) {
        fill_->hide();
        fillIcon_->hide();
        DisableNext();
        return;
    }
    OnCardSelected(ToNarrowPath(text));
}

void QtSBCSelectionPage::OnCardSelected(const std::string& entry) {
    AppContext& ctx = GetAppContext();
    SmcFillLevel level;
    const bool opened = ShowSmcFillLevel(ctx, entry, level);
    CloseSmc(ctx);
    if (!opened) {
        fill_->hide();
        fillIcon_->hide();
        ShowMessage(174, kMbIconWarning);
        DisableNext();
        return;
    }
    fill_->setVisible(level.shown);
    fillIcon_->setVisible(level.shown);
    if (level.shown) {
        fill_->setStyleSheet(BarStyle(level.full ? QColor(255, 0, 0) : QColor(225, 200, 0)));
        fill_->setValue(level.full ? 100 : level.percent);
    }
    Wizard()->SetNextOrCancelDefault(false);
}

bool QtSBCSelectionPage::IdentifyChosenCard(std::string& entry) {
    entry = ToNarrowPath(list_->currentText());
    if (entry.size() < 3) {
        DisableNext();
        return false;
    }
    const SmcIdentity identity = IdentifySmc(GetAppContext(), entry, Purpose());
    if (identity == SmcIdentity::Refused) DisableNext();
    return identity == SmcIdentity::Accepted;
}

int QtSBCSelectionPage::OnWizardNext() {
    std::string entry;
    if (!IdentifyChosenCard(entry)) return -1;
    const AppContext& ctx = GetAppContext();
    repaint_ = true;
    if (configured_ == 0) return kPageWelcome;
    if (ctx.operation == 1) return kPageArchiverSelection;
    if (configured_ == 1 && ctx.operation == 2 && ctx.verificationMode == 1) {
        return kPageVerificationFileFolderSelection;
    }
    return -1;
}

int QtSBCSelectionPage::OnWizardBack() {
    list_->clear();
    list_->setFocus();
    Wizard()->SetNextOrCancelDefault(false);
    return kPageWelcome;
}

void QtSBCSelectionPage::OnPagePaint() {
    if (!repaint_) return;
    repaint_ = false;
    ShowBackButton();
    Wizard()->NextButton()->show();
    Wizard()->CancelButton()->show();
    Wizard()->FinishButton()->hide();
    list_->setFocus();
}

}  // namespace tv
