#pragma once
// One palette for every picture the console draws.
#include <QColor>

namespace zmr::palette {

inline const QColor kNavy(0x1f, 0x3a, 0x5f);
inline const QColor kTeal(0x2a, 0x9d, 0x8f);
inline const QColor kAmber(0xe9, 0xa2, 0x3b);
inline const QColor kRed(0xc8, 0x4b, 0x31);
inline const QColor kGreen(0x4c, 0xaf, 0x50);
inline const QColor kPaper(0xfb, 0xfa, 0xf6);
inline const QColor kInk(0x33, 0x3d, 0x47);
inline const QColor kLines(0x9a, 0xa5, 0xb1);  // ruled lines on a sheet
inline const QColor kClip(0x8a, 0x97, 0xa6);   // the metal of a clipboard's clip

}  // namespace zmr::palette
