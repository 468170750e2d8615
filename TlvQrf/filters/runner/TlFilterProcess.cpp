#include "filters/runner/TlFilterProcess.h"

#include "filters/frame/TlFilterId.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr KelvraTag kProcessTag = TlFilterId("FPrc");

#define FPRC_ERROR(chain, code) IKelvraError::Add((chain), kProcessTag, __LINE__, kKelvraCategoryKelvra, (code))
#define FPRC_WRAP(chain, inner) IKelvraError::AddWorker((chain), kProcessTag, __LINE__, (inner))

// The last output's description, as the destination takes it.
struct Description {
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    double dpi = 0;
    bool flip = false;
    double rotation = 0;
    KelvraPalette palette;
};

IKelvraError* ReadDescription(IKelvraDataSource* output, Description* d)
{
    if (IKelvraError* e = output->GetSize(&d->width, &d->height))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = output->GetColorSpace(&d->format))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = output->GetResolution(&d->dpi))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = output->GetFlip(&d->flip))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = output->GetRotation(&d->rotation))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = output->GetPalette(&d->palette))
        return FPRC_WRAP(nullptr, e);
    return nullptr;
}

IKelvraError* WriteDescription(IKelvraImage* destination, const Description& d)
{
    if (IKelvraError* e = destination->SetSize(d.width, d.height))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = destination->SetColorSpace(d.format))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = destination->SetResolution(d.dpi))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = destination->SetTransform(d.flip, d.rotation, 0))
        return FPRC_WRAP(nullptr, e);
    if (IKelvraError* e = destination->SetPalette(d.palette))
        return FPRC_WRAP(nullptr, e);
    return nullptr;
}

} // namespace

CFilterProcess::CFilterProcess(IKelvraFilter* filter)
{
    if (filter)
        m_filters.push_back(filter);
}

void CFilterProcess::AddFilter(IKelvraFilter* filter)
{
    if (filter && !IsRunning())
        m_filters.push_back(filter);
}

CFilterProcess::~CFilterProcess()
{
    Clear();
}

IKelvraError* CFilterProcess::Run(IKelvraDataSource* source, IKelvraImage* destination)
{
    if (IKelvraError* error = Begin(source, destination))
        return FPRC_WRAP(nullptr, error);
    while (IsRunning()) {
        if (IKelvraError* error = Step(nullptr, nullptr)) {
            IKelvraError* chain = FPRC_WRAP(nullptr, error);
            return FPRC_WRAP(chain, End());
        }
    }
    return nullptr;
}

IKelvraError* CFilterProcess::Begin(IKelvraDataSource* source, IKelvraImage* destination)
{
    if (IKelvraError* error = End())
        return FPRC_WRAP(nullptr, error);
    if (!source || !destination)
        return FPRC_ERROR(nullptr, kKelvraMissingObject);
    m_source = source;
    m_destination = destination;

    long connected = 0;
    IKelvraError* chain = ConnectList(&connected);
    if (!chain)
        chain = DescribeDestination();
    if (!chain) {
        long width = 0;
        long height = 0;
        chain = m_lastOutput->GetSize(&width, &height);
        if (!chain)
            chain = m_lastOutput->MapRect(KelvraRect(0, 0, width, height), &m_tileGrid);
        if (chain)
            chain = FPRC_WRAP(nullptr, chain);
    }
    if (!chain && !m_tileGrid)
        chain = FPRC_ERROR(nullptr, kKelvraOperationFailed);
    if (chain) {
        if (m_tileGrid) {
            m_tileGrid->Release();
            m_tileGrid = nullptr;
        }
        return FPRC_WRAP(chain, Disconnect(connected));
    }
    m_column = 0;
    m_row = 0;
    return nullptr;
}

IKelvraError* CFilterProcess::ConnectList(long* connected)
{
    m_lastOutput = m_source;
    for (IKelvraFilter* filter : m_filters) {
        if (IKelvraError* error = KelvraDataConnect(m_lastOutput, filter))
            return FPRC_WRAP(nullptr, error);
        ++*connected;
        m_lastOutput = filter;
    }
    return nullptr;
}

// Undoes the first `connected` links, the last one first.
IKelvraError* CFilterProcess::Disconnect(long connected)
{
    IKelvraError* chain = nullptr;
    for (long k = connected - 1; k >= 0; --k) {
        IKelvraDataSource* upstream = k == 0 ? m_source : m_filters[std::size_t(k - 1)];
        if (IKelvraError* error = KelvraDataDisconnect(upstream, m_filters[std::size_t(k)]))
            chain = FPRC_WRAP(chain, error);
    }
    return chain;
}

IKelvraError* CFilterProcess::DescribeDestination()
{
    Description description;
    if (IKelvraError* error = ReadDescription(m_lastOutput, &description))
        return error;
    return WriteDescription(m_destination, description);
}

IKelvraError* CFilterProcess::Step(long* done, long* total)
{
    if (!IsRunning()) {
        if (done)
            *done = 1;
        if (total)
            *total = 1;
        return nullptr;
    }
    const long columns = m_tileGrid->GetColumnCount();
    const long rows = m_tileGrid->GetRowCount();
    if (IKelvraError* error = CopyTile(m_column, m_row))
        return error;
    if (done)
        *done = columns * m_row + m_column;
    if (total)
        *total = rows * columns;
    if (++m_column >= columns) {
        m_column = 0;
        ++m_row;
    }
    if (m_row >= rows) {
        if (IKelvraError* error = End())
            return FPRC_WRAP(nullptr, error);
    }
    return nullptr;
}

// Copies grid cell (column, row) of the last output into the destination's
// tile at the same place, row by row (the two tile buffers may differ in
// row bytes; each row copies what both hold).
IKelvraError* CFilterProcess::CopyTile(long column, long row)
{
    const long destColumn = m_tileGrid->GetFirstColumn() + column;
    const long destRow = m_tileGrid->GetFirstRow() + row;
    KelvraRect destRect;
    if (IKelvraError* error = m_destination->GetTile(destColumn, destRow, &destRect))
        return FPRC_WRAP(nullptr, error);

    const void* sourceData = nullptr;
    KelvraRect tileRect;
    long sourceRowBytes = 0;
    if (IKelvraError* error =
            m_lastOutput->LockTile(m_tileGrid, column, row, &sourceData, &tileRect, nullptr, &sourceRowBytes))
        return FPRC_WRAP(nullptr, error);

    void* destData = nullptr;
    long destRowBytes = 0;
    IKelvraError* chain = m_destination->LockTileForWrite(destColumn, destRow, &destData, &destRect, &destRowBytes);
    if (chain) {
        chain = FPRC_WRAP(nullptr, chain);
    } else {
        const long rows = std::min(tileRect.Height(), destRect.Height());
        const long bytes = std::min(sourceRowBytes, destRowBytes);
        for (long y = 0; y < rows; ++y)
            std::memcpy(static_cast<char*>(destData) + y * destRowBytes,
                        static_cast<const char*>(sourceData) + y * sourceRowBytes, std::size_t(bytes));
        if (IKelvraError* error = m_destination->UnlockTileForWrite(destColumn, destRow, true))
            chain = FPRC_WRAP(chain, error);
    }
    if (IKelvraError* error = m_lastOutput->UnlockTile(m_tileGrid, column, row))
        chain = FPRC_WRAP(chain, error);
    return chain;
}

IKelvraError* CFilterProcess::End()
{
    if (!IsRunning())
        return nullptr;
    m_tileGrid->Release();
    m_tileGrid = nullptr;
    m_column = -1;
    m_row = -1;
    return Disconnect(long(m_filters.size()));
}

void CFilterProcess::Clear()
{
    IKelvraError::Release(End());
    m_filters.clear();
}
