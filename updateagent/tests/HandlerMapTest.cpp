#include "ui/THandler.h"

#include <gtest/gtest.h>

namespace {
LRESULT First(TMsgContext&, void*)
{
    return 1;
}
LRESULT Second(TMsgContext&, void*)
{
    return 2;
}
}

TEST(THandlerMap, KeepsTheFirstHandlerOfAKey)
{
    int owner = 0;
    THandlerMap map;
    EXPECT_EQ(map.Find(0x83E9), nullptr);
    EXPECT_TRUE(map.Add(0x83E9, {&owner, First}));
    EXPECT_FALSE(map.Add(0x83E9, {nullptr, Second}));
    const THandler* found = map.Find(0x83E9);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->callback, First);
    EXPECT_EQ(found->user, &owner);
    map.Clear();
    EXPECT_EQ(map.Find(0x83E9), nullptr);
}

TEST(TNotifyMap, FindsByCodeThenControl)
{
    TNotifyMap map;
    EXPECT_TRUE(map.Add(BN_CLICKED, 1036, {nullptr, First}));
    EXPECT_TRUE(map.Add(BN_CLICKED, 1037, {nullptr, Second}));
    EXPECT_FALSE(map.Add(BN_CLICKED, 1036, {nullptr, Second}));
    ASSERT_NE(map.Find(BN_CLICKED, 1036), nullptr);
    EXPECT_EQ(map.Find(BN_CLICKED, 1036)->callback, First);
    EXPECT_EQ(map.Find(BN_CLICKED, 1037)->callback, Second);
    EXPECT_EQ(map.Find(BN_CLICKED, 1042), nullptr);
    EXPECT_EQ(map.Find(EN_CHANGE, 1036), nullptr);
}
