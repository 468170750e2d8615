// The agent's command line and its two start-up messages.
#pragma once

enum class AgentStart {
    Automatic,
    Manual,
    Usage,
};

// The whole command line, compared exactly: "-m" is a manual run, "-a" or
// nothing an automatic one, anything else asks for the usage message.
AgentStart ParseAgentCommandLine(const char* commandLine);

// The rest of a process command line after the program name and the white
// space (blank, tab, carriage return, line feed, vertical tab) that follows
// it; white space at its end is kept.
const char* AgentCommandLineOf(const char* processCommandLine);

void ShowUsage();
void ShowLanguageLibraryError();
