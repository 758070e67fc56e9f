#include <QWidget>

#include "app/platform.h"
#include "app/save_picture_dialog.h"

namespace vellora::app {

std::optional<QString> ChoosePictureFile(SavePictureChooser& chooser, QWidget* owner) {
  return chooser.Execute(owner);
}

void HandOverPicture(const QString& /*path*/) {}

void ShowMainWindow(QWidget& window) {
  window.show();
}

}  // namespace vellora::app
