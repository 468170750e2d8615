#include "kelvra/KelvraTagControl.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using ByteVector = std::vector<std::uint8_t>;

// The code of the first coded error of `error` (0 for success), after
// checking that the chain comes from a tag control; releases the chain.
long CodeOf(IKelvraError* error)
{
    if (!error)
        return 0;
    EXPECT_EQ(kKelvraTagControlSource, error->GetTag());
    const IKelvraError* cause = error->FindCause();
    const long code = cause ? cause->GetCode() : -1;
    IKelvraError::Release(error);
    return code;
}

template <class T>
ByteVector BytesOf(const T& value)
{
    ByteVector bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// A text with its terminating zero.
ByteVector TextBytes(const std::string& text)
{
    ByteVector bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

ByteVector Pattern(std::size_t length, std::uint8_t seed)
{
    ByteVector bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = std::uint8_t(seed + i * 7);
    return bytes;
}

// A tag's value as its own type reads it (for type 263, the bytes pointed to).
ByteVector ValueOf(const IKelvraTagControl& tags, std::uint32_t id)
{
    const std::uint32_t type = tags.GetTagType(id);
    ByteVector bytes(tags.GetTagSize(id, 0));
    if (type == kKelvraTagTypeDataHeader) {
        KelvraTagDataHeader header{1, std::uint32_t(bytes.size()), bytes.data()};
        EXPECT_EQ(0, CodeOf(tags.GetTag(id, type, sizeof header, &header, 0)));
    } else if (type != 0) {
        EXPECT_EQ(0, CodeOf(tags.GetTag(id, type, std::uint32_t(bytes.size()), bytes.data(), 0)));
    }
    return bytes;
}

std::vector<std::uint32_t> IdsOf(const IKelvraTagControl& tags)
{
    std::uint32_t count = tags.GetTagCount();
    std::vector<std::uint32_t> ids(count);
    EXPECT_EQ(0, CodeOf(tags.GetTagIds(ids.data(), count, &count)));
    ids.resize(count);
    return ids;
}

void ExpectSameTags(const IKelvraTagControl& expected, const IKelvraTagControl& actual)
{
    ASSERT_EQ(IdsOf(expected), IdsOf(actual));
    for (std::uint32_t id : IdsOf(expected)) {
        EXPECT_EQ(expected.GetTagType(id), actual.GetTagType(id)) << "tag " << id;
        EXPECT_EQ(ValueOf(expected, id), ValueOf(actual, id)) << "tag " << id;
    }
}

// Each test gets a fresh control; every error it made must be released.
class KelvraTagControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_liveErrors = IKelvraError::LiveCount();
        ASSERT_EQ(0, CodeOf(IKelvraTagControl::CreateTagControl(&m_tags)));
        ASSERT_NE(nullptr, m_tags);
    }

    void TearDown() override
    {
        if (m_tags)
            m_tags->Destroy();
        EXPECT_EQ(m_liveErrors, IKelvraError::LiveCount());
    }

    // Adds the tag and sets its value, as the writers do.
    static void Put(IKelvraTagControl* tags, std::uint32_t id, std::uint32_t type, const ByteVector& value)
    {
        ASSERT_EQ(0, CodeOf(tags->AddTag(id)));
        ASSERT_EQ(0, CodeOf(tags->SetTag(id, type, std::uint32_t(value.size()), value.data())));
    }

    void Put(std::uint32_t id, std::uint32_t type, const ByteVector& value) { Put(m_tags, id, type, value); }

    void PutLong(std::uint32_t id, std::int32_t value) { Put(id, kKelvraTagTypeLong, BytesOf(value)); }

    // Puts an IPTC-like value of type 263 through its header.
    void PutThroughHeader(std::uint32_t id, ByteVector bytes)
    {
        KelvraTagDataHeader header{1, std::uint32_t(bytes.size()), bytes.data()};
        Put(id, kKelvraTagTypeDataHeader, BytesOf(header));
    }

    IKelvraTagControl* m_tags = nullptr;

private:
    long m_liveErrors = 0;
};

using KelvraTagRead = KelvraTagControl;
using KelvraTagSet = KelvraTagControl;
using KelvraTagHeaderForm = KelvraTagControl;
using KelvraTagCopy = KelvraTagControl;
using KelvraTagQuery = KelvraTagControl;

TEST(KelvraTagFactory, RefusesANullOutPointer)
{
    EXPECT_EQ(kKelvraMissingObject, CodeOf(IKelvraTagControl::CreateTagControl(nullptr)));
}

struct RoundTripCase {
    const char* what;
    std::uint32_t id;
    std::uint32_t type;
    ByteVector value;
};

TEST_F(KelvraTagControl, EveryTypeRoundTripsAndReadsAsBytes)
{
    const RoundTripCase cases[] = {
        {"settings block", 0x80E01, kKelvraTagTypeBytes, Pattern(1000, 1)},
        {"empty block", 0x80E0B, kKelvraTagTypeBytes, ByteVector()},
        {"make", 271, kKelvraTagTypeText, TextBytes("TALVO CORPORATION")},
        {"empty text", 305, kKelvraTagTypeText, TextBytes("")},
        {"format code", 0x80004, kKelvraTagTypeLong, BytesOf(std::int32_t(0x10020401))},
        {"one double", 0x829A, kKelvraTagTypeDoubles, BytesOf(1.0 / 250)},
        {"four doubles", 0x8000C, kKelvraTagTypeDoubles, BytesOf(std::array<double, 4>{2.1, 1.4, 1.0, 1.0})},
        {"profile path", 34675, kKelvraTagTypePath, TextBytes("C:\\Profiles\\TLsRGB.icm")},
        {"longest path", 0x80E02, kKelvraTagTypePath, TextBytes(std::string(259, 'p'))},
        {"exposure bias", 0x9204, kKelvraTagTypeShorts3, BytesOf(std::array<std::int16_t, 3>{0, -2, 3})},
        {"lens range", 0x80084, kKelvraTagTypeDoubles4, BytesOf(std::array<double, 4>{10.5, 10.5, 2.8, 2.8})},
        {"sensitivity", 0x80002, kKelvraTagTypeUShorts2, BytesOf(std::array<std::uint16_t, 2>{0, 400})},
        {"eight bytes", 0x80083, kKelvraTagTypeBlock8, Pattern(8, 3)},
        {"tone curve", 0x8008C, kKelvraTagTypeToneCurve, Pattern(4160, 4)},
        {"lens data", 0x80098, kKelvraTagTypeLensData, Pattern(31, 5)},
        {"colour data", 0x80097, kKelvraTagTypeColorData, Pattern(304, 6)},
        {"dust id", 0x80E0A, kKelvraTagTypeDustId, Pattern(20, 7)},
        {"type of our own", 0x10003, 5, BytesOf(std::array<std::uint32_t, 2>{300, 1})},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.what);
        Put(c.id, c.type, c.value);
        const std::uint32_t length = std::uint32_t(c.value.size());
        EXPECT_TRUE(m_tags->HasTag(c.id, 0));
        EXPECT_EQ(c.type, m_tags->GetTagType(c.id));
        EXPECT_EQ(length, m_tags->GetTagSize(c.id, 0));
        for (std::uint32_t readType : {c.type, std::uint32_t(kKelvraTagTypeBytes)}) {
            ByteVector read(length + 3, 0xCD);
            EXPECT_EQ(0, CodeOf(m_tags->GetTag(c.id, readType, length + 3, read.data(), 0)));
            EXPECT_EQ(c.value, ByteVector(read.begin(), read.begin() + length));
            EXPECT_EQ(ByteVector(3, 0xCD), ByteVector(read.begin() + length, read.end()));
        }
    }
}

TEST_F(KelvraTagControl, SetCopiesTheValueIn)
{
    ByteVector value = TextBytes("TALVO");
    Put(271, kKelvraTagTypeText, value);
    value[0] = 'X';
    EXPECT_EQ(TextBytes("TALVO"), ValueOf(*m_tags, 271));
}

TEST_F(KelvraTagControl, SetReplacesTypeAndValue)
{
    PutLong(0x10004, 1);
    ASSERT_EQ(0, CodeOf(m_tags->SetTag(0x10004, kKelvraTagTypeDoubles, 8, BytesOf(90.0).data())));
    EXPECT_EQ(kKelvraTagTypeDoubles, m_tags->GetTagType(0x10004));
    EXPECT_EQ(BytesOf(90.0), ValueOf(*m_tags, 0x10004));
}

TEST_F(KelvraTagControl, MissingTagReadsAsAbsent)
{
    EXPECT_FALSE(m_tags->HasTag(271, 0));
    EXPECT_EQ(0u, m_tags->GetTagSize(271, 0));
    EXPECT_EQ(0u, m_tags->GetTagType(271));
    std::int32_t value = 7;
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->GetTag(271, kKelvraTagTypeLong, 4, &value, 0)));
    EXPECT_EQ(7, value);
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->CommitTag(271)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->SetTag(271, kKelvraTagTypeLong, 4, &value)));
    EXPECT_FALSE(m_tags->HasTag(271, 0));
}

TEST_F(KelvraTagControl, AddedTagHasNoValueUntilSet)
{
    ASSERT_EQ(0, CodeOf(m_tags->AddTag(0x80E05)));
    EXPECT_TRUE(m_tags->HasTag(0x80E05, 0));
    EXPECT_EQ(0u, m_tags->GetTagType(0x80E05));
    EXPECT_EQ(0u, m_tags->GetTagSize(0x80E05, 0));
    std::int32_t value = 0;
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_tags->GetTag(0x80E05, kKelvraTagTypeLong, 4, &value, 0)));
    EXPECT_EQ(kKelvraNotReady, CodeOf(m_tags->CommitTag(0x80E05)));

    value = 2;
    ASSERT_EQ(0, CodeOf(m_tags->SetTag(0x80E05, kKelvraTagTypeLong, 4, &value)));
    EXPECT_EQ(0, CodeOf(m_tags->CommitTag(0x80E05)));
}

TEST_F(KelvraTagControl, AddingAnExistingTagKeepsItsValue)
{
    PutLong(0x80E05, 2);
    ASSERT_EQ(0, CodeOf(m_tags->AddTag(0x80E05)));
    EXPECT_EQ(BytesOf(std::int32_t(2)), ValueOf(*m_tags, 0x80E05));
}

TEST_F(KelvraTagControl, RemoveDropsTheTagAndToleratesAbsence)
{
    PutLong(0x10004, 1);
    PutLong(0x10005, 2);
    ASSERT_EQ(0, CodeOf(m_tags->RemoveTag(0x10004)));
    EXPECT_FALSE(m_tags->HasTag(0x10004, 0));
    EXPECT_TRUE(m_tags->HasTag(0x10005, 0));
    EXPECT_EQ(0, CodeOf(m_tags->RemoveTag(0x10004)));

    ASSERT_EQ(0, CodeOf(m_tags->AddTag(0x10004)));
    EXPECT_EQ(0u, m_tags->GetTagType(0x10004));
}

struct ReadCase {
    const char* what;
    std::uint32_t id;
    std::uint32_t type;
    std::uint32_t size;
    bool nullDestination;
    long code;
};

TEST_F(KelvraTagRead, FailsWithoutWritingAndSucceedsOnlyWhenEverythingFits)
{
    PutLong(1, 42);
    Put(2, kKelvraTagTypeText, TextBytes("TALVO D1"));
    ASSERT_EQ(0, CodeOf(m_tags->AddTag(3)));
    Put(4, kKelvraTagTypeBytes, ByteVector());
    PutThroughHeader(5, Pattern(10, 1));

    const ReadCase cases[] = {
        {"int into 2 bytes", 1, kKelvraTagTypeLong, 2, false, kKelvraTagTooSmall},
        {"int into nothing", 1, kKelvraTagTypeLong, 0, false, kKelvraTagTooSmall},
        {"int as doubles", 1, kKelvraTagTypeDoubles, 8, false, kKelvraUnsupportedFormat},
        {"int as text", 1, kKelvraTagTypeText, 16, false, kKelvraUnsupportedFormat},
        {"int as type 0", 1, 0, 4, false, kKelvraUnsupportedFormat},
        {"int to null", 1, kKelvraTagTypeLong, 4, true, kKelvraMissingObject},
        {"text one short", 2, kKelvraTagTypeText, 8, false, kKelvraTagTooSmall},
        {"text exactly", 2, kKelvraTagTypeText, 9, false, 0},
        {"text as bytes, short", 2, kKelvraTagTypeBytes, 4, false, kKelvraTagTooSmall},
        {"no value yet", 3, kKelvraTagTypeBytes, 4, false, kKelvraNotReady},
        {"empty block to null", 4, kKelvraTagTypeBytes, 0, true, 0},
        {"header form as bytes", 5, kKelvraTagTypeBytes, 64, false, kKelvraUnsupportedFormat},
        {"header form to null", 5, kKelvraTagTypeDataHeader, 64, true, kKelvraMissingObject},
        {"header too small", 5, kKelvraTagTypeDataHeader, sizeof(KelvraTagDataHeader) - 1, false,
         kKelvraBadArgument},
        {"missing", 99, kKelvraTagTypeLong, 4, false, kKelvraMissingObject},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        ByteVector destination(64, 0xEE);
        const long code =
            CodeOf(m_tags->GetTag(c.id, c.type, c.size, c.nullDestination ? nullptr : destination.data(), 0));
        EXPECT_EQ(c.code, code);
        if (code != 0) {
            EXPECT_EQ(ByteVector(64, 0xEE), destination);
        }
    }
}

struct BadSetCase {
    const char* what;
    std::uint32_t type;
    ByteVector value;
    long code;
};

TEST_F(KelvraTagSet, RefusesValuesThatDoNotFitTheirTypeAndKeepsTheOldOne)
{
    const BadSetCase cases[] = {
        {"type 0", 0, BytesOf(std::int32_t(1)), kKelvraBadArgument},
        {"int of 2 bytes", kKelvraTagTypeLong, Pattern(2, 1), kKelvraBadArgument},
        {"int of 8 bytes", kKelvraTagTypeLong, Pattern(8, 1), kKelvraBadArgument},
        {"no double", kKelvraTagTypeDoubles, ByteVector(), kKelvraBadArgument},
        {"a double and a half", kKelvraTagTypeDoubles, Pattern(12, 1), kKelvraBadArgument},
        {"empty text", kKelvraTagTypeText, ByteVector(), kKelvraBadArgument},
        {"unterminated text", kKelvraTagTypeText, Pattern(5, 1), kKelvraBadArgument},
        {"path too long", kKelvraTagTypePath, TextBytes(std::string(260, 'p')), kKelvraBadArgument},
        {"unterminated path", kKelvraTagTypePath, Pattern(20, 1), kKelvraBadArgument},
        {"two shorts for three", kKelvraTagTypeShorts3, Pattern(4, 1), kKelvraBadArgument},
        {"three doubles for four", kKelvraTagTypeDoubles4, Pattern(24, 1), kKelvraBadArgument},
        {"one ushort for two", kKelvraTagTypeUShorts2, Pattern(2, 1), kKelvraBadArgument},
        {"seven bytes for eight", kKelvraTagTypeBlock8, Pattern(7, 1), kKelvraBadArgument},
        {"short tone curve", kKelvraTagTypeToneCurve, Pattern(4159, 1), kKelvraBadArgument},
        {"long lens data", kKelvraTagTypeLensData, Pattern(32, 1), kKelvraBadArgument},
        {"short colour data", kKelvraTagTypeColorData, Pattern(303, 1), kKelvraBadArgument},
        {"long dust id", kKelvraTagTypeDustId, Pattern(21, 1), kKelvraBadArgument},
        {"header of 8 bytes", kKelvraTagTypeDataHeader, Pattern(8, 1), kKelvraBadArgument},
    };
    PutLong(7, 42);
    for (const BadSetCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.code, CodeOf(m_tags->SetTag(7, c.type, std::uint32_t(c.value.size()), c.value.data())));
        EXPECT_EQ(kKelvraTagTypeLong, m_tags->GetTagType(7));
        EXPECT_EQ(BytesOf(std::int32_t(42)), ValueOf(*m_tags, 7));
    }
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->SetTag(7, kKelvraTagTypeLong, 4, nullptr)));
    EXPECT_EQ(BytesOf(std::int32_t(42)), ValueOf(*m_tags, 7));
}

TEST_F(KelvraTagHeaderForm, StoresThePointedToBytes)
{
    ByteVector iptc = Pattern(100, 9);
    PutThroughHeader(33723, iptc);
    EXPECT_EQ(kKelvraTagTypeDataHeader, m_tags->GetTagType(33723));
    EXPECT_EQ(100u, m_tags->GetTagSize(33723, 0));
    EXPECT_EQ(iptc, ValueOf(*m_tags, 33723));
}

TEST_F(KelvraTagHeaderForm, TooSmallReadReportsTheSizeForARetry)
{
    const ByteVector iptc = Pattern(300, 2);
    PutThroughHeader(33723, iptc);

    // As the load does it: start with a small record, grow it when told.
    ByteVector record(16, 0xEE);
    KelvraTagDataHeader header{1, std::uint32_t(record.size()), record.data()};
    EXPECT_EQ(kKelvraTagTooSmall, CodeOf(m_tags->GetTag(33723, kKelvraTagTypeDataHeader, sizeof header, &header, 0)));
    EXPECT_EQ(300u, header.length);
    EXPECT_EQ(1u, header.version);
    EXPECT_EQ(ByteVector(16, 0xEE), record);

    record.resize(header.length + 20, 0xEE);
    header.data = record.data();
    header.length = std::uint32_t(record.size());
    ASSERT_EQ(0, CodeOf(m_tags->GetTag(33723, kKelvraTagTypeDataHeader, sizeof header, &header, 0)));
    EXPECT_EQ(300u, header.length);
    EXPECT_EQ(iptc, ByteVector(record.begin(), record.begin() + 300));
    EXPECT_EQ(ByteVector(20, 0xEE), ByteVector(record.begin() + 300, record.end()));
}

TEST_F(KelvraTagHeaderForm, NullDataAsksForTheSize)
{
    PutThroughHeader(33723, Pattern(40, 2));
    KelvraTagDataHeader header{1, 1000, nullptr};
    EXPECT_EQ(kKelvraTagTooSmall, CodeOf(m_tags->GetTag(33723, kKelvraTagTypeDataHeader, sizeof header, &header, 0)));
    EXPECT_EQ(40u, header.length);
}

TEST_F(KelvraTagHeaderForm, EmptyDataNeedsNoBuffer)
{
    PutThroughHeader(33723, ByteVector());
    EXPECT_EQ(0u, m_tags->GetTagSize(33723, 0));
    KelvraTagDataHeader header{1, 0, nullptr};
    EXPECT_EQ(0, CodeOf(m_tags->GetTag(33723, kKelvraTagTypeDataHeader, sizeof header, &header, 0)));
    EXPECT_EQ(0u, header.length);
}

struct BadHeaderCase {
    const char* what;
    KelvraTagDataHeader header;
    long code;
};

TEST_F(KelvraTagHeaderForm, SetRefusesMalformedHeaders)
{
    std::uint8_t byte = 1;
    const BadHeaderCase cases[] = {
        {"version 0", {0, 1, &byte}, kKelvraBadArgument},
        {"version 2", {2, 1, &byte}, kKelvraBadArgument},
        {"no data", {1, 1, nullptr}, kKelvraMissingObject},
    };
    ASSERT_EQ(0, CodeOf(m_tags->AddTag(33723)));
    for (const BadHeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.code, CodeOf(m_tags->SetTag(33723, kKelvraTagTypeDataHeader, sizeof c.header, &c.header)));
        EXPECT_EQ(0u, m_tags->GetTagType(33723));
    }
}

TEST_F(KelvraTagControl, IdsComeInAscendingOrder)
{
    for (std::uint32_t id : {0x80E01u, 271u, 0x10000u, 33723u})
        ASSERT_EQ(0, CodeOf(m_tags->AddTag(id)));
    EXPECT_EQ(4u, m_tags->GetTagCount());
    EXPECT_EQ((std::vector<std::uint32_t>{271u, 33723u, 0x10000u, 0x80E01u}), IdsOf(*m_tags));
}

TEST_F(KelvraTagControl, IdsNeedRoomForAllAndACount)
{
    std::uint32_t ids[3] = {7, 7, 7};
    std::uint32_t count = 0;
    EXPECT_EQ(0, CodeOf(m_tags->GetTagIds(nullptr, 0, &count)));
    EXPECT_EQ(0u, count);

    for (std::uint32_t id : {1u, 2u, 3u, 4u})
        ASSERT_EQ(0, CodeOf(m_tags->AddTag(id)));
    EXPECT_EQ(kKelvraTagTooSmall, CodeOf(m_tags->GetTagIds(ids, 3, &count)));
    EXPECT_EQ(4u, count);
    EXPECT_EQ(7u, ids[0]);
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->GetTagIds(nullptr, 4, &count)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->GetTagIds(ids, 3, nullptr)));
}

TEST_F(KelvraTagCopy, ReplacesEveryTagWithACopyOfTheSources)
{
    IKelvraTagControl* source = nullptr;
    ASSERT_EQ(0, CodeOf(IKelvraTagControl::CreateTagControl(&source)));
    Put(source, 271, kKelvraTagTypeText, TextBytes("TALVO"));
    Put(source, 0x8000C, kKelvraTagTypeDoubles, BytesOf(std::array<double, 4>{2.0, 1.5, 1.0, 1.0}));
    ByteVector iptc = Pattern(50, 3);
    KelvraTagDataHeader header{1, 50, iptc.data()};
    Put(source, 33723, kKelvraTagTypeDataHeader, BytesOf(header));
    ASSERT_EQ(0, CodeOf(source->AddTag(0x80E05)));
    PutLong(0x10004, 1); // only in the target: must go

    ASSERT_EQ(0, CodeOf(m_tags->CopyFrom(source)));
    ExpectSameTags(*source, *m_tags);
    EXPECT_FALSE(m_tags->HasTag(0x10004, 0));

    // The copy owns its bytes.
    ASSERT_EQ(0, CodeOf(source->SetTag(271, kKelvraTagTypeText, 4, "ABC")));
    ASSERT_EQ(0, CodeOf(source->RemoveTag(33723)));
    source->Destroy();
    EXPECT_EQ(TextBytes("TALVO"), ValueOf(*m_tags, 271));
    EXPECT_EQ(iptc, ValueOf(*m_tags, 33723));
}

TEST_F(KelvraTagCopy, FromItselfOrNothing)
{
    PutLong(1, 5);
    EXPECT_EQ(0, CodeOf(m_tags->CopyFrom(m_tags)));
    EXPECT_EQ(BytesOf(std::int32_t(5)), ValueOf(*m_tags, 1));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->CopyFrom(nullptr)));
    EXPECT_EQ(1u, m_tags->GetTagCount());
}

// Reads as the control it wraps, except that reading one tag fails.
class FailingSource : public IKelvraTagControl {
public:
    FailingSource(IKelvraTagControl* tags, std::uint32_t failingId) : m_tags(tags), m_failingId(failingId) {}

    bool HasTag(std::uint32_t id, long reserved) const override { return m_tags->HasTag(id, reserved); }
    std::uint32_t GetTagSize(std::uint32_t id, long reserved) const override
    {
        return m_tags->GetTagSize(id, reserved);
    }
    std::uint32_t GetTagType(std::uint32_t id) const override { return m_tags->GetTagType(id); }
    IKelvraError* GetTag(std::uint32_t id, std::uint32_t type, std::uint32_t size, void* destination,
                         long reserved) const override
    {
        if (id == m_failingId)
            return IKelvraError::Add(nullptr, 0, __LINE__, kKelvraCategoryOS, 5);
        return m_tags->GetTag(id, type, size, destination, reserved);
    }
    IKelvraError* AddTag(std::uint32_t id) override { return m_tags->AddTag(id); }
    IKelvraError* SetTag(std::uint32_t id, std::uint32_t type, std::uint32_t length, const void* value) override
    {
        return m_tags->SetTag(id, type, length, value);
    }
    IKelvraError* RemoveTag(std::uint32_t id) override { return m_tags->RemoveTag(id); }
    IKelvraError* CommitTag(std::uint32_t id) override { return m_tags->CommitTag(id); }
    IKelvraError* CopyFrom(const IKelvraTagControl* source) override { return m_tags->CopyFrom(source); }
    std::uint32_t GetTagCount() const override { return m_tags->GetTagCount(); }
    IKelvraError* GetTagIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) const override
    {
        return m_tags->GetTagIds(ids, capacity, count);
    }
    IKelvraError* GetShortTagValue(std::uint32_t* code) const override { return m_tags->GetShortTagValue(code); }
    IKelvraError* GetImageSize(std::uint32_t* width, std::uint32_t* height) const override
    {
        return m_tags->GetImageSize(width, height);
    }
    void Destroy() override {}

private:
    IKelvraTagControl* m_tags;
    std::uint32_t m_failingId;
};

TEST_F(KelvraTagCopy, WorksThroughTheInterfaceAndChangesNothingOnFailure)
{
    IKelvraTagControl* tags = nullptr;
    ASSERT_EQ(0, CodeOf(IKelvraTagControl::CreateTagControl(&tags)));
    Put(tags, 271, kKelvraTagTypeText, TextBytes("TALVO"));
    Put(tags, 305, kKelvraTagTypeText, TextBytes("Lumera"));
    PutLong(0x10004, 1);

    FailingSource failing(tags, 305);
    IKelvraError* error = m_tags->CopyFrom(&failing);
    ASSERT_NE(nullptr, error);
    EXPECT_TRUE(error->HasCode(5));
    IKelvraError::Release(error);
    EXPECT_EQ((std::vector<std::uint32_t>{0x10004}), IdsOf(*m_tags));

    FailingSource working(tags, 0);
    EXPECT_EQ(0, CodeOf(m_tags->CopyFrom(&working)));
    ExpectSameTags(*tags, *m_tags);
    tags->Destroy();
}

struct ModelCase {
    const char* what;
    std::uint32_t type; // 0: no tag
    ByteVector value;
    long code;
    std::uint32_t model;
};

TEST_F(KelvraTagQuery, ModelCodeComesFromItsTag)
{
    const ModelCase cases[] = {
        {"no tag", 0, ByteVector(), kKelvraMissingObject, 0},
        {"model 259", kKelvraTagTypeLong, BytesOf(std::int32_t(259)), 0, 259},
        {"largest code", kKelvraTagTypeLong, BytesOf(std::int32_t(0xFFFF)), 0, 0xFFFF},
        {"beyond 16 bits", kKelvraTagTypeLong, BytesOf(std::int32_t(0x10000)), kKelvraBadArgument, 0},
        {"negative", kKelvraTagTypeLong, BytesOf(std::int32_t(-1)), kKelvraBadArgument, 0},
        {"stored as bytes", kKelvraTagTypeBytes, BytesOf(std::int32_t(259)), kKelvraUnsupportedFormat, 0},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, CodeOf(m_tags->RemoveTag(kKelvraTagModelCode)));
        if (c.type != 0)
            Put(kKelvraTagModelCode, c.type, c.value);
        std::uint32_t model = 12345;
        EXPECT_EQ(c.code, CodeOf(m_tags->GetShortTagValue(&model)));
        EXPECT_EQ(c.model, model);
    }
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->GetShortTagValue(nullptr)));
}

struct SizeCase {
    const char* what;
    std::int32_t width;  // 0: no tag
    std::int32_t height; // 0: no tag
    long cause;          // besides 1007; 0 on success
};

TEST_F(KelvraTagQuery, ImageSizeComesFromTheSizeTags)
{
    const SizeCase cases[] = {
        {"both", 4016, 2616, 0},
        {"no width", 0, 2616, kKelvraMissingObject},
        {"no height", 4016, 0, kKelvraMissingObject},
        {"negative width", -5, 2616, kKelvraBadArgument},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, CodeOf(m_tags->RemoveTag(kKelvraTagImageWidth)));
        ASSERT_EQ(0, CodeOf(m_tags->RemoveTag(kKelvraTagImageHeight)));
        if (c.width != 0)
            PutLong(kKelvraTagImageWidth, c.width);
        if (c.height != 0)
            PutLong(kKelvraTagImageHeight, c.height);
        std::uint32_t width = 1;
        std::uint32_t height = 1;
        IKelvraError* error = m_tags->GetImageSize(&width, &height);
        if (c.cause == 0) {
            EXPECT_EQ(nullptr, error);
            EXPECT_EQ(std::uint32_t(c.width), width);
            EXPECT_EQ(std::uint32_t(c.height), height);
        } else {
            ASSERT_NE(nullptr, error);
            EXPECT_EQ(kKelvraOperationFailed, error->GetCode());
            EXPECT_TRUE(error->HasCode(c.cause));
            EXPECT_EQ(0u, width);
            EXPECT_EQ(0u, height);
        }
        IKelvraError::Release(error);
    }
    std::uint32_t width = 0;
    EXPECT_EQ(kKelvraMissingObject, CodeOf(m_tags->GetImageSize(&width, nullptr)));
}

// Writers on several threads and a copier: no tag lost or torn.
TEST_F(KelvraTagControl, ConcurrentWritersAndACopierKeepEveryTag)
{
    constexpr std::uint32_t kThreads = 4;
    constexpr std::uint32_t kTagsEach = 200;
    IKelvraTagControl* copy = nullptr;
    ASSERT_EQ(0, CodeOf(IKelvraTagControl::CreateTagControl(&copy)));

    std::vector<std::thread> threads;
    for (std::uint32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (std::uint32_t i = 0; i < kTagsEach; ++i) {
                const std::int32_t value = std::int32_t(t * 1000 + i);
                IKelvraError::Release(m_tags->AddTag(std::uint32_t(value)));
                IKelvraError::Release(m_tags->SetTag(std::uint32_t(value), kKelvraTagTypeLong, 4, &value));
            }
        });
    }
    threads.emplace_back([this, copy] {
        // A copy may find the tags changing under it; it must fail cleanly.
        for (int i = 0; i < 50; ++i)
            IKelvraError::Release(copy->CopyFrom(m_tags));
    });
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(kThreads * kTagsEach, m_tags->GetTagCount());
    for (std::uint32_t t = 0; t < kThreads; ++t) {
        for (std::uint32_t i = 0; i < kTagsEach; ++i)
            EXPECT_EQ(BytesOf(std::int32_t(t * 1000 + i)), ValueOf(*m_tags, t * 1000 + i));
    }
    ASSERT_EQ(0, CodeOf(copy->CopyFrom(m_tags)));
    ExpectSameTags(*m_tags, *copy);
    copy->Destroy();
}

} // namespace
