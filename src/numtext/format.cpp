#include "numtext/format.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "base/errors.h"
#include "numtext/decimal_digits.h"
#include "numtext/number_format.h"

namespace vellora::numtext {
namespace {

constexpr std::size_t kFixedBufferSize = 64;
constexpr std::size_t kPatternBufferSize = 256;
constexpr std::size_t kMaxPatternLength = 224;
constexpr int kMaxSections = 3;
constexpr int kMaxExponentWidth = 4;
// Precision of the general form that stands in for a pattern that cannot be used.
constexpr int kGeneralPrecision = 15;

// Collects the text in a buffer on the stack. Should a pattern produce more than the buffer
// holds, the full buffer is moved into the returned text and writing goes on, so no output is
// lost and nothing is written past the buffer.
class TextWriter {
 public:
  TextWriter(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}

  void Put(char c) {
    if (length_ == capacity_) {
      spilled_.append(buffer_, length_);
      length_ = 0;
    }
    buffer_[length_++] = c;
  }
  // A separator character of NUL writes nothing.
  void PutSeparator(char c) {
    if (c != '\0') Put(c);
  }
  void Put(const char* text) {
    while (*text != '\0') Put(*text++);
  }
  // |number| in decimal with at least `width` digits.
  void PutMagnitude(int number, int width) {
    char reversed[12];
    int count = 0;
    unsigned magnitude = static_cast<unsigned>(std::abs(number));
    do {
      reversed[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    for (int k = count; k < width; ++k) Put('0');
    while (count > 0) Put(reversed[--count]);
  }

  std::string Take() {
    if (spilled_.empty()) return std::string(buffer_, length_);
    spilled_.append(buffer_, length_);
    return std::move(spilled_);
  }

 private:
  char* buffer_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  std::string spilled_;
};

// "INF", "-INF" or "NAN" for a non-finite R; false for a finite one.
bool PutNonFinite(TextWriter& out, const DecimalDigits& r) {
  if (r.IsNan()) {
    out.Put("NAN");
    return true;
  }
  if (r.IsInfinity()) {
    out.Put(r.negative ? "-INF" : "INF");
    return true;
  }
  return false;
}

// The general form: plain notation while the exponent lies within -3..precision, otherwise
// the exponent form with at least `exponentWidth` exponent digits (for widths 0 to 4).
void PutGeneral(TextWriter& out, const DecimalDigits& r, int precision, int exponentWidth,
                char decimalSeparator) {
  if (PutNonFinite(out, r)) return;
  if (r.negative) out.Put('-');
  const char* digits = r.digits;
  if (r.exponent > precision || r.exponent < -3) {
    out.Put(r.IsZero() ? '0' : *digits++);
    if (*digits != '\0') {
      out.PutSeparator(decimalSeparator);
      out.Put(digits);
    }
    out.Put('E');
    const int shown = r.IsZero() ? 0 : r.exponent - 1;
    if (shown < 0) out.Put('-');
    const bool padded = exponentWidth >= 0 && exponentWidth <= kMaxExponentWidth;
    out.PutMagnitude(shown, padded ? exponentWidth : 0);
  } else if (r.exponent <= 0) {
    out.Put('0');
    if (!r.IsZero()) {
      out.PutSeparator(decimalSeparator);
      for (int k = r.exponent; k < 0; ++k) out.Put('0');
      out.Put(digits);
    }
  } else {
    for (int k = 0; k < r.exponent; ++k) out.Put(*digits != '\0' ? *digits++ : '0');
    if (*digits != '\0') {
      out.PutSeparator(decimalSeparator);
      out.Put(digits);
    }
  }
}

// ---- Patterns ----

bool IsQuote(char c) {
  return c == '\'' || c == '"';
}

// Index of the quote closing the one at `open`, or the end of the pattern when none does.
std::size_t SkipQuoted(std::string_view pattern, std::size_t open) {
  const std::size_t close = pattern.find(pattern[open], open + 1);
  return close == std::string_view::npos ? pattern.size() : close;
}

struct Section {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool Empty() const { return begin == end; }
};

// Splits the pattern on ";" outside quoted text, into at most three sections.
int SplitSections(std::string_view pattern, Section (&sections)[kMaxSections]) {
  int count = 0;
  std::size_t begin = 0;
  std::size_t i = 0;
  while (count < kMaxSections) {
    while (i < pattern.size() && pattern[i] != ';') {
      if (IsQuote(pattern[i])) i = SkipQuoted(pattern, i);
      if (i < pattern.size()) ++i;
    }
    sections[count++] = {begin, i};
    if (i >= pattern.size()) break;
    begin = ++i;
  }
  return count;
}

enum SectionIndex { kPositive = 0, kNegative = 1, kZero = 2 };

// The wanted section, or the first when it is missing or empty.
int PickSection(const Section (&sections)[kMaxSections], int count, int wanted) {
  return wanted < count && !sections[wanted].Empty() ? wanted : kPositive;
}

bool IsExponentMarker(std::string_view section, std::size_t i) {
  return (section[i] == 'E' || section[i] == 'e') && i + 1 < section.size() &&
         (section[i + 1] == '+' || section[i + 1] == '-');
}

// What the walk needs to know about a section before it starts.
struct SectionScan {
  int placeholders = 0;         // P
  int integerPlaceholders = 0;  // D
  int mustShowIntegers = 0;     // F
  int mustShowDecimals = 0;     // L: minus the decimals that must show a digit
  bool grouping = false;
  bool scientific = false;
};

SectionScan ScanSection(std::string_view section) {
  constexpr int kNoZero = 0x7FFF;
  SectionScan scan;
  int firstZero = kNoZero;
  int afterLastZero = 0;
  bool pointSeen = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '#' || c == '0') {
      if (c == '0') {
        firstZero = std::min(firstZero, scan.placeholders);
        afterLastZero = scan.placeholders + 1;
      }
      ++scan.placeholders;
    } else if (c == '.') {
      if (!pointSeen) scan.integerPlaceholders = scan.placeholders;
      pointSeen = true;
    } else if (c == ',') {
      scan.grouping = true;
    } else if (IsQuote(c)) {
      i = SkipQuoted(section, i);
    } else if (IsExponentMarker(section, i)) {
      scan.scientific = true;
      ++i;  // the sign; the zeros after it are exponent digits
      while (i + 1 < section.size() && section[i + 1] == '0') ++i;
    }
  }
  if (!pointSeen) scan.integerPlaceholders = scan.placeholders;
  scan.mustShowIntegers = std::max(0, scan.integerPlaceholders - firstZero);
  scan.mustShowDecimals = std::min(0, scan.integerPlaceholders - afterLastZero);
  return scan;
}

// Walks one section, writing R through its placeholders, separators and literal text.
void WalkSection(TextWriter& out, std::string_view section, const SectionScan& scan,
                 const DecimalDigits& r, const NumberFormat& format) {
  const char* next = r.digits;
  // The position of the next digit: 1 is the units, 0 the first decimal.
  int place = scan.scientific ? scan.integerPlaceholders
                              : std::max<int>(r.exponent, scan.integerPlaceholders);
  int delta = scan.scientific ? 0 : r.exponent - scan.integerPlaceholders;

  auto putDigit = [&](char digit) {
    if (place == 0) out.PutSeparator(format.decimalSeparator);
    out.Put(digit);
    if (scan.grouping && place > 1 && place % 3 == 1) {
      out.PutSeparator(format.thousandSeparator);
    }
    --place;
  };
  auto nextDigit = [&] { return *next != '\0' ? *next++ : '0'; };

  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '#' || c == '0') {
      if (delta > 0) {
        // More integer digits than integer placeholders: this one takes the surplus.
        for (int k = 0; k <= delta; ++k) putDigit(nextDigit());
        delta = 0;
      } else if (delta < 0) {
        ++delta;
        if (place <= scan.mustShowIntegers) {
          putDigit('0');
        } else {
          --place;
        }
      } else if (*next != '\0') {
        putDigit(*next++);
      } else if (place > scan.mustShowDecimals) {
        putDigit('0');
      } else {
        --place;
      }
    } else if (c == '.' || c == ',') {
      // Placed by the placeholder rule.
    } else if (IsQuote(c)) {
      const std::size_t close = SkipQuoted(section, i);
      for (std::size_t k = i + 1; k < close; ++k) out.Put(section[k]);
      i = close;
    } else if (IsExponentMarker(section, i)) {
      out.Put(c);
      const char sign = section[++i];
      int width = 0;
      while (i + 1 < section.size() && section[i + 1] == '0') {
        ++width;
        ++i;
      }
      const int exponent = r.IsZero() ? 0 : r.exponent - scan.integerPlaceholders;
      if (exponent < 0) {
        out.Put('-');
      } else if (sign == '+') {
        out.Put('+');
      }
      out.PutMagnitude(exponent, std::min(width, kMaxExponentWidth));
    } else {
      out.Put(c);
    }
  }
}

std::string_view SectionText(std::string_view pattern, const Section& section) {
  return pattern.substr(section.begin, section.end - section.begin);
}

}  // namespace

std::string FloatToFixed(const Extended& value, int precision, int digits) {
  const NumberFormat& format = ProcessNumberFormat();
  precision = std::clamp(precision, 2, kMaxDecimalDigits);
  const DecimalDigits r = ToDecimalDigits(value, precision, digits);
  char buffer[kFixedBufferSize];
  TextWriter out(buffer, sizeof buffer);
  if (PutNonFinite(out, r)) return out.Take();
  if (r.exponent > precision) {
    PutGeneral(out, r, precision, digits, format.decimalSeparator);
    return out.Take();
  }

  if (r.negative) out.Put('-');
  const char* next = r.digits;
  auto nextDigit = [&] { return *next != '\0' ? *next++ : '0'; };
  if (r.exponent <= 0) {
    out.Put('0');
  } else {
    for (int k = 0; k < r.exponent; ++k) out.Put(nextDigit());
  }
  const int decimals = std::min(digits, kMaxDecimalDigits);
  if (decimals > 0) {
    out.PutSeparator(format.decimalSeparator);
    int written = 0;
    for (int k = r.exponent; k < 0 && written < decimals; ++k, ++written) out.Put('0');
    for (; written < decimals; ++written) out.Put(nextDigit());
  }
  return out.Take();
}

std::string FloatToPattern(std::string_view pattern, const Extended& value) {
  if (pattern.size() > kMaxPatternLength) throw EConvertError("Format string too long");
  const NumberFormat& format = ProcessNumberFormat();
  char buffer[kPatternBufferSize];
  TextWriter out(buffer, sizeof buffer);
  auto putGeneral = [&] {
    const DecimalDigits r = ToDecimalDigits(value, kGeneralPrecision, kUnlimitedDecimals);
    PutGeneral(out, r, kGeneralPrecision, 0, format.decimalSeparator);
    return out.Take();
  };

  Section sections[kMaxSections];
  const int count = SplitSections(pattern, sections);
  if (sections[kPositive].Empty()) return putGeneral();

  const bool allBitsZero = value.SameBits(Extended());
  const int wanted = allBitsZero ? kZero : (value.SignBit() ? kNegative : kPositive);
  int chosen = PickSection(sections, count, wanted);
  SectionScan scan = ScanSection(SectionText(pattern, sections[chosen]));

  const DecimalDigits r =
      scan.scientific
          ? ToDecimalDigits(value, scan.placeholders, kUnlimitedDecimals)
          : ToDecimalDigits(value, kMaxDecimalDigits, scan.placeholders - scan.integerPlaceholders);
  if (r.IsInfinity() || r.IsNan() || (!scan.scientific && r.exponent > kMaxDecimalDigits)) {
    return putGeneral();
  }
  if (r.IsZero()) {
    // A value that comes out as zero is written by the zero section.
    const int zeroSection = PickSection(sections, count, kZero);
    if (zeroSection != chosen) {
      chosen = zeroSection;
      scan = ScanSection(SectionText(pattern, sections[chosen]));
    }
  }

  if (r.negative && chosen == kPositive) out.Put('-');
  WalkSection(out, SectionText(pattern, sections[chosen]), scan, r, format);
  return out.Take();
}

}  // namespace vellora::numtext
