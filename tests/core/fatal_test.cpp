#include <gtest/gtest.h>

#include <cstdio>

#include "core/fatal.h"

namespace tenfold {
namespace {

// The fatal road runs every registered clean-up, the last registered first,
// shows the message once and ends the program with status 1.
TEST(FatalDeathTest, RunsTheCleanUpsThenShowsTheMessageAndEnds) {
    EXPECT_EXIT(
        {
            RegisterCleanUp([] { std::fputs("first registered\n", stderr); });
            const CleanUpId withdrawn = RegisterCleanUp([] { std::fputs("withdrawn\n", stderr); });
            RegisterCleanUp([] { std::fputs("last registered\n", stderr); });
            WithdrawCleanUp(withdrawn);
            SetMessageShower([](const std::string& m) { std::fprintf(stderr, "shown: %s\n", m.c_str()); });
            Fatal("the display went away");
        },
        ::testing::ExitedWithCode(1),
        "last registered\nfirst registered\ntenfold: the display went away\nshown: the display went away");
}

TEST(FatalDeathTest, ACleanUpThatFailsFatallyDoesNotRunAgain) {
    EXPECT_EXIT(
        {
            RegisterCleanUp([] { std::fputs("outer\n", stderr); });
            RegisterCleanUp([] { Fatal("the clean-up failed too"); });
            Fatal("first failure");
        },
        ::testing::ExitedWithCode(1), "outer\ntenfold: the clean-up failed too");
}

TEST(Fatal, ErrorTextHasTheLabelNumberAndDescription) {
    EXPECT_EQ(ErrorText("Error in function Open() ", 1001, "no display"),
              "Error in function Open() \r\nError Number: 1001\r\nno display");
}

}  // namespace
}  // namespace tenfold
