#include "kelvra/KelvraProcess.h"

#include "kelvra/KelvraManager.h"
#include "kelvra/KelvraTileCache.h"
#include "kelvra/KelvraWorkers.h"

#include <atomic>
#include <cstring>
#include <new>

// One filter of a run, seen as a data source over the previous stage.
class CKelvraProcessStage : public IKelvraDataSource {
public:
    CKelvraProcessStage(IKelvraFilter* filter, IKelvraDataSource* input, KelvraTag errorTag)
        : m_filter(filter), m_input(input), m_errorTag(errorTag)
    {
    }
    ~CKelvraProcessStage() override
    {
        delete m_info;
        if (m_intermediate)
            m_intermediate->Release();
    }

    IKelvraError* Prepare()
    {
        m_passThrough = m_filter->PassesThrough();
        if (!m_passThrough) {
            if (IKelvraError* error = m_filter->AllocateProcessInfo(&m_info))
                return KELVRA_WRAP(nullptr, m_errorTag, error);
            m_info->sources.assign(1, m_input);
            if (m_filter->WantsWholeInput()) {
                if (IKelvraError* error = MakeIntermediate())
                    return KELVRA_WRAP(nullptr, m_errorTag, error);
                m_info->sources.assign(1, m_intermediate);
            }
        }
        if (IKelvraError* error = ReadLayout())
            return KELVRA_WRAP(nullptr, m_errorTag, error);
        // Two rows of tiles: enough for neighbourhood filters pulling row by
        // row, and a few more for the threads that work on one row at once.
        m_cache.SetCapacity(2 * m_layout.Columns() + 4 * KelvraGetWorkerThreads());
        return nullptr;
    }

    IKelvraFilter* Filter() const { return m_filter; }
    CKelvraProcessInfo* Info() const { return m_info; }

    IKelvraError* GetWidth(long* width) override { return Answer(width, m_layout.width); }
    IKelvraError* GetHeight(long* height) override { return Answer(height, m_layout.height); }
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override { return Answer(format, m_layout.format); }
    IKelvraError* GetResolution(double* dpi) override
    {
        return m_passThrough ? m_input->GetResolution(dpi)
                             : m_filter->GetFilteredResolution(&m_input, 1, dpi);
    }
    IKelvraError* GetFlip(bool* flip) override
    {
        double rotation = 0;
        return m_passThrough ? m_input->GetFlip(flip) : m_filter->GetFilteredTransform(&m_input, 1, flip, &rotation);
    }
    IKelvraError* GetRotation(double* degrees) override
    {
        bool flip = false;
        return m_passThrough ? m_input->GetRotation(degrees)
                             : m_filter->GetFilteredTransform(&m_input, 1, &flip, degrees);
    }
    IKelvraError* GetTileSize(long* size) override { return Answer(size, m_layout.tileSize); }
    IKelvraError* GetPalette(KelvraPalette* palette) override
    {
        return m_passThrough ? m_input->GetPalette(palette) : m_filter->GetFilteredPalette(&m_input, 1, palette);
    }
    IKelvraError* TileExists(long column, long row, bool* exists) override
    {
        if (m_passThrough)
            return m_input->TileExists(column, row, exists);
        return Answer(exists, m_cache.Contains(column, row));
    }
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override
    {
        if (m_passThrough)
            return m_input->LockTile(column, row, data, rect, rowBytes);
        auto generate = [this](IKelvraTile* tile) { return m_filter->DoGenerateTile(tile, m_info); };
        return m_cache.Lock(m_layout, column, row, generate, data, rect, rowBytes, m_errorTag);
    }
    IKelvraError* UnlockTile(long column, long row) override
    {
        if (m_passThrough)
            return m_input->UnlockTile(column, row);
        return m_cache.Unlock(column, row) ? nullptr : KELVRA_ERROR(nullptr, m_errorTag, kKelvraBadArgument);
    }

private:
    // The previous stage's whole output, for filters that read all of it.
    IKelvraError* MakeIntermediate()
    {
        IKelvraManager* manager = m_filter->GetManager();
        if (!manager)
            return KELVRA_ERROR(nullptr, m_errorTag, kKelvraMissingObject);
        if (IKelvraError* error = manager->CreateImage(&m_intermediate, 0))
            return error;
        CKelvraProcessRun* copy = nullptr;
        if (IKelvraError* error = CKelvraProcessRun::Begin({}, m_input, m_intermediate, m_errorTag, &copy))
            return error;
        IKelvraError* error = nullptr;
        while (!error && !copy->IsComplete())
            error = copy->Step(nullptr, nullptr);
        delete copy;
        return error;
    }

    template <typename T, typename V>
    IKelvraError* Answer(T* out, V value)
    {
        if (!out)
            return KELVRA_ERROR(nullptr, m_errorTag, kKelvraMissingObject);
        *out = T(value);
        return nullptr;
    }

    IKelvraError* ReadLayout()
    {
        IKelvraError* error = m_input->GetTileSize(&m_layout.tileSize);
        if (!error && m_passThrough)
            error = m_input->GetSize(&m_layout.width, &m_layout.height);
        else if (!error)
            error = m_filter->GetFilteredSize(&m_input, 1, &m_layout.width, &m_layout.height);
        if (!error && m_passThrough)
            error = m_input->GetColorSpace(&m_layout.format);
        else if (!error)
            error = m_filter->GetFilteredColorSpace(&m_input, 1, &m_layout.format);
        return error;
    }

    IKelvraFilter* m_filter;
    IKelvraDataSource* m_input;
    KelvraTag m_errorTag;
    bool m_passThrough = false;
    CKelvraProcessInfo* m_info = nullptr;
    IKelvraImage* m_intermediate = nullptr;
    KelvraTileLayout m_layout;
    CKelvraTileCache m_cache;
};

CKelvraProcessRun::CKelvraProcessRun(IKelvraImage* destination, KelvraTag errorTag)
    : m_destination(destination), m_errorTag(errorTag)
{
}

CKelvraProcessRun::~CKelvraProcessRun()
{
    // Later stages read from earlier ones: free them last to first.
    while (!m_stages.empty())
        m_stages.pop_back();
}

IKelvraError* CKelvraProcessRun::Begin(const std::vector<IKelvraFilter*>& filters, IKelvraDataSource* input,
                                       IKelvraImage* destination, KelvraTag errorTag, CKelvraProcessRun** run)
{
    if (!run || !input || !destination)
        return KELVRA_ERROR(nullptr, errorTag, kKelvraMissingObject);
    std::unique_ptr<CKelvraProcessRun> made(new (std::nothrow) CKelvraProcessRun(destination, errorTag));
    if (!made)
        return KELVRA_ERROR(nullptr, errorTag, kKelvraOutOfMemory);
    IKelvraDataSource* previous = input;
    try {
        for (IKelvraFilter* filter : filters) {
            if (!filter)
                return KELVRA_ERROR(nullptr, errorTag, kKelvraMissingObject);
            made->m_stages.emplace_back(new CKelvraProcessStage(filter, previous, errorTag));
            if (IKelvraError* error = made->m_stages.back()->Prepare())
                return error;
            previous = made->m_stages.back().get();
        }
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, errorTag, kKelvraOutOfMemory);
    }
    made->m_output = previous;
    if (IKelvraError* error = made->Describe())
        return error;
    *run = made.release();
    return nullptr;
}

IKelvraError* CKelvraProcessRun::Describe()
{
    long width = 0, height = 0, tileSize = 0;
    KelvraPixelFormat format = 0;
    double dpi = 0, rotation = 0;
    bool flip = false;
    KelvraPalette palette;
    IKelvraError* error = m_output->GetSize(&width, &height);
    if (!error)
        error = m_output->GetColorSpace(&format);
    if (!error)
        error = m_output->GetResolution(&dpi);
    if (!error)
        error = m_output->GetFlip(&flip);
    if (!error)
        error = m_output->GetRotation(&rotation);
    if (!error)
        error = m_output->GetPalette(&palette);
    if (!error)
        error = m_output->GetTileSize(&tileSize);
    if (!error)
        error = m_destination->SetSize(width, height);
    if (!error)
        error = m_destination->SetColorSpace(format);
    if (!error)
        error = m_destination->SetResolution(dpi);
    if (!error)
        error = m_destination->SetTransform(flip, rotation, 0);
    if (!error)
        error = m_destination->SetPalette(palette); // also clears a palette a reused image had
    if (error)
        return KELVRA_WRAP(nullptr, m_errorTag, error);
    long destinationTile = 0;
    if ((error = m_destination->GetTileSize(&destinationTile)) != nullptr)
        return KELVRA_WRAP(nullptr, m_errorTag, error);
    if (destinationTile != tileSize) // one grid per manager: a foreign grid cannot be copied tile for tile
        return KELVRA_ERROR(nullptr, m_errorTag, kKelvraBadArgument);
    m_columns = tileSize > 0 ? (width + tileSize - 1) / tileSize : 0;
    m_rows = tileSize > 0 ? (height + tileSize - 1) / tileSize : 0;
    return nullptr;
}

// The worker threads make the row's output tiles, each column once, and
// leave them locked; a failed tile stops the others taking new columns.
void CKelvraProcessRun::MakeRow(long row, std::vector<MadeTile>& made)
{
    std::atomic<long> next{0};
    std::atomic<bool> failed{false};
    KelvraRunOnWorkers([&] {
        for (long column = next++; column < m_columns && !failed.load(); column = next++) {
            MadeTile& tile = made[std::size_t(column)];
            tile.error = m_output->LockTile(column, row, &tile.data, &tile.rect, &tile.rowBytes);
            if (tile.error) {
                tile.data = nullptr;
                failed.store(true);
            }
        }
    });
}

IKelvraError* CKelvraProcessRun::WriteTile(long column, long row, const MadeTile& tile)
{
    void* target = nullptr;
    KelvraRect targetRect;
    long targetRowBytes = 0;
    IKelvraError* error = m_destination->LockTileForWrite(column, row, &target, &targetRect, &targetRowBytes);
    if (error)
        return KELVRA_WRAP(nullptr, m_errorTag, error);
    const long bytes = tile.rowBytes < targetRowBytes ? tile.rowBytes : targetRowBytes;
    for (long y = 0; y < tile.rect.Height(); ++y)
        std::memcpy(static_cast<char*>(target) + y * targetRowBytes,
                    static_cast<const char*>(tile.data) + y * tile.rowBytes, std::size_t(bytes));
    error = m_destination->UnlockTileForWrite(column, row, true);
    return error ? KELVRA_WRAP(nullptr, m_errorTag, error) : nullptr;
}

// Makes a row of tiles on the workers, then writes them on the caller's
// thread from left to right, so that the destination is written in order
// and its destinations hear of it where they asked. The first failure (the
// leftmost) is the run's; the others say nothing new.
IKelvraError* CKelvraProcessRun::FillRow(long row)
{
    std::vector<MadeTile> made;
    try {
        made.resize(std::size_t(m_columns));
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, m_errorTag, kKelvraOutOfMemory);
    }
    MakeRow(row, made);
    IKelvraError* first = nullptr;
    for (long column = 0; column < m_columns; ++column) {
        MadeTile& tile = made[std::size_t(column)];
        if (tile.error) {
            if (first)
                IKelvraError::Release(tile.error);
            else
                first = KELVRA_WRAP(nullptr, m_errorTag, tile.error);
            continue;
        }
        if (!tile.data)
            continue; // never made: another tile failed first
        if (!first)
            first = WriteTile(column, row, tile);
        IKelvraError::Release(m_output->UnlockTile(column, row));
    }
    return first;
}

IKelvraError* CKelvraProcessRun::Step(long* done, long* total)
{
    if (!IsComplete()) {
        if (IKelvraError* error = FillRow(m_nextRow))
            return error;
        ++m_nextRow;
    }
    if (done)
        *done = m_nextRow;
    if (total)
        *total = IsComplete() ? 0 : m_rows;
    return nullptr;
}

CKelvraProcessInfo* CKelvraProcessRun::GetInfo(IKelvraFilter* filter) const
{
    for (const auto& stage : m_stages) {
        if (stage->Filter() == filter)
            return stage->Info();
    }
    return nullptr;
}
