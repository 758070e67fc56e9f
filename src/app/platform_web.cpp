// In a web page: the save through the browser, and the window filling an area of its own size in
// the page.
#include <emscripten/emscripten.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QWidget>

#include "app/platform.h"

namespace vellora::app {
namespace {

// Sizes the page's area for the program (the element with the id "screen") in CSS pixels.
// clang-format off
EM_JS(void, SizeScreenElement, (int width, int height), {
  const element = document.getElementById("screen");
  if (element) {
    element.style.width = width + "px";
    element.style.height = height + "px";
  }
});
// clang-format on

}  // namespace

std::optional<QString> ChoosePictureFile(SavePictureChooser& /*chooser*/, QWidget* /*owner*/) {
  return QDir(QDir::tempPath()).filePath(QStringLiteral("vellora.bmp"));
}

void HandOverPicture(const QString& path) {
  QFile file(path);
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  file.close();
  QFile::remove(path);
  QFileDialog::saveFileContent(bytes, QStringLiteral("vellora.bmp"));
}

void ShowMainWindow(QWidget& window) {
  SizeScreenElement(window.width(), window.height());
  window.showFullScreen();
}

}  // namespace vellora::app
