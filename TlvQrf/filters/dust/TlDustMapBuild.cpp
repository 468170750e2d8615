// Building the map from an analysed reference, one tile per step: the
// picture's luminance and its encoding, the reference's shadows at the
// picture's geometry, texture flags, window radii, the exclusion image and
// the correction mask, then their compression.
#include "filters/dust/TlDustAnalyzer.h"
#include "filters/dust/TlDustDevelop.h"
#include "filters/dust/TlDustMap.h"
#include "filters/dust/TlDustMapPasses.h"
#include "filters/dust/TlDustToneTable.h"
#include "filtrix/KelvraFilterTransform.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace {
enum MapState : int {
    kOrienting = 1,
    kPreparing = 3,
    kLuminance = 4,
    kEncoding = 5,
    kClasses = 6,
    kFlags = 7,
    kRadius = 8,
    kExclusion = 9,
    kMask = 10,
    kStartingCompressor = 11,
    kCompressingMask = 12,
    kCompressingExclusion = 13,
};
constexpr int kPassStages = 9;
} // namespace

struct CDustMapWork {
    // Develops a raw picture; the passes read its output. It lets go of
    // the picture when it goes.
    struct Developer : CDeBayerHQFilter {
        using CDeBayerHQFilter::CDeBayerHQFilter;
        ~Developer() override
        {
            if (picture)
                IKelvraError::Release(KelvraDataDisconnect(picture, this));
        }
        IKelvraDataSource* picture = nullptr;
    };
    std::unique_ptr<Developer> developer;
    const CDustAnalyzer* analyzer = nullptr;
    IKelvraDataSource* picture = nullptr;
    // The reference turned to the picture's orientation, when it has one.
    bool orient = false;
    std::vector<std::uint8_t> oriented;
    int stages = kPassStages;
    KelvraPixelFormat format = 0;
    bool plainLuminance = false;
    bool linear = false;
    TlDustMapPlanes planes;
    std::vector<std::uint8_t> encodeTable;
    std::vector<std::uint32_t> shadowSums;
    std::vector<std::uint64_t> luminanceSums;
    std::vector<std::uint8_t> pixels; // one tile of the picture
    long tile = 0;
    int stage = 0;
    long strip = 0;
    CDustDeflater deflater;
};

CDustMap::CDustMap(IKelvraManager* manager) : m_manager(manager) {}

CDustMap::~CDustMap() = default;

IKelvraError* CDustMap::Fail(IKelvraError* error)
{
    ReleaseWork();
    m_state = kIdle;
    return error;
}

void CDustMap::ReleaseWork()
{
    m_work.reset();
}

namespace {
// A De-Bayer filter connected to the raw picture.
IKelvraError* Develop(IKelvraManager* manager, IKelvraDataSource* picture, const TlDustShooting& shooting, long width,
                      long height, std::unique_ptr<CDustMapWork::Developer>& developer)
{
    std::unique_ptr<CDustMapWork::Developer> made(new (std::nothrow) CDustMapWork::Developer(manager));
    if (!made)
        return DustError(__LINE__, kKelvraOutOfMemory);
    if (IKelvraError* error = KelvraDataConnect(picture, made.get()))
        return DustWrap(__LINE__, error);
    made->picture = picture;
    developer = std::move(made);
    return SetupDustDeBayer(*developer, shooting, width, height);
}
} // namespace

IKelvraError* CDustMap::Begin(IDustAnalyzer* analyzer, IKelvraDataSource* picture, long plainLuminance,
                              long linearPicture)
{
    const auto* ours = dynamic_cast<const CDustAnalyzer*>(analyzer);
    if (ours == nullptr || picture == nullptr)
        return DustError(__LINE__, kKelvraMissingObject);
    if (ours->GetState() != CDustAnalyzer::kFinished)
        return DustError(__LINE__, kDustBadRecord);
    if (m_state != kIdle && m_state != kFinished)
        return DustError(__LINE__, kKelvraOperationFailed);

    Contents built;
    KelvraPixelFormat format = 0;
    long width = 0, height = 0;
    bool flip = false;
    double angle = 0;
    if (IKelvraError* error = picture->GetColorSpace(&format))
        return DustWrap(__LINE__, error);
    if (IKelvraError* error = picture->GetSize(&width, &height))
        return DustWrap(__LINE__, error);
    if (IKelvraError* error = picture->GetFlip(&flip))
        return DustWrap(__LINE__, error);
    if (IKelvraError* error = picture->GetRotation(&angle))
        return DustWrap(__LINE__, error);
    std::unique_ptr<CDustMapWork::Developer> developer;
    if (format == kKelvraRawMosaic) {
        if (IKelvraError* error = Develop(m_manager, picture, ours->GetShooting(), width, height, developer))
            return DustWrap(__LINE__, error);
        if (IKelvraError* error = developer->GetSize(&width, &height))
            return DustWrap(__LINE__, error);
    }
    if (IKelvraError* error = BuildDustToneTable(format, linearPicture != 0, ours->GetShooting(), &built.table))
        return DustWrap(__LINE__, error);
    try {
        built.packedTable.resize(built.table.size() * 2 + 300);
    } catch (const std::bad_alloc&) {
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    std::vector<unsigned char> raw(built.table.size() * 2);
    for (std::size_t i = 0; i < built.table.size(); ++i) {
        raw[2 * i] = static_cast<unsigned char>(built.table[i]);
        raw[2 * i + 1] = static_cast<unsigned char>(built.table[i] >> 8);
    }
    uLongf packedSize = uLongf(built.packedTable.size());
    const int result = compress(built.packedTable.data(), &packedSize, raw.data(), uLong(raw.size()));
    if (result != Z_OK)
        return DustZlibError(__LINE__, result);
    built.packedTable.resize(packedSize);
    built.width = width;
    built.height = height;
    built.flip = flip;
    built.angle = long(std::lround(angle));

    ReleaseWork();
    m_contents.Swap(built);
    m_total = 1;
    if (!ours->HasResult()) {
        // Nothing dark enough in the reference: a finished map without a mask.
        m_state = kFinished;
        return nullptr;
    }
    if (ours->GetWidth() < 100 || ours->GetHeight() < 100)
        return Fail(DustError(__LINE__, kDustBadRecord));

    m_work.reset(new (std::nothrow) CDustMapWork);
    if (!m_work)
        return Fail(DustError(__LINE__, kKelvraOutOfMemory));
    CDustMapWork& work = *m_work;
    work.analyzer = ours;
    work.picture = developer ? static_cast<IKelvraDataSource*>(developer.get()) : picture;
    work.format = developer ? kKelvraRGB16 : format;
    work.developer = std::move(developer);
    work.plainLuminance = plainLuminance != 0;
    work.linear = linearPicture != 0;
    TlDustMapPlanes& planes = work.planes;
    planes.tiles.width = width;
    planes.tiles.height = height;
    planes.tiles.tile = m_manager->GetTileSize();
    planes.reference = ours->GetResult().data();
    planes.referenceWidth = ours->GetWidth();
    planes.referenceHeight = ours->GetHeight();
    // A picture shown turned or mirrored gets its reference turned alike;
    // a raw or linear picture is taken as the sensor saw it.
    work.orient = !work.developer && !work.linear && (flip || angle != 0.0);
    work.stages = kPassStages + (work.orient ? 1 : 0);
    m_total = planes.tiles.Count() * work.stages;
    m_state = work.orient ? kOrienting : kPreparing;
    return nullptr;
}

// State 1: the analysed reference through the orientation filter, in one step.
IKelvraError* CDustMap::Orient()
{
    CDustMapWork& work = *m_work;
    TlDustMapPlanes& planes = work.planes;
    TlDustImageShape shape;
    shape.width = planes.referenceWidth;
    shape.height = planes.referenceHeight;
    IKelvraImage* source = nullptr;
    long strip = 0;
    if (IKelvraError* error = CreateDustImage(m_manager, shape, &source, &strip))
        return DustWrap(__LINE__, error);
    IKelvraError* error = source->AppendRows(planes.reference, shape.height, shape.width);
    {
        CKelvraFilterTransform transform(m_manager);
        if (!error)
            error = KelvraDataConnect(source, &transform);
        if (!error)
            error = transform.SetTransform(m_contents.flip, double(m_contents.angle), false, false);
        long width = 0, height = 0;
        if (!error)
            error = transform.GetSize(&width, &height);
        if (!error) {
            try {
                work.oriented.assign(std::size_t(width) * std::size_t(height), 0);
            } catch (const std::bad_alloc&) {
                error = DustError(__LINE__, kKelvraOutOfMemory);
            }
        }
        if (!error)
            error = KelvraReadRect(&transform, KelvraRect(0, 0, width, height), work.oriented.data(), width);
        IKelvraError::Release(KelvraDataDisconnect(source, &transform));
        planes.referenceWidth = width;
        planes.referenceHeight = height;
    }
    source->Release();
    if (error)
        return DustWrap(__LINE__, error);
    planes.reference = work.oriented.data();
    return nullptr;
}

// State 3 runs on into the luminance pass within the same step.
IKelvraError* CDustMap::Prepare(long& done, long& total)
{
    TlDustMapPlanes& planes = m_work->planes;
    const std::size_t count = std::size_t(planes.tiles.width) * std::size_t(planes.tiles.height);
    try {
        planes.luminance.assign(count, 0);
        for (auto* plane : {&planes.encoded, &planes.classes, &planes.shadow, &planes.flags, &planes.spread,
                            &planes.radius, &planes.exclusion, &planes.computed, &planes.mask})
            plane->assign(count, 0);
        m_work->pixels.resize(std::size_t(KelvraRowBytes(m_work->format, planes.tiles.tile)) *
                              std::size_t(planes.tiles.tile));
        m_work->encodeTable.resize(65536);
    } catch (const std::bad_alloc&) {
        return Fail(DustError(__LINE__, kKelvraOutOfMemory));
    }
    for (std::size_t i = 0; i < 65536; ++i)
        m_work->encodeTable[i] = std::uint8_t(std::floor(255.0 * std::sqrt(double(i) / 65535.0) + 0.5));
    const TlDustShooting& shooting = m_work->analyzer->GetShooting();
    int row = 0;
    if (!m_work->linear) {
        const std::uint32_t sharpening = m_work->analyzer->GetCaptureSharpening();
        row = sharpening == 1 || sharpening == 2 || sharpening == 4 ? 1 : sharpening == 3 ? 3 : sharpening == 5 ? 2 : 0;
    }
    if (shooting.captureMode == 0)
        row += 4;
    planes.noise = DustNoiseLevel(shooting.curveId, shooting.sensitivity, row);
    switch (shooting.curveId) {
    case 259:
        planes.halfWidth = 5, planes.halfHeight = 2;
        break;
    case 260:
        planes.halfWidth = 4, planes.halfHeight = 4;
        break;
    case 1026:
        planes.halfWidth = 5, planes.halfHeight = 5;
        break;
    default:
        planes.halfWidth = 3, planes.halfHeight = 3;
        break;
    }
    m_work->tile = 0;
    m_work->stage = m_work->orient ? 1 : 0;
    m_state = kLuminance;
    return Step(done, total);
}

namespace {
// Y = (T(R) + 2 T(G) + T(B)) / 4 through the forward table, or plain sums
// scaled to 16 bits.
template <typename Sample>
void LuminanceRows(const CDustMapWork& work, const std::vector<std::uint16_t>& table, long left, long top, long right,
                   long bottom, TlDustMapPlanes& planes)
{
    const long rowBytes = KelvraRowBytes(work.format, right - left);
    const bool plain = work.plainLuminance;
    const unsigned scale = sizeof(Sample) == 1 ? 257 : 1;
    for (long y = top; y < bottom; ++y) {
        const Sample* in = reinterpret_cast<const Sample*>(work.pixels.data() + std::size_t((y - top) * rowBytes));
        for (long x = left; x < right; ++x, in += 3) {
            const std::uint64_t sum = plain ? std::uint64_t(in[0] + 2u * in[1] + in[2]) * scale
                                            : std::uint64_t(table[in[0]]) + 2u * table[in[1]] + table[in[2]];
            planes.luminance[planes.At(x, y)] = std::uint16_t(sum >> 2);
        }
    }
}
} // namespace

IKelvraError* CDustMap::RunPassTile()
{
    CDustMapWork& work = *m_work;
    TlDustMapPlanes& planes = work.planes;
    const long tile = work.tile;
    long left, top, right, bottom;
    planes.tiles.Rect(tile, &left, &top, &right, &bottom);
    switch (m_state) {
    case kLuminance: {
        const long rowBytes = KelvraRowBytes(work.format, right - left);
        if (IKelvraError* error =
                KelvraReadRect(work.picture, KelvraRect(left, top, right, bottom), work.pixels.data(), rowBytes))
            return DustWrap(__LINE__, error);
        if (KelvraIs16Bit(work.format))
            LuminanceRows<std::uint16_t>(work, m_contents.table, left, top, right, bottom, planes);
        else
            LuminanceRows<std::uint8_t>(work, m_contents.table, left, top, right, bottom, planes);
        break;
    }
    case kEncoding:
        for (long y = top; y < bottom; ++y)
            for (long x = left; x < right; ++x)
                planes.encoded[planes.At(x, y)] = work.encodeTable[planes.luminance[planes.At(x, y)]];
        break;
    case kClasses:
        DustClassTile(planes, tile);
        break;
    case kFlags:
        DustFlagTile(planes, work.shadowSums, tile);
        break;
    case kRadius:
        DustRadiusTile(planes, work.shadowSums, tile);
        break;
    case kExclusion:
        DustExclusionTile(planes, tile);
        break;
    case kMask:
        DustMaskTile(planes, work.luminanceSums, tile);
        break;
    default:
        return DustError(__LINE__, kKelvraOperationFailed);
    }
    return nullptr;
}

// What each pass leaves for the next once its last tile is done.
IKelvraError* CDustMap::EndPass()
{
    CDustMapWork& work = *m_work;
    TlDustMapPlanes& planes = work.planes;
    try {
        switch (m_state) {
        case kEncoding:
            PrepareDustSampling(planes);
            break;
        case kClasses:
            DustShadowImage(planes);
            work.shadowSums = DustSummedArea(planes, planes.shadow);
            break;
        case kFlags:
            DustSpreadFlags(planes);
            break;
        case kRadius:
            work.shadowSums = {};
            break;
        case kExclusion:
            work.luminanceSums = DustLuminanceSums(planes);
            break;
        case kMask:
            DustSmoothMask(planes);
            work.luminanceSums = {};
            break;
        default:
            break;
        }
    } catch (const std::bad_alloc&) {
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    ++work.stage;
    work.tile = 0;
    if (m_state == kMask) {
        work.strip = 0;
        if (IKelvraError* error = work.deflater.Start(&m_contents.maskPages))
            return DustWrap(__LINE__, error);
        m_state = kCompressingMask;
        return nullptr;
    }
    ++m_state;
    return nullptr;
}

IKelvraError* CDustMap::CompressStrip()
{
    CDustMapWork& work = *m_work;
    const TlDustTiles& tiles = work.planes.tiles;
    const std::vector<std::uint8_t>& plane = m_state == kCompressingMask ? work.planes.mask : work.planes.exclusion;
    const long rows = std::min(tiles.tile, tiles.height - work.strip * tiles.tile);
    const std::size_t offset = std::size_t(work.strip) * std::size_t(tiles.tile) * std::size_t(tiles.width);
    const bool last = ++work.strip >= tiles.Rows();
    if (IKelvraError* error =
            work.deflater.Write(plane.data() + offset, std::size_t(rows) * std::size_t(tiles.width), last))
        return DustWrap(__LINE__, error);
    if (!last)
        return nullptr;
    work.deflater.End();
    ++work.stage;
    work.strip = 0;
    if (m_state == kCompressingMask) {
        if (IKelvraError* error = work.deflater.Start(&m_contents.exclusionPages))
            return DustWrap(__LINE__, error);
        m_state = kCompressingExclusion;
        return nullptr;
    }
    return Finish();
}

// The mask and exclusion images, with the picture's orientation.
IKelvraError* CDustMap::Finish()
{
    const TlDustMapPlanes& planes = m_work->planes;
    TlDustImageShape shape;
    shape.width = m_contents.width;
    shape.height = m_contents.height;
    shape.flip = m_contents.flip;
    shape.angle = double(m_contents.angle);
    const std::vector<std::uint8_t>* sources[2] = {&planes.mask, &planes.exclusion};
    IKelvraImage** targets[2] = {&m_contents.mask, &m_contents.exclusion};
    for (int i = 0; i < 2; ++i) {
        long strip = 0;
        if (IKelvraError* error = CreateDustImage(m_manager, shape, targets[i], &strip))
            return DustWrap(__LINE__, error);
        if (IKelvraError* error = (*targets[i])->AppendRows(sources[i]->data(), shape.height, shape.width))
            return DustWrap(__LINE__, error);
    }
    ReleaseWork();
    m_state = kFinished;
    return nullptr;
}

void CDustMap::Report(long& done, long& total) const
{
    if (m_state == kFinished || !m_work) {
        done = total = m_total;
        return;
    }
    const long tiles = m_work->planes.tiles.Count();
    total = tiles * m_work->stages;
    const long strips = m_work->planes.tiles.Rows();
    const long within =
        m_state >= kCompressingMask ? m_work->strip * tiles / strips : m_work->tile;
    done = std::min(total - 1, m_work->stage * tiles + within);
}

IKelvraError* CDustMap::Step(long& done, long& total)
{
    done = total = 0;
    switch (m_state) {
    case kIdle:
        return DustError(__LINE__, kKelvraOperationFailed);
    case kFinished:
        done = total = 1;
        return nullptr;
    case kOrienting:
        if (IKelvraError* error = Orient())
            return Fail(error);
        m_state = kPreparing;
        return Prepare(done, total);
    case kPreparing:
        return Prepare(done, total);
    case kCompressingMask:
    case kCompressingExclusion:
        if (IKelvraError* error = CompressStrip())
            return Fail(error);
        break;
    default:
        if (IKelvraError* error = RunPassTile())
            return Fail(error);
        if (++m_work->tile >= m_work->planes.tiles.Count()) {
            if (IKelvraError* error = EndPass())
                return Fail(error);
        }
        break;
    }
    Report(done, total);
    return nullptr;
}

IKelvraError* CDustMap::Abort()
{
    if (m_state == kFinished)
        return nullptr;
    if (m_work)
        m_work->deflater.End();
    ReleaseWork();
    Contents none;
    m_contents.Swap(none);
    m_state = kIdle;
    return nullptr;
}
