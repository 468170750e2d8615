#include "infra/TlSync.h"

#include <atomic>

namespace Tl {

namespace {

// 0 until first asked; every thread that fills it writes the same value.
std::atomic<DWORD> g_processorCount{0};

int EffectiveRetryCount(int asked, DWORD processorCount)
{
    // Spinning cannot help while the owner shares the only processor.
    if (processorCount == 1)
        return 0;
    return asked < 0 ? CSyncBase::kDefaultRetryCount : asked;
}

// The try-enter function exists on the NT family from version 4 on.
bool SystemOffersTryEnter()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return false;
    return version.dwPlatformId != VER_PLATFORM_WIN32s && version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS &&
           version.dwMajorVersion > 3;
}

} // namespace

// ---- CSyncBase

CSyncBase::CSyncBase(const char* name, int retryCount) : CSyncBase(name, retryCount, GetProcessorCount()) {}

CSyncBase::CSyncBase(const char* name, int retryCount, DWORD processorCount)
    : m_name(name), m_retryCount(EffectiveRetryCount(retryCount, processorCount))
{
}

CSyncBase::~CSyncBase() = default;

bool CSyncBase::Lock(int count)
{
    if (m_error != 0)
        return false;
    int attempts = count < 0 ? m_retryCount : count;
    while (attempts > 0) {
        --attempts;
        if (TryEnter())
            return true;
    }
    return Enter();
}

const char* CSyncBase::GetName() const
{
    return m_name.GetData();
}

int CSyncBase::GetRetryCount() const
{
    return m_retryCount;
}

DWORD CSyncBase::GetError() const
{
    return m_error;
}

void CSyncBase::SetError(DWORD error)
{
    m_error = error;
}

DWORD CSyncBase::GetProcessorCount()
{
    DWORD count = g_processorCount.load(std::memory_order_relaxed);
    if (count == 0) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        count = info.dwNumberOfProcessors;
        g_processorCount.store(count, std::memory_order_relaxed);
    }
    return count;
}

// ---- CSyncCritical

CSyncCritical::CSyncCritical(const char* name, int retryCount) : CSyncBase(name, retryCount)
{
    CSyncCritical::Init();
}

CSyncCritical::CSyncCritical(const char* name, int retryCount, DWORD processorCount, TryEnterFunction tryEnter)
    : CSyncBase(name, retryCount, processorCount)
{
    InitSection();
    m_tryEnter = tryEnter;
}

CSyncCritical::~CSyncCritical()
{
    CSyncCritical::Delete();
}

bool CSyncCritical::Init()
{
    if (m_initialized)
        return true;
    InitSection();
    m_tryEnter = LookUpTryEnter();
    return true;
}

void CSyncCritical::InitSection()
{
    InitializeCriticalSection(&m_section);
    m_initialized = true;
}

CSyncCritical::TryEnterFunction CSyncCritical::LookUpTryEnter()
{
    if (!SystemOffersTryEnter())
        return nullptr;
    HMODULE kernel = LoadLibraryA("KERNEL32.dll");
    if (!kernel)
        return nullptr;
    // Through the generic function type, so the cast to the real one is exact.
    auto generic = reinterpret_cast<void (*)()>(GetProcAddress(kernel, "TryEnterCriticalSection"));
    FreeLibrary(kernel); // kernel32 stays loaded in every process
    return reinterpret_cast<TryEnterFunction>(generic);
}

void CSyncCritical::Delete()
{
    // Delete may run before the destructor does; the section goes only once.
    if (!m_initialized)
        return;
    DeleteCriticalSection(&m_section);
    m_initialized = false;
}

bool CSyncCritical::TryEnter()
{
    if (!m_initialized)
        return false;
    if (!m_tryEnter)
        return Enter();
    return m_tryEnter(&m_section) != FALSE;
}

bool CSyncCritical::Enter()
{
    if (!m_initialized)
        return false;
    EnterCriticalSection(&m_section);
    return true;
}

void CSyncCritical::Leave()
{
    if (m_initialized)
        LeaveCriticalSection(&m_section);
}

// ---- CSyncLock

CSyncLock::CSyncLock(CSyncBase* lock) : m_lock(lock), m_entered(lock && lock->Lock(-1)) {}

CSyncLock::CSyncLock(CSyncBase& lock) : CSyncLock(&lock) {}

CSyncLock::~CSyncLock()
{
    if (m_entered)
        m_lock->Leave();
}

bool CSyncLock::IsLocked() const
{
    return m_entered;
}

} // namespace Tl
