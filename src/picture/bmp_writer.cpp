#include "picture/bmp_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/errors.h"

namespace vellora::picture {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = value & 0xFF;
  at[1] = (value >> 8) & 0xFF;
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) at[k] = (value >> (8 * k)) & 0xFF;
}

// The two headers, file header first. No colour table: the depth is always above 8 bits.
std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> Headers(const RasterSurface& surface) {
  const auto imageSize = static_cast<std::uint32_t>(surface.BytesPerLine() *
                                                    static_cast<std::size_t>(surface.Height()));
  const auto offBits = static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize);
  std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> bytes{};
  std::uint8_t* file = bytes.data();
  file[0] = 'B';
  file[1] = 'M';
  Put32(file + 2, offBits + imageSize);  // bfSize
  Put32(file + 10, offBits);             // bfOffBits; the reserved words stay 0
  std::uint8_t* info = file + kFileHeaderSize;
  Put32(info + 0, kInfoHeaderSize);
  Put32(info + 4, static_cast<std::uint32_t>(surface.Width()));
  Put32(info + 8, static_cast<std::uint32_t>(surface.Height()));  // positive: bottom row first
  Put16(info + 12, 1);                                            // planes
  Put16(info + 14, static_cast<std::uint32_t>(surface.BitsPerPixel()));
  Put32(info + 20, imageSize);  // compression, resolution and colour counts stay 0
  return bytes;
}

// The pixel rows in file order: bottom row first, each padded as the surface pads it.
std::vector<std::uint8_t> BottomUpRows(const RasterSurface& surface) {
  const std::size_t rowBytes = surface.BytesPerLine();
  const int height = surface.Height();
  std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(height));
  for (int r = 0; r < height; ++r) {
    std::memcpy(rows.data() + static_cast<std::size_t>(r) * rowBytes, surface.Row(height - 1 - r),
                rowBytes);
  }
  return rows;
}

// Writes one block whole, continuing after a short write; anything less is a write error.
void WriteBlock(const WriteFunction& write, int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const long written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0 || static_cast<std::size_t>(written) > size) throw EWriteError();
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

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

void SaveBitmapFile(const RasterSurface& surface, const std::string& fileName,
                    const WriteFunction& write) {
  const auto createError = [&fileName](int errorCode) {
    return EFCreateError("Cannot create file \"" + ExpandFileName(fileName) + "\". " +
                         SystemErrorText(errorCode));
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

  const auto headers = Headers(surface);
  const std::vector<std::uint8_t> rows = BottomUpRows(surface);

  // Empties the existing file and writes into it; a failure leaves what was written so far.
  const auto writeInPlace = [&] {
    const int fd = ::open(destination.c_str(), O_RDWR | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw createError(errno);
    OpenFile file(fd, "");
    WriteBlock(write, fd, headers.data(), kFileHeaderSize);
    WriteBlock(write, fd, headers.data() + kFileHeaderSize, kInfoHeaderSize);
    WriteBlock(write, fd, rows.data(), rows.size());
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
    if (exists && (createErrorCode == EACCES || createErrorCode == EPERM)) return writeInPlace();
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

  WriteBlock(write, fd, headers.data(), kFileHeaderSize);
  WriteBlock(write, fd, headers.data() + kFileHeaderSize, kInfoHeaderSize);
  WriteBlock(write, fd, rows.data(), rows.size());
  // The data must be on the disk before the new name can point at it.
  if (::fsync(fd) != 0 || !file.Close()) throw EWriteError();
  if (::rename(temporaryName.c_str(), destination.c_str()) != 0) {
    const int renameError = errno;
    // A folder that lets anyone add files but only their owners replace them (the sticky bit),
    // or a file mounted on its own: the same as above, the file itself is overwritten.
    if (exists && (renameError == EPERM || renameError == EACCES || renameError == EBUSY)) {
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

}  // namespace vellora::picture
