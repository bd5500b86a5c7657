// The settings dialog, without any toolkit: loads the configuration into its
// controls, follows the user's edits, checks and saves the values. A face makes
// the dialog's panel from template 157 and hands the clicks here.
#pragma once

#include <array>
#include <string>

#include "config/Configuration.h"
#include "messages/MessageTable.h"

namespace tv {

class PageView;
struct SettingsFieldErrors;

// Controls of template 157.
constexpr int kCtlSetUseDefault = 1033;
constexpr int kCtlSetArchiveLabel = 1049;
constexpr int kCtlSetArchivePath = 1036;
constexpr int kCtlSetProfileLabel = 1050;
constexpr int kCtlSetProfilePath = 1038;
constexpr int kCtlSetLogLabel = 1051;
constexpr int kCtlSetLogPath = 1037;
constexpr int kCtlSetSizeLabel = 1052;
constexpr int kCtlSetSize = 1061;
constexpr int kCtlSetSizeSpin = 1066;  // up-down of the size, 1 to 2048
constexpr int kCtlSetSizeUnit = 1054;
constexpr int kCtlSetLanguageLabel = 1053;
constexpr int kCtlSetLanguage = 1010;
constexpr int kCtlSetYearEndLabel = 1100;
constexpr int kCtlSetMonth = 1105;
constexpr int kCtlSetDay = 1108;
constexpr int kCtlSetDaySpin = 1102;  // up-down of the day, 1 to 31
constexpr int kCtlSetScaleTypeLabel = 1111;
constexpr int kCtlSetScaleType = 1112;
constexpr int kCtlSetBackup = 1095;
constexpr int kCtlSetNote = 1113;
constexpr int kCtlSetArchiveError = 1094;
constexpr int kCtlSetProfileError = 1091;
constexpr int kCtlSetLogError = 1092;
constexpr int kCtlSetSizeError = 1093;
constexpr int kCtlSetYearEndError = 1107;
constexpr int kCtlSetOk = 1;
constexpr int kCtlSetSaveAndClose = 1115;
constexpr int kCtlSetCancel = 2;
// Added by our faces: the dialog's title, and the browse buttons of the three
// folder edits.
constexpr int kCtlSetTitle = 1500;
constexpr int kCtlSetArchiveBrowse = 1501;
constexpr int kCtlSetProfileBrowse = 1502;
constexpr int kCtlSetLogBrowse = 1503;

class CSettingsDlg {
public:
    static constexpr int kTemplateId = 157;

    CSettingsDlg() = default;
    CSettingsDlg(const CSettingsDlg&) = delete;
    CSettingsDlg& operator=(const CSettingsDlg&) = delete;

    // The face made the dialog's controls: fill them from the configuration.
    void OnInitDialog(PageView& view);
    // A button, check box or list of the dialog was used (the IDs of template 157).
    void OnCommand(int control);
    void OnSelectionChange(int control);
    void OnEditChange(int control);
    // F3: the folder picker of the archive or profile folder.
    void OnBrowse();
    // The captions again from the message table (every paint).
    void UpdateTexts();
    // OK or "Save and Close": true when the values were saved and the dialog closes.
    bool OnOk();

    // What a save changed, for the wizard (messages 1124, 1125, 1126).
    bool Saved() const { return saved_; }
    bool ScaleTypeChanged() const { return scaleTypeChanged_; }

private:
    void Load();
    SettingsInput Collect() const;
    void ShowErrors(const SettingsFieldErrors& errors);
    void FillList(int control, const MessageId* ids, int count);
    void UseDefaultChanged();
    void ScaleTypeChosen();
    void BrowseFolder(int edit);

    PageView* view_ = nullptr;
    bool saved_ = false;
    bool scaleTypeChanged_ = false;
    int loadedScaleType_ = 0;  // 0 Auto-detect, 1 dX, 2 ZT4
    // The message of each error line (archive, profile, log, size, year end), 0: hidden.
    std::array<MessageId, 5> errorIds_{};
};

}  // namespace tv
