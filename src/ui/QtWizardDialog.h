// The wizard window: the ordered page list, the page area and the Back, Next,
// Cancel and Finish buttons. Every page answers Next and Back with the page to
// show; the wizard decides nothing about the program's flow.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <vector>

namespace tv {

class QtWizardPage;

class QtWizardDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFinishCode = 12325;

    explicit QtWizardDialog(QWidget* parent = nullptr);

    // The pages in list order; the caller keeps them alive as long as the dialog.
    void AddPage(QtWizardPage* page);
    const std::vector<QtWizardPage*>& Pages() const { return pages_; }
    QtWizardPage* FindPage(int pageId) const;
    QtWizardPage* ActivePage() const;
    // Shows the first page of the list, as the window does when it opens.
    void ShowFirstPage();

    bool ActivatePage(QtWizardPage* page);
    // Ends the wizard with the Finish code once every created page agreed.
    void FinishWizard();

    // Base: no header. The master window draws its breadcrumb.
    virtual bool ShowPageHeader(int pageId, bool dx);

    QPushButton* BackButton() const { return back_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* FinishButton() const { return finish_; }
    // A button of the active page's own beside Finish (the verification page's
    // report); hidden on every activation, shown and captioned by the page.
    QPushButton* PageButton() const { return pageButton_; }

    // Default-button routines.
    void SetNextOrCancelDefault(bool disableNext);
    void SetNextOrFinishDefault(bool finish);
    void SetNextOrCancelDefaultKeepEnabled(bool cancel);
    void SetNextDefaultAfterBack();

    static bool IsRunPage(int pageId);

public slots:
    void OnNext();
    void OnBack();
    void OnFinish();
    // The Cancel walk (the Cancel button, Escape and the close box).
    void OnCancel();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Keys the master window treats before the wizard's own accelerators;
    // true when handled.
    virtual bool PreTranslateKey(QKeyEvent*) { return false; }
    virtual void OnSettingsKey() {}
    virtual void OnSettingsFocusKey() {}
    // Called after every activation and navigation, so that captions follow the page.
    virtual void UpdateButtonCaptions() {}

    QWidget* pageArea_;
    QPushButton* back_;
    QPushButton* next_;
    QPushButton* cancel_;
    QPushButton* finish_;
    QPushButton* pageButton_;

private:
    void MakeDefault(QPushButton* button);
    int IndexOf(const QtWizardPage* page) const;
    QtWizardPage* Neighbour(const QtWizardPage* page, int step) const;
    QtWizardPage* Target(const QtWizardPage* active, int answer, int step) const;

    std::vector<QtWizardPage*> pages_;
    bool backMove_ = false;
};

}  // namespace tv
