#include "TlHostItems.h"

#include "runbase/ConvertKelvraError.h"
#include "runbase/TlvResultCodes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t kIptcTag = 33723;

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

unsigned long Failed(IKelvraError* error)
{
    const unsigned long result = ConvertKelvraError(error);
    IKelvraError::Release(error);
    return result;
}

} // namespace

unsigned long CTlHostItemRecord::GetPart(long selector, long limit, IKelvraImage** part)
{
    *part = nullptr;
    limit = std::min(limit, kTlHostPartLimit);
    if (limit < 1)
        return TLV_ERR_FAILED;
    auto found = m_parts.find(selector);
    if (found == m_parts.end()) {
        long width = 0, height = 0;
        if (IKelvraError* error = m_image->GetSize(&width, &height))
            return Failed(error);
        const double factor = std::min(1.0, double(limit) / double(std::max(width, height)));
        TlImagePtr scaled;
        const long partWidth = std::max(1L, std::lround(width * factor));
        const long partHeight = std::max(1L, std::lround(height * factor));
        if (IKelvraError* error = TlScalePicture(m_manager, m_image.get(), partWidth, partHeight, &scaled))
            return Failed(error);
        found = m_parts.emplace(selector, std::move(scaled)).first;
    }
    *part = found->second.get();
    return TLV_OK;
}

CTlHostItems::CTlHostItems(const CTlHostScript& script, IKelvraManager* manager) : m_manager(manager)
{
    for (const TlHostItem& item : script.items) {
        CState& state = m_states[item.id];
        state.script = item;
        state.sourceLoaded = !item.sourceMissingFirst;
        state.itemDataLoaded = !item.itemDataMissingFirst;
        state.editLoaded = !item.editMissingFirst;
        state.recordLoaded = !item.recordMissingFirst;
        state.itemData.m_name = item.name.empty() ? FileNameOf(item.path) : item.name;
        MakeSourceData(state);
    }
}

CTlHostItems::CState* CTlHostItems::Find(TlvItemId id)
{
    auto found = m_states.find(id);
    return found == m_states.end() ? nullptr : &found->second;
}

void CTlHostItems::MakeSourceData(CState& state)
{
    const TlHostItem& item = state.script;
    CTlvSourceData& source = state.source;
    // An item without a file is known by its name alone.
    source.m_fileName = item.path.empty() ? item.name : FileNameOf(item.path);
    source.m_sourceClass = item.sourceClass;
    source.m_flags = item.sourceFlags;
    source.m_fileKind = item.fileKind;
    source.m_width = item.width;
    source.m_height = item.height;
    source.m_fileSize = item.fileSize;
    if (!item.path.empty())
        source.m_filePath.Initialize(item.path.c_str());
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (source.m_fileSize == 0 && GetFileAttributesExA(item.path.c_str(), GetFileExInfoStandard, &attributes))
        source.m_fileSize = attributes.nFileSizeLow;
    if (source.m_width != 0 || item.path.empty())
        return;
    IKelvraTagControl* tags = nullptr;
    if (IKelvraError* error = CreateTagControl(&tags)) {
        IKelvraError::Release(error);
        return;
    }
    PellioTagsPtr owned(tags);
    KelvraFileInfo info{};
    if (IKelvraError* error = TlReadPictureTags(item.path.c_str(), tags, &info)) {
        IKelvraError::Release(error);
        return;
    }
    source.m_width = int(info.width);
    source.m_height = int(info.height);
}

bool CTlHostItems::LoadSourceData(TlvItemId id)
{
    CState* state = Find(id);
    if (state == nullptr)
        return false;
    state->sourceLoaded = true;
    state->editLoaded = true;
    return true;
}

bool CTlHostItems::LoadItemData(TlvItemId id)
{
    CState* state = Find(id);
    if (state == nullptr)
        return false;
    state->itemDataLoaded = true;
    state->recordLoaded = true;
    return true;
}

bool CTlHostItems::LoadItemPart(TlvItemId id)
{
    CState* state = Find(id);
    if (state == nullptr)
        return false;
    state->recordLoaded = true;
    return true;
}

unsigned long CTlHostItems::GetSourceData(TlvItemId id, CTlvSourceData** data)
{
    *data = nullptr;
    CState* state = Find(id);
    if (state == nullptr || !state->sourceLoaded)
        return TLV_ERR_FAILED;
    *data = &state->source;
    return TLV_OK;
}

unsigned long CTlHostItems::GetItemData(TlvItemId id, CTlvItemData** data)
{
    *data = nullptr;
    CState* state = Find(id);
    if (state == nullptr || !state->itemDataLoaded)
        return TLV_ERR_FAILED;
    *data = &state->itemData;
    return TLV_OK;
}

unsigned long CTlHostItems::GetEditObject(TlvItemId id, ITlvEditObject** edit)
{
    *edit = nullptr;
    CState* state = Find(id);
    if (state == nullptr || !state->editLoaded)
        return TLV_ERR_FAILED;
    if (state->edit == nullptr) {
        IKelvraTagControl* tags = nullptr;
        if (IKelvraError* error = CreateTagControl(&tags))
            return Failed(error);
        PellioTagsPtr owned(tags);
        KelvraFileInfo info{};
        if (IKelvraError* error = TlReadPictureTags(state->script.path.c_str(), tags, &info))
            return Failed(error) == TLV_ERR_OUT_OF_MEMORY ? TLV_ERR_OUT_OF_MEMORY : TLV_ERR_FAILED;
        std::string& iptc = state->script.iptc;
        if (!iptc.empty()) {
            KelvraTagDataHeader header{1, std::uint32_t(iptc.size()), &iptc[0]};
            IKelvraError* error = tags->AddTag(kIptcTag);
            if (error == nullptr)
                error = tags->SetTag(kIptcTag, kKelvraTagTypeDataHeader, sizeof header, &header);
            if (error != nullptr)
                return Failed(error);
        }
        state->edit.reset(new CTlHostEditObject(std::move(owned)));
    }
    *edit = state->edit.get();
    return TLV_OK;
}

unsigned long CTlHostItems::GetItemRecord(TlvItemId id, ITlvItemRecord** record)
{
    *record = nullptr;
    CState* state = Find(id);
    if (state == nullptr || !state->recordLoaded)
        return TLV_ERR_FAILED;
    if (state->record == nullptr) {
        TlImagePtr image;
        if (IKelvraError* error = TlLoadPicture(m_manager, state->script.path.c_str(), &image))
            return Failed(error) == TLV_ERR_OUT_OF_MEMORY ? TLV_ERR_OUT_OF_MEMORY : TLV_ERR_FAILED;
        state->record.reset(new CTlHostItemRecord(m_manager, std::move(image)));
    }
    *record = state->record.get();
    return TLV_OK;
}
