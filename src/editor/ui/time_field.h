#pragma once
// The time field takes times as people type and paste them ("7:05", " 705", "07:05"),
// where its input mask alone would refuse them; what it then holds is the mask's own form.
#include <QLineEdit>
#include <QObject>

class QKeyEvent;

namespace zmr {

class TimeFieldKeys : public QObject {
 public:
  // Watches the field's keys and its context menu; installed last, it sees them first.
  explicit TimeFieldKeys(QLineEdit& field);
  ~TimeFieldKeys() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool key(QKeyEvent* key);
  // A whole time from the clipboard; false when it holds none.
  bool paste();
  void menu(const QPoint& global);
  // Positions with ' ' for a blank; the edit counts as typing.
  void setPositions(const QString& positions, int cursor);

  QLineEdit& field_;
};

}  // namespace zmr
