// The engine's user interface on Windows: message boxes owned by the wizard's
// window with the user's answer, and the pump of a run.
#include "StubPage.h"
#include "ui-win32/Win32Text.h"
#include "ui-win32/Win32UiHost.h"

namespace tv::test {

namespace {

struct BoxSeen {
    HWND owner = nullptr;
    std::u16string text;
    int answer = IDYES;
    bool seen = false;
};
BoxSeen g_box;

BOOL CALLBACK AnswerBox(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") != 0 || WindowText(window) != u"Tallyvault test") return TRUE;
    g_box.seen = true;
    g_box.owner = GetWindow(window, GW_OWNER);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(g_box.answer, BN_CLICKED), 0);
    return FALSE;
}

void CALLBACK FindBox(HWND, UINT, UINT_PTR timer, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
    if (g_box.seen) KillTimer(nullptr, timer);
}

}  // namespace

TEST_F(Win32FaceTest, QuestionsAreOwnedByTheWindowAndReturnTheAnswer) {
    Open({133, 134});
    Win32UiHost host;
    host.SetOwner(window_.get());
    for (int answer : {IDYES, IDNO}) {
        g_box = {};
        g_box.answer = answer;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, FindBox);
        const int result = host.MessageBox(u"Do you want to perform another operation?", u"Tallyvault test",
                                           kMbYesNo | kMbIconQuestion);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(g_box.seen);
        EXPECT_EQ(g_box.owner, Window());
        EXPECT_EQ(result, answer == IDYES ? kIdYes : kIdNo);
    }
}

TEST_F(Win32FaceTest, ThePumpOfARunHandlesTheUsersClicks) {
    Open({133, 134});
    Win32UiHost host;
    host.SetOwner(window_.get());
    PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCtlNext, BN_CLICKED), reinterpret_cast<LPARAM>(Control(kCtlNext)));
    EXPECT_EQ(ActiveId(), 133);
    host.Pump();
    EXPECT_EQ(ActiveId(), 134);
    host.Repaint();
}

}  // namespace tv::test
