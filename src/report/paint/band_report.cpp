#include "report/paint/band_report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace zmr {

namespace {

constexpr double kMarginMm = 12.7;

constexpr QChar kEllipsis = u'\u2026';
// A band grown to its lines holds them exactly; millimetres to pixels may round a hair off.
constexpr double kRoundingSlack = 0.5;  // device pixels

// The label's text laid out in lines of the given width (device pixels); returns the
// height of all the lines.
double LayOut(QTextLayout& layout, const BandLabel& label, double width) {
  QTextOption option(label.alignment | Qt::AlignTop);
  option.setWrapMode(label.word_wrap && !label.elide ? QTextOption::WordWrap : QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  double y = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout.endLayout();
  return y;
}

// Lays the text out within the width; only the lines that fit the height whole are
// kept (the first one always), so a cut never shows the top of a half line.
void DrawLabelText(QPainter& painter, const BandLabel& label, const QRectF& box) {
  if (label.text.isEmpty()) {
    return;
  }
  const QFont font = ReportFont(label.point_size, label.bold);
  QString text = label.text;
  if (label.elide) {
    const QFontMetricsF metrics(font, painter.device());
    text = ElideText(text, label.fixed_chars,
                     [&](const QString& candidate) { return metrics.horizontalAdvance(candidate) <= box.width(); });
  }
  QTextLayout layout(text, font, painter.device());
  LayOut(layout, label, box.width());
  for (int i = 0; i < layout.lineCount(); ++i) {
    const QTextLine line = layout.lineAt(i);
    if (i > 0 && line.y() + line.height() > box.height() + kRoundingSlack) {
      break;
    }
    line.draw(&painter, box.topLeft());
  }
}

}  // namespace

// Arial as asked; on Linux the metric-compatible Liberation Sans stands in for it.
QFont ReportFont(double point_size, bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
  font.setPointSizeF(point_size);
  font.setBold(bold);
  font.setStyleHint(QFont::SansSerif);
  font.setKerning(false);  // widths as the font's metrics give them, on every device
  return font;
}

QString ElideText(const QString& text, int fixed_chars, const std::function<bool(const QString&)>& fits) {
  if (fits(text)) {
    return text;
  }
  const QString fixed = text.left(fixed_chars);
  const QString rest = text.mid(fixed_chars);
  // After the longest run of whole words that fits with the mark.
  for (int blank = rest.lastIndexOf(u' '); blank > 0; blank = rest.lastIndexOf(u' ', blank - 1)) {
    const QString words = rest.left(blank).trimmed();
    if (!words.isEmpty() && fits(fixed + words + kEllipsis)) {
      return fixed + words + kEllipsis;
    }
  }
  // No word fits whole: after as many characters as fit.
  for (int n = static_cast<int>(rest.size()) - 1; n > 0; --n) {
    const QString part = rest.left(n).trimmed();
    if (!part.isEmpty() && fits(fixed + part + kEllipsis)) {
      return fixed + part + kEllipsis;
    }
  }
  return fixed + kEllipsis;
}

BandLabel* Band::label(const QString& name) {
  const auto it = std::find_if(labels.begin(), labels.end(), [&](const BandLabel& l) { return l.name == name; });
  return it == labels.end() ? nullptr : &*it;
}

MmScale::MmScale(const QPaintDevice& device) : dpi_x_(device.logicalDpiX()), dpi_y_(device.logicalDpiY()) {}

QPageLayout ReportPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

namespace {

void AddFrame(std::vector<QLineF>& lines, const QRectF& r) {
  lines.insert(lines.end(), {QLineF(r.topLeft(), r.topRight()), QLineF(r.topRight(), r.bottomRight()),
                             QLineF(r.bottomRight(), r.bottomLeft()), QLineF(r.bottomLeft(), r.topLeft())});
}

}  // namespace

double BandReport::bandHeight(QPainter& painter, const MmScale& mm, const Band& band) const {
  double height = band.height;
  if (!band.grows) {
    return height;
  }
  for (const BandLabel& label : band.labels) {
    if (label.word_wrap && !label.text.isEmpty()) {
      QTextLayout layout(label.text, ReportFont(label.point_size, label.bold), painter.device());
      const double text = LayOut(layout, label, mm.x(label.width - 2 * label.padding));
      // Each line past the first adds its own height to the band's.
      const double more_mm = (text - layout.lineAt(0).height()) / mm.y(1.0);
      height = std::max(height, band.height + more_mm);
    }
  }
  return height;
}

void BandReport::drawBand(QPainter& painter, const MmScale& mm, const Band& band, double top, double height,
                          double area_width, std::vector<QLineF>& page_lines) const {
  const double width = std::min(band.width, area_width);
  const QRectF band_box = mm.rect(0, top, width, height);
  for (const BandLabel& label : band.labels) {
    double label_width = label.width;
    if (label.fits_text) {
      const QFontMetricsF metrics(ReportFont(label.point_size, label.bold), painter.device());
      label_width = metrics.horizontalAdvance(label.text) / mm.x(1.0);
    }
    const double label_height = band.grows ? height - label.top : label.height;
    // The text is laid out in the label's own box, which ends at the band's edges; the
    // white, opaque background hides what lies below.
    const QRectF label_box = mm.rect(label.left, top + label.top, label_width, label_height);
    const QRectF box = label_box.intersected(band_box);
    if (box.isEmpty()) {
      continue;
    }
    painter.save();
    painter.setClipRect(box);
    painter.fillRect(box, Qt::white);
    painter.setPen(Qt::black);
    DrawLabelText(painter, label, label_box.adjusted(mm.x(label.padding), 0, -mm.x(label.padding), 0));
    painter.restore();
    if (label.line_above) {
      page_lines.emplace_back(box.topLeft(), box.topRight());
    }
  }
  if (band.framed) {
    AddFrame(page_lines, band_box);
  }
}

int BandReport::print(QPagedPaintDevice& device) const {
  QPainter painter;
  if (!painter.begin(&device)) {
    return 0;
  }
  const MmScale mm(device);
  const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
  painter.setPen(QPen(Qt::black, mm.x(frame_width_mm)));
  painter.setBrush(Qt::NoBrush);

  if (before_print) {
    before_print();
  }
  int pages = 1;
  std::vector<QLineF> lines;
  const auto finish_page = [&] {
    AddFrame(lines, mm.rect(0, 0, area.width(), area.height()));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    lines.clear();
  };
  drawBand(painter, mm, page_header, 0, page_header.height, area.width(), lines);
  double y = page_header.height;
  while (need_data && need_data()) {
    const double height = bandHeight(painter, mm, detail);
    if (y + height > area.height() && y > page_header.height) {
      finish_page();
      if (!device.newPage()) {
        return 0;
      }
      ++pages;
      if (page_started) {
        page_started();
      }
      drawBand(painter, mm, page_header, 0, page_header.height, area.width(), lines);
      y = page_header.height;
    }
    drawBand(painter, mm, detail, y, height, area.width(), lines);
    y += height;
  }
  finish_page();
  return painter.end() ? pages : 0;
}

}  // namespace zmr
