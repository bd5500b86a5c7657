// One archive run as the run pages carry it out: the run, the question whether
// to stop at the last closure when the newest receipts are not closed (and the
// second run), the clean-up after a failed run, and the texts that tell the
// outcome. Shared by the wizard and the command line.
#pragma once

#include <string>

namespace tv {

class AppContext;
class ProgressView;
class ResultList;
class StatusView;

struct ArchiveRunOutcome {
    bool success = false;
    int result = 11;
    std::u16string statusText;   // "Archive(s) created successfully." / "Creation of archive(s) failed."
    std::u16string messageLine;  // the reason of a failure, by result code; may be empty
    // The user kept an existing archive in a folder chosen for this run: the
    // path page comes back so that another folder can be chosen.
    bool backToPath = false;
};

// Runs the context's current archiver. A date-based run whose range could not be
// prepared (dateRangeUnavailable) is not run: it fails with the code the
// preparation left (11 when it left none), and its outcome tells why.
ArchiveRunOutcome RunCurrentArchiver(AppContext& ctx, ProgressView* progress, ResultList* results,
                                     StatusView* status);

// The message line of a failed run's result code.
std::u16string ArchiveResultMessage(AppContext& ctx, int result);

}  // namespace tv
