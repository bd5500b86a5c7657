#include "app/PublishJournal.h"

#include <algorithm>

#include "log/LogFile.h"
#include "platform/Platform.h"

namespace tv {

namespace {

constexpr char kJournalName[] = "Publishing.journal";
// A journal names a handful of folders; anything longer is not one of ours.
constexpr size_t kMaxJournalSize = 64 * 1024;

}  // namespace

std::string JournalPath(Platform& p, const std::string& dataFolder) { return p.JoinPath(dataFolder, kJournalName); }

std::vector<std::string> JournalFolders(Platform& p, const std::string& journal) {
    std::vector<std::string> folders;
    std::unique_ptr<File> file = p.OpenFile(journal, OpenMode::Read);
    if (!file) return folders;
    std::string text(kMaxJournalSize, '\0');
    size_t length = 0;
    while (length < text.size()) {
        const int64_t got = file->Read(text.data() + length, text.size() - length);
        if (got <= 0) break;
        length += static_cast<size_t>(got);
    }
    text.resize(length);
    // One folder a line; only whole lines count.
    size_t at = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", at)) {
        std::string folder = text.substr(at, end - at);
        if (!folder.empty() && folder.find('\0') == std::string::npos &&
            std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(std::move(folder));
        }
        at = end + 2;
    }
    return folders;
}

bool WriteJournalFolders(Platform& p, const std::string& journal, const std::vector<std::string>& folders) {
    if (folders.empty()) return p.RemoveLeftover(journal);
    std::string text;
    for (const std::string& folder : folders) text += folder + "\r\n";
    // Written beside the journal and renamed onto it: the journal is whole or as it was.
    const std::string temp = Platform::PublishTempName(journal);
    if (!p.RemoveLeftover(temp)) return false;
    std::unique_ptr<File> file = p.OpenFile(temp, OpenMode::CreateNew);
    const bool written = file && file->Write(text.data(), text.size());
    file.reset();
    if (written && p.ReplaceFile(temp, journal)) return true;
    p.RemoveLeftover(temp);
    return false;
}

PublishingNote::PublishingNote(Platform& p, const std::string& dataFolder, std::string folder)
    : p_(p), journal_(JournalPath(p, dataFolder)), folder_(std::move(folder)) {
    std::vector<std::string> folders = JournalFolders(p_, journal_);
    if (folder_.empty() || std::find(folders.begin(), folders.end(), folder_) != folders.end()) return;
    folders.push_back(folder_);
    added_ = WriteJournalFolders(p_, journal_, folders);
    if (!added_) TV_LOG_WARNING(kModCore, "Publishing journal could not be written : " + journal_);
}

PublishingNote::~PublishingNote() {
    if (!added_) return;
    std::vector<std::string> folders = JournalFolders(p_, journal_);
    folders.erase(std::remove(folders.begin(), folders.end(), folder_), folders.end());
    if (!WriteJournalFolders(p_, journal_, folders)) {
        TV_LOG_WARNING(kModCore, "Publishing journal could not be updated : " + journal_);
    }
}

}  // namespace tv
