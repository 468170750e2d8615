#include "DevelopArguments.h"

#include <cstring>

namespace {

constexpr char kUsage[] =
    "usage: TlDevelop INPUT OUTPUT\n"
    "       TlDevelop -h | --help\n"
    "\n"
    "Develops the raw file INPUT with the settings it stores (or the neutral\n"
    "settings installed beside the library when it stores none) and writes\n"
    "the picture to OUTPUT.\n"
    "\n"
    "  INPUT    the raw file to develop (.qrf); it is only read\n"
    "  OUTPUT   the picture to write; its extension chooses the format:\n"
    "             .jpg, .jpeg   JPEG, 8 bits per channel\n"
    "             .tif, .tiff   TIFF, 16 bits per channel\n"
    "           an existing file is replaced, unless it is INPUT itself\n"
    "\n"
    "Under Wine a path that starts with '/' is a Unix path: the program names\n"
    "it as Wine maps it (the drive of the root, Z:, or the drive whose folder\n"
    "holds it).\n"
    "\n"
    "Both are needed; scripts/develop supplies defaults (the bundled raw file\n"
    "and develop-output.jpg in the current folder).\n"
    "\n"
    "Exit codes: 0 the picture was written; 1 the library could not load,\n"
    "develop or write it (the messages say why); 2 bad arguments.\n";

bool IsOption(const char* argument)
{
    return argument[0] == '-';
}

bool AsksForHelp(const char* argument)
{
    return std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0;
}

DevelopArguments Refused(const std::string& problem)
{
    DevelopArguments arguments;
    arguments.problem = problem;
    return arguments;
}

} // namespace

DevelopArguments ReadDevelopArguments(int argc, const char* const* argv)
{
    // The first option decides: a later file name cannot make an unknown
    // option harmless.
    for (int index = 1; index < argc; ++index) {
        if (!IsOption(argv[index]))
            continue;
        if (!AsksForHelp(argv[index]))
            return Refused(std::string("unknown option: ") + argv[index]);
        DevelopArguments help;
        help.kind = DevelopArguments::kHelp;
        return help;
    }
    if (argc != 3)
        return Refused("an input and an output file are needed");
    DevelopArguments arguments;
    arguments.kind = DevelopArguments::kDevelop;
    arguments.input = argv[1];
    arguments.output = argv[2];
    return arguments;
}

const char* DevelopUsageText()
{
    return kUsage;
}
