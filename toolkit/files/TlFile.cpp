#include "files/TlFile.h"

#include "common/TlNoThrow.h"

CTlFile::CTlFile(const std::string& path) noexcept : m_path(TlCopyNoThrow(path.c_str())) {}

bool CTlFile::Open(std::ios::openmode mode) noexcept
{
    Close();
    return TlAnswerNoThrow([&] {
        std::unique_ptr<std::fstream> file(new std::fstream(m_path, mode));
        if (!file->is_open())
            return false;
        m_file = std::move(file);
        return true;
    });
}
