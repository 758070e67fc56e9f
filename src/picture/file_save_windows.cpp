// Saving on Windows: names in any script through the wide-character calls, a temporary file
// beside the target written in binary mode and moved over it in one step.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <string>

#include "picture/file_save.h"

namespace vellora::picture {

namespace {

// The program's names are UTF-8; Windows takes UTF-16.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), size);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
  return text;
}

// Opened for reading and writing and shared with nobody.
HANDLE Open(const std::wstring& name, DWORD disposition) {
  return ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A handle as a C runtime descriptor in binary mode: no byte 10 becomes 13 10. Returns -1 (the
// handle closed) when the runtime has no descriptor left.
int BinaryDescriptor(HANDLE handle) {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (fd < 0) ::CloseHandle(handle);
  return fd;
}

// An open file that is closed, and under a temporary name also removed, unless it is kept.
class OpenFile {
 public:
  OpenFile(int fd, std::wstring temporaryName)
      : fd_(fd), temporaryName_(std::move(temporaryName)) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (fd_ >= 0) ::_close(fd_);
    if (!temporaryName_.empty()) ::DeleteFileW(temporaryName_.c_str());
  }
  // Flushes to the disk when asked, then closes; false when the system reports a loss.
  bool Close(bool flush) {
    const bool flushed = !flush || ::_commit(fd_) == 0;
    const int result = ::_close(fd_);
    fd_ = -1;
    return flushed && result == 0;
  }
  void Keep() { temporaryName_.clear(); }

 private:
  int fd_;
  std::wstring temporaryName_;
};

// A new file with a name of its own next to `destination`. Returns the handle and the name, or
// INVALID_HANDLE_VALUE with the error left in GetLastError().
HANDLE CreateTemporaryBeside(const std::wstring& destination, std::wstring& name) {
  static unsigned counter = 0;
  const std::size_t slash = destination.find_last_of(L"\\/:");
  const std::wstring folder = slash == std::wstring::npos ? L"" : destination.substr(0, slash + 1);
  const std::wstring base = destination.substr(folder.size()).substr(0, 100);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = folder + L"." + base + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++) + L".tmp";
    const HANDLE handle = Open(name, CREATE_NEW);
    if (handle != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  ::SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

long SystemWrite(int fd, const void* data, std::size_t size) {
  const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
  return ::_write(fd, data, chunk);
}

}  // namespace

std::string SystemErrorText(int errorCode) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length > 0 ? Narrow(std::wstring(buffer, length))
                                : "System error " + std::to_string(errorCode);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 0x20 || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

std::string ExpandFileName(const std::string& fileName) {
  const std::wstring wide = Widen(fileName);
  const DWORD size = wide.empty() ? 0 : ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return fileName;
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return fileName;
  full.resize(length);
  return Narrow(full);
}

void SaveBitmapFile(const RasterSurface& surface, const std::string& fileName) {
  SaveBitmapFile(surface, fileName, SystemWrite);
}

bool FallsBackToWritingInPlace(SaveStep, int errorCode) {
  return errorCode == ERROR_ACCESS_DENIED || errorCode == ERROR_PRIVILEGE_NOT_HELD;
}

namespace detail {

void SaveBlocks(const std::string& fileName, const std::vector<Block>& blocks,
                const WriteFunction& write) {
  const auto createError = [&fileName](DWORD code) {
    return CreateError(fileName, static_cast<int>(code));
  };
  const std::wstring destination = Widen(fileName);
  if (destination.empty()) {
    throw createError(fileName.empty() ? ERROR_PATH_NOT_FOUND : ERROR_NO_UNICODE_TRANSLATION);
  }
  const auto writeAll = [&](int fd) {
    for (const Block& block : blocks) WriteBlock(write, fd, block);
  };

  // An existing file must be one this program may write, and nobody else may hold it open.
  bool exists = false;
  bool regular = true;
  const HANDLE probe = Open(destination, OPEN_EXISTING);
  if (probe != INVALID_HANDLE_VALUE) {
    exists = true;
    regular = ::GetFileType(probe) == FILE_TYPE_DISK;
    ::CloseHandle(probe);
  } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw createError(::GetLastError());
  }

  // Empties the existing file and writes into it; a failure leaves what was written so far.
  const auto writeInPlace = [&] {
    const HANDLE handle = Open(destination, regular ? TRUNCATE_EXISTING : OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) throw createError(::GetLastError());
    const int fd = BinaryDescriptor(handle);
    if (fd < 0) throw createError(ERROR_TOO_MANY_OPEN_FILES);
    OpenFile file(fd, L"");
    writeAll(fd);
    if (!file.Close(false)) throw EWriteError();
  };

  // A device has no contents to keep: write into it directly.
  if (exists && !regular) return writeInPlace();

  std::wstring temporaryName;
  const HANDLE handle = CreateTemporaryBeside(destination, temporaryName);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (exists && FallsBackToWritingInPlace(SaveStep::kCreate, static_cast<int>(code))) {
      return writeInPlace();
    }
    throw createError(code);
  }
  const int fd = BinaryDescriptor(handle);
  if (fd < 0) {
    ::DeleteFileW(temporaryName.c_str());
    throw createError(ERROR_TOO_MANY_OPEN_FILES);
  }
  OpenFile file(fd, temporaryName);
  writeAll(fd);
  // The data must be on the disk before the new name can point at it.
  if (!file.Close(true)) throw EWriteError();
  if (!::MoveFileExW(temporaryName.c_str(), destination.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = ::GetLastError();
    if (exists && FallsBackToWritingInPlace(SaveStep::kReplace, static_cast<int>(code))) {
      return writeInPlace();
    }
    throw createError(code);
  }
  file.Keep();
}

}  // namespace detail
}  // namespace vellora::picture
