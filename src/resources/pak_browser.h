#pragma once
// The archive browser: opens any PAK archive, lists its entries with their
// offset and size, and saves one entry's resource file where the player says.

#include <gtkmm.h>

#include <functional>
#include <string>

#include "resources/pak_reader.h"

namespace tenfold {

// One question for a file dialog.
struct FileRequest {
    bool save = false;       // a save dialog; else an open dialog
    std::string title;       // the dialog's title
    std::string filterName;  // e.g. "QuakeII PAK-Files (*.pak)"
    std::string pattern;     // e.g. "*.pak"
    std::string folder;      // the folder the dialog starts in
    std::string fileName;    // the name offered when saving
};

// Asks the player for a file; "" when the dialog was cancelled.
using FileChooser = std::function<std::string(const FileRequest&)>;

// The window system's own file dialog, modal over `parent` (may be null).
std::string ChooseFileWithGtk(const FileRequest& request, Gtk::Window* parent);

struct PakBrowserHooks {
    // Defaults to ChooseFileWithGtk over the browser window.
    FileChooser chooseFile;
    // Shows why an archive could not be opened or an entry not saved.
    std::function<void(const std::string&)> showMessage;
    // Ends the program ("Exit", or closing the browser).
    std::function<void()> endProgram;
};

class PakBrowser : public Gtk::Window {
public:
    // `programFolder` is where both file dialogs start.
    PakBrowser(std::string programFolder, PakBrowserHooks hooks);

    // What the open button does once a file has been chosen.
    void OpenArchive(const std::string& path);

    Gtk::Button openButton;
    Gtk::Button saveButton;
    Gtk::Button exitButton;
    Gtk::Label titleLabel;
    Gtk::TreeView entryList;
    Gtk::Label nameLabel;
    Gtk::Label offsetLabel;
    Gtk::Label sizeLabel;

    // The reader the list shows; the unpacker uses the same kind of object.
    PakReader pak;

    // Number of lines in the entry list.
    int LineCount() const;
    // The text of line `index`.
    std::string LineText(int index) const;
    // Selects line `index` as a click on it would.
    void SelectLine(int index);

private:
    // Entry number of the selected line, or -1 when none is selected.
    int SelectedLine() const;
    void OnOpenClicked();
    void OnSaveClicked();
    void OnSelectionChanged();
    bool on_delete_event(GdkEventAny* event) override;

    struct Columns : Gtk::TreeModelColumnRecord {
        Gtk::TreeModelColumn<Glib::ustring> name;
        Columns() { add(name); }
    };

    std::string programFolder_;
    PakBrowserHooks hooks_;
    Columns columns_;
    Glib::RefPtr<Gtk::ListStore> lines_;
};

}  // namespace tenfold
