#include "camera/TlCameraTables.h"

#include "frame/TlProfileFolder.h"
#include "infra/TlSync.h"
#include "infra/TlWholeFile.h"

#include <cstring>
#include <map>
#include <memory>
#include <new>

namespace {

void PutWord(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char(value >> (8 * i)));
}

std::uint32_t GetWord(const unsigned char* at)
{
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

Tl::CSyncCritical& TablesLock()
{
    static Tl::CSyncCritical lock;
    return lock;
}

// One set of tables per folder, kept for the process: generators of other
// threads may still read a set while the folder changes.
std::map<std::string, std::unique_ptr<TlCameraTables>>& TablesByFolder()
{
    static std::map<std::string, std::unique_ptr<TlCameraTables>> tables;
    return tables;
}

} // namespace

std::uint32_t TlCameraTablesChecksum(const void* bytes, std::size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + p[i]) % 65521u;
        b = (b + a) % 65521u;
    }
    return b << 16 | a;
}

std::string TlSerialiseCameraTables(const TlCameraTables& tables)
{
    std::string out;
    out.reserve(kTlCameraTablesHead + sizeof tables);
    PutWord(out, kTlCameraTablesMagic);
    PutWord(out, kTlCameraTablesVersion);
    PutWord(out, std::uint32_t(sizeof tables));
    PutWord(out, TlCameraTablesChecksum(&tables, sizeof tables));
    out.append(reinterpret_cast<const char*>(&tables), sizeof tables);
    return out;
}

bool TlReadCameraTables(const char* path, TlCameraTables* tables)
{
    std::vector<unsigned char> bytes;
    const std::size_t expected = kTlCameraTablesHead + sizeof(TlCameraTables);
    if (TlReadWholeFile(path, expected, bytes) != TlWholeFileResult::kRead || bytes.size() != expected)
        return false;
    const unsigned char* head = bytes.data();
    const unsigned char* body = head + kTlCameraTablesHead;
    if (GetWord(head) != kTlCameraTablesMagic || GetWord(head + 4) != kTlCameraTablesVersion ||
        GetWord(head + 8) != sizeof(TlCameraTables) ||
        GetWord(head + 12) != TlCameraTablesChecksum(body, sizeof(TlCameraTables)))
        return false;
    std::memcpy(tables, body, sizeof(TlCameraTables));
    return true;
}

const TlCameraTables* TlGetCameraTables()
{
    const std::string folder = GetProfileFolder();
    Tl::CSyncLock guard(TablesLock());
    auto& cache = TablesByFolder();
    auto found = cache.find(folder);
    if (found != cache.end())
        return found->second.get();
    std::unique_ptr<TlCameraTables> tables(new (std::nothrow) TlCameraTables);
    if (!tables || !TlReadCameraTables((folder + kTlCameraTablesFile).c_str(), tables.get()))
        return nullptr;
    const TlCameraTables* result = tables.get();
    cache.emplace(folder, std::move(tables));
    return result;
}
