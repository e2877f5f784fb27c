// The finished program started from its command line as a demonstration: a
// short autoplay run must show the table a player sees and play exactly the
// deals the headless simulator plays for the same seed.

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

// Long enough for two whole deals and the start of the third, whose tricks
// are on the table when the run ends.
constexpr const char* kFrames = "14000";

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int RunProgram(const std::string& arguments) {
    // No remembered settings of the machine's player reach these runs.
    const std::string command =
        std::string("XDG_CONFIG_HOME=/nonexistent/tenfold-test '") + TENFOLD_EXE + "' " + arguments;
    const int raw = std::system(command.c_str());
    return raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Shares of the picture's pixels (in a rectangle) by what a player sees there.
struct Shares {
    double felt = 0;      // the green cloth
    double cardFace = 0;  // the white of a face-up card
    double cardBack = 0;  // the blue pattern of a face-down card
};

Shares Measure(SDL_Surface* rgb, int left, int top, int right, int bottom) {
    Shares s;
    int n = 0;
    for (int y = top; y < bottom; ++y) {
        const auto* row =
            static_cast<const std::uint8_t*>(rgb->pixels) + static_cast<std::ptrdiff_t>(y) * rgb->pitch;
        for (int x = left; x < right; ++x) {
            const int r = row[3 * x], g = row[3 * x + 1], b = row[3 * x + 2];
            ++n;
            if (g > r + 40 && g > b + 30) s.felt += 1;
            if (r >= 230 && g >= 230 && b >= 230) s.cardFace += 1;
            if (b > r + 60 && b > g + 40) s.cardBack += 1;
        }
    }
    s.felt /= n;
    s.cardFace /= n;
    s.cardBack /= n;
    return s;
}

TEST(CommandLine, AutoplayShowsTheTableAndPlaysTheSimulatorsDeals) {
    tenfold::test::ScratchDir dir;
    const std::string picture = dir / "last-frame.png";
    const std::string played = dir / "game.jsonl";
    const std::string simulated = dir / "simulated.jsonl";
    ASSERT_EQ(RunProgram(std::string("--autoplay --seed 1 --uncapped --frames ") + kFrames +
                         " --screenshot '" + picture + "' --trace '" + played + "'"),
              0);
    ASSERT_EQ(RunProgram("--simulate 1 --seed 1 --trace '" + simulated + "' > /dev/null"), 0);

    // The deals the game finished are the simulator's first deals, byte for byte.
    const std::vector<std::string> game = ReadLines(played);
    const std::vector<std::string> sim = ReadLines(simulated);
    ASSERT_EQ(game.size(), 2U);
    ASSERT_GE(sim.size(), game.size());
    for (std::size_t i = 0; i < game.size(); ++i) EXPECT_EQ(game[i], sim[i]) << "deal " << i + 1;

    // The last frame: the green table, the player's hand face up along the
    // bottom, the other hands face down at the sides and the top.
    SDL_Surface* loaded = IMG_Load(picture.c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(rgb, nullptr) << SDL_GetError();
    EXPECT_EQ(rgb->w, 800);
    EXPECT_EQ(rgb->h, 600);
    if (rgb->w == 800 && rgb->h == 600) {
        const Shares table = Measure(rgb, 0, 0, 800, 600);
        EXPECT_GT(table.felt, 0.4) << "the table's green";
        EXPECT_GT(table.cardBack, 0.05) << "the computer players' cards face down";
        const Shares hand = Measure(rgb, 190, 430, 650, 560);
        EXPECT_GT(hand.cardFace, 0.3) << "the player's cards face up";
        EXPECT_LT(hand.cardBack, 0.01) << "the player's cards face up";
    }
    SDL_FreeSurface(rgb);
}

}  // namespace
