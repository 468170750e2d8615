#include "TransitionTable.h"

#include "SlideshowSettings.h"

#include <cstdlib>
#include <utility>

namespace {

constexpr TransitionEntry kSeparator = {0, 0, 0, 0};

const std::array<TransitionEntry, kTransitionListSize> kList = {{
    {kTransitionNone, 0, 1, 3000},
    kSeparator,
    {kEffectWipe, 1, 3, 3012},
    {kEffectWipe, 3, 4, 3015},
    {kEffectWipe, 2, 5, 3014},
    {kEffectWipe, 4, 6, 3016},
    kSeparator,
    {kEffectSlide, 0, 8, 3004},
    {kEffectSlide, 180, 9, 3006},
    {kEffectSlide, 90, 10, 3005},
    {kEffectSlide, 270, 11, 3007},
    kSeparator,
    {kEffectDissolve, 270, 13, 3003},
    kSeparator,
    {kEffectIris, 1, 15, 3017},
    {kEffectIris, 2, 16, 3018},
    kSeparator,
    {kTransitionRandom, 0, 18, 3019},
}};

} // namespace

const std::array<TransitionEntry, kTransitionListSize>& TransitionList()
{
    return kList;
}

void PositionToPair(int position, SlideshowSettings& settings)
{
    if (position < 1 || position > kTransitionListSize)
        return;
    const TransitionEntry& entry = kList[std::size_t(position - 1)];
    if (entry.IsSeparator())
        return;
    settings.transitionKind = entry.kind;
    // "No Effect" and "Random" keep the parameter the user had.
    if (entry.kind != kTransitionNone && entry.kind != kTransitionRandom)
        settings.transitionParameter = entry.parameter;
}

int PairToPosition(std::uint32_t kind, int parameter)
{
    switch (kind) {
    case kTransitionRandom:
        return 18;
    case kEffectDissolve:
        return 13;
    case kEffectSlide:
        return parameter == 90 ? 10 : parameter == 180 ? 9 : parameter == 270 ? 11 : 8;
    case kEffectIris:
        return parameter == 2 ? 16 : 15;
    case kEffectWipe:
        return parameter == 2 ? 5 : parameter == 3 ? 4 : parameter == 4 ? 6 : 3;
    default:
        return 1;
    }
}

RandomDeck::RandomDeck()
{
    for (const TransitionEntry& entry : kList) {
        if (!entry.IsSeparator() && entry.kind != kTransitionNone && entry.kind != kTransitionRandom)
            m_cards.push_back({entry.kind, entry.parameter, entry.position});
    }
    Shuffle();
}

void RandomDeck::Shuffle()
{
    // The C library's generator, never seeded here: the order follows the
    // process's earlier use of rand(). The deck is far below 32767 cards,
    // so one value per swap is enough.
    for (std::size_t k = 1; k < m_cards.size(); ++k)
        std::swap(m_cards[k], m_cards[std::size_t(std::rand()) % (k + 1)]);
}

RandomDeck::Card RandomDeck::Draw()
{
    if (m_next == m_cards.size()) {
        Shuffle();
        m_next = 0;
    }
    return m_cards[m_next++];
}
