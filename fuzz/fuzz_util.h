#pragma once
// Shared by the fuzz targets: a scratch folder for the run, removed at exit,
// and a check that aborts (so the fuzzer records the input) when an
// invariant breaks.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace tenfold::fuzz {

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Kept on the heap and never destroyed: the exit handler still needs it.
inline const std::string& ScratchFolder() {
    static const std::string* folder = [] {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string templ = base + "/tenfold-fuzz-XXXXXX";
        Require(::mkdtemp(templ.data()) != nullptr, "scratch folder");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchFolder(), ec);
        });
        return new std::string(templ);
    }();
    return *folder;
}

}  // namespace tenfold::fuzz
