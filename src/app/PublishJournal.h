// Where runs are publishing, noted in the data folder for as long as a run
// lasts. A run that is killed leaves the note behind, and the next start-up of
// either program puts right every folder it names — also one that was chosen
// for that run only and is not the configured archive folder.
#pragma once

#include <string>
#include <vector>

namespace tv {

class Platform;

// The journal of a data folder.
std::string JournalPath(Platform& p, const std::string& dataFolder);
// The folders the journal names (none when there is no journal).
std::vector<std::string> JournalFolders(Platform& p, const std::string& journal);
// Replaces the journal by one naming these folders; no folders: no journal.
bool WriteJournalFolders(Platform& p, const std::string& journal, const std::vector<std::string>& folders);

// Adds a folder to the journal of the data folder for the life of the object:
// created before a run changes anything in the folder, gone once it has
// finished there. Holds no context: a program that ends while it exists
// leaves the note for the next start-up.
class PublishingNote {
public:
    PublishingNote(Platform& p, const std::string& dataFolder, std::string folder);
    ~PublishingNote();
    PublishingNote(const PublishingNote&) = delete;
    PublishingNote& operator=(const PublishingNote&) = delete;

private:
    Platform& p_;
    std::string journal_;
    std::string folder_;
    bool added_ = false;  // the folder was not in the journal already
};

}  // namespace tv
