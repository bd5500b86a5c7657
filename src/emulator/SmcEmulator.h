// The firmware of a Secure Memory Card, played over a card image folder: it
// answers the command sector as a card does and serves the info and store
// sectors from the image, never changing the image. Faults can be injected.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/CardFiles.h"

namespace tv {

class Platform;

struct EmulatorFaults {
    int busyCycles = 0;              // busy answers (status 254) before each final one
    int commandStatus = 255;         // final status of the open-channel and other commands
    int unlockStatus = 255;          // final status of the unlock command
    uint16_t unlockLength = 2;       // payload length of the unlock answer
    uint16_t unlockWord = 0x0000;    // status word of the unlock answer (a wrong PIN gets 0x8003)
    bool rollbackSticks = false;     // the rollback flag stays set after the rollback sector
    bool neverReady = false;         // every answer stays busy
    std::optional<uint32_t> readErrorAtSector;  // a store read touching this global sector fails
};

// Makes the image folder appear as a card at the drive letter.
void MountEmulatedCard(Platform& platform, char letter, const std::string& imageFolder,
                       EmulatorFaults faults = {});

}  // namespace tv
