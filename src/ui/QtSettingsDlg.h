// The panel of the settings dialog, as the core's dialog (CSettingsDlg) decides
// it: the folders, the maximum archive size, the language, the year end, the
// scale type and the backup option of Tallyvault.ini, with an error line under
// each wrong field. Its widgets are the core's controls by the IDs of its
// template; OK and "Save and Close" ask the core to save, Cancel discards.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "ui/QtPageControls.h"
#include "wizard/SettingsDlg.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tv {

class CFolderEdit;
class CNumberEdit;

class QtSettingsDlg : public QDialog {
    Q_OBJECT
public:
    // A dialog of its own core dialog.
    explicit QtSettingsDlg(QWidget* parent = nullptr);
    // The panel of the wizard's core dialog.
    QtSettingsDlg(CSettingsDlg& core, QWidget* parent);

    // Sets every caption from the message table in the current language.
    void UpdateTexts();

signals:
    // Emitted after a save, once the dialog has closed: the language may have
    // changed, so every open text is to be set again.
    void languageChanged();
    // The default archive folder may have changed.
    void defaultArchivePathChanged();
    // Another scale type was saved: it takes effect at the next start, so the
    // program is to end.
    void scaleTypeChanged();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void AddControls();
    // What the user does reaches the core; what the core sets itself does not.
    template <typename F>
    void Tell(F&& call) {
        if (!quiet_) call();
    }
    void OnScaleTypeChosen();
    void OnSave();

    std::unique_ptr<CSettingsDlg> own_;
    CSettingsDlg& core_;
    QtPageControls controls_;
    bool quiet_ = false;

    QCheckBox* useDefault_ = nullptr;
    QLabel* archiveLabel_ = nullptr;
    CFolderEdit* archivePath_ = nullptr;
    QLabel* profileLabel_ = nullptr;
    CFolderEdit* profilePath_ = nullptr;
    QLabel* logLabel_ = nullptr;
    CFolderEdit* logPath_ = nullptr;
    QLabel* sizeLabel_ = nullptr;
    CNumberEdit* maxSize_ = nullptr;
    QLabel* sizeUnit_ = nullptr;
    QLabel* languageLabel_ = nullptr;
    QComboBox* language_ = nullptr;
    QLabel* yearEndLabel_ = nullptr;
    QComboBox* month_ = nullptr;
    CNumberEdit* day_ = nullptr;
    QLabel* scaleTypeLabel_ = nullptr;
    QComboBox* scaleType_ = nullptr;
    QCheckBox* backup_ = nullptr;
    QLabel* note_ = nullptr;
    // Error lines of the archive folder, profile folder, log folder, size and year end.
    std::array<QLabel*, 5> errors_{};
    QPushButton* ok_ = nullptr;
    QPushButton* saveAndClose_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tv
