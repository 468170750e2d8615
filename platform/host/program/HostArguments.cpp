#include "HostArguments.h"

#include <cstdlib>
#include <cstring>

namespace {

bool ParseId(const char* text, int* id)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0' || value == 0 || value > 0x7FFFFFFF)
        return false;
    *id = int(value);
    return true;
}

} // namespace

bool ParseHostArguments(int argc, char** argv, HostArguments* arguments, std::string* problem)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argument, "--folder") == 0 && hasValue) {
            arguments->folder = argv[++i];
        } else if (std::strcmp(argument, "--module") == 0 && hasValue) {
            arguments->modules.push_back(argv[++i]);
        } else if (std::strcmp(argument, "--run") == 0 && hasValue) {
            if (!ParseId(argv[++i], &arguments->functionId)) {
                *problem = std::string("not a function id: ") + argv[i];
                return false;
            }
            arguments->run = true;
        } else if (arguments->run && argument[0] != '-') {
            arguments->pictures.push_back(argument);
        } else {
            *problem = std::string("unexpected argument: ") + argument;
            return false;
        }
    }
    if (arguments->modules.empty()) {
        *problem = "no module named";
        return false;
    }
    if (arguments->run && arguments->pictures.empty()) {
        *problem = "no picture to run the function on";
        return false;
    }
    return true;
}

const char* HostUsageText()
{
    return "usage: TlHost [--folder DIR] --module NAME [--module NAME...] [--run ID PICTURE...]\n"
           "Loads the modules by name (from DIR when given) and lists their functions; with --run,\n"
           "runs function ID on the pictures and prints what the modules sent.\n"
           "Exit codes: the run's result (0 success, else the failure code); 1 when a module does\n"
           "not load, the id is unknown, a picture is missing or the arguments are wrong.\n";
}
