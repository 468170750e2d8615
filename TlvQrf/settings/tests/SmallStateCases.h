// The table of small records the table-driven tests run over: how to make
// each record, the values that produce its golden stored form, and how it
// answers the header-only and unknown-version blocks.
#pragma once

#include "SmallStateGoldens.h"
#include "StateTestSupport.h"

#include "settings/small/TlAdjustState.h"
#include "settings/small/TlAutoBrightnessState.h"
#include "settings/small/TlChromaBoostState.h"
#include "settings/small/TlFlagState.h"
#include "settings/small/TlLEGeneral.h"
#include "settings/small/TlRedEyeState.h"
#include "settings/small/TlRevelationState.h"
#include "settings/small/TlTripleValueState.h"
#include "settings/small/TlUsmListState.h"
#include "settings/small/TlUsmState.h"
#include "settings/small/TlVignetteState.h"
#include "settings/small/TlWhiteBalanceState.h"
#include "settings/small/TlvZentharGeneral.h"

#include <functional>
#include <ostream>

namespace tlstate_test {

// How a record answers a version newer than any it knows.
enum class NewerVersion { kRefused, kReadAsCurrent, kDefaults };

struct RecordCase {
    const char* name;
    const char* golden;
    std::function<std::unique_ptr<AnyRecord>(bool filled)> make;
    bool hasLengthWord;
    // What a block of the id alone loads as: 22 (defaults) or 0 (refused).
    int headerOnlyResult;
    NewerVersion newerVersion;
};

inline void PrintTo(const RecordCase& c, std::ostream* out)
{
    *out << c.name;
}

template <typename T>
RecordCase Case(const char* name, const char* golden, void (*fill)(T&), int headerOnlyResult,
                NewerVersion newerVersion, bool hasLengthWord = true)
{
    auto make = [fill](bool filled) -> std::unique_ptr<AnyRecord> {
        auto box = std::make_unique<Boxed<T>>();
        if (filled)
            fill(box->record);
        return box;
    };
    return RecordCase{name, golden, make, hasLengthWord, headerOnlyResult, newerVersion};
}

inline void FillAutoBrightness(CTlAutoBrightnessState& r)
{
    r.exposureCompensation = 1.5;
    r.useBlackLevel = true;
    r.lowLevel = 12;
    r.highLevel = 240;
}

inline void FillChromaBoost(CTlChromaBoostState& r)
{
    r.enabled = false;
    r.amount = 42;
}

inline void FillAdjust(CTlAdjustState& r)
{
    r.value = -1.25;
    r.first = 0x0102;
    r.second = 0x0304;
    r.firstFlag = 1;
    r.mode = 2;
    r.third = 7;
    r.secondFlag = 2;
    r.extra = -1;
    r.fourth = 9;
}

inline void FillFlag(CTlFlagState& r)
{
    r.flag = true;
    r.value = 7;
}

inline void FillTripleValue(CTlTripleValueState& r)
{
    r.first = 5;
    r.flag = true;
    r.second = -2;
}

inline void FillRevelation(CTlRevelationState& r)
{
    r.first = 10;
    r.second = -20;
    r.third = 300;
}

inline void FillUsm(CTlUsmState& r)
{
    r.value1 = 100;
    r.value2 = 50;
    r.value3 = 3;
    r.kind = 2;
    r.flag = 1;
}

inline void FillUsmList(CTlUsmListState& r)
{
    CTlUsmState first;
    FillUsm(first);
    CTlUsmState second;
    second.value1 = 1;
    second.value2 = 2;
    r.entries = {first, second};
}

inline void FillVignette(CTlVignetteState& r)
{
    r.value = 0x1234;
}

inline void FillWhiteBalance(CTlWhiteBalanceState& r)
{
    r.firstGain = 1.5;
    r.secondGain = 2.0;
    r.mode = 3;
    r.preset = 512;
    r.temperature = 5000;
    r.further = 7;
    r.flag = 1;
}

inline void FillRedEye(CTlRedEyeState& r)
{
    const unsigned char first[] = {0xAA, 0xBB, 0xCC};
    const unsigned char second[] = {0x11, 0x22};
    r.value = 3;
    r.flag = 1;
    r.firstRegions.resize(1);
    r.firstRegions[0].Set(first, sizeof first);
    r.secondRegions.resize(1);
    r.secondRegions[0].Set(second, sizeof second);
}

inline void FillLEGeneral(CTlLEGeneral& r)
{
    for (std::uint16_t i = 0; i < 4; ++i)
        r.values[i] = std::uint16_t(i + 1);
}

inline void FillZenthar(CTlvZentharGeneral& r)
{
    r.a = 0;
    r.b = 0x0102;
    r.d = 1;
    r.e = 5;
    r.f = 0;
    r.h = 6;
    r.rect[0] = 10.7;
    r.rect[1] = -3.2;
    r.rect[2] = 100.0;
    r.rect[3] = 200.9;
    r.i = 0;
    r.j = 7;
    r.l = 1;
    r.m = 0.5;
    r.n = 0;
    r.o = 8;
}

inline std::vector<RecordCase> SmallRecordCases()
{
    return {
        Case<CTlAutoBrightnessState>("AutoBrightnessState", kAutoBrightnessStateV1, FillAutoBrightness, 22, NewerVersion::kReadAsCurrent),
        Case<CTlChromaBoostState>("ChromaBoostState", kChromaBoostStateV1, FillChromaBoost, 0, NewerVersion::kRefused),
        Case<CTlAdjustState>("AdjustState", kAdjustStateV6, FillAdjust, 22, NewerVersion::kReadAsCurrent),
        Case<CTlFlagState>("FlagState", kFlagStateV1, FillFlag, 0, NewerVersion::kRefused),
        Case<CTlTripleValueState>("TripleValueState", kTripleValueStateV3, FillTripleValue, 22, NewerVersion::kReadAsCurrent),
        Case<CTlRevelationState>("RevelationState", kRevelationStateV1, FillRevelation, 0, NewerVersion::kRefused),
        Case<CTlUsmState>("UsmState", kUsmStateV1, FillUsm, 0, NewerVersion::kRefused, false),
        Case<CTlUsmListState>("UsmListState", kUsmListStateV2, FillUsmList, 0, NewerVersion::kRefused),
        Case<CTlVignetteState>("VignetteState", kVignetteStateV1, FillVignette, 22, NewerVersion::kReadAsCurrent),
        Case<CTlWhiteBalanceState>("WhiteBalanceState", kWhiteBalanceStateV4, FillWhiteBalance, 0, NewerVersion::kReadAsCurrent),
        Case<CTlRedEyeState>("RedEyeState", kRedEyeStateV1, FillRedEye, 22, NewerVersion::kReadAsCurrent),
        Case<CTlLEGeneral>("LEGeneral", kLEGeneralV2, FillLEGeneral, 22, NewerVersion::kReadAsCurrent),
        Case<CTlvZentharGeneral>("ZentharGeneral", kZentharGeneralV1, FillZenthar, 22, NewerVersion::kDefaults),
    };
}

} // namespace tlstate_test
