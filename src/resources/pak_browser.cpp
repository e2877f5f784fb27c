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
        request.Title, request.Save ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN);
    if (parent != nullptr) dialog.set_transient_for(*parent);
    dialog.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
    dialog.add_button(request.Save ? "_Save" : "_Open", Gtk::RESPONSE_ACCEPT);
    dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
    auto filter = Gtk::FileFilter::create();
    filter->set_name(request.FilterName);
    filter->add_pattern(request.Pattern);
    dialog.add_filter(filter);
    if (!request.Folder.empty()) dialog.set_current_folder(request.Folder);
    if (request.Save) {
        dialog.set_do_overwrite_confirmation(true);
        if (!request.FileName.empty()) dialog.set_current_name(request.FileName);
    }
    std::string chosen;
    if (dialog.run() == Gtk::RESPONSE_ACCEPT) chosen = dialog.get_filename();
    dialog.hide();
    return chosen;
}

PakBrowser::PakBrowser(std::string programFolder, PakBrowserHooks hooks)
    : programFolder_(std::move(programFolder)), hooks_(std::move(hooks)) {
    if (!hooks_.ChooseFile) {
        hooks_.ChooseFile = [this](const FileRequest& r) { return ChooseFileWithGtk(r, this); };
    }
    set_title("Tenfold");
    set_default_size(560, 440);
    set_position(Gtk::WIN_POS_CENTER);
    set_border_width(10);

    OpenButton.set_label("Open .pak-file");
    SaveButton.set_label("Extract file to folder");
    ExitButton.set_label("Exit");
    SaveButton.set_sensitive(false);
    OpenButton.signal_clicked().connect([this] { OnOpenClicked(); });
    SaveButton.signal_clicked().connect([this] { OnSaveClicked(); });
    ExitButton.signal_clicked().connect([this] {
        if (hooks_.EndProgram) hooks_.EndProgram();
    });

    TitleLabel.set_xalign(0.0F);
    TitleLabel.set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
    NameLabel.set_xalign(0.0F);
    NameLabel.set_selectable(true);
    OffsetLabel.set_text(kNoValue);
    OffsetLabel.set_xalign(0.0F);
    SizeLabel.set_text(kNoValue);
    SizeLabel.set_xalign(0.0F);

    lines_ = Gtk::ListStore::create(columns_);
    EntryList.set_model(lines_);
    EntryList.append_column("Entry", columns_.name);
    EntryList.set_headers_visible(false);
    EntryList.get_selection()->set_mode(Gtk::SELECTION_SINGLE);
    EntryList.get_selection()->signal_changed().connect([this] { OnSelectionChanged(); });
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    scroller->set_shadow_type(Gtk::SHADOW_IN);
    scroller->add(EntryList);

    auto* details = Gtk::make_managed<Gtk::Grid>();
    details->set_column_spacing(12);
    details->set_row_spacing(4);
    details->attach(Caption("Name:"), 0, 0);
    details->attach(NameLabel, 1, 0);
    details->attach(Caption("Offset:"), 0, 1);
    details->attach(OffsetLabel, 1, 1);
    details->attach(Caption("Size:"), 0, 2);
    details->attach(SizeLabel, 1, 2);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_HORIZONTAL, 8);
    buttons->pack_start(OpenButton, Gtk::PACK_SHRINK);
    buttons->pack_start(SaveButton, Gtk::PACK_SHRINK);
    buttons->pack_end(ExitButton, Gtk::PACK_SHRINK);

    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::ORIENTATION_VERTICAL, 8);
    box->pack_start(TitleLabel, Gtk::PACK_SHRINK);
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
    EntryList.get_selection()->select(path);
    EntryList.scroll_to_row(path);
}

int PakBrowser::SelectedLine() const {
    const auto iter = const_cast<Gtk::TreeView&>(EntryList).get_selection()->get_selected();
    if (!iter) return -1;
    return lines_->get_path(iter)[0];
}

void PakBrowser::OnOpenClicked() {
    FileRequest request;
    request.Title = "Open .pak-file";
    request.FilterName = "QuakeII PAK-Files (*.pak)";
    request.Pattern = "*.pak";
    request.Folder = programFolder_;
    const std::string chosen = hooks_.ChooseFile(request);
    if (chosen.empty()) return;
    OpenArchive(chosen);
}

void PakBrowser::OpenArchive(const std::string& path) {
    const bool opened = Pak.Open(path);
    // A file that is no archive leaves the earlier archive in the reader; the
    // window keeps showing that archive, under its own name.
    if (opened) TitleLabel.set_text("Files in " + GetFileName(path));
    lines_->clear();
    NameLabel.set_text("");
    OffsetLabel.set_text(kNoValue);
    SizeLabel.set_text(kNoValue);
    if (!Pak.FileLoaded().empty()) {
        for (std::int32_t id = 0; id <= Pak.LastIndex(); ++id) {
            (*lines_->append())[columns_.name] = ShownName(Pak.EntryName(id));
        }
        SaveButton.set_sensitive(true);
    }
    if (!opened && hooks_.ShowMessage) hooks_.ShowMessage(Pak.LastError());
}

void PakBrowser::OnSelectionChanged() {
    const int index = SelectedLine();
    if (index < 0) return;
    NameLabel.set_text(ShownName(Pak.EntryName(index)));
    OffsetLabel.set_text(std::to_string(Pak.EntryOffset(index)) + " Bytes");
    SizeLabel.set_text(std::to_string(Pak.EntrySize(index)) + " Bytes");
}

void PakBrowser::OnSaveClicked() {
    const int index = SelectedLine();
    if (Pak.FileLoaded().empty() || index < 0) return;
    const std::string name = layout::TrimName(Pak.EntryName(index));
    const std::string extension = GetFileExtension(name);
    FileRequest request;
    request.Save = true;
    request.Title = "Save recource-file";
    request.FilterName = "Recource-file (*." + extension + ")";
    request.Pattern = "*." + extension;
    request.Folder = programFolder_;
    request.FileName = GetFileName(name);
    const std::string target = hooks_.ChooseFile(request);
    if (target.empty()) return;
    if (!Pak.SaveEntry(index, target) && hooks_.ShowMessage) {
        hooks_.ShowMessage(Pak.LastError());
    }
}

bool PakBrowser::on_delete_event(GdkEventAny* /*event*/) {
    hide();
    if (hooks_.EndProgram) hooks_.EndProgram();
    return true;
}

}  // namespace tenfold
