// Temporary movie names: each one reserved by its file, and deleted again.
#include "PlayerHost.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <set>

namespace {

TEST(PlayerHostTest, TemporaryNamesAreUniqueReservedAndDeleted)
{
    char folder[MAX_PATH + 1] = {};
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, folder));
    SlideshowPlayerHost host;
    std::set<std::string> names;
    for (int i = 0; i < 5; ++i) {
        std::string name;
        ASSERT_TRUE(host.TempName(".tmp", name));
        EXPECT_EQ(".tmp", name.substr(name.size() - 4));
        EXPECT_EQ(0u, name.find(std::string(folder) + "tlss")) << name;
        // The file exists from the start, so nobody else gets the name.
        EXPECT_TRUE(TempFolder::Exists(name));
        names.insert(name);
    }
    EXPECT_EQ(5u, names.size());
    DeleteTempMovie(*names.begin());
    EXPECT_FALSE(TempFolder::Exists(*names.begin()));
    // What is left is deleted when the show ends.
    DeleteLeftTempMovies();
    for (const std::string& name : names)
        EXPECT_FALSE(TempFolder::Exists(name)) << name;
}

} // namespace
