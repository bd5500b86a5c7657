#include "wizard/SettingsDlg.h"

#include "wizard/PageView.h"

namespace tv {

// The dialog's behaviour is filled in with its page of the core; until then it
// shows nothing and saves nothing.
void CSettingsDlg::OnInitDialog(PageView& view) { view_ = &view; }
void CSettingsDlg::OnCommand(int) {}
void CSettingsDlg::OnSelectionChange(int) {}
void CSettingsDlg::OnEditChange(int) {}
void CSettingsDlg::OnBrowse() {}
void CSettingsDlg::UpdateTexts() {}
bool CSettingsDlg::OnOk() { return false; }

}  // namespace tv
