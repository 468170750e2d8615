// The plug-in record's stored form, and how a stored plug-in is resolved
// against the installed ones.
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

const TlGuid* CTlPluginState::GetID() const
{
    return &kTlIdPluginState;
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
