#include "resources/start_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "resources/pak_reader.h"
#include "resources/resource_check.h"
#include "resources/resource_layout.h"

namespace tenfold {

namespace {

// Deck options from the top of the tab down, by deck number.
struct DeckRow {
    int Number;
    const char* Caption;
    const char* Description;
    bool Enabled;
};

constexpr std::array<DeckRow, 4> kDeckRows = {{
    {4, "KZWP standard cards (Made in EU) [800x600 resolution]", "French suited deck (standard pattern).",
     true},
    {2, "Halkali Kagit San cards (Made in Turkey) [800x600 resolution]",
     "French suited deck (Genoese pattern).", true},
    {3, "Copag Da Amazonia cards (Made in Brazil) [800x600 resolution]",
     "French suited deck (standard pattern).", false},
    {1, "Altenburg Stralsunder (Used) [1024x768 resolution]", "Old German-made French deck of early 1900's.",
     false},
}};

constexpr std::array<const char*, 8> kKeyTexts = {
    "To select a contract: Use the menu that will appear on screen.",
    "To play a card: Left-click on the card.",
    "Pressing the key R after the deal you order your cards in hand.",
    "Pressing the key P at any time pauses the game. Press again to resume.",
    "Use the ESCAPE key to exit the game.",
    "Without the mouse: Left and Right choose a card you may play, Enter or Space plays it; Up, Down "
    "and Enter choose a contract; Enter or Space leaves the score sheet.",
    "Hold the key L or the right mouse button to see the last trick again.",
    "During a match ESCAPE or the window's close box first asks \"Leave this match?\": ESCAPE again or Y "
    "leaves, N plays on. \"Classic table\" (Options) leaves at once.",
};

constexpr const char* kLinkMessage = "Please use your installed Web browser to view this page.";

// A label that reads as a line of ordinary text, left-aligned and wrapping.
void SetText(Gtk::Label& label, const char* text, int indent = 0) {
    label.set_text(text);
    label.set_xalign(0.0F);
    label.set_line_wrap(true);
    // Long texts wrap rather than widen the dialog.
    label.set_max_width_chars(80);
    label.set_margin_start(indent);
}

void MakePage(Gtk::Box& page) {
    page.set_orientation(Gtk::ORIENTATION_VERTICAL);
    page.set_spacing(6);
    page.set_border_width(12);
}

// A preview's place beside the deck choice: a card as large as on the table.
constexpr int kPreviewWidth = 99;
constexpr int kPreviewHeight = 153;

// A picture larger than the preview's place is scaled down to fit it, keeping
// its shape, with a filter that averages every source pixel (art drawn at a
// higher resolution stays smooth); a smaller one is shown as it is.
Glib::RefPtr<Gdk::Pixbuf> FitPreview(const Glib::RefPtr<Gdk::Pixbuf>& picture) {
    if (!picture || (picture->get_width() <= kPreviewWidth && picture->get_height() <= kPreviewHeight)) {
        return picture;
    }
    const double scale = std::min(static_cast<double>(kPreviewWidth) / picture->get_width(),
                                  static_cast<double>(kPreviewHeight) / picture->get_height());
    const auto side = [scale](int length) {
        return std::max(1, static_cast<int>(std::nearbyint(length * scale)));
    };
    return picture->scale_simple(side(picture->get_width()), side(picture->get_height()), Gdk::INTERP_HYPER);
}

// The card each preview shows: a face card shows a deck's pattern best.
constexpr std::string_view kPreviewCard = "KH.BMP";

// Decodes one card picture from the archive; null when it is missing or damaged.
Glib::RefPtr<Gdk::Pixbuf> ReadCardPicture(const PakReader& pak, std::string_view deckFolder) {
    const std::string wanted = std::string(layout::PrefixOf(deckFolder)) + std::string(kPreviewCard);
    for (std::int32_t id = 0; id < pak.EntryCount(); ++id) {
        if (layout::TrimName(pak.Entries()[static_cast<std::size_t>(id)].name) != wanted) continue;
        // Checked as the game checks a card before loading it, so no size out
        // of proportion to a card reaches the decoder.
        const std::string path = std::string(deckFolder) + "/" + std::string(kPreviewCard);
        std::vector<std::uint8_t> bytes;
        if (!CheckArchiveEntry(pak, id, path) || !pak.ReadEntry(id, bytes)) return {};
        try {
            auto loader = Gdk::PixbufLoader::create();
            loader->write(bytes.data(), bytes.size());
            loader->close();
            // Card corners carry the magenta colour key; the dialog shows them clear.
            return loader->get_pixbuf()->add_alpha(true, 255, 0, 255);
        } catch (const Glib::Error&) {
            return {};
        }
    }
    return {};
}

}  // namespace

DeckPreviews LoadDeckPreviews(const std::string& archivePath) {
    DeckPreviews previews{};
    PakReader pak;
    if (!pak.Open(archivePath)) return previews;
    previews[0] = ReadCardPicture(pak, layout::kDecks[1]);
    previews[1] = ReadCardPicture(pak, layout::kDecks[0]);
    return previews;
}

const char* RulesText() {
    return R"(Tenfold is played by four players, each for himself: you at the bottom of the table and three computer players on your right, opposite you and on your left. Turns always go round in this order: you, the player on your right, the player opposite, the player on your left.

A match is twenty deals. For every deal the 52 cards are shuffled and dealt one at a time, thirteen to each player. Aces are high: ace, king, queen, jack, ten and so on down to two.

CHOOSING THE CONTRACT
After the deal one player chooses the contract for the deal and leads the first trick. Who chooses first is drawn by lot when the program starts; after that the choice passes to the next player every deal, so in a match each player chooses five times. Each player chooses two trump contracts and three negative contracts in a match, and a negative contract can be chosen at most twice in a match by all players together. A trump suit can be chosen again. When it is your turn to choose, a menu shows the contracts still open to you: click one.

THE CONTRACTS
Trump contracts: clubs, diamonds, spades or hearts are trumps. Every trick won is worth +50.
No tricks: every trick won costs -50.
No hearts: every heart taken costs -30.
No last two tricks: the winners of the eleventh and of the twelfth trick lose 180 each (the thirteenth trick costs nothing).
No kings and jacks: every king and every jack taken costs -60.
No queens: every queen taken costs -100.
No king of hearts: taking the king of hearts costs -320.

PLAYING THE TRICKS
The player who leads may play any card, except that under No hearts and No king of hearts a heart may not be led before a heart has been played in the deal, unless the leader holds nothing but hearts.
Every other player must follow the suit led if he can. A player who cannot follow suit must play:
- under a trump contract, a trump if he holds one (he need not beat a trump already played);
- under No hearts, a heart if he holds one;
- under No king of hearts, the king of hearts if he holds it;
- under No queens, a queen if he holds one;
- under No kings and jacks, a king or a jack if he holds one.
Otherwise he may play any card.
A trick goes to the highest trump in it or, when it holds no trump, to the highest card of the suit led. The winner of a trick leads the next one.

END OF A DEAL
A deal ends after the thirteenth trick, or earlier as soon as every penalty card of the contract has been taken: No hearts when all thirteen hearts are taken, No kings and jacks when all eight kings and jacks are taken, No queens when all four queens are taken, No king of hearts when the king of hearts is taken.

SCORING AND WINNING
The score page shows each deal's points divided by ten and with the sign turned, so that lower is better: a trick won under trumps shows as -5, a queen taken under No queens as 10. The totals row adds up the deals. After the twentieth deal the lowest total wins: the score page says "We Won!" when no computer player has a lower total than yours (a tie for the lowest total is your win), and "We lost!" otherwise. Click the score page to start the next deal; after the twentieth deal the click starts a new match.)";
}

StartDialog::StartDialog(Options& options, StartDialogHooks hooks, const DeckPreviews& previews,
                         const std::string& credits)
    : options_(options), hooks_(std::move(hooks)) {
    set_title("Tenfold");
    set_resizable(false);
    set_position(Gtk::WIN_POS_CENTER);
    set_border_width(8);

    endsProgramOnClose_ = true;

    for (std::size_t i = 0; i < pages_.size(); ++i) {
        MakePage(pages_[i]);
    }
    BuildDeckTab();
    BuildKeysTab();
    BuildRulesTab();
    BuildCreditsTab(credits);
    BuildOptionsTab();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        tabs.append_page(pages_[i], kTabCaptions[i]);
    }
    tabs.set_size_request(620, 470);

    for (std::size_t i = 0; i < previewImages.size(); ++i) {
        if (previews[i]) previewImages[i].set(FitPreview(previews[i]));
    }

    startButton.set_label("Start");
    exitButton.set_label("Exit");
    startButton.signal_clicked().connect([this] { OnStartClicked(); });
    exitButton.signal_clicked().connect([this] {
        if (hooks_.endProgram) hooks_.endProgram();
    });

    versionLabel.set_text("Version " + std::to_string(TENFOLD_VERSION_MAJOR) + "." +
                          std::to_string(TENFOLD_VERSION_MINOR) + "." +
                          std::to_string(TENFOLD_VERSION_PATCH));
    versionLabel.set_xalign(0.0F);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 8);
    buttons->pack_start(versionLabel, Gtk::PACK_EXPAND_WIDGET);
    buttons->pack_end(exitButton, Gtk::PACK_SHRINK);
    buttons->pack_end(startButton, Gtk::PACK_SHRINK);
    startButton.set_size_request(110, -1);
    exitButton.set_size_request(110, -1);

    outer_.set_spacing(8);
    outer_.pack_start(tabs, Gtk::PACK_EXPAND_WIDGET);
    outer_.pack_start(*buttons, Gtk::PACK_SHRINK);
    add(outer_);

    tabs.set_current_page(0);
    show_all_children();
    // The indexed preview control starts on the selected deck's picture.
    previewImages[1].hide();
    previewImages[2].hide();
    if (deckOption[2].get_active()) OnDeckToggled(2);
    startButton.grab_focus();
}

void StartDialog::BuildDeckTab() {
    Gtk::Box& page = pages_[0];
    auto* grid = Gtk::make_managed<Gtk::Grid>();
    grid->set_column_spacing(16);
    grid->set_row_spacing(2);

    Gtk::RadioButton::Group group = deckOption[4].get_group();
    int row = 0;
    for (const DeckRow& deck : kDeckRows) {
        Gtk::RadioButton& option = deckOption[deck.Number];
        if (deck.Number != 4) option.set_group(group);
        option.set_label(deck.Caption);
        option.set_sensitive(deck.Enabled);
        option.signal_toggled().connect([this, n = deck.Number] { OnDeckToggled(n); });
        SetText(deckDescription[deck.Number], deck.Description, 26);
        deckDescription[deck.Number].set_sensitive(deck.Enabled);
        grid->attach(option, 0, row++);
        grid->attach(deckDescription[deck.Number], 0, row++);
        deckDescription[deck.Number].set_margin_bottom(10);
    }
    deckOption[options_.deckName == "Royal" ? 2 : 4].set_active(true);

    auto* pictures = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_VERTICAL);
    pictures->set_size_request(120, 170);
    for (Gtk::Image& picture : previewImages) {
        pictures->pack_start(picture, Gtk::PACK_SHRINK);
    }
    pictures->set_valign(Gtk::ALIGN_START);
    grid->attach(*pictures, 1, 0, 1, row);

    page.pack_start(*grid, Gtk::PACK_SHRINK);

    windowed.set_label("Windowed");
    useVideoMemory.set_label("Use VidMem");
    windowed.set_active(!options_.fullScreen);
    useVideoMemory.set_active(false);
    useVideoMemory.set_sensitive(false);
    auto* checks = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 24);
    checks->pack_start(windowed, Gtk::PACK_SHRINK);
    checks->pack_start(useVideoMemory, Gtk::PACK_SHRINK);
    checks->set_margin_top(8);
    page.pack_start(*checks, Gtk::PACK_SHRINK);
}

void StartDialog::BuildKeysTab() {
    for (std::size_t i = 0; i < keyLabels.size(); ++i) {
        SetText(keyLabels[i], kKeyTexts[i]);
        keyLabels[i].set_margin_bottom(6);
        pages_[1].pack_start(keyLabels[i], Gtk::PACK_SHRINK);
    }
}

void StartDialog::BuildRulesTab() {
    rulesView.get_buffer()->set_text(RulesText());
    rulesView.set_editable(false);
    rulesView.set_cursor_visible(false);
    rulesView.set_wrap_mode(Gtk::WRAP_WORD);
    rulesView.set_left_margin(6);
    rulesView.set_right_margin(6);
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
    scroller->set_shadow_type(Gtk::SHADOW_IN);
    scroller->add(rulesView);
    pages_[2].pack_start(*scroller, Gtk::PACK_EXPAND_WIDGET);
}

void StartDialog::BuildCreditsTab(const std::string& credits) {
    creditsLabel.set_text(credits);
    creditsLabel.set_xalign(0.0F);
    creditsLabel.set_yalign(0.0F);
    creditsLabel.set_line_wrap(true);
    creditsLabel.set_selectable(false);
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
    scroller->add(creditsLabel);
    pages_[3].pack_start(*scroller, Gtk::PACK_EXPAND_WIDGET);

    // The link opens nothing: it only tells the player to use a browser.
    linkLabel.set_label("Tenfold on the Web");
    linkLabel.set_uri("https://tenfold.invalid/");
    linkLabel.set_has_tooltip(false);
    linkLabel.set_halign(Gtk::ALIGN_START);
    linkLabel.signal_activate_link().connect(
        [this] {
            if (hooks_.showMessage) hooks_.showMessage(kLinkMessage);
            return true;
        },
        false);
    pages_[3].pack_start(linkLabel, Gtk::PACK_SHRINK);
}

void StartDialog::BuildOptionsTab() {
    Gtk::Box& page = pages_[4];
    struct Check {
        Gtk::CheckButton* control;
        const char* caption;
        const char* explanation;
        bool active;
    };
    const std::array<Check, 5> checks = {{
        {&sevenOfHeartsLead, "Seven of Hearts Lead",
         "If checked, first kingdom is assigned to player who holds the Seven of Hearts.",
         options_.sevenOfHeartsLead},
        {&partnershipGame, "Partnership game",
         "Check to play in partnerships. Leave this unchecked for the cutthroat game.", false},
        {&slowAnimation, "Slow animation",
         "Click for slower card animation. Useful when learning the game, or in faster "
         "computers.",
         options_.slowAnimation},
        {&classicTable, "Classic table",
         "The table as it always was: no contract badge, names, hints, last trick or keyboard play, "
         "and Escape leaves at once.",
         options_.classicTable},
        {&dimUnplayable, "Dim cards I may not play",
         "While it is your turn, the cards the rules do not let you play are greyed.",
         options_.dimUnplayable},
    }};
    for (std::size_t i = 0; i < checks.size(); ++i) {
        checks[i].control->set_label(checks[i].caption);
        checks[i].control->set_active(checks[i].active);
        SetText(optionExplanations[i], checks[i].explanation, 26);
        optionExplanations[i].set_margin_bottom(10);
        page.pack_start(*checks[i].control, Gtk::PACK_SHRINK);
        page.pack_start(optionExplanations[i], Gtk::PACK_SHRINK);
    }
    // The game has no partnerships.
    partnershipGame.set_sensitive(false);
    optionExplanations[1].set_sensitive(false);

    dealInPackets.set_label("Regles francaises");
    dealSingly.set_label("Reguas portuguese");
    Gtk::RadioButton::Group group = dealInPackets.get_group();
    dealSingly.set_group(group);
    // The Portuguese rules deal one card at a time, the French thirteen.
    (options_.dealPacketSize == 13 ? dealInPackets : dealSingly).set_active(true);
    page.pack_start(dealInPackets, Gtk::PACK_SHRINK);
    page.pack_start(dealSingly, Gtk::PACK_SHRINK);
    SetText(dealingExplanation,
            "The French rules deal each player thirteen cards at once; the Portuguese rules deal one card "
            "at a time.",
            26);
    page.pack_start(dealingExplanation, Gtk::PACK_SHRINK);
    BuildOpponentsChoice(page);
}

void StartDialog::BuildOpponentsChoice(Gtk::Box& page) {
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 12);
    row->pack_start(*Gtk::make_managed<Gtk::Label>("Opponents:"), Gtk::PACK_SHRINK);
    classicOpponents.set_label("Classic");
    expertOpponents.set_label("Expert");
    Gtk::RadioButton::Group group = classicOpponents.get_group();
    expertOpponents.set_group(group);
    (options_.expertOpponents ? expertOpponents : classicOpponents).set_active(true);
    row->pack_start(classicOpponents, Gtk::PACK_SHRINK);
    row->pack_start(expertOpponents, Gtk::PACK_SHRINK);
    row->set_margin_top(10);
    page.pack_start(*row, Gtk::PACK_SHRINK);
}

void StartDialog::OnDeckToggled(int deck) {
    if (!deckOption[deck].get_active()) return;
    // The indexed picture control switches exactly these pictures.
    switch (deck) {
        case 4:
            previewImages[0].show();
            previewImages[1].hide();
            break;
        case 2:
            previewImages[1].show();
            previewImages[0].hide();
            break;
        case 3:
            previewImages[2].show();
            previewImages[1].hide();
            break;
        default: break;
    }
}

void StartDialog::OnStartClicked() {
    if (savedDeal_ > 0 && hooks_.confirm &&
        !hooks_.confirm("Start a new match? The saved match (deal " + std::to_string(savedDeal_) + " of " +
                        std::to_string(kDealsPerMatch) + ") will be lost.")) {
        return;
    }
    endsProgramOnClose_ = false;
    options_.fullScreen = !windowed.get_active();
    if (deckOption[2].get_active()) options_.deckName = "Royal";
    if (deckOption[4].get_active()) options_.deckName = "Roya2";
    // The dialog starts from the remembered choices, so a box left clear
    // clears its option.
    options_.sevenOfHeartsLead = sevenOfHeartsLead.get_active();
    options_.slowAnimation = slowAnimation.get_active();
    options_.classicTable = classicTable.get_active();
    options_.dimUnplayable = dimUnplayable.get_active();
    options_.dealPacketSize = dealSingly.get_active() ? 1 : 13;
    options_.expertOpponents = expertOpponents.get_active();
    if (hooks_.startMatch) hooks_.startMatch();
}

void StartDialog::Dismiss() {
    if (dismissed_) return;
    dismissed_ = true;
    hide();
    if (endsProgramOnClose_ && hooks_.endProgram) hooks_.endProgram();
}

bool StartDialog::on_delete_event(GdkEventAny* /*event*/) {
    Dismiss();
    return true;  // Dismiss has hidden the window already
}

// ---- Saved match and statistics ----

void StartDialog::OfferResume(int deal) {
    savedDeal_ = deal;
    resumeButton.set_label("Resume match (deal " + std::to_string(deal) + " of " +
                           std::to_string(kDealsPerMatch) + ")");
    resumeButton.signal_clicked().connect([this] { OnResumeClicked(); });
    // Beside Start, in the row of buttons under the tabs.
    if (auto* buttons = dynamic_cast<Gtk::Box*>(startButton.get_parent())) {
        buttons->pack_end(resumeButton, Gtk::PACK_SHRINK);
        resumeButton.show();
        resumeButton.grab_focus();
    }
}

void StartDialog::StoreDisplayChoices() {
    options_.fullScreen = !windowed.get_active();
    if (deckOption[2].get_active()) options_.deckName = "Royal";
    if (deckOption[4].get_active()) options_.deckName = "Roya2";
}

void StartDialog::OnResumeClicked() {
    endsProgramOnClose_ = false;
    // The saved match keeps its own rules and deck; the window is chosen now.
    StoreDisplayChoices();
    if (hooks_.resumeMatch) hooks_.resumeMatch();
}

void StartDialog::ShowStatistics(const StatisticsSummary& summary) {
    Gtk::Box& page = statisticsPage_;
    MakePage(page);
    const auto percent = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f%%", 100.0 * v);
        return std::string(text);
    };
    const auto oneDecimal = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", v);
        return std::string(text);
    };
    if (summary.played == 0) {
        statisticsFigures.set_text(
            "No finished matches yet. Each match you play to its end is counted here.");
    } else {
        statisticsFigures.set_text(
            "Matches played: " + std::to_string(summary.played) +
            "      Won: " + std::to_string(summary.won) + "      Win rate: " + percent(summary.winRate) +
            "\nBest total: " + std::to_string(*summary.bestTotal) +
            "      Average total: " + oneDecimal(summary.averageTotal) + "      (the lowest total wins)");
    }
    statisticsFigures.set_xalign(0.0F);
    page.pack_start(statisticsFigures, Gtk::PACK_SHRINK);

    auto* grid = Gtk::make_managed<Gtk::Grid>();
    grid->set_column_spacing(14);
    grid->set_row_spacing(3);
    grid->set_margin_top(10);
    const std::array<const char*, 4> headings = {"Contract", "Played", "Your average", "Your average points"};
    for (int column = 0; column < 4; ++column) {
        auto* heading = Gtk::make_managed<Gtk::Label>();
        heading->set_markup(std::string("<b>") + headings[static_cast<std::size_t>(column)] + "</b>");
        heading->set_xalign(column == 0 || column == 3 ? 0.0F : 1.0F);
        grid->attach(*heading, column, 0);
    }
    double largest = 1;
    for (const ContractFigures& c : summary.contracts) {
        if (c.played > 0) largest = std::max(largest, std::fabs(c.humanAverage));
    }
    for (int n = 1; n <= kContractCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        const ContractFigures& c = summary.contracts[i];
        auto* name = Gtk::make_managed<Gtk::Label>(ContractName(n));
        name->set_xalign(0.0F);
        contractPlayed[i].set_text(std::to_string(c.played));
        contractPlayed[i].set_xalign(1.0F);
        contractAverage[i].set_text(c.played > 0 ? oneDecimal(c.humanAverage) : "-");
        contractAverage[i].set_xalign(1.0F);
        contractBars[i].Set(c.humanAverage, largest, c.played > 0);
        grid->attach(*name, 0, n);
        grid->attach(contractPlayed[i], 1, n);
        grid->attach(contractAverage[i], 2, n);
        grid->attach(contractBars[i], 3, n);
    }
    page.pack_start(*grid, Gtk::PACK_SHRINK);
    auto* legend = Gtk::make_managed<Gtk::Label>(
        "Bars to the left of the middle line are points won (green), to the right points lost (red).");
    legend->set_xalign(0.0F);
    legend->set_line_wrap(true);
    legend->set_margin_top(8);
    page.pack_start(*legend, Gtk::PACK_SHRINK);
    tabs.append_page(page, "Statistics");
    page.show_all();
}

ContractBar::ContractBar() { set_size_request(220, 18); }

void ContractBar::Set(double value, double largest, bool played) {
    value_ = value;
    largest_ = largest > 0 ? largest : 1;
    played_ = played;
    queue_draw();
}

bool ContractBar::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    const double width = get_allocated_width();
    const double height = get_allocated_height();
    const double middle = std::floor(width / 2) + 0.5;
    // The middle line: no points either way.
    cr->set_source_rgb(0.45, 0.45, 0.45);
    cr->set_line_width(1);
    cr->move_to(middle, 0);
    cr->line_to(middle, height);
    cr->stroke();
    if (!played_ || value_ == 0) return true;
    const double length = (width / 2 - 2) * std::min(1.0, std::fabs(value_) / largest_);
    // Lower is better: points won (below zero) in green to the left, points lost in red to the right.
    if (value_ < 0) {
        cr->set_source_rgb(0.18, 0.55, 0.24);
        cr->rectangle(middle - length, 3, length, height - 6);
    } else {
        cr->set_source_rgb(0.75, 0.22, 0.17);
        cr->rectangle(middle, 3, length, height - 6);
    }
    cr->fill();
    return true;
}

}  // namespace tenfold
