// A result list kept in memory: the command line prints it, the tests read it.
#pragma once

#include <vector>

#include "messages/UiHost.h"

namespace tv {

class MemoryResultList : public ResultList {
public:
    int ItemCount() const override { return static_cast<int>(rows_.size()); }
    int InsertRow(int index, const std::u16string& firstCell) override;
    void SetCell(int row, int column, const std::u16string& text) override;
    std::u16string Cell(int row, int column) const override;
    bool DeleteRow(int row) override;

    const std::vector<std::vector<std::u16string>>& Rows() const { return rows_; }

private:
    std::vector<std::vector<std::u16string>> rows_;
};

}  // namespace tv
