// The commands of tallyvault-cli. Each returns the process exit status.
#pragma once

#include "cli/CliOptions.h"

namespace tv {

int RunSettingsCommand(const CliOptions& options);
int RunValidateCommand(const CliOptions& options);
int RunMakeCardCommand(const CliOptions& options);
int RunCardsCommand(const CliOptions& options);
int RunIdentifyCommand(const CliOptions& options);
int RunVerifyCommand(const CliOptions& options);
int RunArchiveCommand(const CliOptions& options);
int RunProfileCommand(const CliOptions& options);

}  // namespace tv
