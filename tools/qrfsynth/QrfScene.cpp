#include "QrfScene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr long kPatchColumns = 6;
constexpr long kPatchRows = 2;
constexpr long kSteps = 8;

// Linear values of the colour patches, a chart of familiar surfaces.
const QrfRgb kPatchColours[kPatchColumns * kPatchRows] = {
    {7700, 5100, 3900},   {25500, 18600, 15200}, {8300, 12400, 20500}, {6800, 9600, 4200},
    {14600, 13900, 26300}, {10200, 32800, 27900}, {33300, 13600, 2900},  {5400, 7300, 24100},
    {26800, 6900, 8500},   {4900, 2800, 8700},    {21400, 32000, 4800},  {38600, 23100, 2400},
};

std::uint16_t Grey(long step)
{
    return std::uint16_t(1300 + step * (58000 - 1300) / (kSteps - 1));
}

std::uint16_t Clamp(double value)
{
    return std::uint16_t(value < 0 ? 0 : value > 65535 ? 65535 : value + 0.5);
}

} // namespace

bool QrfParseScene(const char* name, QrfSceneKind* kind)
{
    if (std::strcmp(name, "chart") == 0)
        *kind = QrfSceneKind::Chart;
    else if (std::strcmp(name, "zoneplate") == 0)
        *kind = QrfSceneKind::ZonePlate;
    else
        return false;
    return true;
}

CQrfScene::CQrfScene(long width, long height, QrfSceneKind kind)
    : m_width(width), m_height(height), m_kind(kind), m_patchBottom(height * 2 / 5), m_stepsBottom(height * 11 / 20),
      m_gradientBottom(height * 3 / 4)
{
    if (kind == QrfSceneKind::Face)
        m_face = MakeEyemendFaceLayout(std::int32_t(width), std::int32_t(height), false);
    const long cellWidth = width / kPatchColumns;
    const long cellHeight = m_patchBottom / kPatchRows;
    for (long i = 0; i < kPatchColumns * kPatchRows; ++i) {
        const KelvraRect cell(i % kPatchColumns * cellWidth, i / kPatchColumns * cellHeight,
                              (i % kPatchColumns + 1) * cellWidth, (i / kPatchColumns + 1) * cellHeight);
        m_cells.push_back(QrfPatch{cell, kPatchColours[i]});
    }
    const long stepWidth = width / kSteps;
    for (long i = 0; i < kSteps; ++i) {
        const KelvraRect cell(i * stepWidth, m_patchBottom, (i + 1) * stepWidth, m_stepsBottom);
        m_cells.push_back(QrfPatch{cell, QrfRgb{Grey(i), Grey(i), Grey(i)}});
    }
    for (const QrfPatch& cell : m_cells) {
        const long mx = cell.rect.Width() / 8, my = cell.rect.Height() / 8;
        const KelvraRect inside(cell.rect.left + mx, cell.rect.top + my, cell.rect.right - mx, cell.rect.bottom - my);
        m_patches.push_back(QrfPatch{inside, cell.colour});
    }
}

QrfRgb CQrfScene::At(long x, long y) const
{
    if (m_kind == QrfSceneKind::ZonePlate)
        return ZonePlate(x, y);
    if (m_kind == QrfSceneKind::Face)
        return Face(x, y);
    if (y < m_stepsBottom) {
        for (const QrfPatch& cell : m_cells) {
            if (cell.rect.Contains(x, y))
                return cell.colour;
        }
        return QrfRgb{3000, 3000, 3000}; // the chart's dark surround
    }
    return y < m_gradientBottom ? Gradient(x, y) : Detail(x, y);
}

// Left half a neutral ramp, right half a ramp through the hues.
QrfRgb CQrfScene::Gradient(long x, long y) const
{
    const double across = double(x) / double(m_width > 1 ? m_width - 1 : 1);
    if (x < m_width / 2) {
        const std::uint16_t v = Clamp(across * 2 * 65535);
        return QrfRgb{v, v, v};
    }
    const double down = double(y - m_stepsBottom) / double(m_gradientBottom - m_stepsBottom);
    const double hue = (across - 0.5) * 2 * 6.283185307179586;
    return QrfRgb{Clamp((0.5 + 0.5 * std::cos(hue)) * 40000 * down + 2000),
                  Clamp((0.5 + 0.5 * std::cos(hue - 2.094)) * 40000 * down + 2000),
                  Clamp((0.5 + 0.5 * std::cos(hue + 2.094)) * 40000 * down + 2000)};
}

// Left: one-pixel checks, two-pixel lines and four-pixel checks; right: a
// zone plate whose rings tighten outwards.
QrfRgb CQrfScene::Detail(long x, long y) const
{
    if (x < m_width / 2) {
        const long band = x * 3 / (m_width / 2 > 0 ? m_width / 2 : 1);
        const long period = band == 0 ? 1 : band == 1 ? 2 : 4;
        const bool light = band == 1 ? (x / period) % 2 == 0 : ((x / period) + (y / period)) % 2 == 0;
        const std::uint16_t v = light ? 52000 : 6000;
        return QrfRgb{v, v, v};
    }
    const double cx = m_width * 0.75, cy = (m_gradientBottom + m_height) / 2.0;
    const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    const std::uint16_t v = Clamp((0.5 + 0.5 * std::cos(r2 * 3.14159 / (m_width * 0.5))) * 50000 + 4000);
    return QrfRgb{v, v, v};
}

namespace {

// The zone plate's frequency at the distance of the nearer edges.
const double kZoneEdgeFrequency = 0.6;

} // namespace

double CQrfScene::ZoneRadiusFor(double cyclesPerPixel) const
{
    return cyclesPerPixel / kZoneEdgeFrequency * double(std::max(1L, std::min(m_width, m_height) / 2));
}

// Frequency f = 0.6 r / R at distance r, R the half of the shorter side, so
// the phase is 2 pi times its integral, 0.6 pi r^2 / R. The cosine runs in
// the square root of the linear value, the companded scale a development
// works in, so each ring holds one frequency there (a cosine of the linear
// value would gain harmonics past the sampling limit).
QrfRgb CQrfScene::ZonePlate(long x, long y) const
{
    const double dx = double(x) - double(m_width / 2), dy = double(y) - double(m_height / 2);
    const double half = double(std::max(1L, std::min(m_width, m_height) / 2));
    const double phase = kZoneEdgeFrequency * 3.141592653589793 * (dx * dx + dy * dy) / half;
    const double root = 0.55 + 0.35 * std::cos(phase);
    const std::uint16_t v = Clamp(root * root * 65535);
    return QrfRgb{v, v, v};
}

// The face's display colours (gamma 2.2) made linear.
QrfRgb CQrfScene::Face(long x, long y) const
{
    const EyemendRgb c = m_face.Colour(std::int32_t(x), std::int32_t(y));
    auto linear = [](std::uint8_t value) { return Clamp(std::pow(value / 255.0, 2.2) * 65535); };
    return QrfRgb{linear(c.red), linear(c.green), linear(c.blue)};
}
