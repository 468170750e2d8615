// The preview chain's state: construction, the setters through which the
// image control hands it its state, and the cache policy pass.
#include "chain/TlCadraFilterChain.h"

#include "filtrix/KelvraFilterBase.h"
#include "filtrix/KelvraFilterScale.h"

#include <new>

using namespace TlChainSlots;

CTlCadraFilterChain::CTlCadraFilterChain() = default;

CTlCadraFilterChain::~CTlCadraFilterChain()
{
    ReleaseChain();
    for (int i = 3; i >= 0; --i)
        m_engines[i].Release();
    IKelvraError::Release(m_failure);
}

CKelvraFilterBase* CTlCadraFilterChain::GetSlot(int slot) const
{
    if (!m_slots || slot < 0 || slot >= kSlotCount)
        return nullptr;
    return (*m_slots)[std::size_t(slot)].get();
}

void CTlCadraFilterChain::SetMode(std::uint32_t mode)
{
    if (!m_built)
        m_mode = mode;
}

bool CTlCadraFilterChain::SetSizeMode(std::uint32_t mode)
{
    const bool changed = mode != m_sizeMode;
    m_sizeMode = mode;
    return changed;
}

int CTlCadraFilterChain::SetChannelOrder(bool order)
{
    m_channelOrder = order;
    CKelvraFilterBase* filter = GetSlot(kChannelOrder);
    if (filter == nullptr)
        return 0;
    IKelvraError* error = filter->Enable(order, true);
    IKelvraError::Release(error);
    return error != nullptr ? 1 : 0;
}

int CTlCadraFilterChain::SetScaleMethod(std::uint32_t method)
{
    const bool changed = method != m_scaleMethod;
    m_scaleMethod = method;
    if (!m_built || !changed)
        return 0;
    IKelvraError* error = nullptr;
    for (int slot = kFirstScale; slot <= kLastMethodScale && error == nullptr; ++slot) {
        if (CKelvraFilterScale* scale = SlotAs<CKelvraFilterScale>(slot))
            error = scale->SetMethod(long(method), true);
    }
    IKelvraError::Release(error);
    return error != nullptr ? 1 : 0;
}

int CTlCadraFilterChain::SetCacheUsage(std::uint32_t policy)
{
    const bool changed = policy != m_cachePolicy;
    m_cachePolicy = policy;
    if (m_built && changed)
        ApplyCacheUsage();
    return 0;
}

int CTlCadraFilterChain::ApplyCacheUsage()
{
    struct SOverride {
        int slot;
        long usage;
    };
    static const SOverride kOverrides[] = {
        {2, 1},  {3, 1},  {4, 1},  {5, 1},  {28, 1}, {29, 1}, {44, 1}, {13, 1}, {14, 1}, {15, 1}, {16, 1},
        {17, 1}, {22, 0}, {23, 0}, {19, 0}, {20, 0}, {21, 2}, {10, 1}, {11, 1}, {12, 1}, {18, 1},
    };
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (CKelvraFilterBase* filter = GetSlot(slot))
            IKelvraError::Release(filter->SetCacheUsage(long(m_cachePolicy)));
    }
    for (const SOverride& entry : kOverrides) {
        if (CKelvraFilterBase* filter = GetSlot(entry.slot))
            IKelvraError::Release(filter->SetCacheUsage(entry.usage));
    }
    return 0;
}

void CTlCadraFilterChain::SetOutputColour(const STlOutputColour& colour)
{
    m_outputColour = colour;
}

void CTlCadraFilterChain::SetUserSize(std::uint32_t width, std::uint32_t height)
{
    m_userWidth = width;
    m_userHeight = height;
}

ITlPreviewChain* CreateCadraFilterChain(IKelvraManager* /*manager*/)
{
    return new (std::nothrow) CTlCadraFilterChain();
}
