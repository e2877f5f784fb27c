#pragma once
// What the picture and sound checks share: reading the fields of a file
// already known to be long enough, and the reason for a side out of range.
// Internal to the resource checks.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "resources/result.h"

namespace tenfold::check {

using Bytes = std::span<const std::uint8_t>;

inline std::uint32_t U16Le(Bytes b, std::size_t at) {
    return b[at] | (static_cast<std::uint32_t>(b[at + 1]) << 8);
}
inline std::uint32_t U32Le(Bytes b, std::size_t at) { return U16Le(b, at) | (U16Le(b, at + 2) << 16); }
inline std::int64_t S32Le(Bytes b, std::size_t at) { return static_cast<std::int32_t>(U32Le(b, at)); }
inline std::uint32_t U16Be(Bytes b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 8) | b[at + 1];
}

// A picture's width or height: 1 up to the limit.
inline Result CheckSide(std::string_view name, std::size_t at, std::int64_t value, std::int64_t limit) {
    BAIL_IF(value < 1 || value > limit,
            FieldText(name, static_cast<std::int64_t>(at), value) + ", outside 1.." + std::to_string(limit));
    return {};
}

}  // namespace tenfold::check
