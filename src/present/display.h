#pragma once
// The display: one window that shows the 800 x 600 table, the back buffer the
// game draws on, the clip rectangle, the presentation with its frame pacing,
// and the recovery after the window was taken away.

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/layout.h"
#include "present/scaler.h"
#include "present/surface.h"

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
    bool windowed = false;  // an 800 x 600 window that can be resized, else desktop full screen
    bool uncapped = false;  // no vsync and no frame pacing
};

// Decoded pictures are read through this cache, so a reload after the display
// came back does not need the resource folders, which are gone by then.
class PictureFiles {
public:
    // Reads a picture file, checks its structure (see ReadResourceFile) and
    // decodes it (BMP, or anything SDL_image reads) to RGB565.
    Surface Load(const std::string& fileName);

private:
    std::map<std::string, std::vector<std::uint8_t>> bytes_;
};

class Display {
public:
    Display() = default;
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
    ~Display();

    Surface backBuffer;  // the table as this frame draws it
    ClipRect clip;       // every picture drawn onto the back buffer is cut to it
    PictureFiles pictures;

    // Opens the window and the back buffer; failures raise the display's label.
    void Open(const DisplayOptions& options);
    // A picture from a file; failures raise "Error in function CreateSurfaceFromFile() ".
    Surface LoadPicture(const std::string& fileName);
    // Draws a part of a picture onto the back buffer at (x, y), cut to the clip rectangle.
    void Draw(const Surface& source, const Rect& part, std::int16_t x, std::int16_t y, bool keyed) {
        DrawClipped(clip, source, backBuffer, part, x, y, keyed);
    }
    // The clip rectangle: the whole table.
    void ClipToTable();
    // Colour 0 over the whole back buffer.
    void Clear();
    // Shows the back buffer, then waits for the next frame when pacing applies.
    void Present();
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
    // Writes the back buffer as a PNG file; false on failure.
    bool SaveScreenshot(const std::string& fileName) const;
    // Sleep to the next 1/60 s step; used by frames that do not flip (pause).
    void WaitFrame();
    // Milliseconds since the display layer started (the game's tick count).
    static std::uint32_t Ticks();

private:
    void CreateTexture();
    void Pace(bool presented);
    // Shows the back buffer when it changed (or must be shown anyway); false
    // when nothing was sent to the screen.
    bool PresentFrame();
    // Sends the changed parts of the back buffer to the window's own pixels;
    // false when nothing changed.
    bool PresentOnWindow();

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
    // The picture last shown: an unchanged frame (a player thinking, a delay)
    // is not sent to the screen again, unless the window needs repainting.
    std::vector<std::uint16_t> shownPicture_;
    // Without a renderer: the table scaled onto the window's own pixels, only
    // where it changed, so a frame in which one card moves costs little.
    bool drawOnWindow_ = false;
    TableScaler scaler_;
    int scaledForWidth_ = 0;  // window size the scaler was prepared for
    int scaledForHeight_ = 0;
    std::vector<Rect> changed_;
    std::vector<std::uint32_t> staging_;  // for windows whose pixels are not XRGB8888
    std::vector<int> keyTaps_;
    std::uint32_t buttonTaps_ = 0;
    bool mustPresent_ = true;
};

// The path itself when it exists, else the same path with each folder and file
// name matched without regard to letter case (resource names come in mixed
// case); the path unchanged when nothing matches.
std::string FindFileIgnoringCase(const std::string& path);

// Reads a picture or sound file (found without regard to letter case) and
// checks its structure before any decoder sees it: a missing, oversized or
// damaged file raises PresentError (kErrFileRead or kErrDamagedFile, no label)
// whose description names the file and says what is wrong.
std::vector<std::uint8_t> ReadResourceFile(const std::string& fileName, std::uint64_t limit);

}  // namespace tenfold
