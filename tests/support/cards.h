#pragma once
// Cards by their names in tests: "KH"_card is the king of hearts, "10S"_card
// the ten of spades, "AC"_card the ace of clubs.

#include <cstddef>
#include <stdexcept>

#include "core/cards.h"

namespace tenfold::test {

constexpr Card operator""_card(const char* name, std::size_t length) {
    if (length < 2 || length > 3) throw std::invalid_argument("card name");
    const char face = name[0];
    Rank rank = Rank::Ace;
    if (length == 3) {
        if (face != '1' || name[1] != '0') throw std::invalid_argument("card name");
        rank = Rank::Ten;
    } else if (face >= '2' && face <= '9') {
        rank = static_cast<Rank>(face - '0');
    } else {
        switch (face) {
            case 'A': rank = Rank::Ace; break;
            case 'J': rank = Rank::Jack; break;
            case 'Q': rank = Rank::Queen; break;
            case 'K': rank = Rank::King; break;
            default: throw std::invalid_argument("card name");
        }
    }
    switch (name[length - 1]) {
        case 'C': return CardCode(rank, Suit::Clubs);
        case 'D': return CardCode(rank, Suit::Diamonds);
        case 'H': return CardCode(rank, Suit::Hearts);
        case 'S': return CardCode(rank, Suit::Spades);
        default: throw std::invalid_argument("card name");
    }
}

}  // namespace tenfold::test
