#include "ui/ContinuityTable.h"

#include <QHeaderView>
#include <iterator>

#include "ui/PageStyle.h"
#include "ui/QtText.h"

namespace tv {

namespace {

constexpr MessageId kHeaders[] = {707, 708, 709, 710, 711, 712};
constexpr int kWidths[] = {110, 70, 130, 180, 180, 180};

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

// The scale's serial number names the card in the row; its tip and the report
// give the card's unique ID as well.
QString CardText(const CardContinuity& card) {
    return ToQString(card.scaleSerial.empty() ? card.smcUid : card.scaleSerial);
}

QString CardTip(const CardContinuity& card) {
    QString tip = ToQString(card.smcUid);
    if (!card.scaleSerial.empty()) tip += QStringLiteral(" (") + ToQString(card.scaleSerial) + QLatin1Char(')');
    return tip;
}

// The days the card's archives cover, first to last ("YYYY-MM-DD").
QString DaysText(const CardContinuity& card) {
    std::string first;
    std::string last;
    for (const CoveredSpan& span : card.covered) {
        if (first.empty()) first = span.firstDate;
        if (!span.lastDate.empty()) last = span.lastDate;
    }
    if (first.empty() && last.empty()) return {};
    return ToQString(first.substr(0, 10)) + QStringLiteral(" - ") + ToQString(last.substr(0, 10));
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
    // Only ZT4 cards keep an Archive.log: its column stays out of a table of dX cards.
    bool anyZt4 = false;
    for (const CardContinuity& card : report.cards) anyZt4 = anyZt4 || card.family == "ZT4";
    table->setColumnHidden(5, !anyZt4);
    for (const CardContinuity& card : report.cards) {
        QStringList blocks;
        for (const CoveredSpan& span : card.covered) {
            if (span.hasNumbers) blocks << QStringLiteral("%1-%2").arg(span.firstNumber).arg(span.lastNumber);
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
                                DaysText(card),
                                joins.isEmpty() ? Text(713) : joins.join(QStringLiteral(", ")),
                                log};
        auto* item = new QTreeWidgetItem(cells);
        for (int c = 0; c < cells.size(); ++c) item->setToolTip(c, cells[c]);
        item->setToolTip(0, CardTip(card));
        if (!card.Complete()) item->setForeground(4, QColor(190, 20, 20));
        table->addTopLevelItem(item);
    }
}

}  // namespace tv
