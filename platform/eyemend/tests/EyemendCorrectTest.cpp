// Correction of the detected pupils: no pupil pixel stays red or gets
// brighter, nothing outside the regions changes, and correcting again
// changes nothing more.
#include "EyemendFace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

bool InsideAny(const ReList& list, std::int32_t x, std::int32_t y)
{
    for (const ReRegion* r = list.head; r != nullptr; r = r->next) {
        if (x >= r->left && x <= r->right && y >= r->top && y <= r->bottom)
            return true;
    }
    return false;
}

TEST(EyemendCorrectTest, PupilsLoseTheirRedAndNothingOutsideTheRegionsChanges)
{
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "16 bits" : "8 bits");
        EyemendFace face = MakeEyemendFace(400, 300, wide);
        const EyemendFace before = face;
        const ReParams params = face.Params();
        ReList list{nullptr, nullptr};
        ASSERT_EQ(ReOk, ReDetectAuto(&params, 0, nullptr, 0, 0, &list));
        ASSERT_EQ(ReOk, ReCorrectRegions(&params, &list, nullptr, nullptr, 30));

        const std::size_t pixelBytes = wide ? 6 : 3;
        for (std::int32_t y = 0; y < face.height; ++y) {
            for (std::int32_t x = 0; x < face.width; ++x) {
                const std::size_t at = std::size_t(y) * face.RowBytes() + x * pixelBytes;
                if (!InsideAny(list, x, y)) {
                    ASSERT_TRUE(std::equal(&face.pixels[at], &face.pixels[at] + pixelBytes, &before.pixels[at]))
                        << x << "," << y;
                    continue;
                }
                if (!face.pupils[0].Holds(x, y) && !face.pupils[1].Holds(x, y))
                    continue;
                const EyemendRgb now = face.At(x, y), was = before.At(x, y);
                EXPECT_LE(now.red, std::max(now.green, now.blue) + 2) << x << "," << y;
                EXPECT_LE(now.red, was.red);
                EXPECT_LE(now.green, was.green);
                EXPECT_LE(now.blue, was.blue);
            }
        }
        const EyemendFace corrected = face;
        ASSERT_EQ(ReOk, ReCorrectRegions(&params, &list, nullptr, nullptr, 30));
        EXPECT_EQ(corrected.pixels, face.pixels);
        ReListEmpty(&list);
    }
}

TEST(EyemendCorrectTest, RegionsReachingOutOfThePictureAreClippedAndSkinIsLeftAlone)
{
    EyemendFace face = MakeEyemendFace(400, 300, false);
    const EyemendFace before = face;
    const ReParams params = face.Params();
    ReList list{nullptr, nullptr};
    // Reaching out of the picture, and lying wholly outside it.
    ASSERT_EQ(ReOk, ReListInsert(&list, new ReRegion{380, 280, 500, 400, nullptr, nullptr}));
    ASSERT_EQ(ReOk, ReListInsert(&list, new ReRegion{1000, 1000, 1010, 1010, nullptr, nullptr}));
    // A box on plain skin: skin is not red enough to be touched.
    ASSERT_EQ(ReOk, ReListInsert(&list, new ReRegion{face.skinPoint.x - 5, face.skinPoint.y - 5,
                                                     face.skinPoint.x + 5, face.skinPoint.y + 5, nullptr, nullptr}));
    EXPECT_EQ(ReOk, ReCorrectRegions(&params, &list, nullptr, nullptr, 30));
    EXPECT_EQ(before.pixels, face.pixels);
    for (std::int32_t threshold : {0, 101})
        EXPECT_EQ(ReInvalidParameter, ReCorrectRegions(&params, &list, nullptr, nullptr, threshold));
    EXPECT_EQ(ReInvalidParameter, ReCorrectRegions(&params, &list, &list, nullptr, 30));
    EXPECT_EQ(ReMissingArgument, ReCorrectRegions(&params, nullptr, nullptr, nullptr, 30));
    ReListEmpty(&list);
}

} // namespace
