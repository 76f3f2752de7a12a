#pragma once
// A stored text: one count byte and room for N 8-bit (Windows-1252) characters. It
// always takes N + 1 bytes; the bytes after the counted characters carry no meaning.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <QString>

#include "base/cp1252.h"

namespace zmr {

template <std::size_t N>
struct ShortString {
  static_assert(N >= 1 && N <= 255);
  static constexpr std::size_t kCapacity = N;

  std::uint8_t count;
  std::array<std::uint8_t, N> chars;

  // A damaged or foreign file may carry a count larger than the field: never read past it.
  std::size_t size() const { return std::min<std::size_t>(count, N); }
  bool empty() const { return size() == 0; }
  std::string_view bytes() const { return {reinterpret_cast<const char*>(chars.data()), size()}; }
  QString text() const { return FromCp1252(bytes()); }

  // Stores the bytes cut to N; bytes after them are left as they were.
  void assignBytes(std::string_view value) {
    const std::size_t n = std::min(value.size(), N);
    std::copy_n(reinterpret_cast<const std::uint8_t*>(value.data()), n, chars.begin());
    count = static_cast<std::uint8_t>(n);
  }
  void setText(const QString& value) { assignBytes(ToCp1252(value)); }
  void clear() { count = 0; }
  bool equalsBytes(std::string_view value) const { return bytes() == value; }
};

}  // namespace zmr
