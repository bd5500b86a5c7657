// The pages of the wizard's core by page ID, as start-up lists them.
#pragma once

#include <memory>
#include <vector>

namespace tv {

class CMasterDlg;
class CWizardPage;

// The page of a page ID; null for an ID without a page.
std::unique_ptr<CWizardPage> MakeWizardPage(int pageId);

// Makes the pages of the list order and adds them to the wizard; the returned
// pages must outlive it.
std::vector<std::unique_ptr<CWizardPage>> AddWizardPages(CMasterDlg& wizard, const std::vector<int>& pageOrder);

}  // namespace tv
