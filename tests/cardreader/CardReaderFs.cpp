#include "cardreader/CardReaderFs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/Platform.h"

namespace tv {

namespace {

// What an open of the file system holds: a card file of the emulator, or a
// descriptor of the image folder's file.
struct OpenEntry {
    std::unique_ptr<File> card;
    int fd = -1;
    ~OpenEntry() {
        if (fd >= 0) ::close(fd);
    }
};

// Every open entry, owned here: the kernel may unmount with files still open
// and never release them, and they go with the process's end then.
std::unordered_map<uint64_t, std::unique_ptr<OpenEntry>>& OpenEntries() {
    static std::unordered_map<uint64_t, std::unique_ptr<OpenEntry>> entries;
    return entries;
}

uint64_t Keep(std::unique_ptr<OpenEntry> entry) {
    const uint64_t handle = reinterpret_cast<uint64_t>(entry.get());
    OpenEntries()[handle] = std::move(entry);
    return handle;
}

CardReaderFs& Fs() { return *static_cast<CardReaderFs*>(fuse_get_context()->private_data); }

OpenEntry* EntryOf(fuse_file_info* fi) {
    return fi != nullptr ? reinterpret_cast<OpenEntry*>(fi->fh) : nullptr;
}

// 0, or the negated errno of a failed call.
int Result(int rc) { return rc < 0 ? -errno : 0; }

// The image file behind the card files is never removed, renamed or cut.
bool Protected(const char* path) { return Fs().IsCardFile(path); }

void* Init(fuse_conn_info*, fuse_config* cfg) {
    // Nothing is remembered between calls: the image folder may change beside
    // the mount, and every card file transfer must reach the firmware.
    cfg->entry_timeout = 0;
    cfg->attr_timeout = 0;
    cfg->negative_timeout = 0;
    cfg->use_ino = 1;
    cfg->hard_remove = 1;
    return fuse_get_context()->private_data;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry != nullptr && entry->fd >= 0) return Result(::fstat(entry->fd, st));
    if (::lstat(Fs().ImagePath(path).c_str(), st) != 0) return -errno;
    if (entry != nullptr && entry->card) {
        const int64_t size = entry->card->Size();
        if (size >= 0) st->st_size = size;
    }
    return 0;
}

int ReadLink(const char* path, char* buffer, size_t size) {
    if (size == 0) return -EINVAL;
    const ssize_t n = ::readlink(Fs().ImagePath(path).c_str(), buffer, size - 1);
    if (n < 0) return -errno;
    buffer[n] = '\0';
    return 0;
}

int MakeDirectory(const char* path, mode_t mode) { return Result(::mkdir(Fs().ImagePath(path).c_str(), mode)); }

int Unlink(const char* path) {
    if (Protected(path)) return -EACCES;
    return Result(::unlink(Fs().ImagePath(path).c_str()));
}

int RemoveDirectory(const char* path) { return Result(::rmdir(Fs().ImagePath(path).c_str())); }

int SymLink(const char* target, const char* path) {
    return Result(::symlink(target, Fs().ImagePath(path).c_str()));
}

int Rename(const char* from, const char* to, unsigned int flags) {
    if (Protected(from) || Protected(to)) return -EACCES;
    const std::string a = Fs().ImagePath(from);
    const std::string b = Fs().ImagePath(to);
    return Result(static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), flags)));
}

int Link(const char* from, const char* to) {
    if (Protected(to)) return -EACCES;
    return Result(::link(Fs().ImagePath(from).c_str(), Fs().ImagePath(to).c_str()));
}

int ChangeMode(const char* path, mode_t mode, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry != nullptr && entry->fd >= 0) return Result(::fchmod(entry->fd, mode));
    return Result(::chmod(Fs().ImagePath(path).c_str(), mode));
}

int ChangeOwner(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry != nullptr && entry->fd >= 0) return Result(::fchown(entry->fd, uid, gid));
    return Result(::lchown(Fs().ImagePath(path).c_str(), uid, gid));
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry != nullptr && entry->card) return entry->card->Truncate(size) ? 0 : -EACCES;
    if (entry != nullptr && entry->fd >= 0) return Result(::ftruncate(entry->fd, size));
    if (Protected(path)) return -EACCES;
    return Result(::truncate(Fs().ImagePath(path).c_str(), size));
}

int SetTimes(const char* path, const struct timespec times[2], fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry != nullptr && entry->fd >= 0) return Result(::futimens(entry->fd, times));
    return Result(::utimensat(AT_FDCWD, Fs().ImagePath(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

// A card file as its firmware serves it. The card file systems cannot cache:
// every read of the command sector must reach the card.
int OpenCard(const char* path, fuse_file_info* fi) {
    int error = 0;
    auto entry = std::make_unique<OpenEntry>();
    entry->card = Fs().Card().OpenCardFile(path + 1, error);
    if (!entry->card) return -ErrnoFromSystemError(error);
    if ((fi->flags & O_TRUNC) != 0 && !entry->card->Truncate(0)) return -EACCES;
    fi->direct_io = 1;
    fi->keep_cache = 0;
    fi->fh = Keep(std::move(entry));
    return 0;
}

// The image's own file; the image folder's file system need not know direct
// transfers (this file system's cache is bypassed where asked).
int OpenImageFile(const char* path, fuse_file_info* fi, bool create, mode_t mode) {
    const int flags = (fi->flags & ~O_DIRECT) | O_CLOEXEC | (create ? O_CREAT : 0);
    const int fd = ::open(Fs().ImagePath(path).c_str(), flags, mode);
    if (fd < 0) return -errno;
    auto entry = std::make_unique<OpenEntry>();
    entry->fd = fd;
    fi->fh = Keep(std::move(entry));
    return 0;
}

int Open(const char* path, fuse_file_info* fi) {
    if (Fs().IsCardFile(path)) return OpenCard(path, fi);
    return OpenImageFile(path, fi, false, 0);
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
    if (Fs().IsCardFile(path)) {
        // A card's firmware files are there or not; they are never made.
        struct stat st {};
        if (::lstat(Fs().ImagePath(path).c_str(), &st) != 0) return -EACCES;
        if ((fi->flags & O_EXCL) != 0) return -EEXIST;
        return OpenCard(path, fi);
    }
    return OpenImageFile(path, fi, true, mode);
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry->fd >= 0) {
        const ssize_t n = ::pread(entry->fd, buffer, size, offset);
        return n < 0 ? -errno : static_cast<int>(n);
    }
    if (!entry->card->Seek(offset)) return -EINVAL;
    size_t done = 0;
    while (done < size) {
        const int64_t got = entry->card->Read(buffer + done, size - done);
        if (got < 0) return -EIO;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<int>(done);
}

int Write(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry->fd >= 0) {
        const ssize_t n = ::pwrite(entry->fd, buffer, size, offset);
        return n < 0 ? -errno : static_cast<int>(n);
    }
    if (!entry->card->Seek(offset)) return -EINVAL;
    return entry->card->Write(buffer, size) ? static_cast<int>(size) : -EIO;
}

int StatFs(const char*, struct statvfs* st) { return Result(::statvfs(Fs().ImagePath("/").c_str(), st)); }

int Release(const char*, fuse_file_info* fi) {
    if (fi != nullptr) OpenEntries().erase(fi->fh);
    return 0;
}

int Sync(const char*, int dataOnly, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry == nullptr || entry->fd < 0) return 0;  // the card's transfers are never held back
    return Result(dataOnly != 0 ? ::fdatasync(entry->fd) : ::fsync(entry->fd));
}

int Allocate(const char*, int mode, off_t offset, off_t length, fuse_file_info* fi) {
    OpenEntry* entry = EntryOf(fi);
    if (entry == nullptr || entry->fd < 0) return -EOPNOTSUPP;
    return Result(::fallocate(entry->fd, mode, offset, length));
}

int SetXattr(const char* path, const char* name, const char* value, size_t size, int flags) {
    return Result(::lsetxattr(Fs().ImagePath(path).c_str(), name, value, size, flags));
}

int GetXattr(const char* path, const char* name, char* value, size_t size) {
    const ssize_t n = ::lgetxattr(Fs().ImagePath(path).c_str(), name, value, size);
    return n < 0 ? -errno : static_cast<int>(n);
}

int ListXattr(const char* path, char* list, size_t size) {
    const ssize_t n = ::llistxattr(Fs().ImagePath(path).c_str(), list, size);
    return n < 0 ? -errno : static_cast<int>(n);
}

int RemoveXattr(const char* path, const char* name) {
    return Result(::lremovexattr(Fs().ImagePath(path).c_str(), name));
}

int ReadDirectory(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
                  fuse_readdir_flags) {
    DIR* dir = ::opendir(Fs().ImagePath(path).c_str());
    if (dir == nullptr) return -errno;
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (e == nullptr) {
            error = errno;
            break;
        }
        struct stat st {};
        st.st_ino = e->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(e->d_type));
        if (fill(buffer, e->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0)) != 0) break;
    }
    ::closedir(dir);
    return -error;
}

int Access(const char* path, int mask) { return Result(::access(Fs().ImagePath(path).c_str(), mask)); }

fuse_operations MakeOperations() {
    fuse_operations ops{};
    ops.init = Init;
    ops.getattr = GetAttr;
    ops.readlink = ReadLink;
    ops.mkdir = MakeDirectory;
    ops.unlink = Unlink;
    ops.rmdir = RemoveDirectory;
    ops.symlink = SymLink;
    ops.rename = Rename;
    ops.link = Link;
    ops.chmod = ChangeMode;
    ops.chown = ChangeOwner;
    ops.truncate = Truncate;
    ops.utimens = SetTimes;
    ops.open = Open;
    ops.create = Create;
    ops.read = Read;
    ops.write = Write;
    ops.statfs = StatFs;
    ops.release = Release;
    ops.fsync = Sync;
    ops.fallocate = Allocate;
    ops.setxattr = SetXattr;
    ops.getxattr = GetXattr;
    ops.listxattr = ListXattr;
    ops.removexattr = RemoveXattr;
    ops.readdir = ReadDirectory;
    ops.access = Access;
    return ops;
}

}  // namespace

CardReaderFs::CardReaderFs(std::string imageFolder, EmulatorFaults faults)
    : folder_(std::move(imageFolder)), platform_(CreateSystemPlatform()) {
    while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    card_ = std::make_shared<SmcEmulator>(*platform_, folder_, faults);
}

CardReaderFs::~CardReaderFs() = default;

const fuse_operations& CardReaderFs::Operations() {
    static const fuse_operations ops = MakeOperations();
    return ops;
}

bool CardReaderFs::IsCardFile(const char* path) const {
    return path[0] == '/' && std::strchr(path + 1, '/') == nullptr && card_->Serves(path + 1);
}

int ErrnoFromSystemError(int error) {
    switch (error) {
        case kErrFileNotFound:
        case kErrPathNotFound: return ENOENT;
        case kErrAccessDenied: return EACCES;
        case kErrSharingViolation: return EBUSY;
        case kErrNotEnoughMemory: return ENOMEM;
        case kErrInvalidParameter: return EINVAL;
        case kErrFilenameTooLong: return ENAMETOOLONG;
        default: return EIO;
    }
}

}  // namespace tv
