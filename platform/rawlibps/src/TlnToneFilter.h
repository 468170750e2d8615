// The chain's development filter ('Tone'): each input pixel through the
// tone tables into 8-bit RGB (8-bit grey for grey input).
#pragma once

#include "TlnTone.h"
#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <memory>

class CTlnToneFilter : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('T', 'o', 'n', 'e');

    explicit CTlnToneFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // New tables; the whole output changes.
    IKelvraError* SetTables(std::shared_ptr<const CTlnToneTables> tables, bool notify);

    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    std::shared_ptr<const CTlnToneTables> Tables() const;

    mutable CKelvraLock m_lock; // tables change on the caller's thread while tiles are made on others
    std::shared_ptr<const CTlnToneTables> m_tables;
};
