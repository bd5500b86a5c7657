// One page of the wizard, without any toolkit: the hooks through which the
// wizard asks it what to do, and what the face tells it of its controls. The
// page reaches its controls through the PageView the face made for it.
#pragma once

#include <string>

#include "messages/MessageTable.h"

namespace tv {

class CWizardDialog;
class PageView;

class CWizardPage {
public:
    explicit CWizardPage(int pageId) : pageId_(pageId) {}
    virtual ~CWizardPage() = default;
    CWizardPage(const CWizardPage&) = delete;
    CWizardPage& operator=(const CWizardPage&) = delete;

    int PageId() const { return pageId_; }
    CWizardDialog* Wizard() const { return wizard_; }
    bool IsCreated() const { return created_; }
    bool IsActive() const { return active_; }
    // The page's controls; only once the page was created.
    PageView& View() const { return *view_; }
    bool HasView() const { return view_ != nullptr; }

    // Hooks, with what the wizard does with the answer.
    virtual int OnDeviceChange() { return 0; }
    virtual void OnBeforeNext() {}
    virtual int UpdateHeader() { return 0; }
    virtual void UpdateTexts() {}
    virtual void OnEnterForward() {}
    virtual void OnReturnTo(bool) {}
    virtual bool OnCreatePage() { return true; }  // false cancels the activation
    virtual void OnDestroyPage() {}
    virtual bool OnKillActive() { return true; }  // false keeps the page on screen
    virtual void OnSetActive() {}
    virtual bool OnQueryCancel() { return true; }  // false refuses to close
    // 0 the neighbour in the page list, -1 stay, otherwise the page ID to show.
    virtual int OnWizardBack() { return 0; }
    virtual int OnWizardNext() { return 0; }
    virtual bool OnWizardFinish() { return true; }
    virtual bool OnFinishWizard() { return true; }

    // What the face tells the page of its controls.
    virtual void OnCommand(int) {}          // a push button, radio button or check box was clicked
    virtual void OnSelectionChange(int) {}  // another item of a list was chosen
    virtual void OnEditChange(int) {}       // the text of an edit or a date picker changed
    virtual void OnTimer(int) {}            // a timer the page set is due
    virtual void OnPaint() {}               // the page was painted
    virtual void OnBrowse() {}              // F3: the page's browse action
    virtual void OnDefaultPathChanged() {}  // the settings changed the default archive folder
    virtual void OnPageButton() {}          // the page's own button beside Finish

protected:
    // The chosen card is a dX one (scale type '0'); the header's texts depend on it.
    static bool IsDx();
    // The breadcrumb header of this page (false when the wizard refused to show it).
    bool ShowHeader();
    // The message text in the selected language.
    static std::u16string Text(MessageId id);

private:
    friend class CWizardDialog;
    int pageId_;
    CWizardDialog* wizard_ = nullptr;
    PageView* view_ = nullptr;
    bool created_ = false;
    bool active_ = false;
};

}  // namespace tv
