#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "emulator/CardExtension.h"
#include "emulator/CardGenerator.h"
#include "emulator/CardOptions.h"

namespace tv {

namespace {

// make-card --extend DIR --days N: the days a scale adds between two archive runs.
bool ParseExtendArguments(const std::vector<std::string>& args, std::string& folder, uint32_t& days) {
    bool daysGiven = false;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--extend") {
            folder = args[i + 1];
        } else if (args[i] == "--days") {
            const std::string& v = args[i + 1];
            if (v.empty() || v.size() > 5 || v.find_first_not_of("0123456789") != std::string::npos) return false;
            days = static_cast<uint32_t>(std::stoul(v));
            daysGiven = days > 0;
        } else {
            return false;
        }
    }
    return args.size() % 2 == 0 && !folder.empty() && daysGiven;
}

}  // namespace

int RunMakeCardCommand(const CliOptions& options) {
    CardOptions card;
    std::string folder;
    std::string error;
    CardSummary summary;
    const bool extend = std::find(options.args.begin(), options.args.end(), "--extend") != options.args.end();
    if (extend) {
        uint32_t days = 0;
        if (!ParseExtendArguments(options.args, folder, days)) {
            std::fprintf(stderr, "tallyvault-cli: make-card --extend DIR --days N (N from 1 to 99999)\n");
            return kExitUsage;
        }
        if (!ExtendCard(folder, days, summary, error)) {
            std::fprintf(stderr, "tallyvault-cli: make-card failed: %s\n", error.c_str());
            return 1;
        }
    } else {
        if (!ParseCardArguments(options.args, card, folder, error)) {
            std::fprintf(stderr, "tallyvault-cli: %s\n", error.c_str());
            return kExitUsage;
        }
        if (!GenerateCard(card, folder, summary, error)) {
            std::fprintf(stderr, "tallyvault-cli: make-card failed: %s\n", error.c_str());
            return 1;
        }
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
