// Files and folders of the Windows platform, through the UTF-16 calls.
#include <algorithm>

#include "platform/Text.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

namespace tv {

namespace {

constexpr DWORD kMaxTransfer = DWORD{1} << 30;

// The attributes SetFileAttributesW takes; none of them reads FILE_ATTRIBUTE_NORMAL.
DWORD SettableAttributes(DWORD attributes) {
    const DWORD settable = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY |
                                         FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return settable != 0 ? settable : FILE_ATTRIBUTE_NORMAL;
}

std::wstring JoinWide(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
    return folder + L'\\' + name;
}

bool IsDots(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

// Whether the name is a link to somewhere else (a symbolic link, a junction):
// a reparse point whose tag stands for another name. Other reparse points
// (cloud placeholders, deduplicated files) are files like any other.
bool IsLinkAt(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    FindHandle find(::FindFirstFileW(path.c_str(), &data));
    return find.valid() && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           IsReparseTagNameSurrogate(data.dwReserved0);
}

class Win32Lock : public FileLock {
public:
    explicit Win32Lock(UniqueHandle handle) : handle_(std::move(handle)) {}

private:
    UniqueHandle handle_;  // opened without sharing: closing it lets the next holder in
};

class Win32File : public File {
public:
    Win32File(UniqueHandle handle, bool append, int& lastError)
        : handle_(std::move(handle)), append_(append), lastError_(lastError) {}

    bool Write(const void* data, size_t n) override {
        if (append_ && !::SetFilePointerEx(handle_.get(), LARGE_INTEGER{}, nullptr, FILE_END)) return Failed();
        const char* p = static_cast<const char*>(data);
        while (n > 0) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<size_t>(n, kMaxTransfer));
            if (!::WriteFile(handle_.get(), p, chunk, &written, nullptr)) return Failed();
            if (written == 0) {
                lastError_ = kErrWriteFault;
                return false;
            }
            p += written;
            n -= written;
        }
        return true;
    }
    int64_t Read(void* data, size_t n) override {
        DWORD read = 0;
        const auto chunk = static_cast<DWORD>(std::min<size_t>(n, kMaxTransfer));
        if (!::ReadFile(handle_.get(), data, chunk, &read, nullptr)) {
            Failed();
            return -1;
        }
        return read;
    }
    bool Seek(int64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = offset;
        return ::SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) || Failed();
    }
    bool SeekEnd() override { return ::SetFilePointerEx(handle_.get(), LARGE_INTEGER{}, nullptr, FILE_END) || Failed(); }
    int64_t Size() override {
        LARGE_INTEGER size;
        return ::GetFileSizeEx(handle_.get(), &size) ? size.QuadPart : -1;
    }
    int64_t Tell() override {
        LARGE_INTEGER at;
        return ::SetFilePointerEx(handle_.get(), LARGE_INTEGER{}, &at, FILE_CURRENT) ? at.QuadPart : -1;
    }
    bool Truncate(int64_t size) override {
        // The file pointer stays where it was, as ftruncate leaves it.
        LARGE_INTEGER at;
        LARGE_INTEGER to;
        to.QuadPart = size;
        if (!::SetFilePointerEx(handle_.get(), LARGE_INTEGER{}, &at, FILE_CURRENT) ||
            !::SetFilePointerEx(handle_.get(), to, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_.get())) {
            return Failed();
        }
        return ::SetFilePointerEx(handle_.get(), at, nullptr, FILE_BEGIN) || Failed();
    }

private:
    bool Failed() {
        lastError_ = SystemErrorFromWin32(::GetLastError());
        return false;
    }

    UniqueHandle handle_;
    bool append_;
    int& lastError_;
};

// The copy's progress as the caller sees it: at the start, after every part
// CopyFileExW reports, and at the end. Some CopyFileExW never call their
// progress routine (wine's); the start and the end are then reported here, so
// that a caller may still cancel and always sees the whole file done.
struct CopyState {
    const CopyProgress* progress = nullptr;
    bool sawEnd = false;
    bool cancelled = false;

    bool Report(uint64_t done, uint64_t size) {
        if (progress == nullptr || !*progress) return true;
        cancelled = cancelled || !(*progress)(done, size);
        return !cancelled;
    }
};

DWORD CALLBACK OnCopyProgress(LARGE_INTEGER total, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                              HANDLE, HANDLE, LPVOID data) {
    auto* state = static_cast<CopyState*>(data);
    state->sawEnd = state->sawEnd || done.QuadPart == total.QuadPart;
    if (state->Report(static_cast<uint64_t>(done.QuadPart), static_cast<uint64_t>(total.QuadPart))) {
        return PROGRESS_CONTINUE;
    }
    return PROGRESS_CANCEL;  // CopyFileExW deletes the partial copy itself
}

// Removes a file that this platform made, read-only or not.
void RemoveMadeFile(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

// Makes a finished copy durable: its content on the disk before anyone renames it.
bool FlushCopy(const std::wstring& path, DWORD& error) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) ::SetFileAttributesW(path.c_str(), SettableAttributes(attributes & ~FILE_ATTRIBUTE_READONLY));
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool flushed = file.valid() && ::FlushFileBuffers(file.get());
    error = flushed ? 0 : ::GetLastError();
    file.reset();
    if (readOnly) ::SetFileAttributesW(path.c_str(), SettableAttributes(attributes));
    return flushed;
}

}  // namespace

bool IsRegularFile(HANDLE handle, bool refuseLinks, int& error) {
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        error = kErrBadFileType;
        return false;
    }
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info)) {
        error = SystemErrorFromWin32(::GetLastError());
        return false;
    }
    const bool link = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                      IsReparseTagNameSurrogate(info.ReparseTag);
    if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || (refuseLinks && link)) {
        error = kErrAccessDenied;
        return false;
    }
    return true;
}

UniqueHandle OpenRegularFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
                             bool refuseLinks, int& error) {
    // Folders open too (backup semantics), so that they are refused as folders;
    // with refuseLinks the name itself is opened, never what a link points to.
    const DWORD openFlags = flags | FILE_FLAG_BACKUP_SEMANTICS | (refuseLinks ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    UniqueHandle handle(::CreateFileW(path.c_str(), access, share, nullptr, disposition, openFlags, nullptr));
    if (!handle.valid()) {
        error = SystemErrorFromWin32(::GetLastError());
        return {};
    }
    if (!IsRegularFile(handle.get(), refuseLinks, error)) return {};
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (refuseLinks && ::GetFileInformationByHandleEx(handle.get(), FileAttributeTagInfo, &info, sizeof info) &&
        (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A reparse point that is no link (a placeholder of a cloud folder) is
        // opened again as the file it stands for.
        handle.reset();
        handle = UniqueHandle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                            flags | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!handle.valid()) {
            error = SystemErrorFromWin32(::GetLastError());
            return {};
        }
        if (!IsRegularFile(handle.get(), false, error)) return {};
    }
    return handle;
}

bool Win32Platform::Exists(const std::string& path) {
    return ::GetFileAttributesW(WideFromAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES || FailLastError();
}

bool Win32Platform::GetAttributes(const std::string& path, uint32_t& attributes) {
    const DWORD found = ::GetFileAttributesW(WideFromAnsi(path).c_str());
    if (found == INVALID_FILE_ATTRIBUTES) return FailLastError();
    attributes = found & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    return true;
}

bool Win32Platform::SetAttributes(const std::string& path, uint32_t attributes) {
    const std::wstring wide = WideFromAnsi(path);
    if (::GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return FailLastError();
    if (IsLinkAt(wide)) return Fail(kErrAccessDenied);
    return ::SetFileAttributesW(wide.c_str(), SettableAttributes(attributes)) || FailLastError();
}

std::unique_ptr<File> Win32Platform::OpenFile(const std::string& path, OpenMode mode) {
    DWORD access = GENERIC_WRITE;
    DWORD disposition = OPEN_ALWAYS;
    bool refuseLinks = true;
    switch (mode) {
        case OpenMode::Read:
            access = GENERIC_READ;
            disposition = OPEN_EXISTING;
            refuseLinks = false;
            break;
        case OpenMode::Write:
        case OpenMode::Append: break;
        case OpenMode::ReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            disposition = OPEN_EXISTING;
            break;
        case OpenMode::CreateNew: disposition = CREATE_NEW; break;
    }
    int error = 0;
    UniqueHandle handle =
        OpenRegularFile(WideFromAnsi(path), access, kShareAll, disposition, FILE_ATTRIBUTE_NORMAL, refuseLinks, error);
    if (!handle.valid()) {
        Fail(error == ERROR_FILE_EXISTS ? kErrAlreadyExists : error);
        return nullptr;
    }
    // Truncated only once it is known to be a file of its own, not what a link points to.
    if (mode == OpenMode::Write && !::SetEndOfFile(handle.get())) {
        FailLastError();
        return nullptr;
    }
    return std::make_unique<Win32File>(std::move(handle), mode == OpenMode::Append, lastError_);
}

bool Win32Platform::CopyContents(const std::string& from, const std::string& to, bool failIfExists,
                                 const CopyProgress* progress) {
    const std::wstring source = WideFromAnsi(from);
    const std::wstring target = WideFromAnsi(to);
    int error = 0;
    LARGE_INTEGER size{};
    {
        UniqueHandle in = OpenRegularFile(source, GENERIC_READ, kShareAll, OPEN_EXISTING, 0, false, error);
        if (!in.valid()) return Fail(error);
        if (!::GetFileSizeEx(in.get(), &size)) return FailLastError();
    }
    // Anything at the target's name (a dangling link too) counts as existing,
    // and a copy never writes through a link.
    const DWORD existing = ::GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if (failIfExists) return Fail(kErrFileExists);
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0 || IsLinkAt(target)) return Fail(kErrAccessDenied);
    }
    CopyState state;
    state.progress = progress;
    const bool withProgress = progress != nullptr && *progress;
    const auto total = static_cast<uint64_t>(size.QuadPart);
    if (!state.Report(0, total)) return Fail(kErrRequestAborted);
    const DWORD flags = failIfExists ? COPY_FILE_FAIL_IF_EXISTS : 0;
    DWORD copyError = 0;
    if (!::CopyFileExW(source.c_str(), target.c_str(), withProgress ? OnCopyProgress : nullptr, &state, nullptr,
                       flags)) {
        copyError = ::GetLastError();
    } else if (FlushCopy(target, copyError) && !state.sawEnd && total != 0) {
        state.Report(total, total);
    }
    if (copyError == 0 && !state.cancelled) return true;
    // Never a partial copy left behind, and never a file removed that was there before.
    const bool madeHere = existing == INVALID_FILE_ATTRIBUTES && copyError != ERROR_FILE_EXISTS &&
                          copyError != ERROR_ALREADY_EXISTS;
    if (madeHere) RemoveMadeFile(target);
    if (state.cancelled || copyError == ERROR_REQUEST_ABORTED) return Fail(kErrRequestAborted);
    return Fail(SystemErrorFromWin32(copyError));
}

bool Win32Platform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyContents(from, to, failIfExists, nullptr);
}

bool Win32Platform::CopyFileWithProgress(const std::string& from, const std::string& to,
                                         const CopyProgress& progress) {
    return CopyContents(from, to, true, &progress);
}

bool Win32Platform::MoveFile(const std::string& from, const std::string& to) {
    if (::MoveFileExW(WideFromAnsi(from).c_str(), WideFromAnsi(to).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = ::GetLastError();
    return Fail(error == ERROR_FILE_EXISTS ? kErrAlreadyExists : SystemErrorFromWin32(error));
}

bool Win32Platform::ReplaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = WideFromAnsi(from);
    const std::wstring target = WideFromAnsi(to);
    const DWORD sourceAttributes = ::GetFileAttributesW(source.c_str());
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES) return FailLastError();
    if ((sourceAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Fail(kErrAccessDenied);
    // A read-only target is replaced as well: its read-only bit goes first, and
    // comes back when the rename fails.
    const DWORD targetAttributes = ::GetFileAttributesW(target.c_str());
    const bool cleared = targetAttributes != INVALID_FILE_ATTRIBUTES &&
                         (targetAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ==
                             FILE_ATTRIBUTE_READONLY;
    if (cleared &&
        !::SetFileAttributesW(target.c_str(), SettableAttributes(targetAttributes & ~FILE_ATTRIBUTE_READONLY))) {
        return FailLastError();
    }
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if (cleared) ::SetFileAttributesW(target.c_str(), SettableAttributes(targetAttributes));
    return Fail(SystemErrorFromWin32(error));
}

bool Win32Platform::DeleteFile(const std::string& path) {
    const std::wstring wide = WideFromAnsi(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FailLastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        // A link to a folder goes as the link it is; a folder is no file.
        if (!IsLinkAt(wide)) return Fail(kErrAccessDenied);
        return ::RemoveDirectoryW(wide.c_str()) || FailLastError();
    }
    return ::DeleteFileW(wide.c_str()) || FailLastError();
}

bool Win32Platform::CreateDirectory(const std::string& path) {
    return ::CreateDirectoryW(WideFromAnsi(path).c_str(), nullptr) || FailLastError();
}

bool Win32Platform::RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryW(WideFromAnsi(path).c_str()) || FailLastError();
}

bool Win32Platform::RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    FindHandle find(::FindFirstFileW(JoinWide(folder, L"*").c_str(), &data));
    if (!find.valid()) return FailLastError();
    bool ok = true;
    int error = 0;
    do {
        if (IsDots(data.cFileName)) continue;
        const std::wstring child = JoinWide(folder, data.cFileName);
        bool removed = false;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
                ::SetFileAttributesW(child.c_str(), SettableAttributes(data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY));
            }
            removed = ::DeleteFileW(child.c_str()) != FALSE;
        } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            removed = ::RemoveDirectoryW(child.c_str()) != FALSE;  // the link, not what it points to
        } else {
            removed = RemoveTree(child);
            if (!removed) error = lastError_;
        }
        if (!removed) {
            ok = false;
            if (error == 0) error = SystemErrorFromWin32(::GetLastError());
        }
    } while (::FindNextFileW(find.get(), &data));
    find.reset();
    if (!ok) return Fail(error);
    return ::RemoveDirectoryW(folder.c_str()) || FailLastError();
}

bool Win32Platform::RemoveDirectoryTree(const std::string& path) { return RemoveTree(WideFromAnsi(path)); }

bool Win32Platform::ListFolder(const std::string& folder, const std::string& pattern,
                               std::vector<DirEntry>& entries) {
    entries.clear();
    const std::wstring wide = WideFromAnsi(folder);
    const std::wstring widePattern = WideFromAnsi(pattern);
    const std::u16string_view wanted(reinterpret_cast<const char16_t*>(widePattern.data()), widePattern.size());
    // Everything is listed and matched here: FindFirstFileW would also match
    // patterns against the short 8.3 names ("*.csv" finding "a.csvx").
    WIN32_FIND_DATAW data{};
    FindHandle find(::FindFirstFileW(JoinWide(wide, L"*").c_str(), &data));
    if (!find.valid()) {
        // The root of a drive holds no "." and ".." and may be empty.
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return true;
        }
        return Fail(SystemErrorFromWin32(error));
    }
    do {
        if (IsDots(data.cFileName)) continue;
        const std::wstring_view name(data.cFileName);
        if (!MatchesNamePattern(std::u16string_view(reinterpret_cast<const char16_t*>(name.data()), name.size()),
                                wanted)) {
            continue;
        }
        DirEntry e;
        // A name the ANSI code page cannot spell is reached by its short name.
        if (!AnsiFromWide(name, e.name) && data.cAlternateFileName[0] != 0) {
            e.name = AnsiFromWide(data.cAlternateFileName);
        }
        e.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entries.push_back(std::move(e));
    } while (::FindNextFileW(find.get(), &data));
    return true;
}

bool Win32Platform::FreeSpace(const std::string& path, uint64_t& bytes) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr)) return FailLastError();
    bytes = available.QuadPart;
    return true;
}

std::unique_ptr<FileLock> Win32Platform::TryLockFile(const std::string& path) {
    // Opened without sharing: any second open, in this process or another,
    // fails with a sharing violation until this handle is closed. A lock file
    // made by another user may be open to reading only.
    const std::wstring wide = WideFromAnsi(path);
    int error = 0;
    UniqueHandle handle =
        OpenRegularFile(wide, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, true, error);
    if (!handle.valid() && error == kErrAccessDenied && !IsLinkAt(wide)) {
        handle = OpenRegularFile(wide, GENERIC_READ, 0, OPEN_EXISTING, 0, true, error);
    }
    if (!handle.valid()) {
        Fail(error);
        return nullptr;
    }
    return std::make_unique<Win32Lock>(std::move(handle));
}

}  // namespace tv
