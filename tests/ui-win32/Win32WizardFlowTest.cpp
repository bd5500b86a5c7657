// The wizard's real pages on the Windows face, driven as the user's clicks drive
// them: the messages of the radio buttons, boxes, edits, the card list and the
// wizard's buttons go to the page dialogs, questions are answered through the
// face's user interface. Each run writes what the engine alone writes for the
// same card, and the archive verifies.
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

namespace {

using FolderChoice = CVerificationFileFolderSelectionPage;

// The face's user interface with the boxes answered from a script (No when it
// runs out) and kept; the pump of a run is the window's own.
class AnsweringUi : public Win32UiHost {
public:
    int MessageBox(const std::u16string& text, const std::u16string&, unsigned style) override {
        shown.push_back(ToNarrow(text));
        if ((style & 0xF) != kMbYesNo) return kIdOk;
        if (answers.empty()) return kIdNo;
        const bool yes = answers.front();
        answers.pop_front();
        return yes ? kIdYes : kIdNo;
    }
    std::deque<bool> answers;
    std::vector<std::string> shown;
};

std::vector<std::string> FilesUnder(const std::string& folder, const std::string& ending) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec)) {
        if (e.is_regular_file() && e.path().string().ends_with(ending)) paths.push_back(e.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// A ZT4 file's signature differs from one signing to the next.
std::string Unsigned(const std::string& text) { return text.substr(0, text.find("<digisign>")); }

// The window as the screen shows it, into a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * height, '\0');
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes += pixels;
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return out.good();
}

class Win32WizardFlowTest : public CardTest {
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
    void ChooseCard(char letter) {
        HWND list = PageControl(kPageSbcSelection, kCtlCardList);
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
        EXPECT_EQ(Cell(kPageCompleteArchiver, kCtlRunResultList, 0, 2), u"Success");
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

TEST_F(Win32WizardFlowTest, DxArchiveMatchesTheEngineAndVerifiesWithoutTheCard) {
    MountCard('E', Small(CardFamily::Dx));
    Open("dX");
    ASSERT_FALSE(HasFailure());
    const std::string archive = CompleteArchive(TempPath("wizard"), ".csv");
    ASSERT_FALSE(archive.empty());
    const std::string direct = EngineArchive(TempPath("direct"), ".csv");
    ASSERT_FALSE(direct.empty());
    EXPECT_EQ(fs::path(direct).filename(), fs::path(archive).filename());
    EXPECT_TRUE(ReadFile(direct) == ReadFile(archive)) << "the wizard's archive differs from the engine's";

    // Another operation: the archive verified on its own.
    Finish(true);
    ASSERT_EQ(Active(), kPageWelcome);
    // The first page again, with its Next once it painted.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window_->Handle(), kCtlNext)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window_->Handle(), kCtlBack)));
    Click(kPageWelcome, kCtlExistingArchive);
    if (!Checked(kPageWelcome, kCtlWithoutSmc)) Click(kPageWelcome, kCtlWithoutSmc);
    EXPECT_TRUE(Checked(kPageWelcome, kCtlWithoutSmc));
    NextTo(kPageVerificationFileFolderSelection);
    if (Checked(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder)) {
        Click(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder);
    }
    Type(kPageVerificationFileFolderSelection, FolderChoice::kCtlPath, archive);
    NextTo(kPageVerification);
    ASSERT_TRUE(WaitFor([&] { return Rows(kPageVerification, CVerificationPage::kCtlResults) > 0 &&
                                      IsWindowVisible(GetDlgItem(window_->Handle(), kCtlFinish)); }));
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
    EXPECT_EQ(Rows(kPageVerification, CVerificationPage::kCtlResults), 1);
    EXPECT_EQ(Cell(kPageVerification, CVerificationPage::kCtlResults, 0, 1),
              ToUtf16(fs::path(archive).filename().string()));
    EXPECT_EQ(Cell(kPageVerification, CVerificationPage::kCtlResults, 0, 2), u"Success");

    // No: the wizard ends.
    Finish(false);
    EXPECT_TRUE(window_->Ended());
    EXPECT_FALSE(HasAppContext());
}

TEST_F(Win32WizardFlowTest, Zt4ArchiveMatchesTheEngineBesideItsSignature) {
    MountCard('E', Small(CardFamily::Zt4));
    Open("ZT4");
    ASSERT_FALSE(HasFailure());
    const std::string archive = CompleteArchive(TempPath("wizard"), ".xml");
    ASSERT_FALSE(archive.empty());
    const std::string direct = EngineArchive(TempPath("direct"), ".xml");
    ASSERT_FALSE(direct.empty());
    EXPECT_EQ(fs::path(direct).filename(), fs::path(archive).filename());
    const std::string mine = ReadFile(archive);
    EXPECT_NE(mine.find("<digisign>"), std::string::npos);
    EXPECT_TRUE(Unsigned(ReadFile(direct)) == Unsigned(mine)) << "the wizard's archive differs from the engine's";
    Finish(false);
    EXPECT_TRUE(window_->Ended());
}


// Not a test: with TV_SHOT_DIR set, pictures of the real pages on the way
// through an archive, a verification and a date range (TV_SHOT_LANGUAGE:
// the configured language), for scripts/windows-screenshots.sh.
TEST_F(Win32WizardFlowTest, PicturesOfThePages) {
    const char* dir = std::getenv("TV_SHOT_DIR");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "TV_SHOT_DIR not set";
    const char* language = std::getenv("TV_SHOT_LANGUAGE");
    const std::string suffix = language != nullptr && std::string(language) == "French" ? "fr" : "en";
    french_ = suffix == "fr";
    MountCard('E', Small(CardFamily::Dx));
    Open("dX", {std::string("Language=") + (suffix == "fr" ? "French" : "English")});
    ASSERT_FALSE(HasFailure());
    const auto shoot = [&](const std::string& name) {
        Settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Settle();
        EXPECT_TRUE(SaveWindowPicture(window_->Handle(), std::string(dir) + "/" + name + "-" + suffix + ".bmp"));
    };
    const std::string folder = TempPath("wizard");
    fs::create_directories(folder);
    shoot("page-133");
    Click(kPageWelcome, kCtlNewArchive);
    NextTo(kPageSbcSelection);
    ChooseCard('E');
    shoot("page-6");
    NextTo(kPageArchiverSelection);
    shoot("page-134");
    Click(kPageArchiverSelection, kCtlCompleteArchive);
    NextTo(kPageArchiverPathSelection);
    Type(kPageArchiverPathSelection, kCtlArchivePath, folder);
    shoot("page-159");
    NextTo(kPageCompleteArchiver);
    auto& run = *static_cast<CArchiverRunPage*>(wizard_->FindPage(kPageCompleteArchiver));
    ASSERT_TRUE(WaitFor([&] { return run.IsFinished(); }));
    shoot("page-135");
    const std::vector<std::string> files = FilesUnder(folder, ".csv");
    ASSERT_EQ(files.size(), 1u);
    Finish(true);
    Click(kPageWelcome, kCtlExistingArchive);
    if (!Checked(kPageWelcome, kCtlWithoutSmc)) Click(kPageWelcome, kCtlWithoutSmc);
    NextTo(kPageVerificationFileFolderSelection);
    if (Checked(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder)) {
        Click(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder);
    }
    Type(kPageVerificationFileFolderSelection, FolderChoice::kCtlPath, files[0]);
    shoot("page-140");
    NextTo(kPageVerification);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(GetDlgItem(window_->Handle(), kCtlFinish)); }));
    shoot("page-141");
    // A new day on the card, archived by its date.
    CardSummary grown;
    std::string error;
    ASSERT_TRUE(ExtendCard(CardFolder('E'), 1, grown, error)) << error;
    Finish(true);
    Click(kPageWelcome, kCtlNewArchive);
    NextTo(kPageSbcSelection);
    ChooseCard('E');
    NextTo(kPageArchiverSelection);
    Click(kPageArchiverSelection, kCtlDateBasedArchive);
    NextTo(kPageArchiverPathSelection);
    Type(kPageArchiverPathSelection, kCtlArchivePath, folder);
    NextTo(kPageDateSelection);
    shoot("page-139");
}

}  // namespace

}  // namespace tv::test
