// What the wizard core asks of the window a face draws: the navigation buttons,
// the breadcrumb, the title, a panel for each page, and the few things only a
// toolkit can do (end the dialog, open a document, run the settings dialog).
// The Qt face and the Win32 face each implement it; the tests fake it.
#pragma once

#include <string>

#include "wizard/Breadcrumb.h"

namespace tv {

class CSettingsDlg;
class CWizardPage;
class PageView;

// The buttons under the page area. kPage is a button of the active page's own
// beside Finish (the verification page's report); every activation hides it.
enum class WizardButton { kBack, kNext, kCancel, kFinish, kPage };

// The control IDs of the wizard dialog's own buttons and of its page area.
constexpr int kCtlPagePlaceholder = 1000;
constexpr int kCtlBack = 12323;
constexpr int kCtlNext = 12324;
constexpr int kCtlCancel = 2;
constexpr int kCtlFinish = 12325;

class WizardWindow {
public:
    virtual ~WizardWindow() = default;

    virtual void ShowButton(WizardButton button, bool show) = 0;
    virtual bool IsButtonVisible(WizardButton button) const = 0;
    virtual void EnableButton(WizardButton button, bool enable) = 0;
    virtual bool IsButtonEnabled(WizardButton button) const = 0;
    virtual void SetButtonText(WizardButton button, const std::u16string& text) = 0;
    // The one default button: every other one loses the mark.
    virtual void SetDefaultButton(WizardButton button) = 0;
    virtual void FocusButton(WizardButton button) = 0;

    // Creates the panel of a page from its template the first time the page is
    // shown (null when that fails); the face keeps it until the window closes.
    virtual PageView* CreatePageView(CWizardPage& page) = 0;
    // Places the page's panel in the page area and shows it, or hides it.
    virtual void ShowPageView(CWizardPage& page, bool show) = 0;

    // Ends the wizard's dialog with a code (kCtlFinish, or kCtlCancel).
    virtual void EndDialog(int code) = 0;
    virtual void SetTitle(const std::u16string& title) = 0;
    // Shows the captions of the plan in the header band; a plan whose highlight
    // is -1 leaves the highlight on the caption position it was on.
    virtual void ShowBreadcrumb(const BreadcrumbPlan& plan) = 0;
    // The settings button: enabled unless a run is going on, and the focus (F10).
    virtual void EnableSettings(bool enable) = 0;
    virtual bool IsSettingsEnabled() const = 0;
    virtual void FocusSettings() = 0;
    // Opens a document (the help page) with the system's viewer; false when
    // nothing could show it.
    virtual bool OpenDocument(const std::string& path) = 0;
    // Runs the settings dialog modally: the face makes its panel from the
    // dialog's template, calls its OnInitDialog and hands it the user's clicks
    // until OnOk agrees or the user cancels.
    virtual void RunSettings(CSettingsDlg& dialog) = 0;
    // Paints what is pending, at once.
    virtual void Redraw() = 0;
};

}  // namespace tv
