#include "ui/QtResultList.h"

#include "ui/QtText.h"

namespace tv {

namespace {

// Failures stand out in the Result column.
void ColourResult(QTreeWidgetItem* item, int column, const QString& text) {
    if (column != 2) return;
    if (text == Text(197)) {
        item->setForeground(column, QColor(190, 20, 20));
    } else if (text == Text(196)) {
        item->setForeground(column, QColor(20, 120, 40));
    }
}

}  // namespace

int QtResultList::ItemCount() const { return tree_->topLevelItemCount(); }

int QtResultList::InsertRow(int index, const std::u16string& firstCell) {
    const int count = tree_->topLevelItemCount();
    if (index < 0 || index > count) index = count;
    auto* item = new QTreeWidgetItem();
    item->setText(0, ToQString(firstCell));
    tree_->insertTopLevelItem(index, item);
    tree_->scrollToItem(item);
    return index;
}

void QtResultList::SetCell(int row, int column, const std::u16string& text) {
    QTreeWidgetItem* item = tree_->topLevelItem(row);
    if (item == nullptr || column < 0 || column >= tree_->columnCount()) return;
    const QString q = ToQString(text);
    item->setText(column, q);
    item->setToolTip(column, q);
    ColourResult(item, column, q);
}

std::u16string QtResultList::Cell(int row, int column) const {
    QTreeWidgetItem* item = tree_->topLevelItem(row);
    if (item == nullptr || column < 0 || column >= tree_->columnCount()) return {};
    return item->text(column).toStdU16String();
}

bool QtResultList::DeleteRow(int row) {
    QTreeWidgetItem* item = tree_->takeTopLevelItem(row);
    delete item;
    return item != nullptr;
}

}  // namespace tv
