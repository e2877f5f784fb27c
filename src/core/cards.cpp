#include "core/cards.h"

namespace tenfold {

const std::array<std::string_view, 30> kPlayerNames = {
    "Mia ", "Ian ", "Bob ", "Jim ", "Jack", "John", "Rick", "Tom ", "Eve ", "Liz ",
    "Mary", "Mike", "Sean", "Elsa", "Anne", "Nick", "Ted ", "Bill", "Cary", "Kate",
    "Pete", "Tim ", "Lena", "Greg", "Jill", "Dan ", "Stef", "Ed  ", "Jess", "Gas "};

// The letter table and the suit table must agree: each suit's code comes back.
static_assert(SuitOf(CardCode(Rank::Ace, Suit::Hearts)) == Suit::Hearts);
static_assert(SuitOf(CardCode(Rank::King, Suit::Spades)) == Suit::Spades);
static_assert(CardCode(Rank::Ace, Suit::Hearts) == 2 && CardCode(Rank::Ace, Suit::Spades) == 3);
static_assert(RankOf(CardCode(Rank::Ten, Suit::Diamonds)) == Rank::Ten);

}  // namespace tenfold
