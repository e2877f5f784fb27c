#include "resources/start_dialog.h"

#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "support/archive_fixture.h"
#include "support/scratch_dir.h"

namespace tenfold {
namespace {

using test::DialogTest;
using test::PumpUntil;

// Records what the dialog asks of the start-up road, in order.
struct Road {
    std::vector<std::string> calls;
    std::vector<std::string> messages;

    StartDialogHooks Hooks() {
        return {
            [this] { calls.push_back("unpack"); },
            [this] { calls.push_back("end"); },
            [this](const std::string& m) { messages.push_back(m); },
        };
    }
};

class StartDialogTest : public DialogTest {
protected:
    Road road;
};

TEST_F(StartDialogTest, LoadsWithTheDesignedCaptionsTextsAndEnabledStates) {
    Options t;
    StartDialog dialog(t, road.Hooks(), {}, "Credits line");

    EXPECT_TRUE(dialog.EndsProgramOnClose());
    EXPECT_EQ(dialog.versionLabel.get_text(), "Version 1.0.0");
    EXPECT_EQ(dialog.get_title(), "Tenfold");
    ASSERT_EQ(dialog.tabs.get_n_pages(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dialog.tabs.get_tab_label_text(*dialog.tabs.get_nth_page(i)),
                  StartDialog::kTabCaptions[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(dialog.tabs.get_current_page(), 0);
    EXPECT_EQ(dialog.startButton.get_label(), "Start");
    EXPECT_EQ(dialog.exitButton.get_label(), "Exit");

    struct Toggle {
        Gtk::ToggleButton* control;
        const char* caption;
        bool sensitive;
        bool active;
    };
    const std::vector<Toggle> toggles = {
        {&dialog.deckOption[4], "KZWP standard cards (Made in EU) [800x600 resolution]", true, true},
        {&dialog.deckOption[2], "Halkali Kagit San cards (Made in Turkey) [800x600 resolution]", true, false},
        {&dialog.deckOption[3], "Copag Da Amazonia cards (Made in Brazil) [800x600 resolution]", false,
         false},
        {&dialog.deckOption[1], "Altenburg Stralsunder (Used) [1024x768 resolution]", false, false},
        {&dialog.windowed, "Windowed", true, false},
        {&dialog.useVideoMemory, "Use VidMem", false, false},
        {&dialog.sevenOfHeartsLead, "Seven of Hearts Lead", true, false},
        {&dialog.partnershipGame, "Partnership game", false, false},
        {&dialog.slowAnimation, "Slow animation", true, false},
        {&dialog.classicTable, "Classic table", true, false},
        {&dialog.dimUnplayable, "Dim cards I may not play", true, false},
        {&dialog.dealInPackets, "Regles francaises", true, false},
        {&dialog.dealSingly, "Reguas portuguese", true, true},
    };
    for (const Toggle& c : toggles) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.control->get_label(), c.caption);
        EXPECT_EQ(c.control->get_sensitive(), c.sensitive);
        EXPECT_EQ(c.control->get_active(), c.active);
    }

    EXPECT_EQ(dialog.deckDescription[4].get_text(), "French suited deck (standard pattern).");
    EXPECT_EQ(dialog.deckDescription[2].get_text(), "French suited deck (Genoese pattern).");
    EXPECT_EQ(dialog.deckDescription[3].get_text(), "French suited deck (standard pattern).");
    EXPECT_EQ(dialog.deckDescription[1].get_text(), "Old German-made French deck of early 1900's.");

    EXPECT_EQ(dialog.keyLabels[0].get_text(),
              "To select a contract: Use the menu that will appear on screen.");
    EXPECT_EQ(dialog.keyLabels[4].get_text(), "Use the ESCAPE key to exit the game.");
    EXPECT_EQ(dialog.optionExplanations[2].get_text(),
              "Click for slower card animation. Useful when learning the game, or in faster "
              "computers.");
    EXPECT_EQ(dialog.creditsLabel.get_text(), "Credits line");
    EXPECT_FALSE(dialog.rulesView.get_editable());
}

TEST_F(StartDialogTest, StartStoresTheChoicesThenLoadsTheUnpacker) {
    // What Start stores beyond the defaults: every choice the dialog offers.
    struct Case {
        const char* name;
        std::function<void(StartDialog&)> touch;
        std::function<void(Options&)> expect;
    };
    const std::vector<Case> cases = {
        {"nothing touched", [](StartDialog&) {}, [](Options&) {}},
        {"deck 2", [](StartDialog& f) { f.deckOption[2].set_active(true); },
         [](Options& o) { o.deckName = "Royal"; }},
        {"deck 2 then deck 4",
         [](StartDialog& f) {
             f.deckOption[2].set_active(true);
             f.deckOption[4].set_active(true);
         },
         [](Options&) {}},
        {"windowed", [](StartDialog& f) { f.windowed.set_active(true); },
         [](Options& o) { o.fullScreen = false; }},
        {"slow animation", [](StartDialog& f) { f.slowAnimation.set_active(true); },
         [](Options& o) { o.slowAnimation = true; }},
        {"seven of hearts", [](StartDialog& f) { f.sevenOfHeartsLead.set_active(true); },
         [](Options& o) { o.sevenOfHeartsLead = true; }},
        {"French rules deal in packets", [](StartDialog& f) { f.dealInPackets.set_active(true); },
         [](Options& o) { o.dealPacketSize = 13; }},
        {"classic table", [](StartDialog& f) { f.classicTable.set_active(true); },
         [](Options& o) { o.classicTable = true; }},
        {"dimming", [](StartDialog& f) { f.dimUnplayable.set_active(true); },
         [](Options& o) { o.dimUnplayable = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Road r;
        Options t;
        StartDialog dialog(t, r.Hooks(), {}, "");
        c.touch(dialog);
        dialog.startButton.clicked();

        EXPECT_EQ(r.calls, (std::vector<std::string>{"unpack"}));
        EXPECT_FALSE(dialog.EndsProgramOnClose());
        Options expected;
        c.expect(expected);
        EXPECT_TRUE(t == expected);
    }
}

TEST_F(StartDialogTest, OpensOnTheRememberedChoicesAndAClearedBoxClearsItsOption) {
    Options remembered;
    remembered.deckName = "Royal";
    remembered.fullScreen = false;
    remembered.slowAnimation = true;
    remembered.sevenOfHeartsLead = true;
    remembered.dealPacketSize = 13;
    remembered.classicTable = true;
    remembered.dimUnplayable = true;
    Options t = remembered;
    StartDialog dialog(t, road.Hooks(), {}, "");
    EXPECT_TRUE(dialog.deckOption[2].get_active());
    EXPECT_TRUE(dialog.windowed.get_active());
    EXPECT_TRUE(dialog.slowAnimation.get_active());
    EXPECT_TRUE(dialog.sevenOfHeartsLead.get_active());
    EXPECT_TRUE(dialog.dealInPackets.get_active());
    EXPECT_TRUE(dialog.classicTable.get_active());
    EXPECT_TRUE(dialog.dimUnplayable.get_active());
    // The Genoese deck's preview shows, the other's does not.
    EXPECT_TRUE(dialog.previewImages[1].get_visible());
    EXPECT_FALSE(dialog.previewImages[0].get_visible());

    dialog.slowAnimation.set_active(false);
    dialog.classicTable.set_active(false);
    dialog.startButton.clicked();
    remembered.slowAnimation = false;
    remembered.classicTable = false;
    EXPECT_TRUE(t == remembered);
}

TEST_F(StartDialogTest, ClosingEndsTheProgramUnlessStartWasPressed) {
    {
        Options t;
        Road r;
        StartDialog dialog(t, r.Hooks(), {}, "");
        dialog.show();
        dialog.close();  // the window's close box
        EXPECT_TRUE(PumpUntil([&] { return !r.calls.empty(); }));
        EXPECT_EQ(r.calls, std::vector<std::string>{"end"});
        EXPECT_FALSE(dialog.get_visible());
    }
    {
        Options t;
        Road r;
        StartDialog dialog(t, r.Hooks(), {}, "");
        dialog.show();
        dialog.startButton.clicked();
        dialog.Dismiss();  // as the game start routine does
        dialog.close();
        PumpUntil([] { return !Gtk::Main::events_pending(); });
        EXPECT_EQ(r.calls, (std::vector<std::string>{"unpack"}));
        EXPECT_FALSE(dialog.get_visible());
    }
    {
        Options t;
        Road r;
        StartDialog dialog(t, r.Hooks(), {}, "");
        dialog.exitButton.clicked();
        EXPECT_EQ(r.calls, std::vector<std::string>{"end"});
    }
}

TEST_F(StartDialogTest, DeckOptionsSwitchTheIndexedPreviewPictures) {
    Options t;
    StartDialog dialog(t, road.Hooks(), {}, "");
    auto shown = [&] {
        return std::vector<bool>{dialog.previewImages[0].get_visible(), dialog.previewImages[1].get_visible(),
                                 dialog.previewImages[2].get_visible()};
    };
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
    dialog.deckOption[2].set_active(true);
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false}));
    dialog.deckOption[4].set_active(true);
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
}

TEST_F(StartDialogTest, LinkLabelOnlyShowsTheBrowserNote) {
    Options t;
    StartDialog dialog(t, road.Hooks(), {}, "");
    dialog.linkLabel.clicked();
    EXPECT_EQ(road.messages,
              std::vector<std::string>{"Please use your installed Web browser to view this page."});
    EXPECT_FALSE(dialog.linkLabel.get_visited()) << "the link must not be followed";
    EXPECT_TRUE(road.calls.empty());
}

TEST_F(StartDialogTest, PreviewsShowACardOfEachDeckFromTheArchive) {
    test::ScratchDir dir;
    const test::FixtureArchive archive = test::MakeFixtureArchive(dir / "res120.pak");
    const DeckPreviews previews = LoadDeckPreviews(archive.path);
    ASSERT_TRUE(previews[0]);
    ASSERT_TRUE(previews[1]);
    EXPECT_FALSE(previews[2]);
    EXPECT_EQ(previews[0]->get_width(), 6);
    EXPECT_EQ(previews[0]->get_height(), 9);
    EXPECT_EQ(previews[1]->get_width(), 5);
    // The magenta colour key is see-through; the card itself is not.
    ASSERT_TRUE(previews[0]->get_has_alpha());
    const guint8* px = previews[0]->get_pixels();
    EXPECT_EQ(px[3], 0);
    EXPECT_EQ(px[previews[0]->get_n_channels() + 3], 255);
    EXPECT_EQ(px[previews[0]->get_n_channels()], 200);

    Options t;
    StartDialog dialog(t, road.Hooks(), previews, "");
    EXPECT_EQ(dialog.previewImages[0].get_pixbuf(), previews[0]);
    EXPECT_EQ(dialog.previewImages[1].get_pixbuf(), previews[1]);

    for (const std::string& path : {dir / "missing.pak", dir.str()}) {
        const DeckPreviews none = LoadDeckPreviews(path);
        EXPECT_FALSE(none[0] || none[1] || none[2]) << path;
    }

    // A card claiming far more pixels than a card can have is refused before decoding.
    std::vector<PakEntry> entries = archive.entries;
    test::PutLe32(entries[1].bytes, 18, 4096);
    test::PutLe32(entries[1].bytes, 22, 4096);
    test::Bytes bytes;
    ASSERT_TRUE(BuildPak(entries, bytes));
    test::WriteBytes(dir / "bomb.pak", bytes);
    const DeckPreviews bomb = LoadDeckPreviews(dir / "bomb.pak");
    EXPECT_FALSE(bomb[0]);
    EXPECT_TRUE(bomb[1]);
}

TEST_F(StartDialogTest, APreviewLargerThanItsPlaceIsScaledToFitKeepingItsShape) {
    const auto picture = [](int w, int h) {
        auto p = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, w, h);
        p->fill(0xC01010FF);
        return p;
    };
    Options t;
    const DeckPreviews cards{picture(99, 153), picture(99, 153), {}};
    StartDialog reference(t, road.Hooks(), cards, "");
    StartDialog dialog(t, road.Hooks(), {picture(4096, 4096), picture(396, 612), picture(300, 153)}, "");

    struct Expected {
        int width, height;
    };
    const std::array<Expected, 3> fitted{{{99, 99}, {99, 153}, {99, 50}}};
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        SCOPED_TRACE(i);
        const auto shown = dialog.previewImages[i].get_pixbuf();
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->get_width(), fitted[i].width);
        EXPECT_EQ(shown->get_height(), fitted[i].height);
    }
    // A card of the game's own size is shown as it is.
    EXPECT_EQ(reference.previewImages[0].get_pixbuf(), cards[0]);

    // The dialog keeps the size it has with ordinary cards: Start and Exit stay on screen.
    dialog.show();
    reference.show();
    test::PumpUntil([&] { return dialog.get_realized() && reference.get_realized(); });
    int minimum = 0, natural = 0, referenceMinimum = 0, referenceNatural = 0;
    dialog.get_preferred_height(minimum, natural);
    reference.get_preferred_height(referenceMinimum, referenceNatural);
    EXPECT_EQ(natural, referenceNatural);
    EXPECT_LE(natural, Gdk::Screen::get_default()->get_height());
}

}  // namespace
}  // namespace tenfold
