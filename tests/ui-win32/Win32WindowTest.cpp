// The wizard's Windows window: the page area, the buttons, the breadcrumb, the
// keys, the device events and the settings dialog, driven by window messages.
#include "StubPage.h"
// After windows.h.
#include <commctrl.h>
#include <dbt.h>

#include "app/AppContext.h"
#include "messages/Messages.h"
#include "platform/Text.h"
#include "ui-win32/Resource.h"
#include "ui-win32/Win32SettingsDialog.h"
#include "ui-win32/Win32Text.h"

namespace tv::test {

namespace {

RECT RectIn(HWND control, HWND parent) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool IsDefault(HWND button) { return (GetWindowLongPtrW(button, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON; }

int DefaultId(HWND dialog) { return LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)); }

MSG Key(HWND target, UINT message, WPARAM key) {
    MSG m{};
    m.hwnd = target;
    m.message = message;
    m.wParam = key;
    m.lParam = 1;
    return m;
}

}  // namespace

TEST_F(Win32FaceTest, OpensOnTheFirstPageInThePageAreaWithNextAsDefault) {
    Open({133, 134, 141});
    EXPECT_EQ(ActiveId(), 133);
    HWND page = window_->PageWindow(Page(133));
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(Visible(page));
    const RECT area = RectIn(Control(kCtlPagePlaceholder), Window());
    const RECT placed = RectIn(page, Window());
    EXPECT_EQ(placed.left, area.left);
    EXPECT_EQ(placed.top, area.top);
    // The other pages are made only when first shown.
    EXPECT_EQ(window_->PageWindow(Page(134)), nullptr);

    EXPECT_FALSE(Visible(Control(kCtlBack)));
    EXPECT_TRUE(Visible(Control(kCtlNext)));
    EXPECT_TRUE(Visible(Control(kCtlCancel)));
    EXPECT_FALSE(Visible(Control(kCtlFinish)));
    EXPECT_FALSE(Visible(Control(TV_CTL_PAGE_BUTTON)));
    EXPECT_EQ(DefaultId(Window()), kCtlNext);
    EXPECT_TRUE(IsDefault(Control(kCtlNext)));
    EXPECT_EQ(WindowText(Window()), ToUtf16(WindowTitle()));
    EXPECT_EQ(WindowText(Control(kCtlNext)), GetMessageText(105));
    EXPECT_EQ(WindowText(Control(kCtlCancel)), GetMessageText(106));
}

TEST_F(Win32FaceTest, OnePageShowsFinishInsteadOfNext) {
    Open({133});
    EXPECT_FALSE(Visible(Control(kCtlNext)));
    EXPECT_TRUE(Visible(Control(kCtlFinish)));
}

// However many buttons a page shows, none covers another, they keep their
// order and a long caption gets a wider button.
TEST_F(Win32FaceTest, VisibleButtonsStandInARowWithoutOverlap) {
    Open({133, 141}, "dX", {"Language=French"});
    ClickControl(Control(kCtlNext));
    ASSERT_EQ(ActiveId(), 141);
    WizardWindow& w = *window_;
    w.ShowButton(WizardButton::kNext, false);
    w.ShowButton(WizardButton::kBack, false);
    w.SetButtonText(WizardButton::kPage, u"Enregistrer le rapport...");
    w.ShowButton(WizardButton::kPage, true);
    w.ShowButton(WizardButton::kFinish, true);
    const std::vector<int> row = {TV_CTL_PAGE_BUTTON, kCtlCancel, kCtlFinish};
    for (size_t i = 0; i < row.size(); ++i) {
        ASSERT_TRUE(Visible(Control(row[i]))) << row[i];
        if (i == 0) continue;
        EXPECT_LT(RectIn(Control(row[i - 1]), Window()).right, RectIn(Control(row[i]), Window()).left) << row[i];
    }
    EXPECT_GT(RectIn(Control(TV_CTL_PAGE_BUTTON), Window()).right - RectIn(Control(TV_CTL_PAGE_BUTTON), Window()).left,
              RectIn(Control(kCtlCancel), Window()).right - RectIn(Control(kCtlCancel), Window()).left);
    // Back with them: all four apart.
    w.ShowButton(WizardButton::kBack, true);
    EXPECT_LT(RectIn(Control(kCtlBack), Window()).right, RectIn(Control(TV_CTL_PAGE_BUTTON), Window()).left);
}

TEST_F(Win32FaceTest, NextAndBackSwapThePagesAndKeepTheirWindows) {
    Open({133, 134});
    HWND first = window_->PageWindow(Page(133));
    ClickControl(Control(kCtlNext));
    ASSERT_EQ(ActiveId(), 134);
    HWND second = window_->PageWindow(Page(134));
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(Visible(first));
    EXPECT_TRUE(Visible(second));
    EXPECT_TRUE(Visible(Control(kCtlBack)));
    EXPECT_EQ(RectIn(second, Window()).left, RectIn(Control(kCtlPagePlaceholder), Window()).left);

    ClickControl(Control(kCtlBack));
    EXPECT_EQ(ActiveId(), 133);
    EXPECT_EQ(window_->PageWindow(Page(133)), first);
    EXPECT_TRUE(Visible(first));
    EXPECT_FALSE(Visible(second));
    EXPECT_FALSE(Visible(Control(kCtlBack)));
}

TEST_F(Win32FaceTest, BreadcrumbLaysOutTheCaptionsOfThePageInTheBand) {
    Open({133, 134});
    ClickControl(Control(kCtlNext));
    const int captions[] = {TV_CTL_CRUMB1, TV_CTL_CRUMB3, TV_CTL_CRUMB5};
    const MessageId texts[] = {140, 114, 115};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Visible(Control(captions[i]))) << i;
        EXPECT_EQ(WindowText(Control(captions[i])), GetMessageText(texts[i])) << i;
    }
    EXPECT_EQ(WindowText(Control(TV_CTL_CRUMB2)), u"  >");
    EXPECT_TRUE(Visible(Control(TV_CTL_CRUMB4)));
    for (int hidden : {TV_CTL_CRUMB6, TV_CTL_CRUMB7, TV_CTL_CRUMB8, TV_CTL_CRUMB9})
        EXPECT_FALSE(Visible(Control(hidden))) << hidden;
    EXPECT_EQ(window_->HighlightedCaption(), TV_CTL_CRUMB5);

    // Left to right without overlapping, inside the band.
    const RECT band = RectIn(Control(TV_CTL_BAND), Window());
    int right = 0;
    for (int id : {TV_CTL_CRUMB1, TV_CTL_CRUMB2, TV_CTL_CRUMB3, TV_CTL_CRUMB4, TV_CTL_CRUMB5}) {
        const RECT r = RectIn(Control(id), Window());
        EXPECT_GE(r.left, right) << id;
        EXPECT_GT(r.right, r.left) << id;
        EXPECT_GE(r.top, band.top) << id;
        EXPECT_LE(r.bottom, band.bottom) << id;
        right = r.right;
    }
    EXPECT_LE(right, band.right);

    ClickControl(Control(kCtlBack));
    EXPECT_TRUE(Visible(Control(TV_CTL_CRUMB1)));
    EXPECT_FALSE(Visible(Control(TV_CTL_CRUMB2)));
    EXPECT_FALSE(Visible(Control(TV_CTL_CRUMB3)));
    EXPECT_EQ(window_->HighlightedCaption(), TV_CTL_CRUMB1);
}

TEST_F(Win32FaceTest, ALanguageSwitchShowsAtOnceOnButtonsAndBreadcrumb) {
    Open({133, 134}, "dX", {"Language=French"});
    ClickControl(Control(kCtlNext));
    EXPECT_EQ(WindowText(Control(kCtlCancel)), u"&Annuler");
    EXPECT_EQ(WindowText(Control(TV_CTL_CRUMB1)), u"Choix de fonctionnement");
    const RECT french = RectIn(Control(TV_CTL_CRUMB5), Window());

    GetAppContext().language = "English";
    wizard_->RefreshTexts();
    EXPECT_EQ(WindowText(Control(kCtlCancel)), u"&Cancel");
    EXPECT_EQ(WindowText(Control(kCtlBack)), u"&Back");
    EXPECT_EQ(WindowText(Control(TV_CTL_CRUMB1)), u"Operation choice");
    EXPECT_EQ(WindowText(Control(TV_CTL_CRUMB5)), u"Archiving choice");
    // The captions were measured again: the shorter English ones move left.
    EXPECT_LT(RectIn(Control(TV_CTL_CRUMB5), Window()).left, french.left);
}

TEST_F(Win32FaceTest, ShortenedFrenchCaptionsShowTheFullOneAsATip) {
    Open({133, 137}, "dX", {"Language=French"});
    const auto tools = [this] { return SendMessageW(window_->Tooltips(), TTM_GETTOOLCOUNT, 0, 0); };
    EXPECT_EQ(tools(), 2);  // help and settings
    ClickControl(Control(kCtlNext));
    ASSERT_EQ(ActiveId(), 137);
    EXPECT_EQ(WindowText(Control(TV_CTL_CRUMB1)), u"...fonctionnement");
    EXPECT_EQ(WindowText(Control(TV_CTL_CRUMB3)), u"...SMC");
    EXPECT_EQ(tools(), 4);
    ClickControl(Control(kCtlBack));
    EXPECT_EQ(tools(), 2);
}

TEST_F(Win32FaceTest, CancelAndTheCloseBoxEndTheWizardUnlessAPageRefuses) {
    Open({133, 134});
    Page(133).agreeToCancel = false;
    ClickControl(Control(kCtlCancel));
    EXPECT_FALSE(window_->Ended());
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(window_->Ended());

    Page(133).agreeToCancel = true;
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(window_->Ended());
    EXPECT_EQ(window_->EndCode(), kCtlCancel);
}

TEST_F(Win32FaceTest, RunPagesCallTheCancelButtonAbort) {
    Open({133, 135});
    ClickControl(Control(kCtlNext));
    ASSERT_EQ(ActiveId(), 135);
    EXPECT_EQ(WindowText(Control(kCtlCancel)), GetMessageText(107));
    ClickControl(Control(kCtlBack));
    EXPECT_EQ(WindowText(Control(kCtlCancel)), GetMessageText(106));
}

TEST_F(Win32FaceTest, TheDefaultMarkMovesWithTheDefaultButton) {
    Open({133, 134});
    wizard_->SetNextOrCancelDefault(true);
    EXPECT_FALSE(IsWindowEnabled(Control(kCtlNext)));
    EXPECT_TRUE(IsDefault(Control(kCtlCancel)));
    EXPECT_FALSE(IsDefault(Control(kCtlNext)));
    EXPECT_EQ(DefaultId(Window()), kCtlCancel);

    wizard_->SetNextOrCancelDefault(false);
    EXPECT_TRUE(IsWindowEnabled(Control(kCtlNext)));
    EXPECT_TRUE(IsDefault(Control(kCtlNext)));
    EXPECT_FALSE(IsDefault(Control(kCtlCancel)));
    EXPECT_EQ(DefaultId(Window()), kCtlNext);
}

TEST_F(Win32FaceTest, KeysOfTheTableReachTheWizardButBackspaceStaysInAnEdit) {
    Open({133, 159, 134});
    MSG f3 = Key(Control(kCtlNext), WM_KEYDOWN, VK_F3);
    EXPECT_TRUE(window_->PreTranslate(f3));
    EXPECT_EQ(Page(133).browses, 1);

    ClickControl(Control(kCtlNext));
    ASSERT_EQ(ActiveId(), 159);
    HWND edit = PageControl(159, 1036);
    SetFocus(edit);
    MSG inEdit = Key(edit, WM_KEYDOWN, VK_BACK);
    window_->PreTranslate(inEdit);
    Pump();
    EXPECT_EQ(ActiveId(), 159);

    MSG onButton = Key(Control(kCtlCancel), WM_KEYDOWN, VK_BACK);
    EXPECT_TRUE(window_->PreTranslate(onButton));
    Pump();
    EXPECT_EQ(ActiveId(), 133);
}

TEST_F(Win32FaceTest, BackspaceDoesNotLeaveTheCardPage) {
    Open({133, 6});
    ClickControl(Control(kCtlNext));
    ASSERT_EQ(ActiveId(), 6);
    MSG onButton = Key(Control(kCtlNext), WM_KEYDOWN, VK_BACK);
    window_->PreTranslate(onButton);
    Pump();
    EXPECT_EQ(ActiveId(), 6);
}

TEST_F(Win32FaceTest, DriveArrivalAndRemovalReachTheActivePage) {
    Open({133, 134});
    SendMessageW(Window(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    SendMessageW(Window(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
    SendMessageW(Window(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    SendMessageW(Window(), WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, 0);
    EXPECT_EQ(Page(133).deviceChanges, 2);
    EXPECT_EQ(Page(134).deviceChanges, 0);
}

TEST_F(Win32FaceTest, PicturesOfTheWindowAreLoaded) {
    Open({133});
    EXPECT_NE(SendMessageW(Control(TV_CTL_HELP), BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_NE(SendMessageW(Control(TV_CTL_SETTINGS), BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_NE(SendMessageW(Control(TV_CTL_LOGO), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_NE(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), 0);
    // The logo keeps to the top right corner.
    RECT client{};
    GetClientRect(Window(), &client);
    const RECT logo = RectIn(Control(TV_CTL_LOGO), Window());
    EXPECT_LE(logo.right, client.right);
    EXPECT_GT(logo.left, client.right / 2);
    for (int size : {16, 32, 48, 256}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TV_ICON_APP), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) DestroyIcon(icon);
    }
}

TEST_F(Win32FaceTest, ThePageButtonReachesTheActivePage) {
    Open({133, 134});
    window_->ShowButton(WizardButton::kPage, true);
    ClickControl(Control(TV_CTL_PAGE_BUTTON));
    EXPECT_EQ(Page(133).pageButtons, 1);
    // Every activation hides it again.
    ClickControl(Control(kCtlNext));
    EXPECT_FALSE(Visible(Control(TV_CTL_PAGE_BUTTON)));
}

TEST_F(Win32FaceTest, AMissingHelpPageIsReportedNotOpened) {
    Open({133});
    EXPECT_FALSE(window_->OpenDocument(TempPath("nowhere.htm")));
}

namespace {

struct SettingsSeen {
    bool seen = false;
    bool hasControls = false;
    bool saveHidden = false;
    std::u16string title;
};
SettingsSeen g_settings;

void CALLBACK CloseSettings(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = Win32SettingsDialog::Current();
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    g_settings.seen = true;
    g_settings.hasControls = GetDlgItem(dialog, 1033) != nullptr && GetDlgItem(dialog, 1036) != nullptr &&
                             GetDlgItem(dialog, 1112) != nullptr && GetDlgItem(dialog, IDOK) != nullptr;
    g_settings.saveHidden = (GetWindowLongPtrW(GetDlgItem(dialog, 1115), GWL_STYLE) & WS_VISIBLE) == 0;
    g_settings.title = WindowText(dialog);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

}  // namespace

TEST_F(Win32FaceTest, TheSettingsButtonOpensTheSettingsDialogAndCancelClosesIt) {
    Open({133, 134});
    g_settings = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseSettings);
    ClickControl(Control(TV_CTL_SETTINGS));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_settings.seen);
    EXPECT_TRUE(g_settings.hasControls);
    EXPECT_TRUE(g_settings.saveHidden);
    EXPECT_EQ(g_settings.title, GetMessageText(200));
    EXPECT_EQ(Win32SettingsDialog::Current(), nullptr);
    EXPECT_EQ(ActiveId(), 133);
    EXPECT_EQ(WindowText(Window()), ToUtf16(WindowTitle()));
}

TEST_F(Win32FaceTest, NoSettingsWhileTheButtonIsDisabled) {
    Open({133});
    window_->EnableSettings(false);
    EXPECT_FALSE(window_->IsSettingsEnabled());
    g_settings = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseSettings);
    wizard_->OnKey(WizardKey::kAltX);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(g_settings.seen);
}

}  // namespace tv::test
