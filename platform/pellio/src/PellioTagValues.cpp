#include "PellioTagValues.h"

#include "PellioErrors.h"

#include <memory>

#define TAGS_ERROR(code) PELLIO_ERROR(kPellioTagsTag, (code))

namespace {

struct DestroyTags {
    void operator()(IKelvraTagControl* tags) const { tags->Destroy(); }
};

IKelvraError* ReadValue(const IKelvraTagControl& tags, std::uint32_t id, PellioTagValue* value)
{
    value->id = id;
    value->type = tags.GetTagType(id);
    value->bytes.resize(tags.GetTagSize(id, 0));
    void* data = value->bytes.data();
    if (value->type != kKelvraTagTypeDataHeader)
        return tags.GetTag(id, kKelvraTagTypeBytes, std::uint32_t(value->bytes.size()), data, 0);
    KelvraTagDataHeader header{1, std::uint32_t(value->bytes.size()), data};
    return tags.GetTag(id, kKelvraTagTypeDataHeader, sizeof header, &header, 0);
}

IKelvraError* PutValue(IKelvraTagControl* tags, const PellioTagValue& value)
{
    IKelvraError* error = tags->AddTag(value.id);
    if (error)
        return error;
    const void* data = value.bytes.data();
    if (value.type != kKelvraTagTypeDataHeader)
        return tags->SetTag(value.id, value.type, std::uint32_t(value.bytes.size()), data);
    KelvraTagDataHeader header{1, std::uint32_t(value.bytes.size()), const_cast<void*>(data)};
    return tags->SetTag(value.id, value.type, sizeof header, &header);
}

} // namespace

IKelvraError* PellioReadTags(const IKelvraTagControl& tags, std::vector<PellioTagValue>* values)
{
    return PellioGuarded(kPellioTagsTag, [&]() -> IKelvraError* {
        std::vector<std::uint32_t> ids(tags.GetTagCount());
        std::uint32_t count = 0;
        if (IKelvraError* error = tags.GetTagIds(ids.data(), std::uint32_t(ids.size()), &count))
            return KELVRA_WRAP(nullptr, kPellioTagsTag, error);
        ids.resize(count);
        for (std::uint32_t id : ids) {
            if (tags.GetTagType(id) == 0)
                continue; // added, never given a value
            PellioTagValue value;
            if (IKelvraError* error = ReadValue(tags, id, &value))
                return KELVRA_WRAP(nullptr, kPellioTagsTag, error);
            values->push_back(std::move(value));
        }
        return nullptr;
    });
}

IKelvraError* PellioWriteTags(IKelvraTagControl* target, const std::vector<PellioTagValue>& values)
{
    IKelvraTagControl* created = nullptr;
    if (IKelvraError* error = IKelvraTagControl::CreateTagControl(&created))
        return KELVRA_WRAP(nullptr, kPellioTagsTag, error);
    std::unique_ptr<IKelvraTagControl, DestroyTags> staged(created);
    for (const PellioTagValue& value : values) {
        if (IKelvraError* error = PutValue(staged.get(), value))
            return KELVRA_WRAP(TAGS_ERROR(kPellioCorrupt), kPellioTagsTag, error);
    }
    IKelvraError* error = target->CopyFrom(staged.get());
    return error ? KELVRA_WRAP(nullptr, kPellioTagsTag, error) : nullptr;
}

bool PellioHasTag(const std::vector<PellioTagValue>& values, std::uint32_t id)
{
    for (const PellioTagValue& value : values) {
        if (value.id == id)
            return true;
    }
    return false;
}

const PellioTagValue* PellioFindTag(const std::vector<PellioTagValue>& values, std::uint32_t id,
                                    std::uint32_t type)
{
    for (const PellioTagValue& value : values) {
        if (value.id == id && value.type == type)
            return &value;
    }
    return nullptr;
}
