// The procedures of the parameter records, the process-wide stack of
// current hosts they act on, and the filling of the records.
#include "filters/plugin/TlPluginHostStack.h"
#include "filters/plugin/TlPsPluginHost.h"

#include <mutex>
#include <vector>

namespace {

std::mutex g_stackLock;
std::vector<CPluginHost*> g_stack;

} // namespace

CPluginHost* TlCurrentPluginHost()
{
    const std::lock_guard<std::mutex> guard(g_stackLock);
    return g_stack.empty() ? nullptr : g_stack.back();
}

CTlPluginHostScope::CTlPluginHostScope(CPluginHost* host)
{
    const std::lock_guard<std::mutex> guard(g_stackLock);
    g_stack.push_back(host);
}

CTlPluginHostScope::~CTlPluginHostScope()
{
    const std::lock_guard<std::mutex> guard(g_stackLock);
    g_stack.pop_back();
}

// Each forwards to the host on top of the stack; with none it does nothing
// and answers 0.
struct TlPluginCallbacks {
    static std::uint8_t PS_API Abort()
    {
        CPluginHost* host = TlCurrentPluginHost();
        return host != nullptr && host->AbortTest() ? 1 : 0;
    }
    static void PS_API Progress(std::int32_t done, std::int32_t total)
    {
        if (CPluginHost* host = TlCurrentPluginHost())
            host->Progress(done, total);
    }
    static void PS_API HostProcedure(std::int16_t selector, std::intptr_t* data)
    {
        if (CPluginHost* host = TlCurrentPluginHost())
            host->HostProcedure(selector, data);
    }
    static std::int16_t PS_API ProcessEvent(void* event)
    {
        CPluginHost* host = TlCurrentPluginHost();
        return host != nullptr ? host->ProcessEvent(event) : 0;
    }
    static PsResult PS_API DisplayPixels(const PsPixelMap* source, const PsRect* sourceRect, std::int32_t row,
                                         std::int32_t column, void* context)
    {
        CPluginHost* host = TlCurrentPluginHost();
        return host != nullptr ? host->DisplayPixels(source, sourceRect, row, column, context) : 0;
    }
    static PsResult PS_API AdvanceState()
    {
        CPluginHost* host = TlCurrentPluginHost();
        return host != nullptr ? host->AdvanceState() : 0;
    }
    static PsResult PS_API ColorServices(PsColorServicesInfo* info)
    {
        return TlCurrentPluginHost() != nullptr ? CPluginHost::ColorServices(info) : 0;
    }
    static PsHandle PS_API NewHandle(std::int32_t size)
    {
        return TlCurrentPluginHost() != nullptr ? CPluginHost::NewHandle(size) : nullptr;
    }
    static void PS_API DisposeHandle(PsHandle handle)
    {
        if (TlCurrentPluginHost() != nullptr)
            CPluginHost::DisposeHandle(handle);
    }
    static std::int32_t PS_API GetHandleSize(PsHandle handle)
    {
        return TlCurrentPluginHost() != nullptr ? CPluginHost::GetHandleSize(handle) : 0;
    }
    static PsResult PS_API SetHandleSize(PsHandle handle, std::int32_t size)
    {
        return TlCurrentPluginHost() != nullptr ? CPluginHost::SetHandleSize(handle, size) : 0;
    }
    static void* PS_API LockHandle(PsHandle handle, std::uint8_t /*moveHigh*/)
    {
        return TlCurrentPluginHost() != nullptr ? CPluginHost::LockHandle(handle) : nullptr;
    }
    static void PS_API UnlockHandle(PsHandle /*handle*/) {}
    static void PS_API RecoverSpace(std::int32_t /*size*/) {}
    static PsResult PS_API AllocateBuffer(std::int32_t size, PsBufferId* id)
    {
        CPluginHost* host = TlCurrentPluginHost();
        return host != nullptr ? host->AllocateBuffer(size, id) : 0;
    }
    static void* PS_API LockBuffer(PsBufferId id, std::uint8_t /*moveHigh*/)
    {
        CPluginHost* host = TlCurrentPluginHost();
        return host != nullptr ? host->LockBuffer(id) : nullptr;
    }
    static void PS_API UnlockBuffer(PsBufferId id)
    {
        if (CPluginHost* host = TlCurrentPluginHost())
            host->UnlockBuffer(id);
    }
    static void PS_API FreeBuffer(PsBufferId id)
    {
        if (CPluginHost* host = TlCurrentPluginHost())
            host->FreeBuffer(id);
    }
    static std::int32_t PS_API Space() { return TlCurrentPluginHost() != nullptr ? CPluginHost::Space() : 0; }
    static std::int32_t PS_API Unoffered() { return 0; }
};

void CPluginHost::FillRecord()
{
    using C = TlPluginCallbacks;
    m_bufferProcs = {kPsBufferProcsVersion, kPsBufferProcsCount, C::AllocateBuffer, C::LockBuffer,
                     C::UnlockBuffer,       C::FreeBuffer,       C::Space};
    m_handleProcs = {kPsHandleProcsVersion, kPsHandleProcsCount, C::NewHandle,    C::DisposeHandle, C::GetHandleSize,
                     C::SetHandleSize,      C::LockHandle,       C::UnlockHandle, C::RecoverSpace,
                     nullptr};
    m_record.abortProc = C::Abort;
    m_record.progressProc = C::Progress;
    m_record.hostProc = C::HostProcedure;
    m_record.processEvent = C::ProcessEvent;
    m_record.displayPixels = C::DisplayPixels;
    m_record.advanceState = C::AdvanceState;
    m_record.colorServices = C::ColorServices;
    m_record.bufferProcs = &m_bufferProcs;
    m_record.handleProcs = &m_handleProcs;
    m_record.resourceProc = C::Unoffered;
    m_record.propertyProc = C::Unoffered;
    m_record.hostSig = kPsHostSignature;
    m_record.platformData = &m_platform;
    m_record.errorString = &m_errorText;
    m_about.platformData = &m_platform;
    m_about.hostProc = C::HostProcedure;
    m_about.hostSig = kPsHostSignature;
}
