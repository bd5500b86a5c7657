#include "ui/ContinuityTable.h"

#include <QHeaderView>
#include <iterator>

#include "ui/PageStyle.h"
#include "ui/QtText.h"

namespace tv {

namespace {

constexpr MessageId kHeaders[] = {707, 708, 709, 710, 711, 712};
constexpr int kWidths[] = {150, 50, 130, 190, 150, 170};

QString JoinText(const Join& join) {
    switch (join.kind) {
        case JoinKind::kJoined:
            return {};
        case JoinKind::kGap:
            return Text(714).arg(join.missingFirst).arg(join.missingLast);
        case JoinKind::kOverlap:
            return Text(715).arg(join.repeatedFirst).arg(join.repeatedLast);
        case JoinKind::kChainBreak:
            return Text(716).arg(join.before + 1);
        case JoinKind::kUnknown:
            return Text(717).arg(join.before + 1);
    }
    return {};
}

QString CardText(const CardContinuity& card) {
    QString text = ToQString(card.smcUid);
    if (!card.scaleSerial.empty()) text += QStringLiteral(" (") + ToQString(card.scaleSerial) + QLatin1Char(')');
    return text;
}

}  // namespace

QTreeWidget* MakeContinuityTable(QWidget* parent) {
    QTreeWidget* table = MakeResultList(parent);
    table->setTextElideMode(Qt::ElideRight);
    SetContinuityColumns(table);
    return table;
}

void SetContinuityColumns(QTreeWidget* table) {
    const int count = static_cast<int>(std::size(kHeaders));
    QStringList headers;
    for (MessageId id : kHeaders) headers << Text(id);
    table->setColumnCount(count);
    table->setHeaderLabels(headers);
    for (int i = 0; i < count; ++i) table->setColumnWidth(i, kWidths[i]);
}

void FillContinuityTable(QTreeWidget* table, const ContinuityReport& report) {
    table->clear();
    for (const CardContinuity& card : report.cards) {
        QStringList blocks;
        QStringList dates;
        for (const CoveredSpan& span : card.covered) {
            if (span.hasNumbers) blocks << QStringLiteral("%1-%2").arg(span.firstNumber).arg(span.lastNumber);
            if (!span.firstDate.empty() || !span.lastDate.empty()) {
                dates << ToQString(span.firstDate) + QStringLiteral(" - ") + ToQString(span.lastDate);
            }
        }
        QStringList joins;
        for (const Join& join : card.joins) {
            const QString text = JoinText(join);
            if (!text.isEmpty()) joins << text;
        }
        // dX cards keep no Archive.log.
        QString log = card.family == "ZT4" ? Text(720) : QStringLiteral("-");
        if (card.logGiven) {
            log = Text(718)
                      .arg(card.missingFromFolder.size())
                      .arg(card.differingFromLog.size())
                      .arg(card.notInLog.size());
        }
        const QStringList cells{CardText(card),
                                QString::number(card.files.size()),
                                blocks.join(QStringLiteral(", ")),
                                dates.join(QStringLiteral(", ")),
                                joins.isEmpty() ? Text(713) : joins.join(QStringLiteral(", ")),
                                log};
        auto* item = new QTreeWidgetItem(cells);
        for (int c = 0; c < cells.size(); ++c) item->setToolTip(c, cells[c]);
        if (!card.Complete()) item->setForeground(4, QColor(190, 20, 20));
        table->addTopLevelItem(item);
    }
}

}  // namespace tv
