// The result codes a host sees for the codes of the load steps.
#include "load/TlLoadResult.h"

#include <gtest/gtest.h>

namespace {

TEST(LoadResultTest, LoadCodesMapToTheLibraryResultCodes)
{
    struct Case {
        long code;
        unsigned long result;
    };
    const Case cases[] = {
        {0, 0},         {-252, 0x1003}, {-241, 0x1200}, {-240, 0x1005}, {-239, 0x1201}, {-237, 0x1201},
        {-235, 0x1201}, {-234, 0x1103}, {-230, 0x1103}, {-227, 0x1202}, {-226, 0x1002}, {-231, 0x1008},
        {-242, 0x1008}, {-233, 0x1008}, {-123, 0x1008}, {1, 0x1008},    {-253, 0x1008},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapLoadResult(c.code), c.result) << c.code;
}

} // namespace
