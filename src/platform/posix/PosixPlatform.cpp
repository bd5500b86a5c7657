#include "platform/posix/PosixPlatform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/IniEmulation.h"
#include "platform/Text.h"

namespace tv {

int SystemErrorFromErrno(int err) {
    switch (err) {
        case 0: return kErrNone;
        case ENOENT: return kErrFileNotFound;
        case ENOTDIR: return kErrPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return kErrAccessDenied;
        case EEXIST: return kErrAlreadyExists;
        case ENOSPC:
        case EDQUOT: return kErrDiskFull;
        case ENAMETOOLONG: return kErrFilenameTooLong;
        case ENOMEM: return kErrNotEnoughMemory;
        case EBUSY:
        case ETXTBSY: return kErrSharingViolation;
        case ENOTEMPTY: return kErrDirNotEmpty;
        case EBADF: return kErrInvalidHandle;
        case EINVAL: return kErrInvalidParameter;
        case EIO: return kErrReadFault;
        default: return kErrInvalidParameter;
    }
}

namespace {

// A file descriptor that is closed when it goes away.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = o.release();
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// Opens path as a regular file and never waits on it: with O_NONBLOCK a pipe
// opens at once (or fails for want of a reader) and is then refused, as is a
// device; the descriptor is blocking again once it is known to be a file.
Fd OpenRegularFile(const std::string& path, int flags, mode_t mode, int& error, struct stat* info = nullptr) {
    Fd fd(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (!fd.valid()) {
        // A link where a file is written reads as the name being taken.
        error = errno == ENXIO                            ? kErrBadFileType
                : errno == ELOOP && (flags & O_NOFOLLOW) != 0 ? kErrAccessDenied
                                                              : SystemErrorFromErrno(errno);
        return Fd();
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = SystemErrorFromErrno(errno);
        return Fd();
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? kErrAccessDenied : kErrBadFileType;
        return Fd();
    }
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
        error = SystemErrorFromErrno(errno);
        return Fd();
    }
    if (info != nullptr) *info = st;
    return fd;
}

}  // namespace

int OpenRegularDescriptor(const std::string& path, int flags, int& error) {
    return OpenRegularFile(path, flags, 0, error).release();
}

namespace {

class PosixLock : public FileLock {
public:
    explicit PosixLock(Fd fd) : fd_(std::move(fd)) {}

private:
    Fd fd_;  // closing it drops the lock
};

class PosixFile : public File {
public:
    PosixFile(Fd fd, int& lastError) : fd_(std::move(fd)), lastError_(lastError) {}

    bool Write(const void* data, size_t n) override {
        if (WriteAll(fd_.get(), data, n)) return true;
        lastError_ = SystemErrorFromErrno(errno);
        return false;
    }
    int64_t Read(void* data, size_t n) override {
        for (;;) {
            const ssize_t r = ::read(fd_.get(), data, n);
            if (r >= 0) return r;
            if (errno != EINTR) {
                lastError_ = SystemErrorFromErrno(errno);
                return -1;
            }
        }
    }
    bool Seek(int64_t offset) override { return Moved(::lseek(fd_.get(), offset, SEEK_SET)); }
    bool SeekEnd() override { return Moved(::lseek(fd_.get(), 0, SEEK_END)); }
    int64_t Size() override {
        struct stat st {};
        return ::fstat(fd_.get(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }
    int64_t Tell() override { return ::lseek(fd_.get(), 0, SEEK_CUR); }
    bool Truncate(int64_t size) override {
        if (::ftruncate(fd_.get(), size) == 0) return true;
        lastError_ = SystemErrorFromErrno(errno);
        return false;
    }

private:
    bool Moved(off_t result) {
        if (result >= 0) return true;
        lastError_ = SystemErrorFromErrno(errno);
        return false;
    }

    Fd fd_;
    int& lastError_;
};

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool PosixPlatform::Fail(int error) {
    lastError_ = error;
    return false;
}

bool PosixPlatform::FailErrno() { return Fail(SystemErrorFromErrno(errno)); }

// --- system -------------------------------------------------------------------

std::string PosixPlatform::DataFolderRoot() {
    if (::access("/var/lib", W_OK) == 0) return "/var/lib";
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != 0) {
        return JoinPath(JoinPath(home, ".local"), "share");
    }
    return CurrentDirectory();
}

std::string PosixPlatform::CurrentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return {};
    return buffer;
}

std::string PosixPlatform::UserLocaleName() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = std::getenv(name);
        if (value != nullptr && value[0] != 0) break;
        value = nullptr;
    }
    if (value == nullptr) return "en-US";
    std::string locale(value);
    locale = locale.substr(0, locale.find_first_of(".@"));
    for (char& c : locale) {
        if (c == '_') c = '-';
    }
    if (locale == "C" || locale == "POSIX") return "en-US";
    return locale.substr(0, 85);
}

int64_t PosixPlatform::Now() { return static_cast<int64_t>(::time(nullptr)); }

bool PosixPlatform::ToLocalTime(int64_t t, std::tm& out) {
    const auto value = static_cast<time_t>(t);
    return ::localtime_r(&value, &out) != nullptr;
}

void PosixPlatform::Exit(int code) { std::exit(code); }

// --- files ----------------------------------------------------------------------

bool PosixPlatform::Exists(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return true;
    return FailErrno();
}

bool PosixPlatform::GetAttributes(const std::string& path, uint32_t& attributes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FailErrno();
    attributes = 0;
    if (S_ISDIR(st.st_mode)) {
        attributes |= kAttrDirectory;
    } else {
        attributes |= kAttrArchive;
    }
    if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
    const std::string name = BaseName(path);
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
    return true;
}

bool PosixPlatform::SetAttributes(const std::string& path, uint32_t attributes) {
    // Only the read-only bit has a meaning here; hidden and archive are names and
    // conventions on this system and are left as they are. A link is refused:
    // chmod would change the file it points to.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return FailErrno();
    if (S_ISLNK(st.st_mode)) return Fail(kErrAccessDenied);
    mode_t mode = st.st_mode & 07777;
    if ((attributes & kAttrReadOnly) != 0) {
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    } else {
        mode |= S_IWUSR;
    }
    if (mode != (st.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0) return FailErrno();
    return true;
}

std::unique_ptr<File> PosixPlatform::OpenFile(const std::string& path, OpenMode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case OpenMode::Read: flags |= O_RDONLY; break;
        case OpenMode::Write: flags |= O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW; break;
        case OpenMode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW; break;
        case OpenMode::ReadWrite: flags |= O_RDWR | O_NOFOLLOW; break;
        case OpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    int error = 0;
    Fd fd = OpenRegularFile(path, flags, 0666, error);
    if (!fd.valid()) {
        Fail(error);
        return nullptr;
    }
    return std::make_unique<PosixFile>(std::move(fd), lastError_);
}

std::unique_ptr<File> PosixPlatform::WrapDescriptor(int fd) {
    return std::make_unique<PosixFile>(Fd(fd), lastError_);
}

bool PosixPlatform::CopyContents(const std::string& from, const std::string& to, bool exclusive,
                                 const CopyProgress* progress) {
    struct stat st {};
    int openError = 0;
    Fd in = OpenRegularFile(from, O_RDONLY, 0, openError, &st);
    if (!in.valid()) return Fail(openError);
    // Never written through a link at the target's name.
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | (exclusive ? O_EXCL : 0);
    Fd out(::open(to.c_str(), flags, st.st_mode & 0777));
    if (!out.valid()) {
        return Fail(errno == EEXIST ? kErrFileExists : errno == ELOOP ? kErrAccessDenied : SystemErrorFromErrno(errno));
    }
    const auto total = static_cast<uint64_t>(st.st_size);
    uint64_t done = 0;
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    int error = 0;
    if (progress != nullptr && *progress && !(*progress)(0, total)) {
        ok = false;
        error = kErrRequestAborted;
    }
    // The kernel copies between the files itself where it can (no pass through
    // this process); else, or once it declines, the bytes go through the buffer.
    bool kernelCopy = true;
    while (ok) {
        if (kernelCopy) {
            const ssize_t r = ::copy_file_range(in.get(), nullptr, out.get(), nullptr, buffer.size(), 0);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                          errno == EPERM)) {
                kernelCopy = false;
                continue;
            }
            if (r < 0) {
                ok = false;
                error = SystemErrorFromErrno(errno);
                break;
            }
            if (r == 0) break;
            done += static_cast<uint64_t>(r);
            if (progress != nullptr && *progress && !(*progress)(done, total)) {
                ok = false;
                error = kErrRequestAborted;
            }
            continue;
        }
        const ssize_t r = ::read(in.get(), buffer.data(), buffer.size());
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            ok = false;
            error = SystemErrorFromErrno(errno);
            break;
        }
        if (r == 0) break;
        if (!WriteAll(out.get(), buffer.data(), static_cast<size_t>(r))) {
            ok = false;
            error = SystemErrorFromErrno(errno);
            break;
        }
        done += static_cast<uint64_t>(r);
        if (progress != nullptr && *progress && !(*progress)(done, total)) {
            ok = false;
            error = kErrRequestAborted;
        }
    }
    if (ok && ::fsync(out.get()) != 0) {
        ok = false;
        error = SystemErrorFromErrno(errno);
    }
    out.reset();
    if (!ok) {
        ::unlink(to.c_str());  // never leave a partial copy behind
        return Fail(error);
    }
    return true;
}

bool PosixPlatform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return CopyContents(from, to, failIfExists, nullptr);
}

bool PosixPlatform::CopyFileWithProgress(const std::string& from, const std::string& to,
                                         const CopyProgress& progress) {
    return CopyContents(from, to, true, &progress);
}

bool PosixPlatform::MoveFile(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return Fail(kErrAlreadyExists);
    if (::lstat(from.c_str(), &st) != 0) return FailErrno();
    // link + unlink refuses an existing target atomically; folders and file
    // systems without hard links fall back to rename.
    if (!S_ISDIR(st.st_mode) && ::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) != 0) {
            const int err = errno;
            ::unlink(to.c_str());
            return Fail(SystemErrorFromErrno(err));
        }
        return true;
    }
    if (errno == EEXIST) return Fail(kErrAlreadyExists);
    if (::rename(from.c_str(), to.c_str()) != 0) return FailErrno();
    return true;
}

bool PosixPlatform::ReplaceFile(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) return FailErrno();
    if (S_ISDIR(st.st_mode)) return Fail(kErrAccessDenied);
    if (::rename(from.c_str(), to.c_str()) != 0) return FailErrno();
    // The rename is durable once the folder that holds it is.
    const size_t slash = to.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : to.substr(0, slash));
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());
    return true;
}

bool PosixPlatform::DeleteFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return FailErrno();
    if (S_ISDIR(st.st_mode)) return Fail(kErrAccessDenied);
    if ((st.st_mode & S_IWUSR) == 0) return Fail(kErrAccessDenied);  // read-only, as on Windows
    if (::unlink(path.c_str()) != 0) return FailErrno();
    return true;
}

bool PosixPlatform::CreateDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    if (errno == ENOENT) return Fail(kErrPathNotFound);
    return FailErrno();
}

bool PosixPlatform::RemoveDirectory(const std::string& path) {
    if (::rmdir(path.c_str()) == 0) return true;
    return FailErrno();
}

bool PosixPlatform::RemoveDirectoryTree(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return FailErrno();
    bool ok = true;
    int error = 0;
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string child = JoinPath(path, name);
        struct stat st {};
        if (::lstat(child.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            if (!RemoveDirectoryTree(child)) {
                ok = false;
                error = lastError_;
            }
        } else if (::unlink(child.c_str()) != 0) {
            ok = false;
            error = SystemErrorFromErrno(errno);
        }
    }
    ::closedir(dir);
    if (!ok) return Fail(error);
    return RemoveDirectory(path);
}

bool PosixPlatform::ListFolder(const std::string& folder, const std::string& pattern,
                               std::vector<DirEntry>& entries) {
    entries.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return FailErrno();
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!MatchesNamePattern(ToUtf16(name), ToUtf16(pattern))) continue;
        DirEntry e;
        e.name = name;
        struct stat st {};
        if (::stat(JoinPath(folder, name).c_str(), &st) == 0) {
            e.isDirectory = S_ISDIR(st.st_mode);
            e.size = static_cast<uint64_t>(st.st_size);
        }
        entries.push_back(std::move(e));
    }
    ::closedir(dir);
    return true;
}

bool PosixPlatform::FreeSpace(const std::string& path, uint64_t& bytes) {
    struct statvfs vfs {};
    if (::statvfs(path.c_str(), &vfs) != 0) return FailErrno();
    bytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    return true;
}

std::unique_ptr<FileLock> PosixPlatform::TryLockFile(const std::string& path) {
    // A lock file made by another user may be open to reading only; a shared
    // data folder still locks through it.
    int error = 0;
    Fd fd = OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW, 0666, error);
    if (!fd.valid() && error == kErrAccessDenied) fd = OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, 0, error);
    if (!fd.valid()) {
        Fail(error);
        return nullptr;
    }
    // flock belongs to the open file description, not to the process: a second
    // lock of this process on the same file is refused as well.
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        Fail(errno == EWOULDBLOCK ? kErrSharingViolation : SystemErrorFromErrno(errno));
        return nullptr;
    }
    return std::make_unique<PosixLock>(std::move(fd));
}

// --- INI files ------------------------------------------------------------------

namespace {

// Whole INI files, read up to a bound and replaced by a rename.
class PosixIniFiles : public IniFileAccess {
public:
    bool ReadIniFile(const std::string& path, std::string& content, int& error) override {
        content.clear();
        struct stat st {};
        Fd fd = OpenRegularFile(path, O_RDONLY, 0, error, &st);
        if (!fd.valid()) return false;
        if (st.st_size > Platform::kMaxIniFileSize) return Failed(error, kErrFileTooLarge);
        char buffer[65536];
        for (;;) {
            const ssize_t r = ::read(fd.get(), buffer, sizeof buffer);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) return Failed(error, SystemErrorFromErrno(errno));
            if (r == 0) return true;
            content.append(buffer, static_cast<size_t>(r));
            // A file that grows while it is read is held to the same bound.
            if (content.size() > static_cast<size_t>(Platform::kMaxIniFileSize)) {
                content.clear();
                return Failed(error, kErrFileTooLarge);
            }
        }
    }

    bool WriteIniFile(const std::string& path, const std::string& content, int& error) override {
        // Written beside the file and renamed over it, so that a full disk or a crash
        // leaves the old file whole instead of a truncated one.
        struct stat st {};
        const bool existed = ::stat(path.c_str(), &st) == 0;
        if (existed && (st.st_mode & S_IWUSR) == 0) return Failed(error, kErrAccessDenied);
        // The temporary file is created anew: whatever a killed write or someone
        // else left at its name (a link too) goes first and is never followed.
        const std::string temp = path + ".tmp~";
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        const mode_t mode = existed ? (st.st_mode & 0777) : 0666;
        Fd fd(::open(temp.c_str(), flags, mode));
        if (!fd.valid() && errno == EEXIST && ::unlink(temp.c_str()) == 0) fd = Fd(::open(temp.c_str(), flags, mode));
        if (!fd.valid()) return Failed(error, errno == ENOENT ? kErrPathNotFound : SystemErrorFromErrno(errno));
        if (!WriteAll(fd.get(), content.data(), content.size()) || ::fsync(fd.get()) != 0) {
            const int err = errno;
            fd.reset();
            ::unlink(temp.c_str());
            return Failed(error, SystemErrorFromErrno(err));
        }
        fd.reset();
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            const int err = errno;
            ::unlink(temp.c_str());
            return Failed(error, SystemErrorFromErrno(err));
        }
        return true;
    }

private:
    static bool Failed(int& error, int value) {
        error = value;
        return false;
    }
};

}  // namespace

uint32_t PosixPlatform::GetPrivateProfileString(const char16_t* section, const char16_t* key,
                                                const char16_t* defaultText, char16_t* buffer,
                                                uint32_t size, const std::string& path) {
    PosixIniFiles files;
    return EmulatedGetPrivateProfileString(files, lastError_, section, key, defaultText, buffer, size, path);
}

uint32_t PosixPlatform::GetPrivateProfileInt(const char16_t* section, const char16_t* key,
                                             int32_t defaultValue, const std::string& path) {
    PosixIniFiles files;
    return EmulatedGetPrivateProfileInt(files, lastError_, section, key, defaultValue, path);
}

bool PosixPlatform::WritePrivateProfileString(const char16_t* section, const char16_t* key,
                                              const char16_t* value, const std::string& path) {
    PosixIniFiles files;
    return EmulatedWritePrivateProfileString(files, lastError_, section, key, value, path);
}

std::unique_ptr<Platform> CreateSystemPlatform() { return std::make_unique<PosixPlatform>(); }

}  // namespace tv
