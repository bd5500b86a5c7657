// The settings dialog of the core on a fake panel (the field checks themselves
// are the configuration's, tested there): loading the file, the error lines,
// saving through the configuration writer, the scale type switch, French texts,
// F3 and the browse buttons, and the wizard acting on what the dialog saved.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AppContext.h"
#include "platform/FaultyPlatform.h"
#include "platform/Text.h"
#include "wizard/RunPageFixture.h"
#include "wizard/SettingsDlg.h"

namespace tv::test {

namespace {

// The dialog on its own panel, with the user's edits as the face hands them on.
struct Dialog {
    Dialog() { dlg.OnInitDialog(view); }

    void Type(int edit, const std::string& text) {
        view.At(edit).text = ToUtf16(text);
        dlg.OnEditChange(edit);
    }
    void Toggle(int box) {
        view.At(box).checked = !view.At(box).checked;
        dlg.OnCommand(box);
    }
    void Select(int list, int index) {
        view.At(list).selection = index;
        dlg.OnSelectionChange(list);
    }
    std::string Text(int control) const { return Utf16ToUtf8(view.At(control).text); }
    // An error or note line's text, or "" when it is hidden.
    std::string Line(int line) const { return view.At(line).visible ? Text(line) : std::string(); }
    std::string SelectedItem(int list) const { return Utf16ToUtf8(view.ItemText(list, view.Selection(list))); }

    FakePageView view;
    CSettingsDlg dlg;
};

constexpr int kErrorLines[] = {kCtlSetArchiveError, kCtlSetProfileError, kCtlSetLogError, kCtlSetSizeError,
                               kCtlSetYearEndError};

class SettingsDlgTest : public RunPageFixture {
protected:
    std::string ConfigText() const { return ReadFile(ConfigPath()); }
    std::string ConfigValue(const std::string& key) const {
        const std::string text = ConfigText();
        const std::string start = key + "=";
        size_t at = text.find("\n" + start);
        if (at == std::string::npos) return "<none>";
        at += 1 + start.size();
        const size_t end = text.find_first_of("\r\n", at);
        return text.substr(at, end - at);
    }
    std::string Folder(const std::string& name) {
        const std::string path = TempPath(name);
        std::filesystem::create_directories(path);
        return path;
    }
};

TEST_F(SettingsDlgTest, LoadsEveryKeyIntoItsControl) {
    const std::string archive = Folder("archive");
    const std::string profiles = Folder("profiles");
    Open("ZT4", {"Language=French", "MaxSizeOfArchiveFileInMB=100", "UseDefaultArchivePath=YES",
                 "ArchivePath=" + archive, "SMCProfilePath=" + profiles, "BackupSMCOnArchive=YES",
                 "YearEndsOn=05-Feb"});
    Dialog d;
    EXPECT_EQ(d.Text(kCtlSetArchivePath), archive);
    EXPECT_EQ(d.Text(kCtlSetProfilePath), profiles);
    EXPECT_EQ(d.Text(kCtlSetLogPath), DataFolder());
    EXPECT_EQ(d.view.Selection(kCtlSetLanguage), 1);
    EXPECT_EQ(d.Text(kCtlSetSize), "100");
    EXPECT_TRUE(d.view.IsChecked(kCtlSetUseDefault));
    EXPECT_TRUE(d.view.IsEnabled(kCtlSetArchivePath));
    EXPECT_TRUE(d.view.IsChecked(kCtlSetBackup));
    EXPECT_EQ(d.Text(kCtlSetDay), "5");
    EXPECT_EQ(d.view.Selection(kCtlSetMonth), 1);
    EXPECT_EQ(d.view.Selection(kCtlSetScaleType), 2);
    EXPECT_TRUE(d.view.IsVisible(kCtlSetOk));
    EXPECT_FALSE(d.view.IsVisible(kCtlSetSaveAndClose));
    for (int line : kErrorLines) EXPECT_EQ(d.Line(line), "") << line;
    EXPECT_EQ(d.Line(kCtlSetNote), "");
    // The lists in their order, in the language of the file.
    EXPECT_EQ(d.view.ItemCount(kCtlSetMonth), 12);
    EXPECT_EQ(d.SelectedItem(kCtlSetLanguage), "Français");
    EXPECT_EQ(d.view.ItemCount(kCtlSetScaleType), 3);
    EXPECT_EQ(d.SelectedItem(kCtlSetScaleType), "ZT4");
}

TEST_F(SettingsDlgTest, EmptyOrUnknownKeysKeepTheDefaults) {
    Open("Auto-detect");
    WriteFile(ConfigPath(), "[Config]\r\nLanguage=Klingon\r\nUseDefaultArchivePath=maybe\r\n"
                            "YearEndsOn=07-Foo\r\nScaleType=zt4\r\n");
    Dialog d;
    EXPECT_EQ(d.view.Selection(kCtlSetLanguage), 0);
    EXPECT_EQ(d.Text(kCtlSetSize), "25");
    EXPECT_FALSE(d.view.IsChecked(kCtlSetUseDefault));
    EXPECT_FALSE(d.view.IsEnabled(kCtlSetArchivePath));
    EXPECT_FALSE(d.view.IsEnabled(kCtlSetArchiveLabel));
    EXPECT_EQ(d.Text(kCtlSetDay), "7");
    EXPECT_EQ(d.view.Selection(kCtlSetMonth), 11);
    EXPECT_EQ(d.view.Selection(kCtlSetScaleType), 0);
    EXPECT_EQ(d.Text(kCtlSetProfilePath), "");
    // The box enables the archive folder, its label and its browse button.
    d.Toggle(kCtlSetUseDefault);
    EXPECT_TRUE(d.view.IsEnabled(kCtlSetArchivePath));
    EXPECT_TRUE(d.view.IsEnabled(kCtlSetArchiveLabel));
    EXPECT_TRUE(d.view.IsEnabled(kCtlSetArchiveBrowse));
    d.Toggle(kCtlSetUseDefault);
    EXPECT_FALSE(d.view.IsEnabled(kCtlSetArchivePath));
    EXPECT_FALSE(d.view.IsEnabled(kCtlSetArchiveBrowse));
}

TEST_F(SettingsDlgTest, SizeChecksShowTheirErrorLine) {
    Open("Auto-detect");
    const struct {
        const char* size;
        const char* error;
        const char* stored;
    } cases[] = {{"0", "Less than min size (1 MB).", ""},
                 {"2049", "Exceeding max size (2048 MB).", ""},
                 {"025", "", "25"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string before = ConfigText();
        ui.shown.clear();
        Dialog d;
        d.Type(kCtlSetSize, c.size);
        const bool closes = d.dlg.OnOk();
        EXPECT_EQ(d.Line(kCtlSetSizeError), c.error);
        if (*c.error == 0) {
            EXPECT_TRUE(closes);
            EXPECT_TRUE(d.dlg.Saved());
            EXPECT_EQ(ConfigValue("MaxSizeOfArchiveFileInMB"), c.stored);
            EXPECT_TRUE(ui.shown.empty());
            continue;
        }
        EXPECT_FALSE(closes);
        EXPECT_FALSE(d.dlg.Saved());
        EXPECT_EQ(ConfigText(), before);
        EXPECT_EQ(TakeShown(), std::vector<std::string>{"One or more fields have incorrect values."});
        // Typing in the field takes its error line away.
        d.Type(kCtlSetSize, "5");
        EXPECT_EQ(d.Line(kCtlSetSizeError), "");
    }
}

TEST_F(SettingsDlgTest, YearEndMustBeADayOfTheChosenMonth) {
    Open("Auto-detect");
    const struct {
        int month;
        const char* day;
        bool valid;
        const char* stored;
    } cases[] = {{1, "29", true, "29-Feb"}, {1, "30", false, ""}, {11, "", false, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.month) + " " + c.day);
        Dialog d;
        d.Select(kCtlSetMonth, c.month);
        d.Type(kCtlSetDay, c.day);
        EXPECT_EQ(d.dlg.OnOk(), c.valid);
        EXPECT_EQ(d.Line(kCtlSetYearEndError), c.valid ? "" : "Invalid date");
        if (c.valid) {
            EXPECT_EQ(ConfigValue("YearEndsOn"), c.stored);
        }
    }
}

TEST_F(SettingsDlgTest, EveryWrongFieldShowsItsLineAtOnce) {
    Open("Auto-detect");
    Dialog d;
    d.Toggle(kCtlSetUseDefault);
    d.Type(kCtlSetArchivePath, TempPath("missing-archive"));
    d.Type(kCtlSetProfilePath, TempPath("missing-profiles"));
    d.Type(kCtlSetLogPath, "");
    d.Type(kCtlSetSize, "0");
    d.Type(kCtlSetDay, "40");
    EXPECT_FALSE(d.dlg.OnOk());
    EXPECT_EQ(d.Line(kCtlSetArchiveError), "Invalid path.");
    EXPECT_EQ(d.Line(kCtlSetProfileError), "Invalid path.");
    EXPECT_EQ(d.Line(kCtlSetLogError), "Invalid path.");
    EXPECT_EQ(d.Line(kCtlSetSizeError), "Less than min size (1 MB).");
    EXPECT_EQ(d.Line(kCtlSetYearEndError), "Invalid date");
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].style & 0xF0u, unsigned(kMbIconError));
    // Each edit hides only its own line.
    d.Type(kCtlSetProfilePath, DataFolder());
    EXPECT_EQ(d.Line(kCtlSetProfileError), "");
    EXPECT_EQ(d.Line(kCtlSetLogError), "Invalid path.");
    d.Type(kCtlSetLogPath, DataFolder());
    EXPECT_EQ(d.Line(kCtlSetLogError), "");
    EXPECT_EQ(d.Line(kCtlSetArchiveError), "Invalid path.");
    // In French, the lines still shown follow the language of the next paint.
    GetAppContext().language = "French";
    d.dlg.UpdateTexts();
    EXPECT_EQ(d.Line(kCtlSetSizeError), "Inférieur à la taille minimale (1 MB).");
}

TEST_F(SettingsDlgTest, ArchiveFolderIsCheckedOnlyWhenAlwaysUsed) {
    Open("Auto-detect");
    Dialog d;
    d.Toggle(kCtlSetUseDefault);
    d.Type(kCtlSetArchivePath, TempPath("nowhere"));
    d.Toggle(kCtlSetUseDefault);
    EXPECT_TRUE(d.dlg.OnOk());
    EXPECT_EQ(ConfigValue("ArchivePath"), TempPath("nowhere"));
    EXPECT_EQ(ConfigValue("UseDefaultArchivePath"), "NO");
}

TEST_F(SettingsDlgTest, SaveWritesTheFileAndTheWizardTakesItUp) {
    Open("Auto-detect");
    const std::string archive = Folder("archive");
    const std::string logs = Folder("logs");
    bool closes = false;
    window_.duringSettings = [&](CSettingsDlg& dialog) {
        FakePageView view;
        dialog.OnInitDialog(view);
        view.At(kCtlSetUseDefault).checked = true;
        dialog.OnCommand(kCtlSetUseDefault);
        view.At(kCtlSetArchivePath).text = ToUtf16(archive);
        view.At(kCtlSetLogPath).text = ToUtf16(logs);
        view.At(kCtlSetSize).text = u"025";
        view.At(kCtlSetBackup).checked = true;
        view.At(kCtlSetMonth).selection = 2;
        view.At(kCtlSetDay).text = u"5";
        view.At(kCtlSetLanguage).selection = 1;
        closes = dialog.OnOk();
        EXPECT_TRUE(dialog.Saved());
        EXPECT_FALSE(dialog.ScaleTypeChanged());
    };
    wizard_->OnSettings();
    EXPECT_TRUE(closes);
    EXPECT_EQ(window_.settingsRuns, 1);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(ConfigValue("ArchivePath"), archive);
    EXPECT_EQ(ConfigValue("LogPath"), logs);
    EXPECT_EQ(ConfigValue("SMCProfilePath"), DataFolder());
    EXPECT_EQ(ConfigValue("Language"), "French");
    EXPECT_EQ(ConfigValue("MaxSizeOfArchiveFileInMB"), "25");
    EXPECT_EQ(ConfigValue("UseDefaultArchivePath"), "YES");
    EXPECT_EQ(ConfigValue("BackupSMCOnArchive"), "YES");
    EXPECT_EQ(ConfigValue("YearEndsOn"), "05-Mar");
    EXPECT_EQ(ConfigValue("ScaleType"), "Auto-detect");
    const AppContext& ctx = GetAppContext();
    EXPECT_EQ(ctx.archivePath, AsFolder(archive));
    EXPECT_EQ(ctx.yearEnd, "0305");
    // The wizard's texts follow the new language at once.
    EXPECT_EQ(window_.Button(WizardButton::kCancel).text, u"&Annuler");
}

TEST_F(SettingsDlgTest, CancelLeavesEverythingAsItWas) {
    Open("Auto-detect");
    const std::string before = ConfigText();
    window_.duringSettings = [&](CSettingsDlg& dialog) {
        FakePageView view;
        dialog.OnInitDialog(view);
        view.At(kCtlSetSize).text = u"300";
        dialog.OnEditChange(kCtlSetSize);
        view.At(kCtlSetLanguage).selection = 1;
        view.At(kCtlSetScaleType).selection = 2;
        dialog.OnSelectionChange(kCtlSetScaleType);
    };
    wizard_->OnSettings();
    EXPECT_EQ(ConfigText(), before);
    EXPECT_EQ(GetAppContext().language, "English");
    EXPECT_EQ(window_.endCode, 0);
    EXPECT_EQ(window_.Button(WizardButton::kCancel).text, u"&Cancel");
}

TEST_F(SettingsDlgTest, AnotherScaleTypeSavesAndEndsTheProgram) {
    Open("Auto-detect");
    window_.duringSettings = [&](CSettingsDlg& dialog) {
        FakePageView view;
        dialog.OnInitDialog(view);
        view.At(kCtlSetScaleType).selection = 2;
        dialog.OnSelectionChange(kCtlSetScaleType);
        EXPECT_FALSE(view.IsVisible(kCtlSetOk));
        EXPECT_FALSE(view.IsEnabled(kCtlSetOk));
        EXPECT_TRUE(view.IsVisible(kCtlSetSaveAndClose));
        EXPECT_TRUE(view.IsEnabled(kCtlSetSaveAndClose));
        EXPECT_TRUE(view.IsVisible(kCtlSetNote));
        EXPECT_EQ(view.GetText(kCtlSetNote), u"Close and re-open Tallyvault to switch to the new scale type.");
        // The loaded one again brings OK back.
        view.At(kCtlSetScaleType).selection = 0;
        dialog.OnSelectionChange(kCtlSetScaleType);
        EXPECT_TRUE(view.IsVisible(kCtlSetOk));
        EXPECT_FALSE(view.IsVisible(kCtlSetSaveAndClose));
        EXPECT_FALSE(view.IsVisible(kCtlSetNote));
        EXPECT_TRUE(view.GetText(kCtlSetNote).empty());

        view.At(kCtlSetScaleType).selection = 1;
        dialog.OnSelectionChange(kCtlSetScaleType);
        EXPECT_TRUE(dialog.OnOk());
        EXPECT_TRUE(dialog.ScaleTypeChanged());
    };
    int code = -1;
    try {
        wizard_->OnSettings();
    } catch (const ExitRequested& e) {
        code = e.code;
    }
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ConfigValue("ScaleType"), "dX");
    EXPECT_NE(LogText().find("Application closed"), std::string::npos);
}

TEST_F(SettingsDlgTest, FailedWriteIsNotReportedAsSaved) {
    Open("Auto-detect");
    Dialog d;
    platform_->InjectFault(FaultOp::IniWrite, 28);
    d.Select(kCtlSetScaleType, 2);
    EXPECT_TRUE(d.dlg.OnOk());
    EXPECT_FALSE(d.dlg.Saved());
    EXPECT_FALSE(d.dlg.ScaleTypeChanged());
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"The settings could not be saved. Please check log file."});
}

TEST_F(SettingsDlgTest, FrenchCaptions) {
    Open("Auto-detect", {"Language=French"});
    Dialog d;
    EXPECT_EQ(d.Text(kCtlSetTitle), "Paramètres");
    EXPECT_EQ(d.Text(kCtlSetLanguageLabel), "Langue :");
    EXPECT_EQ(Utf16ToUtf8(d.view.ItemText(kCtlSetLanguage, 1)), "Français");
    EXPECT_EQ(d.SelectedItem(kCtlSetMonth), "Décembre");
    EXPECT_EQ(d.Text(kCtlSetCancel), "&Annuler");
    // Back to English at the next paint; the selections stay.
    GetAppContext().language = "English";
    d.dlg.UpdateTexts();
    EXPECT_EQ(d.Text(kCtlSetTitle), "Settings");
    EXPECT_EQ(d.Text(kCtlSetLanguageLabel), "Language :");
    EXPECT_EQ(d.SelectedItem(kCtlSetMonth), "December");
    EXPECT_EQ(d.SelectedItem(kCtlSetLanguage), "French");
}

TEST_F(SettingsDlgTest, F3AndTheBrowseButtonsPickAFolder) {
    Open("Auto-detect");
    const std::string chosen = Folder("chosen");
    Dialog d;
    d.view.picks = {ToUtf16(chosen)};
    d.dlg.OnBrowse();
    EXPECT_EQ(d.Text(kCtlSetProfilePath), chosen);
    ASSERT_EQ(d.view.pickerCalls.size(), 1u);
    EXPECT_EQ(d.view.pickerCalls[0].kind, u"folder");
    EXPECT_EQ(d.view.pickerCalls[0].initial, ToUtf16(DataFolder()));
    EXPECT_NE(d.Text(kCtlSetArchivePath), chosen);
    // The archive folder's button does nothing while its edit is disabled.
    d.dlg.OnCommand(kCtlSetArchiveBrowse);
    EXPECT_EQ(d.view.pickerCalls.size(), 1u);
    d.Toggle(kCtlSetUseDefault);
    d.view.picks = {ToUtf16(chosen)};
    d.dlg.OnBrowse();
    EXPECT_EQ(d.Text(kCtlSetArchivePath), chosen);
    // A cancelled picker leaves the text alone; a chosen folder hides the error line.
    d.dlg.OnBrowse();
    EXPECT_EQ(d.Text(kCtlSetArchivePath), chosen);
    d.Type(kCtlSetLogPath, TempPath("missing"));
    EXPECT_FALSE(d.dlg.OnOk());
    EXPECT_EQ(d.Line(kCtlSetLogError), "Invalid path.");
    d.view.picks = {ToUtf16(chosen)};
    d.dlg.OnCommand(kCtlSetLogBrowse);
    EXPECT_EQ(d.Text(kCtlSetLogPath), chosen);
    EXPECT_EQ(d.Line(kCtlSetLogError), "");
}

}  // namespace

}  // namespace tv::test
