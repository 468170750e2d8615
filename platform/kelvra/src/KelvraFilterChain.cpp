#include "kelvra/KelvraFilterChain.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "kelvra/KelvraProcess.h"
#include "KelvraFactories.h"

#include <algorithm>
#include <new>
#include <set>
#include <vector>

namespace {

const KelvraTag kChainTag = KelvraFourCC('K', 'C', 'h', 'n');

class CKelvraFilterChain;

// Receives what the last filter sends and passes it to the chain's own
// destinations, so that they hear the chain's output change.
class CChainTail : public IKelvraDataDestination {
public:
    explicit CChainTail(CKelvraFilterChain& chain) : m_chain(chain) {}
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;

private:
    CKelvraFilterChain& m_chain;
};

class CKelvraFilterChain : public IKelvraFilterChain, private IKelvraSourceObserver {
public:
    CKelvraFilterChain() : m_tail(*this) {}

    ~CKelvraFilterChain() override
    {
        UnlinkAll();
        for (void* run : m_runs)
            delete static_cast<CKelvraProcessRun*>(run);
    }

    // Links.
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource* source) override
    {
        // One input only; the chain cannot feed itself.
        if (m_input || source == this)
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraBadArgument);
        return nullptr;
    }
    void KelvraAddedDataSource(IKelvraDataSource* source) override
    {
        m_input = source;
        if (!m_filters.empty())
            IKelvraError::Release(KelvraDataConnect(m_input, m_filters.front()));
    }
    void KelvraRemovedDataSource(IKelvraDataSource* source) override
    {
        if (source != m_input)
            return;
        if (!m_filters.empty() && KelvraIsConnected(m_input, m_filters.front()))
            IKelvraError::Release(KelvraDataDisconnect(m_input, m_filters.front()));
        m_input = nullptr;
    }
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override
    {
        // With filters in place the first filter hears the input itself and
        // the news reaches us through the tail.
        if (!m_filters.empty() || code == kKelvraNotifyDestroyed)
            return nullptr;
        return KelvraForwardDataNotification(this, source, code, data);
    }
    IKelvraError* ForwardFromTail(IKelvraDataSource* source, long code, void* data)
    {
        return KelvraForwardDataNotification(this, source, code, data);
    }

    // The list.
    IKelvraError* InsertFilter(IKelvraFilter* filter, long index) override
    {
        if (!filter || index < -1 || index > GetFilterCount() || IndexOf(filter) >= 0)
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraBadArgument);
        const std::size_t at = index < 0 ? m_filters.size() : std::size_t(index);
        IKelvraDataSource* previous = PreviousOf(at);
        IKelvraDataDestination* next = NextOf(at);
        if (IKelvraError* error = Splice(previous, next, filter))
            return error;
        try {
            m_filters.insert(m_filters.begin() + long(at), filter);
            KelvraObserveSource(filter, this);
        } catch (const std::bad_alloc&) {
            if (IndexOf(filter) >= 0)
                m_filters.erase(m_filters.begin() + long(at));
            Unsplice(previous, next, filter);
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraOutOfMemory);
        }
        return nullptr;
    }
    IKelvraError* RemoveFilter(long index) override
    {
        if (index < 0 || index >= GetFilterCount())
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraBadArgument);
        const std::size_t at = std::size_t(index);
        IKelvraFilter* filter = m_filters[at];
        IKelvraDataSource* previous = PreviousOf(at);
        IKelvraDataDestination* next = NextOf(at + 1);
        m_filters.erase(m_filters.begin() + index);
        KelvraUnobserveSource(filter, this);
        Unsplice(previous, next, filter);
        return nullptr;
    }
    IKelvraFilter* GetFilter(long index) const override
    {
        return index >= 0 && index < GetFilterCount() ? m_filters[std::size_t(index)] : nullptr;
    }
    long GetFilterCount() const override { return long(m_filters.size()); }
    long IndexOf(IKelvraFilter* filter) const override
    {
        auto it = std::find(m_filters.begin(), m_filters.end(), filter);
        return it == m_filters.end() ? -1 : long(it - m_filters.begin());
    }
    long FindNext(KelvraTag id, long start) const override
    {
        for (long i = start < 0 ? 0 : start; i < GetFilterCount(); ++i) {
            if (m_filters[std::size_t(i)]->GetFilterTag() == id)
                return i;
        }
        return -1;
    }
    // Tile pulls are cheap and cached per filter, so a pointer track needs no
    // special set-up of the chain.
    IKelvraError* PrepareForTrack(long) override { return nullptr; }
    IKelvraDataSource* GetOutput() const override
    {
        return m_filters.empty() ? m_input : static_cast<IKelvraDataSource*>(m_filters.back());
    }

    // Data source: the output answers.
    IKelvraError* GetWidth(long* v) override { return Output([&](IKelvraDataSource* s) { return s->GetWidth(v); }); }
    IKelvraError* GetHeight(long* v) override { return Output([&](IKelvraDataSource* s) { return s->GetHeight(v); }); }
    IKelvraError* GetColorSpace(KelvraPixelFormat* v) override
    {
        return Output([&](IKelvraDataSource* s) { return s->GetColorSpace(v); });
    }
    IKelvraError* GetResolution(double* v) override
    {
        return Output([&](IKelvraDataSource* s) { return s->GetResolution(v); });
    }
    IKelvraError* GetFlip(bool* v) override { return Output([&](IKelvraDataSource* s) { return s->GetFlip(v); }); }
    IKelvraError* GetRotation(double* v) override
    {
        return Output([&](IKelvraDataSource* s) { return s->GetRotation(v); });
    }
    IKelvraError* GetTileSize(long* v) override
    {
        return Output([&](IKelvraDataSource* s) { return s->GetTileSize(v); });
    }
    IKelvraError* GetPalette(KelvraPalette* v) override
    {
        return Output([&](IKelvraDataSource* s) { return s->GetPalette(v); });
    }
    IKelvraError* TileExists(long column, long row, bool* exists) override
    {
        return Output([&](IKelvraDataSource* s) { return s->TileExists(column, row, exists); });
    }
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override
    {
        return Output([&](IKelvraDataSource* s) { return s->LockTile(column, row, data, rect, rowBytes); });
    }
    IKelvraError* UnlockTile(long column, long row) override
    {
        return Output([&](IKelvraDataSource* s) { return s->UnlockTile(column, row); });
    }

    // Process runs over every filter of the chain.
    IKelvraError* BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                               IKelvraImage* destination) override
    {
        if (!handle || !sources || count < 1)
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraMissingObject);
        CKelvraProcessRun* run = nullptr;
        if (IKelvraError* error = CKelvraProcessRun::Begin(m_filters, sources[0], destination, kChainTag, &run))
            return error;
        try {
            m_runs.insert(run);
        } catch (const std::bad_alloc&) {
            delete run;
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraOutOfMemory);
        }
        *handle = run;
        return nullptr;
    }
    IKelvraError* ExecuteProcess(void* handle, long* done, long* total) override
    {
        if (!m_runs.count(handle))
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraBadArgument);
        return static_cast<CKelvraProcessRun*>(handle)->Step(done, total);
    }
    IKelvraError* EndProcess(void* handle) override
    {
        if (!m_runs.erase(handle))
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraBadArgument);
        delete static_cast<CKelvraProcessRun*>(handle);
        return nullptr;
    }

    void Release() override
    {
        KelvraDataSourceGoing(this); // while the chain can still answer its destinations
        delete this;
    }

    // A filter deleted while in the chain leaves it; its neighbours close up.
    void KelvraSourceDestroyed(IKelvraDataSource* source) override
    {
        for (long i = 0; i < GetFilterCount(); ++i) {
            if (static_cast<IKelvraDataSource*>(m_filters[std::size_t(i)]) == source) {
                IKelvraError::Release(RemoveFilter(i));
                return;
            }
        }
    }

private:
    template <typename Call>
    IKelvraError* Output(Call call)
    {
        IKelvraDataSource* output = GetOutput();
        if (!output)
            return KELVRA_ERROR(nullptr, kChainTag, kKelvraNotReady);
        return call(output);
    }

    IKelvraDataSource* PreviousOf(std::size_t at) const
    {
        return at == 0 ? m_input : static_cast<IKelvraDataSource*>(m_filters[at - 1]);
    }
    IKelvraDataDestination* NextOf(std::size_t at)
    {
        return at < m_filters.size() ? static_cast<IKelvraDataDestination*>(m_filters[at]) : &m_tail;
    }

    // previous -> next becomes previous -> filter -> next; undone on failure.
    IKelvraError* Splice(IKelvraDataSource* previous, IKelvraDataDestination* next, IKelvraFilter* filter)
    {
        const bool wasLinked = previous && KelvraIsConnected(previous, next);
        if (wasLinked) {
            if (IKelvraError* error = KelvraDataDisconnect(previous, next))
                return KELVRA_WRAP(nullptr, kChainTag, error);
        }
        IKelvraError* error = previous ? KelvraDataConnect(previous, filter) : nullptr;
        if (!error) {
            error = KelvraDataConnect(filter, next);
            if (error && previous)
                IKelvraError::Release(KelvraDataDisconnect(previous, filter));
        }
        if (error && wasLinked)
            IKelvraError::Release(KelvraDataConnect(previous, next));
        return error ? KELVRA_WRAP(nullptr, kChainTag, error) : nullptr;
    }

    void Unsplice(IKelvraDataSource* previous, IKelvraDataDestination* next, IKelvraFilter* filter)
    {
        if (previous && KelvraIsConnected(previous, filter))
            IKelvraError::Release(KelvraDataDisconnect(previous, filter));
        if (KelvraIsConnected(filter, next))
            IKelvraError::Release(KelvraDataDisconnect(filter, next));
        // The input never feeds the tail directly: an empty chain passes the
        // input's news on itself.
        if (previous && !(previous == m_input && next == &m_tail))
            IKelvraError::Release(KelvraDataConnect(previous, next));
    }

    void UnlinkAll()
    {
        while (!m_filters.empty())
            IKelvraError::Release(RemoveFilter(GetFilterCount() - 1));
    }

    CChainTail m_tail;
    IKelvraDataSource* m_input = nullptr;
    std::vector<IKelvraFilter*> m_filters;
    std::set<void*> m_runs;
};

IKelvraError* CChainTail::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    if (code == kKelvraNotifyDestroyed)
        return nullptr;
    return m_chain.ForwardFromTail(source, code, data);
}

} // namespace

IKelvraError* KelvraCreateFilterChain(IKelvraManager*, IKelvraFilterChain** chain)
{
    if (!chain)
        return KELVRA_ERROR(nullptr, kChainTag, kKelvraMissingObject);
    *chain = new (std::nothrow) CKelvraFilterChain();
    return *chain ? nullptr : KELVRA_ERROR(nullptr, kChainTag, kKelvraOutOfMemory);
}
