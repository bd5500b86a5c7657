// The archive folder the user names for one run: whether the run can write its
// files there.
#pragma once

#include <cstddef>
#include <string>

#include "messages/MessageTable.h"

namespace tv {

class AppContext;

// The longest archive folder, in characters, that leaves room for the names a
// run builds inside it: dX 174 with the card's backup and 184 without, ZT4 164
// and 143. `scaleType` is the context's ('1' ZT4, anything else dX).
size_t MaxArchiveFolderLength(char scaleType, bool backupSmcOnArchive);

// 0 when the folder can take this run's files; otherwise the message to show:
// 139 nothing entered, 136 not an existing folder, 220 too long.
MessageId CheckArchiveFolder(AppContext& ctx, const std::u16string& folder);

}  // namespace tv
