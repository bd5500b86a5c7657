// tv_card_reader [--busy-cycles N] IMAGE_FOLDER MOUNT_POINT
//
// Shows a card image folder at MOUNT_POINT as a card in a reader would show it,
// in the foreground, until SIGTERM, SIGINT or SIGHUP unmounts it again.
// Exit status: 0 after a clean unmount, 1 when it cannot mount, 2 for wrong use.
#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cardreader/CardReaderFs.h"

namespace {

// Ends the FUSE objects in the order they were made, on every path out.
class Mount {
public:
    explicit Mount(fuse* f) : fuse_(f) {}
    ~Mount() {
        if (fuse_ == nullptr) return;
        if (handlers_) fuse_remove_signal_handlers(fuse_get_session(fuse_));
        if (mounted_) fuse_unmount(fuse_);
        fuse_destroy(fuse_);
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;

    bool Attach(const char* mountPoint) {
        mounted_ = fuse_mount(fuse_, mountPoint) == 0;
        return mounted_;
    }
    bool CatchSignals() {
        handlers_ = fuse_set_signal_handlers(fuse_get_session(fuse_)) == 0;
        return handlers_;
    }
    fuse* get() const { return fuse_; }

private:
    fuse* fuse_;
    bool mounted_ = false;
    bool handlers_ = false;
};

int Usage() {
    std::fprintf(stderr, "usage: tv_card_reader [--busy-cycles N] IMAGE_FOLDER MOUNT_POINT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    tv::EmulatorFaults faults;
    int arg = 1;
    if (arg + 1 < argc && std::strcmp(argv[arg], "--busy-cycles") == 0) {
        char* end = nullptr;
        const long cycles = std::strtol(argv[arg + 1], &end, 10);
        if (*end != '\0' || cycles < 0 || cycles > 1000) return Usage();
        faults.busyCycles = static_cast<int>(cycles);
        arg += 2;
    }
    if (argc - arg != 2) return Usage();
    char image[PATH_MAX];
    struct stat st {};
    if (::realpath(argv[arg], image) == nullptr || ::stat(image, &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "tv_card_reader: %s is not a folder\n", argv[arg]);
        return 2;
    }
    const char* mountPoint = argv[arg + 1];

    tv::CardReaderFs fs(image, faults);
    // Files are made with the modes asked for, not this process's mask.
    ::umask(0);
    char name[] = "tv_card_reader";
    char optionFlag[] = "-o";
    char options[] = "fsname=tv_card_reader,subtype=tvcard";
    char* fuseArgv[] = {name, optionFlag, options, nullptr};
    fuse_args args = FUSE_ARGS_INIT(3, fuseArgv);
    // fuse_new may copy the arguments into memory of its own, freed here on every way out.
    struct ArgsOwner {
        fuse_args& args;
        ~ArgsOwner() { fuse_opt_free_args(&args); }
    } argsOwner{args};
    Mount mount(fuse_new(&args, &tv::CardReaderFs::Operations(), sizeof(fuse_operations), &fs));
    if (mount.get() == nullptr) {
        std::fprintf(stderr, "tv_card_reader: the file system cannot be set up\n");
        return 1;
    }
    if (!mount.Attach(mountPoint)) {
        std::fprintf(stderr, "tv_card_reader: cannot mount at %s\n", mountPoint);
        return 1;
    }
    if (!mount.CatchSignals()) {
        std::fprintf(stderr, "tv_card_reader: cannot catch the signals that unmount\n");
        return 1;
    }
    std::printf("tv_card_reader: %s is a card at %s\n", image, mountPoint);
    std::fflush(stdout);
    // One request at a time: the card answers commands in the order they come.
    // The loop ends with the number of the signal that ended it, or 0 when the
    // file system was unmounted from outside; both are clean ends.
    const int rc = fuse_loop(mount.get());
    return rc >= 0 ? 0 : 1;
}
