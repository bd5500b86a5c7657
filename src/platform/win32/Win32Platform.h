// The Windows implementation of the platform: the Win32 calls themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/MountedCards.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Handles.h"

namespace tv {

class Win32Platform : public Platform {
public:
    std::string DataFolderRoot() override;
    std::string CurrentDirectory() override;
    std::string UserLocaleName() override;
    int64_t Now() override;
    bool ToLocalTime(int64_t t, std::tm& out) override;
    [[noreturn]] void Exit(int code) override;

    char Separator() const override { return '\\'; }
    bool IsSeparator(char c) const override { return c == '\\' || c == '/'; }

    int LastError() const override { return lastError_; }
    bool Exists(const std::string& path) override;
    bool GetAttributes(const std::string& path, uint32_t& attributes) override;
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) override;
    bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
    bool CopyFileWithProgress(const std::string& from, const std::string& to,
                              const CopyProgress& progress) override;
    bool MoveFile(const std::string& from, const std::string& to) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    bool RemoveDirectoryTree(const std::string& path) override;
    bool ListFolder(const std::string& folder, const std::string& pattern,
                    std::vector<DirEntry>& entries) override;
    bool FreeSpace(const std::string& path, uint64_t& bytes) override;
    std::unique_ptr<FileLock> TryLockFile(const std::string& path) override;

    DriveInfo GetDrive(char letter) override;
    void MountCard(char letter, const std::string& root,
                   std::shared_ptr<CardFileProvider> provider) override;
    std::unique_ptr<File> OpenSectorFile(const std::string& path) override;

    uint32_t GetPrivateProfileString(const char16_t* section, const char16_t* key,
                                     const char16_t* defaultText, char16_t* buffer, uint32_t size,
                                     const std::string& path) override;
    uint32_t GetPrivateProfileInt(const char16_t* section, const char16_t* key,
                                  int32_t defaultValue, const std::string& path) override;
    bool WritePrivateProfileString(const char16_t* section, const char16_t* key,
                                   const char16_t* value, const std::string& path) override;

private:
    bool Fail(int error);
    bool FailLastError();  // GetLastError's code
    bool CopyContents(const std::string& from, const std::string& to, bool failIfExists,
                      const CopyProgress* progress);
    bool RemoveTree(const std::wstring& folder);
    // Whether an INI file may be read or written: a regular file within the
    // size bound, or none at all (error kErrFileNotFound or kErrPathNotFound).
    bool CheckIniFile(const std::string& path, int& error);

    // The error of the calling thread's last failed call, as errno and
    // GetLastError keep it: a file hashed on another thread leaves this one's alone.
    static inline thread_local int lastError_ = 0;
    MountedCards mounted_{"\\/", MountedCards::Names::AnyCase};
};

// Ordinary files are shared as the C runtime shares them: others may read,
// write, rename and delete while a file is open (a held INI file is still
// written by the INI functions, a log file is still read).
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Maps a GetLastError code to the system error numbering of the platform
// interface (the same numbers; codes without a name there stay as they are).
int SystemErrorFromWin32(DWORD code);

// Opens path with CreateFileW and keeps it only when it is a regular file: a
// folder fails with kErrAccessDenied, a device or pipe with kErrBadFileType,
// and with refuseLinks a reparse point (a link, a junction) at the name with
// kErrAccessDenied; it is then opened as itself and never followed.
UniqueHandle OpenRegularFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                             DWORD flags, bool refuseLinks, int& error);
// The same checks for a handle opened otherwise.
bool IsRegularFile(HANDLE handle, bool refuseLinks, int& error);

}  // namespace tv
