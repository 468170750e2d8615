// The plug-in host's identity, loading, dispatch, use count, parameter
// block and attached filters.
#include "filters/plugin/TlPsPluginHost.h"

#include "filters/plugin/TlInstalledPlugins.h"
#include "filters/plugin/TlPluginHostStack.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "jobs/TlMemBlock.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
const char kUnknown[] = "?";
}

CPluginHost::CPluginHost() : m_name(kUnknown), m_category(kUnknown), m_lock(nullptr, Tl::CSyncBase::kDefaultRetryCount)
{
    FillRecord();
}

CPluginHost::~CPluginHost()
{
    DetachFilters();
    FreeRunBuffers();
    if (m_record.parameters != nullptr)
        DisposeHandle(m_record.parameters);
}

void CPluginHost::DetachFilters()
{
    while (!m_filters.empty()) {
        CPluginHostFilter* filter = m_filters.front();
        // Downstream must hear that the plug-in's output gave way to the source.
        IKelvraError::Release(filter->SetPlugin(nullptr, true));
        // A filter that no longer names this host would not detach itself.
        if (!m_filters.empty() && m_filters.front() == filter)
            m_filters.erase(m_filters.begin());
    }
}

void CPluginHost::ResetIdentity()
{
    m_name = kUnknown;
    m_category = kUnknown;
    m_eventId = 0;
}

PsResult CPluginHost::Load(const CPluginEntry& entry)
{
    if (m_loaded && m_entry.IsSame(entry))
        return kPsNoError;
    Unload();
    m_entry = entry;
    m_started = false;
    const PsResult result = LoadPluginFile();
    if (result != kPsNoError)
        return result;
    m_loaded = true;
    ++m_loads;
    m_initialised = false;
    m_startSent = false;
    return kPsNoError;
}

bool CPluginHost::LoadFile(const char* path)
{
    if (path == nullptr)
        return false;
    CPluginEntry entry;
    if (!CTlInstalledPlugins::Instance().FindByPath(path, entry) && !entry.path.Assign(path))
        return false;
    return Load(entry) == kPsNoError;
}

void CPluginHost::Unload()
{
    if (!m_loaded)
        return;
    DetachFilters();
    UnloadPluginFile();
    m_loaded = false;
}

PsResult CPluginHost::Dispatch(std::int16_t selector)
{
    if (!m_loaded)
        return kPsNoError;
    const CTlPluginHostScope current(this);
    if (!m_initialised) {
        const PsResult result = CallEntry(kPsSelectorInitialise, &m_record, &m_data);
        if (result != kPsNoError)
            return result;
        m_initialised = true;
    }
    void* record = selector == kPsSelectorAbout ? static_cast<void*>(&m_about) : static_cast<void*>(&m_record);
    return CallEntry(selector, record, &m_data);
}

long CPluginHost::AddRef()
{
    return ++m_uses;
}

long CPluginHost::Release()
{
    return --m_uses;
}

std::size_t CPluginHost::GetParameters(void* buffer, std::size_t size) const
{
    if (buffer != nullptr && size >= m_blob.size() && !m_blob.empty())
        std::memcpy(buffer, m_blob.data(), m_blob.size());
    return m_blob.size();
}

void CPluginHost::SetParameters(const void* bytes, std::size_t size)
{
    m_blob.clear();
    if (bytes == nullptr || size == 0)
        return;
    try {
        const auto* first = static_cast<const unsigned char*>(bytes);
        m_blob.assign(first, first + size);
    } catch (const std::bad_alloc&) {
        m_blob.clear();
    }
}

void CPluginHost::AttachFilter(CPluginHostFilter* filter, bool attach)
{
    if (attach) {
        try {
            m_filters.push_back(filter);
        } catch (const std::bad_alloc&) {
        }
        return;
    }
    const auto found = std::find(m_filters.begin(), m_filters.end(), filter);
    if (found != m_filters.end())
        m_filters.erase(found);
}

bool CPluginHost::ParametersEqualBlob() const
{
    const std::int32_t size = GetHandleSize(m_record.parameters);
    if (std::size_t(size) != m_blob.size())
        return false;
    return size == 0 || std::memcmp(LockHandle(m_record.parameters), m_blob.data(), m_blob.size()) == 0;
}

void CPluginHost::PutBlobIntoParameters()
{
    if (ParametersEqualBlob())
        return;
    if (m_record.parameters != nullptr)
        DisposeHandle(m_record.parameters);
    m_record.parameters = nullptr;
    if (m_blob.empty())
        return;
    m_record.parameters = NewHandle(std::int32_t(m_blob.size()));
    if (void* bytes = LockHandle(m_record.parameters))
        std::memcpy(bytes, m_blob.data(), m_blob.size());
}

void CPluginHost::TakeParametersIntoBlob()
{
    if (ParametersEqualBlob())
        return;
    const std::int32_t size = GetHandleSize(m_record.parameters);
    SetParameters(size > 0 ? LockHandle(m_record.parameters) : nullptr, std::size_t(size > 0 ? size : 0));
}
