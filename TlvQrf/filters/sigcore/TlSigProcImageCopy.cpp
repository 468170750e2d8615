// Copying a raw-processing image into another one, and the white-balance
// pairs of the maker table.
#include "filters/sigcore/TlSigProcImage.h"

#include "filters/runner/TlFilterProcess.h"
#include "filters/sigcore/TlSigProcImageTag.h"

#include <cstring>
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

// The white-balance pairs: seven at bytes 332 to 359 and one at 296.
constexpr std::size_t kPairOffsets[8] = {332, 336, 340, 344, 348, 352, 356, 296};
constexpr std::size_t kWhiteBalanceTableBytes = 360;

void ReadPair(const std::vector<std::uint8_t>& table, std::size_t offset, std::uint16_t (&pair)[2])
{
    std::memcpy(pair, table.data() + offset, sizeof pair);
}

void WritePair(std::vector<std::uint8_t>& table, std::size_t offset, std::uint16_t first, std::uint16_t second)
{
    const std::uint16_t pair[2] = {first, second};
    std::memcpy(table.data() + offset, pair, sizeof pair);
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

IKelvraError* CSigProcImage::SetWhiteBalance(int gainA, int gainB, int mode, bool* modeChanged)
{
    if (gainA < 1 || gainB < 1)
        return RAW1_ERROR(kKelvraMissingObject);
    if (m_makerTable.size() < kWhiteBalanceTableBytes)
        return RAW1_ERROR(kKelvraOperationFailed);
    if (!m_pairsSaved) {
        for (std::size_t i = 0; i < 8; ++i)
            ReadPair(m_makerTable, kPairOffsets[i], m_savedPairs[i]);
        m_pairsSaved = true;
    }
    if (modeChanged)
        *modeChanged = mode != m_whiteBalanceMode;

    const std::vector<std::uint8_t> before = m_makerTable;
    for (std::size_t i = 0; i < 8; ++i) {
        if (mode == 0)
            WritePair(m_makerTable, kPairOffsets[i], m_savedPairs[i][0], m_savedPairs[i][1]);
        else
            WritePair(m_makerTable, kPairOffsets[i], std::uint16_t(gainB - 1), std::uint16_t(gainA - 1));
    }
    if (mode == 1)
        WritePair(m_makerTable, kPairOffsets[0], std::uint16_t(gainB), std::uint16_t(gainA));
    m_whiteBalanceMode = mode;
    // The library reads these pairs: a change needs a new development.
    if (m_makerTable != before)
        m_stale = true;
    return nullptr;
}
