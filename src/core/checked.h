#pragma once
// Bounds-checked arrays and range-checked integer narrowing. The game's rules
// index many small tables with computed numbers; a bad index or an overflow
// must stop with an error, never read a neighbour or wrap around silently.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

namespace tenfold {

// A fixed-size array whose subscript is always checked, whatever the build type.
template <class T, std::size_t N>
struct Array {
    std::array<T, N> items{};

    template <class I>
    constexpr T& operator[](I index) {
        return items[Check(static_cast<long long>(index))];
    }
    template <class I>
    constexpr const T& operator[](I index) const {
        return items[Check(static_cast<long long>(index))];
    }
    static constexpr std::size_t size() { return N; }
    constexpr auto begin() { return items.begin(); }
    constexpr auto end() { return items.end(); }
    constexpr auto begin() const { return items.begin(); }
    constexpr auto end() const { return items.end(); }
    constexpr void fill(const T& value) { items.fill(value); }
    // The first `count` items, the count checked once: a loop over a pile's
    // used part then needs no check per item.
    template <class I>
    constexpr std::span<const T> First(I count) const {
        const auto n = static_cast<long long>(count);
        if (n == 0) return {};
        return std::span<const T>(items).first(Check(n - 1) + 1);
    }
    friend constexpr bool operator==(const Array&, const Array&) = default;

private:
    static constexpr std::size_t Check(long long index) {
        if (index < 0 || index >= static_cast<long long>(N)) {
            throw std::out_of_range("index " + std::to_string(index) + " outside 0.." +
                                    std::to_string(N - 1));
        }
        return static_cast<std::size_t>(index);
    }
};

// Converts to a narrower integer type, throwing when the value does not fit.
template <class To, class From>
constexpr To Narrow(From value) {
    static_assert(std::numeric_limits<To>::is_integer && std::numeric_limits<From>::is_integer);
    if (!std::in_range<To>(value)) {
        throw std::overflow_error("value " + std::to_string(value) + " does not fit its variable");
    }
    return static_cast<To>(value);
}

}  // namespace tenfold
