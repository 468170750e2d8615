#include "TlnTagValues.h"

#include <cstring>
#include <new>

bool TlnReadLong(const IKelvraTagControl& tags, std::uint32_t id, long* value)
{
    std::int32_t stored = 0;
    IKelvraError* error = tags.GetTag(id, kKelvraTagTypeLong, sizeof stored, &stored, 0);
    if (error) {
        IKelvraError::Release(error);
        return false;
    }
    *value = stored;
    return true;
}

bool TlnReadDouble(const IKelvraTagControl& tags, std::uint32_t id, double* value)
{
    const std::uint32_t type = tags.GetTagType(id);
    if (type == kKelvraTagTypeDoubles) {
        double stored = 0.0;
        IKelvraError* error = tags.GetTag(id, type, sizeof stored, &stored, 0);
        if (error) {
            IKelvraError::Release(error);
            return false;
        }
        *value = stored;
        return true;
    }
    std::vector<std::uint8_t> bytes;
    if (!TlnReadBytes(tags, id, &bytes) || bytes.size() != 8)
        return false;
    std::int32_t ratio[2];
    std::memcpy(ratio, bytes.data(), sizeof ratio);
    if (ratio[1] == 0)
        return false;
    *value = double(ratio[0]) / double(ratio[1]);
    return true;
}

bool TlnReadBytes(const IKelvraTagControl& tags, std::uint32_t id, std::vector<std::uint8_t>* bytes)
{
    const std::uint32_t type = tags.GetTagType(id);
    const std::uint32_t size = tags.GetTagSize(id, 0);
    if (type == 0 || size == 0)
        return false;
    try {
        bytes->assign(size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    IKelvraError* error = nullptr;
    if (type == kKelvraTagTypeDataHeader) {
        KelvraTagDataHeader header{1, size, bytes->data()};
        error = tags.GetTag(id, type, sizeof header, &header, 0);
    } else {
        error = tags.GetTag(id, kKelvraTagTypeBytes, size, bytes->data(), 0);
    }
    if (error) {
        IKelvraError::Release(error);
        bytes->clear();
        return false;
    }
    return true;
}

bool TlnReadGains(const IKelvraTagControl& tags, double (&gains)[2])
{
    std::vector<std::uint8_t> bytes;
    if (!TlnReadBytes(tags, kTlnTagCameraGains, &bytes) || bytes.size() < 2 * sizeof(double))
        return false;
    std::memcpy(gains, bytes.data(), 2 * sizeof(double));
    return true;
}
