#include "hardware/ui/clipboard_glyph.h"

#include <QPainter>

#include "ui/artwork.h"
#include "ui/palette.h"

namespace zmr {
namespace {

void Draw(QPainter& p) {
  using namespace palette;
  // The board, its clip, the sheet and the report's lines.
  p.setPen(QPen(kInk, 4));
  p.setBrush(QColor(0xb9, 0x83, 0x4a));
  p.drawRoundedRect(QRectF(16, 12, 68, 84), 8, 8);
  p.setBrush(kPaper);
  p.drawRect(QRectF(26, 24, 48, 64));
  p.setBrush(kClip);
  p.drawRoundedRect(QRectF(34, 4, 32, 18), 5, 5);
  p.setPen(QPen(kNavy, 5, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 4; ++i) {
    p.drawLine(QPointF(34, 38 + i * 13), QPointF(i % 2 ? 56 : 66, 38 + i * 13));
  }
}

}  // namespace

QIcon ClipboardGlyph(int size) { return BoxedIcon(size, 0.35, Draw); }

}  // namespace zmr
