// The engine's views over common controls: a progress bar, a status line and a
// list view in report mode.
#pragma once

#include "ui-win32/Win32Windows.h"

#include "messages/UiHost.h"

namespace tv {

class Win32ProgressView : public ProgressView {
public:
    explicit Win32ProgressView(HWND bar) : bar_(bar) {}
    void SetRange(int32_t lower, int32_t upper) override;
    void SetPos(int32_t position) override;

private:
    HWND bar_;
};

class Win32StatusView : public StatusView {
public:
    explicit Win32StatusView(HWND line) : line_(line) {}
    void SetText(const std::u16string& text) override;

private:
    HWND line_;
};

class Win32ResultList : public ResultList {
public:
    explicit Win32ResultList(HWND list) : list_(list) {}
    int ItemCount() const override;
    int InsertRow(int index, const std::u16string& firstCell) override;
    void SetCell(int row, int column, const std::u16string& text) override;
    std::u16string Cell(int row, int column) const override;
    bool DeleteRow(int row) override;

    int ColumnCount() const;

private:
    HWND list_;
};

}  // namespace tv
