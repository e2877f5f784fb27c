#pragma once
// The files a player keeps between runs: the settings, the saved match and
// the statistics. They live where the desktop's conventions put them (the XDG
// base folders), are written so that a crash or a power cut never leaves half
// a file, and a damaged one is moved aside rather than trusted or deleted:
// the player loses nothing they could still look at, and the game starts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/safe_file.h"

namespace tenfold {

enum class PlayerFolder {
    Config,  // $XDG_CONFIG_HOME/tenfold, default ~/.config/tenfold: settings
    State,   // $XDG_STATE_HOME/tenfold, default ~/.local/state/tenfold: the saved match
    Data,    // $XDG_DATA_HOME/tenfold, default ~/.local/share/tenfold: statistics
};

// The game's folder of that kind, without a trailing "/". A variable that is
// empty or not an absolute path is ignored, as the XDG rules ask; "" when
// neither it nor $HOME gives an absolute path (the caller then keeps nothing).
std::string PlayerFolderPath(PlayerFolder kind);

// Writes `bytes` as the whole new content of `path`: a temporary file in the
// same folder, flushed to disk, renamed over the old file, the folder flushed.
// Missing folders on the way are created (mode 0700: these are private). On
// failure the old file is untouched and no temporary file is left.
Result SaveDurably(const std::string& path, std::string_view bytes);

// Reads a file the player keeps. A missing file is not an error: `missing` is
// set and the result is a success with no bytes. Anything that is not a
// regular file, or larger than `limit`, is an error naming the path.
Result LoadPlayerFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& out,
                      bool& missing);

// Moves a damaged file out of the way to `path` + ".bad" (replacing an older
// one) so the next good save cannot be confused with it. Returns the name it
// now has, or "" when it could not be moved (it is then left as it was).
std::string SetAside(const std::string& path);

}  // namespace tenfold
