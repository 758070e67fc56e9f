// Reading a file for the save dialog's preview on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "app/preview_file.h"
#include "app/save_picture_dialog.h"

namespace vellora::app {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

QByteArray ReadSmallRegularFile(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  // Only a regular file is opened at all: opening a device can act on it (a tape rewinds).
  if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  // A file that says it is empty holds no picture; the kernel's own files say so (/proc/kmsg,
  // whose read would also take the messages away from the system log).
  if (info.st_size <= 0 || info.st_size > kMaxPreviewBytes) return {};
  const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Fd() < 0) return {};
  // It may have been replaced by something else between the two looks.
  if (::fstat(file.Fd(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  QByteArray contents;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(file.Fd(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return {};  // EAGAIN included: the file has nothing to give without waiting
    if (count == 0) return contents;
    if (contents.size() + count > kMaxPreviewBytes) return {};
    contents.append(buffer, static_cast<qsizetype>(count));
  }
}

}  // namespace vellora::app
