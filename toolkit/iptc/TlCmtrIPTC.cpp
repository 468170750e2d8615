#include "iptc/TlCmtrIPTC.h"

#include "common/TlNoThrow.h"
#include "iptc/TlIptcScan.h"

#include <climits>
#include <cstring>

CCmtrIPTC::CCmtrIPTC(const void* block, std::size_t length) noexcept
{
    if (!block)
        return;
    const auto* bytes = static_cast<const unsigned char*>(block);
    TlAnswerNoThrow([&] {
        m_block.assign(bytes, bytes + length);
        return true;
    });
}

const unsigned char* CCmtrIPTC::Find(unsigned short tag, Search search, std::size_t& length)
{
    const std::size_t from = search == Search::FromStart ? 0 : m_position;
    TlIptcDataset dataset;
    if (!TlFindIptcDataset(m_block.data(), m_block.size(), from, tag, dataset))
        return nullptr;
    m_position = dataset.next;
    length = dataset.length;
    return m_block.data() + dataset.dataOffset;
}

namespace {

int CopyData(const unsigned char* data, std::size_t length, void* out, std::size_t outSize)
{
    if (!data || length > INT_MAX)
        return -1;
    if (out) {
        if (length > outSize)
            return -1;
        std::memcpy(out, data, length);
    }
    return static_cast<int>(length);
}

} // namespace

int CCmtrIPTC::FindDataset(unsigned short tag, void* out, std::size_t outSize)
{
    std::size_t length = 0;
    const unsigned char* data = Find(tag, Search::FromStart, length);
    return CopyData(data, length, out, outSize);
}

int CCmtrIPTC::FindNextDataset(unsigned short tag, void* out, std::size_t outSize)
{
    std::size_t length = 0;
    const unsigned char* data = Find(tag, Search::FromLast, length);
    return CopyData(data, length, out, outSize);
}

CCmtrIPTC::TextFound CCmtrIPTC::FindText(unsigned short tag, Search search, std::string& text)
{
    std::size_t length = 0;
    const unsigned char* data = Find(tag, search, length);
    if (!data)
        return TextFound::No;
    const bool copied = TlAnswerNoThrow([&] {
        text.assign(reinterpret_cast<const char*>(data), length);
        return true;
    });
    return copied ? TextFound::Yes : TextFound::NoMemory;
}
