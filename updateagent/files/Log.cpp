#include "files/Log.h"

#include "base/TAnsiString.h"
#include "files/FileHelpers.h"

#include <ctime>
#include <mutex>

namespace {
const int kMessageLimit = 1023;

// The C library's asctime form, with the day of the month padded by a blank.
TAnsiString TimeStamp()
{
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local)
        return TAnsiString("??? ???  0 00:00:00 0 ");
    char text[64];
    std::snprintf(text, sizeof text, "%s %s%3d %.2d:%.2d:%.2d %d\n", days[local->tm_wday % 7],
                  months[local->tm_mon % 12], local->tm_mday, local->tm_hour, local->tm_min,
                  local->tm_sec, 1900 + local->tm_year);
    TAnsiString stamp(text);
    stamp.SetAt(stamp.Length() - 1, ' ');
    return stamp;
}

// Lines from the main thread and the workers must not mix.
std::mutex& LogLock()
{
    static std::mutex lock;
    return lock;
}

int UnitLength(const TWideString& text, int index)
{
    const wchar_t ch = text.At(index);
    if (ch >= 0xD800 && ch <= 0xDBFF && index + 1 < text.Length()) {
        const wchar_t next = text.At(index + 1);
        if (next >= 0xDC00 && next <= 0xDFFF)
            return 2;
    }
    return 1;
}
}

TAnsiString NarrowForLog(const TWideString& message, int limit)
{
    TAnsiString whole(message.Text(), message.Length());
    if (whole.Length() <= limit)
        return whole;
    // Too long: keep whole characters while they fit.
    int bytes = 0;
    int index = 0;
    while (index < message.Length()) {
        const int units = UnitLength(message, index);
        const int size = WideCharToMultiByte(CP_ACP, 0, message.Text() + index, units, nullptr, 0, nullptr, nullptr);
        if (bytes + size > limit)
            break;
        bytes += size;
        index += units;
    }
    return TAnsiString(message.Text(), index);
}

TPath LogFilePath()
{
    TPath folder;
    GetWorkingFolder(folder);
    return TPath(folder.Text() + L"logs\\log.txt");
}

void WriteLog(const TWideString& message, int code)
{
    const TPath path = LogFilePath();
    const TAnsiString text = NarrowForLog(message, kMessageLimit);
    std::lock_guard<std::mutex> hold(LogLock());
    FILE* file = OpenFile(path, "at");
    if (!file)
        return;
    std::fputs(TimeStamp().Text(), file);
    std::fputc(' ', file);
    std::fprintf(file, "Message: %s ErrorCode: %d\n", text.Text(), code);
    std::fclose(file);
}
