// Figures of the game on screen (a benchmark, not a test): launch to first
// frame, mean frame cost over one autoplayed deal, peak memory, and CPU use
// while playing with frame pacing.
//
//   present_frame_bench [--paced SECONDS] [--windowed] [--classic] [--dim] [--opponents expert]
//                       [--size WxH] [--scale S] [--launch-only]
//
// --launch-only stops after the first frame and reports the launch alone (and
// the peak memory up to then): run it several times for the start-up's spread.
//
// Headless by default (SDL's dummy drivers unless others are set); with
// --paced it plays that many seconds at the display's pace instead of one
// deal as fast as possible, and reports the CPU time used and the time from
// each frame to the next (a paced frame that took its thinking on the frame
// thread would show as a long one).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/game_main.h"
#include "present/game_screen.h"

namespace {

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

// Processor time of the calling (frame) thread, without the worker threads'.
double ThreadMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    double pacedSeconds = 0;
    bool windowed = false;
    int width = 0, height = 0;
    double scale = 0;
    bool classic = false;  // the table without its aids
    bool dim = false;      // the aids with the unplayable cards greyed
    bool expert = false;
    bool launchOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--paced" && i + 1 < argc) pacedSeconds = std::atof(argv[++i]);
        if (arg == "--windowed") windowed = true;
        if (arg == "--size" && i + 1 < argc) std::sscanf(argv[++i], "%dx%d", &width, &height);
        if (arg == "--scale" && i + 1 < argc) scale = std::atof(argv[++i]);
        if (arg == "--classic") classic = true;
        if (arg == "--dim") dim = true;
        if (arg == "--opponents" && i + 1 < argc) expert = std::string(argv[++i]) == "expert";
        if (arg == "--launch-only") launchOnly = true;
    }

    using Clock = std::chrono::steady_clock;
    using tenfold::GameState;
    tenfold::GameOptions options;
    options.seed = 1;
    options.autoplay = true;
    options.uncapped = pacedSeconds <= 0;
    options.table.fullScreen = !windowed;
    options.table.classicTable = classic;
    options.table.dimUnplayable = dim;
    options.programFolder = TENFOLD_BUILD_DIR;
    if (expert) options.opponents = tenfold::PlayerKind::Expert;
    options.width = width;
    options.height = height;
    options.scale = scale;

    const auto launch = Clock::now();
    tenfold::Game game(options);
    if (!game.Start() || !game.Frame()) return 1;
    const double firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - launch).count();
    // The CPU time too: on a busy machine the wall time mostly measures the others.
    rusage started{};
    getrusage(RUSAGE_SELF, &started);
    const double firstFrameCpuMs = 1000 * (Seconds(started.ru_utime) + Seconds(started.ru_stime));
    const std::string presenter = game.Screen().display.Presenter();
    if (launchOnly) {
        const int status = game.Finish();
        std::printf("presenter: %s\n", presenter.c_str());
        std::printf("launch to first frame: %.1f ms wall, %.1f ms CPU\n", firstFrameMs, firstFrameCpuMs);
        std::printf("peak memory: %.1f MB\n", started.ru_maxrss / 1024.0);
        return status;
    }

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = Clock::now();
    std::int64_t frames = 0;
    std::vector<double> intervals, frameCpu;
    std::vector<std::string> longFrames;
    if (pacedSeconds > 0) {
        auto last = Clock::now();
        double lastCpu = ThreadMs();
        while (std::chrono::duration<double>(Clock::now() - start).count() < pacedSeconds && game.Frame()) {
            ++frames;
            const auto now = Clock::now();
            const double nowCpu = ThreadMs();
            intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            frameCpu.push_back(nowCpu - lastCpu);
            // The long frames themselves, to tell a stall of the game's own from the machine's.
            if (intervals.back() > 20.0 && longFrames.size() < 10) {
                longFrames.push_back("frame " + std::to_string(frames) + " (" +
                                     std::string(tenfold::StateName(game.State().flow.state)) +
                                     "): " + std::to_string(intervals.back()) + " ms, " +
                                     std::to_string(frameCpu.back()) + " ms CPU");
            }
            last = now;
            lastCpu = nowCpu;
        }
    } else {
        // One whole deal: from the first frame to the click that ends its score page.
        while (game.Frame()) {
            ++frames;
            if (game.State().match.dealsPlayed == 1 && game.State().flow.state != GameState::DealOver) break;
        }
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const double cpu = Seconds(after.ru_utime) - Seconds(before.ru_utime) + Seconds(after.ru_stime) -
                       Seconds(before.ru_stime);
    const int status = game.Finish();

    for (const std::string& f : longFrames) std::printf("long %s\n", f.c_str());
    std::printf("presenter: %s\n", presenter.c_str());
    std::printf("launch to first frame: %.1f ms wall, %.1f ms CPU\n", firstFrameMs, firstFrameCpuMs);
    std::printf("frames: %lld in %.2f s (%.1f a second)\n", static_cast<long long>(frames), wall,
                frames / wall);
    std::printf("mean frame cost: %.3f ms wall, %.3f ms CPU\n", 1000 * wall / frames, 1000 * cpu / frames);
    std::printf("CPU use: %.1f%% of one core\n", 100 * cpu / wall);
    std::printf("peak memory: %.1f MB\n", after.ru_maxrss / 1024.0);
    if (!intervals.empty()) {
        std::vector<double> sorted = intervals;
        std::sort(sorted.begin(), sorted.end());
        const auto over = std::count_if(sorted.begin(), sorted.end(), [](double ms) { return ms > 20.0; });
        std::printf("frame to frame: median %.2f ms, p99 %.2f ms, max %.2f ms, %lld of %zu over 20 ms\n",
                    sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back(),
                    static_cast<long long>(over), sorted.size());
        std::sort(frameCpu.begin(), frameCpu.end());
        std::printf("frame thread's processor time a frame: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    frameCpu[frameCpu.size() / 2], frameCpu[frameCpu.size() * 99 / 100], frameCpu.back());
    }
    return status;
}
