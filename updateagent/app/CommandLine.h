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

void ShowUsage();
void ShowLanguageLibraryError();
