// Finding the cards among the drives, naming them in the card list, the fill
// level of the selected card, and the identification of the chosen card.
#pragma once

#include <string>
#include <vector>

namespace tv {

class AppContext;

enum class SmcPurpose { Archiving, Verification };

struct SmcList {
    std::vector<std::string> entries;  // placeholder first, then "<printable UID> (E:)"
    bool cardFound = false;            // false: the list holds "<Insert SMC>" and is disabled
};

// Builds the card list; leaves no card open.
SmcList ScanSmcDrives(AppContext& ctx);

struct SmcFillLevel {
    bool shown = false;  // no level is shown while at least 25 MiB are free
    int percent = 0;
    bool full = false;   // shown as 100 % in red
};
// Opens the card of the entry and computes the fill level shown under the list.
bool ShowSmcFillLevel(AppContext& ctx, const std::string& entry, SmcFillLevel& level);

enum class SmcIdentity {
    Accepted,  // go on to the next page
    Stay,      // stay on the page (a read failed)
    Refused,   // stay with Next disabled (the user was told why)
};
// Identifies the chosen card; leaves it open in data mode when accepted.
SmcIdentity IdentifySmc(AppContext& ctx, const std::string& entry, SmcPurpose purpose);

// 1 continue, 0 read failure, -1 refused.
int CheckScaleFamily(AppContext& ctx, SmcPurpose purpose);

// The drive letter of a list entry: the third character from the end.
char DriveOfEntry(const std::string& entry);

}  // namespace tv
