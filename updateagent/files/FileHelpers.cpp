#include "files/FileHelpers.h"

#include "base/TAnsiString.h"

bool GetTempFolder(TPath& folder)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, buffer);
    TWideString text(buffer);
    if (text.IsEmpty() || text.At(text.Length() - 1) != L'\\')
        text += L'\\';
    folder.Set(text);
    return true;
}

bool GetWorkingFolder(TPath& folder)
{
    TPath temp;
    GetTempFolder(temp);
    TWideString base = temp.Text();
    if (!base.IsEmpty() && base.At(base.Length() - 1) == L'\\')
        base = base.Left(base.Length() - 1);
    TWideString text = base + L"\\" + L"Talvo" + L"\\";
    EnsureFolder(TPath(text));
    text = text + L"Corvane" + L"\\";
    EnsureFolder(TPath(text));
    folder.Set(text);
    return true;
}

bool GetModuleFolder(HMODULE module, TPath& folder)
{
    if (!module)
        return false;
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    TWideString name(buffer, static_cast<int>(length));
    const int slash = name.ReverseFind(L'\\');
    if (slash < 0)
        return false;
    folder.Set(name.Left(slash + 1));
    return true;
}

bool EnsureFolder(const TPath& folder)
{
    TWideString text = folder.Text();
    if (!text.IsEmpty() && text.At(text.Length() - 1) == L'\\')
        text = text.Left(text.Length() - 1);
    const DWORD attributes = GetFileAttributesW(text.Text());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    return CreateDirectoryW(text.Text(), nullptr) != FALSE;
}

FILE* OpenFile(const TPath& path, const char* mode)
{
    const TAnsiString name(path.Text().Text());
    if (name.IsEmpty())
        return nullptr;
    return std::fopen(name.Text(), mode);
}

bool FileExists(const TPath& path)
{
    FILE* file = OpenFile(path, "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool ReadWholeFile(const TPath& path, std::unique_ptr<char[]>& text)
{
    text.reset();
    FILE* file = OpenFile(path, "rt");
    if (!file)
        return false;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    std::rewind(file);
    if (size < 0) {
        std::fclose(file);
        return false;
    }
    text.reset(new char[static_cast<size_t>(size) + 1]);
    const size_t read = std::fread(text.get(), 1, static_cast<size_t>(size), file);
    text[read] = 0;
    // Text mode shortens line ends, so fewer bytes than the size is normal.
    const bool atEnd = std::fgetc(file) == EOF && !std::ferror(file);
    std::fclose(file);
    return atEnd;
}

bool DeletePath(const TPath& path)
{
    const TWideString text = path.Text();
    SetFileAttributesW(text.Text(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(text.Text());
    return true;
}
