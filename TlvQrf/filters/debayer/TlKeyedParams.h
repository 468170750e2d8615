// The nine-value tuning block of the high-quality De-Bayer filter, picked
// by the sensitivity a picture was taken at: three equal channel levels,
// then six constants. Kept here beside the filter that reads it; the
// library core's chain builders pick blocks through it too.
#pragma once

#include <cstdint>

class CTlKeyedParams {
public:
    static constexpr int kCount = 9;

    CTlKeyedParams();

    // Looks `key` up in the first table (sensitivities from 200 on) or the
    // second (from 125 on, for the camera that starts lower). A key found
    // sets the three levels to its value and the six constants again, and
    // answers false; a key not found answers true and changes nothing.
    bool SelectA(std::int32_t key);
    bool SelectB(std::int32_t key);

    const std::int32_t (&Values() const)[kCount] { return m_values; }

private:
    struct Entry {
        std::int32_t key;
        std::int32_t level;
    };
    template <int N>
    bool Select(const Entry (&table)[N], std::int32_t key);
    void SetLevel(std::int32_t level);

    std::int32_t m_values[kCount];
};
