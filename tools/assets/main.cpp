// tenfold-assets: draws, writes and packs every picture, font and sound the
// game loads. Run by the build to make res120.pak; also writes the files as a
// folder tree and a contact sheet for review.

#include <CLI/CLI.hpp>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

#include <exception>
#include <iostream>

#include "contact_sheet.h"
#include "pictures.h"
#include "resources.h"
#include "resources/resource_layout.h"
#include "sounds.h"

namespace {

// Releases the font caches of pango, cairo and fontconfig at exit, so that a
// leak checker sees only leaks of our own.
struct FontCachesRelease {
    ~FontCachesRelease() {
        pango_cairo_font_map_set_default(nullptr);
        cairo_debug_reset_static_data();
        FcFini();
    }
};

}  // namespace

int main(int argc, char** argv) {
    const FontCachesRelease releaseAtExit;
    using namespace tenfold::assets;
    CLI::App app{"Generates the game's pictures, fonts and sounds."};
    std::string treeDir, pakFile, contactSheet;
    Sources sources;
    app.add_option("--pak", pakFile, "pack every file into the resource archive FILE (res120.pak)")
        ->type_name("FILE");
    app.add_option("--tree", treeDir, "write the files as DIR/res/<folder>/<file>")->type_name("DIR");
    app.add_option("--contact-sheet", contactSheet, "write one PNG showing every picture, for review")
        ->type_name("FILE.png");
    app.add_option("--standard-deck", sources.standardDeck, "SVGZ card deck for the folder Roya2")
        ->check(CLI::ExistingFile);
    app.add_option("--genoese-deck", sources.genoeseDeck, "SVGZ card deck for the folder Royal")
        ->check(CLI::ExistingFile);
    CLI11_PARSE(app, argc, argv);
    if (pakFile.empty() && treeDir.empty() && contactSheet.empty()) {
        std::cerr << "tenfold-assets: nothing to do (give --pak, --tree or --contact-sheet)\n";
        return 2;
    }
    try {
        const Pictures pictures = DrawAllPictures(sources);
        if (!contactSheet.empty()) WriteContactSheet(pictures, contactSheet);
        if (!pakFile.empty() || !treeDir.empty()) {
            std::vector<Resource> files = Package(pictures, SynthesiseSounds());
            // The same art for large screens, one scale at a time to keep the
            // generator's memory small.
            for (const int scale : tenfold::layout::kLargerScales) {
                std::vector<Resource> scaled = PackageScaled(DrawAllPictures(sources, scale));
                files.insert(files.end(), std::make_move_iterator(scaled.begin()),
                             std::make_move_iterator(scaled.end()));
            }
            if (!treeDir.empty()) WriteTree(files, treeDir);
            if (!pakFile.empty()) WriteArchive(files, pakFile);
        }
    } catch (const std::exception& e) {
        std::cerr << "tenfold-assets: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
