#include "filters/dust/TlDustAnalyzer.h"

#include "filters/dust/TlDustReference.h"

#include <algorithm>
#include <new>

namespace {
constexpr std::uint32_t kSharpeningTag = 0x80006;
constexpr unsigned kOutsideReference = 128;
// Blurred values below this are dust.
constexpr unsigned kDustLevel = 124;

std::uint32_t CaptureSharpening(const IKelvraTagControl* tags)
{
    std::int32_t value = 0;
    if (IKelvraError* error = tags->GetTag(kSharpeningTag, kKelvraTagTypeLong, sizeof value, &value, 0)) {
        IKelvraError::Release(error);
        return 0;
    }
    return std::uint32_t(value);
}
} // namespace

CDustAnalyzer::CDustAnalyzer(IKelvraManager* manager) : m_manager(manager) {}

CDustAnalyzer::~CDustAnalyzer() = default;

IKelvraError* CDustAnalyzer::Fail(IKelvraError* error)
{
    Abort();
    m_state = kIdle;
    return error;
}

IKelvraError* CDustAnalyzer::Begin(IDustReference* reference, IKelvraTagControl* tags)
{
    auto* ours = dynamic_cast<CDustReference*>(reference);
    if (ours == nullptr || tags == nullptr)
        return DustError(__LINE__, kKelvraMissingObject);
    if (ours->GetState() != CDustReference::kLoaded)
        return DustError(__LINE__, kDustBadRecord);
    if (m_state != kIdle && m_state != kFinished)
        return DustError(__LINE__, kKelvraOperationFailed);

    // The block is made and read back by the one reader the tone tables use.
    TlDustShooting built;
    if (IKelvraError* error = BuildDustShooting(tags, &built))
        return DustWrap(__LINE__, error);
    unsigned char block[kDustShootingBytes];
    WriteDustShooting(built, block);
    TlDustShooting shooting;
    if (IKelvraError* error = ReadDustShooting(block, sizeof block, &shooting))
        return DustWrap(__LINE__, error);
    if (shooting.curveId != ours->GetCurveId())
        return DustError(__LINE__, kKelvraMissingObject);
    TlDustCamera camera{};
    if (!FindDustCamera(shooting.curveId, &camera))
        return DustError(__LINE__, kKelvraNotReady);

    m_result.clear();
    m_pages.Clear();
    m_shooting = shooting;
    m_camera = camera;
    m_sharpening = CaptureSharpening(tags);
    m_tiles.width = ours->GetWidth();
    m_tiles.height = ours->GetHeight();
    m_tiles.tile = m_manager->GetTileSize();
    try {
        m_source.resize(std::size_t(m_tiles.width) * std::size_t(m_tiles.height));
    } catch (const std::bad_alloc&) {
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    if (IKelvraError* error = KelvraReadRect(ours->GetImage(), KelvraRect(0, 0, m_tiles.width, m_tiles.height),
                                             m_source.data(), m_tiles.width))
        return Fail(DustWrap(__LINE__, error));

    m_rescale = shooting.lens != ours->GetLensValue();
    m_blur = shooting.aperture < ours->GetApertureCode();
    m_stages = m_rescale && m_blur ? 3 : 2;
    m_stage = 0;
    m_reversed = false;
    m_foundDust = false;
    if (m_rescale) {
        const double k = DustRescaleFactor(camera, shooting.lens, ours->GetLensValue());
        m_positionsX = DustSamplePositions(m_tiles.width, m_tiles.width, 1.0 / k);
        m_positionsY = DustSamplePositions(m_tiles.height, m_tiles.height, 1.0 / k);
    }
    if (m_blur)
        m_kernel = DustBlurKernel(camera, shooting.aperture);
    return StartPass(m_rescale ? kRescaling : m_blur ? kBlurring : kCopying);
}

IKelvraError* CDustAnalyzer::StartPass(int state)
{
    try {
        m_result.assign(m_source.size(), 0);
    } catch (const std::bad_alloc&) {
        return Fail(DustError(__LINE__, kKelvraOutOfMemory));
    }
    m_tile = 0;
    m_state = state;
    return nullptr;
}

// The pass's output becomes the next pass's source.
void CDustAnalyzer::EndPass()
{
    m_source.swap(m_result);
    ++m_stage;
    m_reversed = !m_reversed;
}

void CDustAnalyzer::Report(long& done, long& total) const
{
    const long tiles = m_tiles.Count();
    total = tiles * m_stages;
    if (m_state == kFinished) {
        done = total;
        return;
    }
    if (m_state == kCompressing) {
        const long strips = m_tiles.Rows();
        done = m_stage * tiles + m_strip * tiles / strips;
        return;
    }
    done = m_stage * tiles + m_tile;
}

IKelvraError* CDustAnalyzer::Step(long& done, long& total)
{
    done = total = 0;
    switch (m_state) {
    case kIdle:
        return DustError(__LINE__, kKelvraOperationFailed);
    case kFinished:
        done = total = 1;
        return nullptr;
    case kRescaling:
    case kBlurring:
    case kCopying:
        if (m_state == kRescaling)
            RescaleTile(m_tile);
        else if (m_state == kBlurring)
            BlurTile(m_tile);
        else
            CopyTile(m_tile);
        if (++m_tile < m_tiles.Count())
            break;
        EndPass();
        if (m_state == kRescaling && m_blur) {
            if (IKelvraError* error = StartPass(kBlurring))
                return error;
            break;
        }
        if (m_state == kBlurring && !m_foundDust) {
            // Nothing darker than the dust level: the map will be empty.
            m_source.clear();
            m_result.clear();
            m_state = kFinished;
            break;
        }
        m_result.swap(m_source);
        m_source.clear();
        m_state = kStartingCompressor;
        m_strip = 0;
        if (IKelvraError* error = m_deflater.Start(&m_pages))
            return Fail(DustWrap(__LINE__, error));
        m_state = kCompressing;
        break;
    case kCompressing:
        if (IKelvraError* error = CompressStrip())
            return Fail(error);
        break;
    default:
        return Fail(DustError(__LINE__, kKelvraOperationFailed));
    }
    Report(done, total);
    return nullptr;
}

IKelvraError* CDustAnalyzer::CompressStrip()
{
    const long rows = std::min(m_tiles.tile, m_tiles.height - m_strip * m_tiles.tile);
    const std::size_t offset = std::size_t(m_strip) * std::size_t(m_tiles.tile) * std::size_t(m_tiles.width);
    const bool last = ++m_strip >= m_tiles.Rows();
    if (IKelvraError* error =
            m_deflater.Write(m_result.data() + offset, std::size_t(rows) * std::size_t(m_tiles.width), last))
        return DustWrap(__LINE__, error);
    if (last) {
        m_deflater.End();
        m_state = kFinished;
    }
    return nullptr;
}

IKelvraError* CDustAnalyzer::Abort()
{
    if (m_state == kFinished)
        return nullptr;
    m_deflater.End();
    m_pages.Clear();
    m_source.clear();
    m_source.shrink_to_fit();
    m_result.clear();
    m_result.shrink_to_fit();
    m_state = kIdle;
    return nullptr;
}

void CDustAnalyzer::RescaleTile(long index)
{
    long left, top, right, bottom;
    m_tiles.Rect(index, m_reversed, &left, &top, &right, &bottom);
    for (long y = top; y < bottom; ++y) {
        std::uint8_t* out = &m_result[std::size_t(y) * std::size_t(m_tiles.width)];
        for (long x = left; x < right; ++x)
            out[x] = std::uint8_t(DustBilinear(m_source.data(), m_tiles.width, m_tiles.height,
                                               m_positionsX[std::size_t(x)], m_positionsY[std::size_t(y)],
                                               kOutsideReference));
    }
}

void CDustAnalyzer::CopyTile(long index)
{
    long left, top, right, bottom;
    m_tiles.Rect(index, m_reversed, &left, &top, &right, &bottom);
    for (long y = top; y < bottom; ++y) {
        const std::size_t row = std::size_t(y) * std::size_t(m_tiles.width);
        std::copy(m_source.begin() + long(row + std::size_t(left)), m_source.begin() + long(row + std::size_t(right)),
                  m_result.begin() + long(row + std::size_t(left)));
    }
}

namespace {
inline long Clamp(long v, long size)
{
    return v < 0 ? 0 : v >= size ? size - 1 : v;
}
} // namespace

// A box average over the kernel, edges clamped: running column sums down the
// tile's rows, then running sums of those along each row; an even side adds
// its two outer samples at half weight ((first + last) >> 1). The output is
// the sum times 1 / (e f) plus 1e-10, truncated.
void CDustAnalyzer::BlurTile(long index)
{
    long left, top, right, bottom;
    m_tiles.Rect(index, m_reversed, &left, &top, &right, &bottom);
    const long kw = std::max(m_kernel.width, 1L);
    const long kh = std::max(m_kernel.height, 1L);
    const long hx = (kw - 1) / 2;
    const long hy = (kh - 1) / 2;
    const bool evenX = kw % 2 == 0;
    const bool evenY = kh % 2 == 0;
    const long reachX = hx + (evenX ? 1 : 0);
    const long w = m_tiles.width;
    const long h = m_tiles.height;
    const std::size_t span = std::size_t(right - left + 2 * reachX);
    m_columnsAt.resize(span);
    m_fullColumns.assign(span, 0);
    m_columns.resize(span);
    for (std::size_t j = 0; j < span; ++j)
        m_columnsAt[j] = std::size_t(Clamp(left - reachX + long(j), w));
    auto row = [&](long y) { return &m_source[std::size_t(Clamp(y, h)) * std::size_t(w)]; };
    for (long v = -hy; v <= hy; ++v) {
        const std::uint8_t* in = row(top + v);
        for (std::size_t j = 0; j < span; ++j)
            m_fullColumns[j] += in[m_columnsAt[j]];
    }
    const double scale = 1.0 / (double(kw) * double(kh));
    for (long y = top; y < bottom; ++y) {
        if (y > top) {
            const std::uint8_t* entering = row(y + hy);
            const std::uint8_t* leaving = row(y - hy - 1);
            for (std::size_t j = 0; j < span; ++j)
                m_fullColumns[j] += long(entering[m_columnsAt[j]]) - long(leaving[m_columnsAt[j]]);
        }
        if (evenY) {
            const std::uint8_t* above = row(y - hy - 1);
            const std::uint8_t* below = row(y + hy + 1);
            for (std::size_t j = 0; j < span; ++j)
                m_columns[j] = m_fullColumns[j] + ((long(above[m_columnsAt[j]]) + below[m_columnsAt[j]]) >> 1);
        } else {
            std::copy(m_fullColumns.begin(), m_fullColumns.end(), m_columns.begin());
        }
        const long* columns = m_columns.data() + reachX;
        long run = 0;
        for (long d = -hx; d <= hx; ++d)
            run += columns[d];
        std::uint8_t* out = &m_result[std::size_t(y) * std::size_t(w)];
        for (long x = 0; x < right - left; ++x) {
            if (x > 0)
                run += columns[x + hx] - columns[x - hx - 1];
            const long sum = run + (evenX ? (columns[x - hx - 1] + columns[x + hx + 1]) >> 1 : 0);
            const unsigned value = unsigned(double(sum) * scale + 1e-10);
            out[left + x] = std::uint8_t(value > 255 ? 255 : value);
            if (value < kDustLevel)
                m_foundDust = true;
        }
    }
}
