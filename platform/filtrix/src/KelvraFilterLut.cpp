#include "filtrix/KelvraFilterLut.h"

#include "FiltrixNotices.h"
#include "FiltrixSamples.h"
#include "FiltrixTileRows.h"
#include "LutPlan.h"

#include <new>

CKelvraFilterLut::CKelvraFilterLut(IKelvraManager* manager)
    : CKelvraFilterBase(manager, 1), m_tables(std::make_unique<LutTables>())
{
    m_bypass = true; // no tables yet
}

CKelvraFilterLut::~CKelvraFilterLut() = default;

KelvraTag CKelvraFilterLut::GetFilterTag() const
{
    return kTag;
}

const char* CKelvraFilterLut::GetFilterName() const
{
    return "Look-up Table";
}

IKelvraError* CKelvraFilterLut::CopyTables(const std::uint16_t* const* tables, long inBits, long outBits,
                                           long count, LutTables* copy) const
{
    if (!tables || count == 0)
        return nullptr; // clearing
    if (inBits < 1 || inBits > 16 || outBits < 1 || outBits > 16 || count < 0 || count > kMaxTables)
        return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
    copy->inBits = inBits;
    copy->outBits = outBits;
    const std::size_t entries = std::size_t(1) << inBits;
    for (long i = 0; i < count; ++i) {
        if (!tables[i])
            return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
        copy->tables.emplace_back(tables[i], tables[i] + entries);
    }
    return nullptr;
}

bool CKelvraFilterLut::Adopt(LutTables&& next)
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (next == *m_tables)
        return false;
    *m_tables = std::move(next);
    m_plan.reset();
    m_bypass = m_tables->Empty();
    m_stale = true;
    return true;
}

IKelvraError* CKelvraFilterLut::SetLUT(const std::uint16_t* const* tables, long inBits, long outBits, long count,
                                       bool notify)
{
    LutTables next;
    try {
        if (IKelvraError* error = CopyTables(tables, inBits, outBits, count, &next))
            return error;
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
    const KelvraPixelFormat before = FiltrixCurrentFormat(*this);
    if (!Adopt(std::move(next)))
        return nullptr;
    if (IKelvraError* error = FiltrixSendFormatChange(*this, notify, before, FiltrixCurrentFormat(*this)))
        return error;
    return NotifyChanged(notify);
}

bool CKelvraFilterLut::HasTables() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return !m_tables->Empty();
}

long CKelvraFilterLut::GetInputBits() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_tables->inBits;
}

long CKelvraFilterLut::GetOutputBits() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_tables->outBits;
}

long CKelvraFilterLut::GetTableCount() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return long(m_tables->tables.size());
}

IKelvraError* CKelvraFilterLut::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                      KelvraPixelFormat* format)
{
    IKelvraDataSource* first = sources && count > 0 ? sources[0] : nullptr;
    if (!format)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    KelvraPixelFormat input = 0;
    if (IKelvraError* error = FiltrixSourceFormat(kTag, first, FiltrixIsSampleFormat, &input))
        return error;
    std::lock_guard<CKelvraLock> guard(m_lock);
    *format = FiltrixWithDepth(input, LutOutputDepth(*m_tables, KelvraBitsPerSample(input)));
    return nullptr;
}

std::shared_ptr<const LutPlan> CKelvraFilterLut::PlanFor(KelvraPixelFormat format)
{
    const unsigned depth = KelvraBitsPerSample(format);
    const long planes = long(KelvraPlaneCount(format));
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (!m_plan || m_plan->inputDepth != depth || m_plan->planes != planes)
        m_plan = MakeLutPlan(*m_tables, depth, planes);
    return m_plan;
}

IKelvraError* CKelvraFilterLut::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = nullptr;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixFirstSource(kTag, SourcesFor(info), FiltrixIsSampleFormat, &source, &format))
        return error;
    std::shared_ptr<const LutPlan> plan;
    try {
        plan = PlanFor(format);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
    const KelvraPixelFormat output = FiltrixWithDepth(format, plan->outputDepth);
    return FiltrixFillTile(kTag, tile, source, output, 0, 0, [&plan](const FiltrixRowRun& run) {
        ApplyLutPlan(*plan, run.source, run.target, run.count);
    });
}
