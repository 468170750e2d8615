// A file's path with, once opened, the stream on it; the stream is closed
// and deleted with the object.
#pragma once

#include <fstream>
#include <memory>
#include <string>

class CTlFile {
public:
    CTlFile() = default;
    // A path that cannot be copied leaves the object empty.
    explicit CTlFile(const std::string& path) noexcept;

    const std::string& GetPath() const { return m_path; }
    // Opens the path, closing a stream opened before; false when it cannot be opened.
    bool Open(std::ios::openmode mode) noexcept;
    // Null until opened.
    std::fstream* GetFile() const { return m_file.get(); }
    void Close() noexcept { m_file.reset(); }

private:
    std::string m_path;
    std::unique_ptr<std::fstream> m_file;
};
