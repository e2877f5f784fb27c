#include "present/display.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "core/fatal.h"
#include "resources/resource_check.h"
#include "resources/safe_file.h"

namespace tenfold {

namespace {

// The labels begin the player's message when the display fails; the texts
// stay as players have always read them.
constexpr const char* kOpenLabel = "Error in function DirectX() ";
constexpr const char* kLoadPictureLabel = "Error in function CreateSurfaceFromFile() ";
constexpr const char* kWindowTitle = "Tenfold";

// Renderers that claim vsync but return faster than this per frame (mean over
// the first flips) are not really waiting for the display: pace them ourselves.
constexpr double kNoVsyncBelowMs = 4.0;
constexpr int kVsyncProbeFlips = 30;
constexpr double kFrameRate = 60.0;
// Changed areas sent to the window in one frame; more are merged into one.
constexpr std::size_t kMaxUpdateRects = 32;
// The largest acceptable bitmap (4096 x 4096 at 32 bits) plus headers.
constexpr std::uint64_t kMaxPictureBytes = 80u << 20;

// A graphics card the GL driver could draw with (Linux device nodes). Without
// one a GL renderer is a software rasterizer, and even creating it takes
// longer than the whole rest of the start.
bool GraphicsDevicePresent() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/dev/dri", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) return true;
    }
    return fs::exists("/dev/nvidiactl", ec);
}

// True when the renderer draws with the CPU: SDL's own software renderer, or
// OpenGL on a software rasterizer (llvmpipe, softpipe, swrast).
bool SoftwareRasterizer(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr) return false;
    const std::string name = info.name;
    if (name == "software") return true;
    if (name.rfind("opengl", 0) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* text = getString != nullptr ? getString(kGlRenderer) : nullptr;
    if (text == nullptr) return false;
    std::string gl(reinterpret_cast<const char*>(text));
    std::transform(gl.begin(), gl.end(), gl.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* soft : {"llvmpipe", "softpipe", "software", "swrast"}) {
        if (gl.find(soft) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

PresentError::PresentError(std::string label, int number, std::string description)
    : std::runtime_error(ErrorText(label, number, description)),
      label_(std::move(label)),
      number_(number),
      description_(std::move(description)) {}

Letterbox FitTable(int windowWidth, int windowHeight, int tableWidth, int tableHeight) {
    Letterbox box;
    if (windowWidth <= 0 || windowHeight <= 0 || tableWidth <= 0 || tableHeight <= 0) return box;
    box.scale = std::min(static_cast<double>(windowWidth) / tableWidth,
                         static_cast<double>(windowHeight) / tableHeight);
    box.width = static_cast<int>(std::lround(tableWidth * box.scale));
    box.height = static_cast<int>(std::lround(tableHeight * box.scale));
    box.offsetX = (windowWidth - box.width) / 2.0;
    box.offsetY = (windowHeight - box.height) / 2.0;
    return box;
}

std::string FindFileIgnoringCase(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    const fs::path wanted(path);
    fs::path built = wanted.root_path();
    for (const fs::path& part : wanted.relative_path()) {
        fs::path next = built / part;
        if (!fs::exists(next, ec)) {
            bool matched = false;
            const fs::path dir = built.empty() ? fs::path(".") : built;
            for (const auto& entry : fs::directory_iterator(dir, ec)) {
                const std::string name = entry.path().filename().string();
                const std::string want = part.string();
                if (name.size() == want.size() &&
                    std::equal(name.begin(), name.end(), want.begin(), [](char a, char b) {
                        return std::tolower(static_cast<unsigned char>(a)) ==
                               std::tolower(static_cast<unsigned char>(b));
                    })) {
                    next = built / entry.path().filename();
                    matched = true;
                    break;
                }
            }
            if (!matched) return path;
        }
        built = next;
    }
    return built.string();
}

std::vector<std::uint8_t> ReadResourceFile(const std::string& fileName, std::uint64_t limit) {
    std::vector<std::uint8_t> data;
    const std::string path = FindFileIgnoringCase(fileName);
    if (Result r = ReadWholeFile(path, limit, data); !r) throw PresentError("", kErrFileRead, r.Reason());
    if (Result r = CheckResource(path, data); !r) {
        throw PresentError("", kErrDamagedFile, "The file " + path + " is damaged: " + r.Reason());
    }
    return data;
}

Surface PictureFiles::Load(const std::string& fileName) {
    auto found = bytes_.find(fileName);
    if (found == bytes_.end())
        found = bytes_.emplace(fileName, ReadResourceFile(fileName, kMaxPictureBytes)).first;
    const auto& data = found->second;
    SDL_RWops* rw = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
    SDL_Surface* picture = rw != nullptr ? IMG_Load_RW(rw, 1) : nullptr;
    if (picture == nullptr) {
        throw PresentError("", kErrPictureDecode,
                           "Cannot decode the picture file " + fileName + ": " + IMG_GetError());
    }
    try {
        Surface s = Surface::FromSdl(picture);
        SDL_FreeSurface(picture);
        return s;
    } catch (const std::exception& e) {
        SDL_FreeSurface(picture);
        throw PresentError("", kErrPictureDecode,
                           "Cannot convert the picture file " + fileName + ": " + e.what());
    }
}

Display::~Display() { Close(); }

void Display::Open(const DisplayOptions& options) {
    options_ = options;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        throw PresentError(kOpenLabel, kErrVideoInit, SDL_GetError());
    }
    IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");

    // Headless drivers have no desktop anybody sees: a window of the table's
    // own size spares the scaling.
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless =
        driver != nullptr && (std::string(driver) == "dummy" || std::string(driver) == "offscreen");
    const Uint32 windowFlags = options.windowed ? static_cast<Uint32>(SDL_WINDOW_RESIZABLE)
                               : headless       ? 0u
                                                : static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP);
    // Full screen starts as a borderless window over the whole desktop, so
    // that it covers the screen even where no window manager applies the
    // full-screen request.
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED, w = kTableWidth, h = kTableHeight;
    SDL_Rect desktop{};
    if ((windowFlags & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0 && SDL_GetDisplayBounds(0, &desktop) == 0) {
        x = desktop.x;
        y = desktop.y;
        w = desktop.w;
        h = desktop.h;
    }
    window_ =
        SDL_CreateWindow(options.windowed ? kWindowTitle : "", x, y, w, h,
                         windowFlags | (options.windowed ? 0u : static_cast<Uint32>(SDL_WINDOW_BORDERLESS)));
    if (window_ == nullptr) throw PresentError(kOpenLabel, kErrWindow, SDL_GetError());

    // A renderer with vsync where a graphics card draws; without one, a
    // software rasterizer would spend several milliseconds of CPU on every
    // frame scaling the whole table, so the table is then scaled onto the
    // window's own pixels where it changed. A renderer named by the user
    // (SDL_RENDER_DRIVER) is used as it is.
    const char* wanted = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool forced = wanted != nullptr && *wanted != '\0';
    drawOnWindow_ = false;
    if (forced || (!headless && GraphicsDevicePresent())) {
        const Uint32 vsyncFlag = options.uncapped ? 0u : static_cast<Uint32>(SDL_RENDERER_PRESENTVSYNC);
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | vsyncFlag);
        if (renderer_ == nullptr && forced) renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (renderer_ != nullptr && !forced && SoftwareRasterizer(renderer_)) {
            SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
        }
    }
    if (renderer_ != nullptr) {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer_, &info);
        vsync_ = !options.uncapped && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
        CreateTexture();
    } else {
        // The window's pixels straight to the X server, not through a GL texture.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_GetWindowSurface(window_) == nullptr)
            throw PresentError(kOpenLabel, kErrRenderer, SDL_GetError());
        drawOnWindow_ = true;
        vsync_ = false;
    }

    backBuffer = Surface(kTableWidth, kTableHeight);
    shown_ = true;
    quitRequested_ = false;
    nextFrame_ = 0;
    flipsMeasured_ = 0;
    Clear();
}

void Display::CreateTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, kTableWidth,
                                 kTableHeight);
    if (texture_ == nullptr) throw PresentError(kOpenLabel, kErrTexture, SDL_GetError());
}

Surface Display::LoadPicture(const std::string& fileName) {
    try {
        return pictures.Load(fileName);
    } catch (const PresentError& e) {
        throw PresentError(kLoadPictureLabel, e.Number(), e.Description());
    }
}

void Display::ClipToTable() { clip = ClipRect{0, 0, kTableWidth, kTableHeight}; }

void Display::Clear() { backBuffer.Fill(Rect{0, 0, backBuffer.Width(), backBuffer.Height()}, 0); }

Letterbox Display::CurrentLetterbox() const {
    int w = kTableWidth, h = kTableHeight;
    if (renderer_ != nullptr) {
        SDL_GetRendererOutputSize(renderer_, &w, &h);
    } else if (window_ != nullptr) {
        SDL_GetWindowSizeInPixels(window_, &w, &h);
    }
    return FitTable(w, h, kTableWidth, kTableHeight);
}

void Display::Present() {
    if (window_ == nullptr) return;
    Pace(PresentFrame());
}

bool Display::PresentFrame() {
    if (window_ == nullptr) return false;
    if (drawOnWindow_) return PresentOnWindow();
    if (renderer_ == nullptr || texture_ == nullptr) return false;
    if (!mustPresent_ && shownPicture_ == backBuffer.Pixels()) return false;
    shownPicture_ = backBuffer.Pixels();
    mustPresent_ = false;
    SDL_UpdateTexture(texture_, nullptr, backBuffer.Row(0), backBuffer.PitchBytes());
    const Letterbox box = CurrentLetterbox();
    SDL_Rect target{static_cast<int>(std::lround(box.offsetX)), static_cast<int>(std::lround(box.offsetY)),
                    box.width, box.height};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
    return true;
}

bool Display::PresentOnWindow() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return false;
    const Letterbox box = FitTable(surface->w, surface->h, kTableWidth, kTableHeight);
    if (box.width <= 0 || box.height <= 0) return false;
    const bool resized = surface->w != scaledForWidth_ || surface->h != scaledForHeight_;
    if (resized) {
        scaler_.Prepare(kTableWidth, kTableHeight, box.width, box.height);
        scaledForWidth_ = surface->w;
        scaledForHeight_ = surface->h;
    }
    const bool whole = mustPresent_ || resized || shownPicture_.size() != backBuffer.Pixels().size();
    if (whole) {
        shownPicture_ = backBuffer.Pixels();
        changed_.assign(1, Rect{0, 0, kTableWidth, kTableHeight});
    } else {
        ChangedAreas(backBuffer, shownPicture_, changed_, kMaxUpdateRects);
        if (changed_.empty()) return false;
        CopyAreas(backBuffer, changed_, shownPicture_);
    }
    mustPresent_ = false;

    if (whole) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));  // the border
    const int ox = static_cast<int>(std::lround(box.offsetX));
    const int oy = static_cast<int>(std::lround(box.offsetY));
    const SDL_PixelFormat* f = surface->format;
    const bool direct =
        f->BytesPerPixel == 4 && f->Rmask == 0xFF0000u && f->Gmask == 0xFF00u && f->Bmask == 0xFFu;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    auto* origin = static_cast<std::uint8_t*>(surface->pixels) +
                   static_cast<std::ptrdiff_t>(oy) * surface->pitch +
                   static_cast<std::ptrdiff_t>(ox) * f->BytesPerPixel;
    std::array<SDL_Rect, kMaxUpdateRects> updates{};
    int count = 0;
    for (const Rect& area : changed_) {
        const Rect t = whole ? Rect{0, 0, box.width, box.height} : scaler_.Affected(area);
        if (t.right <= t.left || t.bottom <= t.top) continue;
        if (direct) {
            scaler_.Scale(backBuffer, t, reinterpret_cast<std::uint32_t*>(origin), surface->pitch / 4);
        } else {
            const std::size_t need =
                static_cast<std::size_t>(box.width) * static_cast<std::size_t>(box.height);
            if (staging_.size() != need) staging_.assign(need, 0);
            scaler_.Scale(backBuffer, t, staging_.data(), box.width);
            SDL_ConvertPixels(t.right - t.left, t.bottom - t.top, SDL_PIXELFORMAT_RGB888,
                              staging_.data() + static_cast<std::size_t>(t.top) * box.width + t.left,
                              box.width * 4, f->format,
                              origin + static_cast<std::ptrdiff_t>(t.top) * surface->pitch +
                                  static_cast<std::ptrdiff_t>(t.left) * f->BytesPerPixel,
                              surface->pitch);
        }
        updates[static_cast<std::size_t>(count++)] =
            SDL_Rect{ox + t.left, oy + t.top, t.right - t.left, t.bottom - t.top};
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (whole) {
        SDL_UpdateWindowSurface(window_);
    } else if (count > 0) {
        SDL_UpdateWindowSurfaceRects(window_, updates.data(), count);
    }
    return true;
}

std::string Display::Presenter() const {
    if (drawOnWindow_) return "window";
    SDL_RendererInfo info{};
    if (renderer_ == nullptr || SDL_GetRendererInfo(renderer_, &info) != 0) return "";
    return info.name != nullptr ? info.name : "";
}

bool Display::ReadWindow(std::vector<std::uint32_t>& pixels, int& width, int& height) const {
    if (!drawOnWindow_ || window_ == nullptr) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr) return false;
    width = surface->w;
    height = surface->h;
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    const bool ok = SDL_ConvertPixels(width, height, surface->format->format, surface->pixels, surface->pitch,
                                      SDL_PIXELFORMAT_RGB888, pixels.data(), width * 4) == 0;
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return ok;
}

void Display::Pace(bool presented) {
    if (options_.uncapped) return;
    const std::uint64_t now = SDL_GetPerformanceCounter();
    const double freq = static_cast<double>(SDL_GetPerformanceFrequency());
    if (vsync_ && presented) {
        // Watch the first flips: a driver that claims vsync but does not wait
        // would let the game run hundreds of frames a second.
        if (flipsMeasured_ == 0) firstFlip_ = now;
        if (++flipsMeasured_ == kVsyncProbeFlips) {
            const double meanMs = (now - firstFlip_) * 1000.0 / freq / (kVsyncProbeFlips - 1);
            if (meanMs < kNoVsyncBelowMs) vsync_ = false;
        }
        if (vsync_) {
            nextFrame_ = now;  // a frame without a present then waits from here
            return;
        }
    }
    WaitFrame();
}

void Display::WaitFrame() {
    const double freq = static_cast<double>(SDL_GetPerformanceFrequency());
    const auto period = static_cast<std::uint64_t>(freq / kFrameRate);
    std::uint64_t now = SDL_GetPerformanceCounter();
    if (nextFrame_ == 0 || now > nextFrame_ + period) nextFrame_ = now;  // start, or fell behind
    nextFrame_ += period;
    while (now < nextFrame_) {
        const double leftMs = (nextFrame_ - now) * 1000.0 / freq;
        if (leftMs >= 1.5) {
            SDL_Delay(static_cast<Uint32>(leftMs - 0.5));
        } else {
            SDL_Delay(0);
        }
        now = SDL_GetPerformanceCounter();
    }
}

std::uint32_t Display::Ticks() { return SDL_GetTicks(); }

std::vector<int> Display::TakeKeyTaps() { return std::exchange(keyTaps_, {}); }

std::uint32_t Display::TakeButtonTaps() { return std::exchange(buttonTaps_, 0u); }

bool Display::IsShown() const {
    if (window_ == nullptr) return false;
    const Uint32 flags = SDL_GetWindowFlags(window_);
    return shown_ && (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

void Display::PumpEvents() {
    bool repaint = false;
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        switch (e.type) {
            case SDL_QUIT: quitRequested_ = true; break;
            case SDL_KEYDOWN:
                if (e.key.repeat == 0 && keyTaps_.size() < 64) keyTaps_.push_back(e.key.keysym.scancode);
                break;
            case SDL_MOUSEBUTTONDOWN: buttonTaps_ |= SDL_BUTTON(e.button.button); break;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_MINIMIZED:
                    case SDL_WINDOWEVENT_HIDDEN: shown_ = false; break;
                    case SDL_WINDOWEVENT_RESTORED:
                    case SDL_WINDOWEVENT_SHOWN:
                    case SDL_WINDOWEVENT_MAXIMIZED:
                    case SDL_WINDOWEVENT_EXPOSED:
                        shown_ = true;
                        repaint = true;
                        break;
                    case SDL_WINDOWEVENT_SIZE_CHANGED: repaint = true; break;
                    case SDL_WINDOWEVENT_CLOSE: quitRequested_ = true; break;
                    default: break;
                }
                break;
            case SDL_RENDER_DEVICE_RESET:
            case SDL_RENDER_TARGETS_RESET:
                // The texture's memory went with the device; the back buffer did not.
                if (renderer_ != nullptr) CreateTexture();
                repaint = true;
                break;
            default: break;
        }
    }
    // The window shows the last frame again at once: while the game is paused
    // no frame is drawn that would do it.
    if (repaint) {
        mustPresent_ = true;
        if (IsShown()) PresentFrame();
    }
}

bool Display::WaitUntilShown(const std::function<void()>& reload) {
    const bool wasActive = IsShown();
    bool active = wasActive;
    while (!active) {
        PumpEvents();
        if (quitRequested_) return false;
        SDL_Delay(20);
        active = IsShown();
    }
    PumpEvents();
    if (!wasActive) {
        nextFrame_ = 0;
        mustPresent_ = true;
        if (reload) reload();
    }
    return !quitRequested_;
}

void Display::Close() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    drawOnWindow_ = false;
    scaledForWidth_ = scaledForHeight_ = 0;
    backBuffer.Release();
    shownPicture_.clear();
    mustPresent_ = true;
}

void Display::ShowMessageBox(const std::string& text) {
    // Without a usable video driver (headless runs) the box cannot be shown;
    // the text on stderr, which the fatal road writes, is then all there is.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::string(driver) == "dummy") return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kWindowTitle, text.c_str(), nullptr);
}

bool Display::SaveScreenshot(const std::string& fileName) const {
    if (!backBuffer.Valid()) return false;
    SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint16_t*>(backBuffer.Row(0)),
                                                           backBuffer.Width(), backBuffer.Height(), 16,
                                                           backBuffer.PitchBytes(), SDL_PIXELFORMAT_RGB565);
    if (view == nullptr) return false;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(view, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(view);
    if (rgb == nullptr) return false;
    const bool ok = IMG_SavePNG(rgb, fileName.c_str()) == 0;
    SDL_FreeSurface(rgb);
    return ok;
}

}  // namespace tenfold
