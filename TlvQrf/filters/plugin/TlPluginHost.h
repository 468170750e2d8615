// What the edit settings' plug-in records ask of an image-editor filter
// plug-in host and of the list of installed plug-ins. The host implements
// IPluginHost; the library's core provides the installed list and the
// factory of hosts, and registers them with the records
// (settings/plugins/TlPluginServices.h).
#pragma once

#include <cstddef>
#include <cstdint>

class CTlString;

// One loaded plug-in with its own parameter block. Records share a host by
// its use count: each holder adds a use, and the holder whose Release leaves
// the count below 1 unloads the host and deletes it.
class IPluginHost {
public:
    virtual ~IPluginHost() = default;

    // Both give the count after the change; Release never deletes.
    virtual long AddRef() = 0;
    virtual long Release() = 0;

    // Loads the plug-in file at `path`; true when it is loaded (also when
    // it already was).
    virtual bool LoadFile(const char* path) = 0;
    virtual void Unload() = 0;

    // The installed plug-in's id, its name and the path it was loaded from.
    virtual std::int32_t GetId() const = 0;
    virtual const char* GetName() const = 0;
    virtual const char* GetPath() const = 0;

    // Copies the parameter block into `buffer` when it is present and at
    // least as large; returns the block's size in any case.
    virtual std::size_t GetParameters(void* buffer, std::size_t size) const = 0;
    // Replaces the parameter block (empty for a null block or size 0).
    virtual void SetParameters(const void* bytes, std::size_t size) = 0;
    virtual std::size_t GetParametersSize() const = 0;
};

// Makes a new, unloaded host with no uses; null when memory runs out.
class IPluginHostFactory {
public:
    virtual IPluginHost* CreateHost() = 0;

protected:
    ~IPluginHostFactory() = default;
};

// The installed plug-ins, in their order.
class IInstalledPlugins {
public:
    // The path of the first installed plug-in equal to one that carries
    // only `id`: equal ids when both are non-zero, otherwise equal first
    // strings (the probe's is empty). False when there is none.
    virtual bool FindPath(std::int32_t id, CTlString& path) const = 0;

protected:
    ~IInstalledPlugins() = default;
};
