// The drive table and what stands behind an emulated card's drive letter.
#pragma once

#include <memory>
#include <string>

namespace tv {

class File;

enum class DriveType {
    NoRoot,     // nothing at this letter
    Removable,  // a removable drive (card readers, USB sticks, emulated cards)
    Unknown,    // a drive whose kind the system cannot tell
    Other,      // fixed, network, optical ... drives: never searched for cards
};

struct DriveInfo {
    char letter = 0;
    std::string root;  // the folder at the drive's root, without a trailing separator
    DriveType type = DriveType::NoRoot;
};

// Serves the card files of an emulated card: the files that a card's firmware
// answers through (WORMINFO.DAT, WORMCOMM.DAT, the store files). Every other
// file of the card's root is an ordinary file of its root folder.
class CardFileProvider {
public:
    virtual ~CardFileProvider() = default;
    // Whether name is one of the files this provider serves (names compared
    // without regard to case).
    virtual bool Serves(const std::string& name) const = 0;
    // Opens a served file; nullptr with the system error in error.
    virtual std::unique_ptr<File> OpenCardFile(const std::string& name, int& error) = 0;
};

}  // namespace tv
