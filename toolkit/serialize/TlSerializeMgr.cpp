#include "serialize/TlSerializeMgr.h"

#include "serialize/TlAsciiReader.h"
#include "serialize/TlAsciiWriter.h"
#include "serialize/TlWinReader.h"
#include "serialize/TlWinWriter.h"

#include <atomic>
#include <new>

namespace {

// Outlives the manager (constant-initialised, never destroyed), so that
// static destructors running after the manager's can still ask for it.
std::atomic<bool> g_managerDestroyed{false};

template <class Interface, class Backend, class... Args>
std::unique_ptr<Interface> Make(Args&... args)
{
    if (g_managerDestroyed.load())
        return nullptr;
    return std::unique_ptr<Interface>(new (std::nothrow) Backend(args...));
}

} // namespace

CTlSerializeMgr::~CTlSerializeMgr()
{
    g_managerDestroyed.store(true);
}

CTlSerializeMgr* CTlSerializeMgr::GetInstance()
{
    static CTlSerializeMgr manager;
    return g_managerDestroyed.load() ? nullptr : &manager;
}

std::unique_ptr<ITlReader> CTlSerializeMgr::CreateReader(const TlSerializeDescriptor& descriptor) const
{
    if ((descriptor.mode & ~kTlSerializeRead) == kTlSerializeRegistry)
        return Make<ITlReader, CTlWinReader>();
    if (descriptor.input)
        return Make<ITlReader, CTlAsciiReader>(*descriptor.input);
    return nullptr;
}

std::unique_ptr<ITlWriter> CTlSerializeMgr::CreateWriter(const TlSerializeDescriptor& descriptor) const
{
    if ((descriptor.mode & ~kTlSerializeWrite) == kTlSerializeRegistry)
        return Make<ITlWriter, CTlWinWriter>();
    if (descriptor.output)
        return Make<ITlWriter, CTlAsciiWriter>(*descriptor.output);
    return nullptr;
}
