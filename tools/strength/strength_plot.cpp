// Draws a tournament report (tenfold --tournament ... --report FILE) as a PNG:
// for each contract, each player's mean advantage per deal over the all-B
// table, with its 95% interval as a whisker, and the players' overall
// advantage per deal in the title.
//
//   tenfold-strength-plot REPORT.json OUT.png

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

struct Bar {
    double mean = 0, low = 0, high = 0;
};

constexpr const char* kContracts[] = {"clubs",     "diamonds",         "spades",      "hearts",
                                      "no_tricks", "no_hearts",        "no_last_two", "no_kings_and_jacks",
                                      "no_queens", "no_king_of_hearts"};
constexpr const char* kLabels[] = {"Clubs",     "Diamonds",      "Spades",      "Hearts",
                                   "No tricks", "No hearts",     "No last two", "No kings & jacks",
                                   "No queens", "No K of hearts"};
constexpr double kColours[][3] = {{0.16, 0.42, 0.75}, {0.85, 0.45, 0.12}};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s REPORT.json OUT.png\n", argv[0]);
        return 2;
    }
    nlohmann::json report;
    try {
        std::ifstream in(argv[1]);
        report = nlohmann::json::parse(in);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: cannot read %s: %s\n", argv[0], argv[1], e.what());
        return 1;
    }
    std::vector<std::string> names;
    std::vector<std::vector<Bar>> bars;
    double lowest = 0, highest = 0;
    // A first, then B (the report's keys come back in alphabetical order).
    std::vector<std::pair<std::string, nlohmann::json>> players;
    for (const auto& [name, p] : report["players"].items()) players.emplace_back(name, p);
    std::stable_sort(players.begin(), players.end(), [](const auto& a, const auto& b) {
        return a.second.value("role", "") < b.second.value("role", "");
    });
    for (const auto& [name, p] : players) {
        names.push_back(name);
        std::vector<Bar> row;
        for (const char* c : kContracts) {
            const auto& pc = p["per_contract"][c];
            Bar b{pc["mean_advantage"].get<double>(), pc["ci95_advantage"][0].get<double>(),
                  pc["ci95_advantage"][1].get<double>()};
            lowest = std::min(lowest, b.low);
            highest = std::max(highest, b.high);
            row.push_back(b);
        }
        bars.push_back(row);
    }
    // Round the scale out to whole 20s of points.
    lowest = std::floor(lowest / 20) * 20;
    highest = std::ceil(highest / 20) * 20;
    if (highest - lowest < 1) highest = lowest + 20;

    const int width = 960, height = 540;
    const double left = 70, right = width - 20, top = 70, bottom = height - 90;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const auto y = [&](double v) { return bottom - (v - lowest) / (highest - lowest) * (bottom - top); };

    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    // Grid and scale.
    cairo_set_font_size(cr, 12);
    for (double v = lowest; v <= highest + 1e-9; v += 20) {
        cairo_set_source_rgb(cr, v == 0 ? 0.2 : 0.88, v == 0 ? 0.2 : 0.88, v == 0 ? 0.2 : 0.88);
        cairo_set_line_width(cr, v == 0 ? 1.5 : 1);
        cairo_move_to(cr, left, y(v));
        cairo_line_to(cr, right, y(v));
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        const std::string text = std::to_string(static_cast<int>(v));
        cairo_move_to(cr, left - 8 - 7.0 * static_cast<double>(text.size()), y(v) + 4);
        cairo_show_text(cr, text.c_str());
    }
    // Bars with whiskers.
    const double slot = (right - left) / 10;
    const double barWidth = slot * 0.8 / static_cast<double>(std::max<std::size_t>(1, names.size()));
    for (std::size_t c = 0; c < 10; ++c) {
        for (std::size_t p = 0; p < names.size(); ++p) {
            const Bar& b = bars[p][c];
            const double x =
                left + slot * static_cast<double>(c) + slot * 0.1 + barWidth * static_cast<double>(p);
            cairo_set_source_rgb(cr, kColours[p % 2][0], kColours[p % 2][1], kColours[p % 2][2]);
            cairo_rectangle(cr, x, std::min(y(b.mean), y(0)), barWidth - 2, std::abs(y(b.mean) - y(0)));
            cairo_fill(cr);
            cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
            cairo_set_line_width(cr, 1.2);
            const double mid = x + (barWidth - 2) / 2;
            cairo_move_to(cr, mid, y(b.low));
            cairo_line_to(cr, mid, y(b.high));
            cairo_move_to(cr, mid - 4, y(b.low));
            cairo_line_to(cr, mid + 4, y(b.low));
            cairo_move_to(cr, mid - 4, y(b.high));
            cairo_line_to(cr, mid + 4, y(b.high));
            cairo_stroke(cr);
        }
        // The contract's name, turned to fit.
        cairo_save(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        cairo_move_to(cr, left + slot * static_cast<double>(c) + slot * 0.3, bottom + 14);
        cairo_rotate(cr, 0.5);
        cairo_show_text(cr, kLabels[c]);
        cairo_restore(cr);
    }
    // Title, axis name and legend.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 17);
    char title[256];
    const auto& first = report["players"][names.front()];
    // Deals a match, as the report's per-match and per-deal means relate.
    const double perMatch = first["mean_per_match"].get<double>();
    const double perDeal = perMatch != 0 ? first["mean_per_deal"].get<double>() / perMatch : 1.0 / 20;
    std::snprintf(title, sizeof title,
                  "Mean advantage per deal by contract, %d duplicate sets (%s %+.1f per deal [%+.1f, %+.1f])",
                  report["sets"].get<int>(), names.front().c_str(), first["mean_per_deal"].get<double>(),
                  first["ci95_per_match"][0].get<double>() * perDeal,
                  first["ci95_per_match"][1].get<double>() * perDeal);
    cairo_move_to(cr, left - 50, 28);
    cairo_show_text(cr, title);
    cairo_set_font_size(cr, 12);
    cairo_save(cr);
    cairo_move_to(cr, 16, bottom);
    cairo_rotate(cr, -M_PI / 2);
    cairo_show_text(cr, "points per deal over the all-B table (95% interval)");
    cairo_restore(cr);
    for (std::size_t p = 0; p < names.size(); ++p) {
        const double x = left + 10 + 260 * static_cast<double>(p);
        cairo_set_source_rgb(cr, kColours[p % 2][0], kColours[p % 2][1], kColours[p % 2][2]);
        cairo_rectangle(cr, x, 44, 14, 14);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, x + 20, 56);
        cairo_show_text(cr, (names[p] + (p == 0 ? " (A, one seat)" : " (B, three seats beside A)")).c_str());
    }
    cairo_destroy(cr);
    const cairo_status_t written = cairo_surface_write_to_png(surface, argv[2]);
    cairo_surface_destroy(surface);
    if (written != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
