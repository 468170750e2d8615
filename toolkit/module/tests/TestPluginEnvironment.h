// How a test tells the test plug-in what to do: environment variables set
// for the length of a test.
#pragma once

#include <windows.h>

#include <string>

// The task's initialisation result ("0", "0x1101").
constexpr char kTestPluginInitVariable[] = "TL_TEST_PLUGIN_INIT";
// "width,height,scale,folder" of the renditions it asks for.
constexpr char kTestPluginRenderVariable[] = "TL_TEST_PLUGIN_RENDER";

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : m_name(name)
    {
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(m_name, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
};
