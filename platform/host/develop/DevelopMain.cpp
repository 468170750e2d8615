// TlDevelop: develops one raw file through the raw-image library, as a host
// saves an image, into a JPEG or a TIFF chosen by the output's extension:
//
//   TlDevelop INPUT OUTPUT
//   TlDevelop -h | --help
//
// The raw file's stored settings apply, or the neutral settings installed
// beside the library when it stores none. Prints a progress bar and the
// result; exits 0 when the file was written (or the usage was asked for),
// 1 when the library failed, with the error chain that says why, and 2 for
// bad arguments. scripts/develop runs it under Wine with the Unix paths it
// was given, which the program maps to Windows paths itself.
#include "DevelopArguments.h"
#include "DevelopMessages.h"
#include "DevelopOutput.h"
#include "DevelopPaths.h"
#include "DevelopProgress.h"
#include "DevelopSameFile.h"
#include "DevelopSession.h"

#include "kelvra/KelvraError.h"
#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const char* problem, const std::string& detail = std::string())
{
    std::fprintf(stderr, "TlDevelop: %s%s\n\n%s", problem, detail.c_str(), DevelopUsageText());
    return kExitUsage;
}

// The full path, which the save record holds in 260 characters; empty when
// it does not fit.
std::string FullPath(const std::string& path)
{
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
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

// The library replaces the target, so the raw file would be lost. Another
// text for the same file (a short name, a link to its folder, a "\\?\"
// prefix) is caught by the files' identities.
bool WouldReplaceInput(const std::string& input, const std::string& output)
{
    return lstrcmpiA(input.c_str(), output.c_str()) == 0 || NamesTheSameFile(input.c_str(), output.c_str());
}

// The summary, then why: the chain the library handed on.
int Report(const char* what, const char* text, unsigned long result, const IKelvraError* chain = nullptr)
{
    std::fprintf(stderr, "TlDevelop: %s: %s (0x%04lX)\n%s", what, text, result, DescribeErrorChain(chain).c_str());
    return kExitFailed;
}

} // namespace

int main(int argc, char** argv)
{
    const DevelopArguments arguments = ReadDevelopArguments(argc, argv);
    if (arguments.kind == DevelopArguments::kHelp) {
        std::fputs(DevelopUsageText(), stdout);
        return 0;
    }
    if (arguments.kind == DevelopArguments::kRefused)
        return Usage(arguments.problem.c_str());
    const std::string inputPath = WindowsPathOfArgument(arguments.input);
    const std::string outputPath = WindowsPathOfArgument(arguments.output);
    if (inputPath.empty() || outputPath.empty())
        return Usage("a path has no Windows name: ", inputPath.empty() ? arguments.input : arguments.output);
    const std::string input = FullPath(inputPath);
    const std::string output = FullPath(outputPath);
    if (input.empty() || output.empty())
        return Usage("a path is longer than 259 characters");
    if (!IsFile(input))
        return Usage("no such input file: ", input);
    DevelopOutput format{};
    if (!ChooseDevelopOutput(output.c_str(), &format))
        return Usage("the output's extension chooses its format: ", output);
    if (!IsFolder(FolderOf(output)))
        return Usage("no such output folder: ", FolderOf(output));
    if (WouldReplaceInput(input, output))
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
    IKelvraError* error = nullptr;
    const unsigned long result = session.Develop(input.c_str(), output.c_str(), format, progress, &error);
    if (result != TLV_OK) {
        const int failed = Report("the save failed", DevelopResultText(result), result, error);
        IKelvraError::Release(error);
        return failed;
    }
    IKelvraError::Release(error);
    std::printf("Developed: %s\n", output.c_str());
    return 0;
}
