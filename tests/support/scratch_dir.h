#pragma once
// A fresh folder of its own for a test, removed with everything in it when
// the test is done.

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tenfold::test {

class ScratchDir {
public:
    ScratchDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "tenfold-test-XXXXXX").string();
        if (::mkdtemp(templ.data()) == nullptr) std::abort();
        path_ = templ;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string operator/(const std::string& rel) const { return (path_ / rel).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace tenfold::test
