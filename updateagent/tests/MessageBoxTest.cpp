// The agent's message boxes: their styles by kind, their answers, and the
// start-up messages' exact texts.
#include "app/CommandLine.h"
#include "ui/ShowMessageBox.h"

#include "support/MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {
constexpr DWORD kWatchMs = 20000;

WatchedBox Watch(const std::function<void()>& show)
{
    MessageBoxWatcher watcher(kWatchMs);
    show();
    return watcher.Result();
}
}

TEST(ShowMessageBox, StylesAreTopmostWithTheKindsIcon)
{
    const struct {
        int kind;
        UINT style;
    } cases[] = {
        {0, 0x40000u | 0x10u}, {1, 0x40000u | 0x40u}, {2, 0x40000u | 0x24u}, {3, 0x40000u}, {-1, 0x40000u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageBoxStyleFor(c.kind), c.style) << c.kind;
}

TEST(ShowMessageBox, OkAndYesAnswerTrue)
{
    for (int kind : {0, 1, 2}) {
        bool answer = false;
        const WatchedBox box = Watch([&] { answer = ShowMessageBox(L"Box caption", L"Box text", kind, nullptr); });
        ASSERT_TRUE(box.found) << kind;
        EXPECT_EQ(box.caption, "Box caption");
        EXPECT_EQ(box.text, "Box text");
        EXPECT_TRUE(answer) << kind;
    }
}

TEST(StartUpMessages, ShowTheirExactTexts)
{
    const struct {
        void (*show)();
        const char* text;
    } cases[] = {
        {ShowUsage, "Application usage:\n    TalvoCorvane [-m|-a]\nwhere:\n    -m  - start in \"manual\" mode\n"
                    "    -a  - start in \"auto\" mode\n"
                    "    - with no arguments, the application will start in \"auto\" mode\n"},
        {ShowLanguageLibraryError, "Could not load CorvaneLang.dll.\n"},
    };
    for (const auto& c : cases) {
        const WatchedBox box = Watch(c.show);
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.caption, "Talvo Corvane");
        EXPECT_EQ(box.text, c.text);
    }
}
