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
    // Only ZT4 cards keep an Archive.log, and only dX blocks carry numbers: a
    // column that would stay empty for every card of the table is left out.
    bool anyZt4 = false;
    bool anyDx = false;
    for (const CardContinuity& card : report.cards) {
        anyZt4 = anyZt4 || card.family == "ZT4";
        anyDx = anyDx || card.family != "ZT4";
    }
    table->setColumnHidden(5, !anyZt4);
    table->setColumnHidden(2, !anyDx && anyZt4);
    // Without the blocks, the room goes to the gaps and the log's mismatches.
    constexpr int kZt4Widths[] = {110, 60, 0, 170, 170, 180};
    const bool zt4Only = !anyDx && anyZt4;
    for (int c = 0; c < 6; ++c) table->setColumnWidth(c, zt4Only ? kZt4Widths[c] : kWidths[c]);
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
            // Only the kinds of mismatch there are, or "none".
            QStringList mismatches;
            if (!card.missingFromFolder.empty()) mismatches << Text(723).arg(card.missingFromFolder.size());
            if (!card.differingFromLog.empty()) mismatches << Text(724).arg(card.differingFromLog.size());
            if (!card.notInLog.empty()) mismatches << Text(725).arg(card.notInLog.size());
            log = mismatches.isEmpty() ? Text(713) : mismatches.join(QStringLiteral(", "));
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
        const QColor failed(190, 20, 20);
        if (!joins.isEmpty()) item->setForeground(4, failed);
        if (log != Text(713) && log != Text(720) && card.family == "ZT4") item->setForeground(5, failed);
        table->addTopLevelItem(item);
    }
}

}  // namespace tv
