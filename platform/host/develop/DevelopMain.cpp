// TlDevelop: develops one raw file through the raw-image library, as a host
// saves an image, into a JPEG or a TIFF chosen by the output's extension:
//
//   TlDevelop INPUT OUTPUT
//
// The raw file's stored settings apply, or the neutral settings installed
// beside the library when it stores none. Prints a progress bar and the
// result; exits 0 when the file was written, 1 when the library failed and
// 2 for bad arguments. scripts/develop runs it under Wine.
#include "DevelopMessages.h"
#include "DevelopOutput.h"
#include "DevelopProgress.h"
#include "DevelopSession.h"

#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const char* problem, const std::string& detail = std::string())
{
    std::fprintf(stderr, "TlDevelop: %s%s\n", problem, detail.c_str());
    std::fprintf(stderr, "usage: TlDevelop INPUT OUTPUT   (OUTPUT ends in .jpg, .jpeg, .tif or .tiff)\n");
    return kExitUsage;
}

// The full path, which the save record holds in 260 characters; empty when
// it does not fit.
std::string FullPath(const char* path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    return full;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t last = path.find_last_of('\\');
    return last == std::string::npos ? std::string(".") : path.substr(0, last + 1);
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int Report(const char* what, const char* text, unsigned long result)
{
    std::fprintf(stderr, "TlDevelop: %s: %s (0x%04lX)\n", what, text, result);
    return kExitFailed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Usage("an input and an output file are needed");
    const std::string input = FullPath(argv[1]);
    const std::string output = FullPath(argv[2]);
    if (input.empty() || output.empty())
        return Usage("a path is longer than 259 characters");
    if (!IsFile(input))
        return Usage("no such input file: ", input);
    DevelopOutput format{};
    if (!ChooseDevelopOutput(output.c_str(), &format))
        return Usage("the output's extension chooses its format: ", output);
    if (!IsFolder(FolderOf(output)))
        return Usage("no such output folder: ", FolderOf(output));
    // The library replaces the target, so the raw file would be lost.
    if (lstrcmpiA(input.c_str(), output.c_str()) == 0)
        return Usage("the output would replace the input: ", input);

    CDevelopSession session;
    // The start fails with 0x1008 when a working profile is missing.
    if (const unsigned long started = session.Start()) {
        const char* text = started == TLV_ERR_FAILED ? "a working profile is missing; the install step puts them in place"
                                                      : DevelopResultText(started);
        return Report("the raw-image library did not start", text, started);
    }
    std::printf("Developing %s\n        into %s\n", input.c_str(), output.c_str());
    CProgressLine progress(stdout);
    const unsigned long result = session.Develop(input.c_str(), output.c_str(), format, progress);
    if (result != TLV_OK)
        return Report("the save failed", DevelopResultText(result), result);
    std::printf("Developed: %s\n", output.c_str());
    return 0;
}
