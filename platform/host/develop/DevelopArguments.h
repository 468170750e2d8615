// The develop command's arguments: the input and the output file, or a
// request for the usage. Anything that starts with '-' is an option; only
// -h and --help are known.
#pragma once

#include <string>

struct DevelopArguments {
    enum Kind {
        kDevelop,   // input and output are set
        kHelp,      // print the usage and end well
        kRefused,   // print `problem` and the usage and end with exit code 2
    };
    Kind kind = kRefused;
    std::string input;
    std::string output;
    std::string problem;
};

// `argc` and `argv` as main gets them (argv[0] is the program).
DevelopArguments ReadDevelopArguments(int argc, const char* const* argv);

// What the arguments are, the formats and the exit codes.
const char* DevelopUsageText();
