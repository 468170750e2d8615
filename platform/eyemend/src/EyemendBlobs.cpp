#include "EyemendBlobs.h"

#include <algorithm>
#include <new>

namespace eyemend {

namespace {

struct Run {
    std::int32_t y;
    std::int32_t left; // inclusive
    std::int32_t right;
    std::size_t parent;
};

std::size_t Root(std::vector<Run>& runs, std::size_t index)
{
    while (runs[index].parent != index) {
        runs[index].parent = runs[runs[index].parent].parent;
        index = runs[index].parent;
    }
    return index;
}

void Join(std::vector<Run>& runs, std::size_t a, std::size_t b)
{
    a = Root(runs, a);
    b = Root(runs, b);
    if (a != b)
        runs[std::max(a, b)].parent = std::min(a, b); // the earlier run stays the root: blobs keep scan order
}

template <typename Sample, std::uint32_t Full>
void AppendRowRuns(const Picture& picture, const Box& window, std::int32_t y, std::vector<Run>& runs)
{
    const Sample* pixel = picture.Row<Sample>(y) + std::size_t(window.left) * 3;
    std::int32_t start = -1;
    for (std::int32_t x = window.left; x <= window.right; ++x, pixel += 3) {
        const bool red = IsPupilRed<Sample, Full>(pixel);
        if (red && start < 0)
            start = x;
        if (!red && start >= 0) {
            runs.push_back({y, start, x - 1, runs.size()});
            start = -1;
        }
    }
    if (start >= 0)
        runs.push_back({y, start, window.right, runs.size()});
}

// Joins each run of [current, end) with the runs of [previous, current)
// that touch it, diagonals included.
void JoinWithRowAbove(std::vector<Run>& runs, std::size_t previous, std::size_t current, std::size_t end)
{
    std::size_t above = previous;
    for (std::size_t i = current; i < end; ++i) {
        while (above < current && runs[above].right < runs[i].left - 1)
            ++above;
        for (std::size_t j = above; j < current && runs[j].left <= runs[i].right + 1; ++j)
            Join(runs, i, j);
    }
}

std::vector<Blob> BlobsOfRuns(std::vector<Run>& runs, const Picture& picture, const Box& window)
{
    std::vector<Blob> blobs;
    std::vector<std::size_t> blobOfRoot(runs.size(), std::size_t(-1));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& run = runs[i];
        std::size_t& index = blobOfRoot[Root(runs, i)];
        if (index == std::size_t(-1)) {
            index = blobs.size();
            blobs.push_back({{run.left, run.y, run.right, run.y}, 0, false});
        }
        Blob& blob = blobs[index];
        blob.box.left = std::min(blob.box.left, run.left);
        blob.box.right = std::max(blob.box.right, run.right);
        blob.box.bottom = run.y;
        blob.area += run.right - run.left + 1;
    }
    for (Blob& blob : blobs) {
        blob.cut = (blob.box.left == window.left && window.left > 0) ||
                   (blob.box.top == window.top && window.top > 0) ||
                   (blob.box.right == window.right && window.right < picture.width - 1) ||
                   (blob.box.bottom == window.bottom && window.bottom < picture.height - 1);
    }
    return blobs;
}

template <typename Sample, std::uint32_t Full>
std::int64_t CountRed(const Picture& picture, const Box& area, const Box& skip, std::int64_t* counted)
{
    std::int64_t red = 0;
    for (std::int32_t y = area.top; y <= area.bottom; ++y) {
        const Sample* row = picture.Row<Sample>(y);
        for (std::int32_t x = area.left; x <= area.right; ++x) {
            if (y >= skip.top && y <= skip.bottom && x >= skip.left && x <= skip.right) {
                x = skip.right;
                continue;
            }
            ++*counted;
            red += IsPupilRed<Sample, Full>(row + std::size_t(x) * 3) ? 1 : 0;
        }
    }
    return red;
}

// At most one pixel in eight of the ring around the blob is red.
bool HasPlainSurroundings(const Picture& picture, const Box& box)
{
    const std::int32_t margin = std::max(2, std::max(box.Width(), box.Height()) / 2);
    Box ring{box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
    picture.Clip(&ring);
    std::int64_t counted = 0;
    const std::int64_t red = picture.wide ? CountRed<std::uint16_t, 65535>(picture, ring, box, &counted)
                                          : CountRed<std::uint8_t, 255>(picture, ring, box, &counted);
    return counted > 0 && red * 8 <= counted;
}

} // namespace

bool RowProgress::Stop(long phase, std::int32_t rowsDone) const
{
    if (m_progress == nullptr)
        return false;
    const long done = m_rows > 0 ? long(std::int64_t(rowsDone) * m_scale / m_rows) : m_scale;
    return m_progress(done, phase, m_scale);
}

ReStatus FindRedBlobs(const Picture& picture, const Box& window, const RowProgress* progress,
                      std::vector<Blob>* blobs)
{
    constexpr std::int32_t kRowsPerReport = 64;
    try {
        std::vector<Run> runs;
        std::size_t previous = 0;
        for (std::int32_t y = window.top; y <= window.bottom; ++y) {
            const std::size_t current = runs.size();
            if (picture.wide)
                AppendRowRuns<std::uint16_t, 65535>(picture, window, y, runs);
            else
                AppendRowRuns<std::uint8_t, 255>(picture, window, y, runs);
            JoinWithRowAbove(runs, previous, current, runs.size());
            previous = current;
            const std::int32_t done = y - window.top + 1;
            if (progress != nullptr && done % kRowsPerReport == 0 && progress->Stop(1, done))
                return ReCancelled;
        }
        *blobs = BlobsOfRuns(runs, picture, window);
    } catch (const std::bad_alloc&) {
        return ReOutOfMemory;
    }
    return ReOk;
}

bool LooksLikePupil(const Picture& picture, const Blob& blob)
{
    const std::int64_t width = blob.box.Width();
    const std::int64_t height = blob.box.Height();
    const std::int64_t shorter = std::min(width, height);
    const std::int64_t longer = std::max(width, height);
    const bool pupilSized = shorter >= 3 && longer <= picture.LargestPupil();
    const bool roughlyRound = longer <= 2 * shorter && blob.area * 2 >= width * height;
    return !blob.cut && pupilSized && roughlyRound && HasPlainSurroundings(picture, blob.box);
}

Box PupilBox(const Picture& picture, const Blob& blob)
{
    Box box{blob.box.left - 1, blob.box.top - 1, blob.box.right + 1, blob.box.bottom + 1};
    picture.Clip(&box);
    return box;
}

} // namespace eyemend
