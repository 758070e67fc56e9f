// Modal boxes that do not block: the box is shown and the event loop goes on, as a web page's
// must (a nested loop there needs the whole program rewritten for it, which makes it far
// larger). The box still blocks input to the window while open.
#include <QDialog>
#include <memory>

#include "app/platform.h"

namespace vellora::app {

void ShowModal(QDialog* box, const std::function<void()>& closed) {
  // Whichever comes first, closing or destruction (with its parent), ends the box once.
  auto pending = std::make_shared<std::function<void()>>(closed);
  const auto finish = [pending] {
    if (!*pending) return;
    const std::function<void()> call = std::move(*pending);
    *pending = nullptr;
    call();
  };
  QObject::connect(box, &QDialog::finished, box, [box, finish] {
    box->deleteLater();
    finish();
  });
  QObject::connect(box, &QObject::destroyed, finish);
  box->show();
}

}  // namespace vellora::app
