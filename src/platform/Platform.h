// The operating-system seam. Everything the engine asks of the system goes through
// this interface; one implementation per operating system is chosen at start-up.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CardFiles.h"

namespace tv {

// System error numbers as the engine reports them (the Windows numbering, on every
// platform, so that log entries and remarks read the same everywhere).
enum SystemError : int {
    kErrNone = 0,
    kErrFileNotFound = 2,
    kErrPathNotFound = 3,
    kErrAccessDenied = 5,
    kErrInvalidHandle = 6,
    kErrNotEnoughMemory = 8,
    kErrWriteFault = 29,
    kErrReadFault = 30,
    kErrSharingViolation = 32,
    kErrHandleDiskFull = 39,
    kErrFileExists = 80,
    kErrInvalidParameter = 87,
    kErrDiskFull = 112,
    kErrDirNotEmpty = 145,
    kErrAlreadyExists = 183,
    kErrFilenameTooLong = 206,
    kErrBadFileType = 222,   // a pipe, a device or the like where a regular file is expected
    kErrFileTooLarge = 223,  // larger than such a file can sensibly be
    kErrRequestAborted = 1235,
};

// File attribute bits (the Windows values).
enum FileAttribute : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};

// The modes that write never write through a symbolic link at the name.
enum class OpenMode {
    Read,       // existing file, reading
    Write,      // created or truncated, writing
    Append,     // created if missing, every write goes to the end
    ReadWrite,  // existing file, reading and writing
    CreateNew,  // created, writing; anything already at the name (a link too) fails with kErrAlreadyExists
};

// An open file. Closed when the object goes away.
class File {
public:
    virtual ~File() = default;
    // Writes all n bytes or fails; a failure leaves the error in Platform::LastError.
    virtual bool Write(const void* data, size_t n) = 0;
    // Reads up to n bytes; returns the count read, 0 at the end, -1 on error.
    virtual int64_t Read(void* data, size_t n) = 0;
    virtual bool Seek(int64_t offset) = 0;
    virtual bool SeekEnd() = 0;
    virtual int64_t Size() = 0;  // -1 when unknown
    virtual int64_t Tell() = 0;  // -1 when unknown
    // Cuts or extends the file to size bytes.
    virtual bool Truncate(int64_t size) = 0;
};

// A lock on a file, held until the object goes away or the process ends.
class FileLock {
public:
    virtual ~FileLock() = default;
};

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    uint64_t size = 0;
};

// Progress of a copy: bytes done and in all. Returning false cancels the copy.
using CopyProgress = std::function<bool(uint64_t done, uint64_t total)>;

class Platform {
public:
    virtual ~Platform() = default;

    // --- system ---------------------------------------------------------------
    // The per-computer application-data root, without a trailing separator.
    virtual std::string DataFolderRoot() = 0;
    virtual std::string CurrentDirectory() = 0;
    // The user's locale name in the "ll-CC" form ("fr-CA", "en-US").
    virtual std::string UserLocaleName() = 0;
    // Seconds since 1970 (UTC), and the local calendar time of such a value.
    virtual int64_t Now() = 0;
    virtual bool ToLocalTime(int64_t t, std::tm& out) = 0;
    // Ends the process with the exit status.
    [[noreturn]] virtual void Exit(int code) = 0;
    // Local time of t (or of now) formatted with strftime; empty when t has no local time.
    std::string FormatLocalTime(int64_t t, const char* format);
    std::string FormatNow(const char* format) { return FormatLocalTime(Now(), format); }

    // --- paths ----------------------------------------------------------------
    virtual char Separator() const = 0;
    // Whether c parts folders in a path the user gave (Windows takes '/' too).
    virtual bool IsSeparator(char c) const { return c == Separator(); }
    // The last part of a path: the file's own name.
    std::string FileName(std::string_view path) const;
    // a + separator + b, with no doubled separator.
    std::string JoinPath(std::string_view a, std::string_view b) const;
    // The folder with exactly one trailing separator.
    std::string WithTrailingSeparator(std::string_view folder) const;
    bool EndsWithSeparator(std::string_view path) const;
    // The path of a card's file in folder: card file systems match names
    // without regard to case, so the entry as it is spelled there, or folder +
    // name when there is none.
    std::string CardFilePath(std::string_view folder, const std::string& name);

    // --- files ----------------------------------------------------------------
    // The error number of the last failed operation of this platform.
    virtual int LastError() const = 0;
    virtual bool Exists(const std::string& path) = 0;
    // False when the attributes cannot be read (the path does not exist).
    virtual bool GetAttributes(const std::string& path, uint32_t& attributes) = 0;
    // A symbolic link fails with kErrAccessDenied: what it points to keeps its attributes.
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
    bool IsDirectory(const std::string& path);
    // Opens regular files only, and never waits for a writer or reader: a pipe
    // or a device fails with kErrBadFileType, a folder with kErrAccessDenied.
    virtual std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) = 0;
    // Copies a file; with failIfExists an existing target fails with kErrFileExists.
    virtual bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
    // Copies with progress into a new file: anything at `to` (a link too) fails
    // with kErrFileExists. Cancelling fails with kErrRequestAborted and removes
    // the partial copy.
    virtual bool CopyFileWithProgress(const std::string& from, const std::string& to,
                                      const CopyProgress& progress) = 0;
    // Renames; an existing target fails with kErrAlreadyExists.
    virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
    // Renames onto `to` in one step, replacing a file there (read-only or not),
    // and makes the rename durable: there is never a moment without either file.
    virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
    // Puts a copy of `from` under `to` only once it is complete: copied to
    // PublishTempName(to) in the same folder (created anew: whatever stands at
    // that name, a link too, is removed first and never followed), flushed,
    // renamed onto `to`, then given the source's attributes plus addAttributes.
    // A failure, a cancel or a kill leaves `to` as it was (and at most the
    // temporary file beside it).
    bool PublishFile(const std::string& from, const std::string& to, const CopyProgress& progress = {},
                     uint32_t addAttributes = 0);
    // The temporary name a publish of `to` writes first.
    static std::string PublishTempName(const std::string& to) { return to + kPublishTempSuffix; }
    static constexpr const char* kPublishTempSuffix = ".part~";
    // Deletes a file, or a symbolic link itself; a read-only file fails with kErrAccessDenied.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Removes the file or link at path, read-only or not, without following a
    // link; true when nothing is left at the name.
    bool RemoveLeftover(const std::string& path);
    // An existing folder fails with kErrAlreadyExists.
    virtual bool CreateDirectory(const std::string& path) = 0;
    virtual bool RemoveDirectory(const std::string& path) = 0;
    // Removes a folder and everything in it, read-only files included.
    virtual bool RemoveDirectoryTree(const std::string& path) = 0;
    // The entries of a folder whose names match a pattern of "*" and "?"
    // (without regard to case); "." and ".." are never listed.
    virtual bool ListFolder(const std::string& folder, const std::string& pattern,
                            std::vector<DirEntry>& entries) = 0;
    virtual bool FreeSpace(const std::string& path, uint64_t& bytes) = 0;
    // Takes an exclusive lock on the file at path (created when missing) without
    // waiting. nullptr when another holder has it (kErrSharingViolation: another
    // process, or another lock object of this one) or the file cannot be opened.
    virtual std::unique_ptr<FileLock> TryLockFile(const std::string& path) = 0;

    // --- drives and card files -----------------------------------------------------
    // The drive at a letter A to Z: real removable drives, and emulated cards at
    // the letters they were mounted at (which take precedence).
    virtual DriveInfo GetDrive(char letter) = 0;
    // Makes an emulated card appear at a letter with its root folder; an empty
    // provider removes it again.
    virtual void MountCard(char letter, const std::string& root,
                           std::shared_ptr<CardFileProvider> provider) = 0;
    // Opens a card file for unbuffered, write-through access in whole 512-byte
    // sectors through page-aligned buffers. A file of an emulated card's root is
    // served by its provider.
    virtual std::unique_ptr<File> OpenSectorFile(const std::string& path) = 0;
    // A descriptor that signals an exceptional condition (poll's POLLPRI) whenever
    // drives are mounted or removed, for an event loop to watch; -1 when the system
    // offers none. Owned by the platform.
    virtual int DeviceChangeHandle() { return -1; }

    // --- INI files (UTF-16 names and values; files are narrow text, CR LF) ------
    // An INI file that is not a regular file (kErrBadFileType) or larger than
    // this (kErrFileTooLarge) reads as missing and is not written; LastError
    // then tells why (0 after a read that found the file).
    static constexpr int64_t kMaxIniFileSize = int64_t{4} << 20;
    // With key == nullptr the buffer receives the section's key names, each ended
    // by a NUL, the list ended by one more NUL. Returns the characters copied.
    virtual uint32_t GetPrivateProfileString(const char16_t* section, const char16_t* key,
                                             const char16_t* defaultText, char16_t* buffer,
                                             uint32_t size, const std::string& path) = 0;
    // The value's leading number as Windows reads it (blanks, one sign, "0x" for
    // hexadecimal, 32 bits that wrap, a negative number as its two's complement);
    // the default when the key is missing or has no value.
    virtual uint32_t GetPrivateProfileInt(const char16_t* section, const char16_t* key,
                                          int32_t defaultValue, const std::string& path) = 0;
    // key == nullptr removes the section, value == nullptr removes the key. An
    // existing key keeps its name as the file spells it; the value is written
    // without its leading blanks.
    virtual bool WritePrivateProfileString(const char16_t* section, const char16_t* key,
                                           const char16_t* value, const std::string& path) = 0;
};

// The platform of this operating system.
std::unique_ptr<Platform> CreateSystemPlatform();

}  // namespace tv
