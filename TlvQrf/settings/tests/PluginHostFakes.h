// Fakes of the plug-in host, the host factory and the installed plug-ins,
// registered with the plug-in records for the life of a FakePluginWorld.
#pragma once

#include "infra/TlString.h"
#include "settings/plugins/TlPluginServices.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace plugin_test {

struct PluginFile {
    std::int32_t id;
    std::string name;
};

class FakePluginWorld;

class FakePluginHost : public IPluginHost {
public:
    explicit FakePluginHost(FakePluginWorld& world);
    ~FakePluginHost() override;

    long AddRef() override { return ++m_uses; }
    long Release() override { return --m_uses; }
    long GetRefCount() const { return m_uses; }
    bool LoadFile(const char* path) override;
    void Unload() override;
    std::int32_t GetId() const override { return m_id; }
    const char* GetName() const override { return m_name.c_str(); }
    const char* GetPath() const override { return m_path.c_str(); }
    std::size_t GetParameters(void* buffer, std::size_t size) const override
    {
        if (buffer && size >= parameters.size() && !parameters.empty())
            std::copy(parameters.begin(), parameters.end(), static_cast<unsigned char*>(buffer));
        return parameters.size();
    }
    void SetParameters(const void* bytes, std::size_t size) override
    {
        ++parameterSets;
        const auto* first = static_cast<const unsigned char*>(bytes);
        parameters.assign(first, bytes ? first + size : first);
    }
    std::size_t GetParametersSize() const override { return parameters.size(); }

    std::vector<unsigned char> parameters;
    int parameterSets = 0;
    int loads = 0;
    bool loaded = false;

private:
    FakePluginWorld& m_world;
    long m_uses = 0;
    std::int32_t m_id = 0;
    std::string m_name;
    std::string m_path;
};

// Plug-in files that load, the installed list that names some of them, and
// counters of hosts made, unloaded and deleted.
class FakePluginWorld : public IInstalledPlugins, public IPluginHostFactory {
public:
    FakePluginWorld() : m_previous(SetPluginServices({this, this})) {}
    ~FakePluginWorld() { SetPluginServices(m_previous); }
    FakePluginWorld(const FakePluginWorld&) = delete;
    FakePluginWorld& operator=(const FakePluginWorld&) = delete;

    // A file that loads, listed as installed.
    void Install(const std::string& path, std::int32_t id, const std::string& name)
    {
        files[path] = {id, name};
        installed.push_back({id, path});
    }

    bool FindPath(std::int32_t id, CTlString& path) const override
    {
        for (const auto& entry : installed) {
            if (id != 0 && entry.first == id)
                return path.Assign(entry.second.c_str());
        }
        return false;
    }
    IPluginHost* CreateHost() override
    {
        if (outOfMemory)
            return nullptr;
        lastHost = new FakePluginHost(*this);
        return lastHost;
    }

    std::map<std::string, PluginFile> files;
    std::vector<std::pair<std::int32_t, std::string>> installed;
    bool outOfMemory = false;
    FakePluginHost* lastHost = nullptr;
    int hostsMade = 0;
    int hostsDeleted = 0;
    int unloads = 0;

private:
    TlPluginServices m_previous;
};

inline FakePluginHost::FakePluginHost(FakePluginWorld& world) : m_world(world)
{
    ++m_world.hostsMade;
}

inline FakePluginHost::~FakePluginHost()
{
    ++m_world.hostsDeleted;
}

inline bool FakePluginHost::LoadFile(const char* path)
{
    ++loads;
    const auto file = m_world.files.find(path);
    if (file == m_world.files.end())
        return false;
    m_path = path;
    m_id = file->second.id;
    m_name = file->second.name;
    loaded = true;
    return true;
}

inline void FakePluginHost::Unload()
{
    ++m_world.unloads;
    loaded = false;
}

} // namespace plugin_test
