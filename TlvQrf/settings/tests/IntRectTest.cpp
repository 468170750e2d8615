#include "settings/geometry/TlRect.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <utility>

namespace {

// top, left, bottom, right: the class's own order.
using Edges = std::array<int, 4>;

CTlRect Make(const Edges& e) { return CTlRect(e[0], e[1], e[2], e[3]); }

Edges EdgesOf(const CTlRect& rect)
{
    Edges edges = {};
    rect.Get(edges.data());
    return edges;
}

TEST(IntRect, KeepsTopBeforeLeft)
{
    const CTlRect rect(1, 2, 3, 4);
    EXPECT_EQ(1, rect.GetTop());
    EXPECT_EQ(2, rect.GetLeft());
    EXPECT_EQ(3, rect.GetBottom());
    EXPECT_EQ(4, rect.GetRight());
    EXPECT_EQ((Edges{1, 2, 3, 4}), EdgesOf(rect));
    EXPECT_EQ((Edges{0, 0, 0, 0}), EdgesOf(CTlRect()));
    EXPECT_EQ(nullptr, rect.Get(nullptr));
}

TEST(IntRect, ConvertsToAndFromWindowsRect)
{
    RECT out = {};
    EXPECT_EQ(&out, &CTlRect(1, 2, 3, 4).ToRECT(out));
    EXPECT_EQ(2, out.left);
    EXPECT_EQ(1, out.top);
    EXPECT_EQ(4, out.right);
    EXPECT_EQ(3, out.bottom);

    const RECT in = {-5, -6, 7, 8}; // left, top, right, bottom
    CTlRect rect;
    rect.SetFromRECT(in);
    EXPECT_EQ((Edges{-6, -5, 8, 7}), EdgesOf(rect));
}

TEST(IntRect, CornersAreXYPoints)
{
    CTlRect rect(10, 20, 30, 40);
    EXPECT_TRUE(rect.GetTopLeft().Equals(CTlPoint(20, 10)));
    EXPECT_TRUE(rect.GetBottomRight().Equals(CTlPoint(40, 30)));
    rect.SetTopLeft(CTlPoint(1, 2));
    rect.SetBottomRight(CTlPoint(3, 4));
    EXPECT_EQ((Edges{2, 1, 4, 3}), EdgesOf(rect));
}

struct SizeCase {
    Edges rect;
    int width;
    int height;
    double aspect;
    bool empty;
};

TEST(IntRect, SizeAspectAndEmptiness)
{
    const SizeCase cases[] = {
        {{0, 0, 10, 20}, 20, 10, 2.0, false},
        {{-5, -5, 5, 0}, 5, 10, 0.5, false},
        {{0, 0, 1, 1}, 1, 1, 1.0, false},
        {{5, 5, 5, 9}, 4, 0, 0.0, true},     // no height: no aspect
        {{0, 3, 10, 3}, 0, 10, 0.0, true},
        {{10, 0, 0, 10}, 10, -10, -1.0, true}, // upside down
        {{0, 10, 10, 0}, -10, 10, -1.0, true},
        {{0, 0, 0, 0}, 0, 0, 0.0, true},
        // Spans beyond the int range saturate.
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MAX, INT_MAX, 1.0, false},
        {{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, INT_MIN, INT_MIN, 1.0, true},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect[0] << "," << c.rect[1] << "," << c.rect[2] << "," << c.rect[3]);
        const CTlRect rect = Make(c.rect);
        EXPECT_EQ(c.width, rect.GetWidth());
        EXPECT_EQ(c.height, rect.GetHeight());
        EXPECT_EQ(c.aspect, rect.GetAspect());
        EXPECT_TRUE(rect.GetSize().Equals(CTlPoint(c.width, c.height)));
        EXPECT_EQ(c.empty, rect.IsEmpty());
    }
}

struct IntersectCase {
    Edges a;
    Edges b;
    Edges common;
};

TEST(IntRect, IntersectKeepsTheCommonPartOrNothing)
{
    const IntersectCase cases[] = {
        {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}},   // touching below
        {{0, 0, 10, 10}, {0, 10, 10, 20}, {0, 0, 0, 0}},   // touching right
        {{0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}},      // inside
        {{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}},  // itself
        {{0, 0, 10, 10}, {20, 20, 30, 30}, {0, 0, 0, 0}},  // apart
        {{0, 0, 10, 10}, {3, 3, 3, 8}, {0, 0, 0, 0}},      // empty partner
        {{-10, -10, 0, 0}, {-5, -20, 5, -5}, {-5, -10, 0, -5}},
        {{0, 0, 10, 10}, {-5, 2, 15, 8}, {0, 2, 10, 8}},   // a band across
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const IntersectCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.b[0] << "," << c.b[1] << "," << c.b[2] << "," << c.b[3]);
        EXPECT_EQ(c.common, EdgesOf(Make(c.a).Intersect(Make(c.b))));
        EXPECT_EQ(c.common, EdgesOf(Make(c.b).Intersect(Make(c.a))));
    }
}

enum class Move { OffsetInts, OffsetPoint, Add, Subtract, MoveToInts, MoveToPoint, MoveToOrigin };

struct MoveCase {
    Edges start;
    Move move;
    int x;
    int y;
    Edges moved;
};

void Apply(CTlRect& rect, Move move, int x, int y)
{
    switch (move) {
    case Move::OffsetInts: rect.Offset(x, y); break;
    case Move::OffsetPoint: rect.Offset(CTlPoint(x, y)); break;
    case Move::Add: rect += CTlPoint(x, y); break;
    case Move::Subtract: rect -= CTlPoint(x, y); break;
    case Move::MoveToInts: rect.MoveTo(x, y); break;
    case Move::MoveToPoint: rect.MoveTo(CTlPoint(x, y)); break;
    case Move::MoveToOrigin: rect.MoveToOrigin(); break;
    }
}

// x moves left and right, y moves top and bottom; edges saturate at the int
// range, so a rectangle pushed past it loses its extent.
TEST(IntRect, OffsetsMoveBothCorners)
{
    const MoveCase cases[] = {
        {{10, 20, 30, 40}, Move::OffsetInts, 1, 2, {12, 21, 32, 41}},
        {{10, 20, 30, 40}, Move::OffsetPoint, -20, -10, {0, 0, 20, 20}},
        {{10, 20, 30, 40}, Move::Add, 5, 0, {10, 25, 30, 45}},
        {{10, 20, 30, 40}, Move::Subtract, 5, 7, {3, 15, 23, 35}},
        {{10, 20, 30, 40}, Move::MoveToInts, 1, 2, {2, 1, 22, 21}},
        {{10, 20, 30, 40}, Move::MoveToPoint, -3, -4, {-4, -3, 16, 17}},
        {{10, 20, 30, 40}, Move::MoveToOrigin, 0, 0, {0, 0, 20, 20}},
        {{-10, -20, -5, -1}, Move::MoveToOrigin, 0, 0, {0, 0, 5, 19}},
        {{30, 40, 10, 20}, Move::MoveToOrigin, 0, 0, {0, 0, -20, -20}}, // upside down stays so
        {{0, 0, 10, 10}, Move::OffsetInts, INT_MAX, 0, {0, INT_MAX, 10, INT_MAX}},
        {{0, 0, 10, 10}, Move::Subtract, 0, INT_MIN, {INT_MAX, 0, INT_MAX, 10}},
        {{0, -10, 10, 0}, Move::OffsetInts, INT_MIN, 0, {0, INT_MIN, 10, INT_MIN}},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "move " << int(c.move) << " by " << c.x << "," << c.y);
        CTlRect rect = Make(c.start);
        Apply(rect, c.move, c.x, c.y);
        EXPECT_EQ(c.moved, EdgesOf(rect));
    }
}

// Within the int range a move and its opposite, and a trip through a
// Windows RECT, give the rectangle back unchanged.
TEST(IntRect, RoundTripsRestoreTheRectangle)
{
    const Edges rects[] = {{10, 20, 30, 40}, {-7, -9, 3, 1}, {30, 40, 10, 20}, {0, 0, 0, 0},
                           {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
    const CTlPoint moves[] = {CTlPoint(0, 0), CTlPoint(5, -6), CTlPoint(-1000, 1000)};
    for (const Edges& edges : rects) {
        SCOPED_TRACE(testing::Message() << edges[0] << "," << edges[1] << "," << edges[2] << "," << edges[3]);
        RECT windowsRect = {};
        CTlRect back;
        back.SetFromRECT(Make(edges).ToRECT(windowsRect));
        EXPECT_EQ(edges, EdgesOf(back));
        if (edges[0] == INT_MIN)
            continue; // moves saturate there
        for (const CTlPoint& move : moves) {
            CTlRect rect = Make(edges);
            rect += move;
            rect -= move;
            EXPECT_EQ(edges, EdgesOf(rect));
        }
    }
}

// A rectangle that logs which moves reach the point offset: every move ends there.
class LoggingRect : public CTlRect {
public:
    LoggingRect() : CTlRect(10, 20, 30, 40) {}
    using CTlRect::Offset;
    void Offset(const CTlPoint& delta) override
    {
        log += "(" + std::to_string(delta.GetX()) + "," + std::to_string(delta.GetY()) + ")";
        CTlRect::Offset(delta);
    }
    std::string log;
};

struct RoutingCase {
    Move move;
    const char* offsets;
};

TEST(IntRect, EveryMoveGoesThroughThePointOffset)
{
    const RoutingCase cases[] = {
        {Move::OffsetInts, "(1,2)"},
        {Move::Add, "(1,2)"},
        {Move::Subtract, "(-1,-2)"},
        {Move::MoveToOrigin, "(-20,-10)"},
        {Move::MoveToInts, "(-20,-10)(1,2)"},
        {Move::MoveToPoint, "(-20,-10)(1,2)"},
    };
    for (const RoutingCase& c : cases) {
        SCOPED_TRACE(int(c.move));
        LoggingRect rect;
        Apply(rect, c.move, 1, 2);
        EXPECT_EQ(c.offsets, rect.log);
    }
}

} // namespace
