// How parameter setters compare and store a value. The comparison is exact
// (doubles by ==, no tolerance) and covers every component: arrays element
// by element, tuples made with std::tie, structs through their operator==.
#pragma once

#include <cstddef>

template <typename Stored, typename Value>
bool TlSameSetting(const Stored& stored, const Value& value)
{
    return stored == value;
}

template <typename T, std::size_t N>
bool TlSameSetting(const T (&stored)[N], const T (&value)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        if (!TlSameSetting(stored[i], value[i]))
            return false;
    }
    return true;
}

// `stored` may be a tuple of references (std::tie) that assigns through.
template <typename Stored, typename Value>
void TlStoreSetting(Stored&& stored, const Value& value)
{
    stored = value;
}

template <typename T, std::size_t N>
void TlStoreSetting(T (&stored)[N], const T (&value)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        TlStoreSetting(stored[i], value[i]);
}
