#include "PsFormatHost.h"

#include "PsPluginResources.h"
#include "psplugin/PsResources.h"

#include <algorithm>
#include <cstring>
#include <new>

struct CPsFormatHost::Handle {
    std::vector<std::uint8_t> bytes;
};

struct CPsFormatHost::Buffer {
    std::vector<std::uint8_t> bytes;
};

namespace {

CPsFormatHost* g_host = nullptr;

struct ReadToken {
    std::vector<PsDescriptorValue> values;
    std::size_t next = 0;
    const PsDescriptorValue* current = nullptr;
};

struct WriteToken {
    std::vector<PsDescriptorValue> values;
};

} // namespace

// The procedures of the record; each finds the host driving the plug-in now.
struct CPsFormatHost::Procs {
    std::map<Handle*, std::unique_ptr<Handle>> handles;
    std::map<PsBufferId, std::unique_ptr<Buffer>> buffers;
    PsBufferId nextBuffer = 1;
    PsBufferProcs bufferProcs{};
    PsHandleProcs handleProcs{};
    PsPropertyProcs propertyProcs{};
    PsReadDescriptorProcs readProcs{};
    PsWriteDescriptorProcs writeProcs{};
    PsDescriptorParameters descriptorParameters{};
    PsBasicSuite basicSuite{};
    PsFileListSuite fileListSuite{};
    PsPlatformData platformData{};

    static Procs& Of() { return *g_host->m_procs; }

    static Handle* NewBlock(std::size_t size)
    {
        auto block = std::make_unique<Handle>();
        block->bytes.resize(size);
        Handle* raw = block.get();
        Of().handles[raw] = std::move(block);
        return raw;
    }
    static Handle* Find(PsHandle handle)
    {
        auto& handles = Of().handles;
        auto found = handles.find(static_cast<Handle*>(handle));
        return found == handles.end() ? nullptr : found->second.get();
    }

    static PsHandle PS_API NewHandle(std::int32_t size)
    {
        if (size < 0 || g_host->m_options.failHandleAllocation)
            return nullptr;
        try {
            return NewBlock(std::size_t(size));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    static void PS_API DisposeHandle(PsHandle handle) { Of().handles.erase(static_cast<Handle*>(handle)); }
    static std::int32_t PS_API GetHandleSize(PsHandle handle)
    {
        Handle* block = Find(handle);
        return block ? std::int32_t(block->bytes.size()) : 0;
    }
    static PsResult PS_API SetHandleSize(PsHandle handle, std::int32_t size)
    {
        Handle* block = Find(handle);
        if (!block || size < 0)
            return kPsBadParameter;
        block->bytes.resize(std::size_t(size));
        return kPsNoError;
    }
    static void* PS_API LockHandle(PsHandle handle, std::uint8_t)
    {
        Handle* block = Find(handle);
        return block ? block->bytes.data() : nullptr;
    }
    static void PS_API UnlockHandle(PsHandle) {}
    static void PS_API RecoverSpace(std::int32_t) {}

    static PsResult PS_API AllocateBuffer(std::int32_t size, PsBufferId* id)
    {
        if (size < 0 || !id)
            return kPsBadParameter;
        try {
            auto buffer = std::make_unique<Buffer>();
            buffer->bytes.resize(std::size_t(size));
            *id = Of().nextBuffer++;
            Of().buffers[*id] = std::move(buffer);
            return kPsNoError;
        } catch (const std::bad_alloc&) {
            return kPsOutOfMemory;
        }
    }
    static void* PS_API LockBuffer(PsBufferId id, std::uint8_t)
    {
        auto found = Of().buffers.find(id);
        return found == Of().buffers.end() ? nullptr : found->second->bytes.data();
    }
    static void PS_API UnlockBuffer(PsBufferId) {}
    static void PS_API FreeBuffer(PsBufferId id) { Of().buffers.erase(id); }
    static std::int32_t PS_API BufferSpace() { return 256 << 20; }

    static PsResult PS_API AdvanceState() { return g_host->Advance(); }
    static void PS_API Progress(std::int32_t, std::int32_t) {}
    static std::uint8_t PS_API TestAbort() { return 0; }

    static PsResult PS_API GetProperty(PsKey, PsKey, std::int32_t, std::intptr_t*, PsHandle*)
    {
        return kPsBadParameter;
    }
    static PsResult PS_API SetProperty(PsKey signature, PsKey key, std::int32_t, std::intptr_t, PsHandle value)
    {
        g_host->Property(signature, key, value);
        return kPsNoError;
    }

    static PsReadToken PS_API OpenRead(PsHandle descriptor, const PsKey*)
    {
        Handle* block = Find(descriptor);
        if (!block)
            return nullptr;
        auto* token = new (std::nothrow) ReadToken;
        if (!token)
            return nullptr;
        const std::size_t count = block->bytes.size() / sizeof(PsDescriptorValue);
        token->values.resize(count);
        std::memcpy(token->values.data(), block->bytes.data(), count * sizeof(PsDescriptorValue));
        return token;
    }
    static PsResult PS_API CloseRead(PsReadToken token)
    {
        delete static_cast<ReadToken*>(token);
        return g_host->m_options.readCloseResult;
    }
    static std::uint8_t PS_API GetKey(PsReadToken token, PsKey* key, PsKey* type, std::int32_t* flags)
    {
        auto* read = static_cast<ReadToken*>(token);
        if (!read || read->next >= read->values.size())
            return 0;
        read->current = &read->values[read->next++];
        *key = read->current->key;
        *type = read->current->type;
        if (flags)
            *flags = 0;
        return 1;
    }
    static PsResult PS_API GetInteger(PsReadToken token, std::int32_t* value)
    {
        auto* read = static_cast<ReadToken*>(token);
        if (!read || !read->current || read->current->type != kPsTypeInteger)
            return kPsBadParameter;
        *value = read->current->integer;
        return kPsNoError;
    }
    static PsResult PS_API GetFloat(PsReadToken token, double* value)
    {
        auto* read = static_cast<ReadToken*>(token);
        if (!read || !read->current || read->current->type != kPsTypeFloat)
            return kPsBadParameter;
        *value = read->current->number;
        return kPsNoError;
    }
    static PsResult PS_API GetEnumerated(PsReadToken token, PsKey* value)
    {
        auto* read = static_cast<ReadToken*>(token);
        if (!read || !read->current || read->current->type != kPsTypeEnumerated)
            return kPsBadParameter;
        *value = read->current->enumValue;
        return kPsNoError;
    }

    static PsWriteToken PS_API OpenWrite() { return new (std::nothrow) WriteToken; }
    static PsResult PS_API CloseWrite(PsWriteToken token, PsHandle* descriptor)
    {
        std::unique_ptr<WriteToken> write(static_cast<WriteToken*>(token));
        if (!write || !descriptor)
            return kPsBadParameter;
        *descriptor = Serialise(write->values);
        return *descriptor ? kPsNoError : kPsOutOfMemory;
    }
    static PsResult Put(PsWriteToken token, const PsDescriptorValue& value)
    {
        auto* write = static_cast<WriteToken*>(token);
        if (!write)
            return kPsBadParameter;
        write->values.push_back(value);
        return kPsNoError;
    }
    static PsResult PS_API PutInteger(PsWriteToken token, PsKey key, std::int32_t value)
    {
        return Put(token, PsDescriptorValue::Integer(key, value));
    }
    static PsResult PS_API PutFloat(PsWriteToken token, PsKey key, const double* value)
    {
        return value ? Put(token, PsDescriptorValue::Float(key, *value)) : PsResult(kPsBadParameter);
    }
    static PsResult PS_API PutEnumerated(PsWriteToken token, PsKey key, PsKey type, PsKey value)
    {
        return Put(token, PsDescriptorValue::Enumerated(key, type, value));
    }

    static Handle* Serialise(const std::vector<PsDescriptorValue>& values)
    {
        Handle* block = NewBlock(values.size() * sizeof(PsDescriptorValue));
        if (!values.empty())
            std::memcpy(block->bytes.data(), values.data(), block->bytes.size());
        return block;
    }
    static std::vector<PsDescriptorValue> Deserialise(PsHandle handle)
    {
        Handle* block = Find(handle);
        std::vector<PsDescriptorValue> values;
        if (!block)
            return values;
        values.resize(block->bytes.size() / sizeof(PsDescriptorValue));
        std::memcpy(values.data(), block->bytes.data(), values.size() * sizeof(PsDescriptorValue));
        return values;
    }

    static std::int32_t PS_API AcquireSuite(const char* name, std::int32_t version, const void** suite)
    {
        if (!name || !suite || std::strcmp(name, kPsFileListSuiteName) != 0 || version != kPsFileListSuiteVersion)
            return -1;
        *suite = &Of().fileListSuite;
        return 0;
    }
    static std::int32_t PS_API ReleaseSuite(const char*, std::int32_t) { return 0; }
    static PsResult PS_API BrowseUrl(const char* url)
    {
        g_host->m_urls.push_back(url ? url : "");
        return kPsNoError;
    }
};

PsDescriptorValue PsDescriptorValue::Integer(PsKey key, std::int32_t value)
{
    PsDescriptorValue v;
    v.key = key;
    v.type = kPsTypeInteger;
    v.integer = value;
    return v;
}

PsDescriptorValue PsDescriptorValue::Float(PsKey key, double value)
{
    PsDescriptorValue v;
    v.key = key;
    v.type = kPsTypeFloat;
    v.number = value;
    return v;
}

PsDescriptorValue PsDescriptorValue::Enumerated(PsKey key, PsKey type, PsKey value)
{
    PsDescriptorValue v;
    v.key = key;
    v.type = kPsTypeEnumerated;
    v.enumType = type;
    v.enumValue = value;
    return v;
}

CPsFormatHost::CPsFormatHost() : m_procs(std::make_unique<Procs>())
{
    Procs& p = *m_procs;
    p.bufferProcs = {kPsBufferProcsVersion, kPsBufferProcsCount, Procs::AllocateBuffer, Procs::LockBuffer,
                     Procs::UnlockBuffer,   Procs::FreeBuffer,   Procs::BufferSpace};
    p.handleProcs = {kPsHandleProcsVersion, kPsHandleProcsCountFull, Procs::NewHandle,    Procs::DisposeHandle,
                     Procs::GetHandleSize,  Procs::SetHandleSize,    Procs::LockHandle,   Procs::UnlockHandle,
                     Procs::RecoverSpace,   Procs::DisposeHandle};
    p.propertyProcs = {kPsPropertyProcsVersion, kPsPropertyProcsCount, Procs::GetProperty, Procs::SetProperty};
    p.readProcs = {kPsReadDescriptorProcsVersion, kPsReadDescriptorProcsCount, Procs::OpenRead, Procs::CloseRead,
                   Procs::GetKey, Procs::GetInteger, Procs::GetFloat, Procs::GetEnumerated};
    p.writeProcs = {kPsWriteDescriptorProcsVersion, kPsWriteDescriptorProcsCount, Procs::OpenWrite, Procs::CloseWrite,
                    Procs::PutInteger, Procs::PutFloat, Procs::PutEnumerated};
    p.basicSuite = {Procs::AcquireSuite, Procs::ReleaseSuite};
    p.fileListSuite = {nullptr, nullptr, Procs::BrowseUrl};
}

CPsFormatHost::~CPsFormatHost()
{
    if (m_module)
        FreeLibrary(m_module);
}

bool CPsFormatHost::Load(const std::string& path, std::string* why)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        *why = "cannot load " + path;
        return false;
    }
    std::vector<std::uint8_t> resource;
    std::vector<PsProperty> properties;
    if (!PsReadResource(module, "PIPL", kPsResourceId, &resource) || !PsParsePropertyList(resource, &properties)) {
        FreeLibrary(module);
        *why = "no readable PIPL resource";
        return false;
    }
    auto entry = std::find_if(properties.begin(), properties.end(),
                              [](const PsProperty& p) { return p.key == PsFourCC('w', 'x', '8', '6'); });
    FARPROC proc = entry == properties.end() ? nullptr : GetProcAddress(module, PsPropertyText(*entry).c_str());
    if (!proc) {
        FreeLibrary(module);
        *why = "the entry the PIPL names is missing";
        return false;
    }
    if (m_module)
        FreeLibrary(m_module);
    m_module = module;
    m_entry = reinterpret_cast<PsEntryProc>(reinterpret_cast<void*>(proc));
    return true;
}

void CPsFormatHost::Attach(PsEntryProc entry)
{
    m_entry = entry;
}

PsResult CPsFormatHost::Run(std::int16_t selector, PsFormatRecord* record)
{
    CPsFormatHost* previous = g_host;
    g_host = this;
    m_record = record;
    PsResult result = kPsNoError;
    m_entry(selector, record, &m_data, &result);
    m_record = nullptr;
    g_host = previous;
    return result;
}

void CPsFormatHost::Prepare(PsFormatRecord* record, const std::string& file, const PsFormatHostOptions& options)
{
    Procs& p = *m_procs;
    m_file = file;
    m_options = options;
    *record = PsFormatRecord{};
    p.bufferProcs.version = options.bufferProcsVersion;
    p.bufferProcs.count = options.bufferProcsCount;
    p.handleProcs.version = options.handleProcsVersion;
    p.handleProcs.count = options.handleProcsCount;
    p.readProcs.version = options.readDescriptorVersion;
    p.writeProcs.version = options.writeDescriptorVersion;
    record->abortProc = Procs::TestAbort;
    record->progressProc = Procs::Progress;
    record->maxData = 1 << 20;
    record->imageHRes = options.resolution;
    record->imageVRes = options.resolution;
    record->advanceState = options.offerAdvanceState ? Procs::AdvanceState : nullptr;
    record->bufferProcs = options.offerBufferProcs ? &p.bufferProcs : nullptr;
    record->handleProcs = options.offerHandleProcs ? &p.handleProcs : nullptr;
    record->propertyProcs = options.offerPropertyProcs ? &p.propertyProcs : nullptr;
    if (options.offerDescriptors) {
        p.descriptorParameters = PsDescriptorParameters{};
        p.descriptorParameters.playInfo = options.playInfo;
        p.descriptorParameters.readDescriptorProcs = &p.readProcs;
        p.descriptorParameters.writeDescriptorProcs = &p.writeProcs;
        g_host = this;
        p.descriptorParameters.descriptor = options.hasDescriptor ? Procs::Serialise(options.descriptor) : nullptr;
        g_host = nullptr;
        record->descriptorParameters = &p.descriptorParameters;
    }
    record->sSPBasic = options.offerBasicSuite ? &p.basicSuite : nullptr;
    record->platformData = &p.platformData;
    record->hostSig = kPsHostSignature;
    record->fileSpec = m_file.c_str();
    record->openForPreview = options.openForPreview ? 1 : 0;
}

PsResult CPsFormatHost::Call(std::int16_t selector, const std::string& file, const PsFormatHostOptions& options)
{
    PsFormatRecord record;
    Prepare(&record, file, options);
    const PsResult result = Run(selector, &record);
    DropDescriptor(record);
    return result;
}

void CPsFormatHost::DropDescriptor(const PsFormatRecord& record)
{
    if (!record.descriptorParameters || !record.descriptorParameters->descriptor)
        return;
    g_host = this;
    Procs::DisposeHandle(record.descriptorParameters->descriptor);
    g_host = nullptr;
    record.descriptorParameters->descriptor = nullptr;
}

PsFormatHostResult CPsFormatHost::Open(const std::string& file, const PsFormatHostOptions& options)
{
    PsFormatHostResult result;
    PsFormatRecord record;
    Prepare(&record, file, options);
    m_result = &result;
    m_strip = 0;
    result.prepare = Run(kPsFormatReadPrepare, &record);
    result.maxData = record.maxData;
    if (result.prepare == kPsNoError) {
        result.start = Run(kPsFormatReadStart, &record);
        Collect(record, &result);
        if (result.start == kPsNoError) {
            result.readContinue = Run(kPsFormatReadContinue, &record);
            result.finish = Run(kPsFormatReadFinish, &record);
        }
    }
    DropDescriptor(record);
    m_result = nullptr;
    return result;
}

void CPsFormatHost::Collect(const PsFormatRecord& record, PsFormatHostResult* result) const
{
    result->imageMode = record.imageMode;
    result->planes = record.planes;
    result->depth = record.depth;
    result->width = record.imageSize.h;
    result->height = record.imageSize.v;
    result->hRes = record.imageHRes;
    result->vRes = record.imageVRes;
    g_host = const_cast<CPsFormatHost*>(this);
    if (record.iCCprofileData) {
        if (Handle* block = Procs::Find(record.iCCprofileData)) {
            const std::size_t size = std::min<std::size_t>(block->bytes.size(), std::size_t(record.iCCprofileSize));
            result->icc.assign(block->bytes.begin(), block->bytes.begin() + long(size));
        }
        Procs::DisposeHandle(record.iCCprofileData);
    }
    if (record.descriptorParameters && record.descriptorParameters->descriptor &&
        (!m_options.hasDescriptor || result->start == kPsNoError)) {
        result->recorded = Procs::Deserialise(record.descriptorParameters->descriptor);
        result->hasRecorded = true;
    }
    g_host = nullptr;
}

PsResult CPsFormatHost::Advance()
{
    PsFormatRecord& record = *m_record;
    PsFormatHostResult& result = *m_result;
    ++m_strip;
    result.strips.push_back(record.theRect);
    if (m_options.cancelAtStrip == m_strip)
        return m_options.cancelResult;
    const long width = record.imageSize.h;
    const long height = record.imageSize.v;
    const long planes = record.planes;
    if (result.pixels.empty()) {
        result.width = record.imageSize.h;
        result.height = record.imageSize.v;
        result.planes = record.planes;
        result.pixels.assign(std::size_t(width) * std::size_t(height) * std::size_t(planes), 0);
    }
    const auto* data = static_cast<const std::uint8_t*>(record.data);
    if (!data)
        return kPsBadParameter;
    const PsRect r = record.theRect;
    if (r.top < 0 || r.left < 0 || r.bottom > height || r.right > width || record.loPlane < 0 ||
        record.hiPlane >= planes)
        return kPsBadParameter;
    for (long y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* row = data + std::size_t(y - r.top) * std::size_t(record.rowBytes);
        for (long x = r.left; x < r.right; ++x) {
            for (long p = record.loPlane; p <= record.hiPlane; ++p) {
                result.pixels[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(planes) +
                              std::size_t(p)] =
                    row[std::size_t(x - r.left) * std::size_t(record.colBytes) + std::size_t(p - record.loPlane)];
            }
        }
    }
    return kPsNoError;
}

void CPsFormatHost::Property(PsKey signature, PsKey key, PsHandle value)
{
    if (signature != kPsPropertySignature || key != kPsPropertyCaption || !m_result)
        return;
    Handle* block = Procs::Find(value);
    m_result->hasCaption = true;
    m_result->caption = block ? block->bytes : std::vector<std::uint8_t>();
}

void CPsFormatHost::ForgetData()
{
    g_host = this;
    Procs::DisposeHandle(reinterpret_cast<PsHandle>(m_data));
    g_host = nullptr;
    m_data = 0;
}

long CPsFormatHost::LiveHandles() const
{
    return long(m_procs->handles.size());
}

long CPsFormatHost::LiveBuffers() const
{
    return long(m_procs->buffers.size());
}
