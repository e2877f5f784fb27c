#include "resources/result.h"

#include <cstdio>
#include <cstring>

namespace tenfold {

std::string FieldText(std::string_view field, std::int64_t offset, std::int64_t value) {
    return std::string(field) + " at offset " + std::to_string(offset) + " is " + std::to_string(value);
}

std::string PrintableName(std::string_view name) {
    std::string out;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";  // doubled: the four characters "\x01" never list like the byte 1
        } else if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        }
    }
    return out;
}

std::string ErrnoText(int err) { return std::strerror(err); }

}  // namespace tenfold
