#include "ui/field_looks.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

namespace zmr {

void FocusDrawn(QWidget& control) {
  control.setFocus(Qt::TabFocusReason);
  // The style draws a focus frame only once the keyboard moved the focus in the window.
  control.window()->setAttribute(Qt::WA_KeyboardFocusChange);
}

void ShowReadOnlyLook(QWidget& field, bool read_only) {
  QPalette palette = field.palette();
  const QPalette standard = QApplication::palette(&field);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base,
                     standard.color(group, read_only ? QPalette::Window : QPalette::Base));
  }
  field.setPalette(palette);
}

namespace {

// Paints the label's one line itself when it does not fit.
class ElidingPainter : public QObject {
 public:
  explicit ElidingPainter(QLabel& label) : QObject(&label), label_(label) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &label_ || event->type() != QEvent::Paint) {
      return false;
    }
    // The text may have changed since the last painting: the tooltip follows it.
    const bool too_long = tooLong();
    label_.setToolTip(too_long ? label_.text() : QString());
    if (too_long) {
      QPainter painter(&label_);
      const QRect room = label_.contentsRect();
      const QString shown = label_.fontMetrics().elidedText(label_.text(), Qt::ElideMiddle, room.width());
      label_.style()->drawItemText(&painter, room, static_cast<int>(label_.alignment()), label_.palette(),
                                   label_.isEnabled(), shown, label_.foregroundRole());
    }
    return too_long;
  }

 private:
  bool tooLong() const {
    return label_.fontMetrics().horizontalAdvance(label_.text()) > label_.contentsRect().width();
  }
  QLabel& label_;
};

}  // namespace

namespace {

class EnabledFollower : public QObject {
 public:
  EnabledFollower(QWidget& control, QWidget& caption) : QObject(&control), caption_(caption) {
    caption_.setEnabled(control.isEnabled());
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange) {
      caption_.setEnabled(static_cast<QWidget*>(watched)->isEnabled());
    }
    return false;
  }

 private:
  QWidget& caption_;
};

}  // namespace

void CaptionFollowsEnabled(QWidget& control, QWidget& caption) {
  control.installEventFilter(new EnabledFollower(control, caption));
}

namespace {

constexpr char kWrapsWhole[] = "zmrWrapsWhole";

QTextOption WrapOption(const QLabel& label) {
  QTextOption option(label.alignment());
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

// Paints the label's text wrapped, breaking inside a word only where no space will do.
class WrappingPainter : public QObject {
 public:
  explicit WrappingPainter(QLabel& label) : QObject(&label), label_(label) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &label_ || event->type() != QEvent::Paint) {
      return false;
    }
    QPainter painter(&label_);
    painter.setPen(label_.palette().color(label_.isEnabled() ? QPalette::Active : QPalette::Disabled,
                                          label_.foregroundRole()));
    painter.setFont(label_.font());
    painter.drawText(QRectF(label_.contentsRect()), label_.text(), WrapOption(label_));
    return true;
  }

 private:
  QLabel& label_;
};

}  // namespace

void WrapWhole(QLabel& label) {
  label.setWordWrap(true);
  label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label.setProperty(kWrapsWhole, true);
  label.installEventFilter(new WrappingPainter(label));
}

QStringList ShownLines(const QLabel& label) {
  const int width = label.contentsRect().width();
  if (!label.property(kWrapsWhole).toBool()) {
    return {label.fontMetrics().elidedText(label.text(), Qt::ElideMiddle, width)};
  }
  QTextLayout layout(label.text(), label.font());
  layout.setTextOption(WrapOption(label));
  layout.beginLayout();
  QStringList lines;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    lines << label.text().mid(line.textStart(), line.textLength());
  }
  layout.endLayout();
  return lines;
}

void ElideWhenTooLong(QLabel& label) {
  label.setWordWrap(false);
  label.installEventFilter(new ElidingPainter(label));
}

}  // namespace zmr
