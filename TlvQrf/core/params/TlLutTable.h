// The 16-bit channel tables the look-up-table operations build, allocated
// without throwing (a failure is reported, never thrown). Computed entries
// go in through ToneTableEntry, which holds them to the entry range.
#pragma once

#include "raw/TlToneTables.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

using TlLutTable = std::unique_ptr<std::uint16_t[]>;

// Null when memory runs out.
inline TlLutTable NewLutTable(std::size_t entries)
{
    return TlLutTable(new (std::nothrow) std::uint16_t[entries]);
}

// Three channel tables, as the installation calls take them.
struct STlLutTables {
    TlLutTable channel[3];

    // False (some left null) when memory runs out.
    bool Allocate(std::size_t entries)
    {
        for (TlLutTable& table : channel) {
            table = NewLutTable(entries);
            if (!table)
                return false;
        }
        return true;
    }
    void Pointers(const std::uint16_t* (&out)[3]) const
    {
        for (int c = 0; c < 3; ++c)
            out[c] = channel[c].get();
    }
};
