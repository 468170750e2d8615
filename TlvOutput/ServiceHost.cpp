#include "ServiceHost.h"

#include "OutputStrings.h"

#include "afxwin.h"
#include "files/TlCommonFiles.h"
#include "runbase/TlvFileHandle.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvRecordTypes.h"
#include "runbase/TlvResultCodes.h"

#include <new>

namespace {

void AppendSeparator(std::string& folder)
{
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
}

// Ends a file search on every way out.
struct FileSearch {
    explicit FileSearch(HANDLE opened) : handle(opened) {}
    ~FileSearch()
    {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;
    HANDLE handle;
};

// Tells a plug-in that its function entry now carries `id`; its answer does not count.
void TellNewId(const ServicePlugin& plugin, const int& id)
{
    plugin.Message({TLV_MSG_FUNCTION_ID, 0, 0, reinterpret_cast<TlvWord>(&id), 1, TLV_TYPE_INT, 0, 0, 0});
}

} // namespace

ServiceHost::~ServiceHost()
{
    UnloadAll();
}

unsigned long ServiceHost::Initialize(TlvHostCallback callback, ITlvHost* host)
{
    const unsigned long result = LoadAll(callback, host);
    if (!TlvFailed(result))
        return result;
    return m_plugins.empty() ? TLV_ERR_FAILED : TLV_OK;
}

void ServiceHost::UnloadAll()
{
    for (ServicePlugin* plugin : m_plugins) {
        plugin->Unload();
        delete plugin;
    }
    m_plugins.clear();
    m_ids.clear();
}

std::string ServiceHost::PluginFolder(const std::string& commonFiles)
{
    std::string folder = commonFiles;
    AppendSeparator(folder);
    folder += AfxLoadString(IDS_SERVICES_FOLDER);
    AppendSeparator(folder);
    return folder;
}

unsigned long ServiceHost::LoadAll(TlvHostCallback callback, ITlvHost* host)
{
    try {
        const std::string folder = PluginFolder(GetCommonFilesFolder());
        const std::string pattern = folder + AfxLoadString(IDS_PLUGIN_PATTERN);
        SetCurrentDirectoryA(folder.c_str());
        WIN32_FIND_DATAA found;
        FileSearch search(FindFirstFileA(pattern.c_str(), &found));
        if (search.handle == INVALID_HANDLE_VALUE)
            return TLV_OK;
        unsigned long result = TLV_OK;
        do
            result = LoadFile(folder + found.cFileName, callback, host);
        while (FindNextFileA(search.handle, &found));
        return result;
    } catch (const std::bad_alloc&) {
        return TLV_ERR_OUT_OF_MEMORY;
    }
}

unsigned long ServiceHost::LoadFile(const std::string& path, TlvHostCallback callback, ITlvHost* host)
{
    ServicePlugin* plugin = new (std::nothrow) ServicePlugin;
    if (plugin == nullptr)
        return TLV_ERR_OUT_OF_MEMORY;
    CTlvFileHandle file;
    file.Initialize(path.c_str());
    unsigned long result = plugin->Load(callback, host, &file);
    if (!TlvFailed(result))
        result = Register(*plugin);
    if (TlvFailed(result)) {
        plugin->Unload();
        delete plugin;
    }
    return result;
}

unsigned long ServiceHost::Register(ServicePlugin& plugin) noexcept
{
    try {
        for (TlvFunctionEntry& entry : plugin.Info().functions) {
            if (m_ids.emplace(entry.functionId, &plugin).second)
                continue;
            // Taken: the next id nobody holds, so that a plug-in that owns
            // one of the fresh ids blocks no later renumbering.
            const int fresh = NextFreeId();
            m_ids.emplace(fresh, &plugin);
            entry.functionId = fresh;
            TellNewId(plugin, entry.functionId);
            m_nextId = fresh + 1;
        }
        m_plugins.push_back(&plugin);
        return TLV_OK;
    } catch (...) {
        // None of its ids may outlive the plug-in, which is about to be unloaded.
        Withdraw(plugin);
        return TLV_ERR_OUT_OF_MEMORY;
    }
}

ServicePlugin* ServiceHost::FindOwner(int functionId) const
{
    const auto found = m_ids.find(functionId);
    return found == m_ids.end() ? nullptr : found->second;
}

int ServiceHost::NextFreeId() const
{
    int id = m_nextId;
    while (m_ids.count(id) != 0)
        ++id;
    return id;
}

void ServiceHost::Withdraw(const ServicePlugin& plugin) noexcept
{
    for (auto it = m_ids.begin(); it != m_ids.end();) {
        if (it->second == &plugin)
            it = m_ids.erase(it);
        else
            ++it;
    }
}
