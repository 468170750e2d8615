// The list of transitions the user picks from (settings dialog, show
// window menu), the mappings between list position and the stored
// (kind, parameter) pair, and the random deck.
#pragma once

#include "FourCC.h"

#include <array>
#include <cstdint>
#include <vector>

class SlideshowSettings;

// One list entry; a separator has every field 0.
struct TransitionEntry {
    std::uint32_t kind;
    int parameter;
    int position; // 1 to 18
    int labelId;  // string id of its label
    bool IsSeparator() const { return position == 0; }
};

constexpr int kTransitionListSize = 18;
constexpr int kTransitionRandomPosition = 18;
// The show window's command of an entry is this plus its position.
constexpr int kTransitionCommandBase = 3000;

// The 18 entries in display order, separators included.
const std::array<TransitionEntry, kTransitionListSize>& TransitionList();

// Writes the pair of list `position` into the settings; "No Effect" and
// "Random" leave the parameter, any other position changes nothing.
void PositionToPair(int position, SlideshowSettings& settings);
// The list position that shows the pair; 1 for an unknown kind.
int PairToPosition(std::uint32_t kind, int parameter);

// The eleven effects in a shuffled order; each is drawn once per round.
class RandomDeck {
public:
    struct Card {
        std::uint32_t kind;
        int parameter;
        int position;
    };

    // Fills the deck in list order and shuffles it.
    RandomDeck();

    // The next effect; an exhausted deck is shuffled for a new round first.
    Card Draw();
    const std::vector<Card>& Cards() const { return m_cards; }

private:
    void Shuffle();

    std::vector<Card> m_cards;
    std::size_t m_next = 0;
};
