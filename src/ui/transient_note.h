#pragma once
// A short note inside a window that goes away by itself: it tells that a command did
// what was asked, where a box to click away would be too much and silence too little.
// No sound, no focus taken: typing goes on where it was.
#include <QLabel>
#include <QTimer>

namespace zmr {

class TransientNote : public QLabel {
  Q_OBJECT

 public:
  static constexpr int kShownMs = 4000;

  // The note lives in `window`, hidden until show() is called.
  explicit TransientNote(QWidget& window);

  // Shows text at the bottom left of the window, above everything else in it, for kShownMs;
  // a second note replaces the first and starts the time afresh.
  void show(const QString& text);

  // The time until the note goes: tests make it run out.
  QTimer& hideTimer() { return hide_timer_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place();

  QTimer hide_timer_;
};

// The window's note, made on first use.
TransientNote& NoteOf(QWidget& window);

}  // namespace zmr
