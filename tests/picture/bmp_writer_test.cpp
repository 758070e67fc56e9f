#include "picture/bmp_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/errors.h"
#include "picture/lattice_drawing.h"
#include "unprivileged_scope.h"

namespace vellora::picture {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
  const auto bytes = ReadFile(path);
  return {bytes.begin(), bytes.end()};
}

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// A picture with something in it: a random lattice drawn at the surface's width.
RasterSurface Picture(int width, int height, int bits) {
  sim::SpinLattice lattice;
  unsigned state = 12345;
  for (auto& spin : lattice.spins) {
    state = state * 134775813u + 1;
    spin = (state >> 31) != 0 ? 1 : -1;
  }
  RasterSurface surface(width, height, bits);
  DrawLattice(surface, lattice, width);
  return surface;
}

// Each test works in a fresh folder of its own, removed afterwards.
class BmpWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vellora-bmp-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(BmpWriterTest, HeadersAndBottomUpRowsAtBothDepths) {
  struct Case {
    int width, height, bits;
    std::size_t rowBytes, fileSize;
  };
  const Case cases[] = {{500, 500, 32, 2000, 1000054},
                        {500, 500, 24, 1500, 750054},
                        {615, 615, 24, 1848, 54 + 1848 * 615},
                        {3, 2, 24, 12, 78}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.bits);
    const RasterSurface surface = Picture(c.width, c.height, c.bits);
    const fs::path path = folder_ / "picture.bmp";
    SaveBitmapFile(surface, path.string());
    const auto bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), c.fileSize);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Le32(bytes, 2), c.fileSize);
    EXPECT_EQ(Le32(bytes, 6), 0u);
    EXPECT_EQ(Le32(bytes, 10), 54u);
    EXPECT_EQ(Le32(bytes, 14), 40u);
    EXPECT_EQ(Le32(bytes, 18), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(Le32(bytes, 22), static_cast<std::uint32_t>(c.height));
    EXPECT_EQ(bytes[26] | bytes[27] << 8, 1);
    EXPECT_EQ(bytes[28] | bytes[29] << 8, c.bits);
    EXPECT_EQ(Le32(bytes, 30), 0u);
    EXPECT_EQ(Le32(bytes, 34), c.rowBytes * c.height);
    for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(Le32(bytes, at), 0u) << at;
    const std::size_t pixelBytes = static_cast<std::size_t>(c.bits / 8);
    int wrong = 0;
    for (int y = 0; y < c.height; ++y) {
      const std::size_t row = 54 + static_cast<std::size_t>(c.height - 1 - y) * c.rowBytes;
      for (int x = 0; x < c.width; ++x) {
        const std::uint8_t level = surface.PixelAt(x, y) == kBlack ? 0x00 : 0xFF;
        const std::uint8_t* p = &bytes[row + x * pixelBytes];
        const bool right =
            p[0] == level && p[1] == level && p[2] == level && (pixelBytes == 3 || p[3] == 0);
        if (!right && ++wrong <= 5) ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
      }
      for (std::size_t b = c.width * pixelBytes; b < c.rowBytes; ++b) {
        if (bytes[row + b] != 0 && ++wrong <= 5) ADD_FAILURE() << "padding of row " << y;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(BmpWriterTest, ReferenceFileBeginsWithTheKnownBytes) {
  const std::uint8_t expected[] = {0x42, 0x4D, 0x76, 0x42, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x00,
                                   0x36, 0x00, 0x00, 0x00, 0x28, 0x00, 0x00, 0x00, 0xF4, 0x01,
                                   0x00, 0x00, 0xF4, 0x01, 0x00, 0x00, 0x01, 0x00, 0x20, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x40, 0x42, 0x0F, 0x00};
  RasterSurface surface(500, 500);
  surface.FillCell(0, 0, 1, 1, kBlack);          // top-left pixel
  surface.FillCell(499, 499, 500, 500, kBlack);  // bottom-right pixel
  const fs::path path = folder_ / "reference.bmp";
  SaveBitmapFile(surface, path.string());
  const auto bytes = ReadFile(path);
  ASSERT_EQ(bytes.size(), 1000054u);
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), bytes.begin()));
  // Pixel (x, y) is at 54 + (499 - y) * 2000 + 4x.
  const auto pixel = [&](int x, int y) {
    const std::size_t at =
        54 + static_cast<std::size_t>(499 - y) * 2000 + 4 * static_cast<std::size_t>(x);
    return Le32(bytes, at);
  };
  EXPECT_EQ(pixel(0, 0), 0x00000000u);
  EXPECT_EQ(pixel(499, 499), 0x00000000u);
  EXPECT_EQ(pixel(1, 0), 0x00FFFFFFu);
  EXPECT_EQ(pixel(0, 499), 0x00FFFFFFu);
  EXPECT_EQ(bytes[54], 0xFF);               // first stored row is the bottom one
  EXPECT_EQ(bytes[54 + 499 * 2000], 0x00);  // last stored row starts with the black pixel
}

TEST_F(BmpWriterTest, ReplacesAnExistingFileWholeAndSavesRepeatably) {
  const fs::path path = folder_ / "picture.bmp";
  WriteText(path, std::string(2'000'000, 'x'));  // longer than the picture
  const RasterSurface surface = Picture(500, 500, 32);
  SaveBitmapFile(surface, path.string());
  const auto first = ReadFile(path);
  ASSERT_EQ(first.size(), 1000054u);
  SaveBitmapFile(surface, path.string());
  EXPECT_EQ(ReadFile(path), first);
  EXPECT_EQ(Entries(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(BmpWriterTest, FilesThatCannotBeCreatedNameTheFullPathAndTheReason) {
  fs::create_directory(folder_ / "sub");
  const std::string base = folder_.string();
  struct Case {
    std::string name;
    std::string fullPath;
    std::string reason;
  };
  const Case cases[] = {
      {base + "/missing/picture.bmp", base + "/missing/picture.bmp", "No such file or directory"},
      {base + "/sub", base + "/sub", "Is a directory"},
      {base + "/sub/../missing/./x.bmp", base + "/missing/x.bmp", "No such file or directory"},
  };
  for (const auto& c : cases) {
    try {
      SaveBitmapFile(RasterSurface(4, 4), c.name);
      ADD_FAILURE() << "no error for " << c.name;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Cannot create file \"" + c.fullPath + "\". " + c.reason);
    }
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"sub"});
  EXPECT_TRUE(fs::is_empty(folder_ / "sub"));
}

TEST_F(BmpWriterTest, ARelativeNameIsExpandedAgainstTheCurrentFolder) {
  const fs::path before = fs::current_path();
  fs::create_directory(folder_ / "work");
  fs::current_path(folder_ / "work");
  EXPECT_EQ(ExpandFileName("a/./b/../c.bmp"), (folder_ / "work/a/c.bmp").string());
  EXPECT_EQ(ExpandFileName("../x.bmp"), (folder_ / "x.bmp").string());
  EXPECT_EQ(ExpandFileName("/p//q/./r.bmp"), "/p/q/r.bmp");
  try {
    SaveBitmapFile(RasterSurface(4, 4), "nowhere/p.bmp");
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + (folder_ / "work/nowhere/p.bmp").string() +
                               "\". No such file or directory");
  }
  SaveBitmapFile(RasterSurface(4, 4), "here.bmp");
  fs::current_path(before);
  EXPECT_EQ(fs::file_size(folder_ / "work/here.bmp"), 54u + 16 * 4);
}

TEST_F(BmpWriterTest, AFailingWriteLeavesTheExistingFileAndNoTemporaryFile) {
  // Each write function lets some calls through and then fails the way a full disk does.
  struct Case {
    const char* what;
    int goodCalls;    // calls that write what they are asked
    long lastResult;  // then one call that returns this (bytes written, or -1)
  };
  const Case cases[] = {{"file header refused", 0, -1},
                        {"info header refused", 1, -1},
                        {"pixel rows refused", 2, -1},
                        {"pixel rows cut short, then refused", 2, 1000},
                        {"nothing written and no error", 2, 0}};
  const fs::path path = folder_ / "earlier.bmp";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteText(path, "the earlier picture");
    int calls = 0;
    const WriteFunction write = [&](int fd, const void* data, std::size_t size) -> long {
      ++calls;
      if (calls <= c.goodCalls) return static_cast<long>(::write(fd, data, size));
      if (calls == c.goodCalls + 1 && c.lastResult > 0) {
        return static_cast<long>(::write(fd, data, static_cast<std::size_t>(c.lastResult)));
      }
      if (calls == c.goodCalls + 1 && c.lastResult == 0) return 0;
      errno = ENOSPC;
      return -1;
    };
    try {
      SaveBitmapFile(Picture(500, 500, 32), path.string(), write);
      ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message(), "Stream write error");
    }
    EXPECT_EQ(ReadText(path), "the earlier picture");
    EXPECT_EQ(Entries(), std::vector<std::string>{"earlier.bmp"});
  }
  // Into a new name: nothing is left at all.
  const WriteFunction refuse = [](int, const void*, std::size_t) -> long {
    errno = ENOSPC;
    return -1;
  };
  EXPECT_THROW(SaveBitmapFile(Picture(50, 50, 24), (folder_ / "new.bmp").string(), refuse),
               EWriteError);
  EXPECT_EQ(Entries(), std::vector<std::string>{"earlier.bmp"});
}

TEST_F(BmpWriterTest, ShortWritesAreContinued) {
  const RasterSurface surface = Picture(615, 615, 24);
  SaveBitmapFile(surface, (folder_ / "whole.bmp").string());
  const WriteFunction dribble = [](int fd, const void* data, std::size_t size) -> long {
    return static_cast<long>(::write(fd, data, std::min<std::size_t>(size, 777)));
  };
  SaveBitmapFile(surface, (folder_ / "dribbled.bmp").string(), dribble);
  EXPECT_EQ(ReadFile(folder_ / "dribbled.bmp"), ReadFile(folder_ / "whole.bmp"));
}

TEST_F(BmpWriterTest, AFileSizeLimitFailsTheSaveCleanly) {
  // A real failing write: the process may not write more than 100,000 bytes into one file.
  const fs::path path = folder_ / "earlier.bmp";
  WriteText(path, "the earlier picture");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < 100000) GTEST_SKIP();
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 100000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  bool writeError = false;
  try {
    SaveBitmapFile(Picture(500, 500, 32), path.string());
  } catch (const EWriteError&) {
    writeError = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(writeError);
  EXPECT_EQ(ReadText(path), "the earlier picture");
  EXPECT_EQ(Entries(), std::vector<std::string>{"earlier.bmp"});
}

TEST_F(BmpWriterTest, AFullDeviceIsAWriteError) {
  if (!fs::exists("/dev/full")) GTEST_SKIP();
  try {
    SaveBitmapFile(RasterSurface(8, 8), "/dev/full");
    ADD_FAILURE() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
}

TEST_F(BmpWriterTest, PermissionBitsOfAReplacedFileAndOfANewFile) {
  const fs::path kept = folder_ / "kept.bmp";
  WriteText(kept, "old");
  ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
  SaveBitmapFile(RasterSurface(4, 4), kept.string());
  struct stat info {};
  ASSERT_EQ(::stat(kept.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(info.st_size, 54 + 64);

  for (const mode_t mask : {022, 077}) {
    const mode_t oldMask = ::umask(mask);
    const fs::path fresh = folder_ / ("fresh" + std::to_string(mask) + ".bmp");
    SaveBitmapFile(RasterSurface(4, 4), fresh.string());
    ::umask(oldMask);
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666u & ~mask);
  }
}

TEST_F(BmpWriterTest, ALinkIsSavedThroughAndStays) {
  const fs::path target = folder_ / "target.bmp";
  const fs::path link = folder_ / "link.bmp";
  WriteText(target, "old");
  fs::create_symlink("target.bmp", link);
  SaveBitmapFile(RasterSurface(4, 4), link.string());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::file_size(target), 54u + 64);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"link.bmp", "target.bmp"}));
}

// Who may write what, as a user other than the superuser: a file that may not be written is never
// touched; a writable file in a folder where no file can be created or replaced is overwritten in
// place, and a failure there leaves what was written; everything else stays atomic.
TEST_F(BmpWriterTest, WriteProtectedFilesAndFoldersAndTheInPlaceFallback) {
  enum class Outcome { kSaved, kCreateError, kWriteError };
  struct Case {
    const char* what;
    const char* folder;  // "mine" (the user's) or "sticky" (the superuser's, anyone may add)
    int fileMode;        // -1: no file yet
    mode_t folderMode;   // of "mine"
    int goodWrites;      // write calls that succeed before one fails; -1: none fails
    Outcome outcome;
    std::size_t size;  // of the file afterwards (0: no file)
  };
  const Case cases[] = {
      {"read-only file, writable folder", "mine", 0444, 0755, -1, Outcome::kCreateError, 3},
      {"writable file, read-only folder", "mine", 0644, 0555, -1, Outcome::kSaved, 54 + 64},
      {"read-only file, read-only folder", "mine", 0444, 0555, -1, Outcome::kCreateError, 3},
      {"no file, read-only folder", "mine", -1, 0555, -1, Outcome::kCreateError, 0},
      {"in place, the pixel rows refused", "mine", 0644, 0555, 2, Outcome::kWriteError, 54},
      {"in place, the info header refused", "mine", 0644, 0555, 1, Outcome::kWriteError, 14},
      {"someone else's writable file in a sticky folder", "sticky", 0666, 0755, -1, Outcome::kSaved,
       54 + 64},
      {"sticky folder, write refused: still atomic", "sticky", 0666, 0755, 0, Outcome::kWriteError,
       3},
  };
  const fs::path mine = folder_ / "mine";
  const fs::path sticky = folder_ / "sticky";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool inSticky = std::string(c.folder) == "sticky";
    const fs::path folder = inSticky ? sticky : mine;
    const fs::path path = folder / "picture.bmp";
    std::error_code ignored;
    fs::remove_all(mine, ignored);
    fs::remove_all(sticky, ignored);
    ASSERT_TRUE(fs::create_directory(mine));
    ASSERT_TRUE(fs::create_directory(sticky));
    ASSERT_EQ(::chmod(sticky.c_str(), 01777), 0);
    if (c.fileMode >= 0) WriteText(path, "old");
    if (inSticky) {
      ASSERT_EQ(::chmod(path.c_str(), static_cast<mode_t>(c.fileMode)), 0);
    }
    int calls = 0;
    const WriteFunction write = [&](int fd, const void* data, std::size_t size) -> long {
      if (c.goodWrites >= 0 && ++calls > c.goodWrites) {
        errno = ENOSPC;
        return -1;
      }
      return static_cast<long>(::write(fd, data, size));
    };
    Outcome outcome = Outcome::kSaved;
    std::string message;
    {
      // The superuser's folder and file in "sticky" stay the superuser's.
      std::vector<fs::path> owned{folder_, mine};
      if (c.fileMode >= 0 && !inSticky) owned.push_back(path);
      testsupport::UnprivilegedScope unprivileged(owned);
      ASSERT_TRUE(unprivileged.Effective());
      if (c.fileMode >= 0 && !inSticky) {
        ASSERT_EQ(::chmod(path.c_str(), static_cast<mode_t>(c.fileMode)), 0);
      }
      ASSERT_EQ(::chmod(mine.c_str(), c.folderMode), 0);
      try {
        SaveBitmapFile(RasterSurface(4, 4), path.string(), write);
      } catch (const EFCreateError& e) {
        outcome = Outcome::kCreateError;
        message = e.Message();
      } catch (const EWriteError&) {
        outcome = Outcome::kWriteError;
      }
      ASSERT_EQ(::chmod(mine.c_str(), 0755), 0);
    }
    EXPECT_EQ(outcome, c.outcome);
    if (c.outcome == Outcome::kCreateError) {
      EXPECT_EQ(message, "Cannot create file \"" + path.string() + "\". Permission denied");
    }
    if (c.size == 0) {
      EXPECT_FALSE(fs::exists(path));
    } else {
      ASSERT_TRUE(fs::exists(path));
      EXPECT_EQ(fs::file_size(path), c.size);
      const std::string text = ReadText(path);
      EXPECT_EQ(text.substr(0, 2), c.size == 3 ? "ol" : "BM");
    }
    // Nothing else is left in the folder: no temporary file.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, c.fileMode >= 0 || c.outcome == Outcome::kSaved
                         ? std::vector<std::string>{"picture.bmp"}
                         : std::vector<std::string>{});
  }
}

TEST(SystemErrorText, IsTheSystemsTextWithoutTrailingStops) {
  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(SystemErrorText(EACCES), "Permission denied");
  EXPECT_EQ(SystemErrorText(EISDIR), "Is a directory");
}

}  // namespace
}  // namespace vellora::picture
