#include "KelvraFilterCMLTables.h"

CKelvraFilterCML::CKelvraFilterCML(IKelvraManager* manager) : CKelvraFilterBase(manager, 1) {}

CKelvraFilterCML::~CKelvraFilterCML() = default;

KelvraTag CKelvraFilterCML::GetFilterTag() const
{
    return kCmlFilterTag;
}

const char* CKelvraFilterCML::GetFilterName() const
{
    return "Colour management filter";
}

CKelvraFilterCML::CSettings CKelvraFilterCML::TakeSettings() const
{
    std::lock_guard<CKelvraLock> guard(m_settingsLock);
    CSettings settings;
    settings.engine = m_engine.Get();
    for (int side = 0; side < 2; ++side) {
        settings.bits[side] = m_bits[side];
        settings.tables[side] = m_tables[side];
    }
    return settings;
}

CKelvraFilterCMLEngine* CKelvraFilterCML::GetCMLEngine() const
{
    std::lock_guard<CKelvraLock> guard(m_settingsLock);
    return m_engine.Get();
}

IKelvraError* CKelvraFilterCML::SetCMLEngine(CKelvraFilterCMLEngine* engine, bool notify)
{
    const KelvraPixelFormat before = CurrentOutputFormat();
    // The old engine is let go outside the lock: its manager hears of it then.
    CKelvraFilterCMLEngine::CReference old;
    {
        std::lock_guard<CKelvraLock> guard(m_settingsLock);
        if (m_engine == engine)
            return nullptr;
        old = m_engine;
        m_engine = engine;
    }
    old.Release();
    return SettingChanged(before, notify);
}

long CKelvraFilterCML::GetBitsPerComponent(bool outputSide) const
{
    std::lock_guard<CKelvraLock> guard(m_settingsLock);
    return m_bits[outputSide ? 1 : 0];
}

IKelvraError* CKelvraFilterCML::SetBitsPerComponent(bool outputSide, long bits, bool notify)
{
    if (bits != 8 && bits != 16)
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraBadArgument);
    const KelvraPixelFormat before = CurrentOutputFormat();
    {
        std::lock_guard<CKelvraLock> guard(m_settingsLock);
        if (m_bits[outputSide ? 1 : 0] == bits)
            return nullptr;
        m_bits[outputSide ? 1 : 0] = bits;
    }
    return SettingChanged(before, notify);
}

IKelvraError* CKelvraFilterCML::SetLUT(bool outputSide, bool enabled, const std::uint16_t* const* tables,
                                       long inputBits, long outputBits, long channels, bool notify)
{
    std::shared_ptr<const CTables> made;
    if (IKelvraError* error = CTables::Make(enabled, tables, inputBits, outputBits, channels, &made))
        return error;
    const KelvraPixelFormat before = CurrentOutputFormat();
    {
        std::lock_guard<CKelvraLock> guard(m_settingsLock);
        std::shared_ptr<const CTables>& side = m_tables[outputSide ? 1 : 0];
        if (CTables::Same(side.get(), made.get()))
            return nullptr;
        side = std::move(made);
    }
    return SettingChanged(before, notify);
}

IKelvraError* CKelvraFilterCML::GetLUTInfo(bool outputSide, long channel, bool* enabled, long* inputBits,
                                           long* count) const
{
    if (channel < 0 || channel >= kMaxTableChannels)
        return KELVRA_ERROR(nullptr, kCmlFilterTag, kKelvraBadArgument);
    std::shared_ptr<const CTables> tables;
    {
        std::lock_guard<CKelvraLock> guard(m_settingsLock);
        tables = m_tables[outputSide ? 1 : 0];
    }
    const bool hasChannel = tables && !tables->channels[channel].empty();
    if (enabled)
        *enabled = tables && tables->enabled;
    if (inputBits)
        *inputBits = hasChannel ? long(tables->inputBits) : 0;
    if (count)
        *count = tables ? tables->ActiveCount() : 0;
    return nullptr;
}

KelvraPixelFormat CKelvraFilterCML::CurrentOutputFormat()
{
    KelvraPixelFormat format = 0;
    IKelvraDataSource* source = GetSource(0);
    if (source && !PassesThrough())
        IKelvraError::Release(GetFilteredColorSpace(&source, 1, &format));
    return format;
}

IKelvraError* CKelvraFilterCML::SettingChanged(KelvraPixelFormat formatBefore, bool notify)
{
    m_stale = true;
    const KelvraPixelFormat formatAfter = CurrentOutputFormat();
    if (notify && formatBefore && formatAfter && formatBefore != formatAfter) {
        KelvraColorSpaceChange change = {formatBefore, formatAfter};
        if (IKelvraError* error = KelvraSendDataNotification(this, kKelvraNotifyColorSpace, &change))
            return KELVRA_WRAP(nullptr, kCmlFilterTag, error);
    }
    return NotifyChanged(notify);
}
