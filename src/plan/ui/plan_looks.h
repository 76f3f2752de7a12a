#pragma once
// Small looks the plan windows share.
#include <QColor>
#include <QLabel>

#include "plan/plan_look.h"

namespace zmr {

inline QColor PlanColour(PlanRgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// A label that says, in red beside a field, why the field cannot be stored as it is.
QLabel* MakeFaultLabel(QWidget* parent, const char* object_name);

}  // namespace zmr
