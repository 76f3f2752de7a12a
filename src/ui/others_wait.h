#pragma once
// While one window of its own talks to the timer, the other windows wait, as they would
// behind a modal dialog: a click, a key, a shortcut or a close meant for them is dropped,
// and the window it was meant for says why. Boxes and dialogs that are modal go on working,
// so a box the busy window shows can still be answered.
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace zmr {

class OthersWait : public QObject {
 public:
  // `note`: what the other windows say when they are used meanwhile.
  OthersWait(QWidget& busy_window, QString note);
  ~OthersWait() override;
  OthersWait(const OthersWait&) = delete;
  OthersWait& operator=(const OthersWait&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> busy_;
  QString note_;
};

}  // namespace zmr
