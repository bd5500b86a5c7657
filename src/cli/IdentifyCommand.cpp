#include <cctype>
#include <cstdio>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "cli/CardSelection.h"
#include "cli/CommandOutput.h"
#include "cli/Commands.h"
#include "smc/SmcAccess.h"
#include "smc/SmcDiscovery.h"

namespace tv {

int RunIdentifyCommand(const CliOptions& options) {
    char letter = 0;
    SmcPurpose purpose = SmcPurpose::Archiving;
    for (size_t i = 0; i < options.args.size(); ++i) {
        const std::string& arg = options.args[i];
        const bool hasValue = i + 1 < options.args.size();
        if (TakeCardOption(options.args, i, letter)) continue;
        if (arg == "--purpose" && hasValue && options.args[i + 1] == "archive") {
            purpose = SmcPurpose::Archiving;
            ++i;
        } else if (arg == "--purpose" && hasValue && options.args[i + 1] == "verify") {
            purpose = SmcPurpose::Verification;
            ++i;
        } else {
            std::fprintf(stderr, "tallyvault-cli: identify --card L [--purpose archive|verify]\n");
            return kExitUsage;
        }
    }
    if (letter == 0) {
        std::fprintf(stderr, "tallyvault-cli: identify needs --card L\n");
        return kExitUsage;
    }
    RunStartUpSteps();
    AppContext& ctx = GetAppContext();
    CommandOutput out("identify", options.json);
    nlohmann::json& doc = out.Doc();
    doc["drive"] = std::string(1, letter);
    doc["purpose"] = purpose == SmcPurpose::Archiving ? "archive" : "verify";
    doc["accepted"] = false;
    doc["entry"] = nullptr;
    doc["reason"] = nullptr;
    doc["family"] = nullptr;
    doc["archiveLog"] = nullptr;
    bool damaged = false;
    const std::string entry = CardEntryOf(ctx, letter, damaged);
    if (entry.empty()) {
        if (!out.Json()) {
            std::printf(damaged ? "refused: corrupt card in drive %c:\n" : "refused: no card in drive %c:\n", letter);
        }
        doc["reason"] = damaged ? "corrupt card" : "no card";
        return out.Finish(1);
    }
    doc["entry"] = JsonText(entry);
    const SmcIdentity identity = IdentifySmc(ctx, entry, purpose);
    const bool accepted = identity == SmcIdentity::Accepted;
    if (accepted) {
        const char* family = ctx.scaleType == '0' ? "dX" : ctx.scaleType == '1' ? "ZT4" : "unknown";
        const char* log = nullptr;
        if (ctx.scaleType == '1' && purpose == SmcPurpose::Archiving) {
            log = ctx.archiveLogState == 0 ? "none" : ctx.archiveLogState == 1 ? "incorrect" : "found";
        }
        if (out.Json()) {
            doc["accepted"] = true;
            doc["family"] = family;
            doc["archiveLog"] = log == nullptr ? nlohmann::json() : nlohmann::json(log);
        } else {
            std::printf("accepted: %s %s", entry.c_str(), family);
            if (log != nullptr) std::printf(" Archive.log %s", log);
            std::printf("\n");
        }
    } else {
        doc["reason"] = "refused";
        if (!out.Json()) std::printf("refused: %s\n", entry.c_str());
    }
    CloseSmc(ctx);
    return out.Finish(accepted ? 0 : 1);
}

}  // namespace tv
