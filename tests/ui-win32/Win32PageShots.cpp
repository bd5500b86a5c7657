// Not a test: with TV_SHOT_DIR set, pictures of the real pages of the Windows
// face on the ways through the wizard (TV_SHOT_LANGUAGE: the configured
// language), with the settings dialog and the questions on top of the window,
// for scripts/windows-screenshots.sh. Without it, the case is skipped.
#include "Win32WizardDriver.h"

#include <atomic>

#include "ui-win32/Resource.h"
#include "wizard/DateSelectionPage.h"

namespace tv::test {

namespace {

// A part of the screen as it shows now, into a 24-bit BMP file.
bool SaveScreenPicture(const RECT& r, const std::string& path) {
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
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

// The visible window the wizard's window owns (a message box, the settings).
HWND OwnedWindowOf(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!IsWindowVisible(w) || GetWindow(w, GW_OWNER) != s->owner) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Win32PageShots : public Win32WizardDriver {
protected:
    void Configure(const char* dir, const char* language) {
        dir_ = dir;
        suffix_ = language != nullptr && std::string(language) == "French" ? "fr" : "en";
        french_ = suffix_ == "fr";
    }
    std::string Language() const { return std::string("Language=") + (french_ ? "French" : "English"); }
    std::string PathOf(const std::string& name) const { return dir_ + "/" + name + "-" + suffix_ + ".bmp"; }

    // The window as it is now.
    void Shoot(const std::string& name) {
        Settle();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Settle();
        RECT r{};
        GetWindowRect(window_->Handle(), &r);
        EXPECT_TRUE(SaveScreenPicture(r, PathOf(name))) << name;
    }

    // What `open` brings up over the window (a modal box or dialog), taken
    // with the window under it and then closed by its button `answer`.
    void ShootOnTop(const std::string& name, int answer, const std::function<void()>& open) {
        Settle();
        HWND main = window_->Handle();
        std::atomic<bool> taken{false};
        std::thread shooter([&] {
            HWND top = nullptr;
            for (int i = 0; i < 200 && top == nullptr; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                top = OwnedWindowOf(main);
            }
            if (top == nullptr) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            RECT a{}, b{}, both{};
            GetWindowRect(main, &a);
            GetWindowRect(top, &b);
            UnionRect(&both, &a, &b);
            taken = SaveScreenPicture(both, PathOf(name));
            PostMessageW(top, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
            // A box without that button is closed as Escape closes it.
            for (int i = 0; i < 40 && IsWindow(top) && IsWindowVisible(top); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (IsWindow(top) && IsWindowVisible(top)) PostMessageW(top, WM_COMMAND, IDCANCEL, 0);
        });
        open();
        shooter.join();
        EXPECT_TRUE(taken) << name;
        Settle();
    }
    // Finish on a finished page, the another-operation question shot when
    // `name` is given, answered Yes.
    void FinishForAnother(const std::string& name = {}) {
        ui.shown.clear();
        if (name.empty()) {
            ui.answers = {true};
            ClickWizard(kCtlFinish);
        } else {
            ui.real = true;
            ShootOnTop(name, IDYES, [&] { ClickWizard(kCtlFinish); });
        }
        ui.shown.clear();
    }
    void WaitForRun(int pageId) {
        auto& run = *static_cast<CArchiverRunPage*>(wizard_->FindPage(pageId));
        ASSERT_TRUE(WaitFor([&] { return run.IsFinished(); }));
    }
    void WaitForVerification() {
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(GetDlgItem(window_->Handle(), kCtlFinish)); }));
    }
    // From the welcome page to the archive path of an archive of the card in E.
    void ToArchivePath(int choice, const std::string& folder) {
        Click(kPageWelcome, kCtlNewArchive);
        NextTo(kPageSbcSelection);
        ChooseCard('E');
        NextTo(kPageArchiverSelection);
        Click(kPageArchiverSelection, choice);
        NextTo(kPageArchiverPathSelection);
        Type(kPageArchiverPathSelection, kCtlArchivePath, folder);
    }
    // From the welcome page to the verification page's path, without the card.
    void ToStandalonePath(const std::string& path, int operation = kCtlExistingArchive) {
        Click(kPageWelcome, operation);
        if (operation == kCtlExistingArchive && IsWindowVisible(PageControl(kPageWelcome, kCtlWithoutSmc)) &&
            !Checked(kPageWelcome, kCtlWithoutSmc)) {
            Click(kPageWelcome, kCtlWithoutSmc);
        }
        NextTo(kPageVerificationFileFolderSelection);
        if (Checked(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder)) {
            Click(kPageVerificationFileFolderSelection, FolderChoice::kCtlChooseFolder);
        }
        Type(kPageVerificationFileFolderSelection, FolderChoice::kCtlPath, path);
    }

    std::string dir_;
    std::string suffix_;
};

TEST_F(Win32PageShots, DxPages) {
    const char* dir = std::getenv("TV_SHOT_DIR");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "TV_SHOT_DIR not set";
    Configure(dir, std::getenv("TV_SHOT_LANGUAGE"));
    // A card about two thirds full, so that its fill level shows.
    CardOptions options = Small(CardFamily::Dx);
    const CardSummary probe = MountCard('Y', options);
    RemoveCard('Y');
    options.totalSectors = probe.sectorsUsed * 3 / 2 + 32;
    MountCard('E', options);
    Open("dX", {Language()});
    ASSERT_FALSE(HasFailure());
    const std::string folder = TempPath("wizard");
    fs::create_directories(folder);

    Shoot("page-133");
    ShootOnTop("settings", IDCANCEL, [&] {
        SendMessageW(GetDlgItem(window_->Handle(), TV_CTL_SETTINGS), BM_CLICK, 0, 0);
    });
    Click(kPageWelcome, kCtlNewArchive);
    NextTo(kPageSbcSelection);
    ChooseCard('E');
    Shoot("page-6");
    NextTo(kPageArchiverSelection);
    Click(kPageArchiverSelection, kCtlCompleteArchive);
    NextTo(kPageArchiverPathSelection);
    Type(kPageArchiverPathSelection, kCtlArchivePath, folder);
    Shoot("page-159");
    NextTo(kPageCompleteArchiver);
    WaitForRun(kPageCompleteArchiver);
    Shoot("page-135");
    const std::vector<std::string> files = FilesUnder(folder, ".csv");
    ASSERT_EQ(files.size(), 1u);
    FinishForAnother("box-another-operation");
    ASSERT_FALSE(HasFailure());
    ASSERT_EQ(Active(), kPageWelcome);

    // A verification with the card: the card page, then the archive's.
    Click(kPageWelcome, kCtlExistingArchive);
    if (Checked(kPageWelcome, kCtlWithoutSmc)) Click(kPageWelcome, kCtlWithoutSmc);
    NextTo(kPageSbcSelection);
    ChooseCard('E');
    NextTo(kPageVerificationFileFolderSelection);
    Type(kPageVerificationFileFolderSelection, FolderChoice::kCtlPath, files[0]);
    Shoot("page-140");
    NextTo(kPageVerification);
    WaitForVerification();
    Shoot("page-141");
    FinishForAnother();
    ASSERT_FALSE(HasFailure());

    // A changed copy of the archive, verified on its own.
    std::string bytes = ReadFile(files[0]);
    size_t at = bytes.size() / 2;
    while (at < bytes.size() && (bytes[at] == '\n' || bytes[at] == '\r' || bytes[at] == ';')) ++at;
    ASSERT_LT(at, bytes.size());
    bytes[at] = bytes[at] == '7' ? '8' : '7';
    const std::string changed = TempPath("changed") + "/" + fs::path(files[0]).filename().string();
    fs::create_directories(fs::path(changed).parent_path());
    std::ofstream(changed, std::ios::binary) << bytes;
    ToStandalonePath(changed);
    NextTo(kPageVerification);
    WaitForVerification();
    Shoot("page-141-failed");
    FinishForAnother();
    ASSERT_FALSE(HasFailure());

    // New days on the card, which fill it: the card page, the choice, a
    // continued archive.
    CardSummary grown;
    std::string error;
    ASSERT_TRUE(ExtendCard(CardFolder('E'), 2, grown, error)) << error;
    Click(kPageWelcome, kCtlNewArchive);
    NextTo(kPageSbcSelection);
    ChooseCard('E');
    Shoot("page-6-full");
    NextTo(kPageArchiverSelection);
    Click(kPageArchiverSelection, kCtlContinueArchive);
    Shoot("page-134");
    NextTo(kPageArchiverPathSelection);
    Type(kPageArchiverPathSelection, kCtlArchivePath, folder);
    NextTo(kPagePartialArchiver);
    WaitForRun(kPagePartialArchiver);
    Shoot("page-136");
    FinishForAnother();
    ASSERT_FALSE(HasFailure());

    // A new day, archived by its date.
    ASSERT_TRUE(ExtendCard(CardFolder('E'), 1, grown, error)) << error;
    ToArchivePath(kCtlDateBasedArchive, folder);
    NextTo(kPageDateSelection);
    Shoot("page-139");
    // The range as the page offers it reaches back into what is archived:
    // the page asks before it goes on.
    ui.real = true;
    ShootOnTop("box-date-range", IDYES, [&] { ClickWizard(kCtlNext); });
    ASSERT_EQ(Active(), kPageDateBasedArchiver);
    WaitForRun(kPageDateBasedArchiver);
    Shoot("page-137");
    FinishForAnother();
    ASSERT_FALSE(HasFailure());

    // No page of the flow leads to the verification choice: shown as if the
    // welcome page had, with the card page for a verification after it.
    CWizardPage* choice = wizard_->FindPage(kPageVerificationSelection);
    ASSERT_NE(choice, nullptr);
    wizard_->ActivatePage(choice);
    choice->OnEnterForward();
    window_->ShowButton(WizardButton::kBack, true);
    Shoot("page-161");
    NextTo(kPageVerificationSbcSelection);
    ChooseCard('E', kPageVerificationSbcSelection);
    Shoot("page-162");
}

TEST_F(Win32PageShots, Zt4Pages) {
    const char* dir = std::getenv("TV_SHOT_DIR");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "TV_SHOT_DIR not set";
    Configure(dir, std::getenv("TV_SHOT_LANGUAGE"));
    MountCard('E', Small(CardFamily::Zt4));
    Open("ZT4", {Language()});
    ASSERT_FALSE(HasFailure());
    Shoot("page-133-zt4");
    const std::string archive = CompleteArchive(TempPath("wizard"), ".xml");
    ASSERT_FALSE(archive.empty());
    Shoot("page-135-zt4");
    FinishForAnother();
    ASSERT_FALSE(HasFailure());
    ToStandalonePath(archive);
    Shoot("page-140-zt4");
    NextTo(kPageVerification);
    WaitForVerification();
    Shoot("page-141-zt4");
    FinishForAnother();
    ASSERT_FALSE(HasFailure());
    ToStandalonePath(CardFolder('E') + "/Archive.log", kCtlLogValidation);
    Shoot("page-140-log");
    NextTo(kPageVerification);
    WaitForVerification();
    Shoot("page-141-log");
}

}  // namespace

}  // namespace tv::test
