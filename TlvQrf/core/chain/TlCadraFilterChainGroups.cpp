// Chain edits shared by the preview chain's variable filter groups (the
// plug-in filters and the extra sharpening filters): finding, counting and
// removing their filters, and telling downstream that they changed.
#include "chain/TlCadraFilterChain.h"

#include "kelvra/KelvraFilterChain.h"

void CTlCadraFilterChain::RemoveChainFilters(KelvraTag id, const IKelvraFilter* keep, const IKelvraFilter* keepToo)
{
    long index = m_chain->FindNext(id, 0);
    while (index >= 0) {
        const IKelvraFilter* filter = m_chain->GetFilter(index);
        long next = index + 1;
        if (filter != keep && filter != keepToo) {
            // A filter that will not go is stepped over, not tried forever.
            if (IKelvraError* error = m_chain->RemoveFilter(index))
                IKelvraError::Release(error);
            else
                next = index;
        }
        index = m_chain->FindNext(id, next);
    }
}

int CTlCadraFilterChain::CountChainFilters(KelvraTag id, const IKelvraFilter* keep,
                                           const IKelvraFilter* keepToo) const
{
    int count = 0;
    for (long index = m_chain->FindNext(id, 0); index >= 0; index = m_chain->FindNext(id, index + 1)) {
        const IKelvraFilter* filter = m_chain->GetFilter(index);
        if (filter != keep && filter != keepToo)
            ++count;
    }
    return count;
}

void CTlCadraFilterChain::SendUpdateAll(IKelvraDataSource* from)
{
    if (from == nullptr)
        from = m_chain;
    IKelvraError::Release(KelvraSendDataNotification(from, kKelvraNotifyUpdateAll, nullptr));
}

IKelvraDataSource* CTlCadraFilterChain::FilterBefore(IKelvraFilter* anchor) const
{
    if (anchor == nullptr)
        return nullptr;
    const long index = m_chain->IndexOf(anchor);
    return index > 0 ? m_chain->GetFilter(index - 1) : nullptr;
}
