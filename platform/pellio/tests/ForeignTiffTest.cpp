// TIFF files from elsewhere: big-endian byte order, one row per strip, and
// later pages this code cannot read. Built here byte by byte.
#include "PellioTestSupport.h"

namespace pelliotest {
namespace {

struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count, value;
};
using Page = std::vector<Entry>;

void Put16(Bytes& f, std::uint16_t v)
{
    f.push_back(std::uint8_t(v >> 8));
    f.push_back(std::uint8_t(v));
}

void Put32(Bytes& f, std::uint32_t v)
{
    Put16(f, std::uint16_t(v >> 16));
    Put16(f, std::uint16_t(v));
}

void AppendPage(Bytes& f, const Page& page, std::uint32_t next)
{
    Put16(f, std::uint16_t(page.size()));
    for (const Entry& e : page) {
        Put16(f, e.tag);
        Put16(f, e.type);
        Put32(f, e.count);
        if (e.type == 3 && e.count == 1) {
            Put16(f, std::uint16_t(e.value));
            Put16(f, 0);
        } else {
            Put32(f, e.value);
        }
    }
    Put32(f, next);
}

// A big-endian file: the header, `payload` from offset 8, then the pages.
Bytes BigEndianFile(const Bytes& payload, const std::vector<Page>& pages)
{
    Bytes f = {'M', 'M', 0, 42};
    const std::uint32_t first = std::uint32_t(8 + payload.size());
    Put32(f, first);
    f.insert(f.end(), payload.begin(), payload.end());
    std::uint32_t at = first;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::uint32_t next = at + std::uint32_t(2 + 12 * pages[i].size() + 4);
        AppendPage(f, pages[i], i + 1 < pages.size() ? next : 0);
        at = next;
    }
    return f;
}

// Twelve bytes of 3 x 2 grey 16-bit pixels, then the two strips' offsets
// (at 20) and byte counts (at 28).
Bytes Payload()
{
    Bytes p = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xA1, 0xA2, 0xB1, 0xB2, 0xC1, 0xC2};
    for (std::uint32_t word : {8u, 14u, 6u, 6u})
        Put32(p, word);
    return p;
}

Page GreyPage(std::uint32_t bits)
{
    return {{256, 3, 1, 3}, {257, 3, 1, 2}, {258, 3, 1, bits}, {259, 3, 1, 1}, {262, 3, 1, 1},
            {273, 4, 2, 20}, {277, 3, 1, 1}, {278, 3, 1, 1},   {279, 4, 2, 28}};
}

class ForeignTiffTest : public ::testing::Test {
protected:
    TempFolder m_folder;
    std::string m_path = m_folder.File("foreign.tif");
    ManagerPtr m_manager = MakeManager();
};

TEST_F(ForeignTiffTest, BigEndianSamplesArriveInMachineOrder)
{
    WriteFile(m_path, BigEndianFile(Payload(), {GreyPage(16)}));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_path, &file)));
    EXPECT_EQ(std::uint32_t(kPellioKindTiff), file.info.fileKind);
    EXPECT_EQ(std::uint32_t(kKelvraGrey16), file.info.pixelFormat);
    EXPECT_EQ((Bytes{0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0xA2, 0xA1, 0xB2, 0xB1, 0xC2, 0xC1}),
              PixelsOf(file.main.get()));
}

TEST_F(ForeignTiffTest, ReadablePagesBecomeSubImages)
{
    WriteFile(m_path, BigEndianFile(Payload(), {GreyPage(16), GreyPage(4), GreyPage(16)}));
    LoadedFile file;
    ASSERT_TRUE(Succeeded(LoadWhole(m_manager.get(), m_path, &file)));
    ASSERT_EQ(1u, file.info.subImageCount); // the 4-bit page is left out
    EXPECT_EQ(std::uint32_t(kPellioEntryRendition), file.subInfo[0].kind);
    EXPECT_TRUE(PixelsOf(file.main.get()) == PixelsOf(file.subImages[0].get()));
}

TEST_F(ForeignTiffTest, UnreadableMainPageIsUnsupported)
{
    WriteFile(m_path, BigEndianFile(Payload(), {GreyPage(4)}));
    LoadedFile file;
    EXPECT_EQ(kPellioUnsupported, CodeOf(LoadWhole(m_manager.get(), m_path, &file)));
}

} // namespace
} // namespace pelliotest
