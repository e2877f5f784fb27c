#pragma once
// Shared pieces of the dialog tests: the window system is started once per
// test process, and pending events are run until the screen has caught up.

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <typeinfo>

#include "resources/message_box.h"

namespace tenfold::test {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitDialogs()) << "no display: run under Xvfb"; }
};

// How long a test waits for the window system. Generous: the first start of
// the toolkit on a new machine, or a machine busy with other tests, is slow;
// a test that works never waits this long.
inline constexpr std::chrono::seconds kWindowDeadline{120};

// Runs the main loop until `done` holds or the deadline passed; returns `done`.
inline bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kWindowDeadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        // Leave the processor to the X server while there is nothing to do.
        if (!Gtk::Main::events_pending()) g_usleep(1000);
        Gtk::Main::iteration(false);
    }
    return true;
}

// The top-level window of the given type that is currently shown, if any.
template <class W>
W* ShownWindow() {
    for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
        if (auto* typed = dynamic_cast<W*>(w); typed != nullptr && typed->get_visible()) return typed;
    }
    return nullptr;
}

// Calls `act` with the window of type W as soon as one is shown, from inside
// the loop that shows it (a message box or a file chooser runs its own modal
// loop, which a test cannot step from outside). Polls for the window rather
// than guessing when it appears. When none appears by the deadline the test
// process ends failed: the modal loop it waits in would never return.
template <class W>
void WhenShown(std::function<void(W&)> act) {
    const auto end = std::chrono::steady_clock::now() + kWindowDeadline;
    Glib::signal_timeout().connect(
        [act = std::move(act), end] {
            if (W* w = ShownWindow<W>()) {
                act(*w);
                return false;
            }
            if (std::chrono::steady_clock::now() < end) return true;
            ADD_FAILURE() << "no " << typeid(W).name() << " was shown within " << kWindowDeadline.count()
                          << " s";
            std::fflush(stdout);
            std::_Exit(1);
        },
        10);
}

}  // namespace tenfold::test
