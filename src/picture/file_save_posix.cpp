// Saving on POSIX systems: a temporary file beside the target, renamed over it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "picture/file_save.h"

namespace vellora::picture {

namespace {

// An open file that is closed, and under a temporary name also removed, unless it is kept.
class OpenFile {
 public:
  OpenFile(int fd, std::string temporaryName) : fd_(fd), temporaryName_(std::move(temporaryName)) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporaryName_.empty()) ::unlink(temporaryName_.c_str());
  }

  int Fd() const { return fd_; }

  // Closes the file; false when the system reports that data was lost on the way.
  bool Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

  // From now on the temporary name is the caller's (it has been renamed away).
  void Keep() { temporaryName_.clear(); }

 private:
  int fd_;
  std::string temporaryName_;
};

// Makes a new file with a name of its own next to `destination`, readable and writable as
// umask allows. Returns the descriptor and the name, or -1 with errno set.
int CreateTemporaryBeside(const std::string& destination, std::string& name) {
  static unsigned counter = 0;
  const std::filesystem::path path(destination);
  std::string folder = path.parent_path().string();
  if (folder.empty()) folder = ".";
  // Shortened so that the temporary name stays within the system's limit for one name.
  const std::string base = path.filename().string().substr(0, 100);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder;
    name.append("/.").append(base).append(".").append(std::to_string(::getpid()));
    name.append("-").append(std::to_string(counter++)).append(".tmp");
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

long SystemWrite(int fd, const void* data, std::size_t size) {
  return static_cast<long>(::write(fd, data, size));
}

}  // namespace

std::string SystemErrorText(int errorCode) {
  std::string text = std::strerror(errorCode);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 0x20 || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

std::string ExpandFileName(const std::string& fileName) {
  try {
    return std::filesystem::absolute(fileName).lexically_normal().string();
  } catch (const std::filesystem::filesystem_error&) {
    // No current directory to expand against: the name as given.
    return fileName;
  }
}

void SaveBitmapFile(const RasterSurface& surface, const std::string& fileName) {
  SaveBitmapFile(surface, fileName, SystemWrite);
}

bool FallsBackToWritingInPlace(SaveStep step, int errorCode) {
  // A folder that lets anyone add files but only their owners replace them (the sticky bit),
  // or a file mounted on its own, refuses the replacement with EBUSY as well.
  return errorCode == EACCES || errorCode == EPERM ||
         (step == SaveStep::kReplace && errorCode == EBUSY);
}

namespace detail {

void SaveBlocks(const std::string& fileName, const std::vector<Block>& blocks,
                const WriteFunction& write) {
  const auto createError = [&fileName](int errorCode) { return CreateError(fileName, errorCode); };
  const auto writeAll = [&](int fd) {
    for (const Block& block : blocks) WriteBlock(write, fd, block);
  };
  if (fileName.empty()) throw createError(ENOENT);
  if (fileName.back() == '/') throw createError(EISDIR);

  // A symbolic link is saved through: the file it points to is replaced, the link stays.
  std::string destination = fileName;
  struct stat linkInfo {};
  if (::lstat(fileName.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    if (char* resolved = ::realpath(fileName.c_str(), nullptr)) {
      destination = resolved;
      std::free(resolved);
    }
  }

  // An existing file must be one this program may write, as if it were opened for writing.
  struct stat existing {};
  bool exists = false;
  const int probe = ::open(destination.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (probe >= 0) {
    exists = ::fstat(probe, &existing) == 0;
    ::close(probe);
  } else if (errno != ENOENT) {
    throw createError(errno);
  }

  // Empties the existing file and writes into it; a failure leaves what was written so far.
  const auto writeInPlace = [&] {
    const int fd = ::open(destination.c_str(), O_RDWR | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw createError(errno);
    OpenFile file(fd, "");
    writeAll(fd);
    if (!file.Close()) throw EWriteError();
  };

  // A device or a pipe has no contents to keep: write into it directly.
  if (exists && !S_ISREG(existing.st_mode)) return writeInPlace();

  std::string temporaryName;
  const int fd = CreateTemporaryBeside(destination, temporaryName);
  if (fd < 0) {
    const int createErrorCode = errno;
    // The user may write the file but not create one beside it (the folder is someone else's):
    // the file itself is overwritten. Any other reason (a full disk) keeps the old file whole.
    if (exists && FallsBackToWritingInPlace(SaveStep::kCreate, createErrorCode)) {
      return writeInPlace();
    }
    throw createError(createErrorCode);
  }
  OpenFile file(fd, temporaryName);
  if (exists) {
    // The replacement takes the place of the old file with its owner (as far as this process
    // may give it) and its permission bits.
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    }
    [[maybe_unused]] const int chmodResult = ::fchmod(fd, existing.st_mode & 07777);
  }

  writeAll(fd);
  // The data must be on the disk before the new name can point at it.
  if (::fsync(fd) != 0 || !file.Close()) throw EWriteError();
  if (::rename(temporaryName.c_str(), destination.c_str()) != 0) {
    const int renameError = errno;
    // The same as above: the file itself is overwritten.
    if (exists && FallsBackToWritingInPlace(SaveStep::kReplace, renameError)) {
      return writeInPlace();
    }
    throw createError(renameError);
  }
  file.Keep();

  // Make the rename itself durable; a failure here loses nothing that is not already saved.
  const std::string folder = std::filesystem::path(destination).parent_path().string();
  const int folderFd =
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    [[maybe_unused]] const int syncResult = ::fsync(folderFd);
    ::close(folderFd);
  }
}

}  // namespace detail
}  // namespace vellora::picture
