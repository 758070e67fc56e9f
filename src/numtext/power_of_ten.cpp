#include "numtext/power_of_ten.h"

#include <cassert>
#include <cstdint>
#include <cstdlib>

namespace vellora::numtext {
namespace {

struct PowerBits {
  std::uint64_t significand;
  std::uint16_t signExponent;
};

// The powers rounded to the 64-bit significand (to nearest, ties to even), as their
// significand and biased exponent; up to 10^27 they are exact.
constexpr PowerBits kUnits[32] = {
    {0x8000000000000000u, 0x3FFF},  // 1e0
    {0xA000000000000000u, 0x4002},  // 1e1
    {0xC800000000000000u, 0x4005},  // 1e2
    {0xFA00000000000000u, 0x4008},  // 1e3
    {0x9C40000000000000u, 0x400C},  // 1e4
    {0xC350000000000000u, 0x400F},  // 1e5
    {0xF424000000000000u, 0x4012},  // 1e6
    {0x9896800000000000u, 0x4016},  // 1e7
    {0xBEBC200000000000u, 0x4019},  // 1e8
    {0xEE6B280000000000u, 0x401C},  // 1e9
    {0x9502F90000000000u, 0x4020},  // 1e10
    {0xBA43B74000000000u, 0x4023},  // 1e11
    {0xE8D4A51000000000u, 0x4026},  // 1e12
    {0x9184E72A00000000u, 0x402A},  // 1e13
    {0xB5E620F480000000u, 0x402D},  // 1e14
    {0xE35FA931A0000000u, 0x4030},  // 1e15
    {0x8E1BC9BF04000000u, 0x4034},  // 1e16
    {0xB1A2BC2EC5000000u, 0x4037},  // 1e17
    {0xDE0B6B3A76400000u, 0x403A},  // 1e18
    {0x8AC7230489E80000u, 0x403E},  // 1e19
    {0xAD78EBC5AC620000u, 0x4041},  // 1e20
    {0xD8D726B7177A8000u, 0x4044},  // 1e21
    {0x878678326EAC9000u, 0x4048},  // 1e22
    {0xA968163F0A57B400u, 0x404B},  // 1e23
    {0xD3C21BCECCEDA100u, 0x404E},  // 1e24
    {0x84595161401484A0u, 0x4052},  // 1e25
    {0xA56FA5B99019A5C8u, 0x4055},  // 1e26
    {0xCECB8F27F4200F3Au, 0x4058},  // 1e27
    {0x813F3978F8940984u, 0x405C},  // 1e28
    {0xA18F07D736B90BE5u, 0x405F},  // 1e29
    {0xC9F2C9CD04674EDFu, 0x4062},  // 1e30
    {0xFC6F7C4045812296u, 0x4065},  // 1e31
};

constexpr PowerBits kThirtyTwos[16] = {
    {0x8000000000000000u, 0x3FFF},  // 1e0
    {0x9DC5ADA82B70B59Eu, 0x4069},  // 1e32
    {0xC2781F49FFCFA6D5u, 0x40D3},  // 1e64
    {0xEFB3AB16C59B14A3u, 0x413D},  // 1e96
    {0x93BA47C980E98CE0u, 0x41A8},  // 1e128
    {0xB616A12B7FE617AAu, 0x4212},  // 1e160
    {0xE070F78D3927556Bu, 0x427C},  // 1e192
    {0x8A5296FFE33CC930u, 0x42E7},  // 1e224
    {0xAA7EEBFB9DF9DE8Eu, 0x4351},  // 1e256
    {0xD226FC195C6A2F8Cu, 0x43BB},  // 1e288
    {0x81842F29F2CCE376u, 0x4426},  // 1e320
    {0x9FA42700DB900AD2u, 0x4490},  // 1e352
    {0xC4C5E310AEF8AA17u, 0x44FA},  // 1e384
    {0xF28A9C07E9B09C59u, 0x4564},  // 1e416
    {0x957A4AE1EBF7F3D4u, 0x45CF},  // 1e448
    {0xB83ED8DC0795A262u, 0x4639},  // 1e480
};

constexpr PowerBits kFiveTwelves[10] = {
    {0x8000000000000000u, 0x3FFF},  // 1e0
    {0xE319A0AEA60E91C7u, 0x46A3},  // 1e512
    {0xC976758681750C17u, 0x4D48},  // 1e1024
    {0xB2B8353B3993A7E4u, 0x53ED},  // 1e1536
    {0x9E8B3B5DC53D5DE5u, 0x5A92},  // 1e2048
    {0x8CA554C020A1F0A6u, 0x6137},  // 1e2560
    {0xF9895D25D88B5A8Bu, 0x67DB},  // 1e3072
    {0xDD5DC8A2BF27F3F8u, 0x6E80},  // 1e3584
    {0xC46052028A20979Bu, 0x7525},  // 1e4096
    {0xAE3511626ED559F0u, 0x7BCA},  // 1e4608
};

Extended Power(const PowerBits& bits) {
  return Extended::FromBits(bits.significand, bits.signExponent);
}

}  // namespace

Extended ScaleByPowerOfTen(Extended value, int exponent) {
  const int n = std::abs(exponent);
  assert(n < 5120);
  const int parts[3] = {n % 32, (n / 32) % 16, n / 512};
  const PowerBits* tables[3] = {kUnits, kThirtyTwos, kFiveTwelves};
  for (int i = 0; i < 3; ++i) {
    if (parts[i] == 0) continue;
    const Extended part = Power(tables[i][parts[i]]);
    value = exponent > 0 ? value * part : value / part;
  }
  return value;
}

}  // namespace vellora::numtext
