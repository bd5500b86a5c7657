// The wizard window of the Qt face: the page area and the Back, Next, Cancel
// and Finish buttons, drawn for the wizard core (CMasterDlg), which does the
// navigation. Clicks, keys and the close box go to the core; the core shows
// pages and buttons through WizardWindow. Each page is a QtPagePanel, handed
// to the core by its core page.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <memory>
#include <vector>

#include "wizard/MasterDlg.h"
#include "wizard/WizardWindow.h"

namespace tv {

class QtPagePanel;
class QtWizardPage;

class QtWizardDialog : public QDialog, public WizardWindow {
    Q_OBJECT
public:
    static constexpr int kFinishCode = CWizardDialog::kFinishCode;

    explicit QtWizardDialog(QWidget* parent = nullptr);
    ~QtWizardDialog() override;

    // The wizard core behind this window.
    CMasterDlg& Core() { return core_; }

    // The pages in list order; the caller keeps them alive as long as the dialog.
    void AddPage(QtPagePanel* page);
    const std::vector<QtWizardPage*>& Pages() const { return pages_; }
    QtWizardPage* FindPage(int pageId) const;
    QtWizardPage* ActivePage() const;
    // Shows the first page of the list, as the window does when it opens.
    void ShowFirstPage();

    bool ActivatePage(QtWizardPage* page);
    // Ends the wizard with the Finish code once every created page agreed.
    void FinishWizard() { core_.FinishWizard(); }

    // The breadcrumb header of a page, when it is the active one.
    bool ShowPageHeader(int pageId, bool dx) { return core_.ShowPageHeader(pageId, dx); }

    QPushButton* BackButton() const { return back_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* FinishButton() const { return finish_; }
    // A button of the active page's own beside Finish (the verification page's
    // report); hidden on every activation, shown and captioned by the page.
    QPushButton* PageButton() const { return pageButton_; }

    // Default-button routines.
    void SetNextOrCancelDefault(bool disableNext) { core_.SetNextOrCancelDefault(disableNext); }
    void SetNextOrFinishDefault(bool finish) { core_.SetNextOrFinishDefault(finish); }
    void SetNextOrCancelDefaultKeepEnabled(bool cancel) { core_.SetNextOrCancelDefaultKeepEnabled(cancel); }
    void SetNextDefaultAfterBack() { core_.SetNextDefaultAfterBack(); }

    static bool IsRunPage(int pageId) { return CWizardDialog::IsRunPage(pageId); }

    // --- WizardWindow ----------------------------------------------------------
    void ShowButton(WizardButton button, bool show) override;
    bool IsButtonVisible(WizardButton button) const override;
    void EnableButton(WizardButton button, bool enable) override;
    bool IsButtonEnabled(WizardButton button) const override;
    void SetButtonText(WizardButton button, const std::u16string& text) override;
    void SetDefaultButton(WizardButton button) override;
    void FocusButton(WizardButton button) override;
    PageView* CreatePageView(CWizardPage& page) override;
    void ShowPageView(CWizardPage& page, bool show) override;
    void EndDialog(int code) override;
    void SetTitle(const std::u16string& title) override;
    // The base window has no header band, settings or help: the master window does.
    void ShowBreadcrumb(const BreadcrumbPlan&) override {}
    void EnableSettings(bool) override {}
    bool IsSettingsEnabled() const override { return false; }
    void FocusSettings() override {}
    bool OpenDocument(const std::string&) override { return false; }
    void RunSettings(CSettingsDlg&) override {}
    void Redraw() override { update(); }

public slots:
    void OnNext() { core_.OnNext(); }
    void OnBack() { core_.OnBack(); }
    void OnFinish() { core_.OnFinish(); }
    // The Cancel walk (the Cancel button, Escape and the close box).
    void OnCancel() { core_.OnCancel(); }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    CMasterDlg core_;
    QWidget* pageArea_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* cancel_;
    QPushButton* finish_;
    QPushButton* pageButton_;

private:
    // A Qt page with the page the core knows and the controls it reaches.
    struct Entry {
        QtWizardPage* widget = nullptr;
        CWizardPage* core = nullptr;
        PageView* view = nullptr;
    };
    QPushButton* Button(WizardButton button) const;
    const Entry* EntryOf(const CWizardPage* page) const;
    QtWizardPage* WidgetOf(const CWizardPage* page) const;

    std::vector<QtWizardPage*> pages_;
    std::vector<Entry> entries_;
};

}  // namespace tv
