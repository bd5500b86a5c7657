#include "cli/CardSelection.h"

#include <algorithm>
#include <cctype>

#include "smc/SmcDiscovery.h"

namespace tv {

bool TakeCardOption(const std::vector<std::string>& args, size_t& i, char& letter) {
    if (args[i] != "--card" || i + 1 >= args.size() || args[i + 1].size() != 1 ||
        std::isalpha(static_cast<unsigned char>(args[i + 1][0])) == 0) {
        return false;
    }
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(args[++i][0])));
    return true;
}

std::string CardEntryOf(AppContext& ctx, char letter, bool& damaged) {
    const SmcList list = ScanSmcDrives(ctx);
    damaged = std::find(list.damaged.begin(), list.damaged.end(), letter) != list.damaged.end();
    for (size_t i = 1; list.cardFound && i < list.entries.size(); ++i) {
        if (DriveOfEntry(list.entries[i]) == letter) return list.entries[i];
    }
    return {};
}

}  // namespace tv
