// The start-up steps that open no window: the log follows its configured folder
// (which creates the context and loads the configuration), the data folder is
// created, and the configured scale type decides the first page.
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

struct StartUpResult {
    bool configExists = false;
    std::vector<int> pageOrder;  // page IDs in list order
};

StartUpResult RunStartUpSteps();

}  // namespace tv
