#include "core/cards.h"

namespace tenfold {

const std::array<std::string, 30> kPlayerNameTable = {
    "Mia ", "Ian ", "Bob ", "Jim ", "Jack", "John", "Rick", "Tom ", "Eve ", "Liz ",
    "Mary", "Mike", "Sean", "Elsa", "Anne", "Nick", "Ted ", "Bill", "Cary", "Kate",
    "Pete", "Tim ", "Lena", "Greg", "Jill", "Dan ", "Stef", "Ed  ", "Jess", "Gas "};

const std::array<std::string, 10> kContractFileNames = {
    "clubs.BMP",   "diamonds.BMP",        "spades.BMP",          "hearts.BMP",
    "notricks.BMP", "nohearts.BMP",       "nolasttwotricks.BMP", "nokingsandjacks.BMP",
    "noqueens.BMP", "nokingofhearts.BMP"};

namespace {
constexpr std::array<std::int16_t, 12> kContractTotals = {0,   650, 650, 650, 650, 650,
                                                          390, 360, 480, 400, 320, 0};

// Suit code of a suit letter, or -1 when the character names no suit.
int SuitOfLetter(char c) {
    switch (c) {
        case 'D': return kSuitDiamonds;
        case 'S': return kSuitSpades;
        case 'C': return kSuitClubs;
        case 'H': return kSuitHearts;
        default: return -1;
    }
}
}  // namespace

void BuildCardFiles(TableState& t) {
    static constexpr std::array<const char*, 4> kSuffix = {"C.BMP", "D.BMP", "H.BMP", "S.BMP"};
    for (int v = 2; v <= 10; ++v) {
        for (int letter = 0; letter < 4; ++letter) {
            t.CardFile[CardCode(v, letter)] = std::to_string(v) + kSuffix[letter];
        }
    }
    static constexpr std::array<std::pair<int, char>, 4> kLiteral = {
        {{1, 'A'}, {11, 'J'}, {12, 'Q'}, {13, 'K'}}};
    for (const auto& [face, text] : kLiteral) {
        for (int letter = 0; letter < 4; ++letter) {
            t.CardFile[CardCode(face, letter)] = std::string(1, text) + kSuffix[letter];
        }
    }
    for (int i = 0; i < 10; ++i) {
        t.ContractFile[i] = kContractFileNames[i];
        t.ContractFile2[i] = kContractFileNames[i];
    }
    ParseCardFiles(t);
}

void ParseCardFiles(TableState& t) {
    t.SeatBottom = 0;
    t.SeatLeft = 3;
    t.SeatTop = 2;
    t.SeatRight = 1;
    for (int card = 0; card < 52; ++card) {
        const std::string& name = t.CardFile[card];
        if (name.size() < 3) throw std::logic_error("card picture name too short: " + name);
        std::int16_t face = 0;
        switch (name[0]) {
            case 'J': face = 11; break;
            case 'Q': face = 12; break;
            case 'K': face = 13; break;
            case 'A': face = 1; break;
            case '1': face = 10; break;
            default: face = static_cast<std::int16_t>(name[0] - '0'); break;
        }
        t.CardValue[card] = face;
        // The third character overrides the second: "10S" carries its suit there.
        for (int pos : {1, 2}) {
            const int suit = SuitOfLetter(name[pos]);
            if (suit >= 0) t.CardSuit[card] = suit;
        }
    }
    FillValueOrder(t);
}

void FillValueOrder(TableState& t) {
    for (int face = 2; face <= 13; ++face) t.ValueOrder[face] = Narrow<std::int16_t>(face - 2);
    t.ValueOrder[1] = 12;
}

bool Beats(const TableState& t, int a, int b) {
    if (t.TableCount <= 0) return false;
    const bool aTrump = t.CardSuit[a] == t.TrumpSuit;
    if (!aTrump) {
        return t.CardSuit[a] == t.CardSuit[b] && Strength(t, a) > Strength(t, b);
    }
    const bool bTrump = t.CardSuit[b] == t.TrumpSuit;
    return !(bTrump && Strength(t, a) < Strength(t, b));
}

std::int16_t SeatBefore(const TableState& t, int k) {
    return static_cast<std::int16_t>(((t.CurrentSeat - k) % 4 + 4) % 4);
}

void DecideTrickWinner(TableState& t) {
    const int n = t.CardsInTrick;
    if (n < 4 || n % 4 != 0) return;
    std::array<int, 4> seat{};
    std::array<int, 4> code{};
    for (int i = 0; i < 4; ++i) {
        seat[i] = SeatBefore(t, 3 - i);
        code[i] = t.TableCards[i].Code;
    }
    int win = 0;
    // Each later card is compared only against the card winning so far.
    for (int i = 1; i < 4; ++i) {
        if (Beats(t, code[i], code[win])) win = i;
    }
    t.TrickWinner = static_cast<std::int16_t>(seat[win]);
    t.TrickWinnerCard = static_cast<std::int16_t>(win);
    t.CardsInTrick = 0;
    t.CurrentSeat = t.TrickWinner;
    for (int i = 0; i < t.TableCount; ++i) t.TableCards[i].Collect = true;
    t.GameState = "WE ARE GETTING CARDS - GOTHERING";
    if (t.CardsPlayed == 44) t.Trick11Winner = t.TrickWinner;
    if (t.CardsPlayed == 48) t.Trick12Winner = t.TrickWinner;
}

void DrawPlayerNames(TableState& t, Services& s) {
    auto draw = [&s] { return RndInt(s, 30); };
    const int a = draw();
    int b = draw();
    while (b == a) b = draw();
    int c = draw();
    while (c == b || c == a) c = draw();
    t.PlayerName1 = kPlayerNameTable.at(static_cast<std::size_t>(a));
    t.PlayerName2 = kPlayerNameTable.at(static_cast<std::size_t>(b));
    t.PlayerName3 = kPlayerNameTable.at(static_cast<std::size_t>(c));
}

void InitMatchTables(TableState& t, Services& s) {
    DrawPlayerNames(t, s);
    for (int i = 0; i < 12; ++i) t.ContractTotal[i] = kContractTotals[static_cast<std::size_t>(i)];
    t.DealsPlayed = 0;
}

}  // namespace tenfold
