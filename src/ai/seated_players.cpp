#include "ai/seated_players.h"

#include <algorithm>

namespace tenfold {

std::string_view PlayerKindName(PlayerKind kind) { return kind == PlayerKind::Expert ? "expert" : "classic"; }

std::optional<PlayerKind> PlayerKindNamed(std::string_view name) {
    if (name == "classic") return PlayerKind::Classic;
    if (name == "expert") return PlayerKind::Expert;
    return std::nullopt;
}

template <class F>
void SeatedPlayers::ForEachPlayer(F&& f) {
    for (std::size_t s = 0; s < bySeat_.size(); ++s) {
        bool seen = false;
        for (std::size_t before = 0; before < s; ++before) seen = seen || bySeat_[before] == bySeat_[s];
        if (!seen) f(*bySeat_[s]);
    }
    if (listener_ != nullptr && std::find(bySeat_.begin(), bySeat_.end(), listener_) == bySeat_.end())
        f(*listener_);
}

void SeatedPlayers::DealStarted(const TableState& t) {
    if (beforeDeal) beforeDeal(t);
    ForEachPlayer([&](ComputerPlayer& p) { p.DealStarted(t); });
}

void SeatedPlayers::HearPlay(const TableState& t, int seat, Card card) {
    ForEachPlayer([&](ComputerPlayer& p) { p.HearPlay(t, seat, card); });
}

}  // namespace tenfold
