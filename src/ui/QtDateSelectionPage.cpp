#include "ui/QtDateSelectionPage.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/BaseArchiver.h"
#include "archive/DateRange.h"
#include "log/LogFile.h"
#include "messages/Messages.h"
#include "store/ArchiveResult.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"

namespace tv {

namespace {

constexpr int kTickMs = 1000;

QDate ToQDate(const DayDate& d) { return QDate(d.year, d.month, d.day); }
DayDate ToDayDate(const QDate& d) { return DayDate{d.year(), d.month(), d.day()}; }

// A day the pickers can show: a real calendar day after 1899.
bool IsCalendarDay(const DayDate& d) {
    return d.year > 1899 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31 && ToQDate(d).isValid();
}

QDateEdit* MakePicker(QWidget* parent, const QFont& font) {
    auto* picker = new QDateEdit(parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setFont(font);
    picker->setMinimumWidth(150);
    return picker;
}

}  // namespace

QtDateSelectionPage::QtDateSelectionPage(QWidget* parent) : QtWizardPage(kPageDateSelection, parent) {
    setStyleSheet(PageStyleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 22);
    box_ = MakeGuideBox(this);
    auto* grid = new QGridLayout(box_);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    fromLabel_ = new QLabel(box_);
    toLabel_ = new QLabel(box_);
    fromLabel_->setFont(textFont_);
    toLabel_->setFont(textFont_);
    from_ = MakePicker(box_, textFont_);
    to_ = MakePicker(box_, textFont_);
    status_ = new QLabel(box_);
    status_->setFont(textFont_);
    status_->setTextFormat(Qt::PlainText);
    status_->setFocusPolicy(Qt::StrongFocus);
    status_->setMinimumHeight(QFontMetrics(textFont_).height() + 4);
    grid->addWidget(fromLabel_, 0, 0);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(toLabel_, 1, 0);
    grid->addWidget(to_, 1, 1);
    grid->addWidget(status_, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    layout->addWidget(box_);
    layout->addStretch(1);

    preparing_.setInterval(kTickMs);
    finding_.setInterval(kTickMs);
    connect(&preparing_, &QTimer::timeout, this, &QtDateSelectionPage::ShowPreparing);
    connect(&finding_, &QTimer::timeout, this, [this] { status_->setText(ToQString(ProgressText())); });
    connect(from_, &QDateEdit::dateChanged, this, [this] {
        if (!filling_) PassDate(from_, true);
    });
    connect(to_, &QDateEdit::dateChanged, this, [this] {
        if (!filling_) PassDate(to_, false);
    });
}

CDateRange* QtDateSelectionPage::Range() { return dynamic_cast<CDateRange*>(GetAppContext().currentArchiver.get()); }

void QtDateSelectionPage::PassDate(const QDateEdit* picker, bool start) {
    AppContext& ctx = GetAppContext();
    CBaseArchiver* archiver = ctx.currentArchiver.get();
    int64_t time = 0;
    if (archiver == nullptr || !TimeOfDay(ctx, ToDayDate(picker->date()), time)) return;
    if (start) {
        archiver->SetStartDate(time);
    } else {
        archiver->SetEndDate(time);
    }
}

void QtDateSelectionPage::PassBothDates() {
    PassDate(from_, true);
    PassDate(to_, false);
}

int QtDateSelectionPage::UpdateHeader() {
    ShowHeader();
    return 0;
}

void QtDateSelectionPage::UpdateTexts() {
    box_->setTitle(Text(131));
    fromLabel_->setText(Text(132));
    toLabel_->setText(Text(133));
}

void QtDateSelectionPage::OnBeforeNext() { rangeFailed_ = false; }

void QtDateSelectionPage::ShowPreparing() {
    dots_ = !dots_;
    status_->setText(QString(10, QLatin1Char(' ')) + Text(243) +
                     (dots_ ? QStringLiteral(". . . . .") : QStringLiteral(" . . . . .")));
}

void QtDateSelectionPage::OnEnterForward() {
    AppContext& ctx = GetAppContext();
    status_->clear();
    CDateRange* range = Range();
    if (range == nullptr) {
        TV_LOG_ERROR(kModDateBasedArchiverPage, "Archive element not found");
        return;
    }
    Wizard()->SetNextOrCancelDefault(true);
    Wizard()->BackButton()->setEnabled(false);
    dots_ = false;
    preparing_.start();
    status_->setFocus();
    DayDate first;
    DayDate last;
    const bool prepared = range->PrepareDateRange(&first, &last);
    status_->clear();
    preparing_.stop();
    Wizard()->BackButton()->setEnabled(true);
    Wizard()->SetNextOrCancelDefault(false);
    if (!prepared) {
        RangeUnavailable();
        return;
    }
    int64_t firstTime = 0;
    int64_t lastTime = 0;
    if (!IsCalendarDay(first) || !IsCalendarDay(last) || !TimeOfDay(ctx, first, firstTime) ||
        !TimeOfDay(ctx, last, lastTime)) {
        TV_LOG_ERROR(kModDateBasedArchiverPage, "Date range of SMC is not valid: " + DateText(first) + " to " +
                                                    DateText(last));
        range->rangeResult = kArchiveDataCheckFailed;
        RangeUnavailable();
        return;
    }
    ctx.dateRangeUnavailable = false;
    filling_ = true;
    from_->setDateRange(ToQDate(first), ToQDate(last));
    to_->setDateRange(ToQDate(first), ToQDate(last));
    from_->setDate(ToQDate(first));
    to_->setDate(ToQDate(last));
    filling_ = false;
    ctx.currentArchiver->SetStartDate(firstTime);
    ctx.currentArchiver->SetEndDate(lastTime);
    // What the operation keeps is what the page shows.
    filling_ = true;
    from_->setDate(ToQDate(DayOfTime(ctx, range->startTime)));
    to_->setDate(ToQDate(DayOfTime(ctx, range->endTime)));
    filling_ = false;
    from_->setFocus();
}

void QtDateSelectionPage::RangeUnavailable() {
    rangeFailed_ = true;
    QTimer::singleShot(0, this, [this] {
        if (IsActive() && rangeFailed_ && Wizard() != nullptr) Wizard()->OnNext();
    });
}

void QtDateSelectionPage::OnReturnTo(bool flag) {
    if (!flag) ShowHeader();
    from_->setFocus();
}

void QtDateSelectionPage::OnSetActive() {
    Wizard()->BackButton()->show();
    PassBothDates();
}

bool QtDateSelectionPage::OnKillActive() {
    Wizard()->BackButton()->show();
    return true;
}

int QtDateSelectionPage::OnWizardNext() {
    AppContext& ctx = GetAppContext();
    Wizard()->SetNextOrCancelDefault(true);
    if (rangeFailed_) {
        rangeFailed_ = false;
        ctx.dateRangeUnavailable = true;
        return kPageDateBasedArchiver;
    }
    if (from_->date() > to_->date()) {
        ShowMessage(179, kMbIconError);
        return -1;
    }
    CDateRange* range = Range();
    if (range == nullptr) {
        TV_LOG_ERROR(kModDateBasedArchiverPage, "Archive element not found");
        return -1;
    }
    ctx.progressDone = 0;
    ctx.progressTotal = 0;
    finding_.start();
    Wizard()->BackButton()->setEnabled(false);
    Wizard()->CancelButton()->setFocus();
    const bool found = range->FindBlockRange();
    Wizard()->BackButton()->setEnabled(true);
    Wizard()->SetNextOrCancelDefault(false);
    Wizard()->NextButton()->setFocus();
    status_->clear();
    finding_.stop();
    if (found) return kPageDateBasedArchiver;
    if (ctx.dateArchiveFailed) ShowMessage(212, kMbIconWarning);
    return -1;
}

int QtDateSelectionPage::OnWizardBack() {
    AppContext& ctx = GetAppContext();
    const QDate today = ToQDate(DayOfTime(ctx, ctx.platform.Now()));
    filling_ = true;
    from_->clearMinimumDate();
    from_->clearMaximumDate();
    to_->clearMinimumDate();
    to_->clearMaximumDate();
    from_->setDate(today);
    to_->setDate(today);
    filling_ = false;
    Wizard()->SetNextOrCancelDefault(false);
    return ctx.useDefaultArchivePath ? kPageArchiverSelection : kPageArchiverPathSelection;
}

}  // namespace tv
