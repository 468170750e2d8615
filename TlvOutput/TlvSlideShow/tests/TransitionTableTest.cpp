// Both mappings of the transition list and the random deck.
#include "SlideshowSettings.h"
#include "TransitionTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(TransitionTable, PositionsGiveTheirPairs)
{
    const struct {
        int position;
        std::uint32_t kind;
        int parameter;
    } cases[] = {
        {3, kEffectWipe, 1},   {4, kEffectWipe, 3},    {5, kEffectWipe, 2},     {6, kEffectWipe, 4},
        {8, kEffectSlide, 0},  {9, kEffectSlide, 180}, {10, kEffectSlide, 90},  {11, kEffectSlide, 270},
        {13, kEffectDissolve, 270}, {15, kEffectIris, 1}, {16, kEffectIris, 2},
    };
    for (const auto& c : cases) {
        SlideshowSettings settings;
        PositionToPair(c.position, settings);
        EXPECT_EQ(c.kind, settings.transitionKind) << c.position;
        EXPECT_EQ(c.parameter, settings.transitionParameter) << c.position;
        EXPECT_EQ(c.position, PairToPosition(c.kind, c.parameter));
        EXPECT_EQ(c.position, TransitionList()[std::size_t(c.position - 1)].position);
    }
}

TEST(TransitionTable, NoEffectAndRandomKeepTheParameterAndOtherPositionsChangeNothing)
{
    SlideshowSettings settings;
    PositionToPair(11, settings); // Slide Left
    PositionToPair(1, settings);
    EXPECT_EQ(kTransitionNone, settings.transitionKind);
    EXPECT_EQ(270, settings.transitionParameter);
    PositionToPair(18, settings);
    EXPECT_EQ(kTransitionRandom, settings.transitionKind);
    EXPECT_EQ(270, settings.transitionParameter);
    for (int position : {0, 2, 7, 12, 14, 17, 19, -1}) {
        PositionToPair(position, settings);
        EXPECT_EQ(kTransitionRandom, settings.transitionKind) << position;
        EXPECT_EQ(270, settings.transitionParameter) << position;
    }
}

TEST(TransitionTable, PairsMapToPositions)
{
    const struct {
        std::uint32_t kind;
        int parameter;
        int position;
    } cases[] = {
        {kEffectSlide, 45, 8},  {kEffectIris, 7, 15},      {TlFourCC("zoom"), 0, 1}, {kTransitionNone, 90, 1},
        {kTransitionRandom, 5, 18}, {kEffectDissolve, 0, 13}, {kEffectWipe, 9, 3},    {kEffectSlide, 180, 9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.position, PairToPosition(c.kind, c.parameter)) << c.parameter;
}

TEST(TransitionTable, SeparatorsSitBetweenTheGroups)
{
    std::vector<int> separators;
    for (std::size_t i = 0; i < TransitionList().size(); ++i)
        if (TransitionList()[i].IsSeparator())
            separators.push_back(int(i + 1));
    EXPECT_EQ(std::vector<int>({2, 7, 12, 14, 17}), separators);
    EXPECT_EQ(3019, TransitionList()[17].labelId);
}

TEST(RandomDeckTest, EveryEffectOncePerRoundAndANewRoundAfterEleven)
{
    RandomDeck deck;
    std::set<int> positions;
    for (int i = 0; i < 11; ++i) {
        const RandomDeck::Card card = deck.Draw();
        EXPECT_NE(kTransitionNone, card.kind);
        EXPECT_NE(kTransitionRandom, card.kind);
        EXPECT_EQ(card.position, PairToPosition(card.kind, card.parameter));
        positions.insert(card.position);
    }
    EXPECT_EQ(11u, positions.size());
    // The twelfth draw opens a new round: eleven more, again all different.
    std::set<int> second;
    for (int i = 0; i < 11; ++i)
        second.insert(deck.Draw().position);
    EXPECT_EQ(positions, second);
}

TEST(RandomDeckTest, TheShuffleFollowsTheCLibraryGenerator)
{
    std::srand(7);
    RandomDeck first;
    std::srand(7);
    RandomDeck second;
    ASSERT_EQ(first.Cards().size(), second.Cards().size());
    for (std::size_t i = 0; i < first.Cards().size(); ++i)
        EXPECT_EQ(first.Cards()[i].position, second.Cards()[i].position);
}

} // namespace
