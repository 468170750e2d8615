// One picture of an upload run: the host item's id, the rendition's location,
// target size and flags. It saves and loads itself through the serialisers; the
// task file carries it to the uploader program.
//
// The order of the virtual operations is fixed (the uploader program and the
// plug-ins call through this table): add only at the end.
#pragma once

#include "host/api/TlvHostApi.h"
#include "serialize/TlSerialize.h"

#include <cstddef>
#include <string>

class CItemMediator;
class ITlvMessage;

class CTlvModuleItem : public ITlSerialize {
public:
    enum : unsigned { kRendered = 1 };

    CTlvModuleItem() = default;
    CTlvModuleItem(const CTlvModuleItem&) = delete;
    CTlvModuleItem& operator=(const CTlvModuleItem&) = delete;

    // Each answers 0, or 0x1008 at the first key that fails.
    unsigned long Load(ITlReader& reader) override;
    unsigned long Save(ITlWriter& writer) override;
    // Detaches first.
    ~CTlvModuleItem() override;

    virtual void SetSourceSize(unsigned option, int width, int height) = 0;
    virtual void SetRendered(bool rendered);
    // A folder or name that cannot be copied leaves the location as it was and answers false.
    virtual bool SetLocation(const std::string& folder, const std::string& fileName);
    // The folder, "\" when the folder is not empty, and the file name, copied with its
    // terminator into `buffer`; a path that does not fit answers false.
    virtual bool GetFilePath(char* buffer, std::size_t bufferSize) const;
    virtual bool GetLocation(std::string& folder, std::string& fileName) const;
    // The host item's text; null while no mediator is attached.
    virtual const char* GetItemName() const;
    // GetFilePath answering 0, or 0x1008 when the path does not fit.
    virtual unsigned long CopyFilePath(char* buffer, std::size_t bufferSize) const;
    virtual void SetRotation(double rotation);
    virtual double GetRotation() const;
    virtual unsigned GetScalingOption() const;
    virtual unsigned GetWidth() const;
    virtual unsigned GetHeight() const;
    virtual void SetInclude(bool include);
    virtual bool GetInclude() const;
    virtual bool IsRendered() const;
    virtual unsigned short GetOption() const;
    virtual void SetOption(unsigned short option);
    virtual int GetSourceWidth() const;
    virtual int GetSourceHeight() const;
    // Stores the id, makes the mediator and takes the item's file location
    // from the host: 0 or 1 (the host knows no location), 0x1003 when memory
    // runs out, or the host's failure code.
    virtual unsigned long Attach(ITlvMessage* entry, ITlvHost* host, TlvItemId id);
    // The mediator lets go of what it took of the host and is deleted.
    virtual void Detach();

    // Null while not attached.
    CItemMediator* GetMediator() const { return m_mediator; }
    TlvItemId GetItemId() const { return m_itemId; }

protected:
    static constexpr unsigned long kKeyFailed = 0x1008;

    double m_rotation = 0;
    unsigned m_width = 0;
    unsigned m_height = 0;
    unsigned m_flags = 0;
    unsigned m_scalingOption = 1;
    unsigned short m_option = 0;
    std::string m_folder;
    std::string m_fileName;
    unsigned char m_include = 0;
    TlvItemId m_itemId = 0;
    CItemMediator* m_mediator = nullptr; // owned
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
};
