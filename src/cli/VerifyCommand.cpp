#include <cctype>
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "cli/CardSelection.h"
#include "cli/Commands.h"
#include "cli/ResultPrinter.h"
#include "cli/TerminalUi.h"
#include "dx/VerifierdX.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "smc/SmcAccess.h"

namespace tv {

namespace {

constexpr char kVerifyUsage[] = "tallyvault-cli: verify PATH [--card L]\n";

}  // namespace

int RunVerifyCommand(const CliOptions& options) {
    std::string path;
    char letter = 0;
    for (size_t i = 0; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        if (TakeCardOption(options.args, i, letter)) continue;
        if (path.empty() && !arg.empty() && arg.rfind("--", 0) != 0) {
            path = arg;
        } else {
            std::fputs(kVerifyUsage, stderr);
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fputs(kVerifyUsage, stderr);
        return kExitUsage;
    }

    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    Platform& platform = Sys();
    const bool folder = platform.IsDirectory(path);
    ctx.operation = 2;
    ctx.scaleType = '0';
    ctx.validationKind = 2;
    ctx.verificationMode = letter == 0 ? 2 : 1;
    ctx.drive = letter == 0 ? std::string() : std::string(1, letter);
    ctx.folderInput = folder ? 1 : 0;
    ctx.verificationPath = folder ? platform.WithTrailingSeparator(path) : path;
    ctx.dxVerifier = MakeOwned<CVerifierdX>();
    ctx.dxVerifier->path = ctx.verificationPath;

    TerminalProgress progress;
    progress.SetRange(0, 100);
    MemoryResultList results;
    const bool ok = ctx.dxVerifier->VerifyArchives(&progress, &results, false);
    if (letter != 0) CloseSmc(ctx);
    PrintResultRows(results, 6);
    const MessageId status = ok ? 143 : folder ? 144 : 145;
    std::printf("%s\n", ToNarrow(GetMessageText(status)).c_str());
    return ok ? 0 : 1;
}

}  // namespace tv
