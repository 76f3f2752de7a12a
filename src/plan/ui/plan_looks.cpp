#include "plan/ui/plan_looks.h"

namespace zmr {

QLabel* MakeFaultLabel(QWidget* parent, const char* object_name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(object_name));
  label->setWordWrap(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::darkRed);
  label->setPalette(palette);
  return label;
}

}  // namespace zmr
