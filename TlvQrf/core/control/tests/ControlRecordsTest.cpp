// The parameter records: their size checks, the mode record, the image
// record's orientation round trip, output size and profile, and the
// capture settings.
#include "ControlTestSupport.h"

#include "control/TlControlRecords.h"
#include "control/TlDefaultProfileHook.h"
#include "lib/TlLibraryState.h"

#include <cstring>
#include <functional>

namespace {

using namespace control_test;
using namespace TlvQrfLib;

// One record operation, called with a record whose size is off by `delta`
// bytes, or with no record at all.
struct RecordCall {
    const char* name;
    std::function<IKelvraError*(CTlvQrfControl&, bool present, int delta)> call;
};

template <class Record>
Record Sized(int delta)
{
    Record record{};
    record.size = static_cast<std::uint32_t>(static_cast<int>(sizeof(Record)) + delta);
    return record;
}

strTlnColourOption g_colour{sizeof(strTlnColourOption), 1, {}};

strTlnRawOption ColourOption(int delta)
{
    strTlnRawOption option = Sized<strTlnRawOption>(delta);
    option.type = 4;
    option.value = &g_colour;
    return option;
}

const RecordCall kRecordCalls[] = {
    {"SetMode", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnModeParam r = Sized<strTlnModeParam>(delta);
         return c.SetMode(present ? &r : nullptr);
     }},
    {"GetMode", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnModeParam r = Sized<strTlnModeParam>(delta);
         return c.GetMode(present ? &r : nullptr);
     }},
    {"SetImageInfo", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnImageInfoParam r = Sized<strTlnImageInfoParam>(delta);
         return c.SetImageInfo(present ? &r : nullptr, false);
     }},
    {"GetImageInfo", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnImageInfoParam r = Sized<strTlnImageInfoParam>(delta);
         return c.GetImageInfo(present ? &r : nullptr);
     }},
    {"GetCaptureSettings", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnVQParam r = Sized<strTlnVQParam>(delta);
         r.type = 2;
         return c.GetCaptureSettings(present ? &r : nullptr);
     }},
    {"SetRawOption", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnRawOption r = ColourOption(delta);
         return c.SetRawOption(present ? &r : nullptr);
     }},
    {"GetRawOption", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnRawOption r = ColourOption(delta);
         return c.GetRawOption(present ? &r : nullptr);
     }},
    {"ResetRawOption", [](CTlvQrfControl& c, bool present, int delta) {
         strTlnRawOption r = ColourOption(delta);
         return c.ResetRawOption(present ? &r : nullptr);
     }},
};

using ControlRecords = ControlFixture;

TEST_F(ControlRecords, EveryRecordIsCheckedBeforeUse)
{
    CTlvQrfControl& fresh = NewControl();
    for (const RecordCall& c : kRecordCalls)
        EXPECT_EQ(11000, CodeOf(c.call(fresh, true, 0))) << c.name << " before Initialize";
    fresh.Destroy();
    control = nullptr;

    CTlvQrfControl& ready = InitialisedControl();
    for (const RecordCall& c : kRecordCalls) {
        EXPECT_EQ(0, CodeOf(c.call(ready, true, 0))) << c.name;
        EXPECT_EQ(1014, CodeOf(c.call(ready, false, 0))) << c.name << " without a record";
        EXPECT_EQ(1014, CodeOf(c.call(ready, true, 4))) << c.name << " too large";
        EXPECT_EQ(1014, CodeOf(c.call(ready, true, -4))) << c.name << " too small";
    }
}

TEST_F(ControlRecords, ModeFieldsOutOfRangeChangeNothing)
{
    CTlvQrfControl& c = ControlWithChain();
    const strTlnModeParam bad[] = {{24, 1, 1, 1, 1}, {20, 4, 0, 0, 0}, {20, 0, 4, 0, 0},
                                   {20, 0, 0, 2, 0}, {20, 0, 0, 0, 3}, {20, 1, 2, 0, 0x80000000u}};
    const std::size_t calls = script.calls.size();
    for (strTlnModeParam mode : bad)
        EXPECT_EQ(1014, CodeOf(c.SetMode(&mode)));
    EXPECT_EQ(calls, script.calls.size());
    strTlnModeParam now{20, 9, 9, 9, 9};
    EXPECT_EQ(0, CodeOf(c.GetMode(&now)));
    EXPECT_EQ(2u, now.previewMode);
    EXPECT_EQ(1u, now.interpolation);
    EXPECT_EQ(1u, now.cacheChoice);
    EXPECT_EQ(1u, now.chainVariant);
}

TEST_F(ControlRecords, ModeAppliesTheGivenFieldsInOrder)
{
    CTlvQrfControl& c = ControlWithChain();
    script.calls.clear();
    strTlnModeParam cacheOnly{20, 0, 0, 0, 0};
    EXPECT_EQ(0, CodeOf(c.SetMode(&cacheOnly)));
    EXPECT_EQ(std::vector<std::string>{"SetCacheUsage 2"}, script.calls);

    script.calls.clear();
    strTlnModeParam all{20, 3, 3, 1, 2};
    EXPECT_EQ(0, CodeOf(c.SetMode(&all)));
    const std::vector<std::string> expected = {"SetChannelOrder 1", "SetScaleMethod 2", "SetCacheUsage 0",
                                               "SetMode 3", "Update"};
    EXPECT_EQ(expected, script.calls);
    EXPECT_EQ(0x2000u, script.updateChanges.back());

    strTlnModeParam intoOne{20, 1, 0, 1, 0};
    EXPECT_EQ(0, CodeOf(c.SetMode(&intoOne)));
    EXPECT_EQ("SetMode 4", script.calls[script.calls.size() - 2]);
    EXPECT_EQ(0x7FFFFFFFu, script.updateChanges.back());
    strTlnModeParam outOfOne{20, 2, 0, 1, 0};
    EXPECT_EQ(0, CodeOf(c.SetMode(&outOfOne)));
    EXPECT_EQ(0x7FFFFFFFu, script.updateChanges.back());
}

TEST_F(ControlRecords, ModeFailuresKeepWhatWasStoredBefore)
{
    CTlvQrfControl& c = ControlWithChain();
    script.channelOrder = 1;
    strTlnModeParam variant{20, 3, 2, 1, 2};
    EXPECT_EQ(1007, CodeOf(c.SetMode(&variant)));
    strTlnModeParam now{20, 0, 0, 0, 0};
    c.GetMode(&now);
    EXPECT_EQ(2u, now.chainVariant) << "the new variant stays stored";
    EXPECT_EQ(1u, now.interpolation) << "nothing after the failure is applied";

    script.channelOrder = 0;
    script.scaleMethod = 1;
    strTlnModeParam method{20, 0, 2, 1, 0};
    EXPECT_EQ(1007, CodeOf(c.SetMode(&method)));
    c.GetMode(&now);
    EXPECT_EQ(2u, now.interpolation);

    script.updates = {2};
    strTlnModeParam mode{20, 3, 0, 1, 0};
    EXPECT_EQ(1014, CodeOf(c.SetMode(&mode)));
    c.GetMode(&now);
    EXPECT_EQ(2u, now.previewMode) << "a failed update keeps the old mode";
}

// A mode the host chose before the chain existed reaches the new chain
// before it is built; without one the chain keeps its own default.
TEST_F(ControlRecords, EarlyModeReachesTheNewChain)
{
    CTlvQrfControl& c = InitialisedControl();
    strTlnModeParam mode{20, 1, 0, 1, 0};
    EXPECT_EQ(0, CodeOf(c.SetMode(&mode)));
    EXPECT_TRUE(script.calls.empty());
    IKelvraFilterChain* chain = nullptr;
    EXPECT_EQ(0, CodeOf(c.GetFilterChain(&chain)));
    EXPECT_TRUE(script.Called("SetMode 4"));
    EXPECT_LT(script.IndexOf("SetMode 4"), script.IndexOf("Build"));

    EXPECT_EQ(0, CodeOf(c.Cleanup(true)));
    script.calls.clear();
    EXPECT_EQ(0, CodeOf(c.GetFilterChain(&chain)));
    EXPECT_TRUE(script.Called("SetMode 4")) << "a rebuilt chain gets it too";
}

TEST_F(ControlRecords, UnchosenModeLeavesTheChainDefault)
{
    ControlWithChain();
    for (const std::string& call : script.calls)
        EXPECT_FALSE(call.rfind("SetMode ", 0) == 0) << call;
}

TEST_F(ControlRecords, InitializeFilterChainSwitchesTheVariant)
{
    TlvQrfLib::SetGlobalManager(Manager());
    CTlvQrfControl& c = NewControl();
    EXPECT_EQ(0u, c.InitializeFilterChain(Image(kKelvraRGB16), tags.get(), 0));
    strTlnModeParam now{20, 0, 0, 0, 0};
    EXPECT_EQ(0, CodeOf(c.GetMode(&now)));
    EXPECT_EQ(2u, now.chainVariant);
    EXPECT_TRUE(script.Called("SetChannelOrder 1"));
    EXPECT_TRUE(script.Called("SetSizeMode 0"));
}

struct OrientationRow {
    std::uint32_t code;
    int angle;
    bool mirror;
};

const OrientationRow kOrientationRows[] = {{1, 0, false},   {2, 0, true},    {3, 180, false}, {4, 180, true},
                                           {5, 270, true},  {6, 270, false}, {7, 90, true},   {8, 90, false}};

TEST_F(ControlRecords, OrientationRoundTrip)
{
    CTlvQrfControl& c = ControlWithChain();
    for (const OrientationRow& row : kOrientationRows) {
        strTlnImageInfoParam set = Sized<strTlnImageInfoParam>(0);
        set.orientation = row.code;
        EXPECT_EQ(0, CodeOf(c.SetImageInfo(&set, false)));
        EXPECT_EQ(row.angle, c.GetRotation()) << "code " << row.code;
        EXPECT_EQ(row.mirror, c.Mirrored()) << "code " << row.code;
        strTlnImageInfoParam get = Sized<strTlnImageInfoParam>(0);
        EXPECT_EQ(0, CodeOf(c.GetImageInfo(&get)));
        EXPECT_EQ(row.code, get.orientation);
        const bool turned = row.angle == 90 || row.angle == 270;
        EXPECT_EQ(turned ? 128u : 192u, get.width) << "code " << row.code;
        EXPECT_EQ(turned ? 192u : 128u, get.height) << "code " << row.code;
    }
    strTlnImageInfoParam unknown = Sized<strTlnImageInfoParam>(0);
    unknown.orientation = 9;
    EXPECT_EQ(0, CodeOf(c.SetImageInfo(&unknown, false)));
    EXPECT_EQ(0, c.GetRotation());
    EXPECT_FALSE(c.Mirrored());
    EXPECT_EQ(0u, c.SetRotation(45));
    EXPECT_EQ(45, c.GetRotation());
    strTlnImageInfoParam get = Sized<strTlnImageInfoParam>(0);
    EXPECT_EQ(0, CodeOf(c.GetImageInfo(&get)));
    EXPECT_EQ(1u, get.orientation) << "an angle off the quarter turns reads as code 1";
}

TEST_F(ControlRecords, ImageInfoSendsWhatChanged)
{
    CTlvQrfControl& c = ControlWithChain();
    strTlnImageInfoParam info = Sized<strTlnImageInfoParam>(0);
    info.width = 64; // as displayed after the quarter turn
    info.height = 96;
    info.orientation = 6;
    EXPECT_EQ(0, CodeOf(c.SetImageInfo(&info, false)));
    EXPECT_EQ(0x30u, script.updateChanges.back());
    EXPECT_EQ(96u, script.userWidth) << "given in the displayed frame, stored unrotated";
    EXPECT_EQ(64u, script.userHeight);
    EXPECT_EQ(96u, c.Image().displayWidth);
    EXPECT_EQ(0.5, c.Image().currentScale);

    const std::size_t updates = script.updateChanges.size();
    EXPECT_EQ(0, CodeOf(c.SetImageInfo(&info, false)));
    EXPECT_EQ(updates, script.updateChanges.size()) << "nothing changed, no update";

    script.updates = {7};
    info.orientation = 1;
    EXPECT_EQ(11004, CodeOf(c.SetImageInfo(&info, false)));
}

TEST_F(ControlRecords, DepthCannotExceedTheSource)
{
    CTlvQrfControl& eight = InitialisedControl(kKelvraRGB8);
    strTlnImageInfoParam info = Sized<strTlnImageInfoParam>(0);
    info.bytesPerChannel = 2;
    EXPECT_EQ(1014, CodeOf(eight.SetImageInfo(&info, false)));
    eight.Destroy();
    control = nullptr;

    CTlvQrfControl& sixteen = ControlWithChain(kKelvraRGB16);
    info.bytesPerChannel = 1;
    EXPECT_EQ(0, CodeOf(sixteen.SetImageInfo(&info, false)));
    EXPECT_TRUE(sixteen.Image().colour.reducedDepth);
    EXPECT_EQ(8u, sixteen.Image().colour.bitsPerChannel);
    EXPECT_EQ(0x4000u, script.updateChanges.back());
    EXPECT_TRUE(script.colour.reducedDepth);
    strTlnImageInfoParam get = Sized<strTlnImageInfoParam>(0);
    EXPECT_EQ(0, CodeOf(sixteen.GetImageInfo(&get)));
    EXPECT_EQ(1u, get.bytesPerChannel);
}

bool ChooseFolderProfile(const CTlvParamSet*, char* path)
{
    std::strcpy(path, "C:\\Profiles\\Talvo\\TLsRGB.icm");
    return true;
}

// Profile paths compare whole, without regard to case, as Windows paths.
TEST_F(ControlRecords, GivenProfileIsCustomOnlyWhenItIsAnotherFile)
{
    const TlDefaultProfileChooser before = SetDefaultProfileChooser(&ChooseFolderProfile);
    CTlvQrfControl& c = InitialisedControl();
    EXPECT_STREQ("C:\\Profiles\\Talvo\\TLsRGB.icm", c.DefaultProfilePath());
    const struct {
        const char* given;
        bool custom;
    } rows[] = {
        {"C:\\Profiles\\Talvo\\TLsRGB.icm", false},
        {"c:/profiles/TALVO/tlsrgb.ICM", false},
        {"C:\\Profiles\\Other\\..\\Talvo\\TLsRGB.icm", false},
        {"C:\\Profiles\\Talva\\TLsRGB.icm", true},
        {"D:\\Elsewhere\\Talvo\\TLsRGB.icm", true},
        {"TLsRGB.icm", true},
    };
    for (const auto& row : rows) {
        strTlnOutputProfile profile{};
        std::strcpy(profile.path, row.given);
        strTlnImageInfoParam info = Sized<strTlnImageInfoParam>(0);
        info.profile = &profile;
        EXPECT_EQ(0, CodeOf(c.SetImageInfo(&info, false)));
        EXPECT_EQ(row.custom, c.Image().colour.customProfile) << row.given;
        strTlnOutputProfile back{};
        strTlnImageInfoParam get = Sized<strTlnImageInfoParam>(0);
        get.profile = &back;
        EXPECT_EQ(0, CodeOf(c.GetImageInfo(&get)));
        EXPECT_STREQ(row.custom ? row.given : "C:\\Profiles\\Talvo\\TLsRGB.icm", back.path);
    }
    SetDefaultProfileChooser(before);
}

TEST_F(ControlRecords, ColourSpaceAndFormatClass)
{
    CTlvQrfControl& c = InitialisedControl();
    const struct {
        std::uint32_t given;
        std::int32_t stored;
        std::uint32_t reported;
    } rows[] = {{2, 1, 2}, {3, 2, 3}, {4, 3, 4}, {1, 0, 1}, {7, 0, 1}};
    for (const auto& row : rows) {
        strTlnOutputProfile profile{};
        std::strcpy(profile.path, "C:\\x.icm");
        profile.colourSpace = row.given;
        profile.formatClass = 2;
        strTlnImageInfoParam info = Sized<strTlnImageInfoParam>(0);
        info.profile = &profile;
        EXPECT_EQ(0, CodeOf(c.SetImageInfo(&info, false)));
        EXPECT_EQ(row.stored, c.Image().colour.colourSpace);
        strTlnOutputProfile back{};
        strTlnImageInfoParam get = Sized<strTlnImageInfoParam>(0);
        get.profile = &back;
        EXPECT_EQ(0, CodeOf(c.GetImageInfo(&get)));
        EXPECT_EQ(row.reported, back.colourSpace);
        EXPECT_EQ(2u, back.formatClass);
    }
}

TEST_F(ControlRecords, ChainOutputGivesTheReportedSize)
{
    CTlvQrfControl& c = ControlWithChain();
    IKelvraImage* output = Image(kKelvraRGB8, 300, 200);
    ASSERT_EQ(nullptr, KelvraDataConnect(output, script.chain));
    strTlnImageInfoParam get = Sized<strTlnImageInfoParam>(0);
    EXPECT_EQ(0, CodeOf(c.GetImageInfo(&get)));
    EXPECT_EQ(300u, get.width);
    EXPECT_EQ(200u, get.height);
    EXPECT_EQ(nullptr, KelvraDataDisconnect(output, script.chain));
}

TEST_F(ControlRecords, CaptureSettings)
{
    CTlvQrfControl& c = InitialisedControl();
    c.adjustUsed = 1;
    c.adjust.mode = 4;
    c.adjust.value = 0.75;
    strTlnVQParam query = Sized<strTlnVQParam>(0);
    query.type = 3;
    EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&query)));
    EXPECT_EQ(2u, query.kind);
    EXPECT_EQ(8u, query.valueSize);

    double value = 0;
    query.value = &value;
    EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&query)));
    EXPECT_EQ(0.75, value);

    std::int32_t mode = -1;
    strTlnVQParam first{sizeof(strTlnVQParam), 1, 1, 4, &mode};
    EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&first)));
    EXPECT_EQ(4, mode);
    c.adjust.mode = 5;
    EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&first)));
    EXPECT_EQ(0, mode);
    c.adjustUsed = 2;
    value = 1;
    EXPECT_EQ(0, CodeOf(c.GetCaptureSettings(&query)));
    EXPECT_EQ(0.0, value) << "the value counts only with the flag exactly 1";

    strTlnVQParam other{sizeof(strTlnVQParam), 4, 1, 4, &mode};
    EXPECT_EQ(1014, CodeOf(c.GetCaptureSettings(&other)));
}

// A caller that declares a 4-byte buffer for the 8-byte value gets a
// refusal, and its buffer is not written past.
TEST_F(ControlRecords, CaptureSettingsRefuseAShortBuffer)
{
    CTlvQrfControl& c = InitialisedControl();
    c.adjustUsed = 1;
    c.adjust.value = 1.5;
    struct {
        std::int32_t value = 7;
        std::int32_t guard = 0x5A5A5A5A;
    } buffer;
    strTlnVQParam shortBuffer{sizeof(strTlnVQParam), 3, 2, 4, &buffer.value};
    EXPECT_EQ(1014, CodeOf(c.GetCaptureSettings(&shortBuffer)));
    EXPECT_EQ(7, buffer.value);
    EXPECT_EQ(0x5A5A5A5A, buffer.guard);
    strTlnVQParam wrongKind{sizeof(strTlnVQParam), 2, 2, 8, &buffer};
    EXPECT_EQ(1014, CodeOf(c.GetCaptureSettings(&wrongKind)));
    EXPECT_EQ(7, buffer.value);
}

} // namespace
