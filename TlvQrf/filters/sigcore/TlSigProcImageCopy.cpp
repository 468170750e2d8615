// Copying a raw-processing image into another one: its images through the
// filter-list runner, then its settings.
#include "filters/sigcore/TlSigProcImage.h"

#include "filters/runner/TlFilterProcess.h"
#include "filters/sigcore/TlSigProcImageTag.h"

#include <new>

namespace {

// Makes `target` a copy of `source`, or drops it when there is no source.
IKelvraError* CopyImage(IKelvraImage* source, IKelvraManager* targetManager, IKelvraImage*& target)
{
    if (!source) {
        if (target)
            target->Release();
        target = nullptr;
        return nullptr;
    }
    if (!target) {
        if (IKelvraError* error = targetManager->CreateImage(&target))
            return RAW1_WRAP(nullptr, error);
    }
    CFilterProcess copy(nullptr);
    IKelvraError* error = copy.Run(source, target);
    copy.Clear();
    return error ? RAW1_WRAP(nullptr, error) : nullptr;
}

} // namespace

IKelvraError* CSigProcImage::CopyTo(CSigProcImage* target)
{
    if (!m_ownsPrimary)
        return RAW1_ERROR(kKelvraNotReady);
    if (!target)
        return RAW1_ERROR(kKelvraMissingObject);
    if (target == this)
        return nullptr;
    if (IKelvraError* error = CopyImages(target))
        return error;
    std::vector<std::uint8_t> table;
    try {
        table = m_makerTable;
    } catch (const std::bad_alloc&) {
        return RAW1_ERROR(kKelvraOutOfMemory);
    }
    target->m_makerTable.swap(table);
    std::copy(std::begin(m_params), std::end(m_params), std::begin(target->m_params));
    target->m_useSecondSource = m_useSecondSource;
    target->m_resolution = m_resolution;
    target->m_stale = m_stale;
    return nullptr;
}

IKelvraError* CSigProcImage::CopyImages(CSigProcImage* target) const
{
    IKelvraManager* manager = target->m_manager;
    if (!target->m_ownsPrimary) {
        // Not the target's to release: it gets an image of its own.
        target->m_primarySource = nullptr;
        target->m_ownsPrimary = true;
    }
    if (IKelvraError* error = CopyImage(m_primarySource, manager, target->m_primarySource))
        return error;
    if (IKelvraError* error = CopyImage(m_secondSource, manager, target->m_secondSource))
        return error;
    return CopyImage(m_output, manager, target->m_output);
}
