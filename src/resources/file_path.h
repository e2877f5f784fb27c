#pragma once
// Path helpers of the archive browser, kept free of any window toolkit so they
// can be tested alone.

#include <string>
#include <string_view>

namespace tenfold {

// The text after the last "/", and of that the text after the last "\"; a
// path with neither separator comes back whole. The argument is not changed.
std::string GetFileName(std::string_view StringFilePath);

// The (at most) three characters after the last "."; without a ".", the
// first three characters. Offered as the file type when saving an entry.
std::string GetFileExtension(std::string_view StringFile);

}  // namespace tenfold
