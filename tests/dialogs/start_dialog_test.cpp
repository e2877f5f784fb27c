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
    StartDialog form(t, road.Hooks(), {}, "Credits line");

    EXPECT_TRUE(form.EndOnUnload());
    EXPECT_EQ(form.VersionLabel.get_text(), "Version 1.0.0");
    EXPECT_EQ(form.get_title(), "Tenfold");
    ASSERT_EQ(form.Tabs.get_n_pages(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form.Tabs.get_tab_label_text(*form.Tabs.get_nth_page(i)),
                  StartDialog::kTabCaptions[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(form.Tabs.get_current_page(), 0);
    EXPECT_EQ(form.StartButton.get_label(), "Start");
    EXPECT_EQ(form.ExitButton.get_label(), "Exit");

    struct Toggle {
        Gtk::ToggleButton* control;
        const char* caption;
        bool sensitive;
        bool active;
    };
    const std::vector<Toggle> toggles = {
        {&form.DeckOption[4], "KZWP standard cards (Made in EU) [800x600 resolution]", true, true},
        {&form.DeckOption[2], "Halkali Kagit San cards (Made in Turkey) [800x600 resolution]", true, false},
        {&form.DeckOption[3], "Copag Da Amazonia cards (Made in Brazil) [800x600 resolution]", false, false},
        {&form.DeckOption[1], "Altenburg Stralsunder (Used) [1024x768 resolution]", false, false},
        {&form.Windowed, "Windowed", true, false},
        {&form.UseVidMem, "Use VidMem", false, false},
        {&form.SevenOfHeartsLead, "Seven of Hearts Lead", true, false},
        {&form.PartnershipGame, "Partnership game", false, false},
        {&form.SlowAnimation, "Slow animation", true, false},
        {&form.ClassicTable, "Classic table", true, false},
        {&form.DimUnplayable, "Dim cards I may not play", true, false},
        {&form.ReglesFrancaises, "Regles francaises", true, false},
        {&form.ReguasPortuguese, "Reguas portuguese", true, true},
    };
    for (const Toggle& c : toggles) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(c.control->get_label(), c.caption);
        EXPECT_EQ(c.control->get_sensitive(), c.sensitive);
        EXPECT_EQ(c.control->get_active(), c.active);
    }

    EXPECT_EQ(form.DeckDescription[4].get_text(), "French suited deck (standard pattern).");
    EXPECT_EQ(form.DeckDescription[2].get_text(), "French suited deck (Genoese pattern).");
    EXPECT_EQ(form.DeckDescription[3].get_text(), "French suited deck (standard pattern).");
    EXPECT_EQ(form.DeckDescription[1].get_text(), "Old German-made French deck of early 1900's.");

    EXPECT_EQ(form.KeyLabels[0].get_text(), "To select a contract: Use the menu that will appear on screen.");
    EXPECT_EQ(form.KeyLabels[4].get_text(), "Use the ESCAPE key to exit the game.");
    EXPECT_EQ(form.OptionExplanations[2].get_text(),
              "Click for slower card animation. Useful when learning the game, or in faster "
              "computers.");
    EXPECT_EQ(form.CreditsLabel.get_text(), "Credits line");
    EXPECT_FALSE(form.RulesView.get_editable());
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
        {"deck 2", [](StartDialog& f) { f.DeckOption[2].set_active(true); },
         [](Options& o) { o.deckName = "Royal"; }},
        {"deck 2 then deck 4",
         [](StartDialog& f) {
             f.DeckOption[2].set_active(true);
             f.DeckOption[4].set_active(true);
         },
         [](Options&) {}},
        {"windowed", [](StartDialog& f) { f.Windowed.set_active(true); },
         [](Options& o) { o.fullScreen = false; }},
        {"slow animation", [](StartDialog& f) { f.SlowAnimation.set_active(true); },
         [](Options& o) { o.slowAnimation = true; }},
        {"seven of hearts", [](StartDialog& f) { f.SevenOfHeartsLead.set_active(true); },
         [](Options& o) { o.sevenOfHeartsLead = true; }},
        {"French rules deal in packets", [](StartDialog& f) { f.ReglesFrancaises.set_active(true); },
         [](Options& o) { o.dealPacketSize = 13; }},
        {"classic table", [](StartDialog& f) { f.ClassicTable.set_active(true); },
         [](Options& o) { o.classicTable = true; }},
        {"dimming", [](StartDialog& f) { f.DimUnplayable.set_active(true); },
         [](Options& o) { o.dimUnplayable = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Road r;
        Options t;
        StartDialog form(t, r.Hooks(), {}, "");
        c.touch(form);
        form.StartButton.clicked();

        EXPECT_EQ(r.calls, (std::vector<std::string>{"unpack"}));
        EXPECT_FALSE(form.EndOnUnload());
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
    StartDialog form(t, road.Hooks(), {}, "");
    EXPECT_TRUE(form.DeckOption[2].get_active());
    EXPECT_TRUE(form.Windowed.get_active());
    EXPECT_TRUE(form.SlowAnimation.get_active());
    EXPECT_TRUE(form.SevenOfHeartsLead.get_active());
    EXPECT_TRUE(form.ReglesFrancaises.get_active());
    EXPECT_TRUE(form.ClassicTable.get_active());
    EXPECT_TRUE(form.DimUnplayable.get_active());
    // The Genoese deck's preview shows, the other's does not.
    EXPECT_TRUE(form.Preview[1].get_visible());
    EXPECT_FALSE(form.Preview[0].get_visible());

    form.SlowAnimation.set_active(false);
    form.ClassicTable.set_active(false);
    form.StartButton.clicked();
    remembered.slowAnimation = false;
    remembered.classicTable = false;
    EXPECT_TRUE(t == remembered);
}

TEST_F(StartDialogTest, ClosingEndsTheProgramUnlessStartWasPressed) {
    {
        Options t;
        Road r;
        StartDialog form(t, r.Hooks(), {}, "");
        form.show();
        form.close();  // the window's close box
        EXPECT_TRUE(PumpUntil([&] { return !r.calls.empty(); }));
        EXPECT_EQ(r.calls, std::vector<std::string>{"end"});
        EXPECT_FALSE(form.get_visible());
    }
    {
        Options t;
        Road r;
        StartDialog form(t, r.Hooks(), {}, "");
        form.show();
        form.StartButton.clicked();
        form.Unload();  // as the game start routine does
        form.close();
        PumpUntil([] { return !Gtk::Main::events_pending(); });
        EXPECT_EQ(r.calls, (std::vector<std::string>{"unpack"}));
        EXPECT_FALSE(form.get_visible());
    }
    {
        Options t;
        Road r;
        StartDialog form(t, r.Hooks(), {}, "");
        form.ExitButton.clicked();
        EXPECT_EQ(r.calls, std::vector<std::string>{"end"});
    }
}

TEST_F(StartDialogTest, DeckOptionsSwitchTheIndexedPreviewPictures) {
    Options t;
    StartDialog form(t, road.Hooks(), {}, "");
    auto shown = [&] {
        return std::vector<bool>{form.Preview[0].get_visible(), form.Preview[1].get_visible(),
                                 form.Preview[2].get_visible()};
    };
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
    form.DeckOption[2].set_active(true);
    EXPECT_EQ(shown(), (std::vector<bool>{false, true, false}));
    form.DeckOption[4].set_active(true);
    EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
}

TEST_F(StartDialogTest, LinkLabelOnlyShowsTheBrowserNote) {
    Options t;
    StartDialog form(t, road.Hooks(), {}, "");
    form.LinkLabel.clicked();
    EXPECT_EQ(road.messages,
              std::vector<std::string>{"Please use your installed Web browser to view this page."});
    EXPECT_FALSE(form.LinkLabel.get_visited()) << "the link must not be followed";
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
    StartDialog form(t, road.Hooks(), previews, "");
    EXPECT_EQ(form.Preview[0].get_pixbuf(), previews[0]);
    EXPECT_EQ(form.Preview[1].get_pixbuf(), previews[1]);

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
    StartDialog form(t, road.Hooks(), {picture(4096, 4096), picture(396, 612), picture(300, 153)}, "");

    struct Expected {
        int width, height;
    };
    const std::array<Expected, 3> fitted{{{99, 99}, {99, 153}, {99, 50}}};
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        SCOPED_TRACE(i);
        const auto shown = form.Preview[i].get_pixbuf();
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->get_width(), fitted[i].width);
        EXPECT_EQ(shown->get_height(), fitted[i].height);
    }
    // A card of the game's own size is shown as it is.
    EXPECT_EQ(reference.Preview[0].get_pixbuf(), cards[0]);

    // The dialog keeps the size it has with ordinary cards: Start and Exit stay on screen.
    form.show();
    reference.show();
    test::PumpUntil([&] { return form.get_realized() && reference.get_realized(); });
    int minimum = 0, natural = 0, referenceMinimum = 0, referenceNatural = 0;
    form.get_preferred_height(minimum, natural);
    reference.get_preferred_height(referenceMinimum, referenceNatural);
    EXPECT_EQ(natural, referenceNatural);
    EXPECT_LE(natural, Gdk::Screen::get_default()->get_height());
}

}  // namespace
}  // namespace tenfold
