// A fresh folder under the system's temporary folder, deleted with its
// files when the object goes out of scope.
#pragma once

#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending in a backslash; empty when none could be made.
    const std::string& Path() const { return m_path; }
    // Path() + name.
    std::string File(const std::string& name) const { return m_path + name; }
    // Writes `bytes` to Path() + name; answers the full path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // Creates the nested folders of `relative` ("a\\b") below Path(); answers
    // the deepest one, ending in a backslash.
    std::string MakeFolder(const std::string& relative) const;
    static std::string Read(const std::string& path);
    // Replaces the file's bytes (creating it when missing).
    static void Overwrite(const std::string& path, const std::string& bytes);
    static bool Exists(const std::string& path);
    // The names of the files (not folders) that `pattern` ("C:\\folder\\Tln*") matches.
    static std::vector<std::string> Matching(const std::string& pattern);

private:
    std::string m_path;
};
