// Writing an image from the top down, strip after strip, as loaders do.
#include "KelvraImageImpl.h"

#include "KelvraRectTransfer.h"

IKelvraError* CKelvraImage::AppendRows(const void* rows, long count, long rowBytes)
{
    if (count < 0)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
    if (!rows)
        return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
    KelvraRect strip;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (!IsReady())
            return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraNotReady);
        if (count > m_layout.height - m_rowsWritten)
            return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraBadArgument);
        strip = KelvraRect(0, m_rowsWritten, m_layout.width, m_rowsWritten + count);
    }
    bool wrote = false;
    IKelvraError* error = KELVRA_WRAP(nullptr, kKelvraImageTag, KelvraWriteTiles(this, strip, rows, rowBytes, &wrote));
    if (!error) {
        std::lock_guard<CKelvraLock> guard(m_lock);
        m_rowsWritten = strip.bottom; // before the notice, so destinations see the new count
    }
    if (wrote)
        error = KELVRA_WRAP(error, kKelvraImageTag, KelvraSendDataNotification(this, kKelvraNotifyData, &strip));
    return error;
}
