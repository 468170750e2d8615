// A stopwatch over the system's high-resolution counter.
#pragma once

#include <cstdint>

class CVentraChrono {
public:
    CVentraChrono();
    // Starts (again) from zero.
    void Start();
    // Seconds since Start; the watch keeps running.
    double Elapsed() const;
    // Milliseconds since Start.
    std::uint64_t ElapsedMilliseconds() const;

private:
    std::int64_t m_start = 0;
};
