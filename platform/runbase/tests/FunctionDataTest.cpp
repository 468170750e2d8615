#include "runbase/TlvFunctionData.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

HBITMAP FakeBitmap(UINT_PTR value)
{
    return reinterpret_cast<HBITMAP>(value);
}

struct Cell {
    DWORD state;
    int left;
};

void ExpectCells(const CTlvFunctionData& function, HBITMAP bitmap, int width, int height,
                 std::initializer_list<Cell> cells)
{
    EXPECT_EQ(cells.size(), function.m_bitmaps.size());
    for (const Cell& expected : cells) {
        SCOPED_TRACE(testing::Message() << "state " << expected.state);
        const CTlvBitmapData* cell = function.FindBitmap(expected.state);
        ASSERT_NE(nullptr, cell);
        EXPECT_EQ(bitmap, cell->m_bitmap);
        EXPECT_EQ(width, cell->m_width);
        EXPECT_EQ(height, cell->m_height);
        EXPECT_EQ(expected.left, cell->m_left);
        EXPECT_EQ(0, cell->m_top);
    }
}

TEST(FunctionData, StripCellsLieSideBySideInStateOrder)
{
    CTlvFunctionData function;
    function.AddBitmapStrip(FakeBitmap(0x100), 32, 32, {1, 2, 3, 256});
    ExpectCells(function, FakeBitmap(0x100), 32, 32, {{1, 0}, {2, 32}, {3, 64}, {256, 96}});
}

TEST(FunctionData, StripStartsAtTheGivenEdge)
{
    CTlvFunctionData function;
    function.AddBitmapStrip(FakeBitmap(0x200), 23, 21, {1, 3, 2, 256}, 92);
    ExpectCells(function, FakeBitmap(0x200), 23, 21, {{1, 92}, {3, 115}, {2, 138}, {256, 161}});
}

TEST(FunctionData, LaterCellsReplaceEarlierOnesOfTheSameState)
{
    CTlvFunctionData function;
    function.AddBitmapStrip(FakeBitmap(0x100), 32, 32, {1, 2});
    function.AddBitmapStrip(FakeBitmap(0x300), 22, 19, {2, 260}, 44);
    EXPECT_EQ(FakeBitmap(0x100), function.FindBitmap(1)->m_bitmap);
    EXPECT_EQ(FakeBitmap(0x300), function.FindBitmap(2)->m_bitmap);
    EXPECT_EQ(44, function.FindBitmap(2)->m_left);
    EXPECT_EQ(66, function.FindBitmap(260)->m_left);
}

TEST(FunctionData, StatesWithoutACellFindNone)
{
    CTlvFunctionData function;
    EXPECT_EQ(nullptr, function.FindBitmap(1));
    function.AddBitmapStrip(FakeBitmap(0x100), 32, 32, {1});
    EXPECT_EQ(nullptr, function.FindBitmap(256));
}

} // namespace
