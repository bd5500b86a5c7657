#include "messages/MemoryResultList.h"

namespace tv {

namespace {
constexpr int kMaxColumns = 64;
}

int MemoryResultList::InsertRow(int index, const std::u16string& firstCell) {
    if (index < 0 || index > ItemCount()) index = ItemCount();
    rows_.insert(rows_.begin() + index, std::vector<std::u16string>{firstCell});
    return index;
}

void MemoryResultList::SetCell(int row, int column, const std::u16string& text) {
    if (row < 0 || row >= ItemCount() || column < 0 || column >= kMaxColumns) return;
    auto& cells = rows_[static_cast<size_t>(row)];
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
}

std::u16string MemoryResultList::Cell(int row, int column) const {
    if (row < 0 || row >= ItemCount() || column < 0) return {};
    const auto& cells = rows_[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                      : std::u16string{};
}

bool MemoryResultList::DeleteRow(int row) {
    if (row < 0 || row >= ItemCount()) return false;
    rows_.erase(rows_.begin() + row);
    return true;
}

}  // namespace tv
