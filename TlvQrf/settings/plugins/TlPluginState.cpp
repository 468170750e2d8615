// The plug-in record's host, shared with its copies by use count, and the
// stored plug-in it keeps when the plug-in is not installed.
#include "settings/plugins/TlPluginState.h"

#include <new>
#include <utility>

namespace {
const CTlString& EmptyName()
{
    static const CTlString empty;
    return empty;
}
} // namespace

CTlPluginState::CTlPluginState(const CTlPluginState& other) : ITlState(other)
{
    *this = other;
}

CTlPluginState::CTlPluginState(CTlPluginState&& other) noexcept
    : ITlState(other), enabled(other.enabled), m_plugin(other.m_plugin), m_pluginId(other.m_pluginId),
      m_stored(std::move(other.m_stored))
{
    other.m_plugin = nullptr;
    other.m_pluginId = 0;
    other.enabled = 1;
}

CTlPluginState& CTlPluginState::operator=(const CTlPluginState& other)
{
    if (this == &other)
        return *this;
    std::unique_ptr<Kept> stored;
    // The path is copied first: the host may keep it in storage it rewrites.
    CTlString path;
    if (!CopyKept(other.m_stored.get(), stored) || (other.m_plugin && !path.Assign(other.m_plugin->GetPath())))
        return *this;
    ReleasePlugin();
    m_stored = std::move(stored);
    m_pluginId = m_stored ? other.m_pluginId : 0;
    if (other.m_plugin)
        SetPlugin(path.GetData(), other.m_plugin);
    enabled = other.enabled;
    return *this;
}

CTlPluginState& CTlPluginState::operator=(CTlPluginState&& other) noexcept
{
    if (this == &other)
        return *this;
    ReleasePlugin();
    enabled = other.enabled;
    m_plugin = other.m_plugin;
    m_pluginId = other.m_pluginId;
    m_stored = std::move(other.m_stored);
    other.m_plugin = nullptr;
    other.m_pluginId = 0;
    other.enabled = 1;
    return *this;
}

CTlPluginState::~CTlPluginState()
{
    ReleasePlugin();
}

bool CTlPluginState::CopyKept(const Kept* kept, std::unique_ptr<Kept>& copy)
{
    copy.reset();
    if (kept == nullptr)
        return true;
    copy.reset(new (std::nothrow) Kept);
    if (!copy || !copy->parameters.Set(kept->parameters.Data(), kept->parameters.Count()) ||
        !copy->name.Assign(kept->name.GetData())) {
        copy.reset();
        return false;
    }
    copy->version = kept->version;
    return true;
}

const CTlString& CTlPluginState::GetHeldName() const
{
    return m_stored ? m_stored->name : EmptyName();
}

void CTlPluginState::Clear()
{
    ReleasePlugin();
    m_stored.reset();
    m_pluginId = 0;
}

void CTlPluginState::ReleasePlugin()
{
    enabled = 1;
    if (m_plugin == nullptr)
        return;
    IPluginHost* plugin = m_plugin;
    m_plugin = nullptr;
    m_pluginId = 0;
    if (plugin->Release() < 1) {
        plugin->Unload();
        delete plugin;
    }
}

bool CTlPluginState::SetPlugin(const char* path, IPluginHost* plugin)
{
    m_stored.reset();
    if (plugin != nullptr && plugin == m_plugin) {
        // Reloading the held host must not drop its last use first.
        enabled = 1;
        if (path != nullptr && plugin->LoadFile(path)) {
            m_pluginId = plugin->GetId();
            return true;
        }
        ReleasePlugin();
        return false;
    }
    ReleasePlugin();
    m_pluginId = 0;
    if (plugin == nullptr || path == nullptr || !plugin->LoadFile(path))
        return false;
    plugin->AddRef();
    m_plugin = plugin;
    m_pluginId = plugin->GetId();
    return true;
}
