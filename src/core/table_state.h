#pragma once
// The whole match lives in one plain struct. Every rule is a free function
// over a TableState&, so a test can build any table it likes and a replay of
// the same seed gives the same match. The drawing reads it, never writes it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/cards.h"
#include "core/checked.h"

namespace tenfold {

// ---- Seats ----
// Seat 0 is the human at the bottom of the screen; play and dealing go round
// in ascending order, 0, 1 (right), 2 (top), 3 (left), 0.
inline constexpr int kSeatCount = 4;
inline constexpr int kHumanSeat = 0;
inline constexpr int kRightSeat = 1;
inline constexpr int kTopSeat = 2;
inline constexpr int kLeftSeat = 3;
constexpr int NextSeat(int seat) { return (seat + 1) % kSeatCount; }
constexpr int PreviousSeat(int seat) { return (seat + kSeatCount - 1) % kSeatCount; }

// A card picture, as the mouse hits and the card play's clicks measure it.
inline constexpr std::int16_t kCardWidth = 99;
inline constexpr std::int16_t kCardHeight = 153;

inline constexpr int kHandSize = 13;
inline constexpr int kTrickSize = 4;
inline constexpr int kDealsPerMatch = 20;
// The score page holds ten deal rows; the eleventh deal starts a new page.
inline constexpr int kHistoryRows = 10;

// ---- The game's states, and their names in traces and messages ----
enum class GameState : std::uint8_t {
    NotStarted,        // before the first deal
    Dealing,           // one card flies from the pile per move
    ChoosingContract,  // the chooser takes the turn; the human gets the menu
    ShowingContract,   // the chosen contract is announced
    Playing,           // the seats play in turn
    GatheringTrick,    // the finished trick is drawn together on its winning card
    CarryingTrick,     // and carried to its winner
    GatheringHand,     // the R key: the human's hand drawn together before sorting
    SpreadingHand,     // and spread out again
    DealOver,          // the score page; a click starts the next deal
    Waiting,           // a timed pause, after which stateAfterDelay resumes
};
// "DEALING CARDS", "NORMAL PLAY", ...; "" before the first deal.
std::string_view StateName(GameState state);

// How the match ended, and the text the score page shows for it.
enum class MatchResult : std::uint8_t { None, Won, Lost };
std::string_view ResultText(MatchResult result);

// ---- Pieces ----
struct Point {
    std::int16_t x = 0;
    std::int16_t y = 0;
    bool operator==(const Point&) const = default;
};

// One card on the table: where it is, where it is going, what it shows.
struct CardSprite {
    float x = 0;  // left edge in table pixels
    float y = 0;  // top edge
    Card card = 0;
    bool active = false;  // holds a live card (in a hand: one not yet played)
    bool faceUp = false;
    bool moving = false;   // travelling towards (targetX, targetY); set with SetMoving
    bool collect = false;  // belongs to the finished trick, to be gathered
    float targetX = 0;
    float targetY = 0;
    float stepX = 0;  // pixels per frame, never negative
    float stepY = 0;
    std::int8_t dirX = 0;  // -1, 0 or 1: towards the target
    std::int8_t dirY = 0;
    Point home;            // the slot's resting place
    std::int8_t seat = 0;  // the seat that played it, which is also its throw spot
    bool operator==(const CardSprite&) const = default;
};

// Everything that belongs to one seat.
struct Seat {
    // Slot i keeps its card for the whole deal (only the sort of the human's
    // hand exchanges cards between slots); a played card is inactive.
    Array<CardSprite, kHandSize> hand{};
    // Cards won in this deal, in the order they were gathered.
    Array<CardSprite, kDeckSize> wonPile{};
    std::int16_t wonCount = 0;
    std::int16_t dealScore = 0;                   // the last scored deal, natural sign
    std::int16_t matchTotal = 0;                  // deal scores with the sign turned: lowest wins
    Array<std::int16_t, kHistoryRows> history{};  // score page rows, sign turned
    std::int16_t trumpContractsChosen = 0;        // this match
    std::int16_t negativeContractsChosen = 0;     // this match
    std::string_view name;                        // computer seats: four characters
    std::int16_t penaltyCardsShown = 0;           // in this deal's penalty row

    // Where things lie for this seat (set with the layout).
    Point handOrigin;  // slot i rests at handOrigin + i x handStep
    Point handStep;
    Point pileSpot;     // the undealt pile, when this seat is dealt to last
    Point wonPileSpot;  // where its won tricks are carried
    Point throwSpot;    // where its played card lands, before the random offset
    Point penaltyRow;   // where its taken penalty cards lie face up...
    Point penaltyStep;  // ...10 x this further on for each
    bool operator==(const Seat&) const = default;
};

// Where everything rests on the 800 x 600 table and how fast cards travel.
struct Layout {
    std::int16_t pileOffsetX = 0;  // the undealt pile spreads from its spot + this...
    std::int16_t pileStepX = 0;    // ...one step left per card
    std::int16_t throwJitterX = 0, throwJitterY = 0;
    std::int16_t gatherJitterX = 0, gatherJitterY = 0;
    std::int16_t arriveToleranceX = 0, arriveToleranceY = 0;
    std::int16_t animationSteps = 0;   // frames of a group move
    std::int16_t moveSteps = 0;        // frames of a single card's move
    std::int16_t dealSpeedFactor = 1;  // moveSteps is divided by it while dealing
    std::int16_t menuBaseY = 0;        // the contract menu stacks upward from here
    Point scorePage;
    Point scoreTable;  // first row of the score table
    std::int16_t scoreRowHeight = 0;
    Point totals;
    Point result;
    Point clock;
    bool operator==(const Layout&) const = default;
};

// The choices of the start dialog that the rules follow.
struct Options {
    std::string deckName = "Roya2";  // card pictures: "Royal" or "Roya2"
    bool fullScreen = true;
    bool sevenOfHeartsLead = false;  // the holder of the seven of hearts chooses first
    bool slowAnimation = false;
    std::int16_t dealPacketSize = 1;  // cards a seat receives in a row: 1, or 13
    // The table exactly as it always was: none of the aids below, and only the
    // mouse, Escape, P and R. The rules play the same either way.
    bool classicTable = false;
    bool dimUnplayable = false;    // darken the cards the human may not play while he is to play
    bool expertOpponents = false;  // the computer seats are expert players, not classic ones
    bool operator==(const Options&) const = default;
};

// The 52 cards to deal and how far the dealing has come.
struct Deck {
    Array<CardSprite, kDeckSize> cards{};  // in dealing order after the shuffle
    std::int16_t nextCard = 0;             // the next card to deal
    std::int16_t turn = 0;                 // seats after the first seat being dealt to
    std::int16_t packetCardsDealt = 0;
    std::int8_t flightSeat = 0;  // the seat the card in flight goes to
    Point pile{5, 4};            // where the undealt pile stands
    bool operator==(const Deck&) const = default;
};

// One row of the human's contract menu; row i stands for contract i + 1.
struct MenuRow {
    std::int16_t x = 0;
    std::int16_t y = 0;
    bool enabled = false;
    bool operator==(const MenuRow&) const = default;
};
inline constexpr std::int16_t kMenuRowWidth = 283;
inline constexpr std::int16_t kMenuRowHeight = 46;

struct ContractMenu {
    bool shown = false;
    Array<MenuRow, kContractCount> rows{};  // laid out when the menu is opened
    bool operator==(const ContractMenu&) const = default;
};

// The trick on the table and what the deal's play has come to.
struct Trick {
    Array<CardSprite, kTrickSize> cards{};  // in the order they arrived; 0 was led
    std::int16_t count = 0;
    std::int16_t winner = 0;          // seat that won the last finished trick
    std::int16_t winnerCard = 0;      // its card's index in cards
    std::int16_t cardsPlayed = 0;     // this deal; the k-th trick ends at 4k
    std::int16_t eleventhWinner = 0;  // the tricks ended by the 44th and 48th card
    std::int16_t twelfthWinner = 0;
    bool heartsBroken = false;
    std::int16_t computerSlot = 0;  // hand slot of the computer card in flight
    bool operator==(const Trick&) const = default;
};

// The human's turn: the wait for his click and what it did.
struct HumanTurn {
    bool waiting = false;          // the state machine waits for a click (menu or card)
    bool acted = false;            // the awaited click came
    bool hasPlayed = false;        // his card for this turn was taken
    std::int16_t pickedSlot = -1;  // the hand slot clicked in this frame
    bool operator==(const HumanTurn&) const = default;
};

// The state machine's own flags.
struct Flow {
    GameState state = GameState::NotStarted;
    GameState stateBeforeSort = GameState::NotStarted;
    GameState stateAfterDelay = GameState::NotStarted;
    std::uint32_t delayStart = 0;  // tick count when the delay began
    std::int32_t delayLength = 0;  // milliseconds
    bool delayJustEnded = false;   // the next step issues no new delay
    bool stepPhase = false;        // second frame of the contract states
    bool paused = false;
    bool pauseKeyHeld = false;  // one press of P toggles the pause once
    bool operator==(const Flow&) const = default;
};

// One scored deal as the score sheet lists it.
struct DealRecord {
    Contract contract = Contract::None;
    std::int8_t chooser = 0;
    Array<std::int16_t, kSeatCount> points{};  // as the history rows: sign turned
    bool operator==(const DealRecord&) const = default;
};

struct Match {
    std::int16_t dealsPlayed = 0;
    bool over = false;  // the next deal starts a new match
    MatchResult result = MatchResult::None;
    std::int16_t historyRows = 0;  // deal rows on the score page
    bool historyFull = false;      // the page is full; the next deal starts a new one
    // Every deal of the match so far, for a score sheet that shows them all.
    Array<DealRecord, kDealsPerMatch> log{};
    bool operator==(const Match&) const = default;
};

// Why the human may not play a card; None when he may.
enum class Refusal : std::uint8_t {
    None,
    FollowSuit,        // he holds the suit led
    HeartsNotBroken,   // no heart lead under the heart contracts before a heart was played
    ShedKingOfHearts,  // void in the led suit under no king of hearts, holding it
    ShedQueen,         // ... under no queens, holding a queen
    ShedKingOrJack,    // ... under no kings and jacks, holding one
    ShedHeart,         // ... under no hearts, holding a heart
    PlayTrump,         // ... under a trump contract, holding a trump
};

// What the table shows to help the player. The rules never read it; the
// frame routine sets it from the input and the drawing shows it. A classic
// table leaves it untouched.
struct TableAids {
    std::int16_t focusSlot = -1;      // the keyboard's card in the human's hand
    std::int16_t menuFocus = -1;      // the keyboard's row of the contract menu
    std::int16_t refusedSlot = -1;    // the card refused last...
    Refusal refusal = Refusal::None;  // ...and why; shown until the human plays
    std::int16_t refusalFrames = 0;   // frames the refused card still shakes
    bool lastTrickShown = false;      // the last trick is held up; nothing moves
    std::uint32_t frozenSince = 0;    // tick count when it was held up
    bool leaveAsked = false;          // "Leave this match?" is asked
    bool escapeHeld = false;          // one press of Escape is one request
    bool clickHeld = false;           // the question's buttons take a fresh click only
    bool operator==(const TableAids&) const = default;
};

struct TableState {
    Options options;
    Layout layout;
    Array<Seat, kSeatCount> seats{};
    Deck deck;

    std::int16_t currentSeat = 0;  // whose turn; between plays, the seat that played last
    std::int16_t firstSeat = 0;    // receives the first cards, chooses and leads
    bool firstSeatChosen = false;  // drawn once per run, then rotated

    Contract contract = Contract::None;
    std::optional<Suit> trump;  // none before the choice and under negative contracts
    Array<std::int16_t, kContractCount> contractUses{};  // this match, by every seat
    ContractMenu menu;
    bool contractAnnounced = false;  // the chosen contract's picture is on the table

    Trick trick;
    HumanTurn human;
    Flow flow;
    Match match;
    TableAids aids;
    // How many cards are moving: the state machine asks "is anything moving?"
    // several times a frame. SetMoving changes a card's flag and this count
    // together, and debug builds check them against each other.
    std::int16_t cardsInMotion = 0;
    bool operator==(const TableState&) const = default;
};

// The cards of a hand as the rules and the computer players read them: the
// active slots in slot order.
struct CardList {
    std::int16_t count = 0;
    Array<Card, kHandSize> cards{};
    void Add(Card c) { cards[count++] = c; }
};
CardList HandCards(const TableState& t, int seat);
// Active slots of a seat's hand.
int HandSize(const TableState& t, int seat);

// A frame's input as the rules read it: the game's own words, not keys.
struct PlayerInput {
    bool quit = false;   // leave the game now (on a classic table; else asks first)
    bool pause = false;  // the pause key is held
    bool sort = false;   // the sort key is held
    bool click = false;  // the pointer's button is down
    bool hint = false;   // the hint key is held (shown by the game, never played)
    std::int32_t x = 0;  // the pointer, in table pixels
    std::int32_t y = 0;
    // Read only when the table is not classic.
    bool lastTrick = false;  // the key or button that holds up the last trick is held
    bool closeBox = false;   // the window's close box was pressed
    // Pressed in this frame (a key held down counts once).
    bool left = false;
    bool right = false;
    bool up = false;
    bool down = false;
    bool confirm = false;  // Enter or Space
    bool yes = false;
    bool no = false;
};

}  // namespace tenfold
