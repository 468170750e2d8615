#include "settings/plugins/TlPluginState.h"

#include "settings/plugins/TlPluginServices.h"
#include "settings/record/TlStateIds.h"
#include "settings/record/TlStateReader.h"
#include "settings/record/TlStateWriter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <utility>

namespace {
constexpr std::uint16_t kVersion = 1;
// Header, id, enabled byte, parameter block size and name length.
constexpr std::int64_t kSizeWithoutBlocks = 32;
constexpr std::size_t kMaxNameLength = 255;

const CTlString& EmptyName()
{
    static const CTlString empty;
    return empty;
}

void PutName(CTlStateWriter& writer, const char* name, std::size_t length)
{
    const std::size_t stored = std::min(length, kMaxNameLength);
    writer.Put(static_cast<std::uint8_t>(stored));
    writer.PutBytes(name, stored);
}

// The parameter block is copied by the host straight into its place.
void PutHostParameters(CTlStateWriter& writer, const IPluginHost& plugin)
{
    const std::size_t size = plugin.GetParametersSize();
    writer.Put(static_cast<std::uint32_t>(size));
    if (unsigned char* place = writer.Place(size)) {
        if (plugin.GetParameters(place, size) != size)
            std::memset(place, 0, size);
    }
}

void SaveHost(CTlStateWriter& writer, const IPluginHost& plugin, std::uint8_t enabled)
{
    writer.Header(kTlIdPluginState, kVersion);
    writer.Put(plugin.GetId());
    writer.Put(enabled);
    PutHostParameters(writer, plugin);
    const char* name = plugin.GetName();
    PutName(writer, name, name ? std::strlen(name) : 0);
}

int ClampedResult(std::int64_t size)
{
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}
} // namespace

struct CTlPluginState::StoredPlugin {
    std::uint16_t version = 0;
    std::int32_t id = 0;
    std::uint8_t enabled = 1;
    const unsigned char* parameters = nullptr;
    std::uint32_t parameterSize = 0;
    // The name's length byte and the bytes after it; null when absent.
    const unsigned char* name = nullptr;
    std::int64_t nameAvailable = 0;
    // What the record accounts for.
    std::int64_t size = 0;

    // The stored form of a record that held no plug-in.
    bool IsEmpty() const { return id == 0 && parameterSize == 0 && (name == nullptr || name[0] == 0); }
};

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

const TlGuid* CTlPluginState::GetID() const
{
    return &kTlIdPluginState;
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

int CTlPluginState::Save(unsigned char* buffer, int size)
{
    CTlStateWriter writer(buffer, size);
    if (m_plugin) {
        SaveHost(writer, *m_plugin, enabled);
        return writer.Finish();
    }
    // A record without plug-in stores id 0, no parameters and no name; a
    // stored plug-in that is not installed is written back as it was read.
    writer.Header(kTlIdPluginState, m_stored ? m_stored->version : kVersion);
    writer.Put(m_pluginId);
    writer.Put(enabled);
    const CTlBlob* parameters = m_stored ? &m_stored->parameters : nullptr;
    writer.Put(static_cast<std::uint32_t>(parameters ? parameters->Count() : 0));
    if (parameters)
        writer.PutBytes(parameters->Data(), parameters->Count());
    const CTlString& name = GetHeldName();
    PutName(writer, name.GetData(), static_cast<std::size_t>(name.GetLength()));
    return writer.Finish();
}

// Every length is checked against the bytes present: a parameter block or
// a name that claims more marks the record corrupt.
bool CTlPluginState::ReadStored(CTlStateReader& reader, StoredPlugin& stored)
{
    stored.version = reader.Version();
    reader.Get(stored.id);
    reader.Get(stored.enabled);
    if (reader.Get(stored.parameterSize)) {
        if (!reader.Has(stored.parameterSize))
            return false;
        stored.parameters = reader.Here();
        reader.Skip(stored.parameterSize);
    }
    std::uint8_t nameLength = 0;
    if (reader.Has(1)) {
        nameLength = *reader.Here();
        if (!reader.Has(1 + std::int64_t(nameLength)))
            return false;
        stored.name = reader.Here();
        stored.nameAvailable = reader.Remaining();
    }
    stored.size = kSizeWithoutBlocks + stored.parameterSize + nameLength;
    return true;
}

bool CTlPluginState::TakeInstalled(const char* path, const StoredPlugin& stored)
{
    IPluginHostFactory* hosts = GetPluginServices().hosts;
    IPluginHost* host = hosts ? hosts->CreateHost() : nullptr;
    if (host == nullptr)
        return false;
    if (!SetPlugin(path, host)) {
        delete host;
        return false;
    }
    if (stored.parameterSize > 0)
        host->SetParameters(stored.parameters, stored.parameterSize);
    enabled = stored.enabled;
    return true;
}

bool CTlPluginState::KeepStored(const StoredPlugin& stored)
{
    enabled = stored.enabled;
    if (stored.IsEmpty())
        return true;
    std::unique_ptr<Kept> kept(new (std::nothrow) Kept);
    if (!kept || !kept->parameters.Set(stored.parameters, stored.parameterSize))
        return false;
    const int available = static_cast<int>(std::min<std::int64_t>(stored.nameAvailable, INT_MAX));
    if (stored.name && !kept->name.SetLengthPrefixed(stored.name, available))
        return false;
    kept->version = stored.version;
    m_stored = std::move(kept);
    m_pluginId = stored.id;
    return true;
}

bool CTlPluginState::Resolve(const StoredPlugin& stored)
{
    const TlPluginServices services = GetPluginServices();
    CTlString path;
    if (services.installed && services.installed->FindPath(stored.id, path) && TakeInstalled(path.GetData(), stored))
        return true;
    return KeepStored(stored);
}

int CTlPluginState::Load(const unsigned char* buffer, int size)
{
    CTlStateReader reader(buffer, size);
    if (!reader.Open(kTlIdPluginState))
        return 0;
    if (reader.Version() == 0) {
        Clear();
        return TlStateLayout::kHeaderSize;
    }
    StoredPlugin stored;
    if (!reader.SkipLength() || !ReadStored(reader, stored))
        return 0;
    CTlPluginState loaded;
    if (!loaded.Resolve(stored))
        return 0;
    *this = std::move(loaded);
    return ClampedResult(stored.size);
}
