// The common item dialogs: a file to open, a file to save, a folder.
#pragma once

#include "ui-win32/Win32Windows.h"

#include <string>
#include <vector>

#include "wizard/PageView.h"

namespace tv {

enum class PickerKind { kOpenFile, kSaveFile, kFolder };

// The chosen path, or empty when the user cancelled (or no dialog could be made).
std::u16string RunPicker(HWND owner, PickerKind kind, const std::u16string& title, const std::u16string& initial,
                         const std::vector<FileFilter>& filters);

// The extension of a filter pattern ("*.csv" gives "csv"; "*" or "*.*" none).
std::u16string FilterExtension(const std::u16string& pattern);

}  // namespace tv
