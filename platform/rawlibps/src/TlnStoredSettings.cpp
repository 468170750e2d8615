#include "TlnStoredSettings.h"

#include "settings/record/TlStateIds.h"
#include "settings/small/TlAutoBrightnessState.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

// The top-level record nests its records, each opening with its id; the
// automatic-brightness record is found by its id and read by its own class.
bool TlnStoredExposure(const std::vector<std::uint8_t>& record, double* exposure)
{
    std::uint8_t id[sizeof(TlGuid)];
    std::memcpy(id, &kTlIdAutoBrightnessState, sizeof id);
    auto at = std::search(record.begin(), record.end(), std::begin(id), std::end(id));
    if (at == record.end())
        return false;
    CTlAutoBrightnessState state;
    const std::size_t offset = std::size_t(at - record.begin());
    if (state.Load(record.data() + offset, int(record.size() - offset)) <= 0)
        return false;
    if (!std::isfinite(state.exposureCompensation))
        return false;
    *exposure = state.exposureCompensation;
    return true;
}
