// The process-wide stack of current plug-in hosts: a host is on top while
// its plug-in's entry runs, and the interface's callbacks act on that host.
#pragma once

class CPluginHost;

// The host on top; null when no entry is running.
CPluginHost* TlCurrentPluginHost();

// Pushes a host for its life.
class CTlPluginHostScope {
public:
    explicit CTlPluginHostScope(CPluginHost* host);
    ~CTlPluginHostScope();
    CTlPluginHostScope(const CTlPluginHostScope&) = delete;
    CTlPluginHostScope& operator=(const CTlPluginHostScope&) = delete;
};
