#include "MediaItems.h"

#include "EffectDescription.h"
#include "PlayerHost.h"
#include "SlideOverlay.h"
#include "SlideshowMessages.h"
#include "SlideshowSequencer.h"

#include "kelvra/KelvraImage.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"
#include "runbase/TlvSourceData.h"

#include <algorithm>
#include <vector>

namespace {

// The image a slide asks the item service for: this part, its long side at most 4096.
constexpr long kImagePart = 4;
constexpr long kImageSize = 4096;
constexpr std::uint32_t kMovieCreator = TlFourCC("TVOD");
constexpr long kMovieScript = -2;
constexpr std::uint32_t kMovieFlags = 0x90000000;
constexpr long kSampleQuality = 0x300;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct ItemIdPair {
    DWORD low;
    DWORD high;
};

} // namespace

unsigned long ItemServiceImage(ITlvItemService* items, TlvItemId id, IKelvraImage** image)
{
    *image = nullptr;
    if (items == nullptr)
        return TLV_ERR_NOT_FOUND;
    ITlvItemRecord* record = nullptr;
    unsigned long result = items->GetItemRecord(id, &record);
    if (TlvFailed(result) || record == nullptr)
        return TlvFailed(result) ? result : TLV_ERR_NOT_FOUND;
    result = record->GetPart(kImagePart, kImageSize, image);
    if (!TlvFailed(result) && *image == nullptr)
        result = TLV_ERR_NOT_FOUND;
    return result;
}

// ---- MediaItem

MediaItem::MediaItem(SlideshowSequencer& sequencer, int index, TlvItemId id)
    : m_sequencer(sequencer), m_index(index), m_id(id)
{
}

MediaItem::~MediaItem()
{
    MediaItem::DisposeMovie();
}

const TlMovieEntry& MediaItem::Movies() const
{
    return m_sequencer.Movies();
}

void MediaItem::DisposeMovie()
{
    if (m_movie != nullptr)
        Movies().DisposeMovie(m_movie);
    m_movie = nullptr;
}

void MediaItem::DisposeAll()
{
    DisposeMovie();
}

void MediaItem::Show()
{
    if (m_movie == nullptr)
        return;
    const RECT& area = m_sequencer.SlideArea();
    Movies().PlaceMovie(m_movie, m_sequencer.SlideWindow(), &area);
    Movies().GoToBeginning(m_movie);
    Movies().StartMovie(m_movie);
    m_paused = false;
    Redraw();
}

bool MediaItem::IsPlaying() const
{
    return m_movie != nullptr && !Movies().IsMovieDone(m_movie);
}

void MediaItem::Service(long allowance)
{
    if (m_movie != nullptr)
        Movies().ServiceMovie(m_movie, allowance);
}

void MediaItem::Redraw()
{
    if (m_movie != nullptr)
        Movies().UpdateMovie(m_movie);
}

void MediaItem::Pause()
{
    if (m_movie != nullptr)
        Movies().StopMovie(m_movie);
    m_paused = true;
}

void MediaItem::Resume()
{
    if (m_movie != nullptr)
        Movies().StartMovie(m_movie);
    m_paused = false;
}

long MediaItem::Length() const
{
    return m_movie != nullptr ? Movies().GetDuration(m_movie) : 0;
}

// ---- TimedItem

TimedItem::TimedItem(SlideshowSequencer& sequencer, int index, TlvItemId id) : MediaItem(sequencer, index, id) {}

TimedItem::~TimedItem()
{
    TimedItem::DisposeAll();
}

void TimedItem::DisposeMovie()
{
    MediaItem::DisposeMovie();
    DeleteTempMovie(m_tempFile);
    m_tempFile.clear();
}

void TimedItem::DisposeBuffer()
{
    if (m_buffer != nullptr)
        Movies().DisposeBuffer(m_buffer);
    m_buffer = nullptr;
}

void TimedItem::DisposeAll()
{
    DisposeBuilt();
}

void TimedItem::DisposeBuilt()
{
    DisposeMovie();
    DisposeBuffer();
}

bool TimedItem::NeedsRebuild() const
{
    const RECT& area = m_sequencer.SlideArea();
    return (m_buffer != nullptr && !SameRect(m_bufferArea, area)) || (IsBuilt() && !SameRect(m_builtArea, area));
}

void TimedItem::DrawPicture(HDC dc, std::uint8_t*, long, const RECT& area)
{
    const std::uint16_t* colour = m_sequencer.Settings().background;
    HBRUSH brush = CreateSolidBrush(RGB(colour[0] >> 8, colour[1] >> 8, colour[2] >> 8));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    GdiFlush();
}

TlMovieBuffer* TimedItem::EnsureBuffer()
{
    const RECT& area = m_sequencer.SlideArea();
    if (m_buffer != nullptr && SameRect(area, m_bufferArea))
        return m_buffer;
    DisposeBuffer();
    const long width = area.right - area.left, height = area.bottom - area.top;
    if (Movies().NewBuffer(width, height, kTlMovieBGR24, &m_buffer) != kTlMovieOk)
        return m_buffer = nullptr;
    m_bufferArea = area;
    long rowBytes = 0;
    std::uint8_t* pixels = Movies().BufferPixels(m_buffer, &rowBytes);
    const RECT local = {0, 0, width, height};
    DrawPicture(Movies().BufferContext(m_buffer), pixels, rowBytes, local);
    return m_buffer;
}

bool TimedItem::Build()
{
    m_duration = m_sequencer.SlideDuration();
    m_builtArea = m_sequencer.SlideArea();
    TlMovieBuffer* buffer = EnsureBuffer();
    std::string name;
    SlideshowPlayerHost* host = m_sequencer.PlayerHost();
    // Without a buffer or a temporary name the picture has no movie; the show goes on.
    if (buffer == nullptr || host == nullptr || !host->TempName(".tmp", name)) {
        m_tempFile = "-";
        return true;
    }
    const TlMovieEntry& movies = Movies();
    TlMovie* movie = nullptr;
    TlMovieTrack* track = nullptr;
    TlMovieMedia* media = nullptr;
    const long width = m_bufferArea.right - m_bufferArea.left, height = m_bufferArea.bottom - m_bufferArea.top;
    const long length = std::max(1L, long(m_duration));
    bool made = movies.CreateMovieFile(name.c_str(), kMovieCreator, kMovieScript, kMovieFlags, &movie) == kTlMovieOk &&
                movies.NewTrack(movie, width, height, &track) == kTlMovieOk &&
                movies.NewMedia(track, kTlMovieVideo, kTlMovieTimeScale, &media) == kTlMovieOk &&
                movies.AddSample(media, buffer, kTlMovieRle, kSampleQuality, length) == kTlMovieOk &&
                movies.InsertMedia(track, media) == kTlMovieOk && movies.SaveMovie(movie) == kTlMovieOk;
    if (movie != nullptr)
        movies.DisposeMovie(movie);
    if (!made) {
        DeleteTempMovie(name);
        name = "-";
    }
    m_tempFile = name;
    return true;
}

bool TimedItem::Open()
{
    if (m_movie != nullptr || m_tempFile.empty() || m_tempFile == "-")
        return false;
    Movies().OpenMovie(m_tempFile.c_str(), &m_movie);
    return true;
}

// ---- SlideItem

SlideItem::SlideItem(SlideshowSequencer& sequencer, int index, const ShowRecord& record)
    : TimedItem(sequencer, index, record.ItemId()), m_record(record)
{
}

bool SlideItem::IsReady() const
{
    return m_image != nullptr || m_buffer != nullptr || m_movie != nullptr || m_loadError != 0;
}

bool SlideItem::NeedsRebuild() const
{
    return TimedItem::NeedsRebuild() ||
           ((m_buffer != nullptr || IsBuilt()) && m_overlayDrawn != m_sequencer.Settings().showFileInfo);
}

void SlideItem::DisposeAll()
{
    TimedItem::DisposeAll();
    m_image = nullptr;
    m_overlayDrawn = false;
}

void SlideItem::StartLoading(bool showingNow)
{
    if (m_loading || m_image != nullptr || m_loadError != 0)
        return;
    if (!m_sequencer.OnWindowThread()) {
        // Only the window thread asks the host for images.
        m_loading = true;
        m_sequencer.PostToFrame(kShowMsgReloadItem, WPARAM(TlvItemLow(m_id)), LPARAM(TlvItemHigh(m_id)));
        return;
    }
    LoadImage(showingNow);
}

void SlideItem::LoadImage(bool showingNow)
{
    m_loading = true;
    IKelvraImage* image = nullptr;
    if (!TlvFailed(ItemServiceImage(m_sequencer.Environment().items, m_id, &image))) {
        m_sequencer.ReloadItem(m_id, image);
        return;
    }
    const TlvHostCallback host = m_sequencer.Environment().host;
    const unsigned long asked =
        host ? host(TLV_MSG_LOAD_ITEM_IMAGE, TlvItemLow(m_id), TlvItemHigh(m_id), 0, 0, 0, showingNow ? 5 : 4, 0,
                    kSlideReplyImageLoad)
             : TLV_ERR_FAILED;
    if (TlvFailed(asked)) {
        TakeImage(nullptr, asked);
        return;
    }
    // The host may have the image at once; 2 means it reports the load later.
    if (!TlvFailed(ItemServiceImage(m_sequencer.Environment().items, m_id, &image)))
        m_sequencer.ReloadItem(m_id, image);
    else if (asked != 2)
        TakeImage(nullptr, TLV_ERR_NOT_FOUND);
}

void SlideItem::TakeImage(IKelvraImage* image, unsigned long error)
{
    m_image = image;
    m_loadError = image != nullptr ? 0 : (error != 0 ? error : TLV_ERR_NOT_FOUND);
    m_loading = false;
}

void SlideItem::DrawPicture(HDC dc, std::uint8_t* pixels, long rowBytes, const RECT& area)
{
    TimedItem::DrawPicture(dc, pixels, rowBytes, area);
    if (m_image != nullptr)
        DrawImage(pixels, rowBytes, area);
    m_overlayDrawn = m_sequencer.Settings().showFileInfo;
    if (m_overlayDrawn)
        DrawOverlay(dc, pixels, rowBytes, area, m_record);
}

void SlideItem::DrawImage(std::uint8_t* pixels, long rowBytes, const RECT& area)
{
    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = m_image->GetSize(&width, &height)) {
        IKelvraError::Release(error);
        return;
    }
    if (IKelvraError* error = m_image->GetColorSpace(&format)) {
        IKelvraError::Release(error);
        return;
    }
    if (format != kKelvraRGB8 || width < 1 || height < 1)
        return;
    // Centred 1:1; the part that does not fit is cut evenly on both sides.
    const long areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    const long shownWidth = std::min(width, areaWidth), shownHeight = std::min(height, areaHeight);
    const long sourceX = (width - shownWidth) / 2, sourceY = (height - shownHeight) / 2;
    const long targetX = area.left + (areaWidth - shownWidth) / 2, targetY = area.top + (areaHeight - shownHeight) / 2;
    std::vector<std::uint8_t> rgb(std::size_t(shownWidth) * std::size_t(shownHeight) * 3);
    const KelvraRect rect(sourceX, sourceY, sourceX + shownWidth, sourceY + shownHeight);
    if (IKelvraError* error = KelvraReadRect(m_image, rect, rgb.data(), shownWidth * 3)) {
        IKelvraError::Release(error);
        return;
    }
    for (long y = 0; y < shownHeight; ++y) {
        const std::uint8_t* from = rgb.data() + std::size_t(y) * std::size_t(shownWidth) * 3;
        std::uint8_t* to = pixels + (targetY + y) * rowBytes + targetX * 3;
        for (long x = 0; x < shownWidth; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
}

unsigned long SlideItem::Rotate(int angle)
{
    const TlvHostCallback host = m_sequencer.Environment().host;
    if (host == nullptr)
        return TLV_ERR_FAILED;
    int value = angle;
    return host(kSlideMsgRotate, TlvItemLow(m_id), TlvItemHigh(m_id), reinterpret_cast<TlvWord>(&value), 1,
                TLV_TYPE_INT, 4, 0, kSlideReplyRotate);
}

unsigned long SlideItem::RunEditFunction(unsigned long functionId, HWND frame)
{
    const TlvHostCallback host = m_sequencer.Environment().host;
    if (host == nullptr)
        return TLV_ERR_FAILED;
    ItemIdPair pair = {DWORD(TlvItemLow(m_id)), DWORD(TlvItemHigh(m_id))};
    return host(TLV_MSG_RUN_FUNCTION, functionId, 0, reinterpret_cast<TlvWord>(&pair), 1, TLV_TYPE_ITEM_IDS, 0,
                reinterpret_cast<TlvWord>(frame), kSlideshowFunctionId);
}

unsigned long SlideItem::SetMark(bool marked)
{
    ITlvItemService* items = m_sequencer.Environment().items;
    const TlvHostCallback host = m_sequencer.Environment().host;
    CTlvSourceData* source = nullptr;
    if (items == nullptr || host == nullptr)
        return TLV_ERR_FAILED;
    const unsigned long result = items->GetSourceData(m_id, 0, 0, &source);
    if (TlvFailed(result) || source == nullptr)
        return TlvFailed(result) ? result : TLV_ERR_FAILED;
    if (!source->SetMarked(marked))
        return TLV_ERR_UNSUPPORTED_SOURCE;
    return host(kSlideMsgUpdateSourceData, TlvItemLow(m_id), TlvItemHigh(m_id), reinterpret_cast<TlvWord>(source),
                1, TLV_TYPE_SOURCE_DATA, 0, 16, 0);
}

bool SlideItem::IsMarked() const
{
    ITlvItemService* items = m_sequencer.Environment().items;
    CTlvSourceData* source = nullptr;
    return items != nullptr && !TlvFailed(items->GetSourceData(m_id, 0, 0, &source)) && source != nullptr &&
           source->IsMarked();
}

// ---- MovieItem

MovieItem::MovieItem(SlideshowSequencer& sequencer, int index, const ShowRecord& record, std::string path)
    : MediaItem(sequencer, index, record.ItemId()), m_record(record), m_path(std::move(path))
{
}

bool MovieItem::Open()
{
    if (m_movie != nullptr || m_failed)
        return false;
    // A movie that cannot be opened is passed over.
    m_failed = Movies().OpenMovie(m_path.c_str(), &m_movie) != kTlMovieOk;
    return true;
}

void MovieItem::Service(long allowance)
{
    if (!m_sequencer.Settings().showFileInfo) {
        MediaItem::Service(allowance);
        return;
    }
    Redraw();
}

void MovieItem::Redraw()
{
    MediaItem::Redraw();
    if (m_movie != nullptr && m_sequencer.Settings().showFileInfo)
        DrawOverlayOnWindow(m_sequencer.SlideWindow(), m_sequencer.SlideArea(), m_record);
}

// ---- TransitionItem

TransitionItem::TransitionItem(SlideshowSequencer& sequencer, int index) : MediaItem(sequencer, index, 0) {}

bool TransitionItem::HasEffect() const
{
    return m_sequencer.Settings().transitionKind != kTransitionNone;
}

bool TransitionItem::IsReady() const
{
    if (!HasEffect())
        return true;
    const TimedItem* outgoing = m_sequencer.OutgoingOf(m_index);
    const TimedItem* incoming = m_sequencer.IncomingOf(m_index);
    return outgoing != nullptr && incoming != nullptr && outgoing->IsReady() && incoming->IsReady();
}

bool TransitionItem::NeedsRebuild() const
{
    if (m_movie == nullptr && !m_failed)
        return false;
    const SlideshowSettings& settings = m_sequencer.Settings();
    return settings.transitionKind != m_settingKind || settings.transitionParameter != m_settingParameter ||
           m_sequencer.OutgoingOf(m_index) != m_outgoing || m_sequencer.IncomingOf(m_index) != m_incoming ||
           !SameRect(m_sequencer.SlideArea(), m_area);
}

void TransitionItem::DisposeMovie()
{
    MediaItem::DisposeMovie();
    m_failed = false;
}

bool TransitionItem::Build()
{
    if (!HasEffect() || m_movie != nullptr)
        return false;
    const SlideshowSettings& settings = m_sequencer.Settings();
    m_settingKind = settings.transitionKind;
    m_settingParameter = settings.transitionParameter;
    m_kind = m_settingKind;
    m_parameter = m_settingParameter;
    if (m_kind == kTransitionRandom) {
        const RandomDeck::Card card = m_sequencer.DrawRandom();
        m_kind = card.kind;
        m_parameter = card.parameter;
    }
    m_outgoing = m_sequencer.OutgoingOf(m_index);
    m_incoming = m_sequencer.IncomingOf(m_index);
    m_area = m_sequencer.SlideArea();
    TlMovieBuffer* from = m_outgoing ? const_cast<TimedItem*>(m_outgoing)->EnsureBuffer() : nullptr;
    TlMovieBuffer* to = m_incoming ? const_cast<TimedItem*>(m_incoming)->EnsureBuffer() : nullptr;
    const EffectDescription description = MakeEffectDescription(m_kind, m_parameter);
    const TlMovieImageDescription image = {m_kind, TlFourCC("appl"), 512, m_area.right - m_area.left,
                                           m_area.bottom - m_area.top, 72.0, 72.0};
    // A transition that cannot be made is passed over like one without effect.
    m_failed = from == nullptr || to == nullptr ||
               Movies().NewEffectMovie(description.atoms.data(), description.atoms.size(), &image,
                                       description.swapped ? to : from, description.swapped ? from : to, kLength,
                                       &m_movie) != kTlMovieOk;
    return true;
}

// ---- SoundItem

SoundItem::SoundItem(SlideshowSequencer& sequencer, std::string path)
    : MediaItem(sequencer, -1, 0), m_path(std::move(path))
{
}

bool SoundItem::Open()
{
    if (m_movie != nullptr)
        return false;
    Movies().OpenSoundMovie(m_path.c_str(), &m_movie);
    return true;
}
