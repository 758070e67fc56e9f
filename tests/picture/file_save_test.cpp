// The file side of saving, on every platform: bytes as they are, names in any script, and which
// failures may fall back to writing an existing file in place.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "picture/bmp_writer.h"
#include "picture/utf8_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vellora::picture {
namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every byte value appears in the rows, 10 and 13 among them: written in text mode, each 10
// would become 13 10. The names are Greek, Cyrillic and CJK, outside any one ANSI code page.
TEST(FileSave, EveryByteArrivesAsItIsUnderANameInAnyScript) {
  const fs::path folder = fs::temp_directory_path() /
                          FromUtf8("vellora-\xce\xb5\xce\xb9\xce\xba\xcf\x8c\xce\xbd\xce\xb1-" +
                                   std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  RasterSurface surface(64, 3, 32);  // rows of 256 bytes
  for (int y = 0; y < 3; ++y) {
    for (int k = 0; k < 256; ++k) surface.Row(y)[k] = static_cast<std::uint8_t>(k + y);
  }
  for (const char* name : {"\xce\xa9\xce\xbc\xce\xad\xce\xb3\xce\xb1.bmp",
                           "\xd0\xa0\xd0\xb5\xd1\x88\xd1\x91\xd1\x82\xd0\xba\xd0\xb0.bmp",
                           "\xe6\xa0\xbc\xe5\xad\x90.bmp"}) {
    SCOPED_TRACE(name);
    const fs::path path = folder / FromUtf8(name);
    SaveBitmapFile(surface, Utf8(path));
    const auto bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 54u + 3 * 256);
    for (int y = 0; y < 3; ++y) {
      for (int k = 0; k < 256; ++k) {
        ASSERT_EQ(bytes[54 + static_cast<std::size_t>(2 - y) * 256 + k], (k + y) & 0xFF);
      }
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
  fs::remove_all(folder);
}

// Only a refusal of rights falls back to writing in place; anything else keeps the old file.
TEST(FileSave, OnlyARefusalOfRightsFallsBackToWritingInPlace) {
  constexpr auto kCreate = SaveStep::kCreate;
  constexpr auto kReplace = SaveStep::kReplace;
  const struct {
    SaveStep step;
    int code;
    bool inPlace;
  } cases[] = {
#ifdef _WIN32
      {kCreate, ERROR_ACCESS_DENIED, true},       {kReplace, ERROR_ACCESS_DENIED, true},
      {kCreate, ERROR_DISK_FULL, false},          {kCreate, ERROR_HANDLE_DISK_FULL, false},
      {kReplace, ERROR_SHARING_VIOLATION, false}, {kReplace, ERROR_LOCK_VIOLATION, false},
      {kCreate, ERROR_PATH_NOT_FOUND, false},     {kCreate, ERROR_WRITE_PROTECT, false},
#else
      {kCreate, EACCES, true},  {kCreate, EPERM, true},   {kReplace, EACCES, true},
      {kReplace, EBUSY, true},  {kCreate, ENOSPC, false}, {kCreate, EDQUOT, false},
      {kCreate, EROFS, false},  {kReplace, EXDEV, false}, {kCreate, EBUSY, false},
      {kCreate, ENOENT, false},
#endif
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FallsBackToWritingInPlace(c.step, c.code), c.inPlace)
        << (c.step == kCreate ? "create " : "replace ") << c.code;
  }
}

}  // namespace
}  // namespace vellora::picture
