// The settings dialog, without any toolkit: loads the configuration into its
// controls, follows the user's edits, checks and saves the values. A face makes
// the dialog's panel from template 157 and hands the clicks here.
#pragma once

#include "messages/MessageTable.h"

namespace tv {

class PageView;

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
    PageView* view_ = nullptr;
    bool saved_ = false;
    bool scaleTypeChanged_ = false;
    int loadedScaleType_ = 0;
};

}  // namespace tv
