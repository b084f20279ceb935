#include "app/import_command.h"

#include <cstdio>

namespace jumblix {

// Placeholder until the import operation lands.
int run_import_command(const QStringList& files, bool, const QString&) {
  for (const QString& f : files) std::fprintf(stderr, "%s: importing is not available yet\n", qPrintable(f));
  return files.isEmpty() ? 0 : 1;
}

}  // namespace jumblix
