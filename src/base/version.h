#pragma once
// The program's version as the about box, the status report and zmrctl show it.
#include <QString>

namespace zmr {

inline const QString kProgramVersion = QStringLiteral("V2.0");

}  // namespace zmr
