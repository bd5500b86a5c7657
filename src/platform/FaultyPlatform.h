// A platform that forwards to another one and fails chosen operations on demand,
// with a settable clock, locale and data root, and an exit that throws. Lets tests
// reach the failure paths that a healthy machine (or a root user) never shows.
#pragma once

#include <mutex>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace tv {

enum class FaultOp {
    Open,             // OpenFile in any mode
    Write,            // File::Write on a file opened through this platform
    Read,             // File::Read on a file opened through this platform
    Copy,             // CopyFile and CopyFileWithProgress
    Move,
    Delete,
    CreateDirectory,
    RemoveDirectory,  // RemoveDirectory and RemoveDirectoryTree
    GetAttributes,
    SetAttributes,
    IniWrite,
    ListFolder,
    FreeSpace,
};

// Thrown by FaultyPlatform::Exit instead of ending the test process.
struct ExitRequested {
    int code;
};

class FaultyPlatform : public Platform {
public:
    explicit FaultyPlatform(Platform& inner) : inner_(inner) { ownError_ = 0; }

    // The next `times` calls of op on a path containing pathPart (any path when
    // empty) fail with error; times < 0 means every call.
    void InjectFault(FaultOp op, int error, std::string pathPart = {}, int times = -1);
    // Reads of a file whose path contains pathPart fail with error once they
    // reach byte fromByte of the file: the bytes before it read as they are (a
    // read across it stops short there), as on a disk with a bad spot.
    void InjectReadFault(int error, std::string pathPart, int64_t fromByte = 0, int times = -1);
    void ClearFaults() { faults_.clear(); }
    // Writes, copies and INI writes fail as on a full disk; free space reads 0.
    void SetDiskFull(bool full);
    // Free space reads this many bytes everywhere (nothing: the real value).
    void SetFreeSpace(std::optional<uint64_t> bytes) { freeSpace_ = bytes; }

    void SetNow(int64_t t) { now_ = t; }
    void Advance(int64_t seconds);
    void SetLocale(std::string locale) { locale_ = std::move(locale); }
    void SetDataFolderRoot(std::string root) { dataRoot_ = std::move(root); }
    // Calls of an operation seen so far (faulted or not).
    int Calls(FaultOp op) const;
    // Crash point: the n-th file operation that changes something (1 = the
    // first) ends the process at once with exitCode, as a kill or a power cut
    // would: nothing is cleaned up. A copy or write hit this way has written
    // half of its bytes first. n = 0 turns the crash point off.
    void CrashAtOperation(int n, int exitCode);
    // File operations that change something, counted since the crash point was set.
    int ChangingOperations() const { return changing_; }

    std::string DataFolderRoot() override;
    std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
    std::string UserLocaleName() override;
    int64_t Now() override;
    bool ToLocalTime(int64_t t, std::tm& out) override { return inner_.ToLocalTime(t, out); }
    [[noreturn]] void Exit(int code) override { throw ExitRequested{code}; }

    char Separator() const override { return inner_.Separator(); }
    bool IsSeparator(char c) const override { return inner_.IsSeparator(c); }

    int LastError() const override { return ownError_ != 0 ? ownError_ : inner_.LastError(); }
    bool Exists(const std::string& path) override {
        ownError_ = 0;
        return inner_.Exists(path);
    }
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
    std::unique_ptr<FileLock> TryLockFile(const std::string& path) override {
        ownError_ = 0;
        return inner_.TryLockFile(path);
    }

    DriveInfo GetDrive(char letter) override { return inner_.GetDrive(letter); }
    void MountCard(char letter, const std::string& root,
                   std::shared_ptr<CardFileProvider> provider) override {
        inner_.MountCard(letter, root, std::move(provider));
    }
    std::unique_ptr<File> OpenSectorFile(const std::string& path) override;
    int DeviceChangeHandle() override { return inner_.DeviceChangeHandle(); }

    uint32_t GetPrivateProfileString(const char16_t* section, const char16_t* key,
                                     const char16_t* defaultText, char16_t* buffer, uint32_t size,
                                     const std::string& path) override {
        ownError_ = 0;
        return inner_.GetPrivateProfileString(section, key, defaultText, buffer, size, path);
    }
    uint32_t GetPrivateProfileInt(const char16_t* section, const char16_t* key,
                                  int32_t defaultValue, const std::string& path) override {
        return inner_.GetPrivateProfileInt(section, key, defaultValue, path);
    }
    bool WritePrivateProfileString(const char16_t* section, const char16_t* key,
                                   const char16_t* value, const std::string& path) override;

    // Used by the files this platform opens: whether a write to path fails, and how.
    std::optional<int> WriteFault(const std::string& path);
    // Used by the files this platform opens: whether a read of n bytes at
    // position fails, and how; n is cut to the bytes before a fault further on.
    std::optional<int> ReadFault(const std::string& path, int64_t position, size_t& n);
    // Used by the files this platform opens: counts a write and, at the crash
    // point, writes half of it and ends the process.
    void CrashPointOnWrite(File& file, const void* data, size_t n);
    void SetOwnError(int error) { ownError_ = error; }

private:
    std::optional<uint64_t> freeSpace_;

private:
    struct Fault {
        FaultOp op;
        int error;
        std::string pathPart;
        int times;
        int64_t fromByte = 0;  // reads: the first byte that fails
    };
    // The error to fail with when op on path is faulted; counts the call.
    std::optional<int> Take(FaultOp op, const std::string& path);
    // Counts a call of op; the mutex is held.
    void CountCall(FaultOp op);
    bool Failed(int error) {
        ownError_ = error;
        return false;
    }
    template <typename F>
    bool Forward(FaultOp op, const std::string& path, F&& call) {
        if (auto error = Take(op, path)) return Failed(*error);
        ownError_ = 0;
        return call();
    }

    Platform& inner_;
    std::vector<Fault> faults_;
    std::vector<std::pair<FaultOp, int>> calls_;
    // A file may be read on another thread (a file's hash): the counts and the
    // faults are shared, the last error is each thread's own.
    mutable std::mutex mutex_;
    std::optional<int64_t> now_;
    std::optional<std::string> locale_;
    std::optional<std::string> dataRoot_;
    bool diskFull_ = false;
    static inline thread_local int ownError_ = 0;
    int crashAt_ = 0;
    int crashCode_ = 0;
    int changing_ = 0;
    // Counts a changing operation; true when it is the one that crashes.
    bool AtCrashPoint();
    [[noreturn]] void Crash();
    // At the crash point, half of `from` has reached `to`.
    void CrashPointOnCopy(const std::string& from, const std::string& to);
    void CrashPoint() {
        if (AtCrashPoint()) Crash();
    }
};

}  // namespace tv
