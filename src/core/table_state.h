#pragma once
// The whole match lives in one plain struct. Every rule is a free function
// over a TableState&, so a test can build any table it likes and a replay of
// the same seed gives the same match. Names follow the game's own vocabulary.
//
// Widths: integers are 16-bit unless stated; booleans are C++ bool.

#include <cstdint>
#include <string>

#include "core/checked.h"

namespace tenfold {

// One card on the screen: where it is, where it is going, what it shows.
struct CardSprite {
    float X = 0;              // current left edge in table pixels
    float Y = 0;              // current top edge
    std::int16_t Code = 0;    // card code 0..51
    bool Active = false;      // the slot holds a live card (in hand: not yet played)
    bool FaceUp = false;      // drawn face up
    bool Moving = false;      // travelling towards (TargetX, TargetY)
    float TargetX = 0;
    float TargetY = 0;
    bool Selected = false;    // discard mark; never set in this game
    float StepX = 0;          // pixels per frame, always positive
    float StepY = 0;
    std::int16_t DirX = 0;    // -1, 0 or 1
    std::int16_t DirY = 0;
    std::int16_t HomeX = 0;   // the slot's resting left edge
    std::int16_t HomeY = 0;
    std::int16_t Width = 0;   // picture size, for mouse hits
    std::int16_t Height = 0;
    bool Collect = false;     // belongs to the completed trick and is to be gathered
    std::int16_t TableSlot = 0;  // table position 0..30 the card was thrown to
};

// A throw position on the table; entries 0..3 belong to seats 0..3.
struct TableSpot {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    bool Used = false;
};

// Per-seat knowledge and bookkeeping.
struct SeatRecord {
    // The computer players' memory: false once the seat showed out of suit s.
    Array<bool, 4> MayHoldSuit{};
    std::int16_t TrumpContractsChosen = 0;     // this match
    std::int16_t NegativeContractsChosen = 0;  // this match
    // Where the seat's taken penalty cards are laid face up, 10 pixels apart.
    std::int16_t PenaltyRowX = 0;
    std::int16_t PenaltyRowY = 0;
    std::int16_t PenaltyRowStepX = 0;  // 0 or 1
    std::int16_t PenaltyRowStepY = 0;  // 0 or 1
    std::int16_t PenaltyCardsShown = 0;
    // Contracts 1..10 this seat has chosen (written by the computer choice only).
    Array<bool, 11> ContractChosen{};
};

// One row of the human's contract menu; rows 0..9 stand for contracts 1..10.
struct ContractButton {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t Width = 0;
    std::int16_t Height = 0;
    bool Enabled = false;
};

// The P key latch: one press toggles the pause once however long it is held.
struct KeyLatchFlags {
    bool PKeyDown = false;
};

struct TableState {
    // ---- Card tables: filled once at start, read-only afterwards ----
    Array<std::string, 56> CardFile{};     // picture file name per card code
    Array<std::int32_t, 55> CardSuit{};    // 0 clubs, 1 diamonds, 2 spades, 3 hearts
    Array<std::int16_t, 55> CardValue{};   // face value, ace 1 .. king 13
    Array<std::int16_t, 16> ValueOrder{};  // strength by face value: two 0 .. ace 12
    Array<std::string, 10> ContractFile{};
    Array<std::string, 10> ContractFile2{};
    Array<std::int16_t, 12> ContractTotal{};  // points at stake, entries 1..10

    // ---- Seats ----
    std::int16_t SeatBottom = 0;
    std::int16_t SeatRight = 1;
    std::int16_t SeatTop = 2;
    std::int16_t SeatLeft = 3;

    // ---- Card containers ----
    Array<CardSprite, 16> Hand0{};  // human, bottom; slots 0..12 used
    Array<CardSprite, 16> Hand1{};  // right
    Array<CardSprite, 16> Hand2{};  // top
    Array<CardSprite, 16> Hand3{};  // left
    Array<CardSprite, 53> Deck{};   // the 52 cards in dealing order, slots 0..51
    Array<CardSprite, 36> TableCards{};  // the current trick; slot 0 is the led card
    std::int16_t TableCount = 0;
    Array<CardSprite, 53> WonPile0{};
    Array<CardSprite, 53> WonPile1{};
    Array<CardSprite, 53> WonPile2{};
    Array<CardSprite, 53> WonPile3{};
    std::int16_t WonCount0 = 0;
    std::int16_t WonCount1 = 0;
    std::int16_t WonCount2 = 0;
    std::int16_t WonCount3 = 0;
    Array<std::int16_t, 16> HandCodes0{};  // codes still in hand, packed from 0
    Array<std::int16_t, 16> HandCodes1{};
    Array<std::int16_t, 16> HandCodes2{};
    Array<std::int16_t, 16> HandCodes3{};
    std::int16_t HandSize0 = 0;
    std::int16_t HandSize1 = 0;
    std::int16_t HandSize2 = 0;
    std::int16_t HandSize3 = 0;
    Array<std::int16_t, 36> TableCodes{};  // codes on the table in play order
    Array<TableSpot, 31> TableSlotUsed{};

    // ---- Turn and deal ----
    std::int16_t CurrentSeat = 0;
    std::int16_t FirstSeat = 0;
    bool FirstSeatChosen = false;  // never cleared while the program runs
    std::int16_t DealFirstSeat = 0;
    Array<std::int16_t, 5> DealOrder{};
    std::int16_t DealTurn = 0;
    std::int16_t DealPacketSize = 13;  // 13, or 1 when dealing singly
    std::int16_t PacketCardsDealt = 0;
    std::int16_t NextDeckCard = 0;
    std::int16_t CardsDealt = 0;

    // ---- Contract ----
    std::int16_t Contract = 0;      // 1..10
    std::int32_t TrumpSuit = 4;     // 0..3, or 4 for no trump
    Array<std::int16_t, 12> ContractUseCount{};
    Array<SeatRecord, 5> SeatRecords{};
    Array<ContractButton, 17> ContractButtons{};
    bool ContractMenuShown = false;  // the human's menu is on screen
    bool ContractAnnounced = false;  // the chosen contract's picture is on screen

    // ---- Trick ----
    std::int16_t CardsInTrick = 0;
    std::int16_t CardsPlayed = 0;
    std::int16_t TrickWinner = 0;
    std::int16_t TrickWinnerCard = 0;
    std::int16_t Trick11Winner = 0;
    std::int16_t Trick12Winner = 0;
    bool HeartsBroken = false;
    std::int16_t ComputerCardIndex = 0;
    std::int16_t HumanPickIndex = -1;
    bool HumanHasPlayed = false;
    bool WaitingForHuman = false;
    bool HumanActed = false;

    // ---- Flow ----
    std::string GameState;
    std::string PreviousState;
    std::string StateAfterDelay;
    std::int32_t DelayStart = 0;
    std::int32_t DelayLength = 0;
    bool DelayJustEnded = false;
    bool StepPhase = false;
    bool Running = false;
    bool Paused = false;
    KeyLatchFlags KeyLatch{};

    // ---- Match and scores ----
    std::int16_t DealsPlayed = 0;
    bool MatchOver = false;
    std::string MatchResult;
    std::int16_t DealScore0 = 0;
    std::int16_t DealScore1 = 0;
    std::int16_t DealScore2 = 0;
    std::int16_t DealScore3 = 0;
    std::int16_t MatchTotal0 = 0;
    std::int16_t MatchTotal1 = 0;
    std::int16_t MatchTotal2 = 0;
    std::int16_t MatchTotal3 = 0;
    Array<std::int16_t, 41> DealHistory0{};
    Array<std::int16_t, 41> DealHistory1{};
    Array<std::int16_t, 41> DealHistory2{};
    Array<std::int16_t, 41> DealHistory3{};
    std::int16_t DealIndex = 0;
    bool HistoryFull = false;
    std::string PlayerName1;
    std::string PlayerName2;
    std::string PlayerName3;

    // ---- Options chosen in the start dialog ----
    std::string DeckName = "Roya2";
    std::string Resolution = "800x600";
    std::int16_t ScreenWidth = 800;
    std::int16_t ScreenHeight = 600;
    bool UseVideoMemory = false;
    bool FullScreen = true;
    bool SevenOfHeartsLead = false;
    bool Partnership = false;  // no behaviour depends on it
    bool SlowAnimation = false;
    bool DealSingly = true;

    // ---- Table layout (filled by ComputeLayout / ResetTrickSpots) ----
    std::int16_t Hand0X = 0, Hand0StepX = 0, Hand0Y = 0;
    std::int16_t Hand1X = 0, Hand1StepX = 0, Hand1Y = 0;
    std::int16_t Hand2X = 0, Hand2StepX = 0, Hand2Y = 0;
    std::int16_t Hand3X = 0, Hand3StepX = 0, Hand3Y = 0;
    std::int16_t CardWidth = 0;
    std::int16_t CardPictureHeight = 153;  // set by the bitmap loader
    std::int16_t SortX = 0, SortStepX = 0, SortY = 0;
    Array<std::int16_t, 4> PilePosX{};
    Array<std::int16_t, 4> PilePosY{};
    std::int16_t PileX = 5, PileY = 4;  // the undealt deck pile (DeckPileX/DeckPileY)
    std::int16_t PileOffsetX = 0;      // DeckPileShift
    std::int16_t PileStepX = 0;        // DeckPileStep
    std::int16_t WonPos0X = 0, WonPos0Y = 0;
    std::int16_t WonPos1X = 0, WonPos1Y = 0;
    std::int16_t WonPos2X = 0, WonPos2Y = 0;
    std::int16_t WonPos3X = 0, WonPos3Y = 0;
    std::int16_t ThrowJitterX = 0, ThrowJitterY = 0;
    std::int16_t MenuBaseY = 0;
    std::int16_t ScorePageX = 0, ScorePageY = 0;
    std::int16_t ScoreTableX = 0, ScoreTableY = 0;
    std::int16_t ScoreRowHeight = 0;
    std::int16_t TotalsX = 0, TotalsY = 0;
    std::int16_t ResultX = 0, ResultY = 0;
    std::int16_t ClockX = 0, ClockY = 0;
    std::int16_t ArriveToleranceX = 0, ArriveToleranceY = 0;
    std::int16_t AnimationSteps = 0;
    std::int16_t MoveSteps = 0;
    std::int16_t DealSpeedFactor = 0;
    std::int16_t GatherJitterX = 0, GatherJitterY = 0;

    // ---- Added with the deal and trick rules ----
    std::int16_t DealCardTurn = 0;  // DealOrder index of the card in flight while dealing
    Array<std::int16_t, 16> SeenFaceCount{};  // cards of each face value played this deal
};

// The hand, code list and size of a seat, found by comparing against the four
// seat constants in order, as every routine that needs "the hand of seat s" does.
Array<CardSprite, 16>& HandOf(TableState& t, int seat);
const Array<CardSprite, 16>& HandOf(const TableState& t, int seat);
Array<std::int16_t, 16>& HandCodesOf(TableState& t, int seat);
std::int16_t& HandSizeOf(TableState& t, int seat);
Array<CardSprite, 53>& WonPileOf(TableState& t, int seat);
std::int16_t& WonCountOf(TableState& t, int seat);
const Array<CardSprite, 53>& WonPileOf(const TableState& t, int seat);
std::int16_t WonCountOf(const TableState& t, int seat);
const Array<std::int16_t, 16>& HandCodesOf(const TableState& t, int seat);
std::int16_t HandSizeOf(const TableState& t, int seat);
std::int16_t& DealScoreOf(TableState& t, int seat);
std::int16_t& MatchTotalOf(TableState& t, int seat);
Array<std::int16_t, 41>& DealHistoryOf(TableState& t, int seat);

// Input of one frame: keys by DirectInput scan code, pointer in table pixels.
struct InputSnapshot {
    Array<std::uint8_t, 256> KeyState{};  // non-zero byte = key down this frame
    std::int32_t MouseX = 0;
    std::int32_t MouseY = 0;
    bool LeftButton = false;
};

inline constexpr int kScanEscape = 1;
inline constexpr int kScanR = 19;
inline constexpr int kScanP = 25;

}  // namespace tenfold
