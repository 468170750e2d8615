#include "filters/plugin/TlInstalledPlugins.h"

#include <new>

CTlInstalledPlugins& CTlInstalledPlugins::Instance()
{
    static CTlInstalledPlugins list;
    return list;
}

bool CTlInstalledPlugins::Add(const char* path, const char* name, const char* category, std::int32_t id)
{
    CPluginEntry entry;
    entry.id = id;
    if (!entry.path.Assign(path) || !entry.name.Assign(name) || !entry.category.Assign(category))
        return false;
    const std::lock_guard<std::mutex> guard(m_lock);
    try {
        m_entries.push_back(entry);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CTlInstalledPlugins::Clear()
{
    const std::lock_guard<std::mutex> guard(m_lock);
    m_entries.clear();
}

std::size_t CTlInstalledPlugins::GetCount() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_entries.size();
}

bool CTlInstalledPlugins::FindPath(std::int32_t id, CTlString& path) const
{
    CPluginEntry probe;
    probe.id = id;
    const std::lock_guard<std::mutex> guard(m_lock);
    for (const CPluginEntry& entry : m_entries) {
        if (entry.IsSame(probe))
            return path.Assign(entry.path.GetData());
    }
    return false;
}

bool CTlInstalledPlugins::FindByPath(const char* path, CPluginEntry& found) const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    for (const CPluginEntry& entry : m_entries) {
        if (entry.path.EqualsNoCase(path)) {
            found = entry;
            return true;
        }
    }
    return false;
}
