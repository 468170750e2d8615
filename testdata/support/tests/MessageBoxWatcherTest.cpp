#include "support/MessageBoxWatcher.h"
#include "support/SiblingProcess.h"

#include <gtest/gtest.h>

namespace {

constexpr DWORD kWatchMs = 30000;

TEST(MessageBoxWatcher, ClosesTheBoxOfALibraryStartingInThisProcess)
{
    MessageBoxWatcher watcher(kWatchMs);
    HMODULE library = LoadLibraryA("tl_box_library.dll");
    const WatchedBox& box = watcher.Result();
    EXPECT_TRUE(box.found);
    EXPECT_EQ("Library", box.caption);
    EXPECT_EQ("box of a starting library", box.text);
    ASSERT_NE(nullptr, library);
    FreeLibrary(library);
}

TEST(MessageBoxWatcher, ClosesTheBoxOfAnotherProcess)
{
    SiblingProcess program("tl_box_program.exe", "");
    ASSERT_TRUE(program.IsStarted());
    const WatchedBox box = CloseMessageBoxOf(program.ProcessId(), kWatchMs);
    EXPECT_TRUE(box.found);
    EXPECT_EQ("Program", box.caption);
    EXPECT_EQ("box of another process", box.text);
    // The first button: OK.
    EXPECT_EQ(IDOK, program.Wait());
}

TEST(MessageBoxWatcher, NothingFoundWhenNoBoxComes)
{
    const WatchedBox box = CloseMessageBoxOf(GetCurrentProcessId(), 100);
    EXPECT_FALSE(box.found);
}

} // namespace
