#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "emulator/CardGenerator.h"
#include "emulator/CardOptions.h"

namespace tv {

int RunMakeCardCommand(const CliOptions& options) {
    CardOptions card;
    std::string folder;
    std::string error;
    if (!ParseCardArguments(options.args, card, folder, error)) {
        std::fprintf(stderr, "tallyvault-cli: %s\n", error.c_str());
        return kExitUsage;
    }
    CardSummary summary;
    if (!GenerateCard(card, folder, summary, error)) {
        std::fprintf(stderr, "tallyvault-cli: make-card failed: %s\n", error.c_str());
        return 1;
    }
    std::printf("Card image: %s\n", folder.c_str());
    std::printf("Family: %s\n", FamilyName(summary.family));
    std::printf("Blocks: %u\n", summary.blockCount);
    std::printf("Sectors used: %u of %u\n", summary.sectorsUsed, summary.totalSectors);
    std::printf("First date: %s\n", summary.firstDate.empty() ? "-" : summary.firstDate.c_str());
    std::printf("Last date: %s\n", summary.lastDate.empty() ? "-" : summary.lastDate.c_str());
    if (summary.damagedBlock >= 0) {
        std::printf("Damaged block: %lld (%s)\n", static_cast<long long>(summary.damagedBlock),
                    DamageName(card.damage));
    }
    return 0;
}

}  // namespace tv
