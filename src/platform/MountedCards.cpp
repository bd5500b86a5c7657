#include "platform/MountedCards.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Platform.h"

namespace tv {

int MountedCards::SlotOf(char letter) {
    const int up = std::toupper(static_cast<unsigned char>(letter));
    return up >= 'A' && up <= 'Z' ? up - 'A' : -1;
}

void MountedCards::Mount(char letter, const std::string& root, std::shared_ptr<CardFileProvider> provider) {
    const int slot = SlotOf(letter);
    if (slot < 0) return;
    std::string folder = provider ? root : std::string();
    while (folder.size() > 1 && std::strchr(separators_, folder.back()) != nullptr) folder.pop_back();
    cards_[slot] = Card{std::move(folder), std::move(provider)};
}

bool MountedCards::IsMounted(char letter) const {
    const int slot = SlotOf(letter);
    return slot >= 0 && cards_[slot].provider != nullptr;
}

bool MountedCards::Drive(char letter, DriveInfo& drive) const {
    if (!IsMounted(letter)) return false;
    const int slot = SlotOf(letter);
    drive = DriveInfo{static_cast<char>('A' + slot), cards_[slot].root, DriveType::Removable};
    return true;
}

bool MountedCards::SameFolder(const std::string& a, const std::string& b) const {
    if (names_ == Names::ExactCase) return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool MountedCards::OpenServed(const std::string& path, std::unique_ptr<File>& file, int& error) const {
    const size_t end = path.find_last_of(separators_);
    if (end == std::string::npos) return false;
    const std::string folder = path.substr(0, end);
    const std::string name = path.substr(end + 1);
    for (const Card& card : cards_) {
        if (card.provider && SameFolder(card.root, folder) && card.provider->Serves(name)) {
            error = 0;
            file = card.provider->OpenCardFile(name, error);
            return true;
        }
    }
    return false;
}

}  // namespace tv
