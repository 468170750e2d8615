// Reading back what a save wrote into a tag control, and a tag control whose
// chosen operations fail, for the save-tag tests.
#pragma once

#include "RawTestTags.h"

#include "kelvra/KelvraTagControl.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace savetags_test {

// The value's bytes as the tag holds them; "<none>" for a missing tag.
inline std::string ReadBytes(const IKelvraTagControl& tags, std::uint32_t id)
{
    if (!tags.HasTag(id, 0))
        return "<none>";
    const std::uint32_t size = tags.GetTagSize(id, 0);
    std::vector<char> bytes(size + 1);
    IKelvraError* error = nullptr;
    if (tags.GetTagType(id) == kKelvraTagTypeDataHeader) {
        KelvraTagDataHeader header = {1, size, bytes.data()};
        error = tags.GetTag(id, kKelvraTagTypeDataHeader, sizeof header, &header, 0);
    } else {
        error = tags.GetTag(id, kKelvraTagTypeBytes, size, bytes.data(), 0);
    }
    const bool read = error == nullptr;
    IKelvraError::Release(error);
    return read ? std::string(bytes.data(), size) : "<unreadable>";
}

// A text tag without its ending zero.
inline std::string ReadText(const IKelvraTagControl& tags, std::uint32_t id)
{
    std::string bytes = ReadBytes(tags, id);
    if (tags.GetTagType(id) == kKelvraTagTypeText && !bytes.empty() && bytes.back() == '\0')
        bytes.pop_back();
    return bytes;
}

// A real tag control whose read, add, set or remove fails for the chosen ids.
class FailingTags : public IKelvraTagControl {
public:
    std::set<std::uint32_t> failGet, failAdd, failSet, failRemove;
    PellioTagsPtr inner = raw_test::MakeTags();

    bool HasTag(std::uint32_t id, long reserved) const override { return inner->HasTag(id, reserved); }
    std::uint32_t GetTagSize(std::uint32_t id, long reserved) const override
    {
        return inner->GetTagSize(id, reserved);
    }
    std::uint32_t GetTagType(std::uint32_t id) const override { return inner->GetTagType(id); }
    IKelvraError* GetTag(std::uint32_t id, std::uint32_t type, std::uint32_t size, void* destination,
                         long reserved) const override
    {
        return failGet.count(id) ? Fail() : inner->GetTag(id, type, size, destination, reserved);
    }
    IKelvraError* AddTag(std::uint32_t id) override { return failAdd.count(id) ? Fail() : inner->AddTag(id); }
    IKelvraError* SetTag(std::uint32_t id, std::uint32_t type, std::uint32_t length, const void* value) override
    {
        return failSet.count(id) ? Fail() : inner->SetTag(id, type, length, value);
    }
    IKelvraError* RemoveTag(std::uint32_t id) override
    {
        return failRemove.count(id) ? Fail() : inner->RemoveTag(id);
    }
    IKelvraError* CommitTag(std::uint32_t id) override { return inner->CommitTag(id); }
    IKelvraError* CopyFrom(const IKelvraTagControl* source) override { return inner->CopyFrom(source); }
    std::uint32_t GetTagCount() const override { return inner->GetTagCount(); }
    IKelvraError* GetTagIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) const override
    {
        return inner->GetTagIds(ids, capacity, count);
    }
    IKelvraError* GetShortTagValue(std::uint32_t* modelCode) const override
    {
        return inner->GetShortTagValue(modelCode);
    }
    IKelvraError* GetImageSize(std::uint32_t* width, std::uint32_t* height) const override
    {
        return inner->GetImageSize(width, height);
    }
    void Destroy() override {} // lives on the test's stack

private:
    static IKelvraError* Fail()
    {
        return IKelvraError::Add(nullptr, 0, __LINE__, kKelvraCategoryKelvra, kKelvraOperationFailed);
    }
};

} // namespace savetags_test
