// Reading a file for the save dialog's preview, the operating system's way (CMake picks
// preview_file_posix.cpp or preview_file_windows.cpp).
#pragma once

#include <QByteArray>
#include <QString>

namespace vellora::app {

// The whole contents of a regular file of at most kMaxPreviewBytes, read without waiting; an
// empty array for anything else.
QByteArray ReadSmallRegularFile(const QString& path);

}  // namespace vellora::app
