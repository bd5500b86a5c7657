// One page of the wizard: a white panel placed in the page area of the wizard
// window. The wizard core (CMasterDlg) does the navigation; every page is a
// QtPagePanel, whose hooks are its core page's.
#pragma once

#include <QFont>
#include <QWidget>

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
    // The page as the wizard core knows it.
    CWizardPage* CorePage() const { return core_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Paint hook of pages that put the wizard's buttons in their state when shown.
    virtual void OnPagePaint() {}
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
