// Archive.log in the card's open area: the record of every ZT4 archive file made
// from the card, signed by the system.
#pragma once

#include <string>

namespace tv {

class AppContext;

// When a ZT4 card is chosen for archiving: archiveLogState 0 when the card has
// no Archive.log, 2 when its first line carries the card's UID, 1 (with message
// 275) when it carries another or is too short. False when the log cannot be read.
bool CheckArchiveLogUid(AppContext& ctx, const std::string& logPath);

}  // namespace tv
