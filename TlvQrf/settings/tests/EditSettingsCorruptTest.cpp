// Corrupt and cut blocks of the top-level record: the walk ends or passes
// over safely, never reads past the bytes present or past the record's own
// length, and loses nothing from the records it does not reach.
#include "EditSettingsTestSupport.h"

#include <gtest/gtest.h>

using namespace edit_test;

namespace {

// A record pointing at fresh records, white balance already "as shot" so
// that no repair changes it.
struct FreshTarget {
    EditRecords records;
    CTlvEditSettings settings{0, 0};

    FreshTarget()
    {
        records.whiteBalance.mode = CTlWhiteBalanceState::kModeAsShot;
        records.whiteBalance.firstGain = 1.0;
        records.whiteBalance.secondGain = 1.0;
        records.PointAt(settings);
    }
};

CTlAdjustState Adjusted()
{
    CTlAdjustState adjust;
    adjust.value = 2.5;
    return adjust;
}

CTlVignetteState Vignetted()
{
    CTlVignetteState vignette;
    vignette.value = 12;
    return vignette;
}

CTlRevelationState Revealed()
{
    CTlRevelationState revelation;
    revelation.first = 7;
    return revelation;
}

// Revelation (offset 22), adjustment, vignette, marker.
struct ThreeRecordBlock {
    Bytes before = SaveWhole(Revealed());
    Bytes middle = SaveWhole(Adjusted());
    Bytes after = SaveWhole(Vignetted());
    Bytes block = EditBlock({before, middle, after, ValueEntry(kMarkerEntryId, {1})});
    std::size_t middleOffset = 22 + before.size();
};

struct Outcome {
    bool before;
    bool middle;
    bool after;
};

void ExpectOutcome(const FreshTarget& target, const Outcome& expected, const char* name)
{
    EXPECT_EQ(target.records.revelation.first, expected.before ? 7 : 51) << name;
    EXPECT_EQ(target.records.adjust.value, expected.middle ? 2.5 : 0.0) << name;
    EXPECT_EQ(target.records.vignette.value, expected.after ? 12 : 80) << name;
}

struct EntryLengthCase {
    const char* name;
    // The middle entry's length word, from the bytes left from its start.
    std::uint32_t (*length)(std::size_t bytesLeft);
};

const EntryLengthCase kEntryLengths[] = {
    {"Zero", [](std::size_t) { return 0u; }},
    {"BelowItsOwnHeader", [](std::size_t) { return 3u; }},
    // Read as 16 bits this size is 0: an endless walk.
    {"SixtyFourKilobytesWhole", [](std::size_t) { return 0x10000u - 18u; }},
    {"SixtyFourKilobytesAndOneHeader", [](std::size_t) { return 0x10000u + 4u; }},
    {"OneByteBeyondTheBlock", [](std::size_t left) { return std::uint32_t(left - 18 + 1); }},
    {"AtItsLargest", [](std::size_t) { return 0xFFFFFFFFu; }},
};

// An entry whose length word cannot be right ends the walk: what came
// before is loaded, nothing after it is touched.
TEST(EditSettingsCorrupt, EntryLengthThatCannotBeRightEndsTheWalk)
{
    for (const EntryLengthCase& c : kEntryLengths) {
        ThreeRecordBlock three;
        tlstate_test::PutU32(three.block, three.middleOffset + 18, c.length(three.block.size() - three.middleOffset));
        FreshTarget target;
        EXPECT_EQ(LoadInto(target.settings, three.block), int(three.middleOffset)) << c.name;
        ExpectOutcome(target, {true, false, false}, c.name);
        EXPECT_EQ(target.settings.marker, 0) << c.name;
    }
}

struct RecordLengthCase {
    const char* name;
    std::uint32_t (*length)(const ThreeRecordBlock& three);
    Outcome outcome;
};

const RecordLengthCase kRecordLengths[] = {
    {"BeyondTheBlock", [](const ThreeRecordBlock& t) { return std::uint32_t(t.block.size() - 18 + 100); },
     {true, true, true}},
    {"AtItsLargest", [](const ThreeRecordBlock&) { return 0xFFFFFFFFu; }, {true, true, true}},
    {"EndingInsideTheMiddleEntry",
     [](const ThreeRecordBlock& t) { return std::uint32_t(t.middleOffset + t.middle.size() - 1 - 18); },
     {true, false, false}},
    {"EndingAfterTheMiddleEntry",
     [](const ThreeRecordBlock& t) { return std::uint32_t(t.middleOffset + t.middle.size() - 18); },
     {true, true, false}},
    {"Zero", [](const ThreeRecordBlock&) { return 0u; }, {false, false, false}},
};

// The record's own length word bounds the walk as well as the bytes present.
TEST(EditSettingsCorrupt, RecordLengthWordAndBufferBothBoundTheWalk)
{
    for (const RecordLengthCase& c : kRecordLengths) {
        ThreeRecordBlock three;
        tlstate_test::PutU32(three.block, 18, c.length(three));
        FreshTarget target;
        LoadInto(target.settings, three.block);
        ExpectOutcome(target, c.outcome, c.name);
    }
}

TEST(EditSettingsCorrupt, BlockCutInsideAnEntryPassesThatEntryOver)
{
    ThreeRecordBlock three;
    const std::size_t cut = three.middleOffset + three.middle.size() / 2;
    const Bytes block(three.block.begin(), three.block.begin() + long(cut));
    FreshTarget target;
    EXPECT_EQ(LoadInto(target.settings, block), int(three.middleOffset));
    ExpectOutcome(target, {true, false, false}, "cut");
}

TEST(EditSettingsCorrupt, NamesNeverReachBeyondTheirEntry)
{
    struct NameCase {
        const char* name;
        Bytes entry;
        std::size_t cutOff; // bytes cut from the block's end
        const char* expected;
    };
    const Bytes portrait = {'P', 'o', 'r', 't', 'r', 'a', 'i', 't'};
    Bytes portraitWithNul = portrait;
    portraitWithNul.push_back(0);
    const NameCase cases[] = {
        {"Terminated", ValueEntry(kNameEntryId, portraitWithNul), 0, "Portrait"},
        {"WithoutTerminator", ValueEntry(kNameEntryId, portrait), 0, "Portrait"},
        {"Empty", ValueEntry(kNameEntryId, {}), 0, ""},
        {"TerminatorFirst", ValueEntry(kNameEntryId, {0, 'x'}), 0, ""},
        {"CutByTheBlockEnd", ValueEntry(kNameEntryId, portraitWithNul), 3, "old"},
    };
    for (const NameCase& c : cases) {
        // The name entry comes last, so that nothing but the block stops it.
        Bytes block = EditBlock({ValueEntry(kMarkerEntryId, {1}), c.entry});
        block.resize(block.size() - c.cutOff);
        CTlvEditSettings settings(0, 0);
        settings.name = "old";
        LoadInto(settings, block);
        EXPECT_EQ(settings.name, c.expected) << c.name;
        EXPECT_EQ(settings.marker, 1) << c.name;
    }
}

// Unknown entries of any size are passed over whole.
TEST(EditSettingsCorrupt, LargeUnknownEntriesArePassedOverWhole)
{
    for (const std::size_t body : {std::size_t(0x10000 - 22), std::size_t(0x10000), std::size_t(70 * 1024)}) {
        const Bytes unknown = ValueEntry("00112233445566778899AABBCCDDEEFF", Bytes(body, 0x00));
        FreshTarget target;
        LoadInto(target.settings, EditBlock({unknown, SaveWhole(Vignetted()), ValueEntry(kMarkerEntryId, {1})}));
        EXPECT_EQ(target.records.vignette.value, 12) << body;
        EXPECT_EQ(target.settings.marker, 1) << body;
    }
}

// The place of each record's entry in a full block, in slot order (the
// order of EditRecords::Stored).
std::vector<std::size_t> RecordEntryEnds(const Bytes& block, const std::vector<Bytes>& stored)
{
    std::vector<std::size_t> ends;
    std::size_t offset = 22;
    while (offset + 22 <= block.size() && ends.size() < stored.size()) {
        std::uint32_t length = 0;
        std::memcpy(&length, block.data() + offset + 18, 4);
        const std::size_t end = offset + length + 18;
        if (std::equal(stored[ends.size()].begin(), stored[ends.size()].begin() + 16, block.begin() + long(offset)))
            ends.push_back(end);
        offset = end;
    }
    return ends;
}

// Every cut of a full record: each record whose entry lies before the cut is
// loaded, every other record keeps its contents, and the walk stops there.
TEST(EditSettingsCorrupt, EveryCutLoadsTheEntriesBeforeItAndNothingElse)
{
    EditRecords source;
    FillDistinct(source);
    CTlvEditSettings sourceSettings(0, 0);
    source.PointAt(sourceSettings);
    FillSettings(sourceSettings);
    const Bytes full = SaveSettings(sourceSettings);
    const std::vector<Bytes> loadedForms = source.Stored();
    const std::vector<Bytes> freshForms = FreshTarget().records.Stored();
    const std::vector<std::size_t> ends = RecordEntryEnds(full, loadedForms);
    ASSERT_EQ(ends.size(), loadedForms.size());

    for (std::size_t n = 0; n <= full.size(); ++n) {
        FreshTarget target;
        const int result = target.settings.Load(full.data(), int(n), 0, 0);
        ASSERT_LE(result, int(std::max<std::size_t>(n, 22))) << n;
        if (n < 22)
            continue;
        const std::vector<Bytes> forms = target.records.Stored();
        for (std::size_t i = 0; i < forms.size(); ++i)
            ASSERT_EQ(forms[i], ends[i] <= n ? loadedForms[i] : freshForms[i]) << "cut " << n << " record " << i;
    }
}

} // namespace
