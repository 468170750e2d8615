// Point lists that cannot be allocated: loading, copying and calibration
// leave the list empty and go on, the calibration loader reports a file
// buffer it cannot allocate as out of memory, and an editor's insertion that
// cannot grow the list (bump curves and tone curves) keeps the old one. Large allocations are made to
// fail by this test program's own operator new while a guard is in scope.
#include "BumpCurveTestSupport.h"
#include "CurveEditingTestSupport.h"
#include "LutTestSupport.h"

#include "support/CommonFilesSandbox.h"
#include "support/ProcessHeap.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <new>

namespace {

// Allocations of at least this many bytes fail while a guard is active.
thread_local std::size_t g_failFrom = SIZE_MAX;

class FailLargeAllocations {
public:
    explicit FailLargeAllocations(std::size_t bytes) { g_failFrom = bytes; }
    ~FailLargeAllocations() { g_failFrom = SIZE_MAX; }
    FailLargeAllocations(const FailLargeAllocations&) = delete;
    FailLargeAllocations& operator=(const FailLargeAllocations&) = delete;
};

} // namespace

void* operator new(std::size_t size)
{
    if (size >= g_failFrom)
        throw std::bad_alloc();
    return ProcessHeapAllocate(size);
}

void operator delete(void* block) noexcept
{
    ProcessHeapFree(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    operator delete(block);
}

using namespace tlstate_test;

namespace {

// 100 points: a 2400-byte list.
const Points kMany(100, TlBumpPoint{0.5, 0.25, 0.125});
constexpr std::size_t kListBytes = 100 * sizeof(TlBumpPoint);

TEST(BumpCurveAllocation, LoadingLeavesTheListEmpty)
{
    const Bytes hueBlock = PointCurveBlock(kMany, 0.25, 2);
    CTlPointCurve hue = MakePointCurve({{0.1, 0.2, 0.3}});
    int result = 0;
    {
        FailLargeAllocations guard(kListBytes);
        result = LoadBytes(hue, hueBlock);
    }
    EXPECT_EQ(int(hueBlock.size()), result) << "the stored points are still passed";
    EXPECT_EQ(0, hue.GetCount());
    EXPECT_EQ(-1, hue.GetCurrentPoint()) << "no point to act on";
    EXPECT_EQ(0.25, hue.GetOffset());

    const Bytes chromaBlock = LinearCurveBlock(kMany, 0.5);
    CTlLinearCurve chroma(nullptr, 2);
    {
        FailLargeAllocations guard(kListBytes);
        result = LoadBytes(chroma, chromaBlock);
    }
    EXPECT_EQ(int(chromaBlock.size()), result);
    EXPECT_EQ(0, chroma.GetCount());
    EXPECT_EQ(0.5, chroma.GetFirstOffset());
}

TEST(BumpCurveAllocation, CopiesLeaveTheListEmpty)
{
    const CTlPointCurve hue = MakePointCurve(kMany, 0.25, 2);
    const CTlLinearCurve chroma = MakeLinearCurve(kMany, 0.5, kMany, -0.5);
    FailLargeAllocations guard(kListBytes);
    const CTlPointCurve hueCopy(hue);
    EXPECT_EQ(0, hueCopy.GetCount());
    EXPECT_EQ(0.25, hueCopy.GetOffset());
    const CTlLinearCurve chromaCopy(chroma);
    EXPECT_EQ(0, chromaCopy.GetCount());
    EXPECT_TRUE(chromaCopy.GetSecondList().empty());
    EXPECT_EQ(-0.5, chromaCopy.GetSecondOffset());

    CTlLinearCurve target = MakeLinearCurve({}, 0, {{0.1, 0.2, 0.3}});
    target.CopyCalibrationFrom(chroma);
    EXPECT_TRUE(target.GetSecondList().empty());
    EXPECT_EQ(-0.5, target.GetSecondOffset());
}

TEST(BumpCurveAllocation, CalibrationListThatCannotBeAllocatedHoldsNoPoints)
{
    const Bytes file = CalibrationBytes(kMany, 0.5);
    CTlLinearCurve curve = MakeLinearCurve({}, 0, {{0.1, 0.2, 0.3}});
    int accounted = 0;
    {
        FailLargeAllocations guard(kListBytes);
        accounted = curve.ParseCalibration(file.data(), file.size());
    }
    EXPECT_EQ(13, accounted) << "the file then does not account for its length";
    EXPECT_TRUE(curve.GetSecondList().empty());
}

TEST(BumpCurveAllocation, CalibrationFileBufferThatCannotBeAllocatedIsOutOfMemory)
{
    TempProfilesFolder profiles;
    ASSERT_TRUE(profiles.IsReady());
    const Bytes file = CalibrationBytes(kMany, 0.5);
    profiles.Write("TlLchCal.nlc", std::string(file.begin(), file.end()));

    CTlLinearCurve curve(nullptr, 1);
    int result = 0;
    {
        FailLargeAllocations guard(file.size());
        result = curve.LoadCalibration(nullptr);
    }
    EXPECT_EQ(kTlCalibrationNoMemory, result);
    EXPECT_EQ(kTlCalibrationOk, curve.LoadCalibration(nullptr));
}

TEST(BumpCurveAllocation, EditorInsertionThatCannotGrowTheListKeepsIt)
{
    curve_edit_test::CRecordingView view;
    CTlPointCurve hue = MakePointCurve(kMany);
    CTlLinearCurve chroma = MakeLinearCurve(kMany, 0);
    for (CTlCurveBase* curve : {static_cast<CTlCurveBase*>(&hue), static_cast<CTlCurveBase*>(&chroma)}) {
        const Points& points = curve == &hue ? hue.GetPoints() : chroma.GetFirstList();
        const TlBumpPoint* before = points.data();
        FailLargeAllocations guard(kListBytes + 1);
        EXPECT_EQ(kTlHitNone, curve->InsertPoint());
        EXPECT_EQ(kTlHitNone, curve->MouseDown(view, curve_edit_test::BumpAt(0.1, 0.5)));
        EXPECT_EQ(before, points.data());
        EXPECT_TRUE(SamePoints(kMany, points));
        EXPECT_EQ(0, curve->GetCurrentPoint());
    }
    EXPECT_TRUE(view.calls.empty()) << "no tracking starts";
}

TEST(BumpCurveAllocation, ToneCurveInsertionThatCannotGrowTheListKeepsIt)
{
    // 20 points 1/19 apart: room between each pair.
    lut_test::Knots spread;
    for (int i = 0; i < 20; ++i)
        spread.push_back({i / 19.0, 0.5});
    CTlLut lut = lut_test::LutWithPoints(spread);
    lut.SetCurrentPoint(10);
    curve_edit_test::CRecordingView view;
    view.pickRadius = 1;
    {
        FailLargeAllocations guard(spread.size() * sizeof(TlLutPoint) + 1);
        EXPECT_EQ(kTlHitNone, lut.InsertPoint());
        EXPECT_EQ(kTlHitNone, lut.MouseDown(view, curve_edit_test::LutAt(0.5, 0.9)));
    }
    EXPECT_EQ(20, lut.GetCount());
    EXPECT_EQ(10, lut.GetCurrentPoint());
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(kTlHitCurrentPoint, lut.InsertPoint()) << "with memory it inserts";
}

} // namespace
