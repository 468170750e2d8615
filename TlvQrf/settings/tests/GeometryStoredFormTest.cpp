#include "GeometryTestStep.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A little-endian double whose low six bytes are zero.
#define TL_DOUBLE(b6, b7) 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, b6, b7

#define TL_GEOMETRY_STEP_ID 0x89, 0x2a, 0x64, 0xf4, 0x63, 0xac, 0xd1, 0x11, 0xa7, 0x77, 0x00, 0xaa, 0x00, 0xb1, 0xc1, 0xb7

// The fields of the stored form, every double distinct.
#define TL_GEOMETRY_STEP_FIELDS                                                                     \
    TL_DOUBLE(0xF0, 0x3F), TL_DOUBLE(0x00, 0x40), TL_DOUBLE(0x08, 0x40), TL_DOUBLE(0x10, 0x40),     \
        /* crop 1, 2, 3, 4 */                                                                        \
        TL_DOUBLE(0x14, 0x40), TL_DOUBLE(0x18, 0x40), TL_DOUBLE(0x1C, 0x40), TL_DOUBLE(0x20, 0x40), \
        /* reference 5, 6, 7, 8 */                                                                   \
        TL_DOUBLE(0xE0, 0x3F), TL_DOUBLE(0xF8, 0x3F), TL_DOUBLE(0x24, 0x40), TL_DOUBLE(0x28, 0x40), \
        /* limit 0.5, 1.5, 10, 12 */                                                                 \
        TL_DOUBLE(0x30, 0x40), TL_DOUBLE(0x38, 0x40), /* image 16 x 24 */                            \
        TL_DOUBLE(0x40, 0x40), TL_DOUBLE(0x48, 0x40), /* print 32 x 48 */                            \
        TL_DOUBLE(0x50, 0x40), TL_DOUBLE(0xD0, 0x3F), TL_DOUBLE(0x60, 0x40), TL_DOUBLE(0x70, 0x40), \
        /* resolution 64, minimum 0.25, source 128, print 256 */                                     \
        TL_DOUBLE(0xE8, 0x3F), /* scale 0.75 */                                                      \
        TL_DOUBLE(0x80, 0x40), TL_DOUBLE(0x90, 0x40), TL_DOUBLE(0xA0, 0x40), /* output 512 x 1024, 2048 */ \
        TL_DOUBLE(0x04, 0x40), /* aspect 2.5 */                                                      \
        0xFF /* pixel-size mode */

const Bytes kCTlGeometryStepVersion3 = {TL_GEOMETRY_STEP_ID, 0x03, 0x00, 0xCD, 0x00, 0x00, 0x00,
                                        TL_GEOMETRY_STEP_FIELDS};
const Bytes kCTlGeometryStepVersion2 = {TL_GEOMETRY_STEP_ID, 0x02, 0x00, TL_GEOMETRY_STEP_FIELDS};

// The values the golden blocks hold.
void ExpectGoldenValues(const CTestStep& s)
{
    EXPECT_EQ(CTlDblRect(2, 1, 4, 3), s.CropRect);
    EXPECT_EQ(CTlDblRect(6, 5, 8, 7), s.ReferenceRect);
    EXPECT_EQ(CTlDblRect(1.5, 0.5, 12, 10), s.LimitRect);
    EXPECT_EQ(16, s.ImageWidth);
    EXPECT_EQ(24, s.ImageHeight);
    EXPECT_EQ(CTlMeasure::Length(32), s.PrintWidth);
    EXPECT_EQ(CTlMeasure::Length(48), s.PrintHeight);
    EXPECT_EQ(CTlMeasure::PixelsPerInch(64), s.Resolution);
    EXPECT_EQ(CTlMeasure::PixelsPerInch(0.25), s.MinResolution);
    EXPECT_EQ(CTlMeasure::PixelsPerInch(128), s.SourceResolution);
    EXPECT_EQ(CTlMeasure::PixelsPerInch(256), s.PrintResolution);
    EXPECT_EQ(0.75, s.Scale);
    EXPECT_EQ(512, s.OutputWidth);
    EXPECT_EQ(1024, s.OutputHeight);
    EXPECT_EQ(2048, s.OutputArea);
    EXPECT_EQ(2.5, s.AspectRatio);
    EXPECT_TRUE(s.IsPixelSizeMode());
    EXPECT_EQ(kTlGeomPixelSizeMode, s.ChangeFlags) << "reading raises no change flag";
}

bool ReadBlock(CTlGeometryStep& step, const Bytes& block, unsigned size)
{
    return step.Read(block.data(), size);
}

TEST(GeometryStoredForm, Version3GoldenBlockReadsAndWritesBack)
{
    CTestStep s;
    ASSERT_TRUE(ReadBlock(s, kCTlGeometryStepVersion3, 223));
    ExpectGoldenValues(s);
    EXPECT_EQ(kCTlGeometryStepVersion3, StoredBytes(s));
}

TEST(GeometryStoredForm, Version2GoldenBlockHasNoLengthWord)
{
    ASSERT_EQ(219u, kCTlGeometryStepVersion2.size());
    CTestStep s;
    ASSERT_TRUE(ReadBlock(s, kCTlGeometryStepVersion2, 219));
    ExpectGoldenValues(s);
    EXPECT_EQ(kCTlGeometryStepVersion3, StoredBytes(s)) << "always written as the current version";
}

TEST(GeometryStoredForm, ModeByteReadsItsLowestBitAndWritesAllOrNothing)
{
    Bytes block = kCTlGeometryStepVersion3;
    const struct {
        unsigned char stored;
        bool mode;
        unsigned char written;
    } cases[] = {{0x01, true, 0xFF}, {0xFF, true, 0xFF}, {0x00, false, 0x00}, {0xFE, false, 0x00}};
    for (const auto& c : cases) {
        block[222] = c.stored;
        CTlGeometryStep s;
        ASSERT_TRUE(ReadBlock(s, block, 223));
        EXPECT_EQ(c.mode, s.IsPixelSizeMode()) << int(c.stored);
        EXPECT_EQ(c.written, StoredBytes(s)[222]) << int(c.stored);
    }
}

struct SPartialWrite {
    unsigned size;
    unsigned written; // bytes that must differ from the fill
    int lengthWord;   // -1: no length word
};

TEST(GeometryStoredForm, WriteStoresOnlyWholeItems)
{
    const unsigned char fill = 0x5A;
    const SPartialWrite cases[] = {
        {0, 0, -1}, {15, 0, -1}, {16, 16, -1}, {21, 18, -1}, {22, 22, 4}, {29, 22, 4}, {30, 30, 12}, {222, 222, 204},
        {223, 223, 205}, {300, 223, 205},
    };
    CTestStep step;
    ASSERT_TRUE(ReadBlock(step, kCTlGeometryStepVersion3, 223));
    for (const SPartialWrite& c : cases) {
        Bytes buffer(400, fill);
        unsigned size = c.size;
        EXPECT_EQ(c.size >= 223, step.Write(buffer.data(), size)) << c.size;
        EXPECT_EQ(223u, size);
        for (unsigned i = 0; i < buffer.size(); ++i) {
            if (i >= 18 && i < 22 && c.lengthWord >= 0)
                continue;
            const unsigned char expected = i < c.written ? kCTlGeometryStepVersion3[i] : fill;
            ASSERT_EQ(expected, buffer[i]) << "size " << c.size << ", byte " << i;
        }
        if (c.lengthWord >= 0) {
            std::uint32_t length = 0;
            std::memcpy(&length, buffer.data() + 18, 4);
            EXPECT_EQ(std::uint32_t(c.lengthWord), length) << c.size;
        }
    }
    unsigned size = 500;
    EXPECT_TRUE(step.Write(nullptr, size)) << "a null buffer only answers the size";
    EXPECT_EQ(223u, size);
}

// Blocks that are accepted without a single field read.
TEST(GeometryStoredForm, VersionsWithoutReadableFieldsChangeNothing)
{
    const struct {
        const char* name;
        std::uint16_t version;
        unsigned size;
        bool result;
    } cases[] = {{"version 4", 4, 223, true}, {"version 4 header", 4, 22, true}, {"version 0", 0, 18, true},
                 {"version 9", 9, 21, false}};
    for (const auto& c : cases) {
        Bytes block = kCTlGeometryStepVersion3;
        std::memcpy(&block[16], &c.version, 2);
        const std::uint32_t length = c.size >= 22 ? c.size - 18 : 0;
        std::memcpy(&block[18], &length, 4);
        CTlGeometryStep s;
        const Bytes before = StoredBytes(s);
        EXPECT_EQ(c.result, ReadBlock(s, block, c.size)) << c.name;
        EXPECT_EQ(before, StoredBytes(s)) << c.name;
    }
    CTlGeometryStep s;
    EXPECT_TRUE(s.Read(nullptr, 18));
    EXPECT_FALSE(s.Read(nullptr, 17));
}

// A corrupt block and the size handed with it.
struct SCorruptCase {
    const char* name;
    void (*corrupt)(Bytes&);
    unsigned size;
};

void SetLength(Bytes& b, std::uint32_t length)
{
    std::memcpy(&b[18], &length, 4);
}

void SetVersion(Bytes& b, std::uint16_t version)
{
    std::memcpy(&b[16], &version, 2);
}

TEST(GeometryStoredForm, CorruptBlocksFailAndChangeNothing)
{
    const SCorruptCase cases[] = {
        {"id differs in its last byte", [](Bytes& b) { b[15] ^= 1; }, 223},
        {"id differs in its first byte", [](Bytes& b) { b[0] ^= 0x80; }, 223},
        {"only the id", [](Bytes&) {}, 16},
        {"id and part of the version", [](Bytes&) {}, 17},
        {"header only", [](Bytes&) {}, 22},
        {"cut inside the fields", [](Bytes&) {}, 100},
        {"one byte short", [](Bytes&) {}, 222},
        {"length one beyond the bytes present", [](Bytes& b) { SetLength(b, 206); }, 223},
        {"length at its largest", [](Bytes& b) { SetLength(b, 0xFFFFFFFFu); }, 223},
        {"length wrapping a sum", [](Bytes& b) { SetLength(b, 0xFFFFFFEEu); }, 223},
        {"length ending before the fields", [](Bytes& b) { SetLength(b, 100); }, 223},
        {"length of zero", [](Bytes& b) { SetLength(b, 0); }, 223},
        {"version 2 one byte short", [](Bytes& b) { b = kCTlGeometryStepVersion2; }, 218},
        {"version 3 sized as version 2", [](Bytes& b) { SetLength(b, 201); }, 219},
        {"version 4 length beyond the bytes", [](Bytes& b) { SetVersion(b, 4); SetLength(b, 300); }, 223},
    };
    for (const SCorruptCase& c : cases) {
        Bytes block = kCTlGeometryStepVersion3;
        c.corrupt(block);
        CTestStep s;
        s.SetOutputWidth(7);
        const Bytes before = StoredBytes(s);
        const std::uint32_t flags = s.ChangeFlags;
        EXPECT_FALSE(ReadBlock(s, block, c.size)) << c.name;
        EXPECT_EQ(before, StoredBytes(s)) << c.name;
        EXPECT_EQ(flags, s.ChangeFlags) << c.name;
    }
}

TEST(GeometryStoredForm, LongerBufferIsAccepted)
{
    Bytes block = kCTlGeometryStepVersion3;
    block.resize(300, 0xEE);
    CTestStep s;
    EXPECT_TRUE(ReadBlock(s, block, 300));
    ExpectGoldenValues(s);
}

} // namespace
