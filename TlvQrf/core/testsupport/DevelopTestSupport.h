// A synthetic raw picture for the develop and De-Bayer set-up tests: the
// raw-file maker's mosaic and capture tags for a chosen camera, wired into a
// settings holder whose parameter sets the tests make.
#pragma once

#include "params/TlvParamSet.h"

#include "FilterTestSupport.h"
#include "RawTestTags.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "qrfsynth/QrfSynthFile.h"
#include "settings/lens/TlLensInformation.h"

#include <gtest/gtest.h>

#include <memory>

namespace develop_test {

// A raw file without further sub-images: the raw-processing image then has
// no second source.
class NoSubImagesFile : public IKelvraLoad {
public:
    IKelvraError* Start(IKelvraFileStream*, IKelvraTagControl*, long, long) override { return nullptr; }
    IKelvraError* DescribeImage(KelvraLoadRequest*, long) override { return nullptr; }
    IKelvraError* GetFileInfo(KelvraFileInfo* info) const override
    {
        info->subImageCount = 0;
        return nullptr;
    }
    IKelvraError* GetSubImageInfo(long, KelvraSubImageInfo*) const override { return nullptr; }
    IKelvraError* SetImage(IKelvraImage*) override { return nullptr; }
    bool IsComplete() const override { return true; }
    IKelvraError* Step() override { return nullptr; }
    void GetProgress(long*, long*) const override {}
    IKelvraError* LoadSubImage(long, IKelvraImage*, std::uint32_t*) override { return nullptr; }
    void Release() override {}
    void Destroy() override {}
};

// One picture of camera `model`: its tags, its image (for the
// signal-processing cameras a raw-processing image over the mosaic) and a
// holder that points at both. The picture owns image and tags; the holder
// only borrows them.
class SyntheticPicture {
public:
    explicit SyntheticPicture(IKelvraManager* manager, std::uint32_t model, long width = 192, long height = 128)
        : m_tags(raw_test::MakeTags())
    {
        QrfRawOptions options;
        options.model = model;
        options.width = width;
        options.height = height;
        // The signal-processing library knows two layouts only.
        if (QrfIsSignalModel(model))
            options.pattern = model <= 514 ? QrfPattern::YCGM : QrfPattern::BGGR;
        QrfRawImages images;
        ExpectOk(QrfMakeImages(manager, options, &images), "images");
        ExpectOk(QrfFillTags(options, m_tags.get()), "tags");
        if (QrfIsSignalModel(model)) {
            auto* developed = new CSigProcImage(manager);
            ExpectOk(developed->Initialize(&m_file, m_tags.get(), images.mosaic.release()), "raw-processing image");
            m_image = developed;
        } else {
            m_image = images.mosaic.release();
        }
        holder.rawFlag = 1;
        holder.images.image = m_image;
        holder.images.tags = m_tags.get();
    }
    ~SyntheticPicture()
    {
        holder.images.image = nullptr;
        holder.images.tags = nullptr;
        m_image->Release();
    }
    SyntheticPicture(const SyntheticPicture&) = delete;
    SyntheticPicture& operator=(const SyntheticPicture&) = delete;

    IKelvraTagControl& Tags() { return *m_tags; }
    IKelvraImage* Image() { return m_image; }
    CSigProcImage* Developed() { return dynamic_cast<CSigProcImage*>(m_image); }
    // A parameter set of the holder as it stands now.
    std::unique_ptr<CTlvParamSet> Params() { return std::unique_ptr<CTlvParamSet>(new CTlvParamSet(holder)); }

    CTlvSettingsHolder holder;

private:
    PellioTagsPtr m_tags;
    NoSubImagesFile m_file;
    IKelvraImage* m_image = nullptr;
};

inline void SetMultipliers(IKelvraTagControl& tags, double red, double blue)
{
    const double values[4] = {red, blue, 1.0, 1.0};
    raw_test::SetBytes(tags, kTlvAsShotMultipliersTag, kKelvraTagTypeDoubles, values, sizeof values);
}

// Capture tags whose lens data (version "0100") names `lensCode` in its
// seventh byte.
inline void SetLensCode(IKelvraTagControl& tags, std::uint8_t lensCode)
{
    std::uint8_t data[CTlLensInformation::kLensDataSize] = {'0', '1', '0', '0'};
    data[6] = lensCode;
    raw_test::SetBytes(tags, CTlLensInformation::kLensDataTag, kKelvraTagTypeLensData, data, sizeof data);
}

} // namespace develop_test
