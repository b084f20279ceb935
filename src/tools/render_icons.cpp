// Writes the game's icons at build time: render_icons OUTPUT_FOLDER APP_ID SIZE...
// gives OUTPUT_FOLDER/<SIZE>x<SIZE>/apps/<APP_ID>.png for each size.
#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include "app/app_icon.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: render_icons OUTPUT_FOLDER APP_ID SIZE...\n");
    return 2;
  }
  QCoreApplication app(argc, argv);  // Qt loads and unloads its image plugins through it
  const QString output = QString::fromLocal8Bit(argv[1]);
  const QString app_id = QString::fromLocal8Bit(argv[2]);
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "render_icons: bad size '%s'\n", argv[i]);
      return 2;
    }
    const QString folder = QString("%1/%2x%2/apps").arg(output).arg(size);
    const QString path = folder + "/" + app_id + ".png";
    if (!QDir().mkpath(folder) || !jumblix::render_app_icon(size).save(path, "PNG")) {
      std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
