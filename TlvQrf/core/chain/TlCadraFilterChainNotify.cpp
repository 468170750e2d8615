// What the preview chain makes of its filters' notices and of the steps
// reported to it: the histogram sums and the host's progress callback. These
// run on whatever thread the reporting filter runs.
#include "chain/TlCadraFilterChain.h"

#include "filtrix/KelvraFilterHistogram.h"
#include "kelvra/KelvraTypes.h"

#include <vector>

using namespace TlChainSlots;

namespace {

constexpr long kHistogramBits = 8;
constexpr int kHistogramBins = 1 << kHistogramBits;

// The share of the Revelation filter's progress each of its phases takes.
struct SPhaseSpan {
    std::int32_t base;
    std::int32_t span;
};

SPhaseSpan RevelationPhase(std::uint32_t phase)
{
    if (phase == KelvraFourCC('N', 'o', 'r', 'm'))
        return {0, 25};
    if (phase == KelvraFourCC('\0', 'R', 'e', 'v') || phase == KelvraFourCC('R', 'e', 'v', '\0') ||
        phase == KelvraFourCC('R', 'e', 'v', ' '))
        return {25, 75};
    return {0, 100};
}

} // namespace

void CTlCadraFilterChain::SetProgressCallback(TlChainProgressCallback callback, bool enabled)
{
    m_progress = callback;
    m_progressEnabled = enabled;
}

void CTlCadraFilterChain::ReportPhase(std::uint32_t kind, std::uint32_t value, std::uint32_t flags)
{
    if (m_progress != nullptr)
        m_progress(kind, value, flags);
}

int CTlCadraFilterChain::OnNotify(IKelvraFilter* filter, long code, void* data)
{
    if (code == CKelvraFilterHistogram::kWatchComplete)
        ReadHistogramSums(dynamic_cast<CKelvraFilterHistogram*>(filter));
    else if (code == kKelvraWatchProgress && m_progress != nullptr && data != nullptr)
        ReportFilterProgress(filter, *static_cast<const KelvraProgress*>(data));
    return 0;
}

void CTlCadraFilterChain::ReadHistogramSums(CKelvraFilterHistogram* histogram)
{
    m_histogramReady = true;
    if (histogram == nullptr)
        return;
    std::vector<std::uint32_t> counts(kHistogramBins);
    for (long channel = 1; channel <= 3; ++channel) {
        double sum = 0.0;
        if (IKelvraError* error = histogram->GetHistogram(channel, counts.data(), kHistogramBits)) {
            IKelvraError::Release(error);
        } else {
            for (int bin = 0; bin < kHistogramBins; ++bin)
                sum += double(bin) * double(counts[std::size_t(bin)]);
        }
        m_channelSums[channel - 1] = sum;
    }
    // The sums are taken: the counts stay as they are until asked again.
    IKelvraError::Release(histogram->SetCounting(false, true));
}

void CTlCadraFilterChain::ReportFilterProgress(IKelvraFilter* filter, const KelvraProgress& progress)
{
    const std::int32_t current = progress.current;
    const std::int32_t total = progress.total;
    if (filter != nullptr && filter == GetSlot(kRevelation)) {
        const SPhaseSpan phase = RevelationPhase(progress.phase);
        const bool starting = current == 0 && total == 1;
        if (!starting && current != total && total != 0 && m_progressEnabled)
            m_progress(kTlProgressStep, std::uint32_t(phase.base + std::int64_t(current) * phase.span / total),
                       kTlProgressFromFilter);
        return;
    }
    if (progress.phase != KelvraFourCC('P', 'l', 'u', 'g'))
        return;
    if (current == 0 && total == 1)
        m_progress(kTlProgressStarted, 0, kTlProgressFromPlugin);
    else if (current == total)
        m_progress(kTlProgressFinished, 100, kTlProgressFromPlugin);
    else if (total != 0)
        m_progress(kTlProgressStep, std::uint32_t(std::int64_t(current) * 100 / total), kTlProgressFromPlugin);
}

int CTlCadraFilterChain::ReportProgress(std::int32_t current, std::int32_t total)
{
    if (m_progress == nullptr)
        return 1;
    if (current == -1)
        m_progress(kTlProgressStarted, 0, kTlProgressFromChain);
    else if (current == -2)
        m_progress(kTlProgressFinished, 0, kTlProgressFromChain);
    else if (current >= 0 && total >= 0)
        m_progress(kTlProgressStep, std::uint32_t(current * 100.0 / (double(total) + 1.0)), kTlProgressFromChain);
    return 1;
}
