#include "filters/debayer/TlDeBayerWorkspace.h"

#include "kelvra/KelvraLock.h"

#include <mutex>
#include <new>
#include <utility>

namespace {

// Far above what a tile of the framework's size needs.
const std::size_t kKeptSamples = std::size_t(1) << 20;
// More than the worker threads of any machine we run on; beyond it a
// returned workspace is freed.
const std::size_t kKeptWorkspaces = 64;

struct Shelf {
    CKelvraLock lock; // slim: taken for every tile
    std::vector<std::unique_ptr<CTlDeBayerWorkspace>> free;
};

Shelf& TheShelf()
{
    static Shelf shelf;
    return shelf;
}

} // namespace

CTlDeBayerWorkspaceLease::CTlDeBayerWorkspaceLease()
{
    Shelf& shelf = TheShelf();
    {
        std::lock_guard<CKelvraLock> hold(shelf.lock);
        if (!shelf.free.empty()) {
            m_work = std::move(shelf.free.back());
            shelf.free.pop_back();
            return;
        }
    }
    m_work.reset(new (std::nothrow) CTlDeBayerWorkspace());
}

CTlDeBayerWorkspaceLease::~CTlDeBayerWorkspaceLease()
{
    if (!m_work)
        return;
    if (m_work->raw.samples.capacity() > kKeptSamples)
        *m_work = CTlDeBayerWorkspace();
    Shelf& shelf = TheShelf();
    std::lock_guard<CKelvraLock> hold(shelf.lock);
    if (shelf.free.size() < kKeptWorkspaces) {
        try {
            shelf.free.push_back(std::move(m_work));
        } catch (const std::bad_alloc&) {
            // The workspace is freed with the lease.
        }
    }
}
