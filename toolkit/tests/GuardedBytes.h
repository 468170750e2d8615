// Bytes placed right before a no-access page: reading or writing one byte past
// their end faults the test.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

class GuardedBytes {
public:
    explicit GuardedBytes(const std::vector<unsigned char>& bytes)
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const SIZE_T page = system.dwPageSize;
        m_base = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + page, page, PAGE_NOACCESS, &old);
        m_data = m_base + page - bytes.size();
        if (!bytes.empty())
            std::memcpy(m_data, bytes.data(), bytes.size());
    }
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    unsigned char* data() const { return m_data; }

private:
    unsigned char* m_base = nullptr;
    unsigned char* m_data = nullptr;
};
