#include "items/TlvItemMediator.h"

#include "common/TlNoThrow.h"
#include "files/TlRenditionNames.h"
#include "module/TlvModuleInterface.h"

#include "runbase/TlvItemData.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"
#include "runbase/TlvSourceData.h"

namespace {

// The largest part the mediator asks for.
constexpr long kPartLimit = 4096;
// Words 6 to 8 of the load requests: one item, asked by a module, answered
// under the upload framework's tag for item loads.
constexpr TlvWord kLoadSubValue = 1;
constexpr TlvWord kLoadRequest = 1;
constexpr TlvWord kLoadReplyTag = 0x20030002;
// No location: the host's answer when the item has no file path of its own.
constexpr unsigned long kNoLocation = 1;

} // namespace

unsigned long CTlvItemMediator::Attach(ITlvMessage* entry, ITlvHost* host, TlvItemId id)
{
    Detach();
    m_entry = entry;
    m_id = id;
    if (host == nullptr)
        return TLV_ERR_FAILED;
    void* service = nullptr;
    const unsigned long result = host->GetObject(TLV_SERVICE_ITEMS, &service);
    if (TlvFailed(result))
        return result;
    if (service == nullptr)
        return TLV_ERR_FAILED;
    m_items = static_cast<ITlvItemService*>(service);
    return TLV_OK;
}

void CTlvItemMediator::Detach()
{
    // Records and parts stay the host's while its service is held.
    m_record = nullptr;
    m_part = nullptr;
    TlvReleaseService(m_items);
}

ITlvItemRecord* CTlvItemMediator::GetRecord()
{
    m_record = AskRecord();
    if (m_record == nullptr && m_items != nullptr) {
        SendLoad(TLV_MSG_LOAD_ITEM_DATA, 0, 0, 0);
        m_record = AskRecord();
    }
    return m_record;
}

IKelvraImage* CTlvItemMediator::GetPart(long selector)
{
    m_part = AskPart(selector);
    if (m_part == nullptr && m_items != nullptr) {
        const bool selected = selector != 0;
        SendLoad(TLV_MSG_LOAD_ITEM_PART, TlvWord(selector), selected ? 1 : 0, selected ? TlvWord(TLV_TYPE_PART_REQUEST) : 0);
        m_part = AskPart(selector);
    }
    return m_part;
}

unsigned long CTlvItemMediator::GetLocation(std::string& folder, std::string& fileName)
{
    CTlvSourceData* source = nullptr;
    if (m_items == nullptr || TlvFailed(m_items->GetSourceData(m_id, TLV_SOURCE_QUERY_FILE, 0, &source)) ||
        source == nullptr)
        return kNoLocation;
    const bool split = TlAnswerNoThrow([&] {
        const std::string path = source->m_filePath.GetFullPath();
        const std::size_t slash = path.rfind('\\');
        if (path.empty() || slash == std::string::npos)
            return false;
        folder = path.substr(0, slash);
        fileName = path.substr(slash + 1);
        return true;
    });
    if (split)
        return TLV_OK;
    if (source->m_sourceClass != TLV_SOURCE_NO_PATH)
        return kNoLocation;
    const bool named = TlAnswerNoThrow([&] {
        std::string temporary = GetRenditionFolder();
        fileName = source->m_fileName;
        folder.swap(temporary);
        return true;
    });
    return named ? TLV_OK : kNoLocation;
}

const char* CTlvItemMediator::GetItemName()
{
    CTlvItemData* data = nullptr;
    if (m_items == nullptr || TlvFailed(m_items->GetItemData(m_id, &data)) || data == nullptr)
        return nullptr;
    return data->m_name.c_str();
}

ITlvItemRecord* CTlvItemMediator::AskRecord()
{
    ITlvItemRecord* record = nullptr;
    if (m_items == nullptr || TlvFailed(m_items->GetItemRecord(m_id, &record)))
        return nullptr;
    return record;
}

IKelvraImage* CTlvItemMediator::AskPart(long selector)
{
    ITlvItemRecord* record = AskRecord();
    IKelvraImage* part = nullptr;
    if (record == nullptr || TlvFailed(record->GetPart(selector, kPartLimit, &part)))
        return nullptr;
    return part;
}

unsigned long CTlvItemMediator::SendLoad(unsigned long code, TlvWord record, TlvWord count, TlvWord recordType)
{
    if (m_entry == nullptr)
        return TLV_ERR_FAILED;
    return m_entry->Message(code, TlvItemLow(m_id), TlvItemHigh(m_id), record, count, recordType, kLoadSubValue,
                            kLoadRequest, kLoadReplyTag);
}
