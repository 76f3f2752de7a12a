#pragma once
// The plan's colours as the windows paint them.
#include <QColor>

#include "plan/plan_look.h"

namespace zmr {

inline QColor PlanColour(PlanRgb rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

}  // namespace zmr
