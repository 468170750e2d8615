// Detection on the synthetic face: both pupils and nothing else, in 8 and 16
// bits; the point searches; progress; refused parameter blocks.
#include "EyemendFace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct OwnedList {
    ReList list{nullptr, nullptr};
    ~OwnedList() { ReListEmpty(&list); }
    std::vector<ReRegion> Regions() const
    {
        std::vector<ReRegion> regions;
        for (ReRegion* r = ReListNext(&list, nullptr); r != nullptr; r = ReListNext(&list, r))
            regions.push_back(*r);
        return regions;
    }
};

void ExpectNear(const ReRegion& painted, const ReRegion& found)
{
    EXPECT_LE(std::abs(painted.left - found.left), 2);
    EXPECT_LE(std::abs(painted.top - found.top), 2);
    EXPECT_LE(std::abs(painted.right - found.right), 2);
    EXPECT_LE(std::abs(painted.bottom - found.bottom), 2);
}

TEST(EyemendDetectTest, FindsBothPupilsAndNothingElse)
{
    for (bool wide : {false, true}) {
        for (const auto& size : {std::pair<int, int>{400, 300}, {333, 520}}) {
            SCOPED_TRACE(testing::Message() << wide << " " << size.first << "x" << size.second);
            EyemendFace face = MakeEyemendFace(size.first, size.second, wide);
            const ReParams params = face.Params();
            OwnedList found;
            EXPECT_EQ(ReOk, ReDetectAuto(&params, 0, nullptr, 0, 0, &found.list));
            const std::vector<ReRegion> regions = found.Regions();
            ASSERT_EQ(2u, regions.size());
            ExpectNear(face.pupils[0].Box(), regions[0]);
            ExpectNear(face.pupils[1].Box(), regions[1]);
        }
    }
}

TEST(EyemendDetectTest, PictureWithoutPupilsFindsNothing)
{
    EyemendFace face = MakeEyemendFace(400, 300, false);
    for (const EyemendFace::Disc& pupil : face.pupils) { // paint the pupils dark
        for (std::int32_t y = pupil.y - pupil.radius; y <= pupil.y + pupil.radius; ++y) {
            for (std::int32_t x = pupil.x - pupil.radius; x <= pupil.x + pupil.radius; ++x)
                face.pixels[std::size_t(y) * face.RowBytes() + 3 * x] = 20;
        }
    }
    const ReParams params = face.Params();
    OwnedList found;
    EXPECT_EQ(ReOkNothingFound, ReDetectAuto(&params, 0, nullptr, 0, 0, &found.list));
    EXPECT_EQ(nullptr, found.list.head);
}

struct ProgressLog {
    static std::vector<long> phases;
    static std::vector<long> done;
    static long stopAt; // the call that answers true, or -1
    static bool Record(long a, long phase, long scale)
    {
        EXPECT_EQ(4096, scale);
        phases.push_back(phase);
        done.push_back(a);
        return long(phases.size()) - 1 == stopAt;
    }
};
std::vector<long> ProgressLog::phases;
std::vector<long> ProgressLog::done;
long ProgressLog::stopAt = -1;

TEST(EyemendDetectTest, ProgressRunsFromStartToEndAndStopsTheRunWhenAsked)
{
    EyemendFace face = MakeEyemendFace(200, 400, false);
    const ReParams params = face.Params();
    ProgressLog::stopAt = -1;
    OwnedList found;
    EXPECT_EQ(ReOk, ReDetectAuto(&params, 0, ProgressLog::Record, 4096, 0, &found.list));
    ASSERT_GE(ProgressLog::phases.size(), 3u);
    EXPECT_EQ(0, ProgressLog::phases.front());
    EXPECT_EQ(0, ProgressLog::done.front());
    EXPECT_EQ(2, ProgressLog::phases.back());
    EXPECT_EQ(4096, ProgressLog::done.back());
    for (std::size_t i = 1; i + 1 < ProgressLog::phases.size(); ++i) {
        EXPECT_EQ(1, ProgressLog::phases[i]);
        EXPECT_LE(ProgressLog::done[i - 1], ProgressLog::done[i]);
    }
    const std::size_t calls = ProgressLog::phases.size();

    for (long stopAt : {0L, 1L, long(calls) - 1}) {
        SCOPED_TRACE(stopAt);
        ProgressLog::phases.clear();
        ProgressLog::done.clear();
        ProgressLog::stopAt = stopAt;
        const std::vector<ReRegion> before = found.Regions();
        EXPECT_EQ(ReCancelled, ReDetectAuto(&params, 0, ProgressLog::Record, 4096, 0, &found.list));
        EXPECT_EQ(std::size_t(stopAt) + 1, ProgressLog::phases.size());
        EXPECT_EQ(before.size(), found.Regions().size()); // nothing appended
    }
}

TEST(EyemendDetectTest, RedPointIsFoundOnAPupilOnly)
{
    for (bool wide : {false, true}) {
        EyemendFace face = MakeEyemendFace(400, 300, wide);
        const ReParams params = face.Params();
        const EyemendFace::Disc& pupil = face.pupils[1];
        const struct {
            const char* name;
            RePoint point;
            ReStatus status;
        } cases[] = {
            {"pupil centre", {pupil.x, pupil.y}, ReOk},
            {"beside the pupil, within reach", {pupil.x + pupil.radius + 9, pupil.y}, ReOk},
            {"beyond reach", {pupil.x + pupil.radius + 13, pupil.y + 3}, ReNotFound},
            {"skin", face.skinPoint, ReNotFound},
            {"large red disc", {face.largeRedDisc.x, face.largeRedDisc.y}, ReNotFound},
            {"red stripe", face.stripePoint, ReNotFound},
            {"single red pixel", face.singlePoint, ReNotFound},
            {"left of the picture", {-1, pupil.y}, ReNotFound},
            {"below the picture", {pupil.x, 300}, ReNotFound},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (wide ? " 16" : " 8"));
            EXPECT_EQ(c.status, ReFindRedPoint(&params, c.point, 10));
            OwnedList found;
            EXPECT_EQ(c.status == ReOk ? ReOk : ReOkNothingFound,
                      ReDetectNearest(&params, c.point, 10, 0, 0, 0, &found.list));
            const std::vector<ReRegion> regions = found.Regions();
            ASSERT_EQ(c.status == ReOk ? 1u : 0u, regions.size());
            if (!regions.empty())
                ExpectNear(pupil.Box(), regions[0]);
        }
    }
}

TEST(EyemendDetectTest, RefusesBrokenParameterBlocks)
{
    EyemendFace face = MakeEyemendFace(200, 150, false);
    const ReShootingInfo badInfo{7, nullptr, 0, 0, 0};
    const ReShootingInfo goodInfo{sizeof(ReShootingInfo), "Talvo Z9", 1, 35, 2};
    const struct {
        const char* name;
        void (*spoil)(ReParams&);
        ReStatus status;
    } cases[] = {
        {"size", [](ReParams& p) { p.size = 36 + 100; }, ReInvalidParameter},
        {"buffer", [](ReParams& p) { p.buffer = nullptr; }, ReMissingArgument},
        {"format", [](ReParams& p) { p.format = 6148; }, ReInvalidParameter},
        {"width", [](ReParams& p) { p.width = 0; }, ReInvalidParameter},
        {"row bytes", [](ReParams& p) { p.rowBytes = 3 * p.width - 1; }, ReInvalidParameter},
        {"16-bit row bytes", [](ReParams& p) { p.format = ReFormatRgb16; }, ReInvalidParameter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReParams params = face.Params();
        c.spoil(params);
        OwnedList found;
        EXPECT_EQ(c.status, ReDetectAuto(&params, 0, nullptr, 0, 0, &found.list));
        EXPECT_EQ(c.status, ReDetectNearest(&params, {60, 40}, 10, 0, 0, 0, &found.list));
        EXPECT_EQ(c.status, ReFindRedPoint(&params, {60, 40}, 10));
        EXPECT_EQ(c.status, ReCorrectRegions(&params, &found.list, nullptr, nullptr, 30));
    }
    OwnedList found;
    EXPECT_EQ(ReMissingArgument, ReDetectAuto(nullptr, 0, nullptr, 0, 0, &found.list));
    ReParams params = face.Params();
    EXPECT_EQ(ReMissingArgument, ReDetectAuto(&params, 0, nullptr, 0, 0, nullptr));
    params.shootingInfo = &badInfo;
    EXPECT_EQ(ReInvalidParameter, ReDetectAuto(&params, 0, nullptr, 0, 0, &found.list));
    params.shootingInfo = &goodInfo; // capture data may be given; it is never needed
    EXPECT_EQ(ReOk, ReDetectAuto(&params, 0, nullptr, 0, 0, &found.list));
    EXPECT_EQ(2u, found.Regions().size());
}

} // namespace
