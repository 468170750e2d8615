// A stored dust reference (a `DstR` record): the image of an even, bright
// surface in which the sensor's dust shows as dark blots, with the shooting
// values of that reference.
#pragma once

#include "filters/dust/TlDustEngines.h"
#include "filters/dust/TlDustPages.h"

#include <cstdint>

class CDustReference : public IDustReference {
public:
    enum State { kEmpty = 0, kLoaded = 11 };

    explicit CDustReference(IKelvraManager* manager);
    ~CDustReference() override;
    CDustReference(const CDustReference&) = delete;
    CDustReference& operator=(const CDustReference&) = delete;

    IKelvraError* Load(std::size_t size, const unsigned char* bytes) override;

    IKelvraManager* GetManager() const { return m_manager; }
    int GetState() const { return m_state; }
    IKelvraImage* GetImage() const { return m_image; }
    long GetWidth() const { return m_width; }
    long GetHeight() const { return m_height; }
    std::uint32_t GetCurveId() const { return m_curveId; }
    std::uint32_t GetKeptValue() const { return m_kept; }
    std::uint32_t GetLensValue() const { return m_lens; }
    std::uint32_t GetApertureCode() const { return m_aperture; }

private:
    void Swap(CDustReference& other);

    IKelvraManager* m_manager;
    IKelvraImage* m_image = nullptr;
    long m_width = 0;
    long m_height = 0;
    std::uint32_t m_curveId = 0;
    std::uint32_t m_kept = 200;
    std::uint32_t m_lens = 0;
    std::uint32_t m_aperture = 0;
    CDustPages m_payload;
    int m_state = kEmpty;
};
