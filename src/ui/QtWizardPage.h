// One page of the wizard: a white panel placed in the page area of the wizard
// window. The wizard core (CMasterDlg) does the navigation; a page that has
// moved onto its core page is a QtPagePanel, whose hooks are the core page's.
// A page not moved yet keeps its logic in the hooks below, which the core calls
// through a QtLegacyPage.
#pragma once

#include <QFont>
#include <QWidget>

class QLineEdit;

namespace tv {
class CWizardPage;
}

namespace tv {

class QtWizardDialog;

class QtWizardPage : public QWidget {
    Q_OBJECT
public:
    explicit QtWizardPage(int pageId, QWidget* parent = nullptr);

    int PageId() const { return pageId_; }
    QtWizardDialog* Wizard() const { return wizard_; }
    bool IsCreated() const;
    bool IsActive() const;
    // The page as the wizard core knows it: the core page of a panel, the
    // adapter of a page not moved yet.
    CWizardPage* CorePage() const { return core_; }

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
    // F3: the page's browse action.
    virtual void OnBrowse() {}
    // The settings changed whether the default archive folder is used.
    virtual void OnDefaultPathChanged() {}

protected:
    // The chosen card is a dX one (scale type '0'); the header's texts depend on it.
    static bool IsDx();
    // The breadcrumb header of this page (false when the wizard refused to show it).
    bool ShowHeader();
    void paintEvent(QPaintEvent* event) override;
    // Paint hook of pages that put the wizard's buttons in their state when shown.
    virtual void OnPagePaint() {}
    // Enter in the edit moves Next once. The key ends there: the run that Next
    // may start makes Finish the default button, which the same key must not press.
    void NextOnEnter(QLineEdit* edit);
    QFont titleFont_;
    QFont textFont_;

private:
    friend class QtWizardDialog;
    int pageId_;
    QtWizardDialog* wizard_ = nullptr;

protected:
    CWizardPage* core_ = nullptr;
};

}  // namespace tv
