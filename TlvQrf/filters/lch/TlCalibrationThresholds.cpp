#include "filters/lch/TlCalibrationThresholds.h"

#include "kelvra/KelvraError.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLutGroup.h"

#include <new>

namespace {

// The element the calibration curve is loaded into.
constexpr int kCalibrationElementId = 1;
// GetTable's arguments: the calibration list and second offset, 16-bit
// entries over the full 16-bit range, and the filters' sampling flags.
constexpr int kSampleCalibration = 0;
constexpr int kEntryBytes = 2;
constexpr int kLevels = 65536;
constexpr int kSampleFlags = 60;

long ErrorOfLoad(int result)
{
    switch (result) {
    case kTlCalibrationOk:
        return 0;
    case kTlCalibrationNoMemory:
        return kKelvraOutOfMemory;
    case kTlCalibrationUnreadable:
        return kTlErrorCalibrationUnreadable;
    case kTlCalibrationBadLength:
        return kTlErrorCalibrationSize;
    default:
        return kKelvraOperationFailed;
    }
}

} // namespace

long TlLoadCalibrationThresholds(const char* fileName, std::vector<std::uint16_t>& table)
{
    try {
        CTlLutGroup container; // the calibration curve lives only for this load
        if (container.AddLinearCurve(kCalibrationElementId, nullptr) == nullptr)
            return kKelvraOutOfMemory;
        CTlCurveBase* element = container.Find(kCalibrationElementId);
        if (element == nullptr || !element->IsLinearCurve())
            return kKelvraOperationFailed;
        CTlLinearCurve& curve = static_cast<CTlLinearCurve&>(*element);
        if (const long error = ErrorOfLoad(curve.LoadCalibration(fileName)))
            return error;
        std::vector<std::uint16_t> sampled(kTlThresholdEntries);
        const int count = static_cast<int>(sampled.size());
        if (curve.GetTable(kSampleCalibration, sampled.data(), kEntryBytes, count, kLevels, kSampleFlags) != count)
            return kKelvraOperationFailed;
        table.swap(sampled);
        return 0;
    } catch (const std::bad_alloc&) {
        return kKelvraOutOfMemory;
    }
}
