// The player's own pictures in the real window: a file dialog with a choice of kind, and
// image files dropped from a file manager.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include "platform/qt/qt_loop.h"
#include "platform/qt/qt_window.h"

namespace jumblix {

namespace {

// "Pictures (*.bmp *.BMP *.jpg *.JPG ...)": every format the installed image plugins read.
QString picture_filter() {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats()) {
    const QString suffix = QString::fromLatin1(format);
    patterns << "*." + suffix.toLower() << "*." + suffix.toUpper();
  }
  patterns.removeDuplicates();
  return "Pictures (" + patterns.join(' ') + ");;All files (*)";
}

std::vector<std::string> local_files(const QMimeData* mime) {
  std::vector<std::string> files;
  if (!mime || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  return files;
}

}  // namespace

PictureFilesChoice QtWindow::ask_for_picture_files() {
  static QString last_folder = QDir::homePath();
  const QStringList files =
      QFileDialog::getOpenFileNames(this, "Add your own pictures", last_folder, picture_filter());
  if (files.isEmpty()) return {};
  last_folder = QFileInfo(files.first()).absolutePath();

  QMessageBox ask(QMessageBox::Question, "Add your own pictures",
                  files.size() == 1 ? "Add this picture as:" : "Add these pictures as:",
                  QMessageBox::NoButton, this);
  QPushButton* regular = ask.addButton("Regular pictures", QMessageBox::AcceptRole);
  QPushButton* animated = ask.addButton("Animated pictures", QMessageBox::AcceptRole);
  ask.addButton(QMessageBox::Cancel);
  ask.setDefaultButton(regular);
  ask.exec();
  if (ask.clickedButton() != regular && ask.clickedButton() != animated) return {};

  PictureFilesChoice choice;
  for (const QString& f : files) choice.files.push_back(f.toStdString());
  choice.animated = ask.clickedButton() == animated;
  return choice;
}

void QtWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!local_files(event->mimeData()).empty()) event->acceptProposedAction();
}

void QtWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!local_files(event->mimeData()).empty()) event->acceptProposedAction();
}

void QtWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = local_files(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  run_from_qt([&] {
    if (form_.on_files_dropped) form_.on_files_dropped(files);
  });
}

}  // namespace jumblix
