// The file side of saving a picture, one implementation per operating system (CMake picks
// file_save_posix.cpp or file_save_windows.cpp); the BMP writer hands it the bytes to save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/errors.h"
#include "picture/bmp_writer.h"

namespace vellora::picture::detail {

struct Block {
  const std::uint8_t* data;
  std::size_t size;
};

// Writes one block whole through `write`, continuing after a short write; anything less throws
// EWriteError.
void WriteBlock(const WriteFunction& write, int fd, const Block& block);

// "Cannot create file "<full path>". <system's text for errorCode>".
EFCreateError CreateError(const std::string& fileName, int errorCode);

// Saves the blocks, in order, as the contents of `fileName`, as SaveBitmapFile describes.
void SaveBlocks(const std::string& fileName, const std::vector<Block>& blocks,
                const WriteFunction& write);

}  // namespace vellora::picture::detail
