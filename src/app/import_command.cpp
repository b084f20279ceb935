#include "app/import_command.h"

#include <cstdio>

#include "app/command_line.h"
#include "puzzle/picture_import.h"
#include "puzzle/picture_library.h"

namespace jumblix {

int run_import_command(const QStringList& files, bool animated, const QString& game_folder) {
  const std::string folder =
      join_path(game_folder.toStdString(), animated ? kAnimationFolderName : kRegularFolderName);
  const char* kind_words = animated ? "animation pictures" : "regular pictures";
  const AreaSize cover = player_drawing_area();
  bool all_added = !files.isEmpty();
  if (files.isEmpty()) std::fprintf(stderr, "jumblix: no picture files given\n");
  for (const QString& file : files) {
    const ImportResult result =
        import_picture(file.toStdString(), animated ? PictureKind::animated : PictureKind::regular,
                       folder, cover);
    // One line per file, whatever its name holds.
    const QByteArray name = printable_name(file).toLocal8Bit();
    const QByteArray detail = printable_name(QString::fromStdString(result.detail)).toLocal8Bit();
    if (result.added) {
      std::printf("%s: %s to %s\n", name.constData(), detail.constData(), kind_words);
      std::fflush(stdout);
    } else {
      all_added = false;
      std::fprintf(stderr, "%s: not added: %s\n", name.constData(), detail.constData());
    }
  }
  return all_added ? 0 : 1;
}

}  // namespace jumblix
