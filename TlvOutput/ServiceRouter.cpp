#include "ServiceRouter.h"

#include "runbase/TlvFunctionData.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"

namespace {

// The cells of a function's strip picture: 32 x 32 each, side by side.
constexpr int kCellSize = 32;
// Button states, in the order of their cells in the strip.
constexpr DWORD kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateDisabled = 256;

bool IsFamily2(unsigned long code)
{
    return (code >> 28) == 2;
}

const TlvFunctionEntry* EntryWithId(const ServicePlugin& plugin, int id)
{
    for (const TlvFunctionEntry& entry : plugin.Info().functions) {
        if (entry.functionId == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

unsigned long ServiceRouter::Initialize(TlvHostCallback callback)
{
    m_callback = callback;
    unsigned long result = TLV_OK;
    for (const auto& bound : m_plugins.Ids()) {
        m_current = bound.second;
        const TlvFunctionEntry* entry = EntryWithId(*bound.second, bound.first);
        if (entry == nullptr)
            continue;
        result = Announce(*entry);
        if (TlvFailed(result))
            return TLV_ERR_FAILED;
    }
    return result;
}

unsigned long ServiceRouter::Announce(const TlvFunctionEntry& entry)
{
    CTlvFunctionData record;
    record.m_id = entry.functionId;
    record.m_name = entry.name;
    record.m_ownerModule = m_moduleId;
    record.m_flags = static_cast<DWORD>(entry.flags);
    if (entry.bitmap != nullptr)
        record.AddBitmapStrip(entry.bitmap, kCellSize, kCellSize,
                              {kStateNormal, kStateHot, kStatePressed, kStateDisabled});
    return m_callback(TLV_MSG_REGISTER_FUNCTIONS, TlvWord(m_moduleId), 0, reinterpret_cast<TlvWord>(&record), 1,
                      TLV_TYPE_FUNCTION_DATA, 0, 0, 0);
}

unsigned long ServiceRouter::Message(const ServiceWords& words)
{
    const unsigned long code = static_cast<unsigned long>(words[0]);
    const int functionId = static_cast<int>(words[1]);
    if (code == TLV_MSG_RUN_FUNCTION)
        return RunFunction(words);
    if (code == TLV_MSG_QUERY_FUNCTION) {
        ServicePlugin* owner = m_plugins.FindOwner(functionId);
        return owner == nullptr ? TLV_ERR_NOT_FOUND : owner->Message(words);
    }
    if (code == TLV_MSG_QUERY_ALL)
        return QueryAll(words);
    if (IsFamily2(code))
        return m_current == nullptr ? TLV_OK : m_current->Message(words);
    return TLV_OK;
}

unsigned long ServiceRouter::RunFunction(const ServiceWords& words)
{
    const int functionId = static_cast<int>(words[1]);
    if (m_current != nullptr && !m_current->Offers(functionId)) {
        ServicePlugin* owner = m_plugins.FindOwner(functionId);
        if (owner == nullptr)
            return TLV_ERR_UNSUPPORTED_SOURCE;
        m_current = owner;
    }
    return m_current == nullptr ? TLV_OK : m_current->Message(words);
}

unsigned long ServiceRouter::QueryAll(const ServiceWords& words) const
{
    unsigned long result = TLV_OK;
    for (const ServicePlugin* plugin : m_plugins.Plugins())
        result = plugin->Message(words);
    return result;
}
