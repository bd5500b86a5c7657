// Emulated cards mounted at drive letters, the same on every system: a card
// takes its letter over from whatever drive the system has there, and serves
// its card files itself; every other file of its root is an ordinary file.
#pragma once

#include <memory>
#include <string>

#include "platform/CardFiles.h"

namespace tv {

class MountedCards {
public:
    // How the system compares the folder of a path with a card's root.
    enum class Names { ExactCase, AnyCase };

    // separators: the characters that end a folder name in a path.
    MountedCards(const char* separators, Names names) : separators_(separators), names_(names) {}

    // Letter A to Z (either case) as 0 to 25; -1 for anything else.
    static int SlotOf(char letter);

    // An empty provider removes the card at the letter again.
    void Mount(char letter, const std::string& root, std::shared_ptr<CardFileProvider> provider);
    bool IsMounted(char letter) const;
    // The drive of the card mounted at letter; false when there is none.
    bool Drive(char letter, DriveInfo& drive) const;
    // Whether a mounted card serves the file at path; file then holds what its
    // provider opened, or nullptr with the provider's error in error.
    bool OpenServed(const std::string& path, std::unique_ptr<File>& file, int& error) const;

private:
    struct Card {
        std::string root;
        std::shared_ptr<CardFileProvider> provider;
    };
    bool SameFolder(const std::string& a, const std::string& b) const;

    const char* separators_;
    Names names_;
    Card cards_[26];
};

}  // namespace tv
