// The detector's first steps: the red pixels of a window gathered into
// 8-connected blobs (as runs along rows, joined row by row), and the test
// that tells a pupil among them.
#pragma once

#include "EyemendPicture.h"

#include <vector>

namespace eyemend {

struct Blob {
    Box box;
    std::int64_t area = 0;
    bool cut = false; // meets an edge of the window that is not the picture's
};

// Told of the rows done; true stops the search.
class RowProgress {
public:
    RowProgress(ReProgress progress, long scale, std::int32_t rows) : m_progress(progress), m_scale(scale), m_rows(rows) {}
    bool Stop(long phase, std::int32_t rowsDone) const;

private:
    ReProgress m_progress;
    long m_scale;
    std::int32_t m_rows;
};

// The blobs of red pixels inside `window` (inside the picture), top first.
// ReCancelled when `progress` stopped it, ReOutOfMemory when memory ran out.
ReStatus FindRedBlobs(const Picture& picture, const Box& window, const RowProgress* progress,
                      std::vector<Blob>* blobs);

// Of pupil size and shape (compact, roughly round, mostly filled) with
// hardly a red pixel around it.
bool LooksLikePupil(const Picture& picture, const Blob& blob);

// The region box of a pupil blob: a pixel wider on each side, for the
// softer rim, inside the picture.
Box PupilBox(const Picture& picture, const Blob& blob);

} // namespace eyemend
