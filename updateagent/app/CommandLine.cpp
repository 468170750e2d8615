#include "app/CommandLine.h"

#include <windows.h>

#include <cstring>

namespace {
const char kCaption[] = "Talvo Corvane";
}

AgentStart ParseAgentCommandLine(const char* commandLine)
{
    if (!commandLine || std::strcmp(commandLine, "") == 0 || std::strcmp(commandLine, "-a") == 0)
        return AgentStart::Automatic;
    if (std::strcmp(commandLine, "-m") == 0)
        return AgentStart::Manual;
    return AgentStart::Usage;
}

const char* AgentCommandLineOf(const char* processCommandLine)
{
    const char* next = processCommandLine ? processCommandLine : "";
    if (*next == '"') {
        ++next;
        while (*next && *next != '"')
            ++next;
        if (*next == '"')
            ++next;
    } else {
        while (*next && *next != ' ' && *next != '\t')
            ++next;
    }
    while (*next && std::strchr(" \t\r\n\v", *next))
        ++next;
    return next;
}

void ShowUsage()
{
    MessageBoxA(nullptr,
                "Application usage:\n    TalvoCorvane [-m|-a]\nwhere:\n    -m  - start in \"manual\" mode\n"
                "    -a  - start in \"auto\" mode\n"
                "    - with no arguments, the application will start in \"auto\" mode\n",
                kCaption, MB_OK | MB_ICONERROR);
}

void ShowLanguageLibraryError()
{
    MessageBoxA(nullptr, "Could not load CorvaneLang.dll.\n", kCaption, MB_OK | MB_ICONERROR);
}
