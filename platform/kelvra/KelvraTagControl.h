// A picture's tags: values keyed by a 32-bit id (EXIF tags by their number,
// capture tags from 0x80000), each with a type number that fixes its byte
// layout. The control owns its bytes: values are copied in by SetTag and
// copied out by GetTag. Every operation may be called from any thread.
#pragma once

#include "kelvra/KelvraError.h"

#include <cstddef>
#include <cstdint>

// Source tag of the errors a tag control makes.
constexpr KelvraTag kKelvraTagControlSource = KelvraFourCC('T', 'a', 'g', 'C');

// The destination of a read is smaller than the value (the header form
// reports the size it needs). Other failures use the framework's codes:
// 1014 a tag or a required pointer is missing, 1010 the type does not fit
// the tag, 1008 a length or a value is out of range for its type or use,
// 1013 the tag was added but has no value yet, 1005 out of memory, 1007 no
// image size.
enum : long {
    kKelvraTagTooSmall = 1004,
};

// Value types and the byte lengths they take. Any other non-zero type is an
// opaque byte value of any length.
enum : std::uint32_t {
    kKelvraTagTypeBytes = 1,        // any length; reads of any type but 263 may use it
    kKelvraTagTypeText = 2,         // ends with a zero, which the length counts
    kKelvraTagTypeLong = 3,         // one 32-bit integer
    kKelvraTagTypeDoubles = 4,      // one or more doubles
    kKelvraTagTypePath = 16,        // a text of at most 260 bytes with its zero
    kKelvraTagTypeShorts3 = 17,     // three signed 16-bit values
    kKelvraTagTypeDoubles4 = 256,   // four doubles
    kKelvraTagTypeUShorts2 = 260,   // two unsigned 16-bit values
    kKelvraTagTypeBlock8 = 261,     // 8 bytes
    kKelvraTagTypeToneCurve = 262,  // 4160 bytes
    kKelvraTagTypeDataHeader = 263, // KelvraTagDataHeader over the bytes
    kKelvraTagTypeLensData = 264,   // 31 bytes
    kKelvraTagTypeColorData = 265,  // 304 bytes
    kKelvraTagTypeDustId = 270,     // 20 bytes
};

// Tag ids the control itself interprets.
enum : std::uint32_t {
    kKelvraTagImageWidth = 0x10000,  // type 3
    kKelvraTagImageHeight = 0x10001, // type 3
    kKelvraTagModelCode = 0x80001,   // type 3, the camera's 16-bit model code
};

// The value form of type 263, whose bytes (the IPTC record) stand elsewhere:
// {u32 version 1, u32 length, pointer to the bytes}, 12 bytes on 32-bit
// Windows and 16 on 64-bit. SetTag stores the `length` bytes at `data`.
// GetTag takes `length` as the room at `data`: when that is enough it copies
// the bytes; otherwise it fails with kKelvraTagTooSmall. Either way `length`
// then holds the value's size, so a caller grows its buffer and reads again.
struct KelvraTagDataHeader {
    std::uint32_t version;
    std::uint32_t length;
    void* data;
};
static_assert(offsetof(KelvraTagDataHeader, data) == 8, "pointer follows the two words");
static_assert(sizeof(KelvraTagDataHeader) == 8 + sizeof(void*), "no padding after the pointer");

class IKelvraTagControl {
public:
    // An empty tag control; *control is set only on success.
    static IKelvraError* CreateTagControl(IKelvraTagControl** control);

    // `reserved` is 0.
    virtual bool HasTag(std::uint32_t id, long reserved) const = 0;
    // The value's byte count; for type 263 the count of the bytes the header
    // points to. 0 for a missing tag.
    virtual std::uint32_t GetTagSize(std::uint32_t id, long reserved) const = 0;
    // The type number; 0 for a missing tag or one without a value.
    virtual std::uint32_t GetTagType(std::uint32_t id) const = 0;
    // Copies the value into `destination` (`size` bytes of room; for type
    // 263 a KelvraTagDataHeader). `type` must be the tag's own type, or 1 for
    // the raw bytes of any type but 263. Bytes of the destination beyond the
    // value are left alone; a failed read writes nothing but the header's
    // needed length.
    virtual IKelvraError* GetTag(std::uint32_t id, std::uint32_t type, std::uint32_t size, void* destination,
                                 long reserved) const = 0;

    // Adds a tag without a value; a tag that exists keeps its value.
    virtual IKelvraError* AddTag(std::uint32_t id) = 0;
    // Gives an added tag its type and a copy of its value (`length` bytes;
    // for type 263 the header).
    virtual IKelvraError* SetTag(std::uint32_t id, std::uint32_t type, std::uint32_t length, const void* value) = 0;
    // Removing a tag that is not there succeeds.
    virtual IKelvraError* RemoveTag(std::uint32_t id) = 0;
    // Checks that an added tag was given its value.
    virtual IKelvraError* CommitTag(std::uint32_t id) = 0;
    // Replaces every tag with a copy of the source's; on failure the tags
    // stay as they were.
    virtual IKelvraError* CopyFrom(const IKelvraTagControl* source) = 0;

    virtual std::uint32_t GetTagCount() const = 0;
    // Writes the ids in ascending order and their number to *count; with
    // less than *count of room, fails with kKelvraTagTooSmall and writes no id.
    virtual IKelvraError* GetTagIds(std::uint32_t* ids, std::uint32_t capacity, std::uint32_t* count) const = 0;

    // The camera model code (tag 0x80001), which fits 16 bits; 0 on failure.
    virtual IKelvraError* GetShortTagValue(std::uint32_t* modelCode) const = 0;
    // The recorded image size (tags 0x10000 and 0x10001, each above 0);
    // failure is code 1007, with both sizes 0.
    virtual IKelvraError* GetImageSize(std::uint32_t* width, std::uint32_t* height) const = 0;

    // Deletes the control.
    virtual void Destroy() = 0;

protected:
    virtual ~IKelvraTagControl() = default;
};
