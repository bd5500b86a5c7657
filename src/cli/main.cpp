// tallyvault-cli: the jobs of the wizard from a terminal.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppContext.h"
#include "app/StartUp.h"
#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/TerminalUi.h"
#include "emulator/SmcEmulator.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
    tv::CliOptions options;
    std::string error;
    if (!tv::ParseCliOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tallyvault-cli: %s\n\n%s", error.c_str(), tv::kCliUsage);
        return tv::kExitUsage;
    }
    if (options.help) {
        std::fputs(tv::kCliUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tallyvault-cli %s\n", tv::GetVersionText().c_str());
        return 0;
    }

    auto platform = tv::CreateSystemPlatform();
    if (!tv::ResolveDataDir(*platform, options.dataDir, error)) {
        std::fprintf(stderr, "tallyvault-cli: %s\n", error.c_str());
        return tv::kExitUsage;
    }
    tv::TerminalUi ui(options.answer);
    tv::TerminalUi::CatchInterrupts();
    for (const auto& [letter, folder] : options.cardImages) tv::MountEmulatedCard(*platform, letter, folder);
    tv::InstallEnvironment(*platform, ui, options.dataDir);
    // Every command but make-card works in the data folder: it waits for no
    // other program there, it refuses to start beside one.
    if (options.command != "make-card" && !tv::ClaimDataFolder()) return tv::kExitDataFolderInUse;

    int status = tv::kExitUsage;
    if (options.command == "settings") {
        status = tv::RunSettingsCommand(options);
    } else if (options.command == "validate") {
        status = tv::RunValidateCommand(options);
    } else if (options.command == "make-card") {
        status = tv::RunMakeCardCommand(options);
    } else if (options.command == "cards") {
        status = tv::RunCardsCommand(options);
    } else if (options.command == "identify") {
        status = tv::RunIdentifyCommand(options);
    } else if (options.command == "verify") {
        status = tv::RunVerifyCommand(options);
    } else if (options.command == "archive") {
        status = tv::RunArchiveCommand(options);
    } else if (options.command == "profile") {
        status = tv::RunProfileCommand(options);
    } else {
        std::fprintf(stderr, "tallyvault-cli: unknown command '%s'\n\n%s", options.command.c_str(),
                     tv::kCliUsage);
    }
    tv::DestroyAppContext();
    return status;
}
