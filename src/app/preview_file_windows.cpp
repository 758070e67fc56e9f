// Reading a file for the save dialog's preview on Windows, where names are wide and a device
// is not a file: only an ordinary file on a disk is read.
#include <QFile>
#include <QFileInfo>

#include "app/preview_file.h"
#include "app/save_picture_dialog.h"

namespace vellora::app {

QByteArray ReadSmallRegularFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile() || info.size() <= 0 || info.size() > kMaxPreviewBytes) return {};
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray contents = file.read(kMaxPreviewBytes + 1);
  if (contents.size() > kMaxPreviewBytes) return {};
  return contents;
}

}  // namespace vellora::app
