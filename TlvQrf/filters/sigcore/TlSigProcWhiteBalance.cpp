// The white-balance pairs of the maker table, which the signal-processing
// library reads: saved before the first change so that mode 0 can restore them.
#include "filters/sigcore/TlSigProcImage.h"

#include "filters/sigcore/TlSigProcImageTag.h"

#include <cstring>

namespace {

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
