// The oldest stored version: a fixed sequence without entry headers of its
// own. Each nested record is measured by a scratch record of its class, so
// the sequence can go on past a slot whose record is absent or deselected;
// the first record that cannot be read ends it.
//   u8 flag 0x1, sharpening list; u8 flag 0x2, tone curves; u8 flag 0x4,
//   brightness and contrast; geometry; u8 flip value; u16 angle; two f64
//   white-balance gains before scaling.
#include "settings/curves/TlLutGroup.h"
#include "settings/edit/TlvEditLoading.h"
#include "settings/edit/TlvEditSlots.h"
#include "settings/geometry/TlGeometryState.h"
#include "settings/record/TlFieldCopy.h"
#include "settings/small/TlUsmListState.h"
#include "settings/small/TlWhiteBalanceState.h"

#include <algorithm>

namespace {

class CVersion1Reader {
public:
    CVersion1Reader(CTlvEditSettings& settings, const unsigned char* buffer, int size, TlvLoadContext& context)
        : m_settings(settings), m_context(context), m_buffer(buffer), m_size(size)
    {
    }

    bool More() const { return !m_stopped && m_offset < m_size; }
    // The size accounted for, within the block.
    int Result() const { return static_cast<int>(std::min<std::int64_t>(m_offset, m_size)); }

    template <typename T>
    bool Get(T& value)
    {
        if (m_stopped || m_size - m_offset < std::int64_t(sizeof(T))) {
            m_stopped = true;
            return false;
        }
        ReadValue(m_buffer + m_offset, &value, sizeof(T));
        m_offset += sizeof(T);
        return true;
    }

    void ReadFlag(std::uint32_t bit)
    {
        std::uint8_t value = 0;
        if (Get(value))
            TlvSetFlag(m_settings, bit, value);
    }

    // The next nested record: measured by `scratch`, then read by the slot's
    // record when it is present and selected.
    void ReadRecord(std::uint32_t bit, ITlState& scratch)
    {
        const int measured = Measure([&](int rest) { return scratch.Load(Here(), rest); });
        if (measured <= 0)
            return;
        const TlvEditSlot& slot = *TlvSlotByBit(bit);
        ITlState* record = TlvSelectedRecord(m_settings, slot);
        const int present = static_cast<int>(std::min<std::int64_t>(measured, m_size - m_offset));
        if (record != nullptr && record->Load(Here(), present) > 0) {
            m_settings.recordsDone |= bit;
            if (slot.kind == TlvSlotKind::CurveGroup)
                m_context.curvesRead |= bit;
        }
        m_offset += measured;
    }

    // The geometry is only found here: it is loaded once the angle is read.
    void FindGeometry()
    {
        CTlGeometryState scratch;
        const int measured = Measure([&](int rest) { return scratch.Load(Here(), rest, 0, 0); });
        if (measured <= 0)
            return;
        m_context.geometry.bytes = Here();
        m_context.geometry.size = measured;
        m_context.hasGeometry = true;
        m_offset += measured;
    }

private:
    const unsigned char* Here() const { return m_buffer + m_offset; }

    // A record's size as its own Load gives it; 0 ends the reading.
    template <typename LoadInto>
    int Measure(LoadInto load)
    {
        if (m_stopped || m_size - m_offset < TlStateLayout::kIdSize) {
            m_stopped = true;
            return 0;
        }
        const int measured = load(static_cast<int>(m_size - m_offset));
        if (measured <= 0)
            m_stopped = true;
        return measured;
    }

    CTlvEditSettings& m_settings;
    TlvLoadContext& m_context;
    const unsigned char* m_buffer;
    std::int64_t m_size;
    std::int64_t m_offset = TlStateLayout::kLengthOffset;
    bool m_stopped = false;
};

void ReadFlipAndAngle(CTlvEditSettings& settings, CVersion1Reader& reader)
{
    std::uint8_t flip = 0;
    std::uint16_t angle = 0;
    if (reader.Get(flip) && TlvRecordSelected(settings, kTlvSlotFlip)) {
        settings.flip = flip;
        settings.recordsDone |= kTlvSlotFlip;
    }
    if (reader.Get(angle) && TlvRecordSelected(settings, kTlvSlotAngle)) {
        settings.angle = angle;
        settings.recordsDone |= kTlvSlotAngle;
    }
}

// A stored gain scaled by the owner's factor; a factor of 0 leaves the
// gain unused.
void ReadScaledGain(CTlvEditSettings& settings, CVersion1Reader& reader, double scale,
                    double CTlWhiteBalanceState::*gain)
{
    double stored = 0.0;
    if (!reader.Get(stored) || scale == 0.0)
        return;
    if (TlvRecordSelected(settings, kTlvSlotWhiteBalance) && settings.whiteBalance.record != nullptr) {
        CTlWhiteBalanceState& whiteBalance = *settings.whiteBalance.record;
        whiteBalance.*gain = stored * scale;
        whiteBalance.mode = CTlWhiteBalanceState::kModeGains;
    }
    TlvSetFlag(settings, kTlvSlotWhiteBalance, 1);
}

} // namespace

int TlvLoadVersion1(CTlvEditSettings& settings, const unsigned char* buffer, int size, TlvLoadContext& context)
{
    CVersion1Reader reader(settings, buffer, size, context);
    CTlUsmListState usmList;
    CTlLutGroup toneCurves;
    CTlLutGroup brightnessContrast;
    reader.ReadFlag(kTlvSlotUsmList);
    reader.ReadRecord(kTlvSlotUsmList, usmList);
    reader.ReadFlag(kTlvSlotToneCurves);
    reader.ReadRecord(kTlvSlotToneCurves, toneCurves);
    reader.ReadFlag(kTlvSlotBrightnessContrast);
    reader.ReadRecord(kTlvSlotBrightnessContrast, brightnessContrast);
    reader.FindGeometry();
    ReadFlipAndAngle(settings, reader);
    TlvLoadGeometry(settings, context, false);
    if (reader.More())
        TlvSetWhiteBalanceAsShot(settings);
    ReadScaledGain(settings, reader, settings.whiteBalanceScale1, &CTlWhiteBalanceState::firstGain);
    ReadScaledGain(settings, reader, settings.whiteBalanceScale2, &CTlWhiteBalanceState::secondGain);
    return reader.Result();
}
