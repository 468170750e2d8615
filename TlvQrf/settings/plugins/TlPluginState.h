// One image-editor filter plug-in that the user applied: which plug-in, and
// its own parameter block, kept by the plug-in host. Records that copy each
// other share the host by its use count. A stored plug-in that is not
// installed here keeps its stored id, parameter block and name, and is
// written back unchanged, so opening a file on such a machine loses nothing.
#pragma once

#include "filters/plugin/TlPluginHost.h"
#include "infra/TlString.h"
#include "settings/record/TlBlob.h"
#include "settings/record/TlState.h"

#include <cstdint>
#include <memory>

class CTlStateReader;

class CTlPluginState final : public ITlState {
public:
    CTlPluginState() = default;
    // Shares the other's host (see operator=).
    CTlPluginState(const CTlPluginState& other);
    // Moves the other's host and stored plug-in, without a new use.
    CTlPluginState(CTlPluginState&& other) noexcept;
    // Releases this record's host, then takes the other's enabled byte and
    // loads the other's host again from its own path, sharing it; a stored
    // plug-in that is not installed is copied. Copying a record onto itself
    // changes nothing; a copy that cannot allocate leaves this unchanged.
    CTlPluginState& operator=(const CTlPluginState& other);
    CTlPluginState& operator=(CTlPluginState&& other) noexcept;
    ~CTlPluginState();

    int Save(unsigned char* buffer, int size) override;
    int Load(const unsigned char* buffer, int size) override;
    const TlGuid* GetID() const override;

    IPluginHost* GetPlugin() const { return m_plugin; }
    bool IsEmpty() const { return m_plugin == nullptr; }
    // Drops this record's use of its host (the last use unloads and deletes
    // it) and sets the enabled byte to 1.
    void ReleasePlugin();
    // Releases the held host and forgets a stored plug-in, then loads the
    // plug-in at `path` into `plugin`; on success holds it with a new use.
    // Returns whether a host is held. The caller keeps a host that failed.
    bool SetPlugin(const char* path, IPluginHost* plugin);

    // The held host's id, the stored id of a plug-in that is not installed,
    // or 0.
    std::int32_t GetPluginId() const { return m_pluginId; }
    bool IsEqual(const CTlPluginState& other) const { return m_pluginId == other.m_pluginId; }

    // A stored plug-in that Load could not find installed or not load.
    bool IsUnresolved() const { return m_stored != nullptr; }
    // Its name; empty for every other record.
    const CTlString& GetHeldName() const;

    std::uint8_t enabled = 1;

private:
    // The fields of a stored record, pointing into the block.
    struct StoredPlugin;
    // False for a corrupt record.
    static bool ReadStored(CTlStateReader& reader, StoredPlugin& stored);

    void Clear();
    // Holds the installed plug-in, or keeps the stored one when it is not
    // installed or cannot be loaded; false when memory runs out.
    bool Resolve(const StoredPlugin& stored);
    bool TakeInstalled(const char* path, const StoredPlugin& stored);
    bool KeepStored(const StoredPlugin& stored);

    // What Load read of a plug-in it could not resolve; Save writes it back.
    struct Kept {
        std::uint16_t version = 0;
        CTlBlob parameters;
        CTlString name;
    };
    // A copy of `kept` (null for null); false when it cannot be allocated.
    static bool CopyKept(const Kept* kept, std::unique_ptr<Kept>& copy);

    IPluginHost* m_plugin = nullptr;
    std::int32_t m_pluginId = 0;
    std::unique_ptr<Kept> m_stored;
};
