#include "filters/plugin/TlPluginWin.h"

#include "psplugin/PsResources.h"

#include <new>

namespace {

// The process's main window, for plug-ins' dialogs. Nothing in the library
// sets one.
const std::intptr_t g_mainWindow = 0;

// The bytes of resource 16000 of `type` and their size, from `skip` bytes in;
// null when the module has none.
const void* FindPluginResource(HMODULE module, const char* type, DWORD skip, std::uint32_t* size)
{
    *size = 0;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kPsResourceId), type);
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* bytes = loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    const DWORD total = SizeofResource(module, found);
    if (bytes == nullptr || total < skip)
        return nullptr;
    *size = total - skip;
    return bytes + skip;
}

} // namespace

CPluginWin::CPluginWin()
{
    if (g_mainWindow == 0)
        OutputDebugStringA("Warning: CPluginWin has no main window handle.\n");
    PlatformData().hwnd = g_mainWindow;
}

CPluginWin::~CPluginWin()
{
    Unload();
}

PsResult CPluginWin::LoadPluginFile()
{
    if (m_module != nullptr)
        UnloadPluginFile();
    m_module = LoadLibraryA(GetEntry().path.GetData());
    if (m_module == nullptr)
        return kPsFileMissing;
    m_entry = reinterpret_cast<PsEntryProc>(reinterpret_cast<void*>(GetProcAddress(m_module, "ENTRYPOINT")));
    if (m_entry == nullptr) {
        UnloadPluginFile();
        return kPsFileMissing;
    }
    ResetIdentity();
    std::uint32_t piplSize = 0, aeteSize = 0;
    const void* pipl = FindPluginResource(m_module, "PIPL", kPsPiplSkip, &piplSize);
    const void* aete = FindPluginResource(m_module, "AETE", 0, &aeteSize);
    ParsePiPL(pipl, piplSize, aete, aeteSize);
    return kPsNoError;
}

PsResult CPluginWin::UnloadPluginFile()
{
    if (m_module != nullptr)
        FreeLibrary(m_module);
    m_module = nullptr;
    m_entry = nullptr;
    return kPsNoError;
}

PsResult CPluginWin::CallEntry(std::int16_t selector, void* record, std::intptr_t* data)
{
    if (m_module == nullptr)
        return kPsNothingLoaded;
    if (m_entry == nullptr)
        return kPsNoEntry;
    PsResult result = kPsNoError;
    m_entry(selector, record, data, &result);
    return result;
}

CPluginHost* CPluginWin::CreateAnother()
{
    return new (std::nothrow) CPluginWin;
}

IPluginHost* CPluginWinFactory::CreateHost()
{
    return new (std::nothrow) CPluginWin;
}
