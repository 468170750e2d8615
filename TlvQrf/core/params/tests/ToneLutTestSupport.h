// Shared set-up of the look-up-table tests: a holder whose parameter set
// is made on demand with chosen tags, filters on a manager, and what a
// filter holds after an installation.
#pragma once

#include "params/TlvParamSet.h"

#include "FilterTestSupport.h"
#include "RawTestTags.h"

#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterLut.h"

#include <gtest/gtest.h>

#include <memory>

namespace tonelut_test {

// A developed raw image of model 259 with no settings in use; tags are
// added only when a test asks for them.
struct SParamsFixture {
    CTlvSettingsHolder holder;
    PellioTagsPtr tags;

    SParamsFixture()
    {
        holder.rawFlag = 1;
        holder.adjustUsed = 0;
        holder.whiteBalanceUsed = 0;
    }
    ~SParamsFixture() { holder.images.tags = nullptr; }

    IKelvraTagControl& Tags()
    {
        if (!tags) {
            tags = raw_test::MakeTags();
            holder.images.tags = tags.get();
        }
        return *tags;
    }
    // A fresh parameter set with the model code given (the tags' code is
    // not used).
    std::unique_ptr<CTlvParamSet> Params(std::uint16_t model = 259)
    {
        auto params = std::make_unique<CTlvParamSet>(holder);
        params->modelCode = model;
        return params;
    }
};

// A colour filter and a look-up-table filter on a manager of their own.
struct SFilterPair {
    ManagerHolder manager;
    CKelvraFilterCML cml{manager.manager};
    CKelvraFilterLut lut{manager.manager};
};

// Side `outputSide` of a colour filter: applied-table count and input bits.
struct SCmlSide {
    long count = -1;
    long inputBits = -1;
};

inline SCmlSide CmlSide(const CKelvraFilterCML& cml, bool outputSide)
{
    SCmlSide side;
    bool enabled = false;
    IKelvraError* error = cml.GetLUTInfo(outputSide, 0, &enabled, &side.inputBits, &side.count);
    EXPECT_EQ(error, nullptr);
    IKelvraError::Release(error);
    return side;
}

// Puts three 8-bit identity tables on both filters so that a clearing shows.
inline void Preload(CKelvraFilterCML* cml, bool cmlOutputSide, CKelvraFilterLut* lut)
{
    static std::uint16_t ramp[256];
    for (int i = 0; i < 256; ++i)
        ramp[i] = static_cast<std::uint16_t>(i);
    const std::uint16_t* tables[3] = {ramp, ramp, ramp};
    if (cml != nullptr)
        ExpectOk(cml->SetLUT(cmlOutputSide, true, tables, 8, 8, 3, false));
    if (lut != nullptr)
        ExpectOk(lut->SetLUT(tables, 8, 8, 3, false));
}

} // namespace tonelut_test
