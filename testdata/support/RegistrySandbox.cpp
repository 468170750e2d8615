#include "support/RegistrySandbox.h"

RegistrySandbox::~RegistrySandbox()
{
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
        if (it->existed)
            StoreValue(it->root, it->path, it->name.c_str(), it->value.type, it->value.data.data(),
                       DWORD(it->value.data.size()));
        else
            DeleteValue(it->root, it->path, it->name.c_str());
    }
    for (const auto& key : m_keys)
        RegDeleteTreeA(key.first, key.second.c_str());
}

void RegistrySandbox::OwnKey(HKEY root, const std::string& path)
{
    RegDeleteTreeA(root, path.c_str());
    m_keys.emplace_back(root, path);
}

void RegistrySandbox::Preserve(HKEY root, const std::string& path, const std::string& valueName)
{
    SavedValue saved{root, path, valueName, false, {}};
    saved.existed = LoadValue(root, path, valueName.c_str(), saved.value);
    m_values.push_back(saved);
}
