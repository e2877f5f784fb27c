#pragma once
// The private folder a run unpacks its resources into: made fresh for the
// run alone (never the program's own folder, which may be read-only and is
// shared by every running game), marked as the run's by a lock held for as
// long as it lives, and swept away at a later start when its run died
// without removing it.

#include <cstdint>
#include <string>
#include <string_view>

#include "resources/result.h"

namespace tenfold {

// Folder below which the private folder is made: $XDG_RUNTIME_DIR when it
// names an existing folder this process can write in, else $TMPDIR on the
// same terms, else "/tmp".
std::string DefaultUnpackParent();

// Private folders are named this and six random letters or digits (with a
// "." in front while they are being set up)...
inline constexpr std::string_view kFolderPrefix = "tenfold-";
// ...and each holds this file, locked for as long as the run that made the
// folder lives.
inline constexpr std::string_view kLockFile = ".lock";
// A folder of ours without a lock file is taken as abandoned once it is this
// many seconds old (a run locks its folder right after making it).
inline constexpr std::int64_t kLocklessAge = 600;

// Makes a private folder (mode 0700) below `parent` and locks it before it
// takes its own name; `folder` is its path and `lockFd` the lock to hold
// (closing it lets the lock go). On failure nothing is left made.
Result MakePrivateFolder(const std::string& parent, std::string& folder, int& lockFd);

// Removes from `parent` the private folders of runs that no longer hold
// their lock (ended without cleaning up, for instance killed with SIGKILL),
// never a folder whose run still lives, nor anything of another user's.
void RemoveAbandonedFolders(const std::string& parent);

}  // namespace tenfold
