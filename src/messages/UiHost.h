// What the engine needs from a user interface: message boxes and questions,
// pumping pending events, repainting, and three small views it writes into.
// The wizard implements them with widgets, the command line with the terminal,
// the tests with recorders.
#pragma once

#include <cstdint>
#include <string>

namespace tv {

// Message box style bits and answers (the Windows values).
enum MessageStyle : unsigned {
    kMbOk = 0x0,
    kMbYesNo = 0x4,
    kMbIconError = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30,
    kMbIconInformation = 0x40,
    kMbDefButton2 = 0x100,
    kMbTaskModal = 0x2000,
};
enum MessageAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetRange(int32_t lower, int32_t upper) = 0;
    virtual void SetPos(int32_t position) = 0;
};

class StatusView {
public:
    virtual ~StatusView() = default;
    virtual void SetText(const std::u16string& text) = 0;
};

// A list of rows of text cells (the result list of the run and verification pages).
class ResultList {
public:
    virtual ~ResultList() = default;
    virtual int ItemCount() const = 0;
    // Inserts a row at index (clamped to the end) with its first cell; returns its index.
    virtual int InsertRow(int index, const std::u16string& firstCell) = 0;
    // Rows and columns outside the list are ignored.
    virtual void SetCell(int row, int column, const std::u16string& text) = 0;
    virtual std::u16string Cell(int row, int column) const = 0;
    virtual bool DeleteRow(int row) = 0;
};

class UiHost {
public:
    virtual ~UiHost() = default;
    // Shows a message box; returns the answer (kIdOk, kIdYes, kIdNo).
    virtual int MessageBox(const std::u16string& text, const std::u16string& caption,
                           unsigned style) = 0;
    // Handles pending events (paint, the Cancel button); the engine then tests
    // abortRequested.
    virtual void Pump() = 0;
    // Redraws the foreground window at once.
    virtual void Repaint() = 0;
};

}  // namespace tv
