#include "ui-win32/Win32ControlViews.h"

#include <commctrl.h>

#include <vector>

#include "ui-win32/Win32Text.h"

namespace tv {

void Win32ProgressView::SetRange(int32_t lower, int32_t upper) {
    SendMessageW(bar_, PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

void Win32ProgressView::SetPos(int32_t position) { SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0); }

void Win32StatusView::SetText(const std::u16string& text) {
    SetWindowTextW(line_, Wide(text));
    UpdateWindow(line_);
}

int Win32ResultList::ItemCount() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

int Win32ResultList::ColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    return header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int Win32ResultList::InsertRow(int index, const std::u16string& firstCell) {
    const int count = ItemCount();
    if (index < 0 || index > count) index = count;
    std::wstring text = ToWide(firstCell);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text.data();
    return static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32ResultList::SetCell(int row, int column, const std::u16string& text) {
    if (row < 0 || row >= ItemCount() || column < 0 || column >= ColumnCount()) return;
    std::wstring copy = ToWide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::u16string Win32ResultList::Cell(int row, int column) const {
    if (row < 0 || row >= ItemCount() || column < 0 || column >= ColumnCount()) return {};
    // The list answers with the length it copied; a full buffer may mean more.
    for (size_t size = 256;; size *= 4) {
        std::vector<wchar_t> buffer(size);
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<size_t>(
            SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size || size >= (1u << 20)) return FromWide(buffer.data());
    }
}

bool Win32ResultList::DeleteRow(int row) {
    if (row < 0 || row >= ItemCount()) return false;
    return SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0) != 0;
}

}  // namespace tv
