// The develop command's arguments: the usage on request, unknown options
// refused, and the input and output otherwise.
#include "DevelopArguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

DevelopArguments Read(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "TlDevelop.exe");
    return ReadDevelopArguments(int(arguments.size()), arguments.data());
}

TEST(DevelopArgumentsTest, HelpUnknownOptionsAndFilesEachGetTheirAnswer)
{
    const struct {
        std::vector<const char*> arguments;
        DevelopArguments::Kind kind;
        const char* problem;
    } cases[] = {
        {{"--help"}, DevelopArguments::kHelp, ""},
        {{"-h"}, DevelopArguments::kHelp, ""},
        {{"in.qrf", "out.jpg", "--help"}, DevelopArguments::kHelp, ""},
        {{"in.qrf", "-h"}, DevelopArguments::kHelp, ""},
        {{"--version"}, DevelopArguments::kRefused, "unknown option: --version"},
        {{"-x", "in.qrf", "out.jpg"}, DevelopArguments::kRefused, "unknown option: -x"},
        {{"in.qrf", "out.jpg", "-"}, DevelopArguments::kRefused, "unknown option: -"},
        // The first option decides.
        {{"-q", "--help"}, DevelopArguments::kRefused, "unknown option: -q"},
        {{"--help", "-q"}, DevelopArguments::kHelp, ""},
        {{}, DevelopArguments::kRefused, "an input and an output file are needed"},
        {{"in.qrf"}, DevelopArguments::kRefused, "an input and an output file are needed"},
        {{"a", "b", "c"}, DevelopArguments::kRefused, "an input and an output file are needed"},
        {{"in.qrf", "out.jpg"}, DevelopArguments::kDevelop, ""},
        {{"C:\\x-y\\in.qrf", "out-1.tif"}, DevelopArguments::kDevelop, ""}, // a dash inside is no option
    };
    for (const auto& c : cases) {
        std::string trace;
        for (const char* argument : c.arguments)
            trace += std::string(argument) + " ";
        SCOPED_TRACE(trace);
        const DevelopArguments read = Read(c.arguments);
        EXPECT_EQ(read.kind, c.kind);
        EXPECT_EQ(read.problem, c.problem);
        if (c.kind == DevelopArguments::kDevelop) {
            EXPECT_EQ(read.input, c.arguments[0]);
            EXPECT_EQ(read.output, c.arguments[1]);
        }
    }
}

TEST(DevelopArgumentsTest, UsageSaysWhatTheArgumentsFormatsAndExitCodesAre)
{
    const std::string usage = DevelopUsageText();
    for (const char* part : {"usage: TlDevelop INPUT OUTPUT", "-h | --help", ".jpg", ".jpeg", ".tif", ".tiff",
                             "develop-output.jpg", "Unix path", "Exit codes: 0", "1 the library", "2 bad arguments"})
        EXPECT_NE(usage.find(part), std::string::npos) << part;
}

} // namespace
