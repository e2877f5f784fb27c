#pragma once
// Different computer players at one table. The rules talk to one
// ComputerPlayer; this one asks the player seated at the seat in question and
// tells every seated player each deal's start and every play, so that each
// keeps its own memory whatever seats it holds.

#include <array>
#include <functional>
#include <optional>
#include <string_view>

#include "core/computer_player.h"

namespace tenfold {

// The kinds of computer player the program offers.
enum class PlayerKind : std::uint8_t { Classic, Expert };
// "classic", "expert": the names of the command line, the settings and the traces.
std::string_view PlayerKindName(PlayerKind kind);
std::optional<PlayerKind> PlayerKindNamed(std::string_view name);

class SeatedPlayers : public ComputerPlayer {
public:
    SeatedPlayers(std::array<ComputerPlayer*, 4> bySeat) : bySeat_(bySeat) {}

    void DealStarted(const TableState& t) override;
    Contract ChooseContract(const TableState& t, int seat, RandomSource& chance) override {
        return At(seat).ChooseContract(t, seat, chance);
    }
    Card ChooseCard(const TableState& t, int seat) override { return At(seat).ChooseCard(t, seat); }
    void HearPlay(const TableState& t, int seat, Card card) override;

    ComputerPlayer& At(int seat) { return *bySeat_[static_cast<std::size_t>(seat)]; }
    // A player that sits nowhere but follows the deal too (the hint's expert).
    void AlsoTell(ComputerPlayer& listener) { listener_ = &listener; }
    // Runs first when a deal starts, before the players hear of it (the
    // tournament gives each deal its own generator here, before the shuffle).
    std::function<void(const TableState&)> beforeDeal;

private:
    // Each distinct player once, in seat order of first appearance.
    template <class F>
    void ForEachPlayer(F&& f);
    std::array<ComputerPlayer*, 4> bySeat_;
    ComputerPlayer* listener_ = nullptr;
};

}  // namespace tenfold
