// The window of Tallyvault: the wizard with the title, the breadcrumb of the
// chosen operation, the help and settings buttons, the logo and the page area.
// What they do is the wizard core's (CMasterDlg); this window draws it.
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

    // The folder the help pages are looked for from (the program's folder unless
    // set; see HelpPages.h) and the way a page is opened (the desktop's viewer
    // unless set); true when it opened.
    void SetHelpFolder(const QString& folder);
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
    void DeviceChanged() { core_.DeviceChanged(); }

    // --- WizardWindow ----------------------------------------------------------
    void ShowBreadcrumb(const BreadcrumbPlan& plan) override;
    void EnableSettings(bool enable) override { settings_->setEnabled(enable); }
    bool IsSettingsEnabled() const override { return settings_->isEnabled(); }
    void FocusSettings() override { settings_->setFocus(); }
    // The desktop's viewer, else the program's own help window when the page
    // exists: true when either showed it.
    bool OpenDocument(const std::string& path) override;
    // Runs the core's settings dialog on its Qt panel.
    void RunSettings(CSettingsDlg& dialog) override;

signals:
    // The language or another text may have changed: every text is read again.
    void textsChanged();
    // The default archive path may have changed.
    void defaultPathChanged();
    // The user ended the program from the settings.
    void applicationClosed();

public slots:
    void OnHelp() { core_.OnHelp(); }
    void OnSettings() { core_.OnSettings(); }
    void RefreshTexts();
    void RefreshDefaultPath() { core_.RefreshDefaultPath(); }
    void CloseApplicationNow() { core_.CloseApplicationNow(); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildHeader(QWidget* header);
    // Qt's own texts and the header's tooltips in the chosen language.
    void ApplyLanguage();

    QWidget* band_;
    std::vector<QLabel*> captions_;
    std::vector<QLabel*> separators_;
    QLabel* highlighted_ = nullptr;
    QToolButton* help_;
    QToolButton* settings_;
    QLabel* logo_;
    QSocketNotifier* deviceWatch_ = nullptr;
    std::function<bool(const QString&)> openDocument_;
    QPointer<CHelpWindow> helpWindow_;
};

}  // namespace tv
