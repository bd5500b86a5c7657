// The start-up steps that open no window: the data folder is claimed for this
// program, the log follows its configured folder (which creates the context and
// loads the configuration), the data folder is created, and the configured scale
// type decides the first page.
#pragma once

#include <vector>

namespace tv {

// Page IDs of the wizard.
enum PageId : int {
    kPageSbcSelection = 6,
    kPageWelcome = 133,
    kPageArchiverSelection = 134,
    kPageCompleteArchiver = 135,
    kPagePartialArchiver = 136,
    kPageDateBasedArchiver = 137,
    kPageDateSelection = 139,
    kPageVerificationFileFolderSelection = 140,
    kPageVerification = 141,
    kPageArchiverPathSelection = 159,
    kPageVerificationSelection = 161,
    kPageVerificationSbcSelection = 162,
};

// The exit status of a program that finds its data folder in use.
constexpr int kExitDataFolderInUse = 75;

struct StartUpResult {
    bool dataFolderInUse = false;  // another program holds the data folder: nothing was done
    bool configExists = false;
    std::vector<int> pageOrder;  // page IDs in list order
};

// Takes the data folder for this program for its whole life (again: no-op).
// False when another program holds it: the user is told, the log has it.
bool ClaimDataFolder();

// Claims the data folder first; nothing else happens when that fails.
StartUpResult RunStartUpSteps();

}  // namespace tv
