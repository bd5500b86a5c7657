#include "ui-win32/Win32Pickers.h"

#include <shobjidl.h>

#include "ui-win32/Win32Handles.h"
#include "ui-win32/Win32Text.h"

namespace tv {

namespace {

// The folder and the file name the dialog starts from: an existing folder is
// opened as it is, anything else is split at its last separator.
void StartAt(IFileDialog& dialog, const std::u16string& initial, bool withName) {
    if (initial.empty()) return;
    std::u16string folder = initial;
    std::u16string name;
    const DWORD attributes = GetFileAttributesW(Wide(initial));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        const size_t cut = initial.find_last_of(u"\\/");
        folder = cut == std::u16string::npos ? std::u16string() : initial.substr(0, cut);
        name = cut == std::u16string::npos ? initial : initial.substr(cut + 1);
    }
    if (!folder.empty()) {
        ComRef<IShellItem> item;
        if (SUCCEEDED(SHCreateItemFromParsingName(Wide(folder), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(item.Out())))) {
            dialog.SetFolder(item.Get());
        }
    }
    if (withName && !name.empty()) dialog.SetFileName(Wide(name));
}

}  // namespace

std::u16string FilterExtension(const std::u16string& pattern) {
    // The first pattern of a list ("*.htm;*.html") names the type's extension.
    const std::u16string first = pattern.substr(0, pattern.find(u';'));
    const size_t dot = first.find_last_of(u'.');
    if (dot == std::u16string::npos) return {};
    std::u16string extension = first.substr(dot + 1);
    if (extension.find_first_of(u"*?;") != std::u16string::npos) return {};
    return extension;
}

std::u16string RunPicker(HWND owner, PickerKind kind, const std::u16string& title, const std::u16string& initial,
                         const std::vector<FileFilter>& filters) {
    ComRef<IFileDialog> dialog;
    const CLSID& type = kind == PickerKind::kSaveFile ? CLSID_FileSaveDialog : CLSID_FileOpenDialog;
    const IID& iface = kind == PickerKind::kSaveFile ? IID_IFileSaveDialog : IID_IFileOpenDialog;
    if (FAILED(CoCreateInstance(type, nullptr, CLSCTX_INPROC_SERVER, iface, reinterpret_cast<void**>(dialog.Out()))))
        return {};
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (kind == PickerKind::kFolder) options |= FOS_PICKFOLDERS | FOS_PATHMUSTEXIST;
    if (kind == PickerKind::kOpenFile) options |= FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST;
    if (kind == PickerKind::kSaveFile) options |= FOS_OVERWRITEPROMPT | FOS_PATHMUSTEXIST;
    dialog->SetOptions(options);
    if (!title.empty()) dialog->SetTitle(Wide(title));
    if (kind != PickerKind::kFolder && !filters.empty()) {
        std::vector<COMDLG_FILTERSPEC> specs;
        for (const FileFilter& f : filters) specs.push_back({Wide(f.name), Wide(f.pattern)});
        dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
        dialog->SetFileTypeIndex(1);
        // The dialog keeps the extension in step with the chosen type once it has one.
        const std::u16string extension = FilterExtension(filters.front().pattern);
        if (kind == PickerKind::kSaveFile && !extension.empty()) dialog->SetDefaultExtension(Wide(extension));
    }
    StartAt(*dialog.Get(), initial, kind != PickerKind::kFolder);
    if (dialog->Show(owner) != S_OK) return {};
    ComRef<IShellItem> result;
    if (FAILED(dialog->GetResult(result.Out()))) return {};
    PWSTR path = nullptr;
    if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) return {};
    std::u16string chosen = FromWide(path);
    CoTaskMemFree(path);
    return chosen;
}

}  // namespace tv
