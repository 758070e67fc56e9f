#include "app/program_icon.h"

#include <QSize>

namespace vellora::app {

QString ApplicationId() {
  return QStringLiteral(VELLORA_APP_ID);
}

QIcon ProgramIcon() {
  QIcon builtIn;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    builtIn.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  }
  return QIcon::fromTheme(ApplicationId(), builtIn);
}

}  // namespace vellora::app
