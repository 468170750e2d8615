#include "pellio/PellioVersion.h"

#include <gtest/gtest.h>

TEST(PellioVersion, IsSet)
{
    EXPECT_STREQ("1.0", PellioVersionText());
}
