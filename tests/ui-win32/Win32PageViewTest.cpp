// A page's controls through the PageView the Windows face made from its
// template, and the controls' events that reach the core page.
#include "StubPage.h"
// After windows.h.
#include <commctrl.h>

#include <chrono>
#include <functional>

#include "messages/UiHost.h"
#include "ui-win32/Resource.h"
#include "ui-win32/Win32Text.h"
#include "wizard/PageView.h"

namespace tv::test {

namespace {

void PumpFor(Win32WizardWindow& window, int milliseconds, const std::function<bool()>& done = {}) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < until) {
        window.PumpPending();
        if (done && done()) return;
        Sleep(5);
    }
}

}  // namespace

TEST_F(Win32FaceTest, ButtonsChecksAndTextsOfAPage) {
    Open({133});
    StubPage& page = Page(133);
    PageView& view = page.View();
    SendMessageW(PageControl(133, 1006), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(page.commands, std::vector<int>{1006});
    EXPECT_TRUE(view.IsChecked(1006));
    view.SetChecked(1005, true);
    view.SetChecked(1006, false);
    EXPECT_TRUE(view.IsChecked(1005));
    EXPECT_FALSE(view.IsChecked(1006));

    EXPECT_FALSE(view.IsVisible(1099));
    view.Show(1099, true);
    EXPECT_TRUE(view.IsVisible(1099));
    view.Enable(1110, false);
    EXPECT_FALSE(view.IsEnabled(1110));
    view.Enable(1110, true);
    EXPECT_TRUE(view.IsEnabled(1110));

    view.SetText(1040, u"Select an opération");
    EXPECT_EQ(view.GetText(1040), u"Select an opération");
    // A control the template lacks is nothing, not a failure.
    EXPECT_FALSE(view.IsVisible(4242));
    EXPECT_EQ(view.GetText(4242), u"");
    view.SetTip(1005, u"a tip");
    view.SetTip(1005, u"");
}

TEST_F(Win32FaceTest, TheCardListKeepsThePlaceholderFirstAndTellsOfAChoice) {
    Open({6});
    PageView& view = Page(6).View();
    view.ClearItems(1010);
    view.AddItem(1010, u"F00D (G:)");
    view.AddItem(1010, u"0A12 (E:)");
    view.AddItem(1010, u"<Select SMC>");
    ASSERT_EQ(view.ItemCount(1010), 3);
    EXPECT_EQ(view.ItemText(1010, 0), u"<Select SMC>");
    EXPECT_EQ(view.ItemText(1010, 1), u"0A12 (E:)");
    EXPECT_EQ(view.ItemText(1010, 7), u"");
    EXPECT_EQ(view.Selection(1010), -1);
    view.Select(1010, 2);
    EXPECT_EQ(view.Selection(1010), 2);
    EXPECT_EQ(view.GetText(1010), u"F00D (G:)");
    // Choosing in code tells nothing; the user's choice does.
    EXPECT_TRUE(Page(6).selections.empty());
    HWND list = PageControl(6, 1010);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(1010, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(Page(6).selections, std::vector<int>{1010});
    view.ClearItems(1010);
    EXPECT_EQ(view.ItemCount(1010), 0);
}

TEST_F(Win32FaceTest, TypingIsAnEditButSettingTheTextIsNot) {
    Open({159});
    StubPage& page = Page(159);
    page.View().SetText(1036, u"C:\\Archives");
    EXPECT_TRUE(page.edits.empty());
    SendMessageW(PageControl(159, 1036), WM_CHAR, L'x', 1);
    EXPECT_EQ(page.edits, std::vector<int>{1036});
    EXPECT_EQ(page.View().GetText(1036), u"xC:\\Archives");
    // The button beside the edit is the page's browse action.
    ClickControl(PageControl(159, TV_CTL_BROWSE));
    EXPECT_EQ(page.browses, 1);
    EXPECT_TRUE(page.commands.empty());
}

TEST_F(Win32FaceTest, TheResultListIsAReportWithTheGivenColumns) {
    Open({141});
    PageView& view = Page(141).View();
    HWND list = PageControl(141, 1024);
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    const auto extended = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    view.SetColumns(1024, {u"S.No", u"File Name", u"Result", u"Remarks"}, {50, 300, 90, 150});
    view.SetColumns(1024, {u"S.No", u"File Name", u"Result", u"Remarks"}, {50, 300, 90, 150});
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);

    ResultList* rows = view.Results(1024);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->InsertRow(0, u"1"), 0);
    EXPECT_EQ(rows->InsertRow(99, u"2"), 1);
    EXPECT_EQ(rows->InsertRow(0, u"0"), 0);
    ASSERT_EQ(rows->ItemCount(), 3);
    EXPECT_EQ(rows->Cell(2, 0), u"2");
    rows->SetCell(1, 1, u"ARCH_0001.csv");
    EXPECT_EQ(rows->Cell(1, 1), u"ARCH_0001.csv");
    const std::u16string longRemark(1500, u'é');
    rows->SetCell(1, 3, longRemark);
    EXPECT_EQ(rows->Cell(1, 3), longRemark);
    // Outside the list: nothing happens.
    rows->SetCell(7, 1, u"x");
    rows->SetCell(0, 9, u"x");
    EXPECT_EQ(rows->Cell(0, 9), u"");
    EXPECT_EQ(rows->Cell(-1, 0), u"");
    EXPECT_FALSE(rows->DeleteRow(3));
    EXPECT_TRUE(rows->DeleteRow(0));
    EXPECT_EQ(rows->ItemCount(), 2);
    EXPECT_EQ(rows->Cell(0, 0), u"1");
    EXPECT_EQ(view.Results(4242), nullptr);
}

TEST_F(Win32FaceTest, ProgressAndStatusOfARunPage) {
    Open({135});
    PageView& view = Page(135).View();
    ProgressView* bar = view.Progress(1011);
    ASSERT_NE(bar, nullptr);
    bar->SetRange(0, 340);
    bar->SetPos(12);
    HWND control = PageControl(135, 1011);
    EXPECT_EQ(SendMessageW(control, PBM_GETPOS, 0, 0), 12);
    EXPECT_EQ(SendMessageW(control, PBM_GETRANGE, FALSE, 0), 340);
    StatusView* status = view.Status(1500);
    ASSERT_NE(status, nullptr);
    status->SetText(u"Preparing to archive (12/340)...");
    EXPECT_EQ(view.GetText(1500), u"Preparing to archive (12/340)...");
    EXPECT_EQ(view.Progress(1018), nullptr);
}

// The result picture of a run page: success or failure, by the check the page
// sets or the picture it names; the coloured bar of a fill level.
TEST_F(Win32FaceTest, ResultPicturesAndColouredBars) {
    Open({135});
    PageView& run = Page(135).View();
    HWND picture = PageControl(135, 1090);
    run.SetChecked(1090, true);
    const auto success = SendMessageW(picture, STM_GETICON, 0, 0);
    EXPECT_NE(success, 0);
    EXPECT_TRUE(run.IsChecked(1090));
    run.SetChecked(1090, false);
    const auto failure = SendMessageW(picture, STM_GETICON, 0, 0);
    EXPECT_NE(failure, 0);
    EXPECT_NE(failure, success);
    EXPECT_FALSE(run.IsChecked(1090));
    run.SetImage(1090, TV_ICON_SUCCESS);
    EXPECT_EQ(SendMessageW(picture, STM_GETICON, 0, 0), success);
    // A list of the same page is no picture.
    EXPECT_FALSE(run.IsChecked(1089));

    HWND bar = PageControl(135, 1011);
    run.SetBarState(1011, BarState::kPaused);
    EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(RGB(225, 200, 0)));
    EXPECT_EQ(SendMessageW(bar, PBM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 255)));
    run.SetBarState(1011, BarState::kError);
    EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 0, 0)));
    run.SetBarState(1011, BarState::kNormal);
    EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(CLR_DEFAULT));
}

TEST_F(Win32FaceTest, DatePickersKeepTheDay) {
    Open({139});
    PageView& view = Page(139).View();
    view.SetDateRange(1019, DayDate{2015, 1, 1}, DayDate{2016, 12, 31});
    view.SetDate(1019, DayDate{2016, 3, 1});
    const DayDate day = view.GetDate(1019);
    EXPECT_EQ(day.year, 2016);
    EXPECT_EQ(day.month, 3);
    EXPECT_EQ(day.day, 1);
    // The user's short date format: neither the long one nor a format of ours.
    EXPECT_EQ(GetWindowLongPtrW(PageControl(139, 1020), GWL_STYLE) & DTS_LONGDATEFORMAT, 0);
    wchar_t name[32] = {};
    GetClassNameW(PageControl(139, 1020), name, 32);
    EXPECT_EQ(lstrcmpiW(name, DATETIMEPICK_CLASSW), 0);
}

TEST_F(Win32FaceTest, TimersAndPaintsReachThePage) {
    Open({133});
    StubPage& page = Page(133);
    EXPECT_GT(page.paints, 0);
    page.View().SetTimer(7, 10);
    PumpFor(*window_, 3000, [&] { return page.timers.size() >= 2; });
    ASSERT_GE(page.timers.size(), 2u);
    EXPECT_EQ(page.timers.front(), 7);
    page.View().KillTimer(7);
    const size_t seen = page.timers.size();
    PumpFor(*window_, 100);
    EXPECT_EQ(page.timers.size(), seen);
}

}  // namespace tv::test
