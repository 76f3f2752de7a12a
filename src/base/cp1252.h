#pragma once
// Stored texts are 8-bit Windows-1252; the windows show Unicode.
#include <QString>
#include <string>
#include <string_view>

namespace zmr {

QString FromCp1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?'.
std::string ToCp1252(const QString& text);

}  // namespace zmr
