#include "present/display.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

#include "core/fatal.h"
#include "resources/resource_check.h"
#include "resources/resource_layout.h"
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

// The size a PNG's header chunk states (the file has passed CheckPng); false
// for any other kind of file.
bool PngSize(const std::vector<std::uint8_t>& b, int& width, int& height) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() < 24 || !std::equal(kSignature, kSignature + 8, b.begin())) return false;
    const auto u32be = [&](std::size_t at) {
        return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
               static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
    };
    const std::uint32_t w = u32be(16), h = u32be(20);
    if (w == 0 || h == 0 || w > 1u << 20 || h > 1u << 20) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
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

std::vector<std::uint8_t> ReadResourceFile(const std::string& fileName, std::uint64_t limit,
                                           const ResourceFiles* files) {
    std::vector<std::uint8_t> data;
    std::string path = fileName;
    if (const std::vector<std::uint8_t>* held = files != nullptr ? files->Find(fileName) : nullptr) {
        if (held->size() > limit) {
            throw PresentError("", kErrFileRead,
                               path + ": " + std::to_string(held->size()) +
                                   " bytes, more than the limit of " + std::to_string(limit));
        }
        data = *held;
    } else {
        path = FindFileIgnoringCase(fileName);
        if (Result r = ReadWholeFile(path, limit, data); !r) throw PresentError("", kErrFileRead, r.Reason());
    }
    if (Result r = CheckResource(path, data); !r) {
        throw PresentError("", kErrDamagedFile, "The file " + path + " is damaged: " + r.Reason());
    }
    return data;
}

bool PictureFiles::Has(const std::string& fileName) const {
    if (files != nullptr && files->Find(fileName) != nullptr) return true;
    std::error_code ec;
    return std::filesystem::exists(FindFileIgnoringCase(fileName), ec);
}

std::vector<std::uint8_t> PictureFiles::Read(const std::string& fileName) const {
    return ReadResourceFile(fileName, kMaxPictureBytes, files);
}

Surface PictureFiles::Decode(const std::vector<std::uint8_t>& bytes, const std::string& fileName) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
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

Surface PictureFiles::Load(const std::string& fileName) { return Decode(Read(fileName), fileName); }

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
    // full-screen request. The request goes with the window's creation: made
    // later, to a window already of the desktop's size, the window system
    // waits its full tenth of a second for a change of size that never comes,
    // and that would stall a frame of the deal.
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED, w = kTableWidth, h = kTableHeight;
    if (options.width > 0 && options.height > 0) {
        w = options.width;
        h = options.height;
    }
    SDL_Rect desktop{};
    const bool haveDesktop = !headless && SDL_GetDisplayBounds(0, &desktop) == 0;
    if ((windowFlags & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0 && haveDesktop) {
        x = desktop.x;
        y = desktop.y;
        w = desktop.w;
        h = desktop.h;
    }
    largestScale_ = LargestScale(options);
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

    shown_ = true;
    framePresented_ = false;
    quitRequested_ = false;
    nextFrame_ = 0;
    flipsMeasured_ = 0;
    windowWidth_ = windowHeight_ = 0;
    FitToWindow();
}

void Display::FitToWindow() {
    int w = kTableWidth, h = kTableHeight;
    if (renderer_ != nullptr) {
        SDL_GetRendererOutputSize(renderer_, &w, &h);
    } else if (window_ != nullptr) {
        SDL_GetWindowSizeInPixels(window_, &w, &h);
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    if (w == windowWidth_ && h == windowHeight_ && backBuffer.Valid()) return;
    windowWidth_ = w;
    windowHeight_ = h;
    int bufferW = w, bufferH = h;
    if (options_.fixedScale > 0) {
        mapping_ = TableMapping{options_.fixedScale, 0, 0};
        bufferW = mapping_.Length(kTableWidth);
        bufferH = mapping_.Length(kTableHeight);
    } else {
        const Letterbox box = FitTable(w, h, kTableWidth, kTableHeight);
        mapping_ = TableMapping{box.scale, static_cast<int>(std::lround(box.offsetX)),
                                static_cast<int>(std::lround(box.offsetY))};
    }
    if (backBuffer.Width() != bufferW || backBuffer.Height() != bufferH) {
        backBuffer = Surface(bufferW, bufferH);
        if (renderer_ != nullptr) CreateTexture();
    }
    scaledForWidth_ = scaledForHeight_ = 0;
    RedrawAll();
}

double Display::LargestScale(const DisplayOptions& options) {
    if (options.fixedScale > 0) return options.fixedScale;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 1;
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool headless =
        driver != nullptr && (std::string(driver) == "dummy" || std::string(driver) == "offscreen");
    int w = kTableWidth, h = kTableHeight;
    if (options.width > 0 && options.height > 0) {
        w = options.width;
        h = options.height;
    }
    // The window may grow to the desktop; headless, it keeps its size.
    SDL_Rect desktop{};
    if (!headless && SDL_GetDisplayBounds(0, &desktop) == 0) {
        w = std::max(w, desktop.w);
        h = std::max(h, desktop.h);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return FitTable(w, h, kTableWidth, kTableHeight).scale;
}

int Display::ArtScaleFor(double largestScale) {
    if (largestScale <= 1.0) return 0;
    for (const int scale : layout::kLargerScales) {
        if (scale >= largestScale) return scale;
    }
    return layout::kLargerScales.back();
}

Picture Display::LoadTablePicture(const std::string& fileName, int largerScale, bool keyed) {
    Picture picture(LoadPicture(fileName));
    if (keyed) picture.SetColorKeyMode(2);
    LoadLargerArt(picture, fileName, largerScale);
    return picture;
}

void Display::LoadLargerArt(Picture& picture, const std::string& fileName, int largerScale) {
    if (largerScale <= 1) return;
    const std::size_t slash = fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : fileName.substr(0, slash + 1);
    const std::string larger =
        folder + layout::ScaledFileName(slash == std::string::npos ? fileName : fileName.substr(slash + 1),
                                        largerScale);
    // An archive without art for large screens still plays: the 1x art is then scaled up.
    if (!pictures.Has(larger)) return;
    try {
        std::vector<std::uint8_t> bytes = pictures.Read(larger);  // checked here, at start
        int width = 0, height = 0;
        if (!PngSize(bytes, width, height)) {
            picture.SetLarger(largerScale, PictureFiles::Decode(bytes, larger));
            return;
        }
        // A PNG (all but the cloth) is decoded when a screen first shows it:
        // the start decodes only what the first frame needs. Its checks,
        // checksums included, have passed, so the decoder has sound data.
        picture.SetLargerLater(largerScale, width, height, [bytes = std::move(bytes), larger, width, height] {
            try {
                Surface art = PictureFiles::Decode(bytes, larger);
                if (art.Width() != width || art.Height() != height) {
                    throw PresentError(
                        "", kErrPictureDecode,
                        "The picture file " + larger + " decoded to another size than it states");
                }
                return art;
            } catch (const PresentError& e) {
                throw PresentError(kLoadPictureLabel, e.Number(), e.Description());
            }
        });
        // Made ready for the scale the table is drawn at now, pixels included.
        const int drawWidth = std::max(1, static_cast<int>(std::lround(picture.Width() * mapping_.scale)));
        const int drawHeight = std::max(1, static_cast<int>(std::lround(picture.Height() * mapping_.scale)));
        picture.WaitingArt()->AlsoScaleTo(drawWidth, drawHeight, picture.OneX().HasColorKey(),
                                          picture.OneX().ColorKey());
        laterArt_.push_back(picture.WaitingArt());
    } catch (const PresentError& e) {
        throw PresentError(kLoadPictureLabel, e.Number(), e.Description());
    } catch (const std::invalid_argument& e) {
        throw PresentError(kLoadPictureLabel, kErrDamagedFile,
                           "The file " + larger + " does not match " + fileName + ": " + e.what());
    }
}

void Display::CreateTexture() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                 backBuffer.Width(), backBuffer.Height());
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

void Display::Clear() {
    backBuffer.Fill(Rect{0, 0, backBuffer.Width(), backBuffer.Height()}, 0);
    RedrawAll();
}

Rect Display::TableArea() const {
    return Rect{mapping_.originX, mapping_.originY, mapping_.originX + mapping_.Length(kTableWidth),
                mapping_.originY + mapping_.Length(kTableHeight)};
}

void Display::RedrawAll() {
    redrawAll_ = true;
    mustPresent_ = true;
}

void Display::SetSurround(const Picture* cloth) {
    surround_ = cloth;
    RedrawAll();
}

void Display::Draw(const Picture& source, const Rect& part, std::int16_t x16, std::int16_t y16, bool keyed) {
    // The classic copy's cut (see DrawClipped) and refusal (see CopyRect), in table pixels.
    Rect r = part;
    std::int32_t x = x16, y = y16;
    if (!CutToClip(clip, r, x, y)) return;
    if (r == kWholePicture) r = Rect{0, 0, source.Width(), source.Height()};
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    if (r.left < 0 || r.top < 0 || r.right > source.Width() || r.bottom > source.Height()) return;
    if (x < 0 || y < 0 || x + w > kTableWidth || y + h > kTableHeight) return;
    Command c;
    c.picture = &source;
    c.version = source.Version();
    c.part = r;
    c.x = x;
    c.y = y;
    c.keyed = keyed;
    commands_.push_back(c);
}

void Display::Shade(const Rect& part) {
    const std::size_t before = commands_.size();
    Fill(part, 0);
    if (commands_.size() > before) commands_.back().shade = true;
}

void Display::DrawDimmed(const Picture& source, std::int16_t x, std::int16_t y, std::uint16_t grey) {
    const std::size_t before = commands_.size();
    Draw(source, kWholePicture, x, y, true);
    if (commands_.size() > before) {
        commands_.back().dimmed = true;
        commands_.back().colour = grey;
    }
}

void Display::Fill(const Rect& part, std::uint16_t colour) {
    Rect r{std::max(part.left, clip.left), std::max(part.top, clip.top), std::min(part.right, clip.right),
           std::min(part.bottom, clip.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) return;
    Command c;
    c.part = r;
    c.colour = colour;
    commands_.push_back(c);
}

namespace {
Rect Intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
Rect Union(const Rect& a, const Rect& b) {
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
// Areas drawn anew in one frame; more are merged into one.
constexpr std::size_t kMaxDirtyAreas = 8;
}  // namespace

namespace {
// Half of each colour channel: two such halves added make an even mix.
constexpr std::uint16_t Half(std::uint16_t p) { return static_cast<std::uint16_t>((p >> 1) & 0x7BEF); }
}  // namespace

void Display::Paint(const Command& c, const Rect& area) {
    if (c.picture == nullptr) {
        const Rect r = Intersect(c.bounds, area);
        if (!c.shade) {
            backBuffer.Fill(r, c.colour);
            return;
        }
        for (int y = r.top; y < r.bottom; ++y) {
            std::uint16_t* row = backBuffer.Row(y);
            for (int x = r.left; x < r.right; ++x) row[x] = Half(row[x]);
        }
        return;
    }
    const Surface& source = c.picture->At(mapping_.scale);
    const int sx = mapping_.Length(c.part.left), sy = mapping_.Length(c.part.top);
    Rect target = Intersect(c.bounds, area);
    target.right = std::min(target.right, c.bounds.left + source.Width() - sx);
    target.bottom = std::min(target.bottom, c.bounds.top + source.Height() - sy);
    if (IsEmpty(target)) return;
    const int left = sx + (target.left - c.bounds.left);
    const int right = left + (target.right - target.left);
    const bool keyed = c.keyed && source.HasColorKey();
    for (int y = target.top; y < target.bottom; ++y) {
        const int row = sy + (y - c.bounds.top);
        const std::uint16_t* from = source.Row(row);
        std::uint16_t* to = backBuffer.Row(y) + target.left - left;
        if (!keyed) {
            std::memcpy(to + left, from + left, static_cast<std::size_t>(right - left) * 2);
            continue;
        }
        const Surface::Span* span = nullptr;
        const Surface::Span* end = nullptr;
        source.RowSpans(row, span, end);
        for (; span != end; ++span) {
            const int b = std::max(span->begin, left), e = std::min(span->end, right);
            if (b >= e) continue;
            if (!c.dimmed) {
                std::memcpy(to + b, from + b, static_cast<std::size_t>(e - b) * 2);
            } else {
                for (int i = b; i < e; ++i)
                    to[i] = static_cast<std::uint16_t>(Half(from[i]) + Half(c.colour));
            }
        }
    }
}

void Display::PaintSurround() {
    const Rect table = TableArea();
    const int w = backBuffer.Width(), h = backBuffer.Height();
    if (table.left <= 0 && table.top <= 0 && table.right >= w && table.bottom >= h) return;
    const Surface* cloth =
        surround_ != nullptr && surround_->Valid() ? &surround_->At(mapping_.scale) : nullptr;
    const int tw = table.right - table.left, th = table.bottom - table.top;
    if (cloth == nullptr || cloth->Width() < tw || cloth->Height() < th || tw <= 0 || th <= 0) {
        for (const Rect& r :
             {Rect{0, 0, w, table.top}, Rect{0, table.bottom, w, h},
              Rect{0, table.top, table.left, table.bottom}, Rect{table.right, table.top, w, table.bottom}})
            backBuffer.Fill(r, 0);
        return;
    }
    // The cloth mirrored at the table's edges, so its grain and light run on
    // without a seam.
    const auto mirror = [](int p, int begin, int size) {
        int u = p - begin;
        const int period = 2 * size;
        u %= period;
        if (u < 0) u += period;
        return u < size ? u : period - 1 - u;
    };
    for (int y = 0; y < h; ++y) {
        const bool inside = y >= table.top && y < table.bottom;
        const std::uint16_t* from = cloth->Row(mirror(y, table.top, th));
        std::uint16_t* to = backBuffer.Row(y);
        for (int x = 0; x < w; ++x) {
            if (inside && x == table.left) x = table.right;
            if (x >= w) break;
            to[x] = from[mirror(x, table.left, tw)];
        }
    }
}

Rect Display::BoundsOf(const Command& c) const {
    if (c.picture == nullptr) {
        return Rect{mapping_.X(c.part.left), mapping_.Y(c.part.top), mapping_.X(c.part.right),
                    mapping_.Y(c.part.bottom)};
    }
    const int px = mapping_.X(c.x), py = mapping_.Y(c.y);
    return Rect{px, py, px + mapping_.Length(c.part.right) - mapping_.Length(c.part.left),
                py + mapping_.Length(c.part.bottom) - mapping_.Length(c.part.top)};
}

bool Display::Render() {
    dirty_.clear();
    if (!backBuffer.Valid()) {
        commands_.clear();
        return false;
    }
    // Where each picture lands, by the mapping of now: the window may have
    // changed size since it was recorded (a resize redraws everything).
    for (Command& c : commands_) c.bounds = BoundsOf(c);
    const Rect table = Intersect(TableArea(), Rect{0, 0, backBuffer.Width(), backBuffer.Height()});
    if (redrawAll_) {
        PaintSurround();
        dirty_.push_back(table);
    } else {
        const std::size_t n = std::max(commands_.size(), drawn_.size());
        for (std::size_t i = 0; i < n; ++i) {
            const bool inNow = i < commands_.size(), inShown = i < drawn_.size();
            if (inNow && inShown && commands_[i] == drawn_[i]) continue;
            for (const Rect* r :
                 {inNow ? &commands_[i].bounds : nullptr, inShown ? &drawn_[i].bounds : nullptr}) {
                if (r == nullptr) continue;
                const Rect cut = Intersect(*r, table);
                if (IsEmpty(cut)) continue;
                // Joined to an area it touches, else an area of its own.
                bool joined = false;
                for (Rect& d : dirty_) {
                    if (!IsEmpty(Intersect(Rect{d.left - 1, d.top - 1, d.right + 1, d.bottom + 1}, cut))) {
                        d = Union(d, cut);
                        joined = true;
                        break;
                    }
                }
                if (!joined) dirty_.push_back(cut);
            }
        }
        if (dirty_.size() > kMaxDirtyAreas) {
            Rect all = dirty_.front();
            for (const Rect& d : dirty_) all = Union(all, d);
            dirty_.assign(1, all);
        }
    }
    const bool changed = redrawAll_ || !dirty_.empty();
    for (const Rect& area : dirty_) {
        if (IsEmpty(area)) continue;
        for (const Command& c : commands_) {
            const Rect cut = Intersect(c.bounds, area);
            if (!IsEmpty(cut)) Paint(c, cut);
        }
    }
    if (redrawAll_) dirty_.assign(1, Rect{0, 0, backBuffer.Width(), backBuffer.Height()});
    redrawAll_ = false;
    drawn_.swap(commands_);
    commands_.clear();
    if (changed) ++changedFrames_;
    return changed;
}

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
    Render();
    Pace(PresentFrame());
    framePresented_ = true;
}

bool Display::PresentFrame() {
    if (window_ == nullptr) return false;
    if (drawOnWindow_) return PresentOnWindow();
    if (renderer_ == nullptr || texture_ == nullptr) return false;
    if (!mustPresent_ && dirty_.empty()) return false;
    if (mustPresent_) {
        SDL_UpdateTexture(texture_, nullptr, backBuffer.Row(0), backBuffer.PitchBytes());
    } else {
        for (const Rect& r : dirty_) {
            const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
            SDL_UpdateTexture(texture_, &area, backBuffer.Row(r.top) + r.left, backBuffer.PitchBytes());
        }
    }
    dirty_.clear();
    mustPresent_ = false;
    const Letterbox box = CurrentLetterbox();
    SDL_Rect target{static_cast<int>(std::lround(box.offsetX)), static_cast<int>(std::lround(box.offsetY)),
                    box.width, box.height};
    const bool whole = backBuffer.Width() == windowWidth_ && backBuffer.Height() == windowHeight_;
    // The felt's mean tone around a table enlarged as one picture.
    SDL_SetRenderDrawColor(renderer_, 28, 98, 52, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, whole ? nullptr : &target);
    SDL_RenderPresent(renderer_);
    return true;
}

bool Display::PresentOnWindow() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr || surface->w <= 0 || surface->h <= 0) return false;
    if (!mustPresent_ && dirty_.empty()) return false;
    const SDL_PixelFormat* f = surface->format;
    const bool direct =
        f->BytesPerPixel == 4 && f->Rmask == 0xFF0000u && f->Gmask == 0xFF00u && f->Bmask == 0xFFu;
    const bool oneToOne = surface->w == backBuffer.Width() && surface->h == backBuffer.Height();
    const bool whole = mustPresent_;
    std::array<SDL_Rect, kMaxUpdateRects> updates{};
    int count = 0;
    if (oneToOne) {
        // The back buffer is the window: its changed areas are converted as they are.
        if (whole) dirty_.assign(1, Rect{0, 0, backBuffer.Width(), backBuffer.Height()});
        if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
        for (const Rect& r : dirty_) {
            const int w = r.right - r.left;
            if (w <= 0 || r.bottom <= r.top) continue;
            for (int y = r.top; y < r.bottom; ++y) {
                const std::uint16_t* from = backBuffer.Row(y) + r.left;
                auto* line = static_cast<std::uint8_t*>(surface->pixels) +
                             static_cast<std::ptrdiff_t>(y) * surface->pitch;
                if (direct) {
                    auto* to = reinterpret_cast<std::uint32_t*>(line) + r.left;
                    for (int x = 0; x < w; ++x) to[x] = Xrgb8888From565(from[x]);
                } else {
                    SDL_ConvertPixels(w, 1, SDL_PIXELFORMAT_RGB565, from, w * 2, f->format,
                                      line + static_cast<std::ptrdiff_t>(r.left) * f->BytesPerPixel,
                                      surface->pitch);
                }
            }
            if (count < static_cast<int>(kMaxUpdateRects))
                updates[static_cast<std::size_t>(count++)] = SDL_Rect{r.left, r.top, w, r.bottom - r.top};
        }
        if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
        dirty_.clear();
        mustPresent_ = false;
        if (whole || count == static_cast<int>(kMaxUpdateRects)) {
            SDL_UpdateWindowSurface(window_);
        } else if (count > 0) {
            SDL_UpdateWindowSurfaceRects(window_, updates.data(), count);
        }
        return true;
    }

    // A table drawn at a fixed scale, enlarged onto the window as one picture.
    const Letterbox box = FitTable(surface->w, surface->h, backBuffer.Width(), backBuffer.Height());
    if (box.width <= 0 || box.height <= 0) return false;
    const bool resized = surface->w != scaledForWidth_ || surface->h != scaledForHeight_;
    if (resized) {
        scaler_.Prepare(backBuffer.Width(), backBuffer.Height(), box.width, box.height);
        scaledForWidth_ = surface->w;
        scaledForHeight_ = surface->h;
    }
    const bool all = whole || resized;
    if (all) {
        changed_.assign(1, Rect{0, 0, backBuffer.Width(), backBuffer.Height()});
    } else {
        changed_ = dirty_;
    }
    dirty_.clear();
    mustPresent_ = false;

    if (all) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 28, 98, 52));  // the felt's tone
    const int ox = static_cast<int>(std::lround(box.offsetX));
    const int oy = static_cast<int>(std::lround(box.offsetY));
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    auto* origin = static_cast<std::uint8_t*>(surface->pixels) +
                   static_cast<std::ptrdiff_t>(oy) * surface->pitch +
                   static_cast<std::ptrdiff_t>(ox) * f->BytesPerPixel;
    for (const Rect& area : changed_) {
        const Rect t = all ? Rect{0, 0, box.width, box.height} : scaler_.Affected(area);
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
        if (count < static_cast<int>(kMaxUpdateRects))
            updates[static_cast<std::size_t>(count++)] =
                SDL_Rect{ox + t.left, oy + t.top, t.right - t.left, t.bottom - t.top};
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (all || count == static_cast<int>(kMaxUpdateRects)) {
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

void Display::WaitForEvent(int timeoutMs) {
    if (timeoutMs <= 0) return;
    // Without taking the event: PumpEvents reads it in the next frame.
    SDL_WaitEventTimeout(nullptr, timeoutMs);
}

std::vector<int> Display::TakeKeyTaps() { return std::exchange(keyTaps_, {}); }

std::uint32_t Display::TakeButtonTaps() { return std::exchange(buttonTaps_, 0u); }

bool Display::IsShown() const {
    if (window_ == nullptr) return false;
    const Uint32 flags = SDL_GetWindowFlags(window_);
    return shown_ && (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

void Display::PumpEvents() {
    if (framePresented_ && !laterArt_.empty()) DecodeLaterArtInBackground();
    bool repaint = false;
    bool resized = false;
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
                    case SDL_WINDOWEVENT_SIZE_CHANGED:
                        resized = true;
                        repaint = true;
                        break;
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
    // no frame is drawn that would do it. A new size draws the last frame's
    // pictures anew at the new resolution. Before the first frame there is
    // nothing to show again: the first frame draws and sends the whole window.
    if (resized && window_ != nullptr) {
        FitToWindow();
        if (commands_.empty()) commands_ = drawn_;
        if (framePresented_) Render();
    }
    if (repaint) {
        mustPresent_ = true;
        if (IsShown() && framePresented_) PresentFrame();
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

void Display::DecodeLaterArtInBackground() {
    if (laterDecoder_.joinable()) {
        if (!decoderDone_.load()) return;  // the art loaded meanwhile waits for the next round
        laterDecoder_.join();
    }
    stopDecoding_ = false;
    decoderDone_ = false;
    laterDecoder_ = std::thread([this, work = std::exchange(laterArt_, {})] {
        // Niced alone (a thread's own priority on Linux): the frames keep their pace.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
        for (const std::weak_ptr<LaterArt>& waiting : work) {
            if (stopDecoding_.load()) break;
            // A picture released meanwhile is not decoded for nobody.
            if (const std::shared_ptr<LaterArt> art = waiting.lock()) art->Decode();
        }
        decoderDone_ = true;
    });
}

void Display::StopBackgroundDecoding() {
    stopDecoding_ = true;
    if (laterDecoder_.joinable()) laterDecoder_.join();
    laterArt_.clear();
}

void Display::Close() {
    StopBackgroundDecoding();
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    drawOnWindow_ = false;
    scaledForWidth_ = scaledForHeight_ = 0;
    backBuffer.Release();
    commands_.clear();
    drawn_.clear();
    dirty_.clear();
    surround_ = nullptr;
    RedrawAll();
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
    std::vector<std::uint32_t> window;
    int w = 0, h = 0;
    if ((backBuffer.Width() != windowWidth_ || backBuffer.Height() != windowHeight_) &&
        ReadWindow(window, w, h)) {
        // A table enlarged as one picture: what the window shows.
        SDL_Surface* view =
            SDL_CreateRGBSurfaceWithFormatFrom(window.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGB888);
        if (view == nullptr) return false;
        SDL_Surface* rgb = SDL_ConvertSurfaceFormat(view, SDL_PIXELFORMAT_RGB24, 0);
        SDL_FreeSurface(view);
        if (rgb == nullptr) return false;
        const bool ok = IMG_SavePNG(rgb, fileName.c_str()) == 0;
        SDL_FreeSurface(rgb);
        return ok;
    }
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
