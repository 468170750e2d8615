// A point in time as the host keeps it for an item (a calendar date and a
// clock time, local to the user).
#pragma once

#include <windows.h>

#include <string>

class CTlvTime {
public:
    CTlvTime() = default;
    explicit CTlvTime(const SYSTEMTIME& time) : m_time(time) {}

    // A real calendar date (years 1 to 9999) with a clock time; the all-zero
    // default is not. Day of week and milliseconds are not looked at.
    bool IsValid() const;
    // "YYYY-MM-DD HH:MM:SS"; empty when the time is not valid, so an item
    // without a time shows no date line.
    std::string ConvertToString() const;

    SYSTEMTIME m_time = {};
};
