// The memory the plug-in asks the host for: handles (its parameter block
// among them), buffers over CTlMemBlock, and the space it may use.
#include "filters/plugin/TlPsPluginHost.h"

#include "jobs/TlMemBlock.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct TlPluginHandle {
    unsigned char* bytes = nullptr;
    std::int32_t size = 0;
};

TlPluginHandle* AsHandle(PsHandle handle)
{
    return static_cast<TlPluginHandle*>(handle);
}

constexpr std::int32_t kMostSpace = 0x7FFFFFFF;

} // namespace

PsHandle CPluginHost::NewHandle(std::int32_t size)
{
    if (size < 0)
        return nullptr;
    auto* handle = new (std::nothrow) TlPluginHandle;
    if (handle == nullptr)
        return nullptr;
    if (SetHandleSize(handle, size) != kPsNoError) {
        delete handle;
        return nullptr;
    }
    return handle;
}

void CPluginHost::DisposeHandle(PsHandle handle)
{
    if (handle == nullptr)
        return;
    std::free(AsHandle(handle)->bytes);
    delete AsHandle(handle);
}

std::int32_t CPluginHost::GetHandleSize(PsHandle handle)
{
    return handle != nullptr ? AsHandle(handle)->size : 0;
}

// Keeps the bytes that fit, as the interface's set-size does.
PsResult CPluginHost::SetHandleSize(PsHandle handle, std::int32_t size)
{
    if (handle == nullptr || size < 0)
        return kPsBadParameter;
    TlPluginHandle* block = AsHandle(handle);
    void* bytes = std::realloc(block->bytes, size > 0 ? std::size_t(size) : 1);
    if (bytes == nullptr)
        return kPsOutOfMemory;
    block->bytes = static_cast<unsigned char*>(bytes);
    block->size = size;
    return kPsNoError;
}

void* CPluginHost::LockHandle(PsHandle handle)
{
    return handle != nullptr ? AsHandle(handle)->bytes : nullptr;
}

PsResult CPluginHost::AllocateBuffer(std::int32_t size, PsBufferId* id)
{
    if (id == nullptr || size < 0)
        return kPsBadParameter;
    Tl::CSyncLock guard(m_lock);
    std::size_t index = 0;
    while (index < m_buffers.size() && m_buffers[index]->GetSize() != 0)
        ++index;
    try {
        if (index == m_buffers.size())
            m_buffers.emplace_back(new CTlMemBlock(0));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (size > 0 && m_buffers[index]->Reallocate(std::uint32_t(size)) == 0)
        return -1;
    *id = PsBufferId(index);
    return kPsNoError;
}

void* CPluginHost::LockBuffer(PsBufferId id)
{
    Tl::CSyncLock guard(m_lock);
    if (id < 0 || std::size_t(id) >= m_buffers.size())
        return nullptr;
    return m_buffers[std::size_t(id)]->Lock();
}

void CPluginHost::UnlockBuffer(PsBufferId id)
{
    Tl::CSyncLock guard(m_lock);
    if (id >= 0 && std::size_t(id) < m_buffers.size())
        m_buffers[std::size_t(id)]->Unlock();
}

void CPluginHost::FreeBuffer(PsBufferId id)
{
    Tl::CSyncLock guard(m_lock);
    if (id >= 0 && std::size_t(id) < m_buffers.size())
        m_buffers[std::size_t(id)]->Free();
}

// The available virtual memory, through the extended query when the
// system offers it.
std::int32_t CPluginHost::Space()
{
    using StatusEx = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    std::uint64_t available = 0;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto statusEx =
        kernel != nullptr ? reinterpret_cast<StatusEx>(reinterpret_cast<void*>(GetProcAddress(kernel, "GlobalMemoryStatusEx"))) : nullptr;
    if (statusEx != nullptr) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        if (statusEx(&status))
            available = status.ullAvailVirtual;
    } else {
        MEMORYSTATUS status{};
        status.dwLength = sizeof status;
        GlobalMemoryStatus(&status);
        available = status.dwAvailVirtual;
    }
    return available > std::uint64_t(kMostSpace) ? kMostSpace : std::int32_t(available);
}

PsResult CPluginHost::ColorServices(const PsColorServicesInfo* info)
{
    if (info != nullptr && info->selector == kPsColorConvert && info->sourceSpace != info->resultSpace)
        return kPsBadParameter;
    return kPsNoError;
}
