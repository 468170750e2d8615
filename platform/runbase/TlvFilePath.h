// A file's path, kept as its folder and its file name. The host hands items'
// paths to the modules in it, and the render request carries the rendition's
// location in it.
#pragma once

#include <cstddef>
#include <string>

class CTlvFilePath {
public:
    // Makes `path` absolute against the current folder and splits it at the
    // last separator. 0 on success; 0x1008 when the path is null, empty or
    // cannot be made absolute, 0x1003 when memory runs out. A failure leaves
    // the record empty.
    unsigned long Initialize(const char* path) noexcept;

    // Stored as given; only Initialize makes a path absolute.
    void SetFolder(const std::string& folder) { m_folder = folder; }
    void SetFileName(const std::string& fileName) { m_fileName = fileName; }
    const std::string& GetFolder() const { return m_folder; }
    const std::string& GetFileName() const { return m_fileName; }
    bool IsEmpty() const { return m_folder.empty() && m_fileName.empty(); }
    void Clear();

    // Folder and file name joined by one backslash; either alone when the
    // other is empty.
    std::string GetFullPath() const;
    // The same into a character buffer (a 260-character path). False, with
    // an empty text, when the record is empty or the path does not fit.
    bool GetFullPath(char* path, std::size_t size) const noexcept;

private:
    std::string m_folder;
    std::string m_fileName;
};
