#include "KelvraFilterCMLTables.h"
#include "FiltrixSamples.h"
#include "KelvraFilterCMLSamples.h"
#include "LutPlan.h"

#include <new>

namespace {

bool ValidBits(long bits)
{
    return bits >= 1 && bits <= 16;
}

} // namespace

IKelvraError* CKelvraFilterCML::CTables::Make(bool enabled, const std::uint16_t* const* tables, long inputBits,
                                              long outputBits, long channels, std::shared_ptr<const CTables>* made)
{
    made->reset();
    if (!tables || channels == 0)
        return nullptr;
    if (channels < 0 || channels > kMaxTableChannels || !ValidBits(inputBits) || !ValidBits(outputBits))
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraBadArgument);
    try {
        auto copy = std::make_shared<CTables>();
        copy->enabled = enabled;
        copy->inputBits = unsigned(inputBits);
        copy->outputBits = unsigned(outputBits);
        const std::size_t entries = std::size_t(1) << inputBits;
        for (long c = 0; c < channels; ++c) {
            if (tables[c])
                copy->channels[c].assign(tables[c], tables[c] + entries);
        }
        *made = std::move(copy);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraOutOfMemory);
    }
    return nullptr;
}

bool CKelvraFilterCML::CTables::Same(const CTables* a, const CTables* b)
{
    if (!a || !b)
        return a == b;
    if (a->enabled != b->enabled || a->inputBits != b->inputBits || a->outputBits != b->outputBits)
        return false;
    for (long c = 0; c < kMaxTableChannels; ++c) {
        if (a->channels[c] != b->channels[c])
            return false;
    }
    return true;
}

long CKelvraFilterCML::CTables::ActiveCount() const
{
    long count = 0;
    for (long c = 0; enabled && c < kMaxTableChannels; ++c)
        count += channels[c].empty() ? 0 : 1;
    return count;
}

void CKelvraFilterCML::CTables::Apply(void* row, unsigned sampleBits, unsigned channelCount, std::size_t pixels) const
{
    if (!enabled)
        return;
    const unsigned top = (1u << outputBits) - 1;
    for (unsigned c = 0; c < channelCount && c < unsigned(kMaxTableChannels); ++c) {
        const std::vector<std::uint16_t>& table = channels[c];
        if (table.empty())
            continue;
        for (std::size_t p = 0; p < pixels; ++p) {
            const std::size_t at = p * channelCount + c;
            const unsigned index = LutIndex(CmlGetSample(row, sampleBits, at), sampleBits, inputBits);
            const unsigned value = table[index] < top ? table[index] : top;
            CmlPutSample(row, sampleBits, at, FiltrixRescale(value, outputBits, sampleBits));
        }
    }
}
