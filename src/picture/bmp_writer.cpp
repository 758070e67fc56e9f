#include "picture/bmp_writer.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/errors.h"
#include "picture/file_save.h"

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

}  // namespace

namespace detail {

void WriteBlock(const WriteFunction& write, int fd, const Block& block) {
  const std::uint8_t* data = block.data;
  std::size_t size = block.size;
  while (size > 0) {
    const long written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0 || static_cast<std::size_t>(written) > size) throw EWriteError();
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

EFCreateError CreateError(const std::string& fileName, int errorCode) {
  return EFCreateError("Cannot create file \"" + ExpandFileName(fileName) + "\". " +
                       SystemErrorText(errorCode));
}

}  // namespace detail

void SaveBitmapFile(const RasterSurface& surface, const std::string& fileName,
                    const WriteFunction& write) {
  const auto headers = Headers(surface);
  const std::vector<std::uint8_t> rows = BottomUpRows(surface);
  detail::SaveBlocks(fileName,
                     {{headers.data(), kFileHeaderSize},
                      {headers.data() + kFileHeaderSize, kInfoHeaderSize},
                      {rows.data(), rows.size()}},
                     write);
}

}  // namespace vellora::picture
