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
    kDeveloping = 2,
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
    // Turns the analysed reference to the picture's orientation, reading it
    // from an image of its own.
    struct Orienter : CKelvraFilterTransform {
        using CKelvraFilterTransform::CKelvraFilterTransform;
        ~Orienter() override
        {
            if (source) {
                IKelvraError::Release(KelvraDataDisconnect(source, this));
                source->Release();
            }
        }
        IKelvraImage* source = nullptr;
    };
    std::unique_ptr<Developer> developer;
    std::unique_ptr<Orienter> orienter;
    const CDustAnalyzer* analyzer = nullptr;
    IKelvraDataSource* picture = nullptr;
    // The reference turned to the picture's orientation, when it has one,
    // and the tiles the orientation is read in.
    bool orient = false;
    std::vector<std::uint8_t> oriented;
    TlDustTiles orientTiles;
    // A raw picture as developed, 16-bit RGB, until its luminance is taken.
    std::vector<std::uint16_t> developed;
    int stages = kPassStages;
    KelvraPixelFormat format = 0;
    bool plainLuminance = false;
    bool linear = false;
    TlDustMapPlanes planes;
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
    // A raw picture's luminance always goes through the tone table.
    work.plainLuminance = plainLuminance != 0 && !work.developer;
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
    work.stages = kPassStages + (work.orient || work.developer ? 1 : 0);
    m_total = planes.tiles.Count() * work.stages;
    if (work.orient) {
        if (IKelvraError* error = StartOrienting())
            return Fail(error);
        m_state = kOrienting;
    } else {
        m_state = work.developer ? kDeveloping : kPreparing;
    }
    return nullptr;
}

// State 1 begins: the analysed reference in an image of its own, read
// through the orientation filter with the picture's flip and angle.
IKelvraError* CDustMap::StartOrienting()
{
    CDustMapWork& work = *m_work;
    const TlDustMapPlanes& planes = work.planes;
    TlDustImageShape shape;
    shape.width = planes.referenceWidth;
    shape.height = planes.referenceHeight;
    std::unique_ptr<CDustMapWork::Orienter> orienter(new (std::nothrow) CDustMapWork::Orienter(m_manager));
    if (!orienter)
        return DustError(__LINE__, kKelvraOutOfMemory);
    IKelvraImage* source = nullptr;
    long strip = 0;
    if (IKelvraError* error = CreateDustImage(m_manager, shape, &source, &strip))
        return DustWrap(__LINE__, error);
    if (IKelvraError* error = source->AppendRows(planes.reference, shape.height, shape.width)) {
        source->Release();
        return DustWrap(__LINE__, error);
    }
    if (IKelvraError* error = KelvraDataConnect(source, orienter.get())) {
        source->Release();
        return DustWrap(__LINE__, error);
    }
    orienter->source = source;
    if (IKelvraError* error = orienter->SetTransform(m_contents.flip, double(m_contents.angle), false, false))
        return DustWrap(__LINE__, error);
    long width = 0, height = 0;
    if (IKelvraError* error = orienter->GetSize(&width, &height))
        return DustWrap(__LINE__, error);
    try {
        work.oriented.assign(std::size_t(width) * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    work.orientTiles.width = width;
    work.orientTiles.height = height;
    work.orientTiles.tile = planes.tiles.tile;
    work.orienter = std::move(orienter);
    work.tile = 0;
    return nullptr;
}

// State 1, one tile of the oriented reference a step; after the last the
// filter is ended and the oriented reference stands for the analysed one.
IKelvraError* CDustMap::OrientTile()
{
    CDustMapWork& work = *m_work;
    TlDustMapPlanes& planes = work.planes;
    const TlDustTiles& tiles = work.orientTiles;
    long left, top, right, bottom;
    tiles.Rect(work.tile, planes.reversed, &left, &top, &right, &bottom);
    std::uint8_t* at = work.oriented.data() + std::size_t(top) * std::size_t(tiles.width) + std::size_t(left);
    if (IKelvraError* error = KelvraReadRect(work.orienter.get(), KelvraRect(left, top, right, bottom), at, tiles.width))
        return DustWrap(__LINE__, error);
    if (++work.tile < tiles.Count())
        return nullptr;
    work.orienter.reset();
    planes.reference = work.oriented.data();
    planes.referenceWidth = tiles.width;
    planes.referenceHeight = tiles.height;
    EndStage();
    m_state = kPreparing;
    return nullptr;
}

// State 2, one tile of the developed picture a step; after the last the
// De-Bayer filter is ended and the passes read the developed picture.
IKelvraError* CDustMap::DevelopTile()
{
    CDustMapWork& work = *m_work;
    TlDustMapPlanes& planes = work.planes;
    const TlDustTiles& tiles = planes.tiles;
    if (work.tile == 0 && work.developed.empty()) {
        try {
            work.developed.assign(std::size_t(tiles.width) * std::size_t(tiles.height) * 3, 0);
        } catch (const std::bad_alloc&) {
            return DustError(__LINE__, kKelvraOutOfMemory);
        }
    }
    long left, top, right, bottom;
    tiles.Rect(work.tile, planes.reversed, &left, &top, &right, &bottom);
    std::uint16_t* at = work.developed.data() + (std::size_t(top) * std::size_t(tiles.width) + std::size_t(left)) * 3;
    if (IKelvraError* error = KelvraReadRect(work.developer.get(), KelvraRect(left, top, right, bottom), at,
                                             KelvraRowBytes(kKelvraRGB16, tiles.width)))
        return DustWrap(__LINE__, error);
    if (++work.tile < tiles.Count())
        return nullptr;
    work.developer.reset();
    EndStage();
    m_state = kPreparing;
    return nullptr;
}

// A stage is done: the next runs its tiles the other way round.
void CDustMap::EndStage()
{
    ++m_work->stage;
    m_work->tile = 0;
    m_work->planes.reversed = !m_work->planes.reversed;
}

// State 3 runs on into the luminance pass within the same step.
IKelvraError* CDustMap::Prepare(long& done, long& total)
{
    TlDustMapPlanes& planes = m_work->planes;
    const std::size_t count = std::size_t(planes.tiles.width) * std::size_t(planes.tiles.height);
    try {
        planes.luminance.Allocate(count);
        for (auto* plane : {&planes.encoded, &planes.classes, &planes.shadow, &planes.nearRadius, &planes.nearFlags,
                            &planes.flags, &planes.spread,
                            &planes.radius, &planes.exclusion, &planes.computed, &planes.mask})
            plane->Allocate(count);
        m_work->pixels.resize(std::size_t(KelvraRowBytes(m_work->format, planes.tiles.tile)) *
                              std::size_t(planes.tiles.tile));
    } catch (const std::bad_alloc&) {
        return Fail(DustError(__LINE__, kKelvraOutOfMemory));
    }
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
    m_state = kLuminance;
    return Step(done, total);
}

namespace {
// Y = (T(R) + 2 T(G) + T(B)) / 4 through the forward table, or plain sums
// scaled to 16 bits; `pixels` holds the tile's first row, rows `rowBytes` apart.
template <typename Sample>
void LuminanceRows(const CDustMapWork& work, const unsigned char* pixels, long rowBytes, long left, long top,
                   long right, long bottom, const std::uint16_t* table, TlDustMapPlanes& planes)
{
    const unsigned scale = sizeof(Sample) == 1 ? 257 : 1;
    for (long y = top; y < bottom; ++y) {
        const Sample* in = reinterpret_cast<const Sample*>(pixels + std::size_t(y - top) * std::size_t(rowBytes));
        std::uint16_t* out = &planes.luminance[planes.At(left, y)];
        const long count = right - left;
        if (work.plainLuminance) {
            for (long x = 0; x < count; ++x, in += 3)
                out[x] = std::uint16_t(((in[0] + 2u * in[1] + in[2]) * scale) >> 2);
        } else {
            for (long x = 0; x < count; ++x, in += 3)
                out[x] = std::uint16_t((std::uint32_t(table[in[0]]) + 2u * table[in[1]] + table[in[2]]) >> 2);
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
    planes.tiles.Rect(tile, planes.reversed, &left, &top, &right, &bottom);
    switch (m_state) {
    case kLuminance: {
        const unsigned char* pixels = work.pixels.data();
        long rowBytes = KelvraRowBytes(work.format, right - left);
        if (!work.developed.empty()) {
            rowBytes = KelvraRowBytes(work.format, planes.tiles.width);
            pixels = reinterpret_cast<const unsigned char*>(work.developed.data()) + std::size_t(top) * std::size_t(rowBytes) +
                     std::size_t(KelvraRowBytes(work.format, left));
        } else if (IKelvraError* error = KelvraReadRect(work.picture, KelvraRect(left, top, right, bottom),
                                                        work.pixels.data(), rowBytes)) {
            return DustWrap(__LINE__, error);
        }
        if (KelvraIs16Bit(work.format))
            LuminanceRows<std::uint16_t>(work, pixels, rowBytes, left, top, right, bottom, m_contents.table.data(),
                                         planes);
        else
            LuminanceRows<std::uint8_t>(work, pixels, rowBytes, left, top, right, bottom, m_contents.table.data(),
                                        planes);
        break;
    }
    case kEncoding:
        DustEncodeTile(planes, tile);
        break;
    case kClasses:
        DustClassTile(planes, tile);
        break;
    case kFlags:
        DustFlagTile(planes, tile);
        break;
    case kRadius:
        DustRadiusTile(planes, tile);
        break;
    case kExclusion:
        DustExclusionTile(planes, tile);
        break;
    case kMask:
        DustMaskTile(planes, tile);
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
        case kLuminance:
            work.developed = {};
            break;
        case kEncoding:
            PrepareDustSampling(planes);
            break;
        case kClasses:
            DustShadowImage(planes);
            planes.classes.Release();
            break;
        case kFlags:
            DustSpreadFlags(planes);
            planes.flags.Release();
            planes.encoded.Release();
            planes.shadow.Release();
            planes.nearFlags.Release();
            break;
        case kRadius:
            planes.nearRadius.Release();
            break;
        case kExclusion:
            planes.spread.Release();
            break;
        case kMask:
            DustSmoothMask(planes);
            planes.computed.Release();
            planes.radius.Release();
            planes.luminance.Release();
            break;
        default:
            break;
        }
    } catch (const std::bad_alloc&) {
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    EndStage();
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
    const TlDustPlane<std::uint8_t>& plane = m_state == kCompressingMask ? work.planes.mask : work.planes.exclusion;
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
    const TlDustPlane<std::uint8_t>* sources[2] = {&planes.mask, &planes.exclusion};
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
    long within = m_work->tile;
    if (m_state >= kCompressingMask)
        within = m_work->strip * tiles / strips;
    else if (m_state == kOrienting)
        within = m_work->tile * tiles / std::max(1L, m_work->orientTiles.Count());
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
    case kDeveloping:
        if (IKelvraError* error = m_state == kOrienting ? OrientTile() : DevelopTile())
            return Fail(error);
        break;
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
