#pragma once
// Path helpers of the start-up and the archive browser, kept free of any
// window toolkit so they can be tested alone.

#include <string>
#include <string_view>

namespace tenfold {

// The folder of the running program, ending in "/" (the current folder when
// the system cannot tell): the archive is looked for beside it.
std::string ProgramFolder();

// The text after the last "/", and of that the text after the last "\"; a
// path with neither separator comes back whole. The argument is not changed.
std::string FileNameOf(std::string_view path);

// The (at most) three characters after the last "."; without a ".", the
// first three characters. Offered as the file type when saving an entry.
std::string ShortExtensionOf(std::string_view fileName);

}  // namespace tenfold
