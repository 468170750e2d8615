// The stored form of a tone curve. Version 3 is written:
//   element header (20), 0xFF, u16 3, colours (nine int32), black, white,
//   gamma, output low, output high, int32 n, n × (x, y), brightness
// Read only: version 2 (no output levels) and the oldest form (no marker:
// the colours start at 20). Versions 4 to 199 are passed over.
#include "settings/curves/TlLut.h"

#include "settings/curves/TlLutCurve.h"
#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint16_t kWrittenVersion = 3;
constexpr std::uint16_t kVersionWithoutOutput = 2;
constexpr std::uint16_t kFirstPassedOver = 4;
constexpr std::uint16_t kFirstUnmarked = 200; // and up: the oldest form
constexpr int kMarkedStart = TlCurveLayout::kElementHeaderSize + 3;
constexpr int kPointBytes = 16;

enum class EStoredForm { Oldest, WithoutOutput, Current, PassedOver };

EStoredForm FormOf(const unsigned char* buffer, int size)
{
    if (size < kMarkedStart || buffer[TlCurveLayout::kElementHeaderSize] != kMarker)
        return EStoredForm::Oldest;
    std::uint16_t version = 0;
    std::memcpy(&version, buffer + TlCurveLayout::kElementHeaderSize + 1, sizeof version);
    if (version == kVersionWithoutOutput)
        return EStoredForm::WithoutOutput;
    if (version == kWrittenVersion)
        return EStoredForm::Current;
    if (version >= kFirstPassedOver && version < kFirstUnmarked)
        return EStoredForm::PassedOver;
    return EStoredForm::Oldest;
}

// What a stored tone curve holds besides its header.
struct SStoredLut {
    TlLutColour colours[3] = {};
    TlLutParams block;
};

bool ReadColour(CTlStateReader& reader, TlLutColour& colour)
{
    return reader.Get(colour.red) && reader.Get(colour.green) && reader.Get(colour.blue);
}

// The points; fewer than two stored points become the identity pair, the
// curve a tone curve always keeps. Throws std::bad_alloc.
bool ReadPoints(CTlStateReader& reader, std::vector<TlLutPoint>& points)
{
    std::int32_t count = 0;
    if (!reader.Get(count) || count < 0 || !reader.Has(std::int64_t(count) * kPointBytes))
        return false;
    if (count < 2) {
        TlSetIdentityPair(points);
        reader.Skip(std::int64_t(count) * kPointBytes);
        return true;
    }
    points.resize(static_cast<std::size_t>(count));
    for (TlLutPoint& point : points) {
        point = TlLutKnot(0.0, 0.0);
        reader.Get(point.x);
        reader.Get(point.y);
    }
    return true;
}

// Every field must be present: a cut record is refused whole.
bool ReadFields(CTlStateReader& reader, EStoredForm form, SStoredLut& stored)
{
    TlLutParams& block = stored.block;
    for (TlLutColour& colour : stored.colours) {
        if (!ReadColour(reader, colour))
            return false;
    }
    if (!reader.Get(block.black) || !reader.Get(block.white) || !reader.Get(block.gamma))
        return false;
    if (form == EStoredForm::Current && (!reader.Get(block.outputLow) || !reader.Get(block.outputHigh)))
        return false;
    return ReadPoints(reader, block.points) && reader.Get(block.brightness);
}

double FiniteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

// Levels that are not numbers take their defaults; gamma is kept within
// its limits, as every setter keeps it.
void Normalise(TlLutParams& block, double gammaMin, double gammaMax)
{
    const TlLutParams defaults;
    block.black = FiniteOr(block.black, defaults.black);
    block.white = FiniteOr(block.white, defaults.white);
    block.gamma = std::clamp(FiniteOr(block.gamma, defaults.gamma), gammaMin, gammaMax);
    block.outputLow = FiniteOr(block.outputLow, defaults.outputLow);
    block.outputHigh = FiniteOr(block.outputHigh, defaults.outputHigh);
    block.brightness = FiniteOr(block.brightness, defaults.brightness);
    block.slopesStale = 1;
}

} // namespace

int CTlLut::Save(unsigned char* buffer, int size)
{
    CTlCurveBase::Save(buffer, size);
    const bool room = buffer != nullptr && size > TlCurveLayout::kElementHeaderSize;
    CTlStateWriter writer(room ? buffer + TlCurveLayout::kElementHeaderSize : nullptr,
                          room ? size - TlCurveLayout::kElementHeaderSize : 0);
    writer.Put(kMarker);
    writer.Put(kWrittenVersion);
    for (const TlLutColour& colour : m_colours) {
        writer.Put(colour.red);
        writer.Put(colour.green);
        writer.Put(colour.blue);
    }
    writer.Put(m_live.black);
    writer.Put(m_live.white);
    writer.Put(m_live.gamma);
    writer.Put(m_live.outputLow);
    writer.Put(m_live.outputHigh);
    writer.Put(static_cast<std::int32_t>(m_live.points.size()));
    for (const TlLutPoint& point : m_live.points) {
        writer.Put(point.x);
        writer.Put(point.y);
    }
    writer.Put(m_live.brightness);
    return TlCurveLayout::kElementHeaderSize + writer.Finish();
}

int CTlLut::Load(const unsigned char* buffer, int size)
{
    if (buffer == nullptr || size < TlCurveLayout::kElementHeaderSize ||
        std::memcmp(buffer, &kTlIdLut, TlStateLayout::kIdSize) != 0)
        return 0;
    const EStoredForm form = FormOf(buffer, size);
    int consumed = kMarkedStart;
    SStoredLut stored;
    if (form != EStoredForm::PassedOver) {
        const int start = form == EStoredForm::Oldest ? TlCurveLayout::kElementHeaderSize : kMarkedStart;
        CTlStateReader reader(buffer + start, size - start);
        try {
            if (!ReadFields(reader, form, stored))
                return 0;
        } catch (const std::bad_alloc&) {
            return 0;
        }
        consumed = start + reader.Consumed();
        Normalise(stored.block, m_gammaMin, m_gammaMax);
    }

    CTlCurveBase::Load(buffer, size); // the element id; no current point
    if (form != EStoredForm::PassedOver) {
        std::copy(std::begin(stored.colours), std::end(stored.colours), std::begin(m_colours));
        m_live = std::move(stored.block);
    }
    m_editor.hitIndex = -1;
    m_editor.hitCode = kTlHitNone;
    m_editor.readoutX = 0.0;
    m_editor.readoutY = 0.0;
    m_editor.changed = 1;
    return consumed;
}
