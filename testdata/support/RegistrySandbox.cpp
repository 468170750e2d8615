#include "support/RegistrySandbox.h"

#include <cstring>
#include <mutex>

const char* const RegistrySandbox::kJournalKey = "Software\\TlTestSupport\\PreservedValues";

namespace {

constexpr char kTurnFile[] = "TlRegistrySandbox.lock";
constexpr char kSeparator = '|';

const std::pair<HKEY, const char*> kRoots[] = {
    {HKEY_LOCAL_MACHINE, "HKLM"},
    {HKEY_CURRENT_USER, "HKCU"},
    {HKEY_CLASSES_ROOT, "HKCR"},
    {HKEY_USERS, "HKU"},
};

// "HKLM|path|name"; empty for a root of another kind, which is not journalled.
std::string JournalName(HKEY root, const std::string& path, const std::string& name)
{
    for (const auto& known : kRoots) {
        if (known.first == root)
            return std::string(known.second) + kSeparator + path + kSeparator + name;
    }
    return std::string();
}

bool ParseJournalName(const std::string& entry, HKEY* root, std::string* path, std::string* name)
{
    const std::string::size_type first = entry.find(kSeparator);
    if (first == std::string::npos)
        return false;
    const std::string::size_type second = entry.find(kSeparator, first + 1);
    if (second == std::string::npos)
        return false;
    for (const auto& known : kRoots) {
        if (entry.compare(0, first, known.second) == 0) {
            *root = known.first;
            *path = entry.substr(first + 1, second - first - 1);
            *name = entry.substr(second + 1);
            return true;
        }
    }
    return false;
}

// The entry's data: one byte that says whether the value existed, its type,
// then its bytes.
std::vector<unsigned char> JournalData(bool existed, const StoredValue& value)
{
    std::vector<unsigned char> data(1 + sizeof(DWORD));
    data[0] = existed ? 1 : 0;
    std::memcpy(&data[1], &value.type, sizeof(DWORD));
    data.insert(data.end(), value.data.begin(), value.data.end());
    return data;
}

void PutBack(HKEY root, const std::string& path, const std::string& name, bool existed, const StoredValue& value)
{
    if (existed)
        StoreValue(root, path, name.c_str(), value.type, value.data.data(), DWORD(value.data.size()));
    else
        DeleteValue(root, path, name.c_str());
}

void PutBackFromJournal(const std::string& entry, const StoredValue& journalled)
{
    HKEY root = nullptr;
    std::string path, name;
    if (journalled.data.size() < 1 + sizeof(DWORD) || !ParseJournalName(entry, &root, &path, &name))
        return;
    StoredValue value;
    std::memcpy(&value.type, &journalled.data[1], sizeof(DWORD));
    value.data.assign(journalled.data.begin() + 1 + sizeof(DWORD), journalled.data.end());
    PutBack(root, path, name, journalled.data[0] != 0, value);
}

// What killed processes left: every journal entry is put back and removed.
void PutBackJournal()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RegistrySandbox::kJournalKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> entries;
    std::vector<char> name(16384);
    for (DWORD index = 0;; ++index) {
        DWORD length = DWORD(name.size());
        if (RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        entries.emplace_back(name.data(), length);
    }
    RegCloseKey(key);
    for (const std::string& entry : entries) {
        StoredValue journalled;
        if (LoadValue(HKEY_CURRENT_USER, RegistrySandbox::kJournalKey, entry.c_str(), journalled))
            PutBackFromJournal(entry, journalled);
        DeleteValue(HKEY_CURRENT_USER, RegistrySandbox::kJournalKey, entry.c_str());
    }
}

// The sandboxes of this process share one turn: the first takes it (an
// exclusive lock on a file in the temporary folder, which the system drops
// when a process dies) and puts back what the journal holds; the last gives
// it up.
class Turn {
public:
    void Join()
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (m_members++ > 0)
            return;
        m_file = Take();
        // Without the turn another process may own the journal's entries.
        if (m_file != INVALID_HANDLE_VALUE)
            PutBackJournal();
    }

    void Leave()
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (--m_members > 0 || m_file == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(m_file); // drops the lock
        m_file = INVALID_HANDLE_VALUE;
    }

private:
    static HANDLE Take()
    {
        char folder[MAX_PATH] = {};
        const DWORD length = GetTempPathA(MAX_PATH, folder);
        if (length == 0 || length >= MAX_PATH)
            return INVALID_HANDLE_VALUE;
        const std::string path = std::string(folder) + kTurnFile;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return file;
        OVERLAPPED whole = {};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole))
            return file;
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }

    std::mutex m_lock;
    int m_members = 0;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};

Turn& TheTurn()
{
    static Turn turn;
    return turn;
}

} // namespace

RegistrySandbox::~RegistrySandbox()
{
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
        PutBack(it->root, it->path, it->name, it->existed, it->value);
        if (it->journalled)
            DeleteValue(HKEY_CURRENT_USER, kJournalKey, JournalName(it->root, it->path, it->name).c_str());
    }
    for (const auto& key : m_keys)
        RegDeleteTreeA(key.first, key.second.c_str());
    if (m_hasTurn)
        TheTurn().Leave();
}

void RegistrySandbox::OwnKey(HKEY root, const std::string& path)
{
    RegDeleteTreeA(root, path.c_str());
    m_keys.emplace_back(root, path);
}

void RegistrySandbox::Preserve(HKEY root, const std::string& path, const std::string& valueName)
{
    if (!m_hasTurn) {
        TheTurn().Join();
        m_hasTurn = true;
    }
    SavedValue saved{root, path, valueName, false, {}, false};
    saved.existed = LoadValue(root, path, valueName.c_str(), saved.value);
    // An entry already there belongs to an outer sandbox of this process,
    // which puts back the original.
    const std::string entry = JournalName(root, path, valueName);
    StoredValue outer;
    if (!entry.empty() && !LoadValue(HKEY_CURRENT_USER, kJournalKey, entry.c_str(), outer)) {
        const std::vector<unsigned char> data = JournalData(saved.existed, saved.value);
        saved.journalled =
            StoreValue(HKEY_CURRENT_USER, kJournalKey, entry.c_str(), REG_BINARY, data.data(), DWORD(data.size()));
    }
    m_values.push_back(saved);
}
