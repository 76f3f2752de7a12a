#pragma once
// Reading a year plan (TOML). A plan is taken whole or refused whole: every fault is
// listed with the line it is on, so one look at the list mends the file; a typo in a key
// is a fault, never silently passed over.
#include <QDate>
#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

#include "plan/calendar_loading.h"
#include "plan/plan_model.h"

namespace zmr {

// A fault of a plan, as data: zmrctl prints it with its file and line, the window shows
// its text beside the control that its key belongs to.
// "north.toml line 12: text", or "north.toml: text" for the whole file.
QString FaultLine(const PlanFault& fault);
QStringList FaultLines(const std::vector<PlanFault>& faults);

struct PlanReading {
  struct Named {
    QString file;  // as written
    int line = 0;
  };
  YearPlan plan;
  std::vector<PlanFault> faults;       // in the order of the file's lines; empty: the plan holds
  std::vector<Named> weeks_named;      // where each week file is named, for LoadPlanFiles
  std::vector<Named> calendars_named;
  bool ok() const { return faults.empty(); }
};

// The plan's own text, checked without the files it names. path names the plan in the
// faults and is where its relative names are taken from.
PlanReading ParsePlan(std::string_view text, const QString& path);

// Loads the weeks and calendars a parsed plan names, adding a fault for each that is
// missing, unreadable or not what it should be. Recurring holidays are expanded up to
// kRecurrenceYearsAhead after `day`; of a calendar with `only`, just the events that
// count are holidays. Web calendars are had as `access` says.
void LoadPlanFiles(PlanReading& reading, QDate day, const CalendarAccess& access = {});

// Both, from the file at path.
PlanReading ReadPlan(const QString& path, QDate day, const CalendarAccess& access = {});

// The plan as TOML text that ParsePlan reads back to the same plan. Comments and the
// order of the keys are not kept.
std::string PlanText(const YearPlan& plan);

// Writes PlanText over plan.path, crash-safe like a project file. Throws IoError.
void WritePlanFile(const YearPlan& plan);

}  // namespace zmr
