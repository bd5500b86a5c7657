// The wizard's core on a face that keeps what it is shown: a fresh data folder,
// the configuration of a scale type, the start-up steps and the pages of the
// list order, with helpers that click as a user would.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/GeneratedCard.h"
#include "wizard/FakeFace.h"
#include "wizard/MasterDlg.h"

namespace tv::test {

class CoreWizardTest : public CardTest {
protected:
    void TearDown() override;

    // Writes a valid configuration with the scale type ("dX", "ZT4",
    // "Auto-detect") and "Key=value" overrides, runs the start-up steps and
    // opens the wizard on its first page.
    void Start(const std::string& scaleType, const std::vector<std::string>& overrides = {});

    template <typename T>
    T& Page(int pageId) {
        return *static_cast<T*>(wizard_->FindPage(pageId));
    }
    FakePageView& View(int pageId) { return window_.View(pageId); }
    int Active() const;
    void Next() { wizard_->OnNext(); }
    void Back() { wizard_->OnBack(); }

    // A check box or push button clicked: a check box changes its state first.
    void Click(int pageId, int control, bool checkBox = false);
    // A radio button chosen: it is checked, the others of its group cleared.
    void Choose(int pageId, int control, const std::vector<int>& group);
    // A list item chosen.
    void Select(int pageId, int control, int index);
    // Text typed into an edit.
    void Type(int pageId, int control, const std::u16string& text);

    FakeWizardWindow window_;
    std::unique_ptr<CMasterDlg> wizard_;
    std::vector<std::unique_ptr<CWizardPage>> pages_;
};

}  // namespace tv::test
