// A stand-in installer for the agent's tests: records the arguments it was
// started with into "<its own path>.args", one per line, first as the C
// library parsed them ("c:" lines), then as CommandLineToArgvW did ("w:"
// lines, UTF-8). The record is written beside and then renamed, so a reader
// never sees half of it.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {
std::string Utf8(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(size - 1));
    return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}
}

int main(int argc, char** argv)
{
    std::string record;
    for (int i = 0; i < argc; ++i)
        record += std::string("c:") + argv[i] + "\n";
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            record += "w:" + Utf8(wide[i]) + "\n";
        LocalFree(wide);
    }

    wchar_t self[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 2;
    const std::wstring target = std::wstring(self) + L".args";
    const std::wstring partial = target + L".part";
    if (!WriteAll(partial, record))
        return 3;
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
