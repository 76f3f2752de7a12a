#include "editor/ui/editor_artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/artwork.h"
#include "ui/palette.h"

namespace zmr {
namespace {

using namespace palette;

void Sheet(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kInk, 4));
  p.setBrush(kPaper);
  p.drawRoundedRect(r, 4, 4);
  p.setPen(QPen(kLines, 5, Qt::SolidLine, Qt::RoundCap));
  for (double y = r.top() + 16; y < r.bottom() - 8; y += 13) {
    p.drawLine(QPointF(r.left() + 9, y), QPointF(r.right() - 9, y));
  }
}

void Clipboard(QPainter& p) {
  p.setPen(QPen(kInk, 4));
  p.setBrush(kAmber.darker(110));
  p.drawRoundedRect(QRectF(14, 12, 62, 80), 7, 7);
  Sheet(p, {22, 24, 46, 62});
  p.setPen(QPen(kInk, 4));
  p.setBrush(kClip);
  p.drawRoundedRect(QRectF(32, 4, 26, 16), 4, 4);
}

void Plus(QPainter& p, const QPointF& c, const QColor& badge) {
  p.setPen(QPen(Qt::white, 4));
  p.setBrush(badge);
  p.drawEllipse(c, 20, 20);
  p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(c.x() - 10, c.y()), QPointF(c.x() + 10, c.y()));
  p.drawLine(QPointF(c.x(), c.y() - 10), QPointF(c.x(), c.y() + 10));
}

// A hooked arrow turning back to the left; mirrored, it points forward again.
void BackArrow(QPainter& p, bool mirrored) {
  if (mirrored) {
    p.translate(100, 0);
    p.scale(-1, 1);
  }
  QPainterPath hook;
  hook.moveTo(30, 40);
  hook.lineTo(62, 40);
  hook.cubicTo(92, 40, 92, 84, 62, 84);
  hook.lineTo(40, 84);
  p.setPen(QPen(kNavy, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(hook);
  p.setPen(QPen(kNavy, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(kNavy);
  p.drawPolygon(QPolygonF({QPointF(8, 40), QPointF(36, 18), QPointF(36, 62)}));
}

void Draw(QPainter& p, EditorGlyph glyph) {
  switch (glyph) {
    case EditorGlyph::Cut: {
      p.setPen(QPen(kNavy, 7, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(34, 8), QPointF(62, 66));
      p.drawLine(QPointF(66, 8), QPointF(38, 66));
      p.setPen(QPen(kRed, 7));
      p.setBrush(kPaper);
      p.drawEllipse(QPointF(30, 78), 14, 14);
      p.drawEllipse(QPointF(70, 78), 14, 14);
      p.setPen(Qt::NoPen);
      p.setBrush(kInk);
      p.drawEllipse(QPointF(50, 45), 4, 4);
      break;
    }
    case EditorGlyph::Copy:
      Sheet(p, {10, 8, 52, 64});
      Sheet(p, {38, 28, 52, 64});
      break;
    case EditorGlyph::Paste:
      Clipboard(p);
      break;
    case EditorGlyph::Delete: {
      Sheet(p, {14, 8, 56, 76});
      p.setPen(QPen(Qt::white, 4));
      p.setBrush(kRed);
      p.drawEllipse(QPointF(70, 72), 20, 20);
      p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(62, 64), QPointF(78, 80));
      p.drawLine(QPointF(78, 64), QPointF(62, 80));
      break;
    }
    case EditorGlyph::DayInsert:
      Clipboard(p);
      Plus(p, {72, 72}, kGreen);
      break;
    case EditorGlyph::Undo:
    case EditorGlyph::Redo:
      BackArrow(p, glyph == EditorGlyph::Redo);
      break;
  }
}

}  // namespace

QIcon EditorIcon(EditorGlyph glyph, int size) {
  return BoxedIcon(size, 0.3, [glyph](QPainter& p) { Draw(p, glyph); });
}

}  // namespace zmr
