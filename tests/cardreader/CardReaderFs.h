// A card reader stand-in: a FUSE file system that shows a card image folder as
// the root of an inserted card. The card files (WORMINFO.DAT, WORMCOMM.DAT, the
// store files) are answered by the card emulator as the card's firmware answers
// them; everything else is the image folder itself.
#pragma once

#define FUSE_USE_VERSION 35
#include <fuse.h>

#include <memory>
#include <string>

#include "emulator/SmcEmulator.h"

namespace tv {

class Platform;

class CardReaderFs {
public:
    // imageFolder: an absolute path.
    CardReaderFs(std::string imageFolder, EmulatorFaults faults);
    ~CardReaderFs();
    CardReaderFs(const CardReaderFs&) = delete;
    CardReaderFs& operator=(const CardReaderFs&) = delete;

    // The operations to hand to fuse_new with this object as its user data.
    static const fuse_operations& Operations();

    // The image folder's path of a path inside the file system.
    std::string ImagePath(const char* path) const { return folder_ + path; }
    // Whether a path names one of the card files the firmware answers (they
    // lie at the root only).
    bool IsCardFile(const char* path) const;
    SmcEmulator& Card() { return *card_; }

private:
    std::string folder_;
    std::unique_ptr<Platform> platform_;
    std::shared_ptr<SmcEmulator> card_;
};

// The errno value of a system error number of the platform interface.
int ErrnoFromSystemError(int error);

}  // namespace tv
