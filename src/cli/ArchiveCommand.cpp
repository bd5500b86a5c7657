#include <cctype>
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "cli/CardSelection.h"
#include "cli/Commands.h"
#include "cli/ResultPrinter.h"
#include "cli/TerminalUi.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"

namespace tv {

namespace {

class SilentStatus : public StatusView {
public:
    void SetText(const std::u16string&) override {}
};

}  // namespace

int RunArchiveCommand(const CliOptions& options) {
    const char* usage = "tallyvault-cli archive complete --card L [--to DIR]\n";
    if (options.args.empty() || options.args[0] != "complete") {
        std::fprintf(stderr, "tallyvault-cli: %s", usage);
        return kExitUsage;
    }
    char letter = 0;
    std::string to;
    for (size_t i = 1; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        const bool hasValue = i + 1 < options.args.size();
        if (TakeCardOption(options.args, i, letter)) continue;
        if (arg == "--to" && hasValue) {
            to = options.args[++i];
        } else {
            std::fprintf(stderr, "tallyvault-cli: %s", usage);
            return kExitUsage;
        }
    }
    if (letter == 0) {
        std::fprintf(stderr, "tallyvault-cli: %s", usage);
        return kExitUsage;
    }

    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    ctx.operation = 1;
    if (!to.empty()) {
        if (!ctx.platform.IsDirectory(to)) {
            std::printf("%s (%s)\n", ToNarrow(GetMessageText(150)).c_str(), to.c_str());
            return kArchiveFolderMissing;
        }
        ctx.archivePath = ctx.platform.WithTrailingSeparator(to);
    }
    const std::string entry = CardEntryOf(ctx, letter);
    if (entry.empty()) {
        std::printf("%s\n", ToNarrow(GetMessageText(213)).c_str());
        return kArchiveUsageUnreadable;
    }
    if (IdentifySmc(ctx, entry, SmcPurpose::Archiving) != SmcIdentity::Accepted) {
        std::printf("refused: %s\n", entry.c_str());
        return 1;
    }
    SetArchiveType(ctx, 1);

    TerminalProgress progress;
    MemoryResultList results;
    SilentStatus status;
    const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &status);
    PrintResultRows(results, 4);
    std::printf("%s\n", ToNarrow(outcome.statusText).c_str());
    if (!outcome.messageLine.empty()) std::printf("%s\n", ToNarrow(outcome.messageLine).c_str());
    CloseSmc(ctx);
    return outcome.success ? 0 : outcome.result;
}

}  // namespace tv
