// A file system path as the program's UTF-8 text.
#pragma once

#include <filesystem>
#include <string>

namespace vellora::picture {

inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace vellora::picture
