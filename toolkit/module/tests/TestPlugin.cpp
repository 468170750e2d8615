// A plug-in on CTlvPluginTemplate for the tests of the module interface and
// of the host: one function that renders the selected items, one after the
// other, as the upload plug-ins do. What a test wants of it comes from the
// environment: TL_TEST_PLUGIN_INIT the task's initialisation result,
// TL_TEST_PLUGIN_RENDER "width,height,scale,folder" of its renditions.
#include "TestPluginCodes.h"

#include "module/TlvPluginExports.h"

#include "afxwin.h"
#include "host/api/TlvHostServices.h"
#include "runbase/TlvOutputData.h"
#include "runbase/TlvSourceData.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Environment(const char* name)
{
    char value[512] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

class CTestTask final : public ITlvInitialize, public ITlvMessage {
public:
    unsigned long Initialize(ITlvMessage* entry, ITlvHost* host) override
    {
        m_entry = entry;
        TellText();
        void* selection = nullptr;
        const unsigned long taken = host->GetObject(TLV_SERVICE_SELECTION, &selection);
        if (TlvFailed(taken))
            return taken;
        m_selection = static_cast<ITlvSelectionService*>(selection);
        const std::string wanted = Environment("TL_TEST_PLUGIN_INIT");
        return wanted.empty() ? TLV_OK : std::strtoul(wanted.c_str(), nullptr, 0);
    }

    void Uninitialize() override
    {
        TellText();
        if (m_selection != nullptr)
            m_selection->Release();
        m_selection = nullptr;
    }

    unsigned long Message(TlvWord code, TlvWord value1, TlvWord, TlvWord record, TlvWord, TlvWord, TlvWord,
                          TlvWord, TlvWord) override
    {
        TellText();
        switch (code) {
        case TLV_MSG_QUERY_INFO:
            reinterpret_cast<TlvModuleInfo*>(record)->functions.push_back({kTestFunctionId, 0, "Test", 513, nullptr});
            return TLV_OK;
        case TLV_MSG_RUN_FUNCTION:
            return value1 == kTestFunctionId ? Run() : TLV_ERR_UNSUPPORTED_SOURCE;
        case TLV_MSG_ABORT:
            return m_entry->Message(TLV_MSG_CANCEL_REQUEST, 0, 0, 0, 0, 0, 0, TLV_MSG_RENDER_ITEM, kTestCancelTag);
        case TLV_MSG_REQUEST_DONE:
            if (record != 0)
                return TLV_OK;
            ++m_next;
            return RenderNext();
        default:
            return TLV_OK;
        }
    }

private:
    // The plug-in's string under the id the host's test program also has.
    void TellText()
    {
        std::string text = AfxLoadString(kTestStringId);
        m_entry->Message(kTestTextNotice, 0, 0, reinterpret_cast<TlvWord>(&text), 0, TLV_TYPE_STRING, 0, 0, 0);
    }

    unsigned long Run()
    {
        unsigned long result = m_entry->Message(TLV_MSG_SAVE_CURRENT_ITEM, 0, 0, 0, 0, 0, 0, 0, 0);
        if (TlvFailed(result))
            return TLV_ERR_NOT_FOUND;
        m_items.clear();
        m_next = 0;
        m_selection->GetSelectedItems(&m_items);
        if (m_items.empty())
            return TLV_OK_HANDLED;
        return RenderNext();
    }

    unsigned long RenderNext()
    {
        if (m_next >= m_items.size())
            return TLV_OK;
        const TlvItemId item = m_items[m_next];
        const std::string render = Environment("TL_TEST_PLUGIN_RENDER");
        char folder[MAX_PATH] = {};
        unsigned long width = 0, height = 0;
        double scale = 0;
        if (std::sscanf(render.c_str(), "%lu,%lu,%lf,%259[^\n]", &width, &height, &scale, folder) != 4)
            return TLV_ERR_FAILED;
        m_output = CTlvOutputData();
        m_output.m_path.SetFolder(folder);
        m_output.m_path.SetFileName("rendition" + std::to_string(m_next + 1) + ".jpg");
        m_output.m_scale = scale;
        m_output.m_width = width;
        m_output.m_height = height;
        m_output.m_pixelFormat = 0x08060201;
        m_output.m_fileFormat = 1024;
        return m_entry->Message(TLV_MSG_RENDER_ITEM, TlvItemLow(item), TlvItemHigh(item),
                                reinterpret_cast<TlvWord>(&m_output), 1, TLV_TYPE_OUTPUT_DATA, 6, 0, kTestRenderTag);
    }

    ITlvMessage* m_entry = nullptr;
    ITlvSelectionService* m_selection = nullptr;
    std::vector<TlvItemId> m_items;
    std::size_t m_next = 0;
    CTlvOutputData m_output;
};

class CTestPluginApp : public CWinApp {
public:
    CTestPluginApp() : CWinApp("TlTestModule") {}
};

CTestPluginApp theApp;

} // namespace

const TlvPluginIdentity g_tlvPluginIdentity = {6, 1, "Test"};

CTlvPluginEntry* TlvNewPluginEntry() noexcept
{
    return new (std::nothrow) CTlvPluginTemplate<CTestTask>;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AfxDllEntry(instance, reason);
}
