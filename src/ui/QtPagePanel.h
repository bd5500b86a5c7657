// The panel of a page that has moved onto its core page: the page's widgets by
// the control IDs of its template, in the Qt look. The core page decides; the
// panel only shows and tells (see QtPageControls). A panel is made with the
// core page it shows and owns nothing of its logic: its hooks are the core
// page's, so that anything holding the Qt page (the window, the tests) drives
// the same page.
//
// A page's panel: derive from QtPagePanel, give it the core page as a member,
// build the widgets and Add() each with its control ID; the window hands the
// core page to the wizard core.
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
    int OnDeviceChange();
    void OnBeforeNext();
    int UpdateHeader();
    void UpdateTexts();
    void OnEnterForward();
    void OnReturnTo(bool flag);
    bool OnCreatePage();
    void OnDestroyPage();
    bool OnKillActive();
    void OnSetActive();
    bool OnQueryCancel();
    int OnWizardBack();
    int OnWizardNext();
    bool OnWizardFinish();
    bool OnFinishWizard();
    void OnBrowse();
    void OnDefaultPathChanged();

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
