#pragma once
// Shared pieces of the dialog tests: the window system is started once per
// test process, and pending events are run until the screen has caught up.

#include <gtest/gtest.h>
#include <gtkmm.h>

#include <chrono>
#include <functional>

#include "resources/message_box.h"

namespace tenfold::test {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitDialogs()) << "no display: run under Xvfb"; }
};

// Runs the main loop until `done` holds or the time is up; returns `done`.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Gtk::Main::iteration(false);
    }
    return true;
}

// Calls `act` from inside the next modal loop that opens (a message box or a
// file chooser runs its own loop, which a test cannot step from outside).
inline void OnNextIdle(std::function<void()> act) {
    Glib::signal_timeout().connect_once(std::move(act), 50);
}

// The top-level window of the given type that is currently shown, if any.
template <class W>
W* ShownWindow() {
    for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
        if (auto* typed = dynamic_cast<W*>(w); typed != nullptr && typed->get_visible()) return typed;
    }
    return nullptr;
}

}  // namespace tenfold::test
