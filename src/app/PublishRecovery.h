// What a run that was killed while publishing leaves behind, put right by the
// next run or the next start-up of either program: an archive set aside as
// ".bak" whose own name is missing comes back under that name, and temporary
// files of an unfinished publish are removed.
#pragma once

namespace tv {

class AppContext;

// Looks at the archive folder and its subfolders and at the backup folder in the
// data folder; logs everything it changes. Returns the number of archives put back.
int RecoverInterruptedPublishing(AppContext& ctx);

}  // namespace tv
