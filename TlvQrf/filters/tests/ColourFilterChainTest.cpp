// The five colour filters in a chain: found by their ids, named by their
// display names; a process run and pulling tiles through the chain give the
// same pixels, changed by the filters that do their pixel work and passed
// through unchanged by those whose work is not built yet, whatever their
// settings.
#include "ColourFilterTestSupport.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/lch/TlFltLch.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"
#include "kelvra/KelvraFilterChain.h"

#include <cstring>
#include <vector>

using namespace colour_test;

namespace {

// Filters set away from their defaults, so that a real worker would change pixels.
std::unique_ptr<CTlFilter> MakeEditedLch(IKelvraManager* manager)
{
    static const std::vector<std::uint16_t> inverted = [] {
        std::vector<std::uint16_t> table(256);
        for (std::size_t k = 0; k < table.size(); ++k)
            table[k] = std::uint16_t(255 - k);
        return table;
    }();
    const std::uint16_t* const tables[3] = {inverted.data(), inverted.data(), inverted.data()};
    auto filter = std::make_unique<CFltLch>(manager);
    ExpectOk(filter->LoadCalibration(nullptr));
    ExpectOk(filter->SetLuts(tables, 8, 8, 3, false));
    return filter;
}
std::unique_ptr<CTlFilter> MakeBoostingBooster(IKelvraManager* manager)
{
    auto filter = std::make_unique<CChromaBoosterFilter>(manager);
    ExpectOk(filter->LoadCalibration(nullptr));
    ExpectOk(filter->SetThresholdEnabled(true, false));
    ExpectOk(filter->SetLevel(80, false));
    return filter;
}
std::unique_ptr<CTlFilter> MakeStrongNoiseReduction(IKelvraManager* manager)
{
    auto filter = std::make_unique<CColorNoiseReductionFilter>(manager);
    ExpectOk(filter->SetStrength(0.95, false));
    return filter;
}
std::unique_ptr<CTlFilter> MakeFineEdge(IKelvraManager* manager)
{
    return std::make_unique<CFineEdgeFilter>(manager);
}
std::unique_ptr<CTlFilter> MakeStrongCompensation(IKelvraManager* manager)
{
    auto filter = std::make_unique<CSaturationCompensationFilter>(manager);
    filter->SetParameter(260);
    ExpectOk(filter->SetLevel(7, false));
    return filter;
}

struct FilterCase {
    FilterMaker make;
    std::uint32_t id;
    const char* name;
    std::vector<KelvraPixelFormat> formats; // the ones its worker will take
    bool changesPixels;                     // false: passes them through
};

const FilterCase kFilters[] = {
    {MakeEditedLch, 0x4C434820, "LCH editor filter", {0x08060203, 0x10060203}, true},
    {MakeBoostingBooster, 0x43687242, "Chroma Booster filter", {0x08060203, 0x10060203}, true},
    {MakeStrongNoiseReduction, 0x636C6E72, "Color Noise Reduction", {0x10060204}, true},
    {MakeFineEdge, 0x66656467, "Fine Edge", {kKelvraRGB8, kKelvraRGB16}, true},
    {MakeStrongCompensation, 0x73746370, "Saturation Compensation Filter", {0x08060203, 0x10060203}, true},
};

class ColourFilterChainTest : public ::testing::Test {
protected:
    ColourFilterChainTest() { ExpectOk(m_holder.manager->CreateFilterChain(&m_chain)); }
    ~ColourFilterChainTest() override { m_chain->Release(); }
    void SetUp() override { ASSERT_TRUE(m_calibrations.IsReady()); }

    ShippedCalibrations m_calibrations;
    ManagerHolder m_holder;
    IKelvraFilterChain* m_chain = nullptr;
};

TEST_F(ColourFilterChainTest, ChainFindsEachFilterByItsIdAndItNamesItself)
{
    std::vector<std::unique_ptr<CTlFilter>> filters;
    for (const FilterCase& c : kFilters) {
        filters.push_back(c.make(m_holder.manager));
        ExpectOk(m_chain->InsertFilter(filters.back().get(), -1));
    }
    for (std::size_t i = 0; i < filters.size(); ++i) {
        SCOPED_TRACE(kFilters[i].name);
        EXPECT_EQ(long(i), m_chain->FindNext(kFilters[i].id, 0));
        IKelvraFilter* found = m_chain->GetFilter(long(i));
        ASSERT_NE(nullptr, found);
        EXPECT_EQ(kFilters[i].id, found->GetFilterTag());
        EXPECT_STREQ(kFilters[i].name, found->GetFilterName());
    }
    while (m_chain->GetFilterCount() > 0)
        ExpectOk(m_chain->RemoveFilter(0));
}

TEST_F(ColourFilterChainTest, RunAndPullAgreeAndOnlyWorkingFiltersChangePixels)
{
    for (const FilterCase& c : kFilters) {
        for (KelvraPixelFormat format : c.formats) {
            SCOPED_TRACE(testing::Message() << c.name << ", format " << std::hex << format);
            std::unique_ptr<CTlFilter> filter = c.make(m_holder.manager);
            IKelvraImage* image = MakePatternImage(m_holder.manager, 150, 90, format);
            ExpectOk(m_chain->InsertFilter(filter.get(), -1));
            const std::vector<unsigned> input = ReadAllSamples(image);

            IKelvraImage* result = nullptr;
            ExpectOk(m_holder.manager->CreateImage(&result, 0));
            RunProcess(*m_chain, image, result);
            const std::vector<unsigned> output = ReadAllSamples(result);
            EXPECT_EQ(c.changesPixels, output != input);
            result->Release();

            ExpectOk(KelvraDataConnect(image, m_chain));
            EXPECT_EQ(output, ReadAllSamples(m_chain));
            ExpectOk(KelvraDataDisconnect(image, m_chain));
            ExpectOk(m_chain->RemoveFilter(0));
            image->Release();
        }
    }
}

} // namespace
