// Filters attached to an image, found by their four-character id. The
// image only remembers them; their owners create and destroy them.
#include "KelvraImageImpl.h"

#include "kelvra/KelvraFilter.h"

#include <algorithm>
#include <new>

IKelvraError* CKelvraImage::AttachFilter(IKelvraFilter* filter)
{
    if (!filter)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
    std::lock_guard<CKelvraLock> guard(m_lock);
    if (std::find(m_filters.begin(), m_filters.end(), filter) != m_filters.end())
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    try {
        m_filters.push_back(filter);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraOutOfMemory);
    }
    return nullptr;
}

IKelvraError* CKelvraImage::DetachFilter(IKelvraFilter* filter)
{
    if (!filter)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
    std::lock_guard<CKelvraLock> guard(m_lock);
    auto found = std::find(m_filters.begin(), m_filters.end(), filter);
    if (found == m_filters.end())
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    m_filters.erase(found);
    return nullptr;
}

// The filters are asked for their ids outside the lock: that is a call
// into code the image does not control.
IKelvraFilter* CKelvraImage::FindFilter(KelvraTag id) const
{
    std::vector<IKelvraFilter*> attached;
    try {
        std::lock_guard<CKelvraLock> guard(m_lock);
        attached = m_filters;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (IKelvraFilter* filter : attached) {
        if (filter->GetFilterTag() == id)
            return filter;
    }
    return nullptr;
}
