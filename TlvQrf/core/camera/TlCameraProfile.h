// The camera profile generator: set up with the camera profile parameters,
// it names the profile, tells its size, builds its tables and lays it out
// as an ICC input profile over a base profile of the profiles folder.
#pragma once

#include "camera/TlCameraLut.h"
#include "colour/TlGeneratedProfiles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr std::uint32_t kTlFixedProfileSize = 221848;
constexpr std::uint32_t kTlProfileFixedPart = 221720;

class CTlCameraProfile : public ITlCameraProfileGenerator {
public:
    CTlCameraProfile() = default;
    ~CTlCameraProfile() override { Release(); }
    CTlCameraProfile(const CTlCameraProfile&) = delete;
    CTlCameraProfile& operator=(const CTlCameraProfile&) = delete;

    // Clears the state, copies the parameters and picks class, index and
    // matrices from `tables` (the profiles folder's when null). False
    // leaves the generator not set up.
    bool SetUp(const TlCameraProfileParams& params, const TlCameraTables* tables = nullptr);
    const TlCameraSetUpState& State() const { return m_state; }
    const TlCameraProfileParams& Params() const { return m_params; }

    // The file name with `prefix` ("Tlp_" when null); 1014 unless set up.
    IKelvraError* GetProfileName(std::string* name, const char* prefix) const;
    const std::string& Description() const { return m_description; }
    const std::string& Notice() const { return m_notice; }

    // ITlCameraProfileGenerator
    IKelvraError* GetFileName(const char* prefix, std::string* name) override { return GetProfileName(name, prefix); }
    std::uint32_t GetProfileSize() const override;
    IKelvraError* Build() override;
    IKelvraError* Serialise(void* buffer, std::uint32_t size) override;

    // Frees the base profile and the tables.
    void Release();

    // The tables Build computed (null before).
    const std::uint16_t* ToneTable() const { return m_tone.get(); }
    const std::uint16_t* Plane(int which) const { return m_planes[which].get(); }

private:
    IKelvraError* AllocateTables();
    void FillTexts();

    TlCameraProfileParams m_params;
    TlCameraSetUpState m_state;
    const TlCameraTables* m_tables = nullptr;
    std::vector<std::uint8_t> m_base;
    std::unique_ptr<std::uint16_t[]> m_tone;
    std::unique_ptr<std::uint16_t[]> m_planes[3];
    std::string m_description;
    std::string m_notice;
    std::uint32_t m_size = 0;
};

// The version text of the generator, part of every profile name.
constexpr long kTlGeneratorVersion = 308;

// Reads the base profile `name` ("TLKX7_QRF.icm" or "TLDBase_QRF.icm") of
// the Common Files folder's Talvo\Profiles whole.
IKelvraError* TlReadBaseProfile(const char* name, std::vector<std::uint8_t>* bytes);

// Lays the profile out into `out` (exactly `size` bytes of room); answers
// the bytes written, 0 when the base does not have the layout.
std::uint32_t TlLayOutProfile(const std::vector<std::uint8_t>& base, const std::string& description,
                              const std::string& notice, const std::uint16_t* const planes[3], std::uint8_t* out,
                              std::uint32_t size);
