#include "app/table_checks.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tenfold {

namespace {

constexpr int kSeats = 4;
constexpr int kCards = 52;

// A card's identity from its code alone, not from the game's own tables:
// face value 1 (ace) to 13 (king), suit letter index C, D, H, S.
int Face(int code) { return code / 4 + 1; }
int Letter(int code) { return code % 4; }
constexpr int kClubs = 0, kDiamonds = 1, kHearts = 2, kSpades = 3;
// Height within a suit: two 2 .. king 13, ace 14.
int Rank(int code) { return Face(code) == 1 ? 14 : Face(code); }

// The suit letter of the trump contracts 1 to 4 (clubs, diamonds, spades,
// hearts); -1 for the contracts without trumps.
int TrumpLetter(int contract) {
    switch (contract) {
        case 1: return kClubs;
        case 2: return kDiamonds;
        case 3: return kSpades;
        case 4: return kHearts;
        default: return -1;
    }
}

// Whether a card counts under the negative contracts that count cards.
bool IsPenaltyCard(int contract, int code) {
    switch (contract) {
        case 6: return Letter(code) == kHearts;
        case 8: return Face(code) == 11 || Face(code) == 13;
        case 9: return Face(code) == 12;
        case 10: return Letter(code) == kHearts && Face(code) == 13;
        default: return false;
    }
}
int PenaltyCardsInDeck(int contract) {
    switch (contract) {
        case 6: return 13;
        case 8: return 8;
        case 9: return 4;
        case 10: return 1;
        default: return 0;
    }
}
int PointsPerPenaltyCard(int contract) {
    switch (contract) {
        case 6: return 30;
        case 8: return 60;
        case 9: return 100;
        case 10: return 320;
        default: return 0;
    }
}
// What the whole deal hands out, with its sign: tricks won in a trump
// contract count for the seats, everything else against them.
int ContractValue(int contract) {
    static constexpr std::array<int, 11> kValue = {0, 650, 650, 650, 650, -650, -390, -360, -480, -400, -320};
    return contract >= 1 && contract <= 10 ? kValue[static_cast<std::size_t>(contract)] : 0;
}

// A short list of card codes.
struct Cards {
    std::array<int, 64> code{};
    int n = 0;
    void Add(int c) {
        if (n < static_cast<int>(code.size())) code[static_cast<std::size_t>(n++)] = c;
    }
    int operator[](int i) const { return code[static_cast<std::size_t>(i)]; }
    bool HoldsSuit(int letter) const {
        for (int i = 0; i < n; ++i)
            if (Letter(code[static_cast<std::size_t>(i)]) == letter) return true;
        return false;
    }
    std::array<int, kCards> Counts() const {
        std::array<int, kCards> c{};
        for (int i = 0; i < n; ++i) {
            const int v = code[static_cast<std::size_t>(i)];
            if (v >= 0 && v < kCards) ++c[static_cast<std::size_t>(v)];
        }
        return c;
    }
};

struct TrickCard {
    int code = 0;
    int seat = 0;
};

// The table as the checks read it. This is the one place that knows how
// TableState lays the cards and scores out.
struct View {
    std::array<Cards, kSeats> hand;    // cards in each hand (its live slots)
    Cards undealt;                     // the undealt pile, with the card in flight from it
    bool dealtOut = false;             // every card has arrived in a hand
    std::array<TrickCard, 4> trick{};  // the cards on the table, in the order played
    int trickCount = 0;                // the count the table keeps
    std::array<Cards, kSeats> won;     // each won pile, in the order gathered
    int cardsPlayed = 0;
    int trickWinner = 0;
    int trickWinnerCard = 0;
    int firstSeat = 0;
    int contract = 0;
};

std::string SeatName(int seat) { return "seat " + std::to_string(seat); }

View Read(const TableState& t) {
    View v;
    for (int seat = 0; seat < kSeats; ++seat) {
        const Seat& s = t.seats[seat];
        for (const CardSprite& slot : s.hand) {
            if (slot.active) v.hand[static_cast<std::size_t>(seat)].Add(slot.card);
        }
        for (int i = 0; i < std::clamp<int>(s.wonCount, 0, kCards); ++i)
            v.won[static_cast<std::size_t>(seat)].Add(s.wonPile[i].card);
    }
    const int next = std::clamp<int>(t.deck.nextCard, 0, kCards);
    for (int i = next; i < kCards; ++i) v.undealt.Add(t.deck.cards[i].card);
    const bool inFlight = next > 0 && t.deck.cards[next - 1].moving;
    if (inFlight) v.undealt.Add(t.deck.cards[next - 1].card);
    v.dealtOut = next == kCards && !inFlight;
    v.trickCount = t.trick.count;
    for (int i = 0; i < std::clamp<int>(t.trick.count, 0, kTrickSize); ++i) {
        v.trick[static_cast<std::size_t>(i)] = TrickCard{t.trick.cards[i].card, t.trick.cards[i].seat};
    }
    v.cardsPlayed = t.trick.cardsPlayed;
    v.trickWinner = t.trick.winner;
    v.trickWinnerCard = t.trick.winnerCard;
    v.firstSeat = t.firstSeat;
    v.contract = Number(t.contract);
    return v;
}

std::array<std::int32_t, kSeats> DealScores(const TableState& t) {
    std::array<std::int32_t, kSeats> scores{};
    for (int seat = 0; seat < kSeats; ++seat)
        scores[static_cast<std::size_t>(seat)] = t.seats[seat].dealScore;
    return scores;
}
std::array<std::int32_t, kSeats> MatchTotals(const TableState& t) {
    std::array<std::int32_t, kSeats> totals{};
    for (int seat = 0; seat < kSeats; ++seat)
        totals[static_cast<std::size_t>(seat)] = t.seats[seat].matchTotal;
    return totals;
}
std::int32_t HistoryRow(const TableState& t, int seat, int row) { return t.seats[seat].history[row]; }
std::array<int, kSeats> WonCounts(const TableState& t) {
    std::array<int, kSeats> counts{};
    for (int seat = 0; seat < kSeats; ++seat) counts[static_cast<std::size_t>(seat)] = t.seats[seat].wonCount;
    return counts;
}
bool DealIsOver(const TableState& t) { return t.flow.state == GameState::DealOver; }

TableFault Fault(std::string check, std::string detail) {
    return TableFault{std::move(check), std::move(detail)};
}

int WonTotal(const View& v) {
    int n = 0;
    for (const Cards& pile : v.won) n += pile.n;
    return n;
}

// The index of the card that takes a complete trick: the highest trump, else
// the highest card of the suit led.
int WinningCard(const std::array<TrickCard, 4>& trick, int count, int contract) {
    const int trump = TrumpLetter(contract);
    const int led = Letter(trick[0].code);
    int best = 0;
    for (int i = 1; i < count; ++i) {
        const int c = trick[static_cast<std::size_t>(i)].code;
        const int b = trick[static_cast<std::size_t>(best)].code;
        const bool cTrump = Letter(c) == trump;
        const bool bTrump = Letter(b) == trump;
        if (cTrump && !bTrump) {
            best = i;
        } else if (cTrump == bTrump && Letter(c) == Letter(b) && (cTrump || Letter(c) == led) &&
                   Rank(c) > Rank(b)) {
            best = i;
        }
    }
    return best;
}

std::string Describe(const Cards& cards) {
    std::string s;
    for (int i = 0; i < cards.n; ++i) s += (i ? ", " : "") + CardName(cards[i]);
    return s.empty() ? "none" : s;
}

}  // namespace

std::string CardName(int code) {
    if (code < 0 || code >= kCards) return "card code " + std::to_string(code);
    static const char* const kFaces[] = {"",      "ace",   "two",  "three", "four", "five",  "six",
                                         "seven", "eight", "nine", "ten",   "jack", "queen", "king"};
    static const char* const kSuits[] = {"clubs", "diamonds", "hearts", "spades"};
    return std::string(kFaces[Face(code)]) + " of " + kSuits[Letter(code)];
}

namespace {

std::optional<TableFault> CardPlaces(const View& v) {
    // Every place with its cards; each card is counted, and only a card found
    // other than once is looked for again by name.
    Cards trick;
    for (int i = 0; i < std::clamp(v.trickCount, 0, kTrickSize); ++i)
        trick.Add(v.trick[static_cast<std::size_t>(i)].code);
    std::array<std::pair<const Cards*, std::string_view>, 10> places = {{
        {&v.undealt, "the undealt pile"},
        {&v.hand[0], "the hand of seat 0"},
        {&v.hand[1], "the hand of seat 1"},
        {&v.hand[2], "the hand of seat 2"},
        {&v.hand[3], "the hand of seat 3"},
        {&trick, "the trick"},
        {&v.won[0], "the won pile of seat 0"},
        {&v.won[1], "the won pile of seat 1"},
        {&v.won[2], "the won pile of seat 2"},
        {&v.won[3], "the won pile of seat 3"},
    }};
    std::array<int, kCards> found{};
    for (const auto& [cards, name] : places) {
        for (int i = 0; i < cards->n; ++i) {
            const int c = (*cards)[i];
            if (c < 0 || c >= kCards) {
                return Fault("card places",
                             "a card with the code " + std::to_string(c) + " is in " + std::string(name));
            }
            ++found[static_cast<std::size_t>(c)];
        }
    }
    for (int c = 0; c < kCards; ++c) {
        const int n = found[static_cast<std::size_t>(c)];
        if (n == 1) continue;
        if (n == 0) return Fault("card places", "the " + CardName(c) + " is nowhere");
        std::string where;
        for (const auto& [cards, name] : places) {
            for (int i = 0; i < cards->n; ++i) {
                if ((*cards)[i] == c) where += (where.empty() ? "" : ", ") + std::string(name);
            }
        }
        return Fault("card places",
                     "the " + CardName(c) + " is in " + std::to_string(n) + " places: " + where);
    }
    return std::nullopt;
}

std::optional<TableFault> Hands(const View& v) {
    if (!v.dealtOut) return std::nullopt;
    const int won = WonTotal(v);
    if (won % 4 != 0)
        return Fault("hands", std::to_string(won) + " cards in the won piles, not whole tricks");
    if (won + v.trickCount != v.cardsPlayed) {
        return Fault("hands", std::to_string(v.cardsPlayed) + " cards counted as played, but " +
                                  std::to_string(won) + " won and " + std::to_string(v.trickCount) +
                                  " on the table");
    }
    for (int seat = 0; seat < kSeats; ++seat) {
        const bool onTable = std::any_of(v.trick.begin(), v.trick.begin() + v.trickCount,
                                         [&](const TrickCard& c) { return c.seat == seat; });
        const int played = 13 - v.hand[static_cast<std::size_t>(seat)].n;
        const int expected = won / 4 + (onTable ? 1 : 0);
        if (played != expected) {
            return Fault("hands", SeatName(seat) + " has played " + std::to_string(played) + " cards, but " +
                                      std::to_string(won / 4) + " tricks are done" +
                                      (onTable ? " and it has a card on the table" : ""));
        }
    }
    return std::nullopt;
}

std::optional<TableFault> TrickOnTable(const View& v) {
    if (v.trickCount < 0 || v.trickCount > 4)
        return Fault("trick", std::to_string(v.trickCount) + " cards on the table");
    for (int i = 0; i < v.trickCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const int seat = v.trick[k].seat;
        if (seat < 0 || seat >= kSeats)
            return Fault("trick", "a card on the table was played by seat " + std::to_string(seat));
        if (i > 0 && seat != (v.trick[k - 1].seat + 1) % kSeats) {
            return Fault("trick", SeatName(seat) + " played after " + SeatName(v.trick[k - 1].seat));
        }
    }
    if (v.trickCount == 0) return std::nullopt;

    const int tricksDone = WonTotal(v) / 4;
    if (v.trickCount < 4) {
        const int leader = tricksDone == 0 ? v.firstSeat : v.trickWinner;
        if (v.trick[0].seat != leader) {
            return Fault(
                "trick",
                SeatName(v.trick[0].seat) + " led, but " + SeatName(leader) + " was to lead" +
                    (tricksDone == 0 ? " (the seat that chose the contract)" : " (the last trick's winner)"));
        }
    }
    const int led = Letter(v.trick[0].code);
    for (int i = 1; i < v.trickCount; ++i) {
        const TrickCard& c = v.trick[static_cast<std::size_t>(i)];
        if (Letter(c.code) != led && v.hand[static_cast<std::size_t>(c.seat)].HoldsSuit(led)) {
            return Fault("trick", SeatName(c.seat) + " played the " + CardName(c.code) + " on the " +
                                      CardName(v.trick[0].code) + " though it holds that suit");
        }
    }
    if (v.trickCount == 4) {
        const int best = WinningCard(v.trick, 4, v.contract);
        const int seat = v.trick[static_cast<std::size_t>(best)].seat;
        if (v.trickWinnerCard != best || v.trickWinner != seat) {
            return Fault("trick", "the trick goes to " + SeatName(v.trickWinner) + ", but the " +
                                      CardName(v.trick[static_cast<std::size_t>(best)].code) + " of " +
                                      SeatName(seat) + " takes it under contract " +
                                      std::to_string(v.contract));
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<TableFault> CheckCardPlaces(const TableState& t) { return CardPlaces(Read(t)); }
std::optional<TableFault> CheckHands(const TableState& t) { return Hands(Read(t)); }
std::optional<TableFault> CheckTrick(const TableState& t) { return TrickOnTable(Read(t)); }

std::optional<TableFault> CheckTable(const TableState& t) {
    const View v = Read(t);
    if (auto f = CardPlaces(v)) return f;
    if (auto f = Hands(v)) return f;
    return TrickOnTable(v);
}

std::optional<TableFault> CheckHumanCard(const TableState& t, bool heartsBroken) {
    const View v = Read(t);
    if (v.trickCount < 1 || v.trickCount > 4) return std::nullopt;
    const TrickCard& played = v.trick[static_cast<std::size_t>(v.trickCount - 1)];
    if (played.seat != 0) return std::nullopt;
    const int c = played.code;
    Cards hand = v.hand[0];  // as it was before the card left it
    hand.Add(c);
    auto holds = [&](auto&& counts) {
        for (int i = 0; i < hand.n; ++i)
            if (counts(hand[i])) return true;
        return false;
    };
    const bool following = v.trickCount > 1;
    const int led = Letter(v.trick[0].code);
    const bool isVoid = following && !hand.HoldsSuit(led);
    const int contract = v.contract;
    auto illegal = [&](const std::string& why) {
        return Fault("legal play",
                     "seat 0 played the " + CardName(c) +
                         (following ? " on the " + CardName(v.trick[0].code) : std::string(" as a lead")) +
                         " under contract " + std::to_string(contract) + ": " + why);
    };

    if (following && Letter(c) != led && !isVoid) return illegal("it holds the suit led");
    if (isVoid && PenaltyCardsInDeck(contract) > 0 && !IsPenaltyCard(contract, c) &&
        holds([&](int x) { return IsPenaltyCard(contract, x); })) {
        return illegal("it holds a card the contract counts");
    }
    if ((contract == 6 || contract == 10) && Letter(c) == kHearts && !heartsBroken && !isVoid &&
        holds([](int x) { return Letter(x) != kHearts; })) {
        return illegal("hearts are not broken and it holds another suit");
    }
    const int trump = TrumpLetter(contract);
    if (isVoid && trump >= 0 && Letter(c) != trump && hand.HoldsSuit(trump))
        return illegal("it holds a trump");
    return std::nullopt;
}

std::optional<TableFault> CheckDealEnd(const TableState& t, const DealLog& log) {
    const View v = Read(t);
    const int contract = v.contract;
    if (contract < 1 || contract > 10)
        return Fault("deal points", "the deal ended under contract " + std::to_string(contract));
    const int tricks = WonTotal(v) / 4;
    if (v.trickCount != 0)
        return Fault("deal points",
                     "the deal ended with " + std::to_string(v.trickCount) + " cards on the table");
    if (static_cast<int>(log.trickWinners.size()) != tricks) {
        return Fault("deal points", std::to_string(tricks) + " tricks in the won piles, " +
                                        std::to_string(log.trickWinners.size()) + " seen handed over");
    }

    // When the deal had to end.
    const int penaltyCards = PenaltyCardsInDeck(contract);
    if (penaltyCards == 0) {
        if (tricks != 13) {
            return Fault("deal points", "contract " + std::to_string(contract) + " ended after " +
                                            std::to_string(tricks) + " tricks instead of 13");
        }
    } else {
        int taken = 0;
        for (const Cards& pile : v.won)
            for (int i = 0; i < pile.n; ++i) taken += IsPenaltyCard(contract, pile[i]) ? 1 : 0;
        if (taken != penaltyCards) {
            return Fault("deal points", "contract " + std::to_string(contract) + " ended with " +
                                            std::to_string(taken) + " of its " +
                                            std::to_string(penaltyCards) + " penalty cards taken");
        }
        const Cards& last = v.won[static_cast<std::size_t>(log.trickWinners.back())];
        bool lastTookOne = false;
        for (int i = std::max(0, last.n - 4); i < last.n; ++i)
            lastTookOne = lastTookOne || IsPenaltyCard(contract, last[i]);
        if (!lastTookOne) {
            return Fault("deal points", "contract " + std::to_string(contract) +
                                            " went on after its last penalty card was taken");
        }
    }

    // Each seat's points, from its cards and tricks.
    const auto scores = DealScores(t);
    int handedOut = 0;
    for (int seat = 0; seat < kSeats; ++seat) {
        const Cards& pile = v.won[static_cast<std::size_t>(seat)];
        int expected = 0;
        if (contract <= 4) {
            expected = 50 * (pile.n / 4);
        } else if (contract == 5) {
            expected = -50 * (pile.n / 4);
        } else if (contract == 7) {
            if (log.trickWinners[10] == seat) expected -= 180;
            if (log.trickWinners[11] == seat) expected -= 180;
        } else {
            int units = 0;
            for (int i = 0; i < pile.n; ++i) units += IsPenaltyCard(contract, pile[i]) ? 1 : 0;
            expected = -PointsPerPenaltyCard(contract) * units;
        }
        if (scores[static_cast<std::size_t>(seat)] != expected) {
            return Fault("deal points", SeatName(seat) + " scored " +
                                            std::to_string(scores[static_cast<std::size_t>(seat)]) +
                                            " under contract " + std::to_string(contract) + " instead of " +
                                            std::to_string(expected) + " (won " + Describe(pile) + ")");
        }
        handedOut += expected;
    }
    if (handedOut != ContractValue(contract)) {
        return Fault("deal points", "contract " + std::to_string(contract) + " handed out " +
                                        std::to_string(handedOut) + " points instead of " +
                                        std::to_string(ContractValue(contract)));
    }

    // The match: totals, history, deal count, result.
    const auto totals = MatchTotals(t);
    for (int seat = 0; seat < kSeats; ++seat) {
        const auto s = static_cast<std::size_t>(seat);
        if (totals[s] != log.totalsBefore[s] - scores[s]) {
            return Fault("match totals", SeatName(seat) + " totals " + std::to_string(totals[s]) +
                                             " after a deal of " + std::to_string(scores[s]) + " from " +
                                             std::to_string(log.totalsBefore[s]));
        }
    }
    const Match& match = t.match;
    if (match.dealsPlayed != log.dealsBefore + 1) {
        return Fault("match totals", "deal " + std::to_string(log.dealsBefore + 1) +
                                         " of the match counted as " + std::to_string(match.dealsPlayed));
    }
    if (match.historyRows < 1 || match.historyRows > kHistoryRows)
        return Fault("match totals", "history row " + std::to_string(match.historyRows));
    for (int seat = 0; seat < kSeats; ++seat) {
        const std::int32_t row = HistoryRow(t, seat, match.historyRows - 1);
        if (row != -scores[static_cast<std::size_t>(seat)]) {
            return Fault("match totals", "the history row of " + SeatName(seat) + " shows " +
                                             std::to_string(row) + " for a deal of " +
                                             std::to_string(scores[static_cast<std::size_t>(seat)]));
        }
    }
    const std::string result(ResultText(match.result));
    if (match.dealsPlayed == 20) {
        const bool won = totals[0] <= totals[1] && totals[0] <= totals[2] && totals[0] <= totals[3];
        const std::string expected = won ? "We Won!" : "We lost!";
        if (!match.over || result != expected) {
            return Fault("match totals",
                         "the match ended as \"" + result + "\" instead of \"" + expected + "\"");
        }
    } else if (match.over || !result.empty()) {
        return Fault("match totals", "the match ended after " + std::to_string(match.dealsPlayed) + " deals");
    }

    // One contract booked per deal; no negative contract more than twice.
    int booked = 0;
    for (int c = 1; c <= 10; ++c) {
        const int uses = t.contractUses[c - 1];
        booked += uses;
        if (c >= 5 && uses > 2) {
            return Fault("contract uses", "contract " + std::to_string(c) + " chosen " +
                                              std::to_string(uses) + " times in the match");
        }
    }
    if (booked != match.dealsPlayed) {
        return Fault("contract uses", std::to_string(booked) + " contracts booked in " +
                                          std::to_string(match.dealsPlayed) + " deals of the match");
    }
    return std::nullopt;
}

void TableWatch::Begin(const TableState& t) {
    dealOver_ = DealIsOver(t);
    dealsEnded_ = 0;
    framesPaused_ = 0;
    StartDeal(t);
}

void TableWatch::StartDeal(const TableState& t) {
    log_ = DealLog{};
    log_.totalsBefore = MatchTotals(t);
    log_.dealsBefore = t.match.dealsPlayed;
    const auto counts = WonCounts(t);
    wonSeen_ = counts[0] + counts[1] + counts[2] + counts[3];
    trickSeen_ = t.trick.count;
    heartsSeen_ = t.trick.heartsBroken;
    framesRunning_ = 0;
}

std::optional<TableFault> TableWatch::AfterFrame(const TableState& t) {
    if (auto f = CheckTable(t)) return f;
    const bool over = DealIsOver(t);

    if (dealOver_ && !over) {
        // The click on the score page dealt anew: the same match goes on with
        // its totals, or a new one starts from nothing after the twentieth deal.
        const bool newMatch = log_.dealsBefore + 1 == 20;
        const auto totals = MatchTotals(t);
        const std::int32_t deals = newMatch ? 0 : log_.dealsBefore + 1;
        const std::array<std::int32_t, kSeats> expected =
            newMatch ? std::array<std::int32_t, kSeats>{} : totalsAtEnd_;
        if (t.match.dealsPlayed != deals || totals != expected) {
            return Fault("match totals", std::string(newMatch ? "the new match" : "the next deal") +
                                             " starts with " + std::to_string(t.match.dealsPlayed) +
                                             " deals and totals " + std::to_string(totals[0]) + ", " +
                                             std::to_string(totals[1]) + ", " + std::to_string(totals[2]) +
                                             ", " + std::to_string(totals[3]));
        }
        StartDeal(t);
    }

    // A card of seat 0 arrived on the table.
    if (t.trick.count == trickSeen_ + 1) {
        if (auto f = CheckHumanCard(t, heartsSeen_)) return f;
    }
    trickSeen_ = t.trick.count;
    heartsSeen_ = t.trick.heartsBroken;

    // A trick handed over: four cards more in one won pile.
    const auto counts = WonCounts(t);
    const int won = counts[0] + counts[1] + counts[2] + counts[3];
    if (won != wonSeen_) {
        if (won != wonSeen_ + 4) {
            return Fault("trick",
                         std::to_string(won - wonSeen_) + " cards went to the won piles in one frame");
        }
        int winner = -1;
        const View v = Read(t);
        for (int seat = 0; seat < kSeats && winner < 0; ++seat) {
            const Cards& pile = v.won[static_cast<std::size_t>(seat)];
            if (pile.n >= 4 && static_cast<int>(log_.trickWinners.size()) < 13) {
                int before = 0;
                for (int w : log_.trickWinners) before += w == seat ? 4 : 0;
                if (pile.n == before + 4) winner = seat;
            }
        }
        if (winner < 0) return Fault("trick", "a trick was handed over to no seat");
        log_.trickWinners.push_back(winner);
        wonSeen_ = won;
    }

    if (!over && !dealOver_ &&
        (MatchTotals(t) != log_.totalsBefore || t.match.dealsPlayed != log_.dealsBefore)) {
        return Fault("match totals", "the totals or the deal count changed during a deal");
    }
    if (over && !dealOver_) {
        ++dealsEnded_;
        if (auto f = CheckDealEnd(t, log_)) return f;
        totalsAtEnd_ = MatchTotals(t);
        framesRunning_ = 0;
    }
    dealOver_ = over;

    if (t.flow.paused) {
        if (++framesPaused_ > limits_.pausedFrames) {
            return Fault("pause", "the game stayed paused for " + std::to_string(framesPaused_) + " frames");
        }
    } else {
        framesPaused_ = 0;
        if (++framesRunning_ > limits_.framesPerDeal) {
            return Fault("progress",
                         (over ? std::string("the score page was not left") : "the deal did not end") +
                             " after " + std::to_string(framesRunning_) + " frames of game time (state \"" +
                             std::string(StateName(t.flow.state)) + "\")");
        }
    }
    return std::nullopt;
}

}  // namespace tenfold
