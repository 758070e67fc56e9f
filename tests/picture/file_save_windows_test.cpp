// Saving on Windows: a target another program holds open, the system's texts, and the names
// Windows writes.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/errors.h"
#include "picture/bmp_writer.h"
#include "picture/utf8_path.h"

namespace vellora::picture {
namespace {

namespace fs = std::filesystem;

class WindowsFileSave : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vellora-win-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Message(const fs::path& path) {
    try {
      SaveBitmapFile(RasterSurface(4, 4), Utf8(path));
    } catch (const EFCreateError& e) {
      return e.Message();
    }
    return "(saved)";
  }
  fs::path folder_;
};

// Held open without sharing, as an editor may: the save fails with the system's text and the
// file keeps its contents; once it is let go, the save replaces it.
TEST_F(WindowsFileSave, ATargetHeldOpenByAnotherProgramIsKept) {
  const fs::path path = folder_ / "held.bmp";
  std::ofstream(path, std::ios::binary) << "the earlier picture";
  const HANDLE held = ::CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Message(path), "Cannot create file \"" + Utf8(path) + "\". " +
                               SystemErrorText(ERROR_SHARING_VIOLATION));
  ::CloseHandle(held);
  EXPECT_EQ(fs::file_size(path), 19u);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
  EXPECT_EQ(Message(path), "(saved)");
  EXPECT_EQ(fs::file_size(path), 54u + 64);
}

// Full paths with backslashes and the system's texts without the ".\r\n" they end with.
TEST_F(WindowsFileSave, FailuresNameTheFullPathAndTheSystemsText) {
  const std::string base = Utf8(folder_);
  EXPECT_EQ(ExpandFileName(base + "/a/./b/../c.bmp"), base + "\\a\\c.bmp");
  EXPECT_EQ(Message(folder_ / "missing" / "x.bmp"), "Cannot create file \"" + base +
                                                        "\\missing\\x.bmp\". " +
                                                        SystemErrorText(ERROR_PATH_NOT_FOUND));
  // The wording is the system's (Windows and Wine differ); the ".\r\n" it ends with is gone.
  for (const DWORD code :
       {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_DISK_FULL}) {
    const std::string text = SystemErrorText(static_cast<int>(code));
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_GT(static_cast<unsigned char>(text.back()), 0x20) << code;
    EXPECT_NE(text.back(), '.') << code;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code;
  }
}

}  // namespace
}  // namespace vellora::picture
