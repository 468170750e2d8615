// CTlvQrfControl: the image control behind ITlvQrfData. It is the settings
// holder of one image, answers the host's queries and setters, and owns the
// preview chain object, whose statuses it turns into result codes or error
// chains. The host drives it from one thread; it takes no lock.
#pragma once

#include "control/TlControlCodes.h"
#include "control/TlPreviewChain.h"
#include "control/TlvQrfData.h"
#include "settings/holders/TlvControlSettings.h"

#include <cstdint>
#include <string>

// What the control knows of its image beyond the holder's records and the
// load's facts (the full size is the holder's).
struct STlControlImage {
    bool twelveBit = false;          // tag 258 reads 12, 0, 0, 0
    bool embeddedProfile = false;    // `profilePath` names our temporary copy
    char profilePath[260] = {};
    std::uint32_t displayWidth = 0;  // the current output size, developed
    std::uint32_t displayHeight = 0; // pixels, unturned
    // The picture the source develops to, unturned; 0 until read. The
    // geometry's frame may be larger: it holds the mosaic's border.
    std::uint32_t developedWidth = 0;
    std::uint32_t developedHeight = 0;
    double baseScale = 1.0;
    double currentScale = 1.0;       // view scale of setter and first updates
    double aspect = 1.0;
    STlOutputColour colour;
    // Raw-option overrides; the records themselves are the holder's second
    // white-balance and adjustment records.
    bool whiteBalanceOverride = false;
    std::int32_t rawPreset = 0;
    std::uint16_t fineTune = 0;
    bool adjustmentOverride = false;
};

class CTlvQrfControl : public ITlvQrfData, public CTlvControlSettings {
public:
    CTlvQrfControl();
    ~CTlvQrfControl() override;

    CTlvImageAttributes* TLV_CALL GetImageAttributes() override;
    ITlPreviewChain* TLV_CALL GetEditChain() override;
    void TLV_CALL Destroy() override;
    unsigned long TLV_CALL Update(std::uint32_t changes, bool reset, void* context) override;
    unsigned long TLV_CALL InitializeFilterChain(IKelvraImage* image, IKelvraTagControl* tags,
                                                 unsigned long unused) override;
    unsigned long TLV_CALL Connect(IKelvraDataDestination* sink) override;
    unsigned long TLV_CALL DisConnect(IKelvraDataDestination* sink) override;
    bool TLV_CALL IsReady() override;
    bool TLV_CALL IsBusy() override;
    unsigned long TLV_CALL GetProfile() override;
    double TLV_CALL GetScale() override;
    unsigned long TLV_CALL GetSize(long* width, long* height) override;
    int TLV_CALL GetRotation() override;
    IKelvraError* TLV_CALL GetFilterChain(IKelvraFilterChain** out) override;
    IKelvraFilterChain* TLV_CALL GetFilterChain() const override;
    IKelvraTagControl* TLV_CALL GetTags() const override;
    unsigned long TLV_CALL GetUserSize(unsigned long& width, unsigned long& height) override;
    IKelvraError* TLV_CALL Initialize(IKelvraManager* manager, IKelvraImage* image,
                                      IKelvraTagControl* tags) override;
    IKelvraError* TLV_CALL SetMode(TlvQrfLib::strTlnModeParam* mode) override;
    IKelvraError* TLV_CALL GetMode(TlvQrfLib::strTlnModeParam* mode) override;
    IKelvraError* TLV_CALL SetImageInfo(TlvQrfLib::strTlnImageInfoParam* info, bool store) override;
    IKelvraError* TLV_CALL GetImageInfo(TlvQrfLib::strTlnImageInfoParam* info) override;
    IKelvraError* TLV_CALL GetCaptureSettings(TlvQrfLib::strTlnVQParam* settings) override;
    IKelvraError* TLV_CALL SetRawOption(TlvQrfLib::strTlnRawOption* option) override;
    IKelvraError* TLV_CALL GetRawOption(TlvQrfLib::strTlnRawOption* option) override;
    IKelvraError* TLV_CALL ResetRawOption(TlvQrfLib::strTlnRawOption* option) override;
    unsigned long TLV_CALL SetProfile(unsigned long profile) override;
    unsigned long TLV_CALL SetMonitorProfile(KelvraFile& file) override;
    unsigned long TLV_CALL SetScale(double scale) override;
    unsigned long TLV_CALL SetSize(unsigned long width, unsigned long height) override;
    unsigned long TLV_CALL SetRotation(int angle) override;
    unsigned long TLV_CALL RotateCCW() override;
    unsigned long TLV_CALL RotateCW() override;
    unsigned long TLV_CALL Initialize() override;
    IKelvraError* TLV_CALL Cleanup(bool keepSettings) override;

    // Image information (read once per initialisation).
    IKelvraError* ReadImageInformation();
    int FormatClass();
    IKelvraError* ReadStoredSettings();
    IKelvraError* WriteStoredSettings();

    // Read-only views for tests and the chain code.
    const STlControlImage& Image() const { return m_image; }
    std::uint32_t PreviewMode() const { return m_previewMode; }
    std::uint8_t ColourManagement() const { return m_rawOption4; }
    int StoredEditState() const { return m_storedEditState; }
    std::uint32_t SourceBytesPerChannel() const { return m_sourceBytes; }
    const char* DefaultProfilePath() const { return m_defaultProfile; }
    bool Mirrored() const { return flip != 0; }

private:
    // 11000 before Initialize, 1014 for a missing or mis-sized record.
    template <class Record>
    IKelvraError* CheckRecord(const Record* record) const
    {
        if (!m_initialised)
            return TL_CONTROL_ERROR(kTlErrNotReady);
        if (record == nullptr || record->size != sizeof(Record))
            return TL_CONTROL_ERROR(kTlErrBadArgument);
        return nullptr;
    }
    // The same, then the image information read when it is not yet.
    template <class Record>
    IKelvraError* CheckRecordAndRead(const Record* record)
    {
        IKelvraError* error = CheckRecord(record);
        return error != nullptr ? error : ReadImageInformation();
    }

    bool HasImage() const { return images.image != nullptr; }
    void ResetViewState();
    void DropEmbeddedProfile();
    void WriteEmbeddedProfileCopy(const std::string& folder);
    IKelvraError* ReadSourceFormat();
    IKelvraError* ReadTagOrientation();
    void TakeGeometrySizes();

    // Between the geometry's frame and the developed picture the host sees.
    // Sides in the frame's orientation; a product before the quotient keeps
    // whole sizes whole.
    struct STlFrameRatio {
        double developedWidth = 1.0;
        double developedHeight = 1.0;
        double frameWidth = 1.0;
        double frameHeight = 1.0;
        double DevelopedX(double frameX) const { return frameX * developedWidth / frameWidth; }
        double DevelopedY(double frameY) const { return frameY * developedHeight / frameHeight; }
        double FrameX(double developedX) const { return developedX * frameWidth / developedWidth; }
        double FrameY(double developedY) const { return developedY * frameHeight / developedHeight; }
    };
    static std::uint32_t WholePixels(double value);
    void ReadDevelopedSize();
    bool FrameTurned(const CTlGeometryState& frame) const;
    STlFrameRatio DevelopedPerFramePixel(const CTlGeometryState& frame) const;
    // Sets the frame's output for a developed size given unturned: its
    // longer side, the other following the aspect.
    void SetDevelopedOutput(CTlGeometryState& frame, std::uint32_t width, std::uint32_t height) const;
    // The frame's output in developed pixels, as the frame lies.
    void GetDevelopedOutput(const CTlGeometryState& frame, std::uint32_t& width, std::uint32_t& height) const;
    // The same, unturned.
    void GetUnturnedOutput(std::uint32_t& width, std::uint32_t& height) const;
    bool StoredSettingsEdited(bool versionFlag) const;
    int StateOfStoredSettings(bool edited, std::uint16_t version, bool versionFlag) const;
    void AdjustModel259Scale(std::uint16_t version, bool versionFlag);
    bool IsModel259TwelveBit() const { return modelCode == 259 && m_image.twelveBit; }

    IKelvraError* CreateChain();
    void PushStateIntoChain();
    void LoadDustEngine();
    // One preview update with the current scale and no progress callback.
    int RunPreviewUpdate(std::uint32_t changes);
    // One chain update from a fresh parameter snapshot, then again while
    // changes refused during another update wait for this chain.
    int UpdateChain(std::uint32_t changes, bool reset, double viewScale, void* context);
    IKelvraError* UpdateForSetter(std::uint32_t changes);
    void StoreOrientation(bool mirror, int angle);
    void ApplyImageSize(std::uint32_t width, std::uint32_t height, std::uint32_t& changes);
    void ApplyOutputProfile(const TlvQrfLib::strTlnOutputProfile& profile, std::uint32_t& changes);
    bool ChainOutputSize(std::uint32_t& width, std::uint32_t& height) const;
    // The geometry's output is less than the whole image.
    bool OutputCropped(bool oriented) const;

    IKelvraError* SetWhiteBalanceOption(const TlvQrfLib::strTlnWhiteBalanceOption* value, std::uint32_t& changes);
    IKelvraError* SetAdjustmentOption(const TlvQrfLib::strTlnAdjustmentOption* value, std::uint32_t& changes);
    IKelvraError* SetColourOption(const TlvQrfLib::strTlnColourOption* value, std::uint32_t& changes);

    ITlPreviewChain* m_chain = nullptr;
    IKelvraManager* m_manager = nullptr;
    bool m_busy = false;
    char m_defaultProfile[260] = {};
    std::uint32_t m_previewMode = 2;
    std::uint32_t m_interpolation = 1;
    std::uint32_t m_cacheChoice = 1;
    std::uint32_t m_chainVariant = 1;
    // Set once the host chose a preview mode: a new chain object gets it.
    bool m_modeFromHost = false;
    std::uint32_t m_sourceBytes = 0;
    int m_formatClass = 0;
    std::uint8_t m_rawOption4 = 1;
    bool m_initialised = false;
    bool m_informationRead = false;
    int m_storedEditState = 0;
    std::uint32_t m_storedPixelFormat = 0;
    STlControlImage m_image;
};

// A new control through its argument-less Initialize: what
// ITlvQrfData::CreateObject does, without the module-state switch.
unsigned long CreateQrfControl(ITlvQrfData** out);
