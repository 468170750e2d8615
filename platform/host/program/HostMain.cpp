// TlHost.exe: the host program. Loads the modules it is given, lists their
// functions, runs one on the pictures of its command line, pumps messages
// until the run is over, prints what the modules sent and exits with the
// run's result.
#include "HostArguments.h"

#include "TlHost.h"

#include "runbase/TlvResultCodes.h"

#include <cstdio>

namespace {

// A run the modules leave waiting longer than this has hung.
constexpr DWORD kRunTimeoutMs = 10 * 60 * 1000;

int Refuse(const std::string& problem)
{
    std::fprintf(stderr, "TlHost: %s\n", problem.c_str());
    return 1;
}

std::string ModulePath(const HostArguments& arguments, const std::string& name)
{
    if (arguments.folder.empty())
        return name;
    const char last = arguments.folder.back();
    return arguments.folder + (last == '\\' || last == '/' ? "" : "\\") + name;
}

void ListFunctions(const CTlHostModule& module)
{
    const TlvModuleInfo& info = module.GetInfo();
    std::printf("module %s: type %d\n", module.GetName().c_str(), info.moduleId);
    for (const TlvFunctionEntry& function : info.functions)
        std::printf("  function 0x%X \"%s\"\n", unsigned(function.functionId), function.name.c_str());
}

CTlHostModule* OwnerOf(const std::vector<CTlHostModule*>& modules, int id)
{
    for (CTlHostModule* module : modules) {
        for (const TlvFunctionEntry& function : module->GetInfo().functions) {
            if (function.functionId == id)
                return module;
        }
    }
    return nullptr;
}

// Functions a module announced to the host (the output module announces its
// plug-ins' functions so).
void ListAnnounced(const CTlHost& host)
{
    for (const TlHostFunction& function : host.Functions())
        std::printf("announced 0x%X \"%s\" by module type %u\n", unsigned(function.id), function.name.c_str(),
                    unsigned(function.owner));
}

void PrintCalls(const CTlHost& host)
{
    for (const TlHostCall& call : host.Calls()) {
        std::printf("sent 0x%08lX", static_cast<unsigned long>(call.words[0]));
        for (std::size_t i = 1; i < call.words.size(); ++i)
            std::printf(" %llX", static_cast<unsigned long long>(call.words[i]));
        if (!call.text.empty())
            std::printf(" \"%s\"", call.text.c_str());
        std::printf(" -> 0x%lX\n", call.answer);
    }
}

CTlHostScript ScriptFor(const std::vector<std::string>& pictures)
{
    CTlHostScript script;
    TlvItemId id = 0;
    for (const std::string& picture : pictures) {
        TlHostItem item;
        item.id = ++id;
        item.path = picture;
        script.items.push_back(item);
        script.selectedItems.push_back(item.id);
    }
    script.currentItem = script.selectedItems.empty() ? 0 : script.selectedItems.front();
    return script;
}

unsigned long Run(CTlHost& host, CTlHostModule& module, int id)
{
    const unsigned long answer = host.RunFunction(module, id);
    if (answer != 2)
        return TlvFailed(answer) ? answer : TLV_OK;
    if (!host.Pump([&host] { return host.PendingRequests() == 0; }, kRunTimeoutMs))
        return TLV_ERR_FAILED;
    return host.LastRequestResult();
}

} // namespace

int main(int argc, char** argv)
{
    HostArguments arguments;
    std::string problem;
    if (!ParseHostArguments(argc, argv, &arguments, &problem)) {
        std::fprintf(stderr, "TlHost: %s\n\n%s", problem.c_str(), HostUsageText());
        return 1;
    }
    for (const std::string& picture : arguments.pictures) {
        if (GetFileAttributesA(picture.c_str()) == INVALID_FILE_ATTRIBUTES)
            return Refuse("no picture at " + picture);
    }
    CTlHost host(ScriptFor(arguments.pictures));
    std::vector<CTlHostModule*> modules;
    for (const std::string& name : arguments.modules) {
        CTlHostModule* module = nullptr;
        const unsigned long result = host.AddModule(ModulePath(arguments, name), &module);
        if (result != TLV_OK) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%lX", result);
            return Refuse("the module " + name + " did not load or start (" + code + ")");
        }
        modules.push_back(module);
        ListFunctions(*module);
    }
    ListAnnounced(host);
    if (!arguments.run)
        return 0;
    CTlHostModule* owner = OwnerOf(modules, arguments.functionId);
    if (owner == nullptr) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%X", unsigned(arguments.functionId));
        return Refuse(std::string("no loaded module offers function ") + id);
    }
    const unsigned long result = Run(host, *owner, arguments.functionId);
    PrintCalls(host);
    host.CloseModules();
    std::printf("result 0x%lX\n", result);
    return int(result);
}
