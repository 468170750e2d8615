// The notice for files that are not camera raw pictures, answered from
// inside its own modal loop, and the modeless notice for edited files.
#include "TlRawNotices.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring OwnString(unsigned id)
{
    wchar_t text[512] = {};
    LoadStringW(GetModuleHandleW(nullptr), id, text, 512);
    return text;
}

std::wstring ItemText(HWND dialog, int item)
{
    wchar_t text[512] = {};
    if (item == 0)
        GetWindowTextW(dialog, text, 512);
    else
        GetDlgItemTextW(dialog, item, text, 512);
    return text;
}

// What the user does once the notice shows, and what the test saw of it.
struct NoticeScript {
    bool tick;
    int button;
    bool shown;
    std::wstring title, text, check, ok, cancel;
};
NoticeScript* g_script = nullptr;

void CALLBACK AnswerNotice(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND notice = FindWindowW(L"#32770", OwnString(30).c_str());
    if (!notice || !IsWindowVisible(notice))
        return;
    KillTimer(nullptr, timer);
    NoticeScript& script = *g_script;
    script.shown = true;
    script.title = ItemText(notice, 0);
    script.text = ItemText(notice, kTlRawNonRawTextId);
    script.check = ItemText(notice, kTlRawDontShowAgainId);
    script.ok = ItemText(notice, IDOK);
    script.cancel = ItemText(notice, IDCANCEL);
    if (script.tick)
        SendDlgItemMessageW(notice, kTlRawDontShowAgainId, BM_CLICK, 0, 0);
    SendDlgItemMessageW(notice, script.button, BM_CLICK, 0, 0);
}

TEST(RawNotices, NonRawNoticeAnswersAndTellsTheCheckBox)
{
    struct Case {
        bool tick;
        int button;
        bool answer, dontShowAgain;
    } const cases[] = {
        {true, IDOK, true, true},
        {false, IDOK, true, false},
        {true, IDCANCEL, false, false},
        {false, IDCANCEL, false, false},
    };
    for (const Case& c : cases) {
        NoticeScript script = {c.tick, c.button, false, {}, {}, {}, {}, {}};
        g_script = &script;
        ASSERT_NE(SetTimer(nullptr, 0, 1, &AnswerNotice), 0u);
        bool dontShowAgain = !c.dontShowAgain;
        EXPECT_EQ(TlRawRunNonRawNotice(nullptr, &dontShowAgain), c.answer);
        EXPECT_EQ(dontShowAgain, c.dontShowAgain);
        ASSERT_TRUE(script.shown);
        EXPECT_EQ(script.title, L"Talvo Qrf Plugin (IG)");
        EXPECT_EQ(script.text, OwnString(32));
        EXPECT_EQ(script.text.substr(0, 42), L"Este archivo no es una imagen sin procesar");
        EXPECT_EQ(script.check, L"No volver a mostrar este mensaje");
        EXPECT_EQ(script.ok, L"Aceptar");
        EXPECT_EQ(script.cancel, L"Cancelar");
        g_script = nullptr;
    }
}

TEST(RawNotices, CentringKeepsTheWindowOnTheScreen)
{
    const RECT screen = {0, 0, 1024, 768};
    struct Case {
        RECT around;
        SIZE size;
        long x, y;
    } const cases[] = {
        {{100, 100, 500, 400}, {200, 100}, 200, 200},
        {{-300, -200, 100, 100}, {200, 100}, 0, 0},      // left and above the screen
        {{900, 700, 1200, 900}, {200, 100}, 824, 668},    // right and below
        {{0, 0, 1024, 768}, {2000, 1000}, 0, 0},          // larger than the screen: top left wins
    };
    for (const Case& c : cases) {
        const POINT at = TlRawCentredOn(c.around, c.size, screen);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
}

TEST(RawNotices, EditedNoticeShowsCentredOnTheEditorUntilClosed)
{
    HWND editor = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"editor", WS_POPUP, 120, 80, 600, 400, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(editor, nullptr);
    ShowWindow(editor, SW_SHOWNOACTIVATE);
    HWND notice = TlRawOpenEditedNotice(editor);
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_EQ(ItemText(notice, kTlRawEditedTextId), OwnString(60));
    RECT own = {};
    GetWindowRect(notice, &own);
    EXPECT_NEAR((own.left + own.right) / 2, 120 + 300, 1);
    EXPECT_NEAR((own.top + own.bottom) / 2, 80 + 200, 1);
    TlRawCloseEditedNotice(notice);
    EXPECT_FALSE(IsWindow(notice));
    DestroyWindow(editor);
}

} // namespace
