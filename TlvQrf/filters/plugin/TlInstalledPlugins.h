// The process-wide ordered list of installed image-editor filter plug-ins.
// Nothing scans folders for them: the host application (or a test) adds
// each one.
#pragma once

#include "filters/plugin/TlPluginEntry.h"
#include "filters/plugin/TlPluginHost.h"

#include <cstddef>
#include <mutex>
#include <vector>

class CTlInstalledPlugins final : public IInstalledPlugins {
public:
    static CTlInstalledPlugins& Instance();

    // Appends an entry; false when memory runs out.
    bool Add(const char* path, const char* name, const char* category, std::int32_t id);
    // Forgets every entry.
    void Clear();
    std::size_t GetCount() const;

    bool FindPath(std::int32_t id, CTlString& path) const override;
    // The first entry whose path is `path`; false when there is none.
    bool FindByPath(const char* path, CPluginEntry& entry) const;

private:
    CTlInstalledPlugins() = default;

    mutable std::mutex m_lock;
    std::vector<CPluginEntry> m_entries;
};
