#include "present/table_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "present/table_aids_drawing.h"

namespace tenfold {

namespace {

std::int16_t Pixel(float v) { return Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(v))); }

void DrawWhole(Display& d, const Picture& s, int x, int y, bool keyed) {
    d.Draw(s, kWholePicture, Narrow<std::int16_t>(x), Narrow<std::int16_t>(y), keyed);
}

void DrawIfActive(Display& d, const TableArt& art, const CardSprite& c) {
    if (c.active) DrawCard(d, art, c, c.faceUp);
}

constexpr int kContractX = 294;
constexpr int kContractY = 250;
// Room kept between the clock's last glyph and the table's right edge.
constexpr int kClockRightMargin = 8;
// The score page's text starts left of the table's layout point, and its rules
// hang below the header and above the totals.
constexpr int kScoreTextIndent = 65;
constexpr int kRuleIndent = 50;
constexpr int kHeaderRuleBelow = 23;
constexpr int kTotalsRuleBelowTableX = 157;

}  // namespace

void DrawCard(Display& display, const TableArt& art, const CardSprite& card, bool faceUp) {
    const Picture& picture = faceUp ? art.cards[card.card] : art.cardBack;
    display.Draw(picture, kWholePicture, Pixel(card.x), Pixel(card.y), true);
}

void DrawTable(const TableState& t, Display& d, const TableArt& art, std::string_view clockText) {
    // Won piles, seat by seat.
    for (const Seat& seat : t.seats) {
        for (int i = 0; i < seat.wonCount; ++i) DrawIfActive(d, art, seat.wonPile[i]);
    }
    // The deck's last card: while flying it shows its face only to the human.
    const CardSprite& last = t.deck.cards[kDeckSize - 1];
    if (last.moving) {
        DrawCard(d, art, last, t.currentSeat == kHumanSeat);
    } else if (last.active) {
        DrawCard(d, art, last, true);
    }
    const bool aids = !t.options.classicTable;
    // The trick, led card lowest.
    for (int i = 0; i < t.trick.count; ++i) DrawIfActive(d, art, t.trick.cards[i]);
    if (aids) DrawTrickIndices(t, d, art);
    // The hands: top, right, left, bottom.
    for (int seat : {kTopSeat, kRightSeat, kLeftSeat}) {
        for (const CardSprite& card : t.seats[seat].hand) DrawIfActive(d, art, card);
    }
    if (aids) {
        DrawHumanHand(t, d, art);
        DrawTableLabels(t, d, art);
    } else {
        for (const CardSprite& card : t.seats[kHumanSeat].hand) DrawIfActive(d, art, card);
    }
    if (t.contractAnnounced) DrawWhole(d, art.contracts[Index(t.contract)], kContractX, kContractY, true);
    // The human's menu, where the rules laid it out.
    if (t.menu.shown) {
        for (int row = 0; row < kContractCount; ++row) {
            const MenuRow& r = t.menu.rows[row];
            if (r.enabled) DrawWhole(d, art.contracts[row], r.x, r.y, true);
        }
        if (aids) DrawMenuFocus(t, d, art);
    }
    // The undealt pile, highest card first so the next card lies on top; once
    // dealing has begun the card just taken is drawn too, while it lies there.
    {
        const int n = t.deck.nextCard;
        const int c = n > 45 ? 51 - n : 6;
        const int k = n != 0 ? 1 : 0;
        for (int j = n + c + 1 - k; j >= n - k; --j) DrawIfActive(d, art, t.deck.cards[j]);
    }
    if (aids) DrawTableAids(t, d, art);
    // The deal's end: the score page hides the table.
    if (t.flow.state == GameState::DealOver) {
        if (aids)
            DrawScoreSheet(t, d, art);
        else
            DrawScorePage(t, d, art);
    }
    if (aids) DrawAidOverlays(t, d, art);
    // The clock. "hh:mm AM" is wider than the room right of the clock's place,
    // and a glyph that does not fit is not drawn, which would leave only
    // "hh:mm": the text starts at its place where it fits, else ends just
    // inside the edge.
    const int width = art.clockFont.TextWidth(static_cast<int>(clockText.size()));
    const int x = std::min<int>(t.layout.clock.x, d.clip.right - kClockRightMargin - width);
    art.clockFont.DrawText(d, static_cast<float>(x), t.layout.clock.y, clockText, true);
}

namespace {
// A frame `thickness` pixels wide just outside the rectangle, cut to the table.
void DrawFrame(Display& d, int left, int top, int right, int bottom, int thickness, std::uint16_t colour) {
    // Filled through the display, which clips and draws at the window's scale.
    d.Fill(Rect{left - thickness, top - thickness, right + thickness, top}, colour);
    d.Fill(Rect{left - thickness, bottom, right + thickness, bottom + thickness}, colour);
    d.Fill(Rect{left - thickness, top, left, bottom}, colour);
    d.Fill(Rect{right, top, right + thickness, bottom}, colour);
}
constexpr std::uint16_t kHintColour = 0xFFE0;  // yellow in RGB565
constexpr int kHintLift = 28;                  // pixels the hinted card rises above its hand
constexpr int kHintFrame = 3;
}  // namespace

void DrawHint(const TableState& t, Display& d, const TableArt& art, const TableHint& hint) {
    if (t.flow.state == GameState::DealOver) return;
    if (hint.isContract) {
        if (!t.menu.shown || hint.value < 1 || hint.value > kContractCount) return;
        const MenuRow& r = t.menu.rows[hint.value - 1];
        if (!r.enabled) return;
        DrawFrame(d, r.x, r.y, r.x + kMenuRowWidth, r.y + kMenuRowHeight, kHintFrame, kHintColour);
        return;
    }
    for (const CardSprite& card : t.seats[kHumanSeat].hand) {
        if (!card.active || card.moving || card.card != hint.value) continue;
        CardSprite lifted = card;
        lifted.y -= kHintLift;
        DrawCard(d, art, lifted, true);
        const int x = static_cast<int>(std::lround(lifted.x));
        const int y = static_cast<int>(std::lround(lifted.y));
        DrawFrame(d, x, y, x + kCardWidth, y + kCardHeight, kHintFrame, kHintColour);
    }
}

std::string FormatClock(int hour24, int minute) {
    const int h12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d %s", h12, minute, hour24 < 12 ? "AM" : "PM");
    return text;
}

std::string ClockNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatClock(local.tm_hour, local.tm_min);
}

std::string ScoreNumber(std::int16_t stored) {
    const int v = stored;
    const int whole = std::abs(v) / 10;
    const int tenth = std::abs(v) % 10;
    std::string text = v < 0 ? "-" : "";
    text += std::to_string(whole);
    if (tenth != 0) {
        text += '.';
        text += std::to_string(tenth);
    }
    return text;
}

std::string ScoreField(std::int16_t stored) {
    std::string text = ScoreNumber(stored);
    if (text.size() < 4) text.insert(0, 4 - text.size(), ' ');
    return text;
}

void DrawScorePage(const TableState& t, Display& d, const TableArt& art) {
    const Layout& l = t.layout;
    DrawWhole(d, art.background, 0, 0, false);
    DrawWhole(d, art.scorePage, l.scorePage.x, l.scorePage.y, true);
    DrawWhole(d, art.scoreRule, l.scoreTable.x - kRuleIndent, l.scoreTable.y + kHeaderRuleBelow, true);
    // The second rule's height is taken from the table's x position; at 800 x 600
    // that puts it just above the totals.
    DrawWhole(d, art.scoreRule, l.scoreTable.x - kRuleIndent, l.scoreTable.x + kTotalsRuleBelowTableX, true);

    const BitmapFont& font = art.scoreFont;
    const float x = static_cast<float>(l.scoreTable.x - kScoreTextIndent);
    std::string header = " Me ";
    for (int seat = 1; seat < kSeatCount; ++seat) {
        header += t.seats[seat].name;
        if (seat + 1 < kSeatCount) header += " ";
    }
    font.DrawText(d, x, static_cast<float>(l.scoreTable.y), header, true);
    for (int row = 0; row < t.match.historyRows; ++row) {
        std::string text;
        for (const Seat& seat : t.seats) text += ScoreField(seat.history[row]);
        const float y = static_cast<float>(l.scoreRowHeight * (row + 1) + l.scoreTable.y);
        font.DrawText(d, x, y, text, true);
    }
    std::string totals;
    for (const Seat& seat : t.seats) totals += ScoreField(seat.matchTotal);
    font.DrawText(d, static_cast<float>(l.totals.x - kScoreTextIndent), l.totals.y, totals, true);
    font.DrawText(d, static_cast<float>(l.result.x - kScoreTextIndent), l.result.y,
                  ResultText(t.match.result), true);
}

}  // namespace tenfold
