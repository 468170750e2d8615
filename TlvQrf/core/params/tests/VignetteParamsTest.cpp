// The vignette filter set from the settings' strength and the camera's
// sensor and lens tags.
#include "params/TlVignetteLens.h"
#include "params/TlVignetteParams.h"

#include "filters/vignette/TlVignetteFilter.h"

#include "NoiseVignetteTestRig.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace noise_vignette_test;

namespace {

using LensBytes = std::array<std::uint8_t, CVignetteFilter::kLensDataSize>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNoTag = -1.0; // a double tag left out
const LensBytes kFirstVersionBytes = {113, 114, 115, 116, 117, 118};
const LensBytes kSecondVersionBytes = {104, 105, 119, 120, 121, 122};

// The vignette settings in use at `percentage`.
void UseVignette(SettingsRig& rig, std::int16_t percentage)
{
    rig.holder.vignetteUsed = 1;
    rig.holder.vignette.value = static_cast<std::uint16_t>(percentage);
}

void SetLensSwitch(SettingsRig& rig, std::uint8_t value)
{
    std::uint8_t block[kTlLensSwitchSize] = {};
    block[kTlLensSwitchOffset] = value;
    raw_test::SetBytes(*rig.tags, kTlLensSwitchTag, kKelvraTagTypeBlock8, block, sizeof block);
}

// Lens data of `version` whose byte i (after the version) is 100 + i.
void SetLensData(SettingsRig& rig, const char* version)
{
    std::uint8_t data[kTlLensDataSize] = {};
    for (std::uint32_t i = 4; i < kTlLensDataSize; ++i)
        data[i] = static_cast<std::uint8_t>(100 + i);
    std::memcpy(data, version, 4);
    raw_test::SetBytes(*rig.tags, kTlLensDataTag, kKelvraTagTypeLensData, data, sizeof data);
}

// The camera's recorded lens: the switch byte (-1: no switch tag), the lens
// data version (null: none) and the f-number (kNoTag: none).
struct CameraLens {
    int switchByte;
    const char* version;
    double fNumber;
};

void SetCameraLens(SettingsRig& rig, const CameraLens& lens)
{
    if (lens.switchByte >= 0)
        SetLensSwitch(rig, static_cast<std::uint8_t>(lens.switchByte));
    if (lens.version != nullptr)
        SetLensData(rig, lens.version);
    if (lens.fNumber != kNoTag)
        rig.SetDouble(kTlExifFNumberTag, lens.fNumber);
}

void ExpectLensData(const CVignetteFilter& filter, const LensBytes* expected)
{
    LensBytes held = {};
    ASSERT_EQ(expected != nullptr, filter.GetLensData(held.data()));
    if (expected != nullptr) {
        EXPECT_EQ(*expected, held);
    }
}

} // namespace

TEST(VignetteParams, NoStrengthSwitchesOffWithoutReadingTags)
{
    const struct {
        const char* name;
        std::uint8_t used;
        std::int16_t percentage;
    } cases[] = {{"percentage 0", 1, 0}, {"vignette unused", 0, 80}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        UseVignette(settings, c.percentage);
        settings.holder.vignetteUsed = c.used;
        settings.SetDouble(kTlSensorDiagonalTag, 43.3);
        SetCameraLens(settings, {1, "0100", 2.8});
        FilterRig<CVignetteFilter> rig;
        const double defaultDiagonal = rig.filter.GetSensorDiagonal();
        ErrorsReleased released;
        EXPECT_EQ(nullptr, SetVignetteParams(*settings.Params(), rig.filter, 2.0));
        EXPECT_FALSE(rig.filter.IsEnabled());
        ASSERT_EQ(1u, rig.filter.enables.size());
        EXPECT_EQ(defaultDiagonal, rig.filter.GetSensorDiagonal());
        EXPECT_EQ(0.0, rig.filter.GetFNumber());
        EXPECT_EQ(1.0, rig.filter.GetAspectScale());
        ExpectLensData(rig.filter, nullptr);
    }
}

TEST(VignetteParams, SwitchingOffPassesItsErrorOn)
{
    SettingsRig settings;
    FilterRig<CVignetteFilter> rig;
    rig.filter.failEnables = {0};
    IKelvraError* error = SetVignetteParams(*settings.Params(), rig.filter, 1.0);
    ExpectError(error, kKelvraOperationFailed, kTestSource);
}

TEST(VignetteParams, SensorFromItsTagOrTheDefault)
{
    const struct {
        const char* name;
        double diagonal; // kNoTag: no tag
        double expectedDiagonal;
        double expectedWidth;
    } cases[] = {
        {"diagonal given", 43.3, 43.3, 0.0},
        {"no tag", kNoTag, 0.0, CVignetteFilter::kDefaultSensorWidth},
        {"not a number", kNaN, 0.0, CVignetteFilter::kDefaultSensorWidth},
        {"infinite", kInf, 0.0, CVignetteFilter::kDefaultSensorWidth},
        {"negative", -30.0, 0.0, CVignetteFilter::kDefaultSensorWidth},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        UseVignette(settings, 50);
        if (c.diagonal != kNoTag)
            settings.SetDouble(kTlSensorDiagonalTag, c.diagonal);
        FilterRig<CVignetteFilter> rig;
        ExpectOk(rig.filter.SetSensorDiagonal(50.0, false)); // so that the default is a change
        ErrorsReleased released;
        EXPECT_EQ(nullptr, SetVignetteParams(*settings.Params(), rig.filter, 1.0));
        if (c.expectedDiagonal != 0.0) {
            EXPECT_EQ(c.expectedDiagonal, rig.filter.GetSensorDiagonal());
        }
        EXPECT_EQ(c.expectedWidth, rig.filter.GetSensorWidth());
        EXPECT_EQ(kTlDefaultFNumber, rig.filter.GetFNumber());
        EXPECT_TRUE(rig.filter.IsEnabled());
    }
}

TEST(VignetteParams, LensDataAndFNumberFromTheCamera)
{
    const struct {
        const char* name;
        bool sensorTag;
        CameraLens lens;
        double fNumber;
        const LensBytes* lensData;
    } cases[] = {
        {"no lens tags", true, {-1, nullptr, 2.8}, kTlDefaultFNumber, nullptr},
        {"no tags at all", false, {-1, nullptr, kNoTag}, kTlDefaultFNumber, nullptr},
        {"lens switch off", true, {0, "0100", 2.8}, kTlDefaultFNumber, nullptr},
        {"switch on, no lens data", true, {1, nullptr, 2.8}, kTlDefaultFNumber, nullptr},
        {"version 0100", true, {1, "0100", 2.8}, 2.8, &kFirstVersionBytes},
        {"version 0101", true, {7, "0101", 4.0}, 4.0, &kSecondVersionBytes},
        {"version 0100 without f-number", true, {1, "0100", kNoTag}, kTlDefaultFNumber, &kFirstVersionBytes},
        {"f-number not a number", true, {1, "0100", kNaN}, kTlDefaultFNumber, &kFirstVersionBytes},
        {"f-number 0", true, {1, "0101", 0.0}, kTlDefaultFNumber, &kSecondVersionBytes},
        {"f-number negative", true, {1, "0101", -2.8}, kTlDefaultFNumber, &kSecondVersionBytes},
        {"default sensor, version 0100", false, {1, "0100", 2.8}, 2.8, &kFirstVersionBytes},
        {"version 0102 is not supported", true, {1, "0102", 2.8}, 1.0, nullptr},
        {"version 1000 is not supported", true, {1, "1000", kNoTag}, 1.0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        UseVignette(settings, 50);
        if (c.sensorTag)
            settings.SetDouble(kTlSensorDiagonalTag, 43.3);
        SetCameraLens(settings, c.lens);
        FilterRig<CVignetteFilter> rig;
        ErrorsReleased released;
        EXPECT_EQ(nullptr, SetVignetteParams(*settings.Params(), rig.filter, 1.0));
        EXPECT_EQ(c.fNumber, rig.filter.GetFNumber());
        ExpectLensData(rig.filter, c.lensData);
        EXPECT_TRUE(rig.filter.IsEnabled());
    }
}

TEST(VignetteParams, UnsupportedLensDataIsReported)
{
    SettingsRig settings;
    SetCameraLens(settings, {1, "0102", 3.5});
    TlVignetteLens lens;
    IKelvraError* error = ReadVignetteLens(settings.tags.get(), &lens);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kKelvraNotReady, error->GetCode());
    IKelvraError::Release(error);
    EXPECT_FALSE(lens.hasLensData);
    EXPECT_EQ(3.5, lens.fNumber) << "the f-number is read before the version";
    EXPECT_EQ(nullptr, ReadVignetteLens(nullptr, &lens)) << "no tags: nothing to report";
}

TEST(VignetteParams, StrengthAndAspectScale)
{
    const struct {
        std::int16_t percentage;
        double aspect;
        double strength;
        double heldAspect;
    } cases[] = {
        {80, 0.5, 0.8, 0.5},  {-20, 2.0, -0.2, 2.0}, {100, 0.0, 1.0, 1.0},
        {1, -2.0, 0.01, 1.0}, {50, kNaN, 0.5, 1.0},   {-32768, kInf, -327.68, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percentage);
        SettingsRig settings;
        UseVignette(settings, c.percentage);
        FilterRig<CVignetteFilter> rig;
        ErrorsReleased released;
        EXPECT_EQ(nullptr, SetVignetteParams(*settings.Params(), rig.filter, c.aspect));
        EXPECT_DOUBLE_EQ(c.strength, rig.filter.GetStrength());
        EXPECT_EQ(c.heldAspect, rig.filter.GetAspectScale());
        EXPECT_TRUE(rig.filter.LastEnableWas(true));
    }
}

// With every tag given, the setters notify in this order: sensor 0, lens
// data 1, f-number 2, strength 3, aspect scale 4.
TEST(VignetteParams, SensorOrLensRefusedMeansNoLensModel)
{
    const struct {
        const char* name;
        std::set<int> refuseNotices;
        bool lensDataHeld;
    } cases[] = {
        {"sensor refused: the lens is not set", {0}, false},
        {"lens data refused", {1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        UseVignette(settings, 80);
        settings.SetDouble(kTlSensorDiagonalTag, 43.3);
        SetCameraLens(settings, {1, "0100", 2.8});
        FilterRig<CVignetteFilter> rig;
        rig.sink.refuse = c.refuseNotices;
        ErrorsReleased released;
        EXPECT_EQ(nullptr, SetVignetteParams(*settings.Params(), rig.filter, 0.5));
        EXPECT_EQ(1.0, rig.filter.GetFNumber());
        ExpectLensData(rig.filter, c.lensDataHeld ? &kFirstVersionBytes : nullptr);
        EXPECT_DOUBLE_EQ(0.8, rig.filter.GetStrength());
        EXPECT_EQ(0.5, rig.filter.GetAspectScale());
        EXPECT_TRUE(rig.filter.IsEnabled());
    }
}

TEST(VignetteParams, ALaterFailureSwitchesOff)
{
    const struct {
        const char* name;
        std::set<int> refuseNotices;
        std::set<int> failEnables;
        bool errorReturned;
    } cases[] = {
        {"f-number refused", {2}, {}, false},
        {"strength refused", {3}, {}, false},
        {"aspect scale refused", {4}, {}, false},
        {"switching on fails", {}, {0}, false},
        {"f-number refused, switching off fails", {2, 3}, {}, true},
        {"switching on and off fail", {}, {0, 1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        UseVignette(settings, 80);
        settings.SetDouble(kTlSensorDiagonalTag, 43.3);
        SetCameraLens(settings, {1, "0100", 2.8});
        FilterRig<CVignetteFilter> rig;
        rig.sink.refuse = c.refuseNotices;
        rig.filter.failEnables = c.failEnables;
        const long before = IKelvraError::LiveCount();
        IKelvraError* error = SetVignetteParams(*settings.Params(), rig.filter, 0.5);
        EXPECT_EQ(c.errorReturned, error != nullptr);
        IKelvraError::Release(error);
        EXPECT_EQ(before, IKelvraError::LiveCount());
        EXPECT_TRUE(rig.filter.LastEnableWas(false));
        if (!c.errorReturned) {
            EXPECT_FALSE(rig.filter.IsEnabled());
        }
    }
}
