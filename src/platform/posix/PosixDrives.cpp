// The drive table and card files of the POSIX platform. Removable file systems
// get drive letters from D on in the order of the mount table; emulated cards
// keep the letters they were mounted at.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/posix/PosixPlatform.h"

namespace tv {

namespace {

// The mount table escapes blanks and a few other characters as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out.push_back(static_cast<char>(std::strtol(s.substr(i + 1, 3).c_str(), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

bool ReadsOne(const std::string& path) {
    std::ifstream in(path);
    std::string value;
    return static_cast<bool>(in >> value) && value == "1";
}

// Whether the block device behind a mount source is removable (SD and MMC
// slots count as removable even when their driver does not say so).
bool IsRemovableDevice(const std::string& source) {
    if (source.rfind("/dev/", 0) != 0) return false;
    const std::string name = source.substr(5);
    if (name.find('/') != std::string::npos) return false;
    if (name.rfind("mmcblk", 0) == 0) return true;
    const std::string sys = "/sys/class/block/" + name;
    if (ReadsOne(sys + "/removable")) return true;
    char resolved[PATH_MAX];
    if (::realpath(sys.c_str(), resolved) == nullptr) return false;
    const std::string device(resolved);
    const size_t slash = device.find_last_of('/');
    return slash != std::string::npos && ReadsOne(device.substr(0, slash) + "/removable");
}

}  // namespace

std::vector<DriveInfo> PosixPlatform::RemovableMounts() {
    std::vector<DriveInfo> drives;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    char next = 'D';
    while (std::getline(in, line) && next <= 'Z') {
        std::istringstream fields(line);
        std::string id, parent, devno, root, mountPoint;
        fields >> id >> parent >> devno >> root >> mountPoint;
        std::string field;
        while (fields >> field && field != "-") {
        }
        std::string fsType, source;
        fields >> fsType >> source;
        if (!IsRemovableDevice(source)) continue;
        while (next <= 'Z' && mounted_.IsMounted(next)) ++next;
        if (next > 'Z') break;
        drives.push_back(DriveInfo{next, Unescape(mountPoint), DriveType::Removable});
        ++next;
    }
    return drives;
}

// The kernel marks the mount table with POLLPRI after every mount and unmount.
int PosixPlatform::DeviceChangeHandle() {
    if (mountWatch_ < 0) mountWatch_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    return mountWatch_;
}

PosixPlatform::~PosixPlatform() {
    if (mountWatch_ >= 0) ::close(mountWatch_);
}

DriveInfo PosixPlatform::GetDrive(char letter) {
    const int slot = MountedCards::SlotOf(letter);
    if (slot < 0) return {};
    DriveInfo drive;
    if (mounted_.Drive(letter, drive)) return drive;
    const char up = static_cast<char>('A' + slot);
    for (const DriveInfo& d : RemovableMounts()) {
        if (d.letter == up) return d;
    }
    return DriveInfo{up, {}, DriveType::NoRoot};
}

void PosixPlatform::MountCard(char letter, const std::string& root,
                              std::shared_ptr<CardFileProvider> provider) {
    mounted_.Mount(letter, root, std::move(provider));
}

std::unique_ptr<File> PosixPlatform::OpenSectorFile(const std::string& path) {
    std::unique_ptr<File> served;
    int error = 0;
    if (mounted_.OpenServed(path, served, error)) {
        if (!served) lastError_ = error;
        return served;
    }
    // A real card: the firmware sees every transfer, so nothing is cached. File
    // systems without direct I/O still get write-through.
    int fd = OpenRegularDescriptor(path, O_RDWR | O_DIRECT | O_SYNC, error);
    if (fd < 0 && error == kErrInvalidParameter) fd = OpenRegularDescriptor(path, O_RDWR | O_SYNC, error);
    if (fd < 0) {
        lastError_ = error;
        return nullptr;
    }
    return WrapDescriptor(fd);
}

}  // namespace tv
