#include "base/cp1252.h"

#include <array>

namespace zmr {
namespace {

// 0x80..0x9F; 0 marks the five unassigned codes, which map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Decode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) {
    return kHigh[byte - 0x80];
  }
  return byte;
}

}  // namespace

QString FromCp1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (char c : bytes) {
    text.append(QChar(Decode(static_cast<unsigned char>(c))));
  }
  return text;
}

std::string ToCp1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text.at(i).unicode();
    if (QChar::isHighSurrogate(u)) {
      bytes += '?';  // a character outside the BMP is one '?', not two
      if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        ++i;
      }
      continue;
    }
    char out = '?';
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out = static_cast<char>(u);
    } else {
      for (std::size_t k = 0; k < kHigh.size(); ++k) {
        if ((kHigh[k] != 0 && kHigh[k] == u) || (kHigh[k] == 0 && u == 0x80 + k)) {
          out = static_cast<char>(0x80 + k);
          break;
        }
      }
    }
    bytes += out;
  }
  return bytes;
}

}  // namespace zmr
