// The tag copy a save prepares: which tags it writes, removes and keeps,
// the time it stamps, and the codes for every refused preparation.
#include "savetags/TlPrepareSaveTags.h"
#include "savetags/TlSaveTagWrite.h"
#include "savetags/TlSaveTimeTags.h"

#include "SaveTagsTestSupport.h"

#include "frame/TlSaveProgress.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlLibraryState.h"
#include "load/TlFileExtras.h"
#include "load/TlStoredSettings.h"
#include "params/TlvParamSet.h"
#include "raw/TlEmbeddedProfile.h"
#include "save/TlSaveState.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace raw_test;
using namespace savetags_test;

namespace {

const std::string kSettingsBytes("\x01\x00\x02\x00settings", 12);
const std::string kProfileBytes = std::string("\0\0\x01\x80prof", 8) + std::string(120, '\x33');
const std::string kDustId(20, '\x5A');
const std::string kOldIptc("\x1C\x02\x05old", 6);
const std::string kNewIptc("\x1C\x02\x05new caption\0tail", 20);

std::string Now()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return FormatTagDateTime(now);
}

class SaveTagsFixture : public testing::Test {
protected:
    void SetUp() override
    {
        IKelvraManager* manager = nullptr;
        ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager));
        m_manager = manager;
        ASSERT_EQ(nullptr, manager->CreateImage(&m_image));
        params.image = m_image;
        params.tags = source.get();
        m_oldSoftware = ExchangeSoftwareTag("Imagora 1.0.0 W");
        TlSaveProgressState progress = GetSaveProgressState();
        progress.base = 40;
        m_oldProgress = ExchangeSaveProgressState(progress);
        ClearSaveState();
    }
    void TearDown() override
    {
        IKelvraError::Release(errors);
        ClearSaveState();
        ExchangeSoftwareTag(m_oldSoftware);
        ExchangeSaveProgressState(m_oldProgress);
        if (m_image != nullptr)
            m_image->Release();
        if (m_manager != nullptr)
            m_manager->Release();
    }

    // The tags a raw file brings along: some a save replaces, some it drops
    // and some it must keep as they are.
    void FillSource()
    {
        SetText(*source, kTlSoftwareTag, "Old Software 0.9");
        SetText(*source, kTlDateTimeTag, "2001:02:03 04:05:06");
        KelvraTagDataHeader iptc = {1, std::uint32_t(kOldIptc.size()), const_cast<char*>(kOldIptc.data())};
        SetBytes(*source, kTlIptcTag, kKelvraTagTypeDataHeader, &iptc, sizeof iptc);
        SetLong(*source, kTlMirrorTag, 1);
        const double angle = 90.0;
        SetBytes(*source, kTlAngleTag, kKelvraTagTypeDoubles, &angle, sizeof angle);
        SetBytes(*source, kTlDustIdentificationTag, kKelvraTagTypeDustId, kDustId.data(), kDustId.size());
        SetBytes(*source, kTlStoredSettingsTag, kKelvraTagTypeBytes, kSettingsBytes.data(), kSettingsBytes.size());
        SetBytes(*source, kTlIccProfileTag, kKelvraTagTypeBytes, kProfileBytes.data(), kProfileBytes.size());
        SetLong(*source, kTlStoredSettingsMarkerTag, 2);
    }

    static void ClearSaveState()
    {
        STlSaveState& state = SaveState();
        if (state.tags != nullptr)
            state.tags->Destroy();
        state.tags = nullptr;
        state.tempPath.clear();
        state.prepared = false;
    }

    CTlvSettingsHolder holder;
    CTlvParamSet params{holder};
    PellioTagsPtr source = MakeTags();
    STlSaveState& save = SaveState();
    IKelvraError* errors = nullptr;
    TempFolder folder;

private:
    IKelvraManager* m_manager = nullptr;
    IKelvraImage* m_image = nullptr;
    std::string m_oldSoftware;
    TlSaveProgressState m_oldProgress;
};

struct TagCase {
    const char* name;
    bool sourceTags;         // the source carries the tags of FillSource
    const char* software;    // the library's software tag
    const std::string* iptc; // the parameter set's IPTC record (null: none)
    std::uint32_t iptcLength;
    std::string software305; // expected tag 305
    std::string iptc33723;   // expected tag 33723
};

const TagCase kTagCases[] = {
    {"Refreshed", true, "Imagora 1.0.0 W", &kNewIptc, 20, "Imagora 1.0.0 W", kNewIptc},
    {"EmptySoftwareKeepsTheCopied", true, "", &kNewIptc, 20, "Old Software 0.9", kNewIptc},
    {"EmptySoftwareOverNoneLeavesNone", false, "", &kNewIptc, 20, "<none>", kNewIptc},
    {"IptcOfLengthZeroIsRemoved", true, "Imagora 1.0.0 W", &kNewIptc, 0, "Imagora 1.0.0 W", "<none>"},
    {"IptcWithoutDataIsRemoved", true, "Imagora 1.0.0 W", nullptr, 20, "Imagora 1.0.0 W", "<none>"},
    {"IptcAddedToBareSource", false, "Imagora 1.0.0 W", &kNewIptc, 20, "Imagora 1.0.0 W", kNewIptc},
    {"IptcCutToItsLength", false, "Imagora 1.0.0 W", &kNewIptc, 11, "Imagora 1.0.0 W", kNewIptc.substr(0, 11)},
};

void PrintTo(const TagCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaveTagCases : public SaveTagsFixture, public testing::WithParamInterface<TagCase> {};

TEST_P(SaveTagCases, WritesRemovesAndKeeps)
{
    const TagCase& c = GetParam();
    if (c.sourceTags)
        FillSource();
    ExchangeSoftwareTag(c.software);
    params.tagBlob = c.iptc ? reinterpret_cast<const unsigned char*>(c.iptc->data()) : nullptr;
    params.tagBlobSize = c.iptcLength;
    const std::string target = folder.Write("target.qrf", "old");

    const std::string before = Now();
    ASSERT_EQ(kTlSaveOk, PrepareSaveTags(&params, target.c_str(), &errors));
    const std::string after = Now();

    ASSERT_NE(save.tags, nullptr);
    const IKelvraTagControl& written = *save.tags;
    EXPECT_EQ(ReadText(written, kTlSoftwareTag), c.software305);
    EXPECT_EQ(ReadBytes(written, kTlIptcTag), c.iptc33723);
    if (c.iptc33723 != "<none>") {
        EXPECT_EQ(written.GetTagType(kTlIptcTag), kKelvraTagTypeDataHeader);
    }
    const std::string stamp = ReadText(written, kTlDateTimeTag);
    EXPECT_EQ(written.GetTagType(kTlDateTimeTag), kKelvraTagTypeText);
    EXPECT_LE(before, stamp);
    EXPECT_LE(stamp, after);
    EXPECT_FALSE(written.HasTag(kTlMirrorTag, 0));
    EXPECT_FALSE(written.HasTag(kTlAngleTag, 0));

    const std::uint32_t kept[] = {kTlDustIdentificationTag, kTlStoredSettingsTag, kTlIccProfileTag,
                                  kTlStoredSettingsMarkerTag};
    for (std::uint32_t id : kept) {
        EXPECT_EQ(ReadBytes(written, id), ReadBytes(*source, id)) << "tag " << id;
        EXPECT_EQ(written.GetTagType(id), source->GetTagType(id)) << "tag " << id;
    }
    if (c.sourceTags) {
        EXPECT_EQ(ReadText(*source, kTlSoftwareTag), "Old Software 0.9") << "the source's tags stay as they were";
    }
    EXPECT_EQ(save.tempPath, target);
    EXPECT_EQ(errors, nullptr);
    EXPECT_EQ(GetSaveProgressState().base, 0);
    EXPECT_FALSE(save.prepared) << "the caller sets the flag once its writer is ready";
}

INSTANTIATE_TEST_SUITE_P(Tags, SaveTagCases, testing::ValuesIn(kTagCases),
                         [](const testing::TestParamInfo<TagCase>& info) { return std::string(info.param.name); });

TEST(SaveDateTime, FormatsYearMonthDayAndTime)
{
    struct Case {
        SYSTEMTIME time;
        const char* text;
    };
    const Case cases[] = {
        {{2026, 12, 5, 11, 1, 2, 3, 0}, "2026:12:11 01:02:03"},
        {{999, 1, 0, 1, 0, 0, 0, 0}, "0999:01:01 00:00:00"},
        {{2000, 2, 2, 29, 23, 59, 59, 999}, "2000:02:29 23:59:59"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTagDateTime(c.time), c.text);
}

using SavePreparation = SaveTagsFixture;

TEST_F(SavePreparation, WithoutSourceItIsTwoAndNothingIsTouched)
{
    CTlvSettingsHolder otherHolder;
    CTlvParamSet noImage(otherHolder);
    noImage.tags = source.get();
    CTlvParamSet noTags(otherHolder);
    noTags.image = params.image;
    const CTlvParamSet* cases[] = {nullptr, &noImage, &noTags};
    for (const CTlvParamSet* p : cases) {
        EXPECT_EQ(kTlSaveNoSource, PrepareSaveTags(p, folder.File("t.qrf").c_str(), &errors));
        EXPECT_EQ(save.tags, nullptr);
        EXPECT_EQ(save.tempPath, "");
    }
    EXPECT_EQ(GetSaveProgressState().base, 40);
}

TEST_F(SavePreparation, APreparedSaveRefusesASecond)
{
    save.prepared = true;
    EXPECT_EQ(kTlSaveAlreadyPrepared, PrepareSaveTags(&params, folder.File("t.qrf").c_str()));
    EXPECT_EQ(save.tags, nullptr);
    EXPECT_EQ(save.tempPath, "");
    EXPECT_EQ(GetSaveProgressState().base, 40) << "the running save's progress stays";
}

TEST_F(SavePreparation, AMissingOrEmptyPathFails)
{
    EXPECT_EQ(kTlSaveFailed, PrepareSaveTags(&params, nullptr));
    EXPECT_EQ(kTlSaveFailed, PrepareSaveTags(&params, ""));
    EXPECT_EQ(save.tags, nullptr);
    EXPECT_EQ(save.tempPath, "");
}

TEST_F(SavePreparation, AReadOnlyFileIsLockedAndNoTagIsMade)
{
    FillSource();
    const std::string target = folder.Write("locked.qrf", "old");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(kTlSaveFileLocked, PrepareSaveTags(&params, target.c_str(), &errors));

    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(save.tags, nullptr);
    EXPECT_EQ(save.tempPath, target);
    ASSERT_NE(errors, nullptr);
    EXPECT_STREQ(errors->GetText(), "File Locked");
    EXPECT_EQ(errors->GetLine(), 1936);
    EXPECT_EQ(errors->GetNext(), nullptr);

    // Without a chain to take it, the error is dropped, not leaked.
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const long live = IKelvraError::LiveCount();
    EXPECT_EQ(kTlSaveFileLocked, PrepareSaveTags(&params, target.c_str()));
    EXPECT_EQ(IKelvraError::LiveCount(), live);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetSaveProgressState().base, 0);
    EXPECT_EQ(TempFolder::Read(target), "old");
}

TEST_F(SavePreparation, ANewFileNeedNotExist)
{
    const std::string target = folder.File("new.qrf");
    EXPECT_EQ(kTlSaveOk, PrepareSaveTags(&params, target.c_str(), &errors));
    EXPECT_NE(save.tags, nullptr);
    EXPECT_FALSE(TempFolder::Exists(target)) << "the preparation writes no file";
}

TEST_F(SavePreparation, ASourceThatCannotBeCopiedIsFour)
{
    FailingTags unreadable;
    SetText(*unreadable.inner, kTlSoftwareTag, "Old Software 0.9");
    SetLong(*unreadable.inner, kTlMirrorTag, 1);
    unreadable.failGet = {kTlMirrorTag};
    params.tags = &unreadable;

    EXPECT_EQ(kTlSaveTagCopyFailed, PrepareSaveTags(&params, folder.File("t.qrf").c_str()));

    ASSERT_NE(save.tags, nullptr) << "the save's release frees the copy";
    EXPECT_FALSE(save.tags->HasTag(kTlDateTimeTag, 0)) << "nothing is written into a failed copy";
    EXPECT_FALSE(save.tags->HasTag(kTlDustIdentificationTag, 0));
    EXPECT_EQ(GetSaveProgressState().base, 0);
}

TEST_F(SavePreparation, ALeftoverCopyIsReplaced)
{
    save.tags = MakeTags().release();
    SetText(*save.tags, kTlSoftwareTag, "leftover");
    ASSERT_EQ(kTlSaveOk, PrepareSaveTags(&params, folder.File("t.qrf").c_str()));
    EXPECT_EQ(ReadText(*save.tags, kTlSoftwareTag), "Imagora 1.0.0 W");
}

// Failures inside the refresh are dropped; a DateTime that cannot be
// written takes the dust identification with it.
struct FailureCase {
    const char* name;
    std::set<std::uint32_t> failAdd, failSet, failRemove;
    bool dateTimeBefore;     // the tags hold an older DateTime
    std::string dateTime;    // expected 306: "now", "<none>" or a value
    bool dustIdentification; // 0x80E0A left
};

const FailureCase kFailureCases[] = {
    {"NothingFails", {}, {}, {}, false, "now", true},
    {"OtherTagsFailing", {kTlIptcTag}, {kTlSoftwareTag}, {kTlMirrorTag, kTlAngleTag}, false, "now", true},
    {"DateTimeAddFails", {kTlDateTimeTag}, {}, {}, false, "<none>", true},
    {"DateTimeAddAndRemoveFail", {kTlDateTimeTag}, {}, {kTlDateTimeTag}, false, "<none>", false},
    {"DateTimeSetFails", {}, {kTlDateTimeTag}, {}, false, "<none>", false},
    {"DateTimeSetFailsOverAnOldOne", {}, {kTlDateTimeTag}, {}, true, "1999:01:01 00:00:00", false},
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaveTagFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(SaveTagFailures, AreDroppedAndLeaveNoTagWithoutValue)
{
    const FailureCase& c = GetParam();
    FailingTags tags;
    tags.failAdd = c.failAdd;
    tags.failSet = c.failSet;
    tags.failRemove = c.failRemove;
    SetBytes(*tags.inner, kTlDustIdentificationTag, kKelvraTagTypeDustId, kDustId.data(), kDustId.size());
    SetLong(*tags.inner, kTlMirrorTag, 1);
    if (c.dateTimeBefore)
        SetText(*tags.inner, kTlDateTimeTag, "1999:01:01 00:00:00");
    CTlvSettingsHolder holder;
    CTlvParamSet params(holder);
    params.tagBlob = reinterpret_cast<const unsigned char*>(kNewIptc.data());
    params.tagBlobSize = std::uint32_t(kNewIptc.size());
    SYSTEMTIME now = {2026, 12, 5, 11, 1, 2, 3, 0};

    WriteSaveTimeTags(tags, params, "Imagora 1.0.0 W", now);

    const std::string expected = c.dateTime == "now" ? FormatTagDateTime(now) : c.dateTime;
    EXPECT_EQ(ReadText(tags, kTlDateTimeTag), expected);
    EXPECT_EQ(tags.HasTag(kTlDustIdentificationTag, 0), c.dustIdentification);
    EXPECT_EQ(ReadBytes(tags, kTlIptcTag), c.failAdd.count(kTlIptcTag) ? "<none>" : kNewIptc);
    EXPECT_EQ(ReadText(tags, kTlSoftwareTag), c.failSet.count(kTlSoftwareTag) ? "<none>" : "Imagora 1.0.0 W");
    EXPECT_EQ(tags.HasTag(kTlMirrorTag, 0), c.failRemove.count(kTlMirrorTag) != 0);

    std::uint32_t ids[16] = {};
    std::uint32_t count = 0;
    ASSERT_EQ(nullptr, tags.GetTagIds(ids, 16, &count));
    for (std::uint32_t i = 0; i < count; ++i)
        EXPECT_EQ(nullptr, tags.CommitTag(ids[i])) << "tag " << ids[i] << " has no value";
}

INSTANTIATE_TEST_SUITE_P(Refresh, SaveTagFailures, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
