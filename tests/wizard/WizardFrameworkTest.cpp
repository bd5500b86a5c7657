// The wizard framework and the master dialog without any toolkit: activation,
// Next, Back, Finish, the Cancel walk, default buttons, keys, help, settings.
#include <gtest/gtest.h>

#include <map>

#include "app/AppContext.h"
#include "support/TestEnvironment.h"
#include "wizard/FakeFace.h"
#include "wizard/MasterDlg.h"

namespace tv::test {

namespace {

// A page that records the hooks called on it and answers as told.
class StubPage : public CWizardPage {
public:
    explicit StubPage(int id, std::vector<std::string>* calls) : CWizardPage(id), calls_(calls) {}

    int next = 0;
    int back = 0;
    bool killActive = true;
    bool queryCancel = true;
    bool finishWizard = true;
    bool create = true;

    int OnDeviceChange() override { return Note("device"), 0; }
    void OnBeforeNext() override { Note("before"); }
    int UpdateHeader() override {
        Note("header");
        ShowHeader();
        return 0;
    }
    void UpdateTexts() override { Note("texts"); }
    void OnEnterForward() override { Note("enter"); }
    void OnReturnTo(bool flag) override { Note(flag ? "return" : "return0"); }
    bool OnCreatePage() override { return Note("create"), create; }
    void OnDestroyPage() override { Note("destroy"); }
    bool OnKillActive() override { return Note("kill"), killActive; }
    void OnSetActive() override { Note("set"); }
    bool OnQueryCancel() override { return Note("query"), queryCancel; }
    int OnWizardBack() override { return Note("back"), back; }
    int OnWizardNext() override { return Note("next"), next; }
    bool OnWizardFinish() override { return Note("finish"), true; }
    bool OnFinishWizard() override { return Note("end"), finishWizard; }
    void OnBrowse() override { Note("browse"); }
    void OnDefaultPathChanged() override { Note("path"); }

private:
    void Note(const std::string& hook) { calls_->push_back(std::to_string(PageId()) + ":" + hook); }
    std::vector<std::string>* calls_;
};

class WizardFrameworkTest : public TestEnvironment {
protected:
    // The wizard with pages of the given IDs, in list order, the first one shown.
    void Open(const std::vector<int>& ids) {
        for (int id : ids) {
            pages_[id] = std::make_unique<StubPage>(id, &calls_);
            wizard_.AddPage(pages_[id].get());
        }
        wizard_.Initialise();
    }
    StubPage& Page(int id) { return *pages_.at(id); }
    int Active() const { return wizard_.ActivePage() != nullptr ? wizard_.ActivePage()->PageId() : 0; }
    bool Visible(WizardButton b) const { return window_.IsButtonVisible(b); }
    // The hooks called since the last look.
    std::vector<std::string> Calls() { return std::exchange(calls_, {}); }

    FakeWizardWindow window_;
    CMasterDlg wizard_{window_};
    std::map<int, std::unique_ptr<StubPage>> pages_;
    std::vector<std::string> calls_;
};

using Hooks = std::vector<std::string>;

}  // namespace

TEST_F(WizardFrameworkTest, FirstPageAndTheButtonsOfShortAndLongLists) {
    Open({133});
    EXPECT_EQ(Active(), 133);
    EXPECT_TRUE(Visible(WizardButton::kFinish));
    EXPECT_FALSE(Visible(WizardButton::kNext));
    EXPECT_FALSE(Visible(WizardButton::kBack));
    EXPECT_EQ(window_.title, u"Tallyvault " + std::u16string(u"2.0.0"));
    EXPECT_EQ(Calls(), (Hooks{"133:create", "133:set", "133:header", "133:texts", "133:enter"}));

    FakeWizardWindow other;
    CMasterDlg two(other);
    StubPage a(6, &calls_), b(133, &calls_);
    two.AddPage(&a);
    two.AddPage(&b);
    two.Initialise();
    EXPECT_FALSE(other.IsButtonVisible(WizardButton::kFinish));
    EXPECT_TRUE(other.IsButtonVisible(WizardButton::kNext));
    EXPECT_EQ(other.shownPage, 6);
}

TEST_F(WizardFrameworkTest, NextAndBackFollowThePagesAnswers) {
    Open({133, 6, 134, 159});
    Calls();
    // 0: the neighbour; the target hears of it before it is shown.
    wizard_.OnNext();
    EXPECT_EQ(Active(), 6);
    EXPECT_EQ(Calls(), (Hooks{"133:next", "6:before", "6:create", "133:kill", "6:set", "6:header", "6:texts",
                              "6:enter"}));
    EXPECT_TRUE(Visible(WizardButton::kBack));
    EXPECT_EQ(window_.shownPage, 6);
    // A page ID; -1 and an ID not in the list stay.
    Page(6).next = 159;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 159);
    Page(159).next = -1;
    wizard_.OnNext();
    Page(159).next = 999;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 159);
    Page(159).next = 0;  // the end of the list
    wizard_.OnNext();
    EXPECT_EQ(Active(), 159);
    Calls();
    // Back: the page before in the list, told it was returned to.
    wizard_.OnBack();
    EXPECT_EQ(Active(), 134);
    EXPECT_EQ(Calls(), (Hooks{"159:back", "134:create", "159:kill", "134:set", "134:header", "134:texts",
                              "134:return"}));
    EXPECT_EQ(window_.defaultButton, WizardButton::kNext);
    Page(134).back = 133;
    wizard_.OnBack();
    EXPECT_EQ(Active(), 133);
    // Back to the first page: no Back, no Finish; and no fresh start of the welcome page.
    EXPECT_FALSE(Visible(WizardButton::kBack));
    EXPECT_FALSE(Visible(WizardButton::kFinish));
    EXPECT_TRUE(Visible(WizardButton::kNext));
    for (const std::string& call : Calls()) EXPECT_NE(call, "133:enter");
}

TEST_F(WizardFrameworkTest, BackToTheCardPageStartsItAgainAndNextToTheFirstPageHidesTheButtons) {
    Open({6, 133, 140});
    wizard_.OnNext();
    Calls();
    wizard_.OnBack();
    EXPECT_EQ(Active(), 6);
    const Hooks calls = Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "6:enter"), calls.end());

    wizard_.OnNext();
    Page(133).next = 140;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 140);
    Page(140).next = 6;  // another operation: from the beginning
    wizard_.OnNext();
    EXPECT_EQ(Active(), 6);
    EXPECT_FALSE(Visible(WizardButton::kNext));
    EXPECT_FALSE(Visible(WizardButton::kBack));
    EXPECT_FALSE(Visible(WizardButton::kFinish));
}

TEST_F(WizardFrameworkTest, HiddenOrDisabledButtonsMoveOnlyFromRunPages) {
    Open({133, 140, 141});
    wizard_.OnNext();
    window_.EnableButton(WizardButton::kNext, false);
    Calls();
    wizard_.OnNext();
    EXPECT_EQ(Active(), 140);
    EXPECT_TRUE(Calls().empty());
    window_.EnableButton(WizardButton::kNext, true);
    wizard_.OnNext();
    EXPECT_EQ(Active(), 141);
    // A run page moves with its buttons hidden (its own code presses them).
    window_.ShowButton(WizardButton::kNext, false);
    window_.ShowButton(WizardButton::kBack, false);
    Page(141).next = 133;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 133);
}

TEST_F(WizardFrameworkTest, RefusalsKeepThePageAndAFailedPanelStays) {
    Open({133, 6, 134});
    window_.failingPage = 6;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 133);
    EXPECT_FALSE(Page(6).IsCreated());
    window_.failingPage = 0;
    Page(6).create = false;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 133);
    EXPECT_FALSE(Page(6).IsCreated());
    Page(6).create = true;
    Page(133).killActive = false;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 133);
    EXPECT_EQ(window_.shownPage, 133);
    Page(133).killActive = true;
    wizard_.OnNext();
    EXPECT_EQ(Active(), 6);
}

TEST_F(WizardFrameworkTest, TheCancelWalkAsksThePagesOnceAndRunPagesAlone) {
    Open({133, 6, 135});
    wizard_.OnNext();
    Calls();
    Page(133).queryCancel = false;
    wizard_.OnCancel();
    EXPECT_EQ(window_.endCode, 0);
    EXPECT_EQ(Calls(), (Hooks{"133:query", "6:return"}));
    Page(133).queryCancel = true;
    wizard_.OnCancel();
    EXPECT_EQ(window_.endCode, CWizardDialog::kCancelCode);
    window_.endCode = 0;
    Calls();
    // A run page is asked alone, whatever the others would say.
    Page(6).next = 135;
    wizard_.OnNext();
    Page(133).queryCancel = false;
    Page(135).queryCancel = false;
    Calls();
    wizard_.OnCancel();
    EXPECT_EQ(Calls(), (Hooks{"135:query"}));
    EXPECT_EQ(window_.endCode, 0);
    Page(135).queryCancel = true;
    wizard_.OnCancel();
    EXPECT_EQ(window_.endCode, CWizardDialog::kCancelCode);
}

TEST_F(WizardFrameworkTest, FinishWizardNeedsEveryCreatedPage) {
    Open({133, 6, 134});
    wizard_.OnNext();
    Calls();
    Page(133).finishWizard = false;
    wizard_.FinishWizard();
    EXPECT_EQ(Calls(), (Hooks{"6:kill", "133:end"}));
    EXPECT_EQ(window_.endCode, 0);
    Page(133).finishWizard = true;
    wizard_.FinishWizard();
    EXPECT_EQ(Calls(), (Hooks{"6:kill", "133:end", "6:end"}));  // 134 was never created
    EXPECT_EQ(window_.endCode, CWizardDialog::kFinishCode);
}

TEST_F(WizardFrameworkTest, KeysDefaultButtonsAndCaptions) {
    Open({133, 6, 135});
    EXPECT_EQ(window_.Button(WizardButton::kCancel).text, u"&Cancel");
    EXPECT_EQ(window_.Button(WizardButton::kBack).text, u"&Back");
    wizard_.OnKey(WizardKey::kAltRight);
    EXPECT_EQ(Active(), 6);
    // Backspace does not move Back from the card list or a running archive page.
    EXPECT_TRUE(wizard_.OnKey(WizardKey::kBackspace));
    EXPECT_EQ(Active(), 6);
    Page(6).next = 135;
    wizard_.OnNext();
    EXPECT_EQ(window_.Button(WizardButton::kCancel).text, u"&Abort");
    Calls();
    wizard_.OnKey(WizardKey::kF3);
    EXPECT_EQ(Calls(), (Hooks{"135:browse"}));
    wizard_.OnKey(WizardKey::kF10);
    EXPECT_TRUE(window_.settingsFocused);
    wizard_.OnKey(WizardKey::kAltLeft);
    EXPECT_EQ(Active(), 6);  // Back from the run page: its neighbour

    wizard_.SetNextOrCancelDefault(true);
    EXPECT_FALSE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);
    wizard_.SetNextOrCancelDefault(false);
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
    EXPECT_EQ(window_.defaultButton, WizardButton::kNext);
    wizard_.SetNextOrFinishDefault(true);
    EXPECT_EQ(window_.defaultButton, WizardButton::kFinish);
    wizard_.SetNextOrCancelDefaultKeepEnabled(true);
    EXPECT_EQ(window_.defaultButton, WizardButton::kCancel);
    EXPECT_TRUE(window_.IsButtonEnabled(WizardButton::kNext));
}

TEST_F(WizardFrameworkTest, HelpOpensThePageOfTheLanguageOrSaysThereIsNone) {
    Open({133});
    wizard_.SetProgramFolder(TempPath("bin"));
    GetAppContext().language = "French";
    Calls();
    wizard_.OnHelp();
    ASSERT_EQ(window_.opened.size(), 1u);
    EXPECT_EQ(window_.opened[0], Join(TempPath("bin"), "FAQ_fr.htm"));
    EXPECT_EQ(Calls(), (Hooks{"133:return"}));
    GetAppContext().language = "French ";
    window_.openSucceeds = false;
    wizard_.OnHelp();
    EXPECT_EQ(window_.opened.back(), Join(TempPath("bin"), "FAQ_en.htm"));
    EXPECT_EQ(ui_.ShownTexts(), std::vector<std::string>{"Help file not available."});
}

TEST_F(WizardFrameworkTest, SettingsRefreshTheTextsAndAreClosedDuringRuns) {
    Open({133, 159});
    wizard_.OnNext();
    Calls();
    window_.duringSettings = [](CSettingsDlg&) { GetAppContext().language = "French"; };
    wizard_.OnKey(WizardKey::kAltX);
    EXPECT_EQ(window_.settingsRuns, 1);
    EXPECT_EQ(Calls(), (Hooks{"159:return", "159:header", "159:texts"}));
    window_.EnableSettings(false);
    wizard_.OnSettings();
    EXPECT_EQ(window_.settingsRuns, 1);
    wizard_.RefreshDefaultPath();
    EXPECT_EQ(Calls(), (Hooks{"159:path"}));
    wizard_.DeviceChanged();
    EXPECT_EQ(Calls(), (Hooks{"159:device"}));
}

}  // namespace tv::test
