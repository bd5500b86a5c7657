#include <cstdio>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "cli/Commands.h"

namespace tv {

int RunSettingsCommand(const CliOptions& options) {
    if (!options.args.empty()) {
        std::fprintf(stderr, "tallyvault-cli: settings takes no arguments\n");
        return kExitUsage;
    }
    RunStartUpSteps();
    const AppContext& ctx = GetAppContext();
    std::printf("archivePath = %s\n", ctx.archivePath.c_str());
    std::printf("profilePath = %s\n", ctx.profilePath.c_str());
    std::printf("logPath = %s\n", ctx.logPath.c_str());
    std::printf("language = %s\n", ctx.language.c_str());
    std::printf("maxArchiveSize = %llu\n", static_cast<unsigned long long>(ctx.maxArchiveSize));
    std::printf("useDefaultArchivePath = %d\n", ctx.useDefaultArchivePath ? 1 : 0);
    std::printf("backupSmcOnArchive = %d\n", ctx.backupSmcOnArchive ? 1 : 0);
    std::printf("yearEnd = %s\n", ctx.yearEnd.c_str());
    std::printf("yearEndDay = %u\n", static_cast<unsigned>(ctx.yearEndDay));
    std::printf("yearEndMonth = %u\n", static_cast<unsigned>(ctx.yearEndMonth));
    std::printf("configuredScaleType = %u\n", static_cast<unsigned>(ctx.configuredScaleType));
    return 0;
}

}  // namespace tv
