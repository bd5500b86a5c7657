// SMCProfile.ini: what the last archive run of each card covered.
#pragma once

#include <string>

#include "archive/BaseArchiver.h"

namespace tv {

class AppContext;
class ResultList;

// profilePath (or the data folder) + "SMCProfile.ini"; false when the name
// would not fit in 260 characters.
bool SmcProfilePath(AppContext& ctx, std::string& path);

// Creates the file empty when it is missing.
bool EnsureSmcProfileFile(AppContext& ctx, ResultList* results);

enum class ProfileCheck { Valid, Absent, Invalid, Unreadable };
// The check when a card is chosen for archiving (the card at ctx.drive). Valid:
// info holds "[Previous archive info: <start> to <end>]". Invalid: the profile
// was set aside.
ProfileCheck CheckSmcProfile(AppContext& ctx, std::u16string& info);

// Writes the card's section after a successful run; a profile that does not
// belong to the card is set aside first.
bool UpdateSmcProfile(AppContext& ctx, const ProfileRecord& record);

// Three integers separated by "-": day 1 to 31, month 1 to 12, year above 1969.
bool IsValidProfileDate(const std::u16string& text);

}  // namespace tv
