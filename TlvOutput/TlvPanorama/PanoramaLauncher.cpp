#include "PanoramaLauncher.h"

#include "PanoramaProgram.h"
#include "PanoramaStrings.h"

#include "afxwin.h"
#include "kelvra/KelvraTypes.h"
#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvResultCodes.h"
#include "runbase/TlvSourceData.h"

#include <algorithm>
#include <iterator>

namespace {

// The message code the panorama program is told the files come with.
constexpr unsigned long TLV_MSG_EXTERNAL_FILES = 0x10000088;
// The entry's flags once the information query is answered.
constexpr int kFunctionFlags = 0x201;

// The file-type words of the pictures the panorama program accepts.
constexpr DWORD kAcceptedFileKinds[] = {1,     2,     4,       8,       16,      32,      256,
                                        512,   1024,  2048,    0x10000, 0x20000, 0x40000, 0x80000};

bool IsAccepted(DWORD fileKind)
{
    return std::find(std::begin(kAcceptedFileKinds), std::end(kAcceptedFileKinds), fileKind) !=
           std::end(kAcceptedFileKinds);
}

std::string CommandLinePrefix()
{
    return " -NV " + std::to_string(TLV_MSG_EXTERNAL_FILES) + " 0 0 0 0 0 0";
}

void ShowNotSupported(const std::string& path)
{
    const std::string text = AfxLoadString(IDS_FORMAT_NOT_SUPPORTED) + path;
    CWinApp* app = AfxGetApp();
    MessageBoxA(nullptr, text.c_str(), app != nullptr ? app->m_pszAppName : nullptr, MB_OK);
}

} // namespace

PanoramaLauncher::PanoramaLauncher()
{
    m_function.functionId = kPanoramaFunctionId;
    m_function.name = "Panorama";
}

unsigned long PanoramaLauncher::Initialize(ITlvMessage* entry, ITlvHost* host)
{
    m_entry = entry;
    void* object = nullptr;
    if (!TlvFailed(host->GetObject(TLV_SERVICE_SELECTION, &object)))
        m_selection = static_cast<ITlvSelectionService*>(object);
    object = nullptr;
    const unsigned long result = host->GetObject(TLV_SERVICE_ITEMS, &object);
    if (TlvFailed(result))
        return result;
    m_itemService = static_cast<ITlvItemService*>(object);
    return TLV_OK;
}

void PanoramaLauncher::Uninitialize()
{
    TlvReleaseService(m_selection);
    TlvReleaseService(m_itemService);
}

unsigned long PanoramaLauncher::Message(TlvWord code, TlvWord, TlvWord, TlvWord record, TlvWord, TlvWord, TlvWord,
                                        TlvWord, TlvWord)
{
    if (code == TLV_MSG_QUERY_INFO) {
        m_function.flags = kFunctionFlags;
        reinterpret_cast<TlvModuleInfo*>(record)->functions.push_back(m_function);
        return TLV_OK;
    }
    if (code == TLV_MSG_RUN_FUNCTION)
        return Run();
    // A new id from the output module included: the plug-in keeps its own.
    return TLV_OK;
}

unsigned long PanoramaLauncher::Run()
{
    std::string commandLine = CommandLinePrefix();
    unsigned long result = CollectItems();
    if (result == TLV_OK_HANDLED || TlvFailed(result))
        return result;
    result = AppendPaths(commandLine);
    if (TlvFailed(result))
        return result;
    m_commandLine = commandLine;
    return LaunchPanoramaProgram(m_commandLine);
}

unsigned long PanoramaLauncher::CollectItems()
{
    if (m_selection == nullptr || m_itemService == nullptr)
        return TLV_ERR_NOT_FOUND;
    m_currentId = 0;
    m_selection->GetCurrentItem(&m_currentId);
    m_items.clear();
    if (TlvFailed(m_entry->Message(TLV_MSG_SAVE_CURRENT_ITEM, 0, 0, 0, 0, 0, 0, 0, 0)))
        return TLV_ERR_NOT_FOUND;
    unsigned long result = m_selection->GetSelectedItems(&m_items);
    if (TlvFailed(result) || m_items.empty()) {
        m_itemService->LoadItems(m_currentId);
        m_items.clear();
        result = m_selection->GetSelectedItems(&m_items);
    }
    if (m_items.empty())
        return TLV_OK_HANDLED;
    return result;
}

unsigned long PanoramaLauncher::AppendPaths(std::string& commandLine)
{
    for (const TlvItemId item : m_items) {
        CTlvSourceData* source = nullptr;
        unsigned long result = m_itemService->GetSourceData(item, -1, 0, &source);
        KelvraFile file;
        if (!TlvFailed(result) && source != nullptr) {
            if (!IsAccepted(source->m_fileKind))
                result = TLV_ERR_UNSUPPORTED_SOURCE;
            source->m_filePath.GetFullPath(file.path, sizeof file.path);
        } else if (!TlvFailed(result)) {
            result = TLV_ERR_FAILED;
        }
        if (TlvFailed(result)) {
            ShowNotSupported(file.path);
            return TLV_ERR_UNSUPPORTED_FORMAT;
        }
        commandLine += " \"";
        commandLine += file.path;
        commandLine += '"';
    }
    return TLV_OK;
}
