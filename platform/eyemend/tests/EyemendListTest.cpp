// Region lists: walking both ways, appending, merging, emptying.
#include "eyemend/Eyemend.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ReRegion* Make(std::int32_t left)
{
    return new ReRegion{left, 0, left + 3, 3, nullptr, nullptr};
}

std::vector<std::int32_t> Forward(const ReList& list)
{
    std::vector<std::int32_t> lefts;
    for (ReRegion* r = ReListNext(&list, nullptr); r != nullptr; r = ReListNext(&list, r))
        lefts.push_back(r->left);
    return lefts;
}

std::vector<std::int32_t> Backward(const ReList& list)
{
    std::vector<std::int32_t> lefts;
    for (ReRegion* r = ReListPrev(&list, nullptr); r != nullptr; r = ReListPrev(&list, r))
        lefts.push_back(r->left);
    return lefts;
}

TEST(EyemendListTest, InsertMergeAndEmptyKeepTheOrderBothWays)
{
    ReList a{nullptr, nullptr}, b{nullptr, nullptr};
    EXPECT_EQ(nullptr, ReListNext(&a, nullptr));
    EXPECT_EQ(nullptr, ReListPrev(&a, nullptr));
    for (std::int32_t left : {1, 2})
        ASSERT_EQ(ReOk, ReListInsert(&a, Make(left)));
    for (std::int32_t left : {3, 4, 5})
        ASSERT_EQ(ReOk, ReListInsert(&b, Make(left)));

    EXPECT_EQ(ReOk, ReListMerge(&a, &b));
    EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3, 4, 5}), Forward(a));
    EXPECT_EQ((std::vector<std::int32_t>{5, 4, 3, 2, 1}), Backward(a));
    EXPECT_TRUE(Forward(b).empty());

    EXPECT_EQ(ReOk, ReListMerge(&b, &a)); // into an empty list
    EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3, 4, 5}), Forward(b));
    EXPECT_EQ(ReOk, ReListMerge(&b, &a)); // from an empty one
    EXPECT_EQ(ReOk, ReListMerge(&b, &b));
    EXPECT_EQ(5u, Forward(b).size());

    EXPECT_EQ(ReOk, ReListEmpty(&b));
    EXPECT_EQ(nullptr, b.head);
    EXPECT_EQ(nullptr, b.tail);
}

TEST(EyemendListTest, RefusesMissingListsAndLinkedRegions)
{
    ReList list{nullptr, nullptr};
    ReRegion* first = Make(1);
    ASSERT_EQ(ReOk, ReListInsert(&list, first));
    EXPECT_EQ(ReInvalidParameter, ReListInsert(&list, first)); // already the head
    ReRegion* second = Make(2);
    ASSERT_EQ(ReOk, ReListInsert(&list, second));
    EXPECT_EQ(ReInvalidParameter, ReListInsert(&list, first)); // already linked
    EXPECT_EQ((std::vector<std::int32_t>{1, 2}), Forward(list));

    EXPECT_EQ(ReMissingArgument, ReListInsert(nullptr, second));
    EXPECT_EQ(ReMissingArgument, ReListInsert(&list, nullptr));
    EXPECT_EQ(ReMissingArgument, ReListMerge(nullptr, &list));
    EXPECT_EQ(ReMissingArgument, ReListEmpty(nullptr));
    EXPECT_EQ(nullptr, ReListNext(nullptr, nullptr));
    ReListEmpty(&list);
}

} // namespace
