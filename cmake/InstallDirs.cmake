# Where the game installs, as Debian's policy places games: the programs in
# <prefix>/games, the data they read in <prefix>/share/games/tenfold. Both are
# cache variables, so a per-user install can choose others (for example
# -DTENFOLD_INSTALL_GAMESDIR=bin for ~/.local/bin, which is on the PATH).
# Included wherever these paths are needed (safe to include more than once).
include(GNUInstallDirs)

set(TENFOLD_INSTALL_GAMESDIR "games" CACHE STRING
    "Folder below the install prefix for the programs")
set(TENFOLD_INSTALL_GAMEDATADIR "${CMAKE_INSTALL_DATADIR}/games/tenfold" CACHE STRING
    "Folder below the install prefix for the game's resource archive")

# The program finds its archive from its own folder by this relative path, so
# the installed tree can be moved as a whole.
file(RELATIVE_PATH TENFOLD_DATA_FROM_BIN "/${TENFOLD_INSTALL_GAMESDIR}" "/${TENFOLD_INSTALL_GAMEDATADIR}")
