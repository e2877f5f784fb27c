#include "resources/pak_browser.h"

#include <utility>

#include "resources/file_path.h"
#include "resources/resource_layout.h"

namespace tenfold {

namespace {

constexpr const char* kNoValue = "---";

// An entry name as the player should read it: without the field's padding,
// and with any byte that is not printable shown as an escape.
std::string ShownName(const std::string& field) { return PrintableName(layout::TrimName(field)); }

Gtk::Label& Caption(const char* text) {
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->set_xalign(0.0F);
    return *label;
}

}  // namespace

std::string ChooseFileWithGtk(const FileRequest& request, Gtk::Window* parent) {
    Gtk::FileChooserDialog dialog(
        request.title, request.save ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN);
    if (parent != nullptr) dialog.set_transient_for(*parent);
    dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    dialog.add_button(request.save ? "_Save" : "_Open", Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
    auto filter = Gtk::FileFilter::create();
    filter->set_name(request.filterName);
    filter->add_pattern(request.pattern);
    dialog.add_filter(filter);
    if (!request.folder.empty()) dialog.set_current_folder(request.folder);
    if (request.save) {
        dialog.set_do_overwrite_confirmation(true);
        if (!request.fileName.empty()) dialog.set_current_name(request.fileName);
    }
    std::string chosen;
    if (dialog.run() == Gtk::RESPONSE_ACCEPT) chosen = dialog.get_filename();
    dialog.hide();
    return chosen;
}

PakBrowser::PakBrowser(std::string programFolder, PakBrowserHooks hooks)
    : programFolder_(std::move(programFolder)), hooks_(std::move(hooks)) {
    if (!hooks_.chooseFile) {
        hooks_.chooseFile = [this](const FileRequest& r) { return ChooseFileWithGtk(r, this); };
    }
    set_title("Tenfold");
    set_default_size(560, 440);
    set_position(Gtk::WIN_POS_CENTER);
    set_border_width(10);

    openButton.set_label("Open .pak-file");
    saveButton.set_label("Extract file to folder");
    exitButton.set_label("Exit");
    saveButton.set_sensitive(false);
    openButton.signal_clicked().connect([this] { OnOpenClicked(); });
    saveButton.signal_clicked().connect([this] { OnSaveClicked(); });
    exitButton.signal_clicked().connect([this] {
        if (hooks_.endProgram) hooks_.endProgram();
    });

    titleLabel.set_xalign(0.0F);
    titleLabel.set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
    nameLabel.set_xalign(0.0F);
    nameLabel.set_selectable(true);
    offsetLabel.set_text(kNoValue);
    offsetLabel.set_xalign(0.0F);
    sizeLabel.set_text(kNoValue);
    sizeLabel.set_xalign(0.0F);

    lines_ = Gtk::ListStore::create(columns_);
    entryList.set_model(lines_);
    entryList.append_column("Entry", columns_.name);
    entryList.set_headers_visible(false);
    entryList.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
    entryList.get_selection()->signal_changed().connect([this] { OnSelectionChanged(); });
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroller->set_shadow_type(Gtk::SHADOW_IN);
    scroller->add(entryList);

    auto* details = Gtk::make_managed<Gtk::Grid>();
    details->set_column_spacing(12);
    details->set_row_spacing(4);
    details->attach(Caption("Name:"), 0, 0);
    details->attach(nameLabel, 1, 0);
    details->attach(Caption("Offset:"), 0, 1);
    details->attach(offsetLabel, 1, 1);
    details->attach(Caption("Size:"), 0, 2);
    details->attach(sizeLabel, 1, 2);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 8);
    buttons->pack_start(openButton, Gtk::PACK_SHRINK);
    buttons->pack_start(saveButton, Gtk::PACK_SHRINK);
    buttons->pack_end(exitButton, Gtk::PACK_SHRINK);

    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_VERTICAL, 8);
    box->pack_start(titleLabel, Gtk::PACK_SHRINK);
    box->pack_start(*scroller, Gtk::PACK_EXPAND_WIDGET);
    box->pack_start(*details, Gtk::PACK_SHRINK);
    box->pack_start(*buttons, Gtk::PACK_SHRINK);
    add(*box);
    show_all_children();
}

int PakBrowser::LineCount() const { return static_cast<int>(lines_->children().size()); }

std::string PakBrowser::LineText(int index) const {
    const Gtk::TreeRow row = lines_->children()[static_cast<unsigned>(index)];
    return Glib::ustring(row[columns_.name]);
}

void PakBrowser::SelectLine(int index) {
    const Gtk::TreePath path(std::to_string(index));
    entryList.get_selection()->select(path);
    entryList.scroll_to_row(path);
}

int PakBrowser::SelectedLine() const {
    const auto iter = const_cast<Gtk::TreeView&>(entryList).get_selection()->get_selected();
    if (!iter) return -1;
    return lines_->get_path(iter)[0];
}

void PakBrowser::OnOpenClicked() {
    FileRequest request;
    request.title = "Open .pak-file";
    request.filterName = "QuakeII PAK-Files (*.pak)";
    request.pattern = "*.pak";
    request.folder = programFolder_;
    const std::string chosen = hooks_.chooseFile(request);
    if (chosen.empty()) return;
    OpenArchive(chosen);
}

void PakBrowser::OpenArchive(const std::string& path) {
    const Result opened = pak.Open(path);
    // A file that is no archive leaves the earlier archive in the reader; the
    // window keeps showing that archive, under its own name.
    if (opened) titleLabel.set_text("Files in " + FileNameOf(path));
    lines_->clear();
    nameLabel.set_text("");
    offsetLabel.set_text(kNoValue);
    sizeLabel.set_text(kNoValue);
    for (const PakRecord& r : pak.Entries()) (*lines_->append())[columns_.name] = ShownName(r.name);
    if (pak.EntryCount() > 0) saveButton.set_sensitive(true);
    if (!opened && hooks_.showMessage) hooks_.showMessage(opened.Reason());
}

void PakBrowser::OnSelectionChanged() {
    const int index = SelectedLine();
    if (index < 0) return;
    const PakRecord& r = pak.Entries()[static_cast<std::size_t>(index)];
    nameLabel.set_text(ShownName(r.name));
    offsetLabel.set_text(std::to_string(r.offset) + " Bytes");
    sizeLabel.set_text(std::to_string(r.size) + " Bytes");
}

void PakBrowser::OnSaveClicked() {
    const int index = SelectedLine();
    if (index < 0) return;
    const std::string name = layout::TrimName(pak.Entries()[static_cast<std::size_t>(index)].name);
    const std::string extension = ShortExtensionOf(name);
    FileRequest request;
    request.save = true;
    request.title = "Save recource-file";
    request.filterName = "Recource-file (*." + extension + ")";
    request.pattern = "*." + extension;
    request.folder = programFolder_;
    request.fileName = FileNameOf(name);
    const std::string target = hooks_.chooseFile(request);
    if (target.empty()) return;
    if (const Result saved = pak.SaveEntry(index, target); !saved && hooks_.showMessage) {
        hooks_.showMessage(saved.Reason());
    }
}

bool PakBrowser::on_delete_event(GdkEventAny* /*event*/) {
    hide();
    if (hooks_.endProgram) hooks_.endProgram();
    return true;
}

}  // namespace tenfold
