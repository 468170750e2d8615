// Registry clean-up for tests: keys made under a sandbox are deleted, and
// values overwritten are restored, when the sandbox goes out of scope.
#pragma once

#include "support/RegistryValues.h"

#include <string>
#include <utility>
#include <vector>

class RegistrySandbox {
public:
    RegistrySandbox() = default;
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

    // Deletes `path` under `root` (with everything below it) now and again at the end.
    void OwnKey(HKEY root, const std::string& path);
    // Remembers the value's present state so that it is restored at the end.
    void Preserve(HKEY root, const std::string& path, const std::string& valueName);

private:
    struct SavedValue {
        HKEY root;
        std::string path;
        std::string name;
        bool existed;
        StoredValue value;
    };
    std::vector<std::pair<HKEY, std::string>> m_keys;
    std::vector<SavedValue> m_values;
};
