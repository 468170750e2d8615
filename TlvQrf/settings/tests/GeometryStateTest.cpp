#include "GeometryStateGoldens.h"

#include "settings/geometry/TlGeometryState.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using geometry_state_test::Bytes;
using namespace geometry_state_test;

Bytes Saved(CTlGeometryState& record)
{
    Bytes bytes(static_cast<std::size_t>(record.GetSize()));
    record.Save(bytes.data(), static_cast<int>(bytes.size()));
    return bytes;
}

int LoadInto(CTlGeometryState& record, const Bytes& bytes, int width = 0, int height = 0)
{
    return record.Load(bytes.data(), static_cast<int>(bytes.size()), width, height);
}

TEST(GeometryState, DefaultRecordIsACropStepUnturned)
{
    CTlGeometryState record;
    EXPECT_EQ(kTlStepTypeCrop, record.GetType());
    EXPECT_EQ(0, record.GetError());
    EXPECT_EQ(0, record.GetMirrored());
    EXPECT_EQ(0, record.GetRotation());
    EXPECT_EQ(0, record.GetLoadedVersion());
    EXPECT_EQ(0, record.OrientationFlag);
}

TEST(GeometryState, SavedCropRecordIs259BytesWithLength241)
{
    CTlGeometryState record(100, 50, nullptr, 300);
    EXPECT_EQ(259, record.Save(nullptr, 0));
    unsigned char untouched[4] = {0xAB, 0xAB, 0xAB, 0xAB};
    EXPECT_EQ(259, record.Save(untouched, 0));
    EXPECT_EQ(0xAB, untouched[0]);
    const Bytes bytes = Saved(record);
    std::uint32_t length = 0;
    std::memcpy(&length, bytes.data() + 18, 4);
    EXPECT_EQ(241u, length);
    EXPECT_EQ(0, std::memcmp(bytes.data(), kGeometryStateV5.data(), 16)) << "id";
}

TEST(GeometryState, SizedRecordCoversTwiceTheImage)
{
    CTlGeometryState record(100, 50, nullptr, 300);
    CTlDblRect bounds;
    record.GetBoundsRect(bounds);
    EXPECT_EQ(CTlDblRect(0, 0, 100, 200), bounds);
    EXPECT_EQ(100, record.GetOutputWidth());
    EXPECT_EQ(50, record.GetOutputHeight());
    EXPECT_EQ(1, record.GetSourceScaleFactor());
    EXPECT_TRUE(record.IsUncropped());
}

TEST(GeometryState, SizedRecordTakesTheSourceRectDoubled)
{
    const CTlRect source(5, 10, 25, 40); // top, left, bottom, right
    CTlGeometryState record(100, 50, &source, 300);
    EXPECT_EQ(CTlDblRect(10, 20, 50, 80), record.GetStep()->GetCropRect());
    CTlDblRect out;
    record.GetOutputRect(out, true);
    EXPECT_EQ(CTlDblRect(10, 20, 50, 80), out);
    EXPECT_FALSE(record.IsUncropped());
}

// Every stored version, loaded into a record already in the stored
// orientation (so nothing turns), saves back as the current version.
struct VersionCase {
    const char* name;
    const Bytes* stored;
    std::uint16_t version;
    int mirrored;
    int rotation;
    const Bytes* savedAs;
};

const VersionCase kVersions[] = {
    {"v5", &kGeometryStateV5, 5, 1, 90, &kGeometryStateV5},
    {"v4", &kGeometryStateV4, 4, 1, 90, &kGeometryStateV5NoFlag},
    {"v3", &kGeometryStateV3, 3, 1, 90, &kGeometryStateV5NoFlag},
    {"v2", &kGeometryStateV2, 2, 1, 90, &kGeometryStateV5NoFlag},
    {"v1", &kGeometryStateV1, 1, 0, 0, &kGeometryStateV5Plain},
};

TEST(GeometryState, GoldenSizesMatchTheLayout)
{
    EXPECT_EQ(259u, kGeometryStateV5.size());
    EXPECT_EQ(258u, kGeometryStateV4.size());
    EXPECT_EQ(258u, kGeometryStateV3.size());
    EXPECT_EQ(254u, kGeometryStateV2.size());
    EXPECT_EQ(249u, kGeometryStateV1.size());
}

TEST(GeometryState, EveryVersionLoadsAndUpgrades)
{
    for (const VersionCase& c : kVersions) {
        SCOPED_TRACE(c.name);
        CTlGeometryState record;
        record.SetRotation(c.mirrored, c.rotation, false);
        ASSERT_EQ(static_cast<int>(c.stored->size()), LoadInto(record, *c.stored));
        EXPECT_EQ(c.version, record.GetLoadedVersion());
        EXPECT_EQ(c.mirrored, record.GetMirrored());
        EXPECT_EQ(c.rotation, record.GetRotation());
        EXPECT_EQ(c.version == 5 ? 7 : 0, record.OrientationFlag);
        EXPECT_EQ(CTlDblRect(20, 10, 80, 110), record.GetStep()->GetCropRect());
        const Bytes saved = Saved(record);
        ASSERT_EQ(c.savedAs->size(), saved.size());
        for (std::size_t i = 0; i < saved.size(); ++i)
            EXPECT_EQ((*c.savedAs)[i], saved[i]) << "byte " << i;
    }
}

TEST(GeometryState, LoadTurnsStoredGeometryToTheRecordsOrientation)
{
    CTlGeometryState record; // unturned
    ASSERT_EQ(259, LoadInto(record, kGeometryStateV5));
    EXPECT_EQ(0, record.GetMirrored());
    EXPECT_EQ(0, record.GetRotation());
    EXPECT_EQ(7, record.OrientationFlag);
    // Stored mirrored at 90: undoing it swaps the image's axes back.
    EXPECT_EQ(100, record.GetStep()->GetImageWidth());
    EXPECT_EQ(200, record.GetStep()->GetImageHeight());
}

TEST(GeometryState, LoadRescalesOnlyToADifferentKnownSize)
{
    CTlGeometryState same;
    same.SetRotation(1, 90, false);
    ASSERT_GT(LoadInto(same, kGeometryStateV5, 50, 30), 0);
    EXPECT_EQ(200, same.GetStep()->GetImageWidth()) << "stored output equals the given size";

    CTlGeometryState unknown;
    unknown.SetRotation(1, 90, false);
    ASSERT_GT(LoadInto(unknown, kGeometryStateV5, 0, 0), 0);
    EXPECT_EQ(200, unknown.GetStep()->GetImageWidth());

    CTlGeometryState other;
    other.SetRotation(1, 90, false);
    ASSERT_GT(LoadInto(other, kGeometryStateV5, 400, 200), 0);
    EXPECT_EQ(800, other.GetStep()->GetImageWidth());
    EXPECT_EQ(400, other.GetStep()->GetImageHeight());
}

TEST(GeometryState, PlaceholderResolutionsGiveAFreshGeometry)
{
    Bytes block = kGeometryStateV5;
    const double one = 1;
    // The source resolution (the step's 19th double) set to 1 like the minimum.
    std::memcpy(block.data() + 30 + 22 + 18 * 8, &one, 8);
    CTlGeometryState record;
    ASSERT_EQ(259, LoadInto(record, block, 64, 48));
    CTlDblRect bounds;
    record.GetBoundsRect(bounds);
    EXPECT_EQ(CTlDblRect(0, 0, 96, 128), bounds);
    EXPECT_EQ(300, record.GetStep()->GetResolution().value);
    EXPECT_EQ(5, record.GetLoadedVersion());
}

TEST(GeometryState, SizeTagMakesASizeStep)
{
    Bytes block = kGeometryStateV5;
    const std::uint32_t size = kTlStepTypeSize;
    std::memcpy(block.data() + 22, &size, 4);
    CTlGeometryState record;
    record.SetRotation(1, 90, false);
    ASSERT_EQ(259, LoadInto(record, block));
    EXPECT_EQ(kTlStepTypeSize, record.GetType());
    EXPECT_TRUE(record.GetStep()->IsPixelSizeMode());
}

// Corrupt blocks are refused with 0 and leave the record as it was.
struct CorruptCase {
    const char* name;
    Bytes bytes;
    bool nullBuffer;
};

Bytes With(Bytes bytes, std::size_t offset, std::uint32_t value, std::size_t width = 4)
{
    std::memcpy(bytes.data() + offset, &value, width);
    return bytes;
}

Bytes Cut(const Bytes& bytes, std::size_t size)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
}

std::vector<CorruptCase> CorruptCases()
{
    std::vector<CorruptCase> cases = {
        {"empty", {}, false},
        {"id only cut", Cut(kGeometryStateV5, 15), false},
        {"wrong id", With(kGeometryStateV5, 0, 0x12345678), false},
        {"version 0", With(kGeometryStateV5, 16, 0, 2), false},
        {"version 6", With(kGeometryStateV5, 16, 6, 2), false},
        {"version 65535", With(kGeometryStateV5, 16, 0xFFFF, 2), false},
        {"length beyond block", With(kGeometryStateV5, 18, 1000), false},
        {"length at u32 max", With(kGeometryStateV5, 18, 0xFFFFFFFF), false},
        {"step size beyond block", With(kGeometryStateV5, 26, 224), false},
        {"step size at u32 max", With(kGeometryStateV5, 26, 0xFFFFFFFF), false},
        {"step size at int max", With(kGeometryStateV5, 26, 0x7FFFFFFF), false},
        {"step size too small", With(kGeometryStateV5, 26, 10), false},
        {"step with another id", With(kGeometryStateV5, 30, 0), false},
        {"v1 step size beyond block", With(kGeometryStateV1, 22, 300), false},
        {"null buffer, size 16", Bytes(16), true},
        {"null buffer, full size", Bytes(259), true},
    };
    for (std::size_t size : {16u, 17u, 18u, 21u, 25u, 29u, 100u, 252u, 253u, 258u})
        cases.push_back({"v5 cut", Cut(kGeometryStateV5, size), false});
    for (std::size_t size : {20u, 25u, 248u})
        cases.push_back({"v1 cut", Cut(kGeometryStateV1, size), false});
    for (std::size_t size : {249u, 253u})
        cases.push_back({"v2 cut", Cut(kGeometryStateV2, size), false});
    return cases;
}

TEST(GeometryState, CorruptBlocksFailCleanly)
{
    for (const CorruptCase& c : CorruptCases()) {
        SCOPED_TRACE(std::string(c.name) + ", size " + std::to_string(c.bytes.size()));
        const CTlRect source(5, 10, 25, 40);
        CTlGeometryState record(100, 50, &source, 240);
        record.SetRotation(1, 270, false);
        record.OrientationFlag = 3;
        const Bytes before = Saved(record);
        const unsigned char* buffer = c.nullBuffer ? nullptr : c.bytes.data();
        EXPECT_EQ(0, record.Load(buffer, static_cast<int>(c.bytes.size()), 0, 0));
        EXPECT_EQ(before, Saved(record));
        EXPECT_EQ(0, record.GetLoadedVersion());
    }
}

TEST(GeometryState, InterfaceLoadSlotAlwaysAnswersZero)
{
    CTlGeometryState record;
    EXPECT_EQ(0, static_cast<ITlState&>(record).Load(kGeometryStateV5.data(), 259));
    EXPECT_EQ(0, record.GetLoadedVersion());
}

TEST(GeometryState, CopyKeepsStepTypeAndOrientation)
{
    CTlGeometryState source(100, 50, nullptr, 300);
    source.SetStepType(kTlStepTypeSize);
    source.SetRotation(1, 180, false);
    source.OrientationFlag = 9;
    CTlGeometryState copy(source);
    EXPECT_EQ(kTlStepTypeSize, copy.GetType());
    EXPECT_EQ(Saved(source), Saved(copy));
    copy = copy;
    EXPECT_EQ(Saved(source), Saved(copy));
}

TEST(GeometryState, StepTypeRules)
{
    CTlGeometryState record;
    EXPECT_FALSE(record.SetStepType(kTlStepTypeCrop));
    EXPECT_FALSE(record.SetStepType(kTlStepTypeSize));
    EXPECT_EQ(kTlStepTypeSize, record.GetType());
    EXPECT_TRUE(record.SetStepType(kTlStepTypeNone));
    EXPECT_EQ(kTlGeometryUnknownStep, record.GetError());
    EXPECT_EQ(kTlStepTypeSize, record.GetType());
}

TEST(GeometryState, ResizeToImageDoublesTheSize)
{
    CTlGeometryState record(100, 50, nullptr, 300);
    EXPECT_EQ(0, record.ResizeToImage(30, 20));
    CTlDblRect bounds;
    record.GetBoundsRect(bounds);
    EXPECT_EQ(CTlDblRect(0, 0, 40, 60), bounds);
}

} // namespace
