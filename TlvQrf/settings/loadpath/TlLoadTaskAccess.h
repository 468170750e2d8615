// What the pixel-format check of the load path needs of the load task: the
// picture being loaded, its tags, the progress callback that goes into the
// description request, and the place where the description's results are
// kept. The load task of the library core implements it.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraLoad.h"

#include <cstdint>

class ITlLoadTaskAccess {
public:
    // Null while the task has no picture.
    virtual IKelvraDataSource* GetPicture() = 0;
    // Null when the picture has no tags.
    virtual IKelvraTagControl* GetTagControl() = 0;
    // May be null.
    virtual KelvraLoadCallback GetProgressCallback() = 0;

    // The file's format code as the description reported it.
    virtual void KeepFormatCode(std::uint32_t formatCode) = 0;
    // The main image's size; only kept when the description reported one.
    virtual void KeepImageSize(std::uint32_t width, std::uint32_t height) = 0;

protected:
    ~ITlLoadTaskAccess() = default;
};
