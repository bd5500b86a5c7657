#include "wizard/SettingsDlg.h"

#include "app/AppContext.h"
#include "config/SettingsFields.h"
#include "messages/Messages.h"
#include "wizard/PageView.h"

namespace tv {

namespace {

constexpr MessageId kTitle = 200;
constexpr MessageId kEnglish = 128;
constexpr MessageId kFrench = 129;
constexpr MessageId kJanuary = 246;
constexpr MessageId kZt4 = 279;
constexpr MessageId kDx = 280;
constexpr MessageId kAutoDetect = 281;
constexpr MessageId kRestartNote = 282;
constexpr MessageId kFieldsWrong = 208;
constexpr MessageId kMegabytes = 401;
constexpr MessageId kSelectFolder = 402;
constexpr MessageId kBrowseTip = 403;
constexpr MessageId kNotSaved = 404;

// The error lines, in the order of SettingsFieldErrors.
constexpr int kErrorLines[] = {kCtlSetArchiveError, kCtlSetProfileError, kCtlSetLogError, kCtlSetSizeError,
                               kCtlSetYearEndError};

// Entries of the scale type list, in list order, with their texts in the file.
constexpr MessageId kScaleTypeTexts[] = {kAutoDetect, kDx, kZt4};
constexpr const char16_t* kScaleTypeValues[] = {u"Auto-detect", u"dX", u"ZT4"};
constexpr MessageId kLanguageTexts[] = {kEnglish, kFrench};

// Captions of the labels, check boxes and buttons.
constexpr struct {
    int control;
    MessageId text;
} kCaptions[] = {
    {kCtlSetUseDefault, 155},   {kCtlSetArchiveLabel, 156}, {kCtlSetProfileLabel, 157},
    {kCtlSetLogLabel, 158},     {kCtlSetSizeLabel, 159},    {kCtlSetSizeUnit, kMegabytes},
    {kCtlSetLanguageLabel, 160}, {kCtlSetYearEndLabel, 245}, {kCtlSetScaleTypeLabel, 278},
    {kCtlSetBackup, 215},       {kCtlSetOk, 162},           {kCtlSetSaveAndClose, 283},
    {kCtlSetCancel, 106},       {kCtlSetTitle, kTitle},
};

// The edit whose text changes hide an error line, with that line.
int ErrorLineOf(int edit) {
    switch (edit) {
        case kCtlSetArchivePath: return kCtlSetArchiveError;
        case kCtlSetProfilePath: return kCtlSetProfileError;
        case kCtlSetLogPath: return kCtlSetLogError;
        case kCtlSetSize: return kCtlSetSizeError;
        case kCtlSetDay: return kCtlSetYearEndError;
        default: return 0;
    }
}

}  // namespace

void CSettingsDlg::OnInitDialog(PageView& view) {
    view_ = &view;
    saved_ = false;
    scaleTypeChanged_ = false;
    errorIds_ = {};
    for (int line : kErrorLines) view.Show(line, false);
    view.Show(kCtlSetNote, false);
    view.Show(kCtlSetSaveAndClose, false);
    view.Enable(kCtlSetSaveAndClose, false);
    view.ClearItems(kCtlSetLanguage);
    view.ClearItems(kCtlSetMonth);
    view.ClearItems(kCtlSetScaleType);
    UpdateTexts();
    view.SetText(kCtlSetSize, u"25");
    view.SetText(kCtlSetDay, u"31");
    view.Select(kCtlSetLanguage, 0);
    view.Select(kCtlSetMonth, 11);
    view.Select(kCtlSetScaleType, 0);
    Load();
}

void CSettingsDlg::FillList(int control, const MessageId* ids, int count) {
    // The entries again in the current language; the selection stays.
    PageView& view = *view_;
    const int selected = view.Selection(control);
    view.ClearItems(control);
    for (int i = 0; i < count; ++i) view.AddItem(control, GetMessageText(ids[i]));
    view.Select(control, selected);
}

void CSettingsDlg::UpdateTexts() {
    if (view_ == nullptr) return;
    PageView& view = *view_;
    for (const auto& caption : kCaptions) view.SetText(caption.control, GetMessageText(caption.text));
    FillList(kCtlSetLanguage, kLanguageTexts, 2);
    MessageId months[12];
    for (int i = 0; i < 12; ++i) months[i] = static_cast<MessageId>(kJanuary + i);
    FillList(kCtlSetMonth, months, 12);
    FillList(kCtlSetScaleType, kScaleTypeTexts, 3);
    for (int edit : {kCtlSetArchiveBrowse, kCtlSetProfileBrowse, kCtlSetLogBrowse}) {
        view.SetTip(edit, GetMessageText(kBrowseTip));
    }
    if (!view.GetText(kCtlSetNote).empty()) view.SetText(kCtlSetNote, GetMessageText(kRestartNote));
    for (size_t i = 0; i < errorIds_.size(); ++i) {
        if (errorIds_[i] != 0) view.SetText(kErrorLines[i], GetMessageText(errorIds_[i]));
    }
}

void CSettingsDlg::Load() {
    PageView& view = *view_;
    const SettingsInput in = ReadSettingsFields(ConfigFilePath());
    view.SetText(kCtlSetArchivePath, in.archivePath);
    view.SetText(kCtlSetProfilePath, in.profilePath);
    view.SetText(kCtlSetLogPath, in.logPath);
    view.Select(kCtlSetLanguage, in.language == u"French" ? 1 : 0);
    view.SetText(kCtlSetSize, in.maxSize);
    view.SetChecked(kCtlSetUseDefault, in.useDefaultArchivePath);
    UseDefaultChanged();
    view.SetChecked(kCtlSetBackup, in.backupSmcOnArchive);
    view.SetText(kCtlSetDay, in.day);
    view.Select(kCtlSetMonth, in.monthIndex);
    loadedScaleType_ = static_cast<int>(ConfiguredScaleTypeOf(in.scaleType));
    view.Select(kCtlSetScaleType, loadedScaleType_);
    ScaleTypeChosen();
}

void CSettingsDlg::UseDefaultChanged() {
    const bool on = view_->IsChecked(kCtlSetUseDefault);
    view_->Enable(kCtlSetArchiveLabel, on);
    view_->Enable(kCtlSetArchivePath, on);
    view_->Enable(kCtlSetArchiveBrowse, on);
}

void CSettingsDlg::ScaleTypeChosen() {
    PageView& view = *view_;
    const bool changed = view.Selection(kCtlSetScaleType) != loadedScaleType_;
    view.SetText(kCtlSetNote, changed ? GetMessageText(kRestartNote) : std::u16string());
    view.Show(kCtlSetNote, changed);
    view.Show(kCtlSetOk, !changed);
    view.Enable(kCtlSetOk, !changed);
    view.Show(kCtlSetSaveAndClose, changed);
    view.Enable(kCtlSetSaveAndClose, changed);
}

void CSettingsDlg::BrowseFolder(int edit) {
    PageView& view = *view_;
    if (!view.IsEnabled(edit)) return;
    const std::u16string chosen = view.ChooseFolder(GetMessageText(kSelectFolder), view.GetText(edit));
    if (chosen.empty()) return;
    view.SetText(edit, chosen);
    OnEditChange(edit);
    view.Focus(edit);
}

void CSettingsDlg::OnCommand(int control) {
    if (view_ == nullptr) return;
    switch (control) {
        case kCtlSetUseDefault:
            UseDefaultChanged();
            break;
        case kCtlSetArchiveBrowse:
            BrowseFolder(kCtlSetArchivePath);
            break;
        case kCtlSetProfileBrowse:
            BrowseFolder(kCtlSetProfilePath);
            break;
        case kCtlSetLogBrowse:
            BrowseFolder(kCtlSetLogPath);
            break;
        default:
            break;  // the backup box keeps its own state; OK and Cancel are the face's
    }
}

void CSettingsDlg::OnSelectionChange(int control) {
    if (view_ != nullptr && control == kCtlSetScaleType) ScaleTypeChosen();
}

void CSettingsDlg::OnEditChange(int control) {
    if (view_ == nullptr) return;
    const int line = ErrorLineOf(control);
    if (line == 0) return;
    view_->Show(line, false);
    for (size_t i = 0; i < errorIds_.size(); ++i) {
        if (kErrorLines[i] == line) errorIds_[i] = 0;
    }
}

void CSettingsDlg::OnBrowse() {
    if (view_ == nullptr) return;
    BrowseFolder(view_->IsChecked(kCtlSetUseDefault) ? kCtlSetArchivePath : kCtlSetProfilePath);
}

SettingsInput CSettingsDlg::Collect() const {
    const PageView& view = *view_;
    SettingsInput in;
    in.archivePath = view.GetText(kCtlSetArchivePath);
    in.profilePath = view.GetText(kCtlSetProfilePath);
    in.logPath = view.GetText(kCtlSetLogPath);
    in.language = view.Selection(kCtlSetLanguage) == 1 ? u"French" : u"English";
    in.maxSize = view.GetText(kCtlSetSize);
    in.useDefaultArchivePath = view.IsChecked(kCtlSetUseDefault);
    in.backupSmcOnArchive = view.IsChecked(kCtlSetBackup);
    in.day = view.GetText(kCtlSetDay);
    const int month = view.Selection(kCtlSetMonth);
    in.monthIndex = month >= 0 && month < 12 ? month : 11;
    const int scale = view.Selection(kCtlSetScaleType);
    in.scaleType = kScaleTypeValues[scale >= 0 && scale < 3 ? scale : 0];
    return in;
}

void CSettingsDlg::ShowErrors(const SettingsFieldErrors& errors) {
    errorIds_ = {errors.archivePath, errors.profilePath, errors.logPath, errors.maxSize, errors.yearEnd};
    for (size_t i = 0; i < errorIds_.size(); ++i) {
        if (errorIds_[i] != 0) view_->SetText(kErrorLines[i], GetMessageText(errorIds_[i]));
        view_->Show(kErrorLines[i], errorIds_[i] != 0);
    }
}

bool CSettingsDlg::OnOk() {
    if (view_ == nullptr) return false;
    AppContext& ctx = GetAppContext();
    const SettingsInput input = Collect();
    const SettingsFieldErrors errors = CheckSettingsFields(ctx, input);
    ShowErrors(errors);
    if (errors.Any()) {
        ShowMessage(kFieldsWrong, kMbIconError);
        Ui().Repaint();
        return false;
    }
    const bool changed = view_->Selection(kCtlSetScaleType) != loadedScaleType_;
    // The dialog closes either way; a file that did not take the values is said
    // so and not reported as saved, and the program does not end for a scale
    // type that was not stored.
    saved_ = SaveConfiguration(ctx, input);
    if (!saved_) ShowMessage(kNotSaved, kMbIconError);
    scaleTypeChanged_ = saved_ && changed;
    return true;
}

}  // namespace tv
