// The Linux / POSIX implementation of the platform.
#pragma once

#include <vector>

#include "platform/MountedCards.h"
#include "platform/Platform.h"

namespace tv {

class PosixPlatform : public Platform {
public:
    std::string DataFolderRoot() override;
    std::string CurrentDirectory() override;
    std::string UserLocaleName() override;
    int64_t Now() override;
    bool ToLocalTime(int64_t t, std::tm& out) override;
    [[noreturn]] void Exit(int code) override;

    char Separator() const override { return '/'; }

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
    int DeviceChangeHandle() override;
    ~PosixPlatform() override;

    uint32_t GetPrivateProfileString(const char16_t* section, const char16_t* key,
                                     const char16_t* defaultText, char16_t* buffer, uint32_t size,
                                     const std::string& path) override;
    uint32_t GetPrivateProfileInt(const char16_t* section, const char16_t* key,
                                  int32_t defaultValue, const std::string& path) override;
    bool WritePrivateProfileString(const char16_t* section, const char16_t* key,
                                   const char16_t* value, const std::string& path) override;

private:
    bool Fail(int error);
    bool FailErrno();
    bool CopyContents(const std::string& from, const std::string& to, bool exclusive,
                      const CopyProgress* progress);

    // Removable file systems of this machine by letter, from the mount table.
    std::vector<DriveInfo> RemovableMounts();
    // An open file descriptor as a File of this platform.
    std::unique_ptr<File> WrapDescriptor(int fd);

    // The error of the calling thread's last failed call, as errno and
    // GetLastError keep it: a file hashed on another thread leaves this one's alone.
    static inline thread_local int lastError_ = 0;
    MountedCards mounted_{"/", MountedCards::Names::ExactCase};
    int mountWatch_ = -1;  // the mount table, watched for changes
};

// open(2) of a regular file that never waits on a pipe or device (those fail
// with kErrBadFileType in error); the descriptor, or -1.
int OpenRegularDescriptor(const std::string& path, int flags, int& error);

// Maps an errno value to the system error numbering of the platform interface.
int SystemErrorFromErrno(int err);

}  // namespace tv
