// The wizard, without any toolkit: the ordered page list and the navigation
// between its pages (activation, Next, Back, Finish, the Cancel walk, the
// default button). Every page answers Next and Back with the page to show; the
// wizard decides nothing about the program's flow. A face draws it through
// WizardWindow and hands it the user's clicks and keys.
#pragma once

#include <vector>

#include "wizard/WizardWindow.h"

namespace tv {

class CWizardPage;

// The keys of the wizard's accelerator table.
enum class WizardKey {
    kAltLeft,    // Back
    kBackspace,  // Back
    kAltRight,   // Next
    kF3,         // the active page's browse action
    kAltX,       // the settings
    kF10,        // the focus to the settings button
};

class CWizardDialog {
public:
    static constexpr int kFinishCode = kCtlFinish;
    static constexpr int kCancelCode = kCtlCancel;

    explicit CWizardDialog(WizardWindow& window) : window_(window) {}
    virtual ~CWizardDialog() = default;
    CWizardDialog(const CWizardDialog&) = delete;
    CWizardDialog& operator=(const CWizardDialog&) = delete;

    WizardWindow& Window() const { return window_; }

    // The pages in list order; the caller keeps them alive as long as the dialog.
    void AddPage(CWizardPage* page) { pages_.push_back(page); }
    const std::vector<CWizardPage*>& Pages() const { return pages_; }
    CWizardPage* FindPage(int pageId) const;
    CWizardPage* ActivePage() const;
    // Shows the first page of the list, as the window does when it opens.
    void ShowFirstPage();

    bool ActivatePage(CWizardPage* page);
    // Ends the wizard with the Finish code once every created page agreed.
    void FinishWizard();
    // The window is going away: every created page that agrees hears of it.
    void DestroyPages();

    // Base: no header. The master dialog draws its breadcrumb.
    virtual bool ShowPageHeader(int pageId, bool dx);

    // Default-button routines.
    void SetNextOrCancelDefault(bool disableNext);
    void SetNextOrFinishDefault(bool finish);
    void SetNextOrCancelDefaultKeepEnabled(bool cancel);
    void SetNextDefaultAfterBack();

    static bool IsRunPage(int pageId);

    // The user's requests, from the face.
    void OnNext();
    void OnBack();
    void OnFinish();
    // The Cancel walk (the Cancel button, Escape and the close box).
    void OnCancel();
    // A key of the accelerator table that reached the wizard; false when it has
    // no effect here (the face then handles it as it would).
    virtual bool OnKey(WizardKey key);

protected:
    // Called after every activation and navigation, so that captions follow the page.
    virtual void UpdateButtonCaptions() {}
    virtual void OnSettingsKey() {}
    virtual void OnSettingsFocusKey() {}

private:
    int IndexOf(const CWizardPage* page) const;
    CWizardPage* Neighbour(const CWizardPage* page, int step) const;
    CWizardPage* Target(const CWizardPage* active, int answer, int step) const;
    bool Usable(WizardButton button) const;

    WizardWindow& window_;
    std::vector<CWizardPage*> pages_;
    bool backMove_ = false;
};

}  // namespace tv
