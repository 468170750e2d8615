#include "filters/runner/TlFilterProcess.h"

#include "filters/frame/TlFilterId.h"
#include "kelvra/KelvraProcess.h"

namespace {

constexpr KelvraTag kProcessTag = TlFilterId("FPrc");

#define FPRC_ERROR(chain, code) IKelvraError::Add((chain), kProcessTag, __LINE__, kKelvraCategoryKelvra, (code))
#define FPRC_WRAP(chain, inner) IKelvraError::AddWorker((chain), kProcessTag, __LINE__, (inner))

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

    long connected = 0;
    IKelvraError* chain = ConnectList(&connected);
    if (!chain)
        chain = CKelvraProcessRun::Begin(m_filters, source, destination, kProcessTag, &m_run);
    if (chain) {
        m_run = nullptr;
        return FPRC_WRAP(chain, Disconnect(connected));
    }
    return nullptr;
}

IKelvraError* CFilterProcess::ConnectList(long* connected)
{
    IKelvraDataSource* upstream = m_source;
    for (IKelvraFilter* filter : m_filters) {
        if (IKelvraError* error = KelvraDataConnect(upstream, filter))
            return FPRC_WRAP(nullptr, error);
        ++*connected;
        upstream = filter;
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

IKelvraError* CFilterProcess::Step(long* done, long* total)
{
    if (!IsRunning()) {
        if (done)
            *done = 1;
        if (total)
            *total = 1;
        return nullptr;
    }
    long filled = 0, remaining = 0;
    if (IKelvraError* error = m_run->Step(&filled, &remaining))
        return FPRC_WRAP(nullptr, error);
    if (done)
        *done = filled;
    if (total)
        *total = m_run->GetRowCount();
    if (remaining == 0) {
        if (IKelvraError* error = End())
            return FPRC_WRAP(nullptr, error);
    }
    return nullptr;
}

IKelvraError* CFilterProcess::End()
{
    if (!IsRunning())
        return nullptr;
    delete m_run;
    m_run = nullptr;
    return Disconnect(long(m_filters.size()));
}

void CFilterProcess::Clear()
{
    IKelvraError::Release(End());
    m_filters.clear();
}
