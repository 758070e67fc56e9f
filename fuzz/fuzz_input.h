// Taking a fuzzer's bytes apart into the values a target needs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/extended.h"

namespace vellora::fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return size_ > 0 ? (--size_, *data_++) : 0; }

  // Ten bytes as the bits of an extended value: any pattern, NaNs and unnormals included.
  vellora::Extended Extended() {
    // Little-endian: the significand, then sign and biased exponent.
    std::uint64_t significand = 0;
    for (int k = 0; k < 8; ++k) significand |= std::uint64_t{Byte()} << (8 * k);
    std::uint16_t signExponent = Byte();
    signExponent = static_cast<std::uint16_t>(signExponent | (Byte() << 8));
    return vellora::Extended::FromBits(significand, signExponent);
  }

  std::string_view Rest() {
    std::string_view rest(reinterpret_cast<const char*>(data_), size_);
    data_ += size_;
    size_ = 0;
    return rest;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

[[noreturn]] inline void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "property violated: %s [%.*s]\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

}  // namespace vellora::fuzz
