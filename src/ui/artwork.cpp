#include "ui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>

#include "ui/palette.h"

namespace zmr {
namespace {

using namespace palette;

constexpr double kGlyphBox = 100.0;  // glyphs are drawn in a 100 x 100 box, then scaled

void Page(QPainter& p, const QRectF& r) {
  const double fold = r.width() * 0.3;
  QPainterPath path;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.setPen(QPen(kInk, 3));
  p.setBrush(kPaper);
  p.drawPath(path);
  QPainterPath corner;
  corner.moveTo(r.right() - fold, r.top());
  corner.lineTo(r.right() - fold, r.top() + fold);
  corner.lineTo(r.right(), r.top() + fold);
  p.setBrush(QColor(0xdd, 0xd8, 0xcc));
  p.drawPath(corner);
}

void TextLines(QPainter& p, double x, double y, double width, int lines) {
  p.setPen(QPen(kLines, 4, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < lines; ++i) {
    p.drawLine(QPointF(x, y + i * 11), QPointF(x + width * (i % 2 ? 0.7 : 1.0), y + i * 11));
  }
}

void Badge(QPainter& p, const QPointF& c, const QColor& color) {
  p.setPen(QPen(Qt::white, 3));
  p.setBrush(color);
  p.drawEllipse(c, 17, 17);
}

void Bell(QPainter& p, const QPointF& c, double s, const QColor& color) {
  QPainterPath bell;
  bell.moveTo(c.x() - 0.5 * s, c.y() + 0.35 * s);
  bell.cubicTo(c.x() - 0.38 * s, c.y() + 0.1 * s, c.x() - 0.42 * s, c.y() - 0.45 * s, c.x(), c.y() - 0.47 * s);
  bell.cubicTo(c.x() + 0.42 * s, c.y() - 0.45 * s, c.x() + 0.38 * s, c.y() + 0.1 * s, c.x() + 0.5 * s, c.y() + 0.35 * s);
  bell.closeSubpath();
  p.setPen(QPen(color.darker(140), s * 0.05));
  p.setBrush(color);
  p.drawPath(bell);
  p.drawEllipse(QPointF(c.x(), c.y() + 0.45 * s), 0.1 * s, 0.1 * s);
  p.drawEllipse(QPointF(c.x(), c.y() - 0.52 * s), 0.07 * s, 0.07 * s);
}

void ClockFace(QPainter& p, const QPointF& c, double r, int hour, int minute) {
  p.setPen(QPen(kNavy, r * 0.08));
  p.setBrush(kPaper);
  p.drawEllipse(c, r, r);
  p.setPen(QPen(kInk, r * 0.04));
  for (int i = 0; i < 12; ++i) {
    const double a = i * M_PI / 6;
    p.drawLine(QPointF(c.x() + std::sin(a) * r * 0.78, c.y() - std::cos(a) * r * 0.78),
               QPointF(c.x() + std::sin(a) * r * 0.9, c.y() - std::cos(a) * r * 0.9));
  }
  const double ha = (hour % 12 + minute / 60.0) * M_PI / 6;
  const double ma = minute * M_PI / 30;
  p.setPen(QPen(kNavy, r * 0.1, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c, QPointF(c.x() + std::sin(ha) * r * 0.5, c.y() - std::cos(ha) * r * 0.5));
  p.setPen(QPen(kTeal, r * 0.07, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c, QPointF(c.x() + std::sin(ma) * r * 0.75, c.y() - std::cos(ma) * r * 0.75));
}

void WeekGrid(QPainter& p, const QRectF& r, bool header) {
  p.setPen(QPen(kInk, 3));
  p.setBrush(kPaper);
  p.drawRoundedRect(r, 6, 6);
  if (header) {
    p.setBrush(kTeal);
    p.drawRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.22), 6, 6);
  }
  p.setPen(Qt::NoPen);
  const double cw = r.width() / 7;
  const double top = r.top() + r.height() * 0.3;
  for (int d = 0; d < 7; ++d) {
    for (int row = 0; row < 3; ++row) {
      p.setBrush((d + row) % 3 == 0 ? kAmber : QColor(0xc9, 0xd3, 0xdc));
      p.drawRoundedRect(QRectF(r.left() + d * cw + cw * 0.2, top + row * r.height() * 0.22, cw * 0.6,
                               r.height() * 0.13),
                        2, 2);
    }
  }
}

// A document with lines of text and a round badge at its lower right, ready for a white mark.
void PageWithBadge(QPainter& p, double lines_top, int lines, const QColor& badge) {
  Page(p, {20, 8, 56, 76});
  TextLines(p, 30, lines_top, 34, lines);
  Badge(p, {72, 74}, badge);
  p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
}

void DrawGlyph(QPainter& p, Glyph glyph) {
  switch (glyph) {
    case Glyph::NewProject:
      PageWithBadge(p, 40, 3, kGreen);
      p.drawLine(QPointF(72, 65), QPointF(72, 83));
      p.drawLine(QPointF(63, 74), QPointF(81, 74));
      break;
    case Glyph::OpenProject: {
      p.setPen(QPen(kInk, 3));
      p.setBrush(kAmber.darker(115));
      p.drawRoundedRect(QRectF(8, 22, 84, 64), 5, 5);
      Page(p, {24, 12, 50, 50});
      TextLines(p, 32, 34, 30, 2);
      QPainterPath front;
      front.moveTo(8, 86);
      front.lineTo(18, 42);
      front.lineTo(96, 42);
      front.lineTo(92, 86);
      front.closeSubpath();
      p.setBrush(kAmber);
      p.drawPath(front);
      break;
    }
    case Glyph::CloseProject:
      PageWithBadge(p, 40, 3, kRed);
      p.drawLine(QPointF(65, 67), QPointF(79, 81));
      p.drawLine(QPointF(79, 67), QPointF(65, 81));
      break;
    case Glyph::Properties:
      PageWithBadge(p, 30, 4, kNavy);
      p.drawLine(QPointF(72, 72), QPointF(72, 83));
      p.drawPoint(QPointF(72, 64));
      break;
    case Glyph::Preview:
      Page(p, {14, 8, 56, 76});
      TextLines(p, 24, 36, 34, 3);
      p.setPen(QPen(kNavy, 6));
      p.setBrush(QColor(255, 255, 255, 160));
      p.drawEllipse(QPointF(60, 58), 18, 18);
      p.setPen(QPen(kNavy, 9, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(73, 71), QPointF(88, 86));
      break;
    case Glyph::Print:
      p.setPen(QPen(kInk, 3));
      p.setBrush(kPaper);
      p.drawRect(QRectF(28, 10, 44, 30));
      p.setBrush(kClip);
      p.drawRoundedRect(QRectF(10, 36, 80, 36), 6, 6);
      p.setBrush(kPaper);
      p.drawRect(QRectF(28, 60, 44, 30));
      TextLines(p, 35, 70, 30, 2);
      p.setPen(Qt::NoPen);
      p.setBrush(kGreen);
      p.drawEllipse(QPointF(78, 46), 4, 4);
      break;
    case Glyph::Schedule:
      WeekGrid(p, {8, 14, 84, 72}, true);
      break;
    case Glyph::Download: {
      p.setPen(QPen(kInk, 3));
      p.setBrush(kNavy);
      p.drawRoundedRect(QRectF(20, 58, 60, 30), 5, 5);
      p.setPen(QPen(kInk, 3));
      for (int i = 0; i < 5; ++i) {
        p.drawLine(QPointF(28 + i * 11, 88), QPointF(28 + i * 11, 95));
      }
      p.setPen(Qt::NoPen);
      p.setBrush(kGreen);
      p.drawEllipse(QPointF(68, 73), 4, 4);
      QPainterPath arrow;
      arrow.moveTo(42, 6);
      arrow.lineTo(58, 6);
      arrow.lineTo(58, 28);
      arrow.lineTo(72, 28);
      arrow.lineTo(50, 52);
      arrow.lineTo(28, 28);
      arrow.lineTo(42, 28);
      arrow.closeSubpath();
      p.setPen(QPen(kInk, 3));
      p.setBrush(kAmber);
      p.drawPath(arrow);
      break;
    }
    case Glyph::Activate:
    case Glyph::Deactivate: {
      const QColor color = glyph == Glyph::Activate ? kGreen : kRed;
      p.setPen(QPen(color.darker(130), 3));
      p.setBrush(color);
      p.drawEllipse(QPointF(50, 50), 42, 42);
      p.setPen(QPen(Qt::white, 9, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(27, 29, 46, 46), 120 * 16, 300 * 16);
      p.drawLine(QPointF(50, 20), QPointF(50, 48));
      if (glyph == Glyph::Deactivate) {
        p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(22, 22), QPointF(78, 78));
      }
      break;
    }
  }
}

QPixmap BoxedPixmap(int size, qreal opacity, const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kGlyphBox, size / kGlyphBox);
  if (opacity < 1.0) {
    p.setOpacity(opacity);
  }
  draw(p);
  return pixmap;
}

}  // namespace

QIcon BoxedIcon(int size, qreal disabled_opacity, const std::function<void(QPainter&)>& draw) {
  QIcon icon;
  icon.addPixmap(BoxedPixmap(size, 1.0, draw), QIcon::Normal);
  icon.addPixmap(BoxedPixmap(size, disabled_opacity, draw), QIcon::Disabled);
  return icon;
}

QIcon GlyphIcon(Glyph glyph, int size) {
  return BoxedIcon(size, 0.35, [glyph](QPainter& p) { DrawGlyph(p, glyph); });
}

QPixmap BackgroundPicture(QSize size) {
  QPixmap pixmap(size);
  QPainter p(&pixmap);
  QLinearGradient g(0, 0, size.width(), size.height());
  g.setColorAt(0, QColor(0xe8, 0xee, 0xf3));
  g.setColorAt(1, QColor(0xc5, 0xd3, 0xdf));
  p.fillRect(pixmap.rect(), g);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(255, 255, 255, 90), 2));
  for (int i = 0; i < 8; ++i) {
    const int r = 120 + i * 70;
    p.drawEllipse(QPoint(size.width(), size.height()), r, r);
  }
  return pixmap;
}

QPixmap MainPicture() {
  const QSize size = kMainPictureSize;
  QPixmap pixmap(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, kNavy);
  g.setColorAt(1, kNavy.darker(160));
  p.fillRect(pixmap.rect(), g);

  // The left third stays plain: the big buttons, picture and caption, lie on it.
  ClockFace(p, {470, 170}, 105, 8, 5);
  Bell(p, {560, 330}, 90, kAmber);
  WeekGrid(p, {350, 360, 150, 90}, true);

  QFont title = p.font();
  title.setPixelSize(34);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(320, 12, 300, 40), Qt::AlignRight, QStringLiteral("ZMR Console"));
  return pixmap;
}

QPixmap SideStrip(QSize size) {
  QPixmap pixmap(size);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, kNavy);
  g.setColorAt(1, kTeal.darker(130));
  p.fillRect(pixmap.rect(), g);
  const double w = size.width();
  ClockFace(p, {w / 2, w * 0.7}, w * 0.32, 10, 10);
  Bell(p, {w / 2, size.height() - w * 0.8}, w * 0.55, kAmber);
  p.setPen(QPen(QColor(255, 255, 255, 60), 2));
  for (int y = int(w * 1.3); y < size.height() - int(w * 1.4); y += 18) {
    p.drawLine(QPointF(w * 0.25, y), QPointF(w * 0.75, y));
  }
  return pixmap;
}

QPixmap ProductPicture(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size.width() / kGlyphBox, size.height() / kGlyphBox);
  p.setPen(QPen(kInk, 2));
  p.setBrush(QColor(0xec, 0xef, 0xf2));
  p.drawRoundedRect(QRectF(6, 30, 62, 56), 6, 6);
  p.setBrush(QColor(0x12, 0x2a, 0x1a));
  p.drawRect(QRectF(13, 38, 48, 16));
  QFont digits = p.font();
  digits.setPixelSize(12);
  p.setFont(digits);
  p.setPen(QColor(0x7c, 0xf0, 0x8e));
  p.drawText(QRectF(13, 38, 48, 16), Qt::AlignCenter, QStringLiteral("08:05"));
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(18, 72), 4, 4);
  p.setBrush(kAmber);
  p.drawEllipse(QPointF(30, 72), 4, 4);
  p.setPen(QPen(kInk, 2));
  p.drawLine(QPointF(68, 58), QPointF(78, 58));
  Bell(p, {84, 40}, 26, kAmber);
  return pixmap;
}

}  // namespace zmr
