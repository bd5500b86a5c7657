// The panel of a page that has moved onto its core page: the page's widgets by
// the control IDs of its template, in the Qt look. The core page decides; the
// panel only shows and tells (see QtPageControls). A panel is made with the
// core page it shows and owns nothing of its logic: its hooks are the core
// page's, so that anything holding the Qt page (the window, the tests) drives
// the same page.
//
// Moving a page: derive its Qt class from QtPagePanel instead of QtWizardPage,
// give it the core page as a member, build the same widgets and Add() each
// with its control ID, keep the accessors the tests use, and drop every hook:
// the window then hands the core page to the wizard core instead of wrapping
// the Qt page in a QtLegacyPage.
#pragma once

#include "ui/QtPageControls.h"
#include "ui/QtWizardPage.h"

namespace tv {

class QtPagePanel : public QtWizardPage {
    Q_OBJECT
public:
    // The page may be a member of the derived panel, not made yet: it is only
    // kept here, and pageId is its page ID.
    QtPagePanel(int pageId, CWizardPage& page, QWidget* parent = nullptr);

    // The controls as the core page sees them.
    QtPageControls& Controls() { return controls_; }

    // The hooks are the core page's.
    int OnDeviceChange() override;
    void OnBeforeNext() override;
    int UpdateHeader() override;
    void UpdateTexts() override;
    void OnEnterForward() override;
    void OnReturnTo(bool flag) override;
    bool OnCreatePage() override;
    void OnDestroyPage() override;
    bool OnKillActive() override;
    void OnSetActive() override;
    bool OnQueryCancel() override;
    int OnWizardBack() override;
    int OnWizardNext() override;
    bool OnWizardFinish() override;
    bool OnFinishWizard() override;
    void OnBrowse() override;
    void OnDefaultPathChanged() override;

protected:
    // A widget of the page by its control ID.
    void Add(int control, QWidget* widget) { controls_.Add(control, widget); }
    // Every paint of a created page reaches the core page's OnPaint.
    void OnPagePaint() override;

private:
    CWizardPage& page_;
    QtPageControls controls_;
};

}  // namespace tv
