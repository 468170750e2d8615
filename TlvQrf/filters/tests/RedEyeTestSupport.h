// What the red-eye filter's tests share: the synthetic face in a chain
// (face image -> red-eye filter -> notice sink), a recording stand-in for
// the red-eye library, and the checks of corrected and untouched pupils.
#pragma once

#include "FilterRigs.h"

#include "EyemendFace.h"
#include "filters/redeye/TlRedEyeFilter.h"
#include "infra/ByteBuffer.h"

#include <algorithm>
#include <array>
#include <vector>

namespace redeye_test {

using namespace filter_test;

// Eyemend's calls, counted; the nearest-point detection can be told to
// succeed without finding anything.
struct RecordingLibrary {
    static inline int detectAuto = 0;
    static inline int detectNearest = 0;
    static inline int findRedPoint = 0;
    static inline int correct = 0;
    static inline bool nearestFindsNothing = false;

    static void Reset()
    {
        detectAuto = detectNearest = findRedPoint = correct = 0;
        nearestFindsNothing = false;
    }
    static ReStatus DetectAuto(const ReParams* p, std::uint32_t f, ReProgress progress, long scale, std::uint32_t r,
                               ReList* found)
    {
        ++detectAuto;
        return ReDetectAuto(p, f, progress, scale, r, found);
    }
    static ReStatus DetectNearest(const ReParams* p, RePoint point, std::int32_t radius, std::uint32_t f,
                                  std::uint32_t r1, std::uint32_t r2, ReList* found)
    {
        ++detectNearest;
        return nearestFindsNothing ? ReOk : ReDetectNearest(p, point, radius, f, r1, r2, found);
    }
    static ReStatus FindRedPoint(const ReParams* p, RePoint point, std::int32_t radius)
    {
        ++findRedPoint;
        return ReFindRedPoint(p, point, radius);
    }
    static ReStatus Correct(const ReParams* p, const ReList* list, const void* r1, const void* r2,
                            std::int32_t threshold)
    {
        ++correct;
        return ReCorrectRegions(p, list, r1, r2, threshold);
    }
    static const TlRedEyeCalls& Calls()
    {
        static const TlRedEyeCalls calls{DetectAuto, DetectNearest, FindRedPoint, Correct};
        return calls;
    }
};

inline KelvraPixelFormat FormatOf(bool wide)
{
    return wide ? kKelvraRGB16 : kKelvraRGB8;
}

// The face as an image of the framework.
inline IKelvraImage* MakeFaceImage(IKelvraManager* manager, const EyemendFace& face)
{
    IKelvraImage* image = MakeBlankImage(manager, face.width, face.height, FormatOf(face.wide));
    ExpectOk(KelvraWriteRect(image, KelvraRect(0, 0, face.width, face.height), face.pixels.data(), face.RowBytes()),
             "write face");
    return image;
}

struct FaceChain {
    explicit FaceChain(bool wide, const TlRedEyeCalls& calls = RecordingLibrary::Calls())
        : face(MakeEyemendFace(400, 300, wide)), filter(holder.manager, calls)
    {
        RecordingLibrary::Reset();
        image = MakeFaceImage(holder.manager, face);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
        filter.MarkFresh();
    }
    ~FaceChain()
    {
        KelvraDataDisconnect(&filter, &sink);
        KelvraDataDisconnect(image, &filter);
        image->Release();
    }
    FaceChain(const FaceChain&) = delete;
    FaceChain& operator=(const FaceChain&) = delete;

    // The filter's whole output, laid out as the face's pixels.
    std::vector<unsigned char> Output()
    {
        std::vector<unsigned char> bytes(face.pixels.size());
        ExpectOk(KelvraReadRect(&filter, KelvraRect(0, 0, face.width, face.height), bytes.data(), face.RowBytes()),
                 "read output");
        return bytes;
    }
    // A stored record for a region around pupil `index`.
    CByteBuffer PupilRecord(int index) const
    {
        ReRegion box = face.pupils[index].Box();
        --box.left, --box.top, ++box.right, ++box.bottom;
        CByteBuffer record;
        EXPECT_EQ(ReOk, TlRedEyeSaveRecord(box, record));
        return record;
    }
    std::vector<KelvraRect> NoticeRects() const
    {
        std::vector<KelvraRect> rects;
        for (const auto& notice : sink.notices) {
            EXPECT_EQ(kKelvraNotifyData, notice.code);
            rects.push_back(notice.rect);
        }
        return rects;
    }

    ManagerHolder holder;
    EyemendFace face;
    IKelvraImage* image = nullptr;
    Probe<CRedEyeFilter> filter;
    frame_test::NoticeSink sink;
};

// The notice rectangles of a list's regions, first to last.
inline std::vector<KelvraRect> NoticeRectsOf(const std::vector<ReRegion>& regions)
{
    std::vector<KelvraRect> rects;
    for (const ReRegion& region : regions)
        rects.push_back(TlRedEyeNoticeRect(region));
    return rects;
}

// Compares `output` with the face: the pupils marked corrected are no
// longer red, and every pixel outside their neighbourhood (two pixels
// around the painted disc) is the face's own, byte for byte.
inline void ExpectPupils(const EyemendFace& face, const std::vector<unsigned char>& output,
                         std::array<bool, 2> corrected)
{
    ASSERT_EQ(face.pixels.size(), output.size());
    EyemendFace seen = face;
    seen.pixels = output;
    const std::size_t pixelBytes = face.wide ? 6 : 3;
    long stillRed = 0, changedOutside = 0;
    for (std::int32_t y = 0; y < face.height; ++y) {
        for (std::int32_t x = 0; x < face.width; ++x) {
            int closest = -1;
            for (int i = 0; i < 2; ++i) {
                const EyemendFace::Disc& d = face.pupils[i];
                if (corrected[i] && std::abs(x - d.x) <= d.radius + 2 && std::abs(y - d.y) <= d.radius + 2)
                    closest = i;
            }
            const std::size_t at = std::size_t(y) * face.RowBytes() + x * pixelBytes;
            if (closest < 0) {
                changedOutside += std::equal(&output[at], &output[at] + pixelBytes, &face.pixels[at]) ? 0 : 1;
            } else if (face.pupils[closest].Holds(x, y)) {
                const EyemendRgb c = seen.At(x, y);
                stillRed += c.red > std::max(c.green, c.blue) + 2 ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(0, stillRed) << "pupil pixels still red";
    EXPECT_EQ(0, changedOutside) << "pixels changed outside the corrected pupils";
}

} // namespace redeye_test
