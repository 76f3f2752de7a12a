#pragma once
// Whether the job's installed copy of a plan still is that plan: compared by what each
// part does (the bytes of each week, the days of each calendar, the port it leads to),
// since the copy names its files and its port otherwise.
#include <QString>
#include <QStringList>

#include "plan/plan_model.h"

namespace zmr {

// The parts in which copy differs from plan, as a person edits them: "the port", "the
// clock tolerance", "the usual week", "the periods", "the holiday calendars". Both plans
// are read (their weeks and calendars loaded); plan_port is the plan's port resolved as
// an install would resolve it.
QStringList CopyDifferences(const YearPlan& plan, const QString& plan_port, const YearPlan& copy);

}  // namespace zmr
