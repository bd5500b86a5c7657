// The settings dialog: the folders, the maximum archive size, the language, the
// year end, the scale type and the backup option of Tallyvault.ini. It checks
// what the user entered field by field, shows an error line under each wrong
// field, and saves only when every field is correct.
#pragma once

#include <QDialog>
#include <array>

#include "config/Configuration.h"
#include "messages/MessageTable.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tv {

class CFolderEdit;
class CNumberEdit;
struct SettingsFieldErrors;

class QtSettingsDlg : public QDialog {
    Q_OBJECT
public:
    explicit QtSettingsDlg(QWidget* parent = nullptr);

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
    void Load();
    SettingsInput Collect() const;
    void ShowErrors(const SettingsFieldErrors& errors);
    void OnUseDefaultToggled(bool on);
    void OnScaleTypeChosen(int index);
    void OnBrowseKey();
    void OnSave();

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
    std::array<MessageId, 5> errorIds_{};
    QPushButton* ok_ = nullptr;
    QPushButton* saveAndClose_ = nullptr;
    QPushButton* cancel_ = nullptr;

    int loadedScaleType_ = 0;  // 0 Auto-detect, 1 dX, 2 ZT4
};

}  // namespace tv
