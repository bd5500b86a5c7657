// Finding the cards among the drives, naming them in the card list, the fill
// level of the selected card, and the identification of the chosen card.
#pragma once

#include <string>
#include <vector>

namespace tv {

class AppContext;
struct WormUsage;

enum class SmcPurpose { Archiving, Verification };

struct SmcList {
    std::vector<std::string> entries;  // placeholder first, then "<printable UID> (E:)"
    bool cardFound = false;            // false: the list holds "<Insert SMC>" and is disabled
    // Drives that hold the card files of a card that cannot be used (store files
    // that do not fit together, a damaged info sector): not listed, but told.
    std::vector<char> damaged;
};

// Builds the card list; leaves no card open. Damaged cards are logged and told
// (message 206) once per scan.
SmcList ScanSmcDrives(AppContext& ctx);

struct SmcFillLevel {
    bool shown = false;  // no level is shown while at least 25 MiB are free
    int percent = 0;     // 0 to 100
    bool full = false;   // shown as 100 % in red
    bool damaged = false;  // the next write index lies past the store: shown full
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

// Whether the counters of a card point past its store (a damaged card).
bool WritesPastStore(const WormUsage& usage);

// The drive letter of a list entry: the third character from the end.
char DriveOfEntry(const std::string& entry);

}  // namespace tv
