#include "resources/message_box.h"

#include <glib.h>
#include <gtkmm.h>

#include <iostream>
#include <string>

namespace tenfold {

namespace {

// Texts from system error descriptions may carry bytes that are not UTF-8;
// the window system refuses those, so they are replaced, never dropped.
Glib::ustring ValidText(std::string_view text) {
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    Glib::ustring result(valid);
    g_free(valid);
    return result;
}

void ShowBox(std::string_view text, Gtk::MessageType type) {
    if (!InitDialogs()) {
        std::cerr << "Tenfold: " << text << '\n';
        return;
    }
    Gtk::MessageDialog box(ValidText(text), false, type, Gtk::BUTTONS_OK, true);
    box.set_title("Tenfold");
    box.set_position(Gtk::WIN_POS_CENTER);
    // During play the table may fill the screen; the box must still be seen.
    box.set_keep_above(true);
    box.run();
    box.hide();
    RunPendingDialogEvents();
}

}  // namespace

bool InitDialogs() {
    static const bool ready = [] {
        g_set_prgname("tenfold");
        g_set_application_name("Tenfold");
        if (!gtk_init_check(nullptr, nullptr)) return false;
        Gtk::Main::init_gtkmm_internals();
        return true;
    }();
    return ready;
}

void ShowMessageBox(std::string_view text) { ShowBox(text, Gtk::MESSAGE_OTHER); }

void ShowInfoBox(std::string_view text) { ShowBox(text, Gtk::MESSAGE_INFO); }

void RunPendingDialogEvents() {
    if (!InitDialogs()) return;
    while (Gtk::Main::events_pending()) Gtk::Main::iteration(false);
}

}  // namespace tenfold
