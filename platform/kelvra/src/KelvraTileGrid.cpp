#include "KelvraTileGrid.h"

#include <new>

namespace {

const KelvraTag kGridTag = KelvraFourCC('K', 'G', 'r', 'd');

} // namespace

CKelvraTileGrid::CKelvraTileGrid(const KelvraRect& rect, long tileSize) : m_rect(rect)
{
    if (rect.IsEmpty())
        return;
    m_firstColumn = rect.left / tileSize;
    m_firstRow = rect.top / tileSize;
    m_columns = (rect.right - 1) / tileSize - m_firstColumn + 1;
    m_rows = (rect.bottom - 1) / tileSize - m_firstRow + 1;
}

IKelvraError* CKelvraTileGrid::Create(const KelvraRect& rect, long tileSize, IKelvraTileGrid** grid)
{
    if (!grid)
        return KELVRA_ERROR(nullptr, kGridTag, kKelvraMissingObject);
    *grid = nullptr;
    if (tileSize <= 0 || (!rect.IsEmpty() && (rect.left < 0 || rect.top < 0)))
        return KELVRA_ERROR(nullptr, kGridTag, kKelvraBadArgument);
    *grid = new (std::nothrow) CKelvraTileGrid(rect.IsEmpty() ? KelvraRect() : rect, tileSize);
    return *grid ? nullptr : KELVRA_ERROR(nullptr, kGridTag, kKelvraOutOfMemory);
}
