#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "cli/CommandOutput.h"
#include "cli/Commands.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"
#include "store/StoreText.h"

namespace tv {

namespace {

const char* FamilyName(AppContext& ctx) {
    uint8_t sector[513] = {};
    if (!GetSmcBlocks(ctx, 1, sector, 0)) return "unreadable";
    switch (DetectScaleFamily(sector, 512)) {
        case ScaleFamily::Dx: return "dX";
        case ScaleFamily::Zt4: return "ZT4";
        default: return "unsupported";
    }
}

}  // namespace

int RunCardsCommand(const CliOptions& options) {
    if (!options.args.empty()) {
        std::fprintf(stderr, "tallyvault-cli: cards takes no arguments\n");
        return kExitUsage;
    }
    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    const SmcList list = ScanSmcDrives(ctx);
    CommandOutput out("cards", options.json);
    nlohmann::json& cards = out.Doc()["cards"] = nlohmann::json::array();
    if (!list.cardFound && list.damaged.empty()) {
        std::fprintf(stderr, "no card found (%s)\n", list.entries.empty() ? "" : list.entries[0].c_str());
        return out.Finish(0);
    }
    for (size_t i = 1; list.cardFound && i < list.entries.size(); ++i) {
        const std::string& entry = list.entries[i];
        SmcFillLevel level;
        std::string family = "unreadable";
        std::string fill;
        if (ShowSmcFillLevel(ctx, entry, level)) {
            family = level.damaged ? "corrupt" : FamilyName(ctx);
            if (level.shown) fill = std::to_string(level.percent) + "%" + (level.full ? " full" : "");
        }
        CloseSmc(ctx);
        if (out.Json()) {
            const size_t open = entry.rfind('(');
            cards.push_back({{"entry", JsonText(entry)},
                             {"drive", open != std::string::npos && open + 1 < entry.size() ? entry.substr(open + 1, 1) : ""},
                             {"family", family},
                             {"fillPercent", level.shown ? nlohmann::json(level.percent) : nlohmann::json()},
                             {"full", level.shown && level.full}});
        } else {
            std::printf("%s\t%s\t%s\n", entry.c_str(), family.c_str(), fill.c_str());
        }
    }
    // A damaged card has no printable UID to show: its line names the drive only.
    for (char letter : list.damaged) {
        if (out.Json()) {
            cards.push_back({{"entry", "(" + std::string(1, letter) + ":)"},
                             {"drive", std::string(1, letter)},
                             {"family", "corrupt"},
                             {"fillPercent", nullptr},
                             {"full", false}});
        } else {
            std::printf("(%c:)\tcorrupt\t\n", letter);
        }
    }
    return out.Finish(0);
}

}  // namespace tv
