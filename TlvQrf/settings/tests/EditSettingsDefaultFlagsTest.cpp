// UpdateDefaultFlags: each slot's flag is set when its record is present and
// at its defaults, and never cleared.
#include "EditSettingsTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace edit_test;

namespace {

struct DefaultsCase {
    const char* name;
    // Puts the record at its defaults; null for a record that never is.
    void (*atDefaults)(EditRecords& records);
    // Moves it away from them.
    void (*changed)(EditRecords& records);
    std::uint8_t& (*flag)(CTlvEditSettings& settings);
    // Removes the record from the top-level record.
    void (*remove)(CTlvEditSettings& settings);
};

void PrintTo(const DefaultsCase& c, std::ostream* out)
{
    *out << c.name;
}

template <auto Member>
std::uint8_t& FlagOf(CTlvEditSettings& settings)
{
    return (settings.*Member).isDefault;
}

template <auto Member>
void Remove(CTlvEditSettings& settings)
{
    (settings.*Member).record = nullptr;
}

using S = CTlvEditSettings;
using R = EditRecords;

const DefaultsCase kCases[] = {
    {"UsmList", [](R&) {}, [](R& r) { r.usmList.entries.resize(1); }, FlagOf<&S::usmList>, Remove<&S::usmList>},
    {"ToneCurves", [](R&) {}, [](R& r) { r.toneCurves.SetContrast(1.0); }, FlagOf<&S::toneCurves>,
     Remove<&S::toneCurves>},
    {"BrightnessContrast", [](R&) {},
     [](R& r) { static_cast<CTlLut*>(r.brightnessContrast.GetAt(0))->SetBrightness(0.5); },
     FlagOf<&S::brightnessContrast>, Remove<&S::brightnessContrast>},
    {"Lch", [](R&) {}, [](R& r) { static_cast<CTlLut*>(r.lch.GetAt(1))->AddPoint(0.5, 0.25); }, FlagOf<&S::lch>,
     Remove<&S::lch>},
    {"Revelation", [](R& r) { r.revelation.first = r.revelation.second = 0; },
     [](R& r) { r.revelation.first = 1; r.revelation.second = 0; }, FlagOf<&S::revelation>, Remove<&S::revelation>},
    {"Dust", [](R&) {}, [](R& r) { r.dust.SetDataSize(4); }, FlagOf<&S::dust>, Remove<&S::dust>},
    {"Geometry", [](R& r) { r.geometry = CTlGeometryState(300, 200, nullptr, 300); },
     [](R& r) {
         r.geometry = CTlGeometryState(300, 200, nullptr, 300);
         r.geometry.SetCropRect(20, 40, 300, 240, 0);
     },
     FlagOf<&S::geometry>, Remove<&S::geometry>},
    {"Adjust", [](R&) {}, [](R& r) { r.adjust.value = 0.5; }, FlagOf<&S::adjust>, Remove<&S::adjust>},
    {"WhiteBalance", [](R& r) { r.whiteBalance.mode = CTlWhiteBalanceState::kModeAsShot; },
     [](R& r) { r.whiteBalance.mode = CTlWhiteBalanceState::kModeGains; }, FlagOf<&S::whiteBalance>,
     Remove<&S::whiteBalance>},
    {"TripleValue", [](R&) {}, [](R& r) { r.tripleValue.flag = true; }, FlagOf<&S::tripleValue>,
     Remove<&S::tripleValue>},
    {"Flags", nullptr, [](R& r) { r.flags.flag = true; }, FlagOf<&S::flags>, Remove<&S::flags>},
    {"Plugins", [](R&) {}, [](R& r) { tlstate_test::LoadBytes(r.plugins, Hex(tlstate_test::kPluginListStateV1)); },
     FlagOf<&S::plugins>, Remove<&S::plugins>},
    {"ChromaBoost", [](R&) {}, [](R& r) { r.chromaBoost.amount = 1; }, FlagOf<&S::chromaBoost>,
     Remove<&S::chromaBoost>},
    {"General", [](R&) {}, [](R& r) { r.general.values[2] = 1; }, FlagOf<&S::general>, Remove<&S::general>},
    {"Vignette", [](R& r) { r.vignette.value = 0; }, [](R&) {}, FlagOf<&S::vignette>, Remove<&S::vignette>},
    {"RedEye", [](R&) {}, [](R& r) { r.redEye.value = 2; }, FlagOf<&S::redEye>, Remove<&S::redEye>},
    {"AutoBrightness", [](R&) {}, [](R& r) { r.autoBrightness.useBlackLevel = true; }, FlagOf<&S::autoBrightness>,
     Remove<&S::autoBrightness>},
};

class EditSettingsDefaultFlags : public ::testing::TestWithParam<DefaultsCase> {
protected:
    EditSettingsDefaultFlags() { records.PointAt(settings); }

    EditRecords records;
    CTlvEditSettings settings{0, 0};
};

TEST_P(EditSettingsDefaultFlags, RecordAtItsDefaultsSetsTheFlag)
{
    const bool hasDefaults = GetParam().atDefaults != nullptr;
    if (hasDefaults)
        GetParam().atDefaults(records);
    settings.UpdateDefaultFlags();
    EXPECT_EQ(GetParam().flag(settings), hasDefaults ? 1 : 0);
}

TEST_P(EditSettingsDefaultFlags, ChangedRecordLeavesTheFlagAlone)
{
    GetParam().changed(records);
    settings.UpdateDefaultFlags();
    EXPECT_EQ(GetParam().flag(settings), 0);
    GetParam().flag(settings) = 1;
    settings.UpdateDefaultFlags();
    EXPECT_EQ(GetParam().flag(settings), 1) << "never cleared";
}

TEST_P(EditSettingsDefaultFlags, AbsentRecordLeavesTheFlagAlone)
{
    if (GetParam().atDefaults != nullptr)
        GetParam().atDefaults(records);
    GetParam().remove(settings);
    settings.UpdateDefaultFlags();
    EXPECT_EQ(GetParam().flag(settings), 0);
}

INSTANTIATE_TEST_SUITE_P(Slots, EditSettingsDefaultFlags, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DefaultsCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
