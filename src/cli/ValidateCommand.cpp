#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "cli/Commands.h"
#include "cli/ResultPrinter.h"
#include "cli/TerminalUi.h"
#include "messages/MemoryResultList.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "zt4/ValidationRun.h"
#include "zt4/VerifierZT4.h"

namespace tv {

namespace {

// 1 for ".xml", 3 for ".log" (any case), 0 otherwise.
uint32_t KindOf(const std::string& path) {
    if (path.size() < 4) return 0;
    const std::u16string tail = ToUtf16(path.substr(path.size() - 4));
    if (EqualsNoCase(tail, u".xml")) return 1;
    if (EqualsNoCase(tail, u".log")) return 3;
    return 0;
}

}  // namespace

int RunValidateCommand(const CliOptions& options) {
    if (options.args.size() != 1) {
        std::fprintf(stderr, "tallyvault-cli: validate takes one file\n");
        return kExitUsage;
    }
    const std::string& path = options.args[0];
    const uint32_t kind = KindOf(path);
    if (kind == 0) {
        std::fprintf(stderr, "tallyvault-cli: validate takes a ZT4 archive (.xml) or an Archive.log (.log)\n");
        return kExitUsage;
    }
    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    ctx.operation = 2;
    ctx.scaleType = '1';
    ctx.validationKind = kind;
    ctx.verificationMode = 2;
    ctx.folderInput = 0;
    ctx.verificationPath = path;

    auto verifier = MakeZt4Verifier(kind, path);
    TerminalProgress progress;
    progress.SetRange(0, 100);
    MemoryResultList results;
    const bool ok = RunZt4Validation(verifier.get(), kind, false, 2, &progress, &results);
    PrintResultRows(results, 4);
    const MessageId status = ok ? (kind == 1 ? 270 : 271) : (kind == 1 ? 268 : 269);
    std::printf("%s\n", ToNarrow(GetMessageText(status)).c_str());
    return ok ? 0 : 1;
}

}  // namespace tv
