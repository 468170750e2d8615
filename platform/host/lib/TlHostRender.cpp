#include "TlHostRender.h"

#include "TlHostPicture.h"
#include "TlRawDevelop.h"

#include "pellio/PellioFormats.h"
#include "runbase/ConvertKelvraError.h"
#include "runbase/TlvResultCodes.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRenditionQuality = 90;
constexpr std::uint32_t kRawDevelopColour8 = 0x08060201;

long Rounded(double value)
{
    return std::max(1L, long(std::lround(value)));
}

// A path beside `target` that no finished rendition has.
std::string TemporaryBeside(const std::string& target, const char* suffix)
{
    return target + suffix;
}

// Deletes the file it names when it goes, unless it was kept.
class CFileGuard {
public:
    explicit CFileGuard(std::string path) : m_path(std::move(path)) {}
    ~CFileGuard()
    {
        if (!m_path.empty())
            DeleteFileA(m_path.c_str());
    }
    CFileGuard(const CFileGuard&) = delete;
    CFileGuard& operator=(const CFileGuard&) = delete;
    const std::string& Path() const { return m_path; }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
};

// The save road's progress goes to the watcher; a cancel there aborts it.
class CDevelopRelay : public ITlDevelopWatcher {
public:
    explicit CDevelopRelay(ITlRenderWatcher& watcher) : m_watcher(watcher) {}
    void OnProgress(long done, long total) override { m_stop = m_stop || !m_watcher.OnProgress(done, total); }
    bool IsStopAsked() override { return m_stop; }

private:
    ITlRenderWatcher& m_watcher;
    bool m_stop = false;
};

unsigned long Failed(IKelvraError* error)
{
    const unsigned long result = ConvertKelvraError(error);
    IKelvraError::Release(error);
    return result;
}

bool IsRawFile(const std::string& path, unsigned long* result)
{
    IKelvraTagControl* tags = nullptr;
    if (IKelvraError* error = CreateTagControl(&tags)) {
        *result = Failed(error);
        return false;
    }
    PellioTagsPtr owned(tags);
    KelvraFileInfo info{};
    *result = Failed(TlReadPictureTags(path.c_str(), tags, &info));
    return *result == TLV_OK && info.fileKind == kPellioKindQrf;
}

// The picture to scale: the file itself, or the developed raw file.
unsigned long LoadSource(IKelvraManager* manager, CTlRawDevelop& rawRoad, const std::string& sourcePath,
                         const std::string& target, ITlRenderWatcher& watcher, TlImagePtr* image)
{
    unsigned long result = TLV_OK;
    const bool raw = IsRawFile(sourcePath, &result);
    if (result != TLV_OK)
        return result == TLV_ERR_OUT_OF_MEMORY ? result : TLV_ERR_FAILED;
    std::string picture = sourcePath;
    CFileGuard developed(raw ? TemporaryBeside(target, ".raw.tmp") : std::string());
    if (raw) {
        CDevelopRelay relay(watcher);
        IKelvraError* chain = nullptr;
        result = rawRoad.Develop(sourcePath.c_str(), developed.Path().c_str(), kPellioFormatJpeg,
                                 kRawDevelopColour8, relay, &chain);
        IKelvraError::Release(chain);
        if (relay.IsStopAsked())
            return TLV_ERR_CANCELLED;
        if (result != TLV_OK)
            return TlvFailed(result) ? result : TLV_ERR_FAILED;
        picture = developed.Path();
    }
    auto keepGoing = [&watcher](long done, long total) { return watcher.OnProgress(done, total); };
    result = Failed(TlLoadPicture(manager, picture.c_str(), image, keepGoing));
    return result == TLV_ERR_CANCELLED || result == TLV_ERR_OUT_OF_MEMORY || result == TLV_OK ? result
                                                                                              : TLV_ERR_FAILED;
}

} // namespace

void TlRenditionSize(const CTlvOutputData& output, long width, long height, long* renditionWidth,
                     long* renditionHeight)
{
    *renditionWidth = width;
    *renditionHeight = height;
    if (output.m_scale != 0.0) {
        *renditionWidth = Rounded(width * output.m_scale);
        *renditionHeight = Rounded(height * output.m_scale);
    } else if (output.m_width != 0 && output.m_height != 0) {
        *renditionWidth = long(output.m_width);
        *renditionHeight = long(output.m_height);
    } else if (output.m_width != 0) {
        *renditionWidth = long(output.m_width);
        *renditionHeight = Rounded(double(height) * output.m_width / width);
    } else if (output.m_height != 0) {
        *renditionHeight = long(output.m_height);
        *renditionWidth = Rounded(double(width) * output.m_height / height);
    }
}

unsigned long TlRenderRendition(IKelvraManager* manager, CTlRawDevelop& rawRoad, const std::string& sourcePath,
                                const CTlvOutputData& output, ITlRenderWatcher& watcher)
{
    const std::string target = output.m_path.GetFullPath();
    if (target.empty() || output.m_path.GetFileName().empty())
        return TLV_ERR_FAILED;
    TlImagePtr source;
    unsigned long result = LoadSource(manager, rawRoad, sourcePath, target, watcher, &source);
    if (result != TLV_OK)
        return result;
    long width = 0, height = 0;
    if (IKelvraError* error = source->GetSize(&width, &height))
        return Failed(error);
    long renditionWidth = 0, renditionHeight = 0;
    TlRenditionSize(output, width, height, &renditionWidth, &renditionHeight);
    TlImagePtr rendition;
    if (IKelvraError* error = TlScalePicture(manager, source.get(), renditionWidth, renditionHeight, &rendition))
        return Failed(error);
    source.reset();
    CFileGuard written(TemporaryBeside(target, ".tmp"));
    if (IKelvraError* error = TlSaveJpeg(rendition.get(), written.Path().c_str(), kRenditionQuality)) {
        result = Failed(error);
        return result == TLV_ERR_OUT_OF_MEMORY ? result : TLV_ERR_FAILED;
    }
    if (!watcher.OnProgress(1, 1))
        return TLV_ERR_CANCELLED;
    if (!MoveFileExA(written.Path().c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return TLV_ERR_FAILED;
    written.Keep();
    return TLV_OK;
}
