// Registry clean-up for tests: keys made under a sandbox are deleted, and
// values overwritten are restored, when the sandbox goes out of scope.
//
// A test killed midway never gets to its end, so the original state of each
// preserved value is also written into a journal in the registry until the
// value is put back, and the first sandbox of a later process puts back
// whatever the journal still holds before it redirects anything. Sandboxes of
// different processes take turns for the same reason: while one process has
// a sandbox, another's first sandbox waits for it to end, so no process
// takes another's redirection for the original.
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

    // The key (under HKEY_CURRENT_USER) of the journal of original values.
    static const char* const kJournalKey;

private:
    struct SavedValue {
        HKEY root;
        std::string path;
        std::string name;
        bool existed;
        StoredValue value;
        bool journalled; // this sandbox wrote the journal entry, and removes it
    };
    std::vector<std::pair<HKEY, std::string>> m_keys;
    std::vector<SavedValue> m_values;
    bool m_hasTurn = false;
};
