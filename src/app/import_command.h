#pragma once
// Importing the player's own image files from the command line, without opening the window.
#include <QString>
#include <QStringList>

namespace jumblix {

// Imports each of `files` into the game folder `game_folder` as a regular picture (or an
// animated one when `animated`), printing one line per file on stdout (what was written)
// or stderr (why not). Returns the process exit status: 0 when every file was imported.
int run_import_command(const QStringList& files, bool animated, const QString& game_folder);

}  // namespace jumblix
