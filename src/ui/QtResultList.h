// A tree widget of top-level rows as the engine's result list.
#pragma once

#include <QTreeWidget>

#include "messages/UiHost.h"

namespace tv {

class QtResultList : public ResultList {
public:
    explicit QtResultList(QTreeWidget* tree) : tree_(tree) {}
    int ItemCount() const override;
    int InsertRow(int index, const std::u16string& firstCell) override;
    void SetCell(int row, int column, const std::u16string& text) override;
    std::u16string Cell(int row, int column) const override;
    bool DeleteRow(int row) override;

private:
    QTreeWidget* tree_;
};

}  // namespace tv
