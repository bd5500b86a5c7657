// The window of Tallyvault: the wizard with the title, the breadcrumb of the
// chosen operation, the help and settings buttons, the logo and the page area.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QSocketNotifier>
#include <QToolButton>
#include <functional>
#include <vector>

#include "ui/HelpWindow.h"
#include "ui/QtWizardDialog.h"

namespace tv {

class QtMasterDlg : public QtWizardDialog {
    Q_OBJECT
public:
    explicit QtMasterDlg(QWidget* parent = nullptr);

    bool ShowPageHeader(int pageId, bool dx) override;

    // The folder the help pages are looked for from (the program's folder unless
    // set; see HelpPages.h) and the way a page is opened (the desktop's viewer
    // unless set); true when it opened.
    void SetHelpFolder(const QString& folder) { helpFolder_ = folder; }
    void SetDocumentOpener(std::function<bool(const QString&)> opener) { openDocument_ = std::move(opener); }
    // The help page for the configured language.
    QString HelpFilePath() const;
    // The program's own window for a help page the desktop could not open; null
    // until one was needed.
    CHelpWindow* HelpWindow() const { return helpWindow_; }

    // The breadcrumb as shown: caption texts, and the highlighted one.
    QStringList BreadcrumbTexts() const;
    QString HighlightedCaption() const;
    QToolButton* HelpButton() const { return help_; }
    QToolButton* SettingsButton() const { return settings_; }

    // Hands a device arrival or removal to the active page.
    void DeviceChanged();

signals:
    // The language or another text may have changed: every text is read again.
    void textsChanged();
    // The default archive path may have changed.
    void defaultPathChanged();
    // The user ended the program from the settings.
    void applicationClosed();

public slots:
    void OnHelp();
    void OnSettings();
    void RefreshTexts();
    void RefreshDefaultPath();
    void CloseApplicationNow();

protected:
    bool event(QEvent* event) override;
    bool PreTranslateKey(QKeyEvent* event) override;
    void OnSettingsKey() override { OnSettings(); }
    void OnSettingsFocusKey() override { settings_->setFocus(); }
    void UpdateButtonCaptions() override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildHeader(QWidget* header);
    void ReturnToPage();

    QWidget* band_;
    std::vector<QLabel*> captions_;
    std::vector<QLabel*> separators_;
    QLabel* highlighted_ = nullptr;
    QToolButton* help_;
    QToolButton* settings_;
    QLabel* logo_;
    QSocketNotifier* deviceWatch_ = nullptr;
    QString helpFolder_;
    std::function<bool(const QString&)> openDocument_;
    QPointer<CHelpWindow> helpWindow_;
    bool started_ = false;
};

}  // namespace tv
