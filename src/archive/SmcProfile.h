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

enum class ProfileCheck { Valid, Absent, Invalid, Unreadable, Unsupported };
// The check when a card is chosen for archiving (the card at ctx.drive). Valid:
// info holds "[Previous archive info: <start> to <end>]". Invalid: the profile
// was set aside. Unsupported: a dX card whose data structure version is not 2
// (message 240 was shown).
ProfileCheck CheckSmcProfile(AppContext& ctx, std::u16string& info);

// Writes the card's section after a successful run; a profile that does not
// belong to the card is set aside first.
bool UpdateSmcProfile(AppContext& ctx, const ProfileRecord& record);

// The card a continue-from-last run reads its section for.
struct ProfileCard {
    std::string smcUid;             // the section "SMC_" + UID
    std::string scaleSerialNumber;
    std::string printableUid;
    bool zt4 = false;
};
// The last archived block number of the card's section, after checking that the
// section belongs to the card (the checks of each family in their order). A
// section that fails is set aside with the whole profile.
bool ReadLastArchivedBlock(AppContext& ctx, int module, const ProfileCard& card, uint32_t& lastBlock);

// Three integers separated by "-": day 1 to 31, month 1 to 12, year above 1969.
bool IsValidProfileDate(const std::u16string& text);

}  // namespace tv
