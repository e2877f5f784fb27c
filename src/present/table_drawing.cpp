#include "present/table_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tenfold {

namespace {

std::int16_t Pixel(float v) { return Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(v))); }

void DrawWhole(Display& d, const Surface& s, std::int16_t x, std::int16_t y, bool keyed) {
    d.ClipBltFast(s, d.BackBuffer, EmptyRect, x, y, keyed);
}

void DrawIfActive(Display& d, const TableArt& art, const CardSprite& c) {
    if (c.Active) DrawCard(d, art, c, c.FaceUp);
}

constexpr int kContractX = 294;
constexpr int kContractY = 250;
constexpr int kMenuLeftX = 100;
constexpr int kMenuRightX = 380;
constexpr int kMenuRowStep = 42;
constexpr int kMenuFirstRowAbove = 60;
// Room kept between the clock's last glyph and the table's right edge.
constexpr int kClockRightMargin = 8;

}  // namespace

void DrawCard(Display& display, const TableArt& art, const CardSprite& card, bool faceUp) {
    const Surface& picture = faceUp ? art.CardSurface[card.Code] : art.CardBack;
    DrawWhole(display, picture, Pixel(card.X), Pixel(card.Y), true);
}

void DrawTable(TableState& t, Display& d, TableArt& art, std::string_view clockText) {
    // 1. Won piles, seat by seat.
    for (int seat = 0; seat <= 3; ++seat) {
        const auto& pile = WonPileOf(t, seat);
        const int count = WonCountOf(t, seat);
        for (int i = 0; i < count; ++i) DrawIfActive(d, art, pile[i]);
    }
    // 2. The deck's last slot: while flying it shows its face only to the human.
    const CardSprite& last = t.Deck[51];
    if (last.Moving) {
        DrawCard(d, art, last, t.CurrentSeat == 0);
    } else if (last.Active) {
        DrawCard(d, art, last, true);
    }
    // 3. The trick, led card lowest.
    for (int i = 0; i < t.TableCount; ++i) DrawIfActive(d, art, t.TableCards[i]);
    // 4. The hands: top, right, left, bottom.
    for (int seat : {2, 1, 3, 0}) {
        const auto& hand = HandOf(t, seat);
        for (int i = 0; i <= 12; ++i) DrawIfActive(d, art, hand[i]);
    }
    // 5. The announced contract.
    if (t.ContractAnnounced) {
        DrawWhole(d, art.ContractSurface[t.Contract - 1], kContractX, kContractY, true);
    }
    // 6. The human's menu; enabled rows stack upwards without gaps.
    if (t.ContractMenuShown) {
        for (int column = 0; column <= 1; ++column) {
            int n = 0;
            for (int row = column * 5; row <= column * 5 + 4; ++row) {
                ContractButton& b = t.ContractButtons[row];
                if (!b.Enabled) continue;
                b.X = Narrow<std::int16_t>(column == 0 ? kMenuLeftX : kMenuRightX);
                b.Y = Narrow<std::int16_t>(t.MenuBaseY - (n * kMenuRowStep + kMenuFirstRowAbove));
                ++n;
                DrawWhole(d, art.ContractSurface2[row], b.X, b.Y, true);
            }
        }
    }
    // 7. The undealt pile, highest slot first so the next card lies on top.
    {
        const int n = t.NextDeckCard;
        const int c = n > 45 ? 51 - n : 6;
        const int k = n != 0 ? 1 : 0;
        for (int j = n + c + 1 - k; j >= n - k; --j) DrawIfActive(d, art, t.Deck[j]);
    }
    // 8. The deal's end screen hides the table.
    if (t.GameState == "END OF MATCH") {
        DrawWhole(d, art.Background, 0, 0, false);
        DrawWhole(d, art.ScorePage, t.ScorePageX, t.ScorePageY, true);
        DrawWhole(d, art.LineHorz1, Narrow<std::int16_t>(t.ScoreTableX - 50),
                  Narrow<std::int16_t>(t.ScoreTableY + 23), true);
        DrawWhole(d, art.LineHorz2, Narrow<std::int16_t>(t.ScoreTableX - 50),
                  Narrow<std::int16_t>(t.ScoreTableX + 157), true);
        ScoreTable(t, d, art);
    }
    // 9. The clock. "hh:mm AM" is wider than the room right of ClockX, and a
    // glyph that does not fit is not drawn, which would leave only "hh:mm":
    // the text starts at ClockX where it fits, else ends just inside the edge.
    clsDXBitmapFont& clock = art.FontDigit;
    const auto glyphs = static_cast<std::int32_t>(clockText.size());
    const std::int32_t width = glyphs == 0 ? 0 : (glyphs - 1) * (clock.CharWidth - 2) + clock.CharWidth;
    clock.X = static_cast<float>(std::min<std::int32_t>(t.ClockX, d.Clip.ClipRight - kClockRightMargin - width));
    clock.Y = t.ClockY;
    clock.DrawText(d.Clip, d.BackBuffer, clockText, true);
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

void ScoreTable(const TableState& t, Display& d, TableArt& art) {
    for (int r = 0; r <= t.DealIndex; ++r) {
        clsDXBitmapFont& font = art.RowFont[r];
        font.X = static_cast<float>(t.ScoreTableX - 65);
        font.Y = static_cast<float>(t.ScoreRowHeight * r + t.ScoreTableY);
        std::string text;
        if (r == 0) {
            text = " Me " + t.PlayerName1 + " " + t.PlayerName2 + " " + t.PlayerName3;
        } else {
            text = ScoreField(t.DealHistory0[r - 1]) + ScoreField(t.DealHistory1[r - 1]) +
                   ScoreField(t.DealHistory2[r - 1]) + ScoreField(t.DealHistory3[r - 1]);
        }
        font.DrawText(d.Clip, d.BackBuffer, text, true);
    }
    clsDXBitmapFont& totals = art.RowFont[9];
    totals.X = static_cast<float>(t.TotalsX - 65);
    totals.Y = static_cast<float>(t.TotalsY);
    totals.DrawText(d.Clip, d.BackBuffer,
                    ScoreField(t.MatchTotal0) + ScoreField(t.MatchTotal1) + ScoreField(t.MatchTotal2) +
                        ScoreField(t.MatchTotal3),
                    true);
    clsDXBitmapFont& result = art.RowFont[10];
    result.X = static_cast<float>(t.ResultX - 65);
    result.Y = static_cast<float>(t.ResultY);
    result.DrawText(d.Clip, d.BackBuffer, t.MatchResult, true);
}

}  // namespace tenfold
