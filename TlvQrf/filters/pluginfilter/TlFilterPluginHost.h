// What the filter-plug-in filter asks of the image-editor plug-in host that
// runs its plug-in. The host remembers the filters attached to it, so that
// unloading its plug-in can detach every one of them.
#pragma once

class CPluginHostFilter;

class ITlFilterPluginHost {
public:
    // Appends `filter` to the attached filters, or removes its first
    // occurrence.
    virtual void AttachFilter(CPluginHostFilter* filter, bool attach) = 0;
    // The plug-in's input or settings changed: it must run again.
    virtual void MarkChanged() = 0;

protected:
    ~ITlFilterPluginHost() = default;
};
