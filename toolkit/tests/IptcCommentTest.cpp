#include "GuardedBytes.h"
#include "IptcBlocks.h"

#include "iptc/TlCmtrViewIPTC.h"
#include "iptc/TlIptcScan.h"
#include "iptc/TlIptcUploadTexts.h"

#include <gtest/gtest.h>

namespace {

const Bytes kEnvelope = Dataset(0x15A, "\x1B%G"); // 1:90, a record-1 dataset before the texts

std::string TextOf(CCmtrIPTC& block, unsigned short tag, bool next)
{
    char buffer[64] = {};
    const int length = next ? block.FindNextDataset(tag, buffer, sizeof buffer)
                            : block.FindDataset(tag, buffer, sizeof buffer);
    return length < 0 ? "<none>" : std::string(buffer, static_cast<std::size_t>(length));
}

TEST(IptcComment, UploadTextsComeFromKeywordsObjectNameAndCaption)
{
    const Bytes block = kEnvelope + Dataset(kIptcKeywords, "sea") + Dataset(kIptcObjectName, "Harbour") +
                        Dataset(kIptcKeywords, "boats") + Dataset(kIptcCaption, "Dawn at the pier\r\nsecond line") +
                        Dataset(kIptcCity, "Kiel") + Dataset(kIptcKeywords, "morning mist");
    TlIptcUploadTexts texts;
    ASSERT_TRUE(TlReadIptcUploadTexts(block.data(), block.size(), texts));
    EXPECT_EQ("sea boats morning mist", texts.keywords);
    EXPECT_EQ("Harbour", texts.caption);
    EXPECT_EQ("Dawn at the pier\r\nsecond line", texts.description);

    TlIptcUploadTexts none;
    ASSERT_TRUE(TlReadIptcUploadTexts(kEnvelope.data(), kEnvelope.size(), none));
    EXPECT_EQ("", none.keywords + none.caption + none.description);
}

TEST(IptcComment, RepeatedDatasetsAreFoundOneAfterAnother)
{
    const Bytes block = Dataset(kIptcKeywords, "one") + Dataset(kIptcCity, "x") + Dataset(kIptcKeywords, "") +
                        Dataset(kIptcKeywords, "three");
    CCmtrIPTC iptc(block.data(), block.size());
    EXPECT_EQ("one", TextOf(iptc, kIptcKeywords, false));
    EXPECT_EQ("", TextOf(iptc, kIptcKeywords, true));
    EXPECT_EQ("three", TextOf(iptc, kIptcKeywords, true));
    EXPECT_EQ("<none>", TextOf(iptc, kIptcKeywords, true));
    EXPECT_EQ("one", TextOf(iptc, kIptcKeywords, false)); // a first search starts over

    CCmtrViewIPTC view(block.data(), block.size());
    std::vector<std::string> keywords = {"stale"};
    int count = -1;
    EXPECT_EQ(1, view.GetTexts(kIptcKeywords, keywords, count));
    EXPECT_EQ((std::vector<std::string>{"one", "", "three"}), keywords);
    EXPECT_EQ(3, count);
}

TEST(IptcComment, ExtendedLengthsAreRead)
{
    const std::string longText(300, 'k');
    for (unsigned lengthBytes : {1u, 2u, 4u}) {
        const Bytes block = ExtendedDataset(kIptcCaption, lengthBytes == 1 ? "short" : longText, lengthBytes) +
                            Dataset(kIptcObjectName, "after");
        CCmtrViewIPTC view(block.data(), block.size());
        std::string caption, name;
        EXPECT_EQ(1, view.GetText(kIptcCaption, caption));
        EXPECT_EQ(1, view.GetText(kIptcObjectName, name));
        EXPECT_EQ(lengthBytes == 1 ? "short" : longText, caption) << lengthBytes;
        EXPECT_EQ("after", name) << lengthBytes;
    }
}

TEST(IptcComment, ABlockWithoutMarkersHasNoDataset)
{
    Bytes block;
    for (int value = 0; value < 256; ++value)
        if (value != 0x1C)
            block.push_back(static_cast<unsigned char>(value));
    CCmtrIPTC iptc(block.data(), block.size());
    CCmtrIPTC noBlock;
    char buffer[16];
    for (unsigned tag = 0; tag <= 0xFFFF; ++tag) {
        const auto t = static_cast<unsigned short>(tag);
        ASSERT_EQ(-1, iptc.FindDataset(t, buffer, sizeof buffer)) << tag;
        ASSERT_EQ(-1, iptc.FindNextDataset(t, buffer, sizeof buffer)) << tag;
        ASSERT_EQ(-1, noBlock.FindDataset(t, buffer, sizeof buffer)) << tag;
    }
}

TEST(IptcComment, GetTextLeavesTheOutTextWhenTheDatasetIsAbsent)
{
    const Bytes block = Dataset(kIptcCity, "Kiel");
    CCmtrViewIPTC view(block.data(), block.size());
    std::string text = "kept";
    EXPECT_EQ(1, view.GetText(kIptcCountryName, text));
    EXPECT_EQ("kept", text);
    EXPECT_EQ(1, view.GetText(kIptcCity, text));
    EXPECT_EQ("Kiel", text);
}

TEST(IptcComment, TheOutBufferIsNeverOverrun)
{
    const Bytes block = Dataset(kIptcCaption, "12345678");
    CCmtrIPTC iptc(block.data(), block.size());
    const GuardedBytes exact(Bytes(8, 0));
    EXPECT_EQ(8, iptc.FindDataset(kIptcCaption, exact.data(), 8));
    EXPECT_EQ("12345678", std::string(reinterpret_cast<char*>(exact.data()), 8));
    const GuardedBytes small(Bytes(7, '-'));
    EXPECT_EQ(-1, iptc.FindDataset(kIptcCaption, small.data(), 7));
    EXPECT_EQ("-------", std::string(reinterpret_cast<char*>(small.data()), 7));
    EXPECT_EQ(8, iptc.FindDataset(kIptcCaption, nullptr, 0)); // the length alone
}

struct CorruptBlock {
    const char* name;
    Bytes bytes;
    int expectedLength; // -1: not found
};

TEST(IptcComment, CorruptBlocksAreNeverReadPastTheirEnd)
{
    const unsigned char hi = kIptcCaption >> 8, lo = kIptcCaption & 0xFF;
    const CorruptBlock blocks[] = {
        {"empty block", {}, -1},
        {"cut after the marker", {0x1C}, -1},
        {"cut inside the tag", {0x1C, hi}, -1},
        {"cut before the length", {0x1C, hi, lo}, -1},
        {"cut inside the length", {0x1C, hi, lo, 0x00}, -1},
        {"data past the end", {0x1C, hi, lo, 0x00, 0x05, 'a', 'b'}, -1},
        {"extended length of no bytes", {0x1C, hi, lo, 0x80, 0x00, 'a'}, -1},
        {"extended length of five bytes", {0x1C, hi, lo, 0x80, 0x05, 0, 0, 0, 0, 1, 'a'}, -1},
        {"extended length of 0x7FFF bytes", {0x1C, hi, lo, 0xFF, 0xFF, 0, 0, 0, 1, 'a'}, -1},
        {"cut inside the extended length", {0x1C, hi, lo, 0x80, 0x02, 0x00}, -1},
        {"extended length past the end", {0x1C, hi, lo, 0x80, 0x02, 0x00, 0x09, 'a'}, -1},
        {"huge extended length", {0x1C, hi, lo, 0x80, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}, -1},
        {"skipped dataset past the end", Dataset(kIptcCity, "x") + Bytes{0x1C, 2, 5, 0x00, 0x40, 'a'}, -1},
        {"dataset ending the block", Dataset(kIptcCity, "x") + Dataset(kIptcCaption, "hi"), 2},
        {"empty dataset ending the block", {0x1C, hi, lo, 0x00, 0x00}, 0},
    };
    for (const CorruptBlock& block : blocks) {
        const GuardedBytes guarded(block.bytes);
        TlIptcDataset dataset;
        const bool found = TlFindIptcDataset(guarded.data(), block.bytes.size(), 0, kIptcCaption, dataset);
        EXPECT_EQ(block.expectedLength, found ? static_cast<int>(dataset.length) : -1) << block.name;

        CCmtrIPTC iptc(block.bytes.data(), block.bytes.size());
        char out[4];
        EXPECT_EQ(block.expectedLength, iptc.FindDataset(kIptcCaption, out, sizeof out)) << block.name;
        EXPECT_EQ(-1, iptc.FindNextDataset(kIptcCaption, out, sizeof out)) << block.name;
    }
}

struct ShootingDataCase {
    const char* name;
    std::string caption;
    int mode;
    bool answer;
    std::string expected;
};

TEST(IptcComment, ShootingDataSection)
{
    const std::string begin = "[#Beginning of Shooting Data Section]\r";
    const std::string end = "[#End of Shooting Data Section]\r";
    const std::string withSection = "A caption\r\n" + begin + "F8 1/250\r" + end + "after";
    const std::string longSection(2500, 's');
    const ShootingDataCase cases[] = {
        {"section, mode 0", withSection, 0, true, "F8 1/250\r"},
        {"section, mode 1", withSection, 1, true, "A caption\r\n"},
        {"no begin marker, mode 0", "A caption\r\n" + end, 0, true, ""},
        {"no begin marker, mode 1", "A caption\r\n" + end, 1, true, "A caption\r\n" + end},
        {"no end marker, mode 0", "x" + begin + "F8", 0, true, "F8"},
        {"at most 2000 bytes", begin + longSection + end, 0, true, std::string(2000, 's')},
        {"begin marker without its CR", "x[#Beginning of Shooting Data Section]F8", 0, true, ""},
        {"another mode", withSection, 2, false, "unchanged"},
    };
    for (const ShootingDataCase& c : cases) {
        std::string out = "unchanged";
        EXPECT_EQ(c.answer, CCmtrViewIPTC::GetShootingData(c.caption, out, c.mode)) << c.name;
        EXPECT_EQ(c.expected, out) << c.name;
    }
}

TEST(IptcComment, LoadAllFillsEveryField)
{
    const Bytes block =
        Dataset(kIptcCaption, "Words\r[#Beginning of Shooting Data Section]\rISO 100\r[#End of Shooting Data Section]\r") +
        Dataset(kIptcWriterEditor, "writer") + Dataset(kIptcHeadline, "headline") +
        Dataset(kIptcSpecialInstructions, "instructions") + Dataset(kIptcKeywords, "k1") +
        Dataset(kIptcKeywords, "k2") + Dataset(kIptcCategory, "cat") + Dataset(kIptcSupplementalCategory, "s1") +
        Dataset(kIptcUrgency, "5") + Dataset(kIptcByLine, "b1") + Dataset(kIptcByLine, "b2") +
        Dataset(kIptcByLine, "b3") + Dataset(kIptcByLineTitle, "t1") + Dataset(kIptcCredit, "credit") +
        Dataset(kIptcSource, "source") + Dataset(kIptcObjectName, "object") + Dataset(kIptcDateCreated, "20261211") +
        Dataset(kIptcCity, "city") + Dataset(kIptcProvinceState, "state") + Dataset(kIptcCountryName, "country") +
        Dataset(kIptcTransmissionReference, "ref") + Dataset(kIptcCopyrightNotice, "rights");
    CCmtrViewIPTC view(block.data(), block.size());
    ASSERT_EQ(1, view.LoadAll());
    EXPECT_EQ("Words\r", view.m_caption);
    EXPECT_EQ("ISO 100\r", view.m_shootingData);
    EXPECT_EQ("writer", view.m_writerEditor);
    EXPECT_EQ("headline", view.m_headline);
    EXPECT_EQ("instructions", view.m_specialInstructions);
    EXPECT_EQ((std::vector<std::string>{"k1", "k2"}), view.m_keywords);
    EXPECT_EQ(2, view.m_keywordCount);
    EXPECT_EQ("cat", view.m_category);
    EXPECT_EQ(std::vector<std::string>{"s1"}, view.m_supplementalCategories);
    EXPECT_EQ(1, view.m_supplementalCategoryCount);
    EXPECT_EQ("5", view.m_urgency);
    EXPECT_EQ((std::vector<std::string>{"b1", "b2", "b3"}), view.m_byLines);
    EXPECT_EQ(3, view.m_byLineCount);
    EXPECT_EQ(std::vector<std::string>{"t1"}, view.m_byLineTitles);
    EXPECT_EQ(1, view.m_byLineTitleCount);
    EXPECT_EQ("credit", view.m_credit);
    EXPECT_EQ("source", view.m_source);
    EXPECT_EQ("object", view.m_objectName);
    EXPECT_EQ("20261211", view.m_dateCreated);
    EXPECT_EQ("city", view.m_city);
    EXPECT_EQ("state", view.m_provinceState);
    EXPECT_EQ("country", view.m_countryName);
    EXPECT_EQ("ref", view.m_transmissionReference);
    EXPECT_EQ("rights", view.m_copyrightNotice);

    CCmtrViewIPTC noBlock(nullptr, 0);
    EXPECT_EQ(0, noBlock.LoadAll());
}

} // namespace
