#pragma once
// How the resources code reports a failure: every operation that can fail
// returns a Result, whose reason names the file and, where one is to blame,
// the field and its offset, in words a player can act on. The caller decides
// what to do with it: show it, add what it knows in front, or end the
// program through the one fatal road (core/fatal.h).

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tenfold {

class [[nodiscard]] Result {
public:
    // Success.
    Result() = default;
    static Result Fail(std::string reason) { return Result(std::move(reason)); }

    bool Ok() const { return !failed_; }
    explicit operator bool() const { return Ok(); }
    // Why it failed; "" after a success.
    const std::string& Reason() const { return reason_; }

    // The same failure with what the caller knows in front ("archive.pak: ",
    // "entry 3 \"X\": "); a success stays a success.
    Result Within(std::string_view context) && {
        if (failed_) reason_.insert(0, context);
        return std::move(*this);
    }

private:
    explicit Result(std::string reason) : reason_(std::move(reason)), failed_(true) {}
    std::string reason_;
    bool failed_ = false;
};

// The words of a reason. "width at offset 18 is 0": a field, where it lies
// in the file and the value found there.
std::string FieldText(std::string_view field, std::int64_t offset, std::int64_t value);
// A name as it may appear in a message: bytes outside printable ASCII become
// \xNN and a backslash becomes \\, so two different names never read alike.
std::string PrintableName(std::string_view name);
// The system's text for an errno value.
std::string ErrnoText(int err);

}  // namespace tenfold

// Returns the failure `reason` from the enclosing function (which returns a
// Result) when `failed` holds, so that a check of a field against the file
// reads as one line. `reason` is only built when the check fails.
#define BAIL_IF(failed, reason)                             \
    do {                                                    \
        if (failed) return ::tenfold::Result::Fail(reason); \
    } while (false)

// Returns the Result of `expr` from the enclosing function when it failed.
#define BAIL_IF_FAILED(expr)                                        \
    do {                                                            \
        if (::tenfold::Result bail_ = (expr); !bail_) return bail_; \
    } while (false)
