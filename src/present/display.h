#pragma once
// The display: one window that shows the table, the back buffer the game
// draws on, the clip rectangle, the presentation with its frame pacing, and
// the recovery after the window was taken away.
//
// The game draws in the table's logical 800 x 600 pixels; the display draws
// each picture at the window's own resolution (the pictures' art made for
// that size), the table centred with the felt around it. A frame's drawing is
// a list of pictures; only where that list changed since the last frame is
// anything drawn and sent to the screen, so a table that waits costs nothing.

#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/layout.h"
#include "present/picture.h"
#include "present/scaler.h"
#include "present/surface.h"
#include "resources/resource_files.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace tenfold {

// A failure of the display, input or picture loading: the reason goes up to
// the game's start or frame, which ends the program on the fatal road with
// Message(): label, CR LF, "Error Number: ", number, CR LF, description.
class PresentError : public std::runtime_error {
public:
    PresentError(std::string label, int number, std::string description);
    const std::string& Label() const { return label_; }
    int Number() const { return number_; }
    const std::string& Description() const { return description_; }
    std::string Message() const { return what(); }

private:
    std::string label_;
    int number_;
    std::string description_;
};

// Error numbers of this layer (the window system gives none of its own).
enum PresentErrorNumber : int {
    kErrVideoInit = 1001,
    kErrWindow = 1002,
    kErrRenderer = 1003,
    kErrTexture = 1004,
    kErrFileRead = 1010,
    kErrPictureDecode = 1011,
    kErrDamagedFile = 1012,
    kErrInputInit = 1020,
    kErrSoundFile = 1030,
};

// Where a point of the window falls on the table, and the table's place in
// the window: the 800 x 600 picture scaled to fit with its aspect kept.
struct Letterbox {
    double scale = 1;
    double offsetX = 0;
    double offsetY = 0;
    int width = 0;  // of the scaled picture, in window pixels
    int height = 0;
};
Letterbox FitTable(int windowWidth, int windowHeight, int tableWidth, int tableHeight);

struct DisplayOptions {
    bool windowed = false;  // a window that can be resized, else desktop full screen
    bool uncapped = false;  // no vsync and no frame pacing
    // The window's size (headless: the back buffer's); 0: 800 x 600 in a
    // window or headless, the desktop's size in full screen.
    int width = 0;
    int height = 0;
    // 0: the table is drawn at the window's resolution. Else it is drawn at
    // this scale of its 800 x 600 pixels and that picture scaled to the window
    // (1: the classic table, enlarged as one picture).
    double fixedScale = 0;
};

// Where the table's logical pixels land on the back buffer: a logical length
// l starts at origin + round(l x scale).
struct TableMapping {
    double scale = 1;
    int originX = 0;
    int originY = 0;
    int X(int logical) const { return originX + static_cast<int>(std::floor(logical * scale + 0.5)); }
    int Y(int logical) const { return originY + static_cast<int>(std::floor(logical * scale + 0.5)); }
    // A length inside a picture drawn at this scale.
    int Length(int logical) const { return static_cast<int>(std::floor(logical * scale + 0.5)); }
};

// Picture files, read and decoded straight from the unpacked resources (in
// memory, or in a folder). The decoded pictures stay in memory (see Picture),
// so a reload after the display came back needs no files: they are gone by then.
class PictureFiles {
public:
    // The resources unpacked into memory, looked in before the disk; nullptr: the disk alone.
    const ResourceFiles* files = nullptr;
    // Reads a picture file, checks its structure (see ReadResourceFile) and
    // decodes it (BMP, or anything SDL_image reads) to RGB565.
    Surface Load(const std::string& fileName);
    // The two halves of Load: the file's checked bytes, and their decoding
    // (failures raise PresentError naming `fileName`).
    std::vector<std::uint8_t> Read(const std::string& fileName) const;
    static Surface Decode(const std::vector<std::uint8_t>& bytes, const std::string& fileName);
    // Whether the file is there (in memory or on disk, ignoring letter case).
    bool Has(const std::string& fileName) const;
};

class Display {
public:
    Display() = default;
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    ~Display();

    Surface backBuffer;  // the window's pixels as the frames draw them
    ClipRect clip;       // in table pixels: every picture drawn is cut to it
    PictureFiles pictures;

    // Opens the window and the back buffer; failures raise the display's label.
    void Open(const DisplayOptions& options);
    // A picture from a file; failures raise "Error in function CreateSurfaceFromFile() ".
    Surface LoadPicture(const std::string& fileName);
    // A picture of the table from its 1x file and, when `largerScale` is not
    // 0, the same art drawn at that scale (the file ScaledFileName names, if
    // the archive has it). Keyed with magenta when `keyed`. Decoded once, here.
    Picture LoadTablePicture(const std::string& fileName, int largerScale, bool keyed);
    // Adds to `picture` (its 1x art already set) the art drawn at
    // `largerScale` for the 1x file `fileName`, when the archive has it; the
    // 1x file itself need not exist (pictures the game makes at 1x). The file
    // is read and checked here; a PNG is decoded when first drawn at a size
    // that needs it (a failure then raises "Error in function
    // CreateSurfaceFromFile() " from the drawing).
    void LoadLargerArt(Picture& picture, const std::string& fileName, int largerScale);
    // The largest scale of the table this display may draw at (the whole
    // desktop, or the headless size), and the art scale that covers it: the
    // smallest of layout::kLargerScales at least as large, 0 when 1x does.
    double LargestScale() const { return largestScale_; }
    int ArtScaleNeeded() const { return ArtScaleFor(largestScale_); }
    // The same before the display opens (the video system is started and
    // stopped again for the desktop's size).
    static double LargestScale(const DisplayOptions& options);
    static int ArtScaleFor(double largestScale);

    // Draws a part of a picture at (x, y), both in table pixels, cut to the
    // clip rectangle as the classic copy cuts it (a whole picture that does
    // not fit is not drawn at all). The picture must live until Present.
    void Draw(const Picture& source, const Rect& part, std::int16_t x, std::int16_t y, bool keyed);
    // Fills a rectangle of the table (cut to the clip rectangle) with one colour.
    void Fill(const Rect& part, std::uint16_t colour);
    // Halves every colour channel under a rectangle of the table (a shade).
    void Shade(const Rect& part);
    // Draws a whole picture as Draw does, each pixel an even mix with `grey`.
    void DrawDimmed(const Picture& source, std::int16_t x, std::int16_t y, std::uint16_t grey);
    // The picture the felt outside the table is made from (the table's cloth,
    // mirrored at the table's edges); nothing: black.
    void SetSurround(const Picture* cloth);
    // Puts this frame's pictures onto the back buffer where they differ from
    // the last frame's; true when any pixel was drawn.
    bool Render();
    // Draws the whole back buffer anew at the next Render (window resized or
    // brought back, pictures reloaded).
    void RedrawAll();
    // The clip rectangle: the whole table.
    void ClipToTable();
    // Colour 0 over the whole back buffer.
    void Clear();
    // Renders, shows what changed, then waits for the next frame when pacing applies.
    void Present();
    // Frames in which something was drawn, since the display opened.
    std::uint64_t ChangedFrames() const { return changedFrames_; }
    // Sleeps until a window event arrives or `timeoutMs` has passed.
    void WaitForEvent(int timeoutMs);
    // Where the table's pixels land on the back buffer, and the table's area there.
    const TableMapping& Mapping() const { return mapping_; }
    Rect TableArea() const;
    // True while the window is on screen (not minimised, not hidden).
    bool IsShown() const;
    // Waits while the window is away, handling window events; when it was
    // away, runs `reload` (every picture and font anew). Returns false when
    // the player closed the window meanwhile.
    bool WaitUntilShown(const std::function<void()>& reload);
    // Lets pending window messages run (close box, minimise, focus).
    void PumpEvents();
    // Keys and mouse buttons pressed since the last call: a tap shorter than a
    // frame is then still seen down in one frame. SDL scancodes and SDL button masks.
    std::vector<int> TakeKeyTaps();
    std::uint32_t TakeButtonTaps();
    // Set by the window's close box; the main loop then ends the game.
    bool QuitRequested() const { return quitRequested_; }
    // Takes the close box's request (the game asks before it leaves a match).
    bool TakeQuitRequest() { return std::exchange(quitRequested_, false); }
    // The window position of the table picture, for the mouse.
    Letterbox CurrentLetterbox() const;
    bool IsOpen() const { return window_ != nullptr; }
    // Releases the window and restores the desktop.
    void Close();
    // Shows a message box with an OK button (nothing without a real display).
    static void ShowMessageBox(const std::string& text);
    // How frames reach the screen: the renderer's name ("opengl", ...), or
    // "window" when the table is scaled onto the window's own pixels because
    // only a software rasterizer (or none) is there.
    std::string Presenter() const;
    // The window's pixels as last shown, as XRGB8888 (only when drawing onto
    // the window's own pixels); false otherwise.
    bool ReadWindow(std::vector<std::uint32_t>& pixels, int& width, int& height) const;
    // Writes what the window shows as a PNG file (the back buffer, when it is
    // the window's size); false on failure.
    bool SaveScreenshot(const std::string& fileName) const;
    // Sleep to the next 1/60 s step; used by frames that do not flip (pause).
    void WaitFrame();
    // Milliseconds since the display layer started (the game's tick count).
    static std::uint32_t Ticks();

private:
    struct Command {
        const Picture* picture = nullptr;  // nullptr: a fill
        std::uint64_t version = 0;
        Rect part;  // of the picture, table pixels, after the clip
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool keyed = false;
        bool shade = false;   // a fill that halves what lies under it
        bool dimmed = false;  // a picture mixed evenly with `colour`
        std::uint16_t colour = 0;
        Rect bounds;  // back-buffer pixels it covers
        bool operator==(const Command& o) const {
            return picture == o.picture && version == o.version && part == o.part && x == o.x && y == o.y &&
                   keyed == o.keyed && shade == o.shade && dimmed == o.dimmed && colour == o.colour;
        }
    };
    Rect BoundsOf(const Command& c) const;
    void Paint(const Command& c, const Rect& area);
    void PaintSurround();
    // Sizes the back buffer and the mapping for the window's current size.
    void FitToWindow();
    void CreateTexture();
    void Pace(bool presented);
    // Shows the back buffer when it changed (or must be shown anyway); false
    // when nothing was sent to the screen.
    bool PresentFrame();
    // Sends the changed parts of the back buffer to the window's own pixels;
    // false when nothing changed.
    bool PresentOnWindow();

    TableMapping mapping_;
    double largestScale_ = 1;
    std::vector<Command> commands_;  // this frame's
    std::vector<Command> drawn_;     // on the back buffer
    const Picture* surround_ = nullptr;
    bool redrawAll_ = true;
    std::vector<Rect> dirty_;  // back-buffer areas drawn anew this frame
    std::uint64_t changedFrames_ = 0;
    int windowWidth_ = 0;  // window pixels the back buffer was made for
    int windowHeight_ = 0;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    DisplayOptions options_;
    bool quitRequested_ = false;
    bool vsync_ = false;           // the renderer blocks on the display's refresh
    bool shown_ = true;            // window not minimised / hidden
    std::uint64_t nextFrame_ = 0;  // performance-counter time of the next paced frame
    std::uint64_t firstFlip_ = 0;
    int flipsMeasured_ = 0;
    // Without a renderer: the back buffer put onto the window's own pixels
    // (scaled when the table is drawn at a fixed scale), only where it
    // changed, so a frame in which one card moves costs little.
    bool drawOnWindow_ = false;
    TableScaler scaler_;
    int scaledForWidth_ = 0;  // window size the scaler was prepared for
    int scaledForHeight_ = 0;
    std::vector<Rect> changed_;
    std::vector<std::uint32_t> staging_;  // for windows whose pixels are not XRGB8888
    std::vector<int> keyTaps_;
    std::uint32_t buttonTaps_ = 0;
    bool mustPresent_ = true;
    bool framePresented_ = false;  // a frame was presented since the display opened
    // The larger art left for its first use is decoded in the background
    // once the first frame is on screen, below the frame thread's priority,
    // so that no later frame stops to decode what it first shows (a frame
    // that comes first decodes it itself, or waits for it).
    void DecodeLaterArtInBackground();
    void StopBackgroundDecoding();
    std::vector<std::weak_ptr<LaterArt>> laterArt_;
    std::thread laterDecoder_;
    std::atomic<bool> stopDecoding_{false};
    std::atomic<bool> decoderDone_{false};
};

// The path itself when it exists, else the same path with each folder and file
// name matched without regard to letter case (resource names come in mixed
// case); the path unchanged when nothing matches.
std::string FindFileIgnoringCase(const std::string& path);

// Reads a picture or sound file (found without regard to letter case; in
// `files` when given and it holds the file, else on disk) and checks its
// structure before any decoder sees it: a missing, oversized or damaged file
// raises PresentError (kErrFileRead or kErrDamagedFile, no label) whose
// description names the file and says what is wrong.
std::vector<std::uint8_t> ReadResourceFile(const std::string& fileName, std::uint64_t limit,
                                           const ResourceFiles* files = nullptr);

}  // namespace tenfold
