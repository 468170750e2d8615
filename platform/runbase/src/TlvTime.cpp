#include "runbase/TlvTime.h"

#include <cstdio>

namespace {

bool IsLeapYear(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

bool CTlvTime::IsValid() const
{
    const SYSTEMTIME& t = m_time;
    if (t.wYear < 1 || t.wYear > 9999 || t.wMonth < 1 || t.wMonth > 12)
        return false;
    if (t.wDay < 1 || t.wDay > DaysInMonth(t.wYear, t.wMonth))
        return false;
    return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60;
}

std::string CTlvTime::ConvertToString() const
{
    if (!IsValid())
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned(m_time.wYear),
                  unsigned(m_time.wMonth), unsigned(m_time.wDay), unsigned(m_time.wHour),
                  unsigned(m_time.wMinute), unsigned(m_time.wSecond));
    return text;
}
