#include "items/TlvModuleItem.h"

#include "common/TlNoThrow.h"
#include "items/TlvItemMediator.h"

#include "runbase/TlvResultCodes.h"

#include <cstring>
#include <new>

CTlvModuleItem::~CTlvModuleItem()
{
    Detach();
}

unsigned long CTlvModuleItem::Load(ITlReader& reader)
{
    unsigned long width = 0, height = 0, flags = 0, scaling = 0;
    bool include = false;
    const bool read = TlAnswerNoThrow([&] {
        return reader.ReadDouble("ItemRotation", &m_rotation, 0) && reader.ReadULong("ImageWidth", &width, 0) &&
               reader.ReadULong("ImageHeight", &height, 0) && reader.ReadULong("ModuleFlags", &flags, 0) &&
               reader.ReadULong("ScalingOption", &scaling, 1) && reader.ReadString("FileLocationPath", &m_folder) &&
               reader.ReadString("FileLocationName", &m_fileName) && reader.ReadBool("ShouldInclude", &include, false);
    });
    m_width = static_cast<unsigned>(width);
    m_height = static_cast<unsigned>(height);
    m_flags = static_cast<unsigned>(flags);
    m_scalingOption = static_cast<unsigned>(scaling);
    m_include = include ? 1 : 0;
    return read ? 0 : kKeyFailed;
}

unsigned long CTlvModuleItem::Save(ITlWriter& writer)
{
    const bool written = TlAnswerNoThrow([&] {
        return writer.WriteDouble("ItemRotation", m_rotation) && writer.WriteULong("ImageWidth", m_width) &&
               writer.WriteULong("ImageHeight", m_height) && writer.WriteULong("ModuleFlags", m_flags) &&
               writer.WriteULong("ScalingOption", m_scalingOption) && writer.WriteString("FileLocationPath", m_folder) &&
               writer.WriteString("FileLocationName", m_fileName) && writer.WriteBool("ShouldInclude", m_include != 0);
    });
    return written ? 0 : kKeyFailed;
}

void CTlvModuleItem::SetRendered(bool rendered)
{
    m_flags = rendered ? (m_flags | kRendered) : (m_flags & ~kRendered);
}

bool CTlvModuleItem::SetLocation(const std::string& folder, const std::string& fileName)
{
    return TlAnswerNoThrow([&] {
        std::string newFolder = folder, newName = fileName;
        m_folder.swap(newFolder);
        m_fileName.swap(newName);
        return true;
    });
}

bool CTlvModuleItem::GetFilePath(char* buffer, std::size_t bufferSize) const
{
    const std::size_t separator = m_folder.empty() ? 0 : 1;
    const std::size_t length = m_folder.size() + separator + m_fileName.size();
    if (!buffer || length >= bufferSize)
        return false;
    char* end = buffer;
    std::memcpy(end, m_folder.data(), m_folder.size());
    end += m_folder.size();
    if (separator)
        *end++ = '\\';
    std::memcpy(end, m_fileName.data(), m_fileName.size());
    end[m_fileName.size()] = '\0';
    return true;
}

bool CTlvModuleItem::GetLocation(std::string& folder, std::string& fileName) const
{
    return TlAnswerNoThrow([&] {
        folder = m_folder;
        fileName = m_fileName;
        return true;
    });
}

const char* CTlvModuleItem::GetItemName() const
{
    return m_mediator ? m_mediator->GetItemName() : nullptr;
}

unsigned long CTlvModuleItem::CopyFilePath(char* buffer, std::size_t bufferSize) const
{
    return GetFilePath(buffer, bufferSize) ? 0 : kKeyFailed;
}

void CTlvModuleItem::SetRotation(double rotation) { m_rotation = rotation; }
double CTlvModuleItem::GetRotation() const { return m_rotation; }
unsigned CTlvModuleItem::GetScalingOption() const { return m_scalingOption; }
unsigned CTlvModuleItem::GetWidth() const { return m_width; }
unsigned CTlvModuleItem::GetHeight() const { return m_height; }
void CTlvModuleItem::SetInclude(bool include) { m_include = include ? 1 : 0; }
bool CTlvModuleItem::GetInclude() const { return m_include != 0; }
bool CTlvModuleItem::IsRendered() const { return (m_flags & kRendered) != 0; }
unsigned short CTlvModuleItem::GetOption() const { return m_option; }
void CTlvModuleItem::SetOption(unsigned short option) { m_option = option; }
int CTlvModuleItem::GetSourceWidth() const { return m_sourceWidth; }
int CTlvModuleItem::GetSourceHeight() const { return m_sourceHeight; }

unsigned long CTlvModuleItem::Attach(ITlvMessage* entry, ITlvHost* host, TlvItemId id)
{
    Detach();
    m_itemId = id;
    m_mediator = new (std::nothrow) CTlvItemMediator;
    if (m_mediator == nullptr)
        return TLV_ERR_OUT_OF_MEMORY;
    unsigned long result = m_mediator->Attach(entry, host, id);
    if (TlvFailed(result))
        return result;
    std::string folder, fileName;
    result = m_mediator->GetLocation(folder, fileName);
    if (result == TLV_OK && !SetLocation(folder, fileName))
        return TLV_ERR_OUT_OF_MEMORY;
    return result;
}

void CTlvModuleItem::Detach()
{
    if (m_mediator == nullptr)
        return;
    m_mediator->Detach();
    delete m_mediator;
    m_mediator = nullptr;
}
