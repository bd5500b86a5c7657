// What a run that was killed while publishing leaves behind, put right by the
// next run or the next start-up of either program: an archive set aside as
// ".bak" whose own name is missing comes back under that name, and temporary
// files of an unfinished publish are removed.
#pragma once

#include <string>

namespace tv {

class AppContext;

// The folder of the data folder where a run writes its files before it
// publishes them: never an archive folder's own name for a file.
std::string RunWorkFolder(AppContext& ctx);

// Looks at the archive folder, at every folder the publishing journal names
// (PublishJournal.h) and at their subfolders, and at the backup folder in the
// data folder; after a run that was killed, its work folder is emptied. Logs
// everything it changes. Returns the number of archives put back.
int RecoverInterruptedPublishing(AppContext& ctx);

}  // namespace tv
