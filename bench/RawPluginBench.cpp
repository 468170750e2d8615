// Opens a 6000 x 4000 synthetic Qrf file through the raw plug-in's
// selectors, as an image editor replaying an action does (ReadStart,
// ReadContinue, ReadFinish), and reports the seconds each takes. The file
// is made first by TlQrfFixtures (beside this program) in the temporary
// folder. Run by hand under Wine: RawPluginBench [model]
#include "PsFormatHost.h"
#include "TlRawPluginEntry.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Folder(bool temporary)
{
    char path[MAX_PATH] = {};
    if (temporary) {
        GetTempPathA(MAX_PATH, path);
        return path;
    }
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool MakeFile(const std::string& path, const char* model)
{
    const char* pattern = std::atoi(model) >= 515 && std::atoi(model) <= 516   ? "BGGR"
                          : std::atoi(model) >= 513 && std::atoi(model) <= 514 ? "YCGM"
                                                                               : "RGGB";
    std::string command = "\"" + Folder(false) + "TlQrfFixtures.exe\" \"" + path + "\" --width 6000 --height 4000" +
                          " --model " + model + " --pattern " + pattern;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    const char* model = argc > 1 ? argv[1] : "257";
    const std::string path = Folder(true) + "RawPluginBench.qrf";
    std::printf("making a 6000 x 4000 file of model %s...\n", model);
    if (!MakeFile(path, model)) {
        std::printf("the file could not be made\n");
        return 1;
    }
    CPsFormatHost host;
    host.Attach(&ENTRYPOINT);
    PsFormatHostOptions options;
    options.hasDescriptor = true;
    options.descriptor = {PsDescriptorValue::Integer(PsFourCC('k', 'r', 't', 'I'), 0)};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const PsFormatHostResult result = host.Open(path, options);
    QueryPerformanceCounter(&end);
    DeleteFileA(path.c_str());
    if (result.start != kPsNoError || result.readContinue != kPsNoError) {
        std::printf("the read failed: ReadStart %d, ReadContinue %d\n", result.start, result.readContinue);
        return 1;
    }
    std::printf("%d x %d in %u strips: %.2f s through the selectors\n", result.width, result.height,
                unsigned(result.strips.size()), Seconds(start, end));
    return 0;
}
