// Modal boxes in a nested event loop of their own.
#include <QDialog>
#include <QPointer>

#include "app/platform.h"

namespace vellora::app {

void ShowModal(QDialog* box, const std::function<void()>& closed) {
  // The box may go with its parent while open.
  QPointer<QDialog> guard(box);
  box->exec();
  delete guard;
  closed();
}

}  // namespace vellora::app
