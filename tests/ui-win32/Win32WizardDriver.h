// A driver of the wizard's real pages on the Windows face, as the user's clicks
// drive them: the messages of the radio buttons, boxes, edits, the card list
// and the wizard's buttons go to the page dialogs; questions are answered
// through the face's user interface from a script.
#pragma once

#include "ui-win32/Win32Windows.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <deque>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include "app/AppContext.h"
#include "app/StartUp.h"
#include "archive/ArchiveRun.h"
#include "archive/BaseArchiver.h"
#include "emulator/CardExtension.h"
#include "messages/MemoryResultList.h"
#include "platform/Text.h"
#include "smc/SmcDiscovery.h"
#include "support/GeneratedCard.h"
#include "ui-win32/Win32Text.h"
#include "ui-win32/Win32UiHost.h"
#include "ui-win32/Win32WizardWindow.h"
#include "wizard/ArchiverPathSelectionPage.h"
#include "wizard/ArchiverRunPage.h"
#include "wizard/ArchiverSelectionPage.h"
#include "wizard/MasterDlg.h"
#include "wizard/Pages.h"
#include "wizard/SBCSelectionPage.h"
#include "wizard/VerificationFileFolderSelectionPage.h"
#include "wizard/VerificationPage.h"
#include "wizard/WelcomePage.h"

namespace tv::test {

namespace fs = std::filesystem;

// The face's user interface with the boxes answered from a script (No when it
// runs out) and kept; the pump of a run is the window's own. With `real` set,
// the next box is the face's own, answered by whoever clicks it.
class AnsweringUi : public Win32UiHost {
public:
    int MessageBox(const std::u16string& text, const std::u16string& caption, unsigned style) override {
        shown.push_back(ToNarrow(text));
        if (real) {
            real = false;
            return Win32UiHost::MessageBox(text, caption, style);
        }
        if ((style & 0xF) != kMbYesNo) return kIdOk;
        if (answers.empty()) return kIdNo;
        const bool yes = answers.front();
        answers.pop_front();
        return yes ? kIdYes : kIdNo;
    }
    std::deque<bool> answers;
    std::vector<std::string> shown;
    bool real = false;
};

inline std::vector<std::string> FilesUnder(const std::string& folder, const std::string& ending) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
        if (e.is_regular_file() && e.path().string().ends_with(ending)) paths.push_back(e.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// A ZT4 file's signature differs from one signing to the next.
inline std::string Unsigned(const std::string& text) { return text.substr(0, text.find("<digisign>")); }

using FolderChoice = CVerificationFileFolderSelectionPage;

class Win32WizardDriver : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        InstallEnvironment(*platform_, ui, DataFolder());
    }
    void TearDown() override {
        ui.SetOwner(nullptr);
        if (wizard_) wizard_->DestroyPages();
        window_.reset();
        wizard_.reset();
        pages_.clear();
        CardTest::TearDown();
    }

    // The program's start-up on the configuration, the pages of its list on
    // the window, shown on the first.
    void Open(const std::string& scaleType, const std::vector<std::string>& more = {}) {
        std::vector<std::string> lines = {"ScaleType=" + scaleType, "UseDefaultArchivePath=NO"};
        lines.insert(lines.end(), more.begin(), more.end());
        WriteConfig(ValidConfig(lines));
        const StartUpResult start = RunStartUpSteps();
        window_ = std::make_unique<Win32WizardWindow>(GetModuleHandleW(nullptr));
        wizard_ = std::make_unique<CMasterDlg>(*window_);
        pages_ = AddWizardPages(*wizard_, start.pageOrder);
        ASSERT_TRUE(window_->Create(*wizard_));
        ui.SetOwner(window_.get());
        wizard_->Initialise();
        ShowWindow(window_->Handle(), SW_SHOWNA);
        Settle();
    }

    int Active() const {
        const CWizardPage* page = wizard_ ? wizard_->ActivePage() : nullptr;
        return page != nullptr ? page->PageId() : 0;
    }
    HWND PageControl(int pageId, int id) const {
        const CWizardPage* page = wizard_->FindPage(pageId);
        return page != nullptr ? GetDlgItem(window_->PageWindow(*page), id) : nullptr;
    }
    // What is pending handled and the window painted, as after a user's action.
    void Settle() {
        window_->PumpPending();
        if (!window_->Ended()) {
            RedrawWindow(window_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        window_->PumpPending();
    }
    // A click on a radio button, a box or a button of a page.
    void Click(int pageId, int id) {
        HWND control = PageControl(pageId, id);
        ASSERT_NE(control, nullptr) << "control " << id << " of page " << pageId;
        ASSERT_TRUE(IsWindowVisible(control) && IsWindowEnabled(control)) << "control " << id;
        SendMessageW(control, BM_CLICK, 0, 0);
        Settle();
    }
    bool Checked(int pageId, int id) const {
        return SendMessageW(PageControl(pageId, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    // Text typed into an edit: the edit's text and its change notice.
    void Type(int pageId, int id, const std::string& text) {
        HWND edit = PageControl(pageId, id);
        ASSERT_NE(edit, nullptr);
        const std::wstring wide = ToWide(ToUtf16(text));
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        SendMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
        Settle();
    }
    // The card of the drive picked in the card list.
    void ChooseCard(char letter, int pageId = kPageSbcSelection) {
        HWND list = PageControl(pageId, kCtlCardList);
        ASSERT_NE(list, nullptr);
        const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t item[512] = {};
            if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) >= 512) continue;
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            if (DriveOfEntry(ToNarrow(FromWide(item))) != letter) continue;
            SendMessageW(list, CB_SETCURSEL, i, 0);
            SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(kCtlCardList, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            Settle();
            return;
        }
        ADD_FAILURE() << "no card in " << letter << " among " << count << " entries";
    }
    void ClickWizard(int id) {
        HWND button = GetDlgItem(window_->Handle(), id);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(IsWindowVisible(button) && IsWindowEnabled(button)) << "wizard button " << id;
        SendMessageW(button, BM_CLICK, 0, 0);
        Settle();
    }
    // Next, expecting the page it leads to.
    void NextTo(int pageId) {
        ClickWizard(kCtlNext);
        ASSERT_EQ(Active(), pageId) << (ui.shown.empty() ? std::string() : ui.shown.back());
    }
    // Pumps until the condition holds (a run goes on through the window's pump).
    bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            Settle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    std::u16string Cell(int pageId, int listId, int row, int column) const {
        HWND list = PageControl(pageId, listId);
        wchar_t text[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return FromWide(text);
    }
    int Rows(int pageId, int listId) const {
        return static_cast<int>(SendMessageW(PageControl(pageId, listId), LVM_GETITEMCOUNT, 0, 0));
    }

    // From the first page to the end of a complete archive of the card in E
    // into the folder; returns the archive written.
    std::string CompleteArchive(const std::string& folder, const std::string& extension) {
        fs::create_directories(folder);
        EXPECT_EQ(Active(), kPageWelcome);
        Click(kPageWelcome, kCtlNewArchive);
        EXPECT_TRUE(Checked(kPageWelcome, kCtlNewArchive));
        NextTo(kPageSbcSelection);
        ChooseCard('E');
        NextTo(kPageArchiverSelection);
        Click(kPageArchiverSelection, kCtlCompleteArchive);
        EXPECT_TRUE(Checked(kPageArchiverSelection, kCtlCompleteArchive));
        NextTo(kPageArchiverPathSelection);
        Type(kPageArchiverPathSelection, kCtlArchivePath, folder);
        NextTo(kPageCompleteArchiver);
        auto& run = *static_cast<CArchiverRunPage*>(wizard_->FindPage(kPageCompleteArchiver));
        EXPECT_TRUE(WaitFor([&] { return run.IsFinished(); }));
        EXPECT_TRUE(run.Succeeded());
        EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
        EXPECT_EQ(Rows(kPageCompleteArchiver, kCtlRunResultList), 1);
        if (!french_) {
            EXPECT_EQ(Cell(kPageCompleteArchiver, kCtlRunResultList, 0, 2), u"Success");
        }
        const std::vector<std::string> files = FilesUnder(folder, extension);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string() : files[0];
    }

    // The engine alone, on the card in E, with a complete archive into the folder.
    std::string EngineArchive(const std::string& folder, const std::string& extension) {
        fs::create_directories(folder);
        AppContext& ctx = GetAppContext();
        ctx.operation = 1;
        const SmcList list = ScanSmcDrives(ctx);
        const auto entry = std::find_if(list.entries.begin(), list.entries.end(),
                                        [](const std::string& e) { return DriveOfEntry(e) == 'E'; });
        EXPECT_NE(entry, list.entries.end());
        if (entry == list.entries.end()) return {};
        EXPECT_EQ(IdentifySmc(ctx, *entry, SmcPurpose::Archiving), SmcIdentity::Accepted);
        ctx.archivePath = AsFolder(folder);
        SetArchiveType(ctx, 1);
        RecordingProgress progress;
        MemoryResultList results;
        RecordingStatus status;
        const ArchiveRunOutcome outcome = RunCurrentArchiver(ctx, &progress, &results, &status);
        EXPECT_TRUE(outcome.success) << outcome.result;
        const std::vector<std::string> files = FilesUnder(folder, extension);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string() : files[0];
    }

    // Finish on a finished run, the another-operation question answered.
    void Finish(bool another) {
        ui.shown.clear();
        ui.answers = {another};
        ClickWizard(kCtlFinish);
        ASSERT_EQ(ui.shown.size(), 1u);
        if (!french_) {
            EXPECT_EQ(ui.shown[0], "Do you want to perform another operation?");
        }
        ui.shown.clear();
    }

    AnsweringUi ui;
    bool french_ = false;
    std::unique_ptr<Win32WizardWindow> window_;
    std::unique_ptr<CMasterDlg> wizard_;
    std::vector<std::unique_ptr<CWizardPage>> pages_;
};

}  // namespace tv::test
