#pragma once
// Weeks for the schedule report's tests and benchmark.
#include <memory>

#include "project/project_model.h"

namespace zmr::testing {

// A reset project with a school's summary and, on each day, events every seven minutes
// from 06:00 with titles of every length (the longest wider than its cell); events_per_day
// 0..120 per day, the same on every day of days (1..7, from Monday).
std::unique_ptr<ProjectSetup> ReportWeek(int events_per_day, int days = kDays);

}  // namespace zmr::testing
