#pragma once
// A small band report over QPainter: a page header band on top of every page, then one
// detail band per row that the need-data handler grants, breaking pages as rows run out
// of room; a frame around each page's report area; no footer. Every measure is in
// millimetres and is turned into device pixels in one place (MmScale), through the
// device's own resolution, so preview, paper and PDF agree.
#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

namespace zmr {

struct BandLabel {
  QString name;  // the handlers find named labels by it; fixed captions have none
  QString text;
  double left = 0;     // mm from the band's top left
  double top = 0;
  double width = 0;    // ignored when fits_text
  double height = 0;
  double point_size = 10;
  Qt::Alignment alignment = Qt::AlignLeft;  // horizontal; text sits at the top
  bool fits_text = false;   // the width follows the text
  bool line_above = false;  // a line along the top edge
  bool word_wrap = false;   // wrap at words; lines that do not fit the height are dropped
  // One line that says when it is cut: it ends in "…" inside the label, cut after a whole
  // word where one fits, else after a character; the first fixed_chars are never cut.
  bool elide = false;
  int fixed_chars = 0;
  bool bold = false;
  double padding = 0;  // mm kept free of text inside the left and right edges
};

// The font of every printout: Arial, or the metric-compatible Liberation Sans for it.
QFont ReportFont(double point_size, bool bold = false);

// The text as an eliding label shows it, `fits` telling whether a text fits the width.
QString ElideText(const QString& text, int fixed_chars, const std::function<bool(const QString&)>& fits);

struct Band {
  double width = 0;   // mm
  double height = 0;  // mm; the least height of a band that grows
  bool framed = false;
  // The band grows to show every line of its word-wrapping labels; each label then
  // reaches down to the band's foot.
  bool grows = false;
  std::vector<BandLabel> labels;

  BandLabel* label(const QString& name);
};

// Millimetres to device pixels, through the device's resolution.
class MmScale {
 public:
  explicit MmScale(const QPaintDevice& device);
  double x(double mm) const { return mm * dpi_x_ / kMmPerInch; }
  double y(double mm) const { return mm * dpi_y_ / kMmPerInch; }
  QRectF rect(double left, double top, double width, double height) const {
    return {x(left), y(top), x(width), y(height)};
  }

 private:
  static constexpr double kMmPerInch = 25.4;
  double dpi_x_;
  double dpi_y_;
};

class BandReport {
 public:
  Band page_header;
  Band detail;
  // Once each time the report is produced, before anything is drawn.
  std::function<void()> before_print;
  // Before each detail row, and once more to learn that none follows.
  std::function<bool()> need_data;
  // When a row opens a new page (not the first), before it is drawn: the row may say
  // again what the page before said of it.
  std::function<void()> page_started;
  double frame_width_mm = 0.25;

  // Produces the whole report on the device in its current page layout. Returns the
  // number of pages, or 0 when the device refused to start or to take a new page.
  int print(QPagedPaintDevice& device) const;

 private:
  // Lines go into page_lines, drawn when the page is complete, so that the white
  // background of a label further down never covers a frame or a line.
  void drawBand(QPainter& painter, const MmScale& mm, const Band& band, double top, double height,
                double area_width, std::vector<QLineF>& page_lines) const;
  // The band's height with its texts as they stand: its own, or more when it grows.
  double bandHeight(QPainter& painter, const MmScale& mm, const Band& band) const;
};

// A4 portrait with 12.7 mm margins on all four sides.
QPageLayout ReportPageLayout();

}  // namespace zmr
