#include "present/table_aids_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <tuple>

#include "core/movement.h"
#include "core/scoring.h"
#include "core/table_aids.h"
#include "core/trick_play.h"
#include "present/table_drawing.h"
#include "resources/resource_layout.h"

namespace tenfold {

namespace {

// The aids' colours: the score sheet's paper and pen ink, a gold for what
// acts now, a red for a refusal.
constexpr std::uint16_t kPaper = Rgb565(250, 246, 232);
constexpr std::uint16_t kInk = Rgb565(22, 42, 118);
constexpr std::uint16_t kEdge = Rgb565(40, 40, 40);
constexpr std::uint16_t kGold = Rgb565(255, 206, 64);
constexpr std::uint16_t kRed = Rgb565(214, 32, 32);
constexpr std::uint16_t kDimGrey = Rgb565(96, 96, 96);

// Glyph cells of the two smaller fonts made from the score font (19 x 27).
constexpr int kSmallCellW = layout::kSmallFontCellWidth, kSmallCellH = layout::kSmallFontCellHeight;
constexpr int kMidCellW = layout::kMidFontCellWidth, kMidCellH = layout::kMidFontCellHeight;
// Contract pictures as the badge and the score sheet show them.
constexpr int kSmallContractW = layout::kSmallContractWidth, kSmallContractH = layout::kSmallContractHeight;
// The part of a card picture that shows its rank and suit.
constexpr int kIndexW = 20, kIndexH = 46;
constexpr int kLift = 16;  // pixels the keyboard's card rises

std::int16_t Px(float v) { return Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(v))); }

// Shrinks the keyed rectangle `from` of `src` into `to` of `dst`, averaging
// each block; a block mostly of the colour key stays keyed (`key`).
void Shrink(const Surface& src, const Rect& from, Surface& dst, const Rect& to, std::uint16_t key) {
    const int sw = from.right - from.left, sh = from.bottom - from.top;
    const int dw = to.right - to.left, dh = to.bottom - to.top;
    for (int dy = 0; dy < dh; ++dy) {
        const int y0 = from.top + dy * sh / dh;
        const int y1 = std::max(y0 + 1, from.top + (dy + 1) * sh / dh);
        for (int dx = 0; dx < dw; ++dx) {
            const int x0 = from.left + dx * sw / dw;
            const int x1 = std::max(x0 + 1, from.left + (dx + 1) * sw / dw);
            int r = 0, g = 0, b = 0, ink = 0, all = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    ++all;
                    const std::uint16_t p = src.Pixel(x, y);
                    if (src.HasColorKey() && p == src.ColorKey()) continue;
                    ++ink;
                    r += p >> 11;
                    g += (p >> 5) & 0x3F;
                    b += p & 0x1F;
                }
            }
            std::uint16_t out = key;
            // Thin pen strokes survive: a third of a block inked is enough.
            if (ink * 3 >= all && ink > 0) {
                out = static_cast<std::uint16_t>(((r / ink) << 11) | ((g / ink) << 5) | (b / ink));
                if (out == key) out ^= 1;
            }
            dst.SetPixel(to.left + dx, to.top + dy, out);
        }
    }
}

constexpr std::uint16_t kMagenta = kRedMask565 | kBlueMask565;

void MakeFont(const BitmapFont& from, BitmapFont& to, int cellW, int cellH) {
    const Surface& src = from.Glyphs().OneX();
    if (!src.Valid()) return;
    constexpr int kColumns = 20;
    Rect first;
    if (!from.CellRect(0, first)) return;
    const int fromW = first.right - first.left;
    const int fromH = first.bottom - first.top;
    const int rows = src.Height() / fromH;
    Surface out(kColumns * cellW, rows * cellH);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < kColumns && (col + 1) * fromW <= src.Width(); ++col) {
            Shrink(src, Rect{col * fromW, row * fromH, (col + 1) * fromW, (row + 1) * fromH}, out,
                   Rect{col * cellW, row * cellH, (col + 1) * cellW, (row + 1) * cellH}, kMagenta);
        }
    }
    SetColorKeyMode(out, 2);
    to.Use(std::move(out), cellW, cellH, kColumns);
}

void Fill(Display& d, int left, int top, int right, int bottom, std::uint16_t colour) {
    left = std::max<int>(left, d.clip.left);
    top = std::max<int>(top, d.clip.top);
    right = std::min<int>(right, d.clip.right);
    bottom = std::min<int>(bottom, d.clip.bottom);
    if (left < right && top < bottom) d.Fill(Rect{left, top, right, bottom}, colour);
}

void Frame(Display& d, int left, int top, int right, int bottom, int thick, std::uint16_t colour) {
    Fill(d, left, top, right, top + thick, colour);
    Fill(d, left, bottom - thick, right, bottom, colour);
    Fill(d, left, top, left + thick, bottom, colour);
    Fill(d, right - thick, top, right, bottom, colour);
}

void Panel(Display& d, int left, int top, int right, int bottom, bool lit) {
    Fill(d, left, top, right, bottom, lit ? kGold : kPaper);
    Frame(d, left, top, right, bottom, lit ? 2 : 1, kEdge);
}

// Darkens a rectangle of the table: what is drawn over it stands out.
void Darken(Display& d, int left, int top, int right, int bottom) {
    left = std::max<int>(left, d.clip.left);
    top = std::max<int>(top, d.clip.top);
    right = std::min<int>(right, d.clip.right);
    bottom = std::min<int>(bottom, d.clip.bottom);
    if (left < right && top < bottom) d.Shade(Rect{left, top, right, bottom});
}

// A card drawn greyed: half its own colour, half grey.
void DrawDimmed(Display& d, const Picture& picture, int x, int y) {
    d.DrawDimmed(picture, Narrow<std::int16_t>(x), Narrow<std::int16_t>(y), kDimGrey);
}

const Picture& Face(const TableArt& art, const CardSprite& c) {
    return c.faceUp ? art.cards[c.card] : art.cardBack;
}

void DrawIndex(Display& d, const TableArt& art, Card card, int x, int y) {
    d.Draw(art.cards[card], Rect{0, 0, kIndexW, kIndexH}, Narrow<std::int16_t>(x), Narrow<std::int16_t>(y),
           true);
}

void Text(Display& d, const BitmapFont& font, int x, int y, std::string_view text) {
    font.DrawText(d, static_cast<float>(x), static_cast<float>(y), text, true);
}
int Width(const BitmapFont& font, std::string_view text) {
    return font.TextWidth(static_cast<int>(text.size()));
}
void Centred(Display& d, const BitmapFont& font, int centreX, int y, std::string_view text) {
    Text(d, font, centreX - Width(font, text) / 2, y, text);
}

// ---- The seats ----

struct SeatPlace {
    int left, top, right, bottom;  // the name's panel
    int cardsX, cardsY;            // the taken penalty cards, in rows below it
    int perRow;
};
// Each beside its hand, where no card rests: top right of the top hand, inside
// the side hands, below the human's won pile.
constexpr std::array<SeatPlace, kSeatCount> kSeatPlaces = {{
    {4, 562, 150, 598, 0, 0, 0},
    {524, 192, 646, 228, 524, 232, 7},
    {464, 4, 580, 40, 464, 44, 7},
    {126, 192, 270, 228, 126, 232, 8},
}};

std::string Tally(const TableState& t, int seat) {
    if (IsTrumpContract(t.contract)) {
        const int n = TricksWon(t, seat);
        return std::to_string(n) + (n == 1 ? " trick" : " tricks");
    }
    return std::to_string(DealPointsSoFar(t, seat)) + " points";
}

std::string_view SeatName(const TableState& t, int seat) {
    return seat == kHumanSeat ? "Me" : t.seats[seat].name;
}

// A contract is in force from its announcement to the deal's end.
bool ContractInForce(const TableState& t) {
    GameState state = t.flow.state == GameState::Waiting ? t.flow.stateAfterDelay : t.flow.state;
    if (state == GameState::GatheringHand || state == GameState::SpreadingHand)
        state = t.flow.stateBeforeSort;
    switch (state) {
        case GameState::ShowingContract:
        case GameState::Playing:
        case GameState::GatheringTrick:
        case GameState::CarryingTrick: return t.contract != Contract::None;
        default: return false;
    }
}

bool InDeal(const TableState& t) {
    return t.flow.state != GameState::NotStarted && t.flow.state != GameState::DealOver;
}

// Whether a card of the undealt pile lies over any of `r`.
bool UndealtPileMeets(const TableState& t, const Rect& r) {
    for (int i = t.deck.nextCard; i < kDeckSize; ++i) {
        const CardSprite& c = t.deck.cards[i];
        if (!c.active) continue;
        const int x = Px(c.x), y = Px(c.y);
        if (x < r.right && x + kCardWidth > r.left && y < r.bottom && y + kCardHeight > r.top) return true;
    }
    return false;
}

void DrawBadge(const TableState& t, Display& d, const TableArt& art) {
    const int deal = std::min<int>(t.match.dealsPlayed + 1, kDealsPerMatch);
    const std::string dealText = "Deal " + std::to_string(deal) + " of " + std::to_string(kDealsPerMatch);
    const bool contract = ContractInForce(t);
    // Between the left seat's taken tricks and the top seat's hand: a name
    // wider than that ("Diamonds are trumps") takes two lines.
    constexpr int kTop = 4, kLine = 19;
    int left = 122, right = 298;
    const std::string_view name = contract ? ContractName(t.contract) : std::string_view();
    std::size_t split = std::string_view::npos;
    if (Width(art.smallFont, name) > right - left - 4) {
        split = name.rfind(' ');
        while (split != std::string_view::npos && split > 0 &&
               Width(art.smallFont, name.substr(0, split)) > right - left - 4)
            split = name.rfind(' ', split - 1);
    }
    const int nameLines = split == std::string_view::npos ? 1 : 2;
    const int bottom = contract ? 51 + nameLines * kLine : 26;
    // The top seat deals from beside its hand, right where the badge stands;
    // until the pile is dealt (no contract yet) the badge, only "Deal n of
    // 20" then, sits at the table's left edge, which is empty while dealing.
    if (!contract && UndealtPileMeets(t, Rect{left, kTop, right, bottom})) {
        left = 4;
        right = left + Width(art.smallFont, dealText) + 16;
    }
    Panel(d, left, kTop, right, bottom, false);
    const int centre = (left + right) / 2;
    if (contract) {
        const Picture& picture = art.smallContracts[Index(t.contract)];
        if (picture.Valid())
            d.Draw(picture, kWholePicture, Narrow<std::int16_t>(centre - picture.Width() / 2), kTop + 3,
                   true);
        if (nameLines == 1) {
            Centred(d, art.smallFont, centre, kTop + 26, name);
        } else {
            Centred(d, art.smallFont, centre, kTop + 26, name.substr(0, split));
            Centred(d, art.smallFont, centre, kTop + 26 + kLine, name.substr(split + 1));
        }
        Centred(d, art.smallFont, centre, kTop + 26 + nameLines * kLine, dealText);
    } else {
        Centred(d, art.smallFont, centre, kTop + 4, dealText);
    }
}

void DrawSeats(const TableState& t, Display& d, const TableArt& art) {
    const int toAct = SeatToAct(t);
    const bool contract = ContractInForce(t);
    const bool showCards = contract && CountsPenaltyCards(t.contract);
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const SeatPlace& p = kSeatPlaces[static_cast<std::size_t>(seat)];
        Panel(d, p.left, p.top, p.right, p.bottom, seat == toAct);
        const int x = p.left + 4;
        std::string name(SeatName(t, seat));
        if (seat == toAct) name = "> " + name;
        Text(d, art.smallFont, x, p.top + 1, name);
        if (contract) Text(d, art.smallFont, x, p.top + 18, Tally(t, seat));
        // The human's taken penalty cards lie face up above his hand, in view;
        // the others' lie under their hands, so their indices show here.
        if (!showCards || p.perRow == 0) continue;
        const Seat& s = t.seats[seat];
        int n = 0;
        for (int i = 0; i < s.wonCount; ++i) {
            const CardSprite& c = s.wonPile[i];
            if (!c.active || !c.faceUp) continue;
            DrawIndex(d, art, c.card, p.cardsX + (n % p.perRow) * 16, p.cardsY + (n / p.perRow) * 48);
            ++n;
        }
    }
}

void DrawHint(const TableState& t, Display& d, const TableArt& art) {
    if (!HumanToPlay(t) || t.aids.refusal == Refusal::None) return;
    const std::string hint = RefusalHint(t, t.aids.refusal);
    const int width = Width(art.smallFont, hint);
    constexpr int kCentre = 400, kTop = 577;
    Panel(d, kCentre - width / 2 - 8, kTop, kCentre + width / 2 + 8, kTop + 21, false);
    Frame(d, kCentre - width / 2 - 8, kTop, kCentre + width / 2 + 8, kTop + 21, 2, kRed);
    Text(d, art.smallFont, kCentre - width / 2, kTop + 2, hint);
}

void DrawLastTrick(const TableState& t, Display& d, const TableArt& art) {
    const std::optional<TrickView> trick = LastTrick(t);
    if (!trick) return;
    Darken(d, 262, 136, 560, 416);  // down to just above the human's hand
    for (int i = 0; i < kTrickSize; ++i) {
        const int seat = trick->seats[static_cast<std::size_t>(i)];
        const Point spot = t.seats[seat].throwSpot;
        const int x = spot.x + t.layout.throwJitterX / 2;
        const int y = spot.y + t.layout.throwJitterY / 2;
        const Card card = trick->cards[static_cast<std::size_t>(i)];
        d.Draw(art.cards[card], kWholePicture, Narrow<std::int16_t>(x), Narrow<std::int16_t>(y), true);
        if (i == trick->winnerIndex)
            Frame(d, x - 3, y - 3, x + kCardWidth + 3, y + kCardHeight + 3, 3, kGold);
    }
    for (int i = 0; i < kTrickSize; ++i) {
        // Every index in view, the led card's too.
        const int seat = trick->seats[static_cast<std::size_t>(i)];
        const Point spot = t.seats[seat].throwSpot;
        DrawIndex(d, art, trick->cards[static_cast<std::size_t>(i)], spot.x + t.layout.throwJitterX / 2,
                  spot.y + t.layout.throwJitterY / 2);
    }
    const int winner = trick->seats[static_cast<std::size_t>(trick->winnerIndex)];
    const std::string text = "Last trick: " + std::string(SeatName(t, winner)) + " took it";
    const int width = Width(art.smallFont, text);
    Panel(d, 411 - width / 2 - 6, 138, 411 + width / 2 + 6, 158, true);
    Text(d, art.smallFont, 411 - width / 2, 139, text);
}

// ---- The score sheet ----

constexpr int kColumnsX = 338;  // the first seat's four-cell field
constexpr int kFieldWidth = 68;
constexpr int kNumberRight = 194;  // deal numbers end left of the paper's margin
constexpr int kContractX = 204;

void DrawHeader(const TableState& t, Display& d, const TableArt& art, int y) {
    // Each name over the right-aligned numbers of its column, in a size that
    // keeps four letters inside the column.
    for (int seat = 0; seat < kSeatCount; ++seat) {
        Centred(d, art.midFont, kColumnsX + (seat + 1) * kFieldWidth - 26, y + 4, SeatName(t, seat));
    }
    // The rule runs below the cells' lowest pixel, so no letter is cut.
    Fill(d, 170, y + 28, 630, y + 30, kInk);
}

void DrawRowStart(const TableState& t, Display& d, const TableArt& art, int deal, int y, int textDy) {
    const std::string number = std::to_string(deal);
    Text(d, art.smallFont, kNumberRight - Width(art.smallFont, number), y + textDy, number);
    const Contract c = t.match.log[deal - 1].contract;
    if (c == Contract::None) return;
    const Picture& picture = art.smallContracts[Index(c)];
    if (picture.Valid())
        d.Draw(picture, kWholePicture, kContractX, Narrow<std::int16_t>(y + textDy - 2), true);
}

void DrawFields(Display& d, const BitmapFont& font, const std::array<std::int16_t, kSeatCount>& values,
                int y) {
    for (int seat = 0; seat < kSeatCount; ++seat) {
        const std::string text = ScoreNumber(values[static_cast<std::size_t>(seat)]);
        const int right = kColumnsX + (seat + 1) * kFieldWidth;
        Text(d, font, right - Width(font, text), y, text);
    }
}

std::array<std::int16_t, kSeatCount> Totals(const TableState& t) {
    std::array<std::int16_t, kSeatCount> v{};
    for (int seat = 0; seat < kSeatCount; ++seat)
        v[static_cast<std::size_t>(seat)] = t.seats[seat].matchTotal;
    return v;
}

}  // namespace

void MakeAidPictures(TableArt& art) {
    MakeFont(art.scoreFont, art.smallFont, kSmallCellW, kSmallCellH);
    MakeFont(art.scoreFont, art.midFont, kMidCellW, kMidCellH);
    for (int i = 0; i < kContractCount; ++i) {
        const Surface& big = art.contracts[i].OneX();
        if (!big.Valid()) continue;
        Surface small(kSmallContractW, kSmallContractH);
        Shrink(big, Rect{0, 0, big.Width(), big.Height()}, small,
               Rect{0, 0, kSmallContractW, kSmallContractH}, kMagenta);
        SetColorKeyMode(small, 2);
        art.smallContracts[i] = std::move(small);
    }
}

void DrawHumanHand(const TableState& t, Display& d, const TableArt& art) {
    const bool toPlay = HumanToPlay(t);
    const bool dim = toPlay && t.options.dimUnplayable;
    const int focus = toPlay && MayPlaySlot(t, t.aids.focusSlot) ? t.aids.focusSlot : -1;
    const bool shaking = toPlay && t.aids.refusalFrames > 0;
    const auto& hand = t.seats[kHumanSeat].hand;
    for (int slot = 0; slot < kHandSize; ++slot) {
        const CardSprite& c = hand[slot];
        if (!c.active) continue;
        int x = Px(c.x), y = Px(c.y);
        const bool refused = shaking && slot == t.aids.refusedSlot;
        // Drawn in its place in the hand, so the cards over it still cover
        // it: what stands out is its left strip, raised or shaking, framed.
        if (slot == focus) y -= kLift;
        if (refused) x += (t.aids.refusalFrames / 2) % 2 == 0 ? 4 : -4;
        if (dim && !c.moving && !IsLegalForHuman(t, c.card)) {
            DrawDimmed(d, Face(art, c), x, y);
        } else {
            d.Draw(Face(art, c), kWholePicture, Narrow<std::int16_t>(x), Narrow<std::int16_t>(y), true);
        }
        if (slot == focus) Frame(d, x - 3, y - 3, x + kCardWidth + 3, y + kCardHeight + 3, 3, kGold);
        if (refused) Frame(d, x - 3, y - 3, x + kCardWidth + 3, y + kCardHeight + 3, 3, kRed);
    }
}

void DrawTrickIndices(const TableState& t, Display& d, const TableArt& art) {
    for (int i = 0; i + 1 < t.trick.count; ++i) {
        const CardSprite& c = t.trick.cards[i];
        if (c.active && c.faceUp) DrawIndex(d, art, c.card, Px(c.x), Px(c.y));
    }
}

void DrawMenuFocus(const TableState& t, Display& d, const TableArt& art) {
    const int row = t.aids.menuFocus;
    if (!t.menu.shown || row < 0 || row >= kContractCount || !t.menu.rows[row].enabled) return;
    const MenuRow& r = t.menu.rows[row];
    // Round the row's picture as drawn: the rows' click areas are larger and
    // overlap the next row and column.
    const Picture& picture = art.contracts[row];
    const int width = picture.Valid() ? picture.Width() : kMenuRowWidth;
    const int height = picture.Valid() ? picture.Height() : kMenuRowHeight;
    Frame(d, r.x - 3, r.y - 3, r.x + width + 3, r.y + height + 3, 3, kGold);
}

void DrawTableLabels(const TableState& t, Display& d, const TableArt& art) {
    if (!InDeal(t)) return;
    DrawBadge(t, d, art);
    DrawSeats(t, d, art);
}

void DrawTableAids(const TableState& t, Display& d, const TableArt& art) {
    if (!InDeal(t)) return;
    DrawHint(t, d, art);
    if (t.aids.lastTrickShown) DrawLastTrick(t, d, art);
}

namespace {

// The page picture's ruled lines, read down one column right of its margin:
// the first and last rule and the tallest clean band between two of them.
struct PageRules {
    int first = -1, last = -1;
    int gapTop = 0, gapHeight = 0;
};

PageRules FindPageRules(const Surface& page) {
    PageRules rules;
    if (!page.Valid()) return rules;
    const int x = page.Width() * 7 / 8;
    int previous = -1;
    for (int y = 0; y < page.Height(); ++y) {
        const std::uint16_t p = page.Pixel(x, y);
        if (page.HasColorKey() && p == page.ColorKey()) continue;
        // Blue ink on warm paper: blue well above red (both in 5 bits).
        const int red = p >> 11, blue = p & 0x1F;
        if (blue < red + 3) continue;
        if (rules.first < 0) rules.first = y;
        if (previous >= 0 && y - previous - 1 > rules.gapHeight) {
            rules.gapTop = previous + 1;
            rules.gapHeight = y - previous - 1;
        }
        previous = rules.last = y;
    }
    return rules;
}

}  // namespace

void DrawScoreSheet(const TableState& t, Display& d, const TableArt& art) {
    const Layout& l = t.layout;
    d.Draw(art.background, kWholePicture, 0, 0, false);
    d.Draw(art.scorePage, kWholePicture, l.scorePage.x, l.scorePage.y, true);
    const bool whole = t.match.over;
    if (!whole) {
        DrawHeader(t, d, art, l.scoreTable.y - 8);
        const int first = t.match.dealsPlayed - t.match.historyRows + 1;
        for (int row = 0; row < t.match.historyRows; ++row) {
            const int y = l.scoreRowHeight * (row + 1) + l.scoreTable.y;
            DrawRowStart(t, d, art, first + row, y, 6);
            std::array<std::int16_t, kSeatCount> v{};
            for (int seat = 0; seat < kSeatCount; ++seat)
                v[static_cast<std::size_t>(seat)] = t.seats[seat].history[row];
            DrawFields(d, art.scoreFont, v, y);
        }
        Fill(d, 170, l.totals.y - 6, 630, l.totals.y - 4, kInk);
        DrawFields(d, art.scoreFont, Totals(t), l.totals.y);
        Text(d, art.smallFont, 208, l.totals.y + 6, "Total");
        Centred(d, art.midFont, 400, 520, "Click to continue");
        return;
    }
    // After the last deal: every deal on one compact sheet, the standings and
    // the result. The page's own rules are wider apart than these rows and
    // would strike through their numbers (a minus sign read as the rule):
    // they are covered with a clean band of the same page.
    const Surface& page = art.scorePage.OneX();
    const PageRules rules = FindPageRules(page);
    // The rules' soft edges stay out of the band and are covered with them.
    constexpr int kSoftEdge = 2;
    const int bandTop = rules.gapTop + kSoftEdge, bandHeight = rules.gapHeight - 2 * kSoftEdge;
    if (rules.first >= 0 && bandHeight > 0) {
        const int coverEnd = std::min(rules.last + kSoftEdge, page.Height() - 1);
        for (int y = std::max(rules.first - kSoftEdge, 0); y <= coverEnd; y += bandHeight) {
            const int h = std::min(bandHeight, coverEnd + 1 - y);
            d.Draw(art.scorePage, Rect{0, bandTop, page.Width(), bandTop + h}, l.scorePage.x,
                   Narrow<std::int16_t>(l.scorePage.y + y), true);
        }
    }
    constexpr int kHeaderY = 60, kFirstRowY = 93, kRowPitch = 19;
    DrawHeader(t, d, art, kHeaderY);
    for (int deal = 1; deal <= t.match.dealsPlayed && deal <= kDealsPerMatch; ++deal) {
        const int y = kFirstRowY + (deal - 1) * kRowPitch;
        DrawRowStart(t, d, art, deal, y, 1);
        std::array<std::int16_t, kSeatCount> v{};
        for (int seat = 0; seat < kSeatCount; ++seat)
            v[static_cast<std::size_t>(seat)] = t.match.log[deal - 1].points[seat];
        DrawFields(d, art.smallFont, v, y + 1);
    }
    const int totalsY = kFirstRowY + kDealsPerMatch * kRowPitch + 4;
    Fill(d, 170, totalsY - 3, 630, totalsY - 1, kInk);
    Text(d, art.smallFont, 208, totalsY + 6, "Total");
    DrawFields(d, art.scoreFont, Totals(t), totalsY);
    // Lowest total first; on a tie the human ranks first, as the result counts it.
    std::array<int, kSeatCount> order = {0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(),
                     [&t](int a, int b) { return t.seats[a].matchTotal < t.seats[b].matchTotal; });
    std::string standings = "Standings:";
    for (int place = 0; place < kSeatCount; ++place) {
        standings += "  " + std::to_string(place + 1) + " " +
                     std::string(SeatName(t, order[static_cast<std::size_t>(place)]));
    }
    Text(d, art.smallFont, 208, totalsY + 28, standings);
    Text(d, art.scoreFont, 208, totalsY + 45, ResultText(t.match.result));
    Text(d, art.smallFont, 440, totalsY + 53, "Click to continue");
}

void DrawAidOverlays(const TableState& t, Display& d, const TableArt& art) {
    if (t.aids.leaveAsked) {
        Darken(d, d.clip.left, d.clip.top, d.clip.right, d.clip.bottom);
        const Box& p = kLeavePanel;
        Panel(d, p.x, p.y, p.x + p.width, p.y + p.height + 10, false);
        Centred(d, art.scoreFont, p.x + p.width / 2, p.y + 18, "Leave this match?");
        for (const auto& [box, label, lit] :
             {std::tuple{kLeaveYes, "Yes", true}, std::tuple{kLeaveNo, "No", false}}) {
            Panel(d, box.x, box.y, box.x + box.width, box.y + box.height, lit);
            Centred(d, art.scoreFont, box.x + box.width / 2, box.y + 9, label);
        }
        Centred(d, art.smallFont, p.x + p.width / 2, p.y + p.height - 9, "Escape or Y: leave    N: stay");
        return;
    }
    if (t.flow.paused) {
        Darken(d, d.clip.left, d.clip.top, d.clip.right, d.clip.bottom);
        Panel(d, 250, 268, 550, 322, true);
        Centred(d, art.scoreFont, 400, 281, "Paused: press P");
    }
}

}  // namespace tenfold
