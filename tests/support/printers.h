#pragma once
// The game's words by name in test failure messages, instead of numbers.

#include <ostream>

#include "core/cards.h"
#include "core/table_state.h"

namespace tenfold {

inline void PrintTo(GameState state, std::ostream* out) {
    *out << (state == GameState::NotStarted ? std::string_view("(not started)") : StateName(state));
}
inline void PrintTo(Contract c, std::ostream* out) { *out << "contract " << Number(c); }
inline void PrintTo(Suit s, std::ostream* out) {
    constexpr const char* kNames[] = {"clubs", "diamonds", "spades", "hearts"};
    *out << kNames[Index(s)];
}
inline void PrintTo(MatchResult r, std::ostream* out) {
    *out << (r == MatchResult::None ? std::string_view("(no result)") : ResultText(r));
}

}  // namespace tenfold
