#pragma once
// The start dialog: the first window a player sees. It picks the deck and the
// options, shows the keys, the rules and the credits, and its start button
// hands the choices to the game and sets the unpacking and the match going.

#include <gtkmm.h>

#include <array>
#include <functional>
#include <string>

#include "core/table_state.h"
#include "resources/statistics.h"

namespace tenfold {

// What the dialog cannot do by itself; the start-up road supplies each piece.
struct StartDialogHooks {
    // Starts a new match: unpacks the resources and runs the game.
    std::function<void()> startMatch;
    // Ends the program at once ("Exit", or closing the dialog before Start).
    std::function<void()> endProgram;
    // Shows an information message with an OK button (the link label).
    std::function<void(const std::string&)> showMessage;
    // Takes up the saved match ("Resume match"), like startMatch for a new one.
    std::function<void()> resumeMatch = nullptr;
    // Asks the player a yes-or-no question; true for yes.
    std::function<bool(const std::string&)> confirm = nullptr;
};

// One bar of the statistics chart: the human's average points in a contract,
// drawn from a middle line (left: points won, right: points lost).
class ContractBar : public Gtk::DrawingArea {
public:
    ContractBar();
    void Set(double value, double largest, bool played);

protected:
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

private:
    double value_ = 0;
    double largest_ = 1;
    bool played_ = false;
};

// Card pictures shown beside the deck choice, one per indexed preview slot:
// 0 for the standard-pattern deck, 1 for the Genoese deck, 2 for the third
// deck. An empty slot shows nothing.
using DeckPreviews = std::array<Glib::RefPtr<Gdk::Pixbuf>, 3>;

// Reads one card of each playable deck out of the resource archive for the
// previews; a missing archive or entry leaves that slot empty.
DeckPreviews LoadDeckPreviews(const std::string& archivePath);

// The rules of the game as this program plays them (the "Rules" tab).
const char* RulesText();

class StartDialog : public Gtk::Window {
public:
    // Sets up the dialog: EndsProgramOnClose, first tab, version label; the controls
    // start from `options` (the remembered choices).
    StartDialog(Options& options, StartDialogHooks hooks, const DeckPreviews& previews,
                const std::string& credits);

    // Takes the dialog off the screen, as the game's start and the close box do;
    // ends the program when the start button has not been pressed.
    void Dismiss();

    // True from the dialog's load until the start button is pressed.
    bool EndsProgramOnClose() const { return endsProgramOnClose_; }

    // ---- Controls, named after what they stand for; public so the start-up
    // road and the tests can read and press them ----
    Gtk::Notebook tabs;
    Gtk::Button startButton;
    Gtk::Button exitButton;
    Gtk::Label versionLabel;

    // "Deck" tab: option buttons by deck number (1..4; index 0 unused).
    std::array<Gtk::RadioButton, 5> deckOption;
    std::array<Gtk::Label, 5> deckDescription;
    std::array<Gtk::Image, 3> previewImages;  // the indexed preview picture control
    Gtk::CheckButton windowed;
    Gtk::CheckButton useVideoMemory;

    // "Keys" tab.
    std::array<Gtk::Label, 8> keyLabels;

    // "Rules" tab.
    Gtk::TextView rulesView;

    // "Credits" tab.
    Gtk::Label creditsLabel;
    Gtk::LinkButton linkLabel;

    // "Options" tab.
    Gtk::CheckButton sevenOfHeartsLead;
    Gtk::CheckButton partnershipGame;
    Gtk::CheckButton slowAnimation;
    Gtk::RadioButton dealInPackets;  // deals in packets of 13
    Gtk::RadioButton dealSingly;     // deals one card at a time
    Gtk::CheckButton classicTable;
    Gtk::CheckButton dimUnplayable;
    // Under "Seven of Hearts Lead", "Partnership game", "Slow animation",
    // "Classic table" and "Dim cards I may not play".
    std::array<Gtk::Label, 5> optionExplanations;
    Gtk::Label dealingExplanation;  // under the two dealing rules
    Gtk::RadioButton classicOpponents;
    Gtk::RadioButton expertOpponents;

    // The tab captions in their order.
    static constexpr std::array<const char*, 5> kTabCaptions = {"Deck", "Keys", "Rules", "Credits",
                                                                "Options"};

private:
    // Stores the choices and loads the unpacker.
    void OnStartClicked();
    // Switches the preview pictures when a deck option is chosen.
    void OnDeckToggled(int deck);
    // Closing the window dismisses the dialog.
    bool on_delete_event(GdkEventAny* event) override;

public:
    // A saved match exists, left in deal `deal`: "Resume match (deal n of 20)"
    // appears beside Start, and Start asks once before it would replace it.
    void OfferResume(int deal);
    // Adds the "Statistics" tab with the player's finished matches.
    void ShowStatistics(const StatisticsSummary& summary);

    Gtk::Button resumeButton;
    // "Statistics" tab: the figures, and per contract how often and how well.
    Gtk::Label statisticsFigures;
    std::array<Gtk::Label, 10> contractPlayed;
    std::array<Gtk::Label, 10> contractAverage;
    std::array<ContractBar, 10> contractBars;

private:
    void OnResumeClicked();
    // Stores the choices of the Deck tab that also apply to a resumed match.
    void StoreDisplayChoices();
    int savedDeal_ = 0;
    Gtk::Box statisticsPage_{Gtk::ORIENTATION_VERTICAL};

    void BuildDeckTab();
    void BuildKeysTab();
    void BuildRulesTab();
    void BuildCreditsTab(const std::string& credits);
    // The "Opponents: Classic / Expert" row of the Options tab.
    void BuildOpponentsChoice(Gtk::Box& page);
    void BuildOptionsTab();

    Options& options_;
    StartDialogHooks hooks_;
    bool endsProgramOnClose_ = true;
    bool dismissed_ = false;
    Gtk::Box outer_{Gtk::ORIENTATION_VERTICAL};
    std::array<Gtk::Box, 5> pages_;
};

}  // namespace tenfold
