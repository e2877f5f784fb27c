// The display and sound tests run without a screen or a sound card: SDL's
// dummy drivers, unless the caller chose others.
#include <cstdlib>

namespace {
const bool kHeadless = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();
}  // namespace
