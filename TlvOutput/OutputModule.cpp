#include "OutputModule.h"

#include "runbase/TlvResultCodes.h"

#include <new>

namespace {

template <class Service>
unsigned long TakeService(ITlvHost* host, int id, Service** service)
{
    void* object = nullptr;
    const unsigned long result = host->GetObject(id, &object);
    *service = TlvFailed(result) ? nullptr : static_cast<Service*>(object);
    return result;
}

} // namespace

unsigned long OutputModule::Start(TlvHostCallback callback, ITlvHost* host)
{
    m_callback = callback;
    unsigned long result = TakeService(host, TLV_SERVICE_ITEMS, &m_items);
    if (TlvFailed(result))
        return result;
    result = TakeService(host, TLV_SERVICE_SELECTION, &m_selection);
    if (TlvFailed(result))
        return result;
    m_plugins.reset(new (std::nothrow) ServiceHost);
    if (m_plugins == nullptr)
        return TLV_ERR_OUT_OF_MEMORY;
    m_router.reset(new (std::nothrow) ServiceRouter(*m_plugins));
    if (m_router == nullptr)
        return TLV_ERR_OUT_OF_MEMORY;
    result = m_plugins->Initialize(callback, host);
    if (TlvFailed(result))
        return result;
    result = m_router->Initialize(callback);
    return TlvFailed(result) ? result : TLV_OK;
}

unsigned long OutputModule::Message(const ServiceWords& words)
{
    return m_router == nullptr ? TLV_ERR_FAILED : m_router->Message(words);
}

void OutputModule::Close()
{
    if (m_plugins != nullptr)
        m_plugins->UnloadAll();
    // The router points into the plug-in manager: it goes first.
    m_router.reset();
    m_plugins.reset();
    TlvReleaseService(m_items);
    TlvReleaseService(m_selection);
    m_callback = nullptr;
}
