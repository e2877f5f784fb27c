#pragma once
// What a card is everywhere in the game: its code, suit, rank and strength,
// the ten contracts and their trumps, which card takes a trick, and the names
// the computer players are drawn from.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tenfold {

// Suit codes as the rules number them; hearts come last, after spades.
enum class Suit : std::int8_t { Clubs = 0, Diamonds = 1, Spades = 2, Hearts = 3 };
inline constexpr int kSuitCount = 4;
inline constexpr std::array<Suit, kSuitCount> kSuits = {Suit::Clubs, Suit::Diamonds, Suit::Spades,
                                                        Suit::Hearts};
constexpr int Index(Suit s) { return static_cast<int>(s); }

// Face values: the ace is 1 and ranks lowest as a face value, highest in strength.
enum class Rank : std::int8_t {
    Ace = 1,
    Two,
    Three,
    Four,
    Five,
    Six,
    Seven,
    Eight,
    Nine,
    Ten,
    Jack,
    Queen,
    King
};

// A card is a code 0..51: 4 x (face value - 1) + the index of its suit letter
// in C, D, H, S (so 2 is the ace of hearts and 3 the ace of spades). Traces
// and the picture names count cards this way.
using Card = std::int16_t;
inline constexpr int kDeckSize = 52;

// Index of the suit's letter in C, D, H, S: the letter order differs from the
// suit codes in the last two places.
constexpr int LetterIndex(Suit s) {
    constexpr std::array<int, kSuitCount> kLetter = {0, 1, 3, 2};
    return kLetter[static_cast<std::size_t>(Index(s))];
}

constexpr Card CardCode(Rank r, Suit s) {
    return static_cast<Card>(4 * (static_cast<int>(r) - 1) + LetterIndex(s));
}
constexpr Suit SuitOf(Card c) {
    constexpr std::array<Suit, 4> kByLetter = {Suit::Clubs, Suit::Diamonds, Suit::Hearts, Suit::Spades};
    return kByLetter[static_cast<std::size_t>(c & 3)];
}
constexpr Rank RankOf(Card c) { return static_cast<Rank>(c / 4 + 1); }
// Strength orders cards by height: two 0 .. king 11, ace 12.
constexpr int StrengthOf(Rank r) { return r == Rank::Ace ? 12 : static_cast<int>(r) - 2; }
constexpr int StrengthOf(Card c) { return StrengthOf(RankOf(c)); }

// The ten contracts, numbered 1..10 as the menu rows, the traces and the
// quota counts number them. None stands before the first choice of a run.
enum class Contract : std::int8_t {
    None = 0,
    Clubs = 1,  // trump contracts: every trick won counts +50
    Diamonds,
    Spades,
    Hearts,
    NoTricks,  // negative contracts: what is taken costs points
    NoHearts,
    NoLastTwoTricks,
    NoKingsAndJacks,
    NoQueens,
    NoKingOfHearts,
};
inline constexpr int kContractCount = 10;
constexpr int Number(Contract c) { return static_cast<int>(c); }
constexpr Contract ContractNumbered(int n) { return static_cast<Contract>(n); }
// Position 0..9 of a contract in per-contract tables (menu rows, use counts).
constexpr int Index(Contract c) { return Number(c) - 1; }
constexpr bool IsTrumpContract(Contract c) { return c >= Contract::Clubs && c <= Contract::Hearts; }

// The trump suit of a contract; the negative contracts have none.
constexpr std::optional<Suit> TrumpOf(Contract c) {
    switch (c) {
        case Contract::Clubs: return Suit::Clubs;
        case Contract::Diamonds: return Suit::Diamonds;
        case Contract::Spades: return Suit::Spades;
        case Contract::Hearts: return Suit::Hearts;
        default: return std::nullopt;
    }
}

// Points one deal of the contract hands out in all.
constexpr std::int16_t FullValue(Contract c) {
    switch (c) {
        case Contract::None: return 0;
        case Contract::NoHearts: return 390;
        case Contract::NoLastTwoTricks: return 360;
        case Contract::NoKingsAndJacks: return 480;
        case Contract::NoQueens: return 400;
        case Contract::NoKingOfHearts: return 320;
        default: return 650;
    }
}

// Whether card a, played later, takes the trick from card b, the card winning
// so far: a trump beats any other suit and a lower trump; otherwise only a
// stronger card of b's suit beats it.
constexpr bool Beats(Card a, Card b, std::optional<Suit> trump) {
    if (SuitOf(a) != trump) return SuitOf(a) == SuitOf(b) && StrengthOf(a) > StrengthOf(b);
    return !(SuitOf(b) == trump && StrengthOf(a) < StrengthOf(b));
}

// Index of the card that wins the cards played so far (led card first): each
// later card is compared with the card winning before it.
constexpr int WinningCardIndex(const Card* cards, int count, std::optional<Suit> trump) {
    int win = 0;
    for (int i = 1; i < count; ++i) {
        if (Beats(cards[i], cards[win], trump)) win = i;
    }
    return win;
}

// The thirty names the computer players are drawn from, four characters each.
extern const std::array<std::string_view, 30> kPlayerNames;

}  // namespace tenfold
