// The message functions: texts by ID in the selected language, message boxes and
// questions, the status line and result cells of the run pages, and the orderly
// exits. Every box is task-modal and captioned "Tallyvault".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "messages/MessageTable.h"
#include "messages/UiHost.h"

namespace tv {

// The language of the context's "language" field: exactly "French" selects
// French, anything else English.
MessageLanguage SelectedLanguage();

// Table text, else built-in English text, else "Undefined string".
std::u16string GetMessageText(MessageId id);

void ShowMessage(MessageId id, unsigned style);
bool AskYesNo(MessageId id, unsigned style);
// "File <name> already exists. Do you want to replace ?"
bool AskReplaceFile(const std::u16string& name);
// text(first) + local date of time ("2019-3-7") + text(second) + tail + "?"
bool AskDateQuestion(MessageId first, const std::u16string& tail, MessageId second, int64_t time);
// text(241) + "[" + text + "]?"
bool AskArchiveUntilClosure(const std::u16string& text);

// The "Please wait" status line with the step in parentheses.
std::u16string PleaseWaitText(MessageId step);
void SetPleaseWaitText(StatusView* window, MessageId step);
// The boundary check's progress: text(124) + " (" + done + "/" + total + ")..."
// from the context's progress counters.
std::u16string ProgressText();
void SetProgressText(StatusView* window);
// text(150) + " (" + path + ")". A text of 72 characters or more is cut after
// its last character at index 67 or before that is no blank or separator, and
// ends with "....)".
std::u16string PathMessageText(const std::string& path);

// Writes text(id) into a cell of the row (the last row when row < 0).
void SetResultCell(ResultList* list, int column, MessageId id, int row = -1);
// The Remarks cell (column 3) of the last row for a failed file operation.
void SetFileErrorRemark(ResultList* list, const std::string& path, MessageId id, int error);
// The Remarks cell and two log entries for an archive backup folder that could
// not be created.
void ReportBackupFolderError(ResultList* list, int module, int line, int error,
                             const std::string& path);

// Logs the message, shows "Unknown Error" and ends the process with status 1.
[[noreturn]] void FatalError(int module, int line, std::string_view message);
// Logs "Application aborted", destroys the context and ends with status 0.
[[noreturn]] void AbortApplication();
// The orderly end the user chose: redraws the window, logs "Application closed"
// for the module, destroys the context and ends with status 0.
[[noreturn]] void CloseApplication(int module);

// True when every character is a hexadecimal digit (a letter or digit); true for
// an empty text, false for no text.
bool IsHexText(const char* text);
bool IsAlnumText(const char* text);

}  // namespace tv
