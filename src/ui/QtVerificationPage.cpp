#include "ui/QtVerificationPage.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <utility>

#include "app/StartUp.h"
#include "ui/Artwork.h"
#include "ui/PageStyle.h"
#include "ui/QtText.h"
#include "ui/QtWizardDialog.h"
#include "wizard/ContinuityRows.h"

namespace tv {

QtVerificationPage::QtVerificationPage(QWidget* parent) : QtPagePanel(kPageVerification, run_, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSpacing(10);
    auto* statusRow = new QHBoxLayout();
    statusIcon_ = new QLabel(this);
    statusIcon_->hide();
    status_ = new QLabel(this);
    status_->setStyleSheet(QStringLiteral("color: rgb(45,45,45); font-weight: bold;"));
    status_->setWordWrap(true);
    statusRow->addWidget(statusIcon_);
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);
    progress_ = MakeRunProgressBar(this);
    layout->addWidget(progress_);
    list_ = MakeResultList(this);
    layout->addWidget(list_, 1);
    continuityLabel_ = new QLabel(this);
    continuityLabel_->setStyleSheet(QStringLiteral("color: rgb(45,45,45); font-weight: bold;"));
    layout->addWidget(continuityLabel_);
    continuityTable_ = MakeResultList(this);
    continuityTable_->setTextElideMode(Qt::ElideRight);
    continuityTable_->setMaximumHeight(96);
    continuityTable_->viewport()->installEventFilter(this);
    layout->addWidget(continuityTable_);
    layout->addStretch(0);
    SetResultColumns(list_, 4);
    list_->hide();
    continuityLabel_->hide();
    continuityTable_->hide();
    using Page = CVerificationPage;
    const std::pair<int, QWidget*> controls[] = {
        {Page::kCtlProgress, progress_},          {Page::kCtlResults, list_},
        {Page::kCtlStatusText, status_},          {Page::kCtlStatusImage, statusIcon_},
        {Page::kCtlContinuityLabel, continuityLabel_}, {Page::kCtlContinuityTable, continuityTable_}};
    for (const auto& [id, widget] : controls) Add(id, widget);
    Controls().SetBitmaps([](int bitmap) { return ResultPixmap(bitmap == CVerificationPage::kBmpSuccess, 28); });
}

QPushButton* QtVerificationPage::ReportButton() const {
    return Wizard() != nullptr ? Wizard()->PageButton() : nullptr;
}

bool QtVerificationPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched != continuityTable_->viewport() || event->type() != QEvent::ToolTip) {
        return QtPagePanel::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex at = continuityTable_->indexAt(help->pos());
    QString tip = at.isValid() ? at.data().toString() : QString();
    if (at.isValid() && at.column() == 0 && run_.Continuity() != nullptr) {
        const tv::ContinuityTable table = MakeContinuityTable(*run_.Continuity());
        if (at.row() < static_cast<int>(table.rows.size())) tip = ToQString(table.rows[static_cast<size_t>(at.row())].cardTip);
    }
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, continuityTable_->viewport());
    }
    return true;
}

}  // namespace tv
