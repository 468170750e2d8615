#include "kelvra/KelvraTagControl.h"

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#define TAG_ERROR(code) KELVRA_ERROR(nullptr, kKelvraTagControlSource, (code))

namespace {

constexpr std::uint32_t kAnyLength = 0xFFFFFFFFu;

// The byte lengths a value of one type may have.
struct Layout {
    std::uint32_t type;
    std::uint32_t minLength;
    std::uint32_t maxLength;
    std::uint32_t step;   // the length is a multiple of it
    bool terminated;      // the last byte is a zero
};

const Layout kLayouts[] = {
    {kKelvraTagTypeBytes, 0, kAnyLength, 1, false},
    {kKelvraTagTypeText, 1, kAnyLength, 1, true},
    {kKelvraTagTypeLong, 4, 4, 1, false},
    {kKelvraTagTypeDoubles, 8, kAnyLength, 8, false},
    {kKelvraTagTypePath, 1, 260, 1, true},
    {kKelvraTagTypeShorts3, 6, 6, 1, false},
    {kKelvraTagTypeDoubles4, 32, 32, 1, false},
    {kKelvraTagTypeUShorts2, 4, 4, 1, false},
    {kKelvraTagTypeBlock8, 8, 8, 1, false},
    {kKelvraTagTypeToneCurve, 4160, 4160, 1, false},
    {kKelvraTagTypeLensData, 31, 31, 1, false},
    {kKelvraTagTypeColorData, 304, 304, 1, false},
    {kKelvraTagTypeDustId, 20, 20, 1, false},
};

// Whether `length` bytes at `bytes` make a value of `type`; types without a
// layout (263's bytes among them) take any length.
bool FitsLayout(std::uint32_t type, const std::uint8_t* bytes, std::uint32_t length)
{
    for (const Layout& layout : kLayouts) {
        if (layout.type != type)
            continue;
        if (length < layout.minLength || length > layout.maxLength || length % layout.step != 0)
            return false;
        return !layout.terminated || bytes[length - 1] == 0;
    }
    return true;
}

// Whether a read of `requested` may take a value stored as `stored`.
bool ReadableAs(std::uint32_t requested, std::uint32_t stored)
{
    return requested == stored || (requested == kKelvraTagTypeBytes && stored != kKelvraTagTypeDataHeader);
}

// Runs an operation that returns an error chain; an exception becomes an error.
template <class Operation>
IKelvraError* Guarded(Operation&& operation) noexcept
{
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return TAG_ERROR(kKelvraOutOfMemory);
    } catch (...) {
        return TAG_ERROR(kKelvraOperationFailed);
    }
}

// Runs a query; an exception gives `fallback`.
template <class Result, class Query>
Result Quietly(Result fallback, Query&& query) noexcept
{
    try {
        return query();
    } catch (...) {
        return fallback;
    }
}

// The bytes a set stores: the value itself, or what a header points to.
struct Bytes {
    const std::uint8_t* data;
    std::uint32_t length;
};

IKelvraError* BytesOfValue(std::uint32_t type, std::uint32_t length, const void* value, Bytes* bytes)
{
    if (!value && length > 0)
        return TAG_ERROR(kKelvraMissingObject);
    *bytes = {static_cast<const std::uint8_t*>(value), length};
    if (type != kKelvraTagTypeDataHeader)
        return nullptr;
    if (length != sizeof(KelvraTagDataHeader))
        return TAG_ERROR(kKelvraBadArgument);
    KelvraTagDataHeader header;
    std::memcpy(&header, value, sizeof header);
    if (header.version != 1)
        return TAG_ERROR(kKelvraBadArgument);
    if (!header.data && header.length > 0)
        return TAG_ERROR(kKelvraMissingObject);
    *bytes = {static_cast<const std::uint8_t*>(header.data), header.length};
    return nullptr;
}

} // namespace

class CKelvraTagControl : public IKelvraTagControl {
public:
    bool HasTag(std::uint32_t id, long reserved) const override;
    std::uint32_t GetTagSize(std::uint32_t id, long reserved) const override;
    std::uint32_t GetTagType(std::uint32_t id) const override;
    IKelvraError* GetTag(std::uint32_t id, std::uint32_t type, std::uint32_t size, void* destination,
                         long reserved) const override;
    IKelvraError* AddTag(std::uint32_t id) override;
    IKelvraError* SetTag(std::uint32_t id, std::uint32_t type, std::uint32_t length, const void* value) override;
    IKelvraError* RemoveTag(std::uint32_t id) override;
    IKelvraError* CommitTag(std::uint32_t id) override;
    IKelvraError* CopyFrom(const IKelvraTagControl* source) override;
    std::uint32_t GetTagCount() const override;
    IKelvraError* GetTagIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) const override;
    IKelvraError* GetShortTagValue(std::uint32_t* modelCode) const override;
    IKelvraError* GetImageSize(std::uint32_t* width, std::uint32_t* height) const override;
    void Destroy() override;

private:
    struct Tag {
        std::uint32_t type = 0; // 0: added, no value yet
        std::vector<std::uint8_t> bytes;
    };
    using TagMap = std::map<std::uint32_t, Tag>;

    // Called with the lock held; null when the tag is missing.
    const Tag* Find(std::uint32_t id) const;
    static IKelvraError* ReadValue(const Tag& tag, std::uint32_t size, void* destination);
    static IKelvraError* ReadThroughHeader(const Tag& tag, std::uint32_t size, void* destination);
    IKelvraError* ReadPositive(std::uint32_t id, std::uint32_t* value) const;
    static IKelvraError* CopyTags(const IKelvraTagControl& source, TagMap* tags);
    static IKelvraError* CopyTag(const IKelvraTagControl& source, std::uint32_t id, TagMap* tags);
    static IKelvraError* ReadFrom(const IKelvraTagControl& source, std::uint32_t id, Tag* tag);

    mutable std::mutex m_lock;
    TagMap m_tags;
};

IKelvraError* IKelvraTagControl::CreateTagControl(IKelvraTagControl** control)
{
    if (!control)
        return TAG_ERROR(kKelvraMissingObject);
    IKelvraTagControl* created = new (std::nothrow) CKelvraTagControl;
    if (!created)
        return TAG_ERROR(kKelvraOutOfMemory);
    *control = created;
    return nullptr;
}

const CKelvraTagControl::Tag* CKelvraTagControl::Find(std::uint32_t id) const
{
    const auto found = m_tags.find(id);
    return found == m_tags.end() ? nullptr : &found->second;
}

bool CKelvraTagControl::HasTag(std::uint32_t id, long) const
{
    return Quietly(false, [&] {
        std::lock_guard<std::mutex> hold(m_lock);
        return Find(id) != nullptr;
    });
}

std::uint32_t CKelvraTagControl::GetTagSize(std::uint32_t id, long) const
{
    return Quietly(std::uint32_t(0), [&] {
        std::lock_guard<std::mutex> hold(m_lock);
        const Tag* tag = Find(id);
        return tag ? std::uint32_t(tag->bytes.size()) : 0u;
    });
}

std::uint32_t CKelvraTagControl::GetTagType(std::uint32_t id) const
{
    return Quietly(std::uint32_t(0), [&] {
        std::lock_guard<std::mutex> hold(m_lock);
        const Tag* tag = Find(id);
        return tag ? tag->type : 0u;
    });
}

IKelvraError* CKelvraTagControl::GetTag(std::uint32_t id, std::uint32_t type, std::uint32_t size, void* destination,
                                        long) const
{
    return Guarded([&]() -> IKelvraError* {
        std::lock_guard<std::mutex> hold(m_lock);
        const Tag* tag = Find(id);
        if (!tag)
            return TAG_ERROR(kKelvraMissingObject);
        if (tag->type == 0)
            return TAG_ERROR(kKelvraNotReady);
        if (!ReadableAs(type, tag->type))
            return TAG_ERROR(kKelvraUnsupportedFormat);
        if (tag->type == kKelvraTagTypeDataHeader)
            return ReadThroughHeader(*tag, size, destination);
        return ReadValue(*tag, size, destination);
    });
}

IKelvraError* CKelvraTagControl::ReadValue(const Tag& tag, std::uint32_t size, void* destination)
{
    const std::size_t length = tag.bytes.size();
    if (length == 0)
        return nullptr;
    if (!destination)
        return TAG_ERROR(kKelvraMissingObject);
    if (size < length)
        return TAG_ERROR(kKelvraTagTooSmall);
    std::memcpy(destination, tag.bytes.data(), length);
    return nullptr;
}

IKelvraError* CKelvraTagControl::ReadThroughHeader(const Tag& tag, std::uint32_t size, void* destination)
{
    if (!destination)
        return TAG_ERROR(kKelvraMissingObject);
    if (size < sizeof(KelvraTagDataHeader))
        return TAG_ERROR(kKelvraBadArgument);
    KelvraTagDataHeader header;
    std::memcpy(&header, destination, sizeof header);
    const std::uint32_t length = std::uint32_t(tag.bytes.size());
    const bool fits = header.length >= length && (header.data || length == 0);
    if (fits && length > 0)
        std::memcpy(header.data, tag.bytes.data(), length);
    header.version = 1;
    header.length = length;
    std::memcpy(destination, &header, sizeof header);
    return fits ? nullptr : TAG_ERROR(kKelvraTagTooSmall);
}

IKelvraError* CKelvraTagControl::AddTag(std::uint32_t id)
{
    return Guarded([&]() -> IKelvraError* {
        std::lock_guard<std::mutex> hold(m_lock);
        m_tags.emplace(id, Tag());
        return nullptr;
    });
}

IKelvraError* CKelvraTagControl::SetTag(std::uint32_t id, std::uint32_t type, std::uint32_t length, const void* value)
{
    if (type == 0)
        return TAG_ERROR(kKelvraBadArgument);
    Bytes bytes{nullptr, 0};
    if (IKelvraError* error = BytesOfValue(type, length, value, &bytes))
        return error;
    if (!FitsLayout(type, bytes.data, bytes.length))
        return TAG_ERROR(kKelvraBadArgument);
    return Guarded([&]() -> IKelvraError* {
        Tag copy{type, std::vector<std::uint8_t>(bytes.data, bytes.data + bytes.length)};
        std::lock_guard<std::mutex> hold(m_lock);
        auto found = m_tags.find(id);
        if (found == m_tags.end())
            return TAG_ERROR(kKelvraMissingObject);
        std::swap(found->second, copy);
        return nullptr;
    });
}

IKelvraError* CKelvraTagControl::RemoveTag(std::uint32_t id)
{
    return Guarded([&]() -> IKelvraError* {
        std::lock_guard<std::mutex> hold(m_lock);
        m_tags.erase(id);
        return nullptr;
    });
}

IKelvraError* CKelvraTagControl::CommitTag(std::uint32_t id)
{
    return Guarded([&]() -> IKelvraError* {
        std::lock_guard<std::mutex> hold(m_lock);
        const Tag* tag = Find(id);
        if (!tag)
            return TAG_ERROR(kKelvraMissingObject);
        return tag->type == 0 ? TAG_ERROR(kKelvraNotReady) : nullptr;
    });
}

IKelvraError* CKelvraTagControl::CopyFrom(const IKelvraTagControl* source)
{
    if (!source)
        return TAG_ERROR(kKelvraMissingObject);
    if (source == this)
        return nullptr;
    return Guarded([&]() -> IKelvraError* {
        // Read the source through its interface (it takes its own lock) and
        // swap the copy in at the end, so a failure changes nothing.
        TagMap copy;
        if (IKelvraError* error = CopyTags(*source, &copy))
            return KELVRA_WRAP(nullptr, kKelvraTagControlSource, error);
        std::lock_guard<std::mutex> hold(m_lock);
        m_tags.swap(copy);
        return nullptr;
    });
}

IKelvraError* CKelvraTagControl::CopyTags(const IKelvraTagControl& source, TagMap* tags)
{
    std::uint32_t count = source.GetTagCount();
    std::vector<std::uint32_t> ids(count);
    if (IKelvraError* error = source.GetTagIds(ids.data(), count, &count))
        return error;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (IKelvraError* error = CopyTag(source, ids[i], tags))
            return error;
    }
    return nullptr;
}

IKelvraError* CKelvraTagControl::CopyTag(const IKelvraTagControl& source, std::uint32_t id, TagMap* tags)
{
    Tag tag;
    tag.type = source.GetTagType(id);
    if (tag.type == 0) { // a tag without a value, or one removed meanwhile
        if (source.HasTag(id, 0))
            tags->emplace(id, std::move(tag));
        return nullptr;
    }
    if (IKelvraError* error = ReadFrom(source, id, &tag))
        return error;
    if (!FitsLayout(tag.type, tag.bytes.data(), std::uint32_t(tag.bytes.size())))
        return TAG_ERROR(kKelvraBadArgument);
    tags->emplace(id, std::move(tag));
    return nullptr;
}

IKelvraError* CKelvraTagControl::ReadFrom(const IKelvraTagControl& source, std::uint32_t id, Tag* tag)
{
    const std::uint32_t size = source.GetTagSize(id, 0);
    tag->bytes.resize(size);
    if (tag->type != kKelvraTagTypeDataHeader)
        return source.GetTag(id, tag->type, size, tag->bytes.data(), 0);
    KelvraTagDataHeader header{1, size, tag->bytes.data()};
    IKelvraError* error = source.GetTag(id, tag->type, sizeof header, &header, 0);
    if (!error)
        tag->bytes.resize(header.length);
    return error;
}

std::uint32_t CKelvraTagControl::GetTagCount() const
{
    return Quietly(std::uint32_t(0), [&] {
        std::lock_guard<std::mutex> hold(m_lock);
        return std::uint32_t(m_tags.size());
    });
}

IKelvraError* CKelvraTagControl::GetTagIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) const
{
    if (!count)
        return TAG_ERROR(kKelvraMissingObject);
    return Guarded([&]() -> IKelvraError* {
        std::lock_guard<std::mutex> hold(m_lock);
        *count = std::uint32_t(m_tags.size());
        if (*count > capacity)
            return TAG_ERROR(kKelvraTagTooSmall);
        if (*count > 0 && !ids)
            return TAG_ERROR(kKelvraMissingObject);
        for (const auto& entry : m_tags)
            *ids++ = entry.first;
        return nullptr;
    });
}

// Reads a type-3 tag that must hold a value above 0.
IKelvraError* CKelvraTagControl::ReadPositive(std::uint32_t id, std::uint32_t* value) const
{
    std::int32_t read = 0;
    if (IKelvraError* error = GetTag(id, kKelvraTagTypeLong, sizeof read, &read, 0))
        return error;
    if (read <= 0)
        return TAG_ERROR(kKelvraBadArgument);
    *value = std::uint32_t(read);
    return nullptr;
}

IKelvraError* CKelvraTagControl::GetShortTagValue(std::uint32_t* modelCode) const
{
    if (!modelCode)
        return TAG_ERROR(kKelvraMissingObject);
    *modelCode = 0;
    std::int32_t read = 0;
    if (IKelvraError* error = GetTag(kKelvraTagModelCode, kKelvraTagTypeLong, sizeof read, &read, 0))
        return error;
    if (read < 0 || read > 0xFFFF)
        return TAG_ERROR(kKelvraBadArgument);
    *modelCode = std::uint32_t(read);
    return nullptr;
}

IKelvraError* CKelvraTagControl::GetImageSize(std::uint32_t* width, std::uint32_t* height) const
{
    if (!width || !height)
        return TAG_ERROR(kKelvraMissingObject);
    *width = *height = 0;
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    IKelvraError* error = ReadPositive(kKelvraTagImageWidth, &w);
    if (!error)
        error = ReadPositive(kKelvraTagImageHeight, &h);
    if (error) // the size's failure first, then why
        return KELVRA_WRAP(TAG_ERROR(kKelvraOperationFailed), kKelvraTagControlSource, error);
    *width = w;
    *height = h;
    return nullptr;
}

void CKelvraTagControl::Destroy()
{
    delete this;
}
