// The dust-removal filter: brightens the shadows that sensor dust casts on a
// picture, by the correction mask of a finished dust map that the edit
// settings hand it. Without such a map it passes its input through.
#pragma once

#include "filters/dust/TlDustEngines.h"
#include "filters/frame/TlFilter.h"

#include <vector>

class CDustFilter : public CTlFilter, private IDustMapHolder {
public:
    explicit CDustFilter(IKelvraManager* manager);
    ~CDustFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // Points the filter at `map` (not owned; null for none). A map counts as
    // changed only when its stored record differs from the one held, so
    // setting the same finished map again changes nothing. A map that is not
    // finished, or holds no correction mask, makes the filter pass through.
    // When the map cannot give its record the filter lets go of every map
    // (the old one may already be gone) and the error is returned. A map
    // destroyed while the filter holds it leaves the filter as with none.
    IKelvraError* SetDustMap(IDustMap* map, bool notify);
    // True: the correction works on the pixel values as they are; false:
    // through the map's tone tables.
    IKelvraError* SetToneMode(bool direct, bool notify);

    IDustMap* GetDustMap() const { return m_map; }
    bool GetToneMode() const { return m_direct; }
    // A map is set whose correction the filter would apply.
    bool HasUsableMap() const;

private:
    void DustMapDestroyed(IDustMap* map) override;
    void HoldMap(IDustMap* map);
    IKelvraError* ReadRecord(IDustMap* map, std::vector<unsigned char>& record) const;
    IKelvraError* TakeRecord(std::vector<unsigned char>& record, bool notify);
    void RecomputeBypass();

    IDustMap* m_map = nullptr;
    bool m_direct = false;
    // The stored record of the map in use, only to tell a new map from it.
    std::vector<unsigned char> m_record;
};
