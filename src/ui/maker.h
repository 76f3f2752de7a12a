#pragma once
// Who makes the console and how to reach them: shown by the about and status dialogs.
#include <QString>

namespace zmr {

inline const QString kMakerStatement = QStringLiteral(
    "ZMR Console is made and cared for by its own small team.\n"
    "It programs the Zemra bell timer over a serial line.\n"
    "Questions, ideas and fault reports are always welcome;\n"
    "write to us or visit our home page below.");
inline const QString kMakerMail = QStringLiteral("support@zmr-console.example");
inline const QString kMakerWeb = QStringLiteral("https://zmr-console.example");
inline const QString kReleaseDate = QStringLiteral("FEBRUARY 2004");

}  // namespace zmr
