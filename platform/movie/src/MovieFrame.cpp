#include "MovieFrame.h"

#include <new>

bool MovieFrame::Allocate(long newWidth, long newHeight)
{
    if (newWidth < 1 || newHeight < 1 || newWidth > kMovieLargestSide || newHeight > kMovieLargestSide)
        return false;
    try {
        pixels.assign(std::size_t(RowBytesFor(newWidth)) * std::size_t(newHeight), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = newWidth;
    height = newHeight;
    rowBytes = RowBytesFor(newWidth);
    return true;
}
