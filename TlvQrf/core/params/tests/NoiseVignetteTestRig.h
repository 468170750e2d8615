// What the tests of the noise, moire, saturation and vignette parameters
// share: a settings holder with a tag control of chosen tags, and a filter
// in a small chain (pattern image -> filter -> sink) whose enable calls are
// recorded and whose calls can be made to fail one by one.
#pragma once

#include "params/TlvParamSet.h"

#include "FilterTestSupport.h"
#include "RawTestTags.h"

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace noise_vignette_test {

constexpr KelvraTag kTestSource = KelvraFourCC('T', 'e', 's', 't');

// The holder of the settings and the tags its image carries. The tags are
// made only when asked for, so that a holder without them can be tested.
struct SettingsRig {
    explicit SettingsRig(bool withTags = true)
    {
        if (withTags) {
            tags = raw_test::MakeTags();
            holder.images.tags = tags.get();
        }
    }
    ~SettingsRig() { holder.images.tags = nullptr; } // the rig owns the tags
    SettingsRig(const SettingsRig&) = delete;
    SettingsRig& operator=(const SettingsRig&) = delete;

    // A parameter set of the holder as it stands, read after the tags are set.
    std::unique_ptr<CTlvParamSet> Params() { return std::make_unique<CTlvParamSet>(holder); }

    void SetDouble(std::uint32_t id, double value)
    {
        raw_test::SetBytes(*tags, id, kKelvraTagTypeDoubles, &value, sizeof value);
    }

    CTlvSettingsHolder holder;
    PellioTagsPtr tags;
};

// Accepts every notice but those whose place in the order (0 first) is in
// `refuse`.
class CountingSink : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource*, long, void*) override
    {
        const bool refused = refuse.count(received++) != 0;
        return refused ? KELVRA_ERROR(nullptr, kTestSource, kKelvraOperationFailed) : nullptr;
    }
    std::set<int> refuse;
    int received = 0;
};

// A filter whose enable calls are recorded (enabled, notify); the calls
// whose place in the order is in `failEnables` fail without switching.
template <typename Filter>
class RecordingFilter : public Filter {
public:
    using Filter::Filter;
    IKelvraError* Enable(bool enabled, bool notify) override
    {
        const bool fail = failEnables.count(static_cast<int>(enables.size())) != 0;
        enables.emplace_back(enabled, notify);
        if (fail)
            return KELVRA_ERROR(nullptr, kTestSource, kKelvraOperationFailed);
        return Filter::Enable(enabled, notify);
    }
    // The last enable call, or none.
    bool LastEnableWas(bool enabled) const
    {
        return !enables.empty() && enables.back() == std::make_pair(enabled, true);
    }
    std::vector<std::pair<bool, bool>> enables;
    std::set<int> failEnables;
};

template <typename Filter>
struct FilterRig {
    FilterRig()
    {
        image = MakePatternImage(holder.manager, 16, 12, kKelvraRGB16);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
    }
    ~FilterRig()
    {
        KelvraDataDisconnect(&filter, &sink);
        KelvraDataDisconnect(image, &filter);
        image->Release();
    }
    FilterRig(const FilterRig&) = delete;
    FilterRig& operator=(const FilterRig&) = delete;

    ManagerHolder holder;
    IKelvraImage* image = nullptr;
    RecordingFilter<Filter> filter{holder.manager};
    CountingSink sink;
};

// Fails when an operation left an error alive.
class ErrorsReleased {
public:
    ErrorsReleased() : m_before(IKelvraError::LiveCount()) {}
    ~ErrorsReleased() { EXPECT_EQ(m_before, IKelvraError::LiveCount()) << "an error was not released"; }

private:
    long m_before;
};

} // namespace noise_vignette_test
