#include "hardware/ui/clipboard_glyph.h"

#include <QPainter>

#include "windows/artwork.h"

namespace zmr {
namespace {

void Draw(QPainter& p) {
  const QColor ink(0x33, 0x3d, 0x47);
  // The board, its clip, the sheet and the report's lines.
  p.setPen(QPen(ink, 4));
  p.setBrush(QColor(0xb9, 0x83, 0x4a));
  p.drawRoundedRect(QRectF(16, 12, 68, 84), 8, 8);
  p.setBrush(QColor(0xfb, 0xfa, 0xf6));
  p.drawRect(QRectF(26, 24, 48, 64));
  p.setBrush(QColor(0x8a, 0x97, 0xa6));
  p.drawRoundedRect(QRectF(34, 4, 32, 18), 5, 5);
  p.setPen(QPen(QColor(0x1f, 0x3a, 0x5f), 5, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 4; ++i) {
    p.drawLine(QPointF(34, 38 + i * 13), QPointF(i % 2 ? 56 : 66, 38 + i * 13));
  }
}

}  // namespace

QIcon ClipboardGlyph(int size) { return BoxedIcon(size, 0.35, Draw); }

}  // namespace zmr
