#include "filtrix/KelvraFilterCMLEngine.h"

#include "KelvraFilterCMLEngineLcms.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Process-wide, so that a generation never repeats across engines.
std::atomic<unsigned long> s_generations{0};

unsigned long NextGeneration()
{
    return ++s_generations;
}

// The record a caller gave, as the engine keeps it: zero after the text, so
// that whole records of equal paths compare equal.
KelvraFile Normalised(const KelvraFile& file)
{
    KelvraFile copy;
    const void* end = std::memchr(file.path, 0, KelvraFile::kMaxPath);
    const std::size_t length = end ? std::size_t(static_cast<const char*>(end) - file.path) : KelvraFile::kMaxPath - 1;
    std::memcpy(copy.path, file.path, length);
    return copy;
}

} // namespace

CKelvraFilterCMLEngine::CKelvraFilterCMLEngine() : m_generation(NextGeneration())
{
    try {
        m_state = std::make_shared<CState>();
        m_references.reserve(8);
    } catch (const std::bad_alloc&) {
        // Without a state every operation answers "out of memory" below.
    }
}

CKelvraFilterCMLEngine::~CKelvraFilterCMLEngine()
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    for (CReference* reference : m_references)
        reference->ObjectGone();
    m_references.clear();
}

std::shared_ptr<CKelvraFilterCMLEngine::CState> CKelvraFilterCMLEngine::Snapshot() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_state;
}

// Settings: each change makes a new state, so conversions running on the
// old one finish undisturbed.

template <typename Change>
IKelvraError* CKelvraFilterCMLEngine::Modify(Change change)
{
    std::shared_ptr<CState> current = Snapshot();
    if (!current)
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraOutOfMemory);
    std::shared_ptr<CState> next;
    if (IKelvraError* error = CState::CopySettings(*current, &next))
        return error;
    if (IKelvraError* error = change(*next))
        return KELVRA_WRAP(nullptr, kCmlEngineTag, error);
    std::lock_guard<CKelvraLock> guard(m_lock);
    m_state = next;
    m_generation = NextGeneration();
    return nullptr;
}

IKelvraError* CKelvraFilterCMLEngine::SetProfiles(const KelvraFile& source, const KelvraFile& destination,
                                                  const KelvraFile& proof)
{
    if (!source.path[0] || !destination.path[0])
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraMissingObject);
    const KelvraFile* files[] = {&source, &destination, &proof};
    return Modify([&files](CState& next) {
        IKelvraError* error = nullptr;
        for (int i = 0; !error && i < CState::kProfileCount; ++i) {
            next.paths[i] = Normalised(*files[i]);
            next.profiles[i].reset();
            if (next.paths[i].path[0])
                error = CmlOpenProfile(next.paths[i].path, &next.profiles[i]);
        }
        return error;
    });
}

IKelvraError* CKelvraFilterCMLEngine::GetProfiles(KelvraFile* source, KelvraFile* destination, KelvraFile* proof) const
{
    std::shared_ptr<CState> state = Snapshot();
    if (!state)
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraOutOfMemory);
    KelvraFile* files[] = {source, destination, proof};
    for (int i = 0; i < CState::kProfileCount; ++i) {
        if (files[i])
            *files[i] = state->paths[i];
    }
    return nullptr;
}

template <typename Value>
IKelvraError* CKelvraFilterCMLEngine::SetSetting(Value CState::*setting, Value value)
{
    std::shared_ptr<CState> current = Snapshot();
    if (current && current.get()->*setting == value)
        return nullptr;
    return Modify([setting, value](CState& next) {
        next.*setting = value;
        return static_cast<IKelvraError*>(nullptr);
    });
}

IKelvraError* CKelvraFilterCMLEngine::SetProofMode(bool proof)
{
    return SetSetting(&CState::proofMode, proof);
}

bool CKelvraFilterCMLEngine::GetProofMode() const
{
    std::shared_ptr<CState> state = Snapshot();
    return state && state->proofMode;
}

IKelvraError* CKelvraFilterCMLEngine::SetRenderingIntent(long intent)
{
    if (intent < INTENT_PERCEPTUAL || intent > INTENT_ABSOLUTE_COLORIMETRIC)
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraBadArgument);
    return SetSetting(&CState::intent, intent);
}

long CKelvraFilterCMLEngine::GetRenderingIntent() const
{
    std::shared_ptr<CState> state = Snapshot();
    return state ? state->intent : long(INTENT_PERCEPTUAL);
}

void CKelvraFilterCMLEngine::SetAutoDeleteThreshold(long threshold)
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    m_threshold = threshold;
}

long CKelvraFilterCMLEngine::GetAutoDeleteThreshold() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_threshold;
}

void CKelvraFilterCMLEngine::SetManager(IMgr* manager)
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    m_manager = manager;
}

CKelvraFilterCMLEngine::IMgr* CKelvraFilterCMLEngine::GetManager() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_manager;
}

// References.

void CKelvraFilterCMLEngine::AddReferencedObjectPointer(CReference* reference)
{
    if (!reference)
        return;
    std::lock_guard<CKelvraLock> guard(m_lock);
    try {
        m_references.push_back(reference);
    } catch (const std::bad_alloc&) {
        // Room for eight is reserved; beyond that a reference that cannot be
        // recorded is simply not counted.
    }
}

void CKelvraFilterCMLEngine::RemoveReferencedObjectPointer(CReference* reference)
{
    IMgr* manager = nullptr;
    long count = 0;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        auto it = std::find(m_references.begin(), m_references.end(), reference);
        if (it == m_references.end())
            return;
        m_references.erase(it);
        count = long(m_references.size());
        if (m_threshold < 0 || count > m_threshold)
            return;
        manager = m_manager;
    }
    // The last act: the manager may destroy this engine, and without one
    // the engine deletes itself.
    if (manager)
        manager->OnReferencesReleased(this, count);
    else
        delete this;
}

long CKelvraFilterCMLEngine::GetReferenceCount() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return long(m_references.size());
}

// Conversion.

IKelvraError* CKelvraFilterCMLEngine::FormatOf(int profile, long bits, KelvraPixelFormat* format) const
{
    std::shared_ptr<CState> state = Snapshot();
    if (!format)
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraMissingObject);
    if (!state || !state->HasProfiles())
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraNotReady);
    *format = CmlFormatOf(state->profiles[profile]->space, bits);
    return *format ? nullptr : KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraBadArgument);
}

IKelvraError* CKelvraFilterCMLEngine::GetInputFormat(long bits, KelvraPixelFormat* format) const
{
    return FormatOf(CState::kSource, bits, format);
}

IKelvraError* CKelvraFilterCMLEngine::GetOutputFormat(long bits, KelvraPixelFormat* format) const
{
    return FormatOf(CState::kDestination, bits, format);
}

IKelvraError* CKelvraFilterCMLEngine::Convert(const void* input, KelvraPixelFormat inputFormat, void* output,
                                              KelvraPixelFormat outputFormat, long count)
{
    std::shared_ptr<CState> state = Snapshot();
    if (!state || !state->HasProfiles())
        return KELVRA_ERROR(nullptr, kCmlEngineTag, kKelvraNotReady);
    return state->Convert(input, inputFormat, output, outputFormat, count);
}

unsigned long CKelvraFilterCMLEngine::GetGeneration() const
{
    return m_generation;
}
