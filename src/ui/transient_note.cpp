#include "ui/transient_note.h"

#include <QEvent>
#include <algorithm>

#include "ui/palette.h"

namespace zmr {
namespace {
constexpr int kMargin = 12;        // from the window's bottom and left edges
constexpr int kPadding = 8;        // around the text
constexpr char kNoteName[] = "note";
}  // namespace

TransientNote::TransientNote(QWidget& window) : QLabel(&window) {
  setObjectName(QString::fromLatin1(kNoteName));
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setWordWrap(true);
  setAlignment(Qt::AlignCenter);
  setMargin(kPadding);
  setAutoFillBackground(true);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, palette::kNavy);
  colours.setColor(QPalette::WindowText, palette::kPaper);
  setPalette(colours);
  hide_timer_.setSingleShot(true);
  hide_timer_.setInterval(kShownMs);
  connect(&hide_timer_, &QTimer::timeout, this, &QWidget::hide);
  window.installEventFilter(this);
  QLabel::hide();
}

void TransientNote::show(const QString& text) {
  setText(text);
  setAccessibleName(text);
  place();
  QLabel::show();
  raise();
  hide_timer_.start(kShownMs);
}

bool TransientNote::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) {
    place();
  }
  return QLabel::eventFilter(watched, event);
}

// Bottom left, at most half the window wide: the default buttons of our windows sit at
// the bottom right, and stay in sight.
void TransientNote::place() {
  const QWidget& window = *parentWidget();
  // A word-wrapping label hints at a narrow width: take the text's own width instead.
  const int natural = fontMetrics().horizontalAdvance(text()) + 2 * margin() + 2;
  const int width = std::min(natural, window.width() / 2 - kMargin);
  const int height = heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height();
  setGeometry(kMargin, window.height() - height - kMargin, width, height);
}

TransientNote& NoteOf(QWidget& window) {
  for (QObject* child : window.children()) {
    if (auto* note = qobject_cast<TransientNote*>(child)) {
      return *note;
    }
  }
  return *new TransientNote(window);  // owned by the window
}

}  // namespace zmr
