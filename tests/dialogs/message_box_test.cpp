#include "resources/message_box.h"

#include <string>

#include "dialog_test_support.h"

namespace tenfold {
namespace {

using test::DialogTest;
using test::ShownWindow;
using test::WhenShown;

TEST_F(DialogTest, MessageBoxShowsTheTextUnderTheProgramsNameAndReturnsOnOk) {
    std::string title;
    std::string text;
    int buttons = 0;
    WhenShown<Gtk::MessageDialog>([&](Gtk::MessageDialog& box) {
        title = box.get_title();
        text = box.property_text().get_value();
        buttons = static_cast<int>(box.get_action_area()->get_children().size());
        box.response(Gtk::RESPONSE_OK);
    });
    ShowMessageBox("Error in Shuffle");
    EXPECT_EQ(title, "Tenfold");
    EXPECT_EQ(text, "Error in Shuffle");
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(ShownWindow<Gtk::MessageDialog>(), nullptr);
}

TEST_F(DialogTest, MessageBoxKeepsTextThatIsNotValidUtf8) {
    std::string text;
    WhenShown<Gtk::MessageDialog>([&](Gtk::MessageDialog& box) {
        text = box.property_text().get_value();
        box.response(Gtk::RESPONSE_OK);
    });
    ShowMessageBox("Error Number: 5\r\nbad \xff byte");
    EXPECT_EQ(text.substr(0, 15), "Error Number: 5");
    EXPECT_NE(text.find("byte"), std::string::npos);
}

}  // namespace
}  // namespace tenfold
