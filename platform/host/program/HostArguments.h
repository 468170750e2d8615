// The host program's command line:
//   TlHost [--folder DIR] --module NAME [--module NAME...] [--run ID PICTURE...]
// Modules are loaded by name (from DIR when given); without --run the
// program lists their functions and ends.
#pragma once

#include <string>
#include <vector>

struct HostArguments {
    std::string folder;
    std::vector<std::string> modules;
    bool run = false;
    int functionId = 0;
    std::vector<std::string> pictures;
};

// False with `problem` set when the arguments do not make a call.
bool ParseHostArguments(int argc, char** argv, HostArguments* arguments, std::string* problem);
const char* HostUsageText();
