// zmrctl plan: what a plan puts in force, day by day, and what decides each day; or its
// year as the printed notice, to a PDF.
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <algorithm>

#include "plan/paint/year_plan_report.h"
#include "plan/plan_days.h"
#include "plan/plan_listing.h"
#include "report/paint/schedule_report.h"
#include "plan/plan_reader.h"
#include "zmrctl/command.h"

namespace zmr::ctl {

int PlanCommand(Invocation& run) {
  if (run.options.operands.size() != 1) return run.usageError("plan takes one plan file");
  Environment& env = run.env;
  const QString& path = run.options.operands[0];
  const QDate from = run.options.date.value_or(env.clock.now().date());
  if (run.options.pdf && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
    env.err << "zmrctl: plan --pdf needs a Qt Gui application\n";
    return kExitOtherFailure;
  }
  // Recurring holidays are expanded from the last day shown, so a long view has them all.
  // Web calendars are kept where upkeep keeps them, so both see the same copies.
  const CalendarAccess access(run.options.state.value_or(DefaultStateFolder()), env.clock.now().toUTC());
  const QDate last = run.options.pdf ? PrintedYearEnd(from) : from.addDays(run.options.days - 1);
  const PlanReading reading = ReadPlan(path, last, access);
  if (!reading.ok()) {
    for (const PlanFault& fault : reading.faults) env.err << FaultLine(fault).toStdString() << '\n';
    env.err << QFileInfo(path).fileName().toStdString() << ": the plan is refused\n";
    return kExitProjectRefused;
  }
  for (const PlanFault& warning : reading.plan.warnings) env.err << FaultLine(warning).toStdString() << '\n';
  if (run.options.pdf) {
    WritePdfFile(*run.options.pdf, YearPlanPdf(reading.plan, from, env.clock.now().date()));
    return kExitOk;
  }
  const std::vector<DayDecision> days = PlanDays(reading.plan, from, run.options.days);
  qsizetype width = 8;  // "no bells"
  for (const DayDecision& d : days) width = std::max(width, d.week.size());
  for (const DayDecision& d : days) {
    const QString what = d.bells ? d.week : QStringLiteral("no bells");
    env.out << (QLocale::c().toString(d.date, QStringLiteral("ddd yyyy-MM-dd")) + "  " + what.leftJustified(width) +
                "  " + d.reason)
                   .toStdString()
            << '\n';
  }
  return kExitOk;
}

}  // namespace zmr::ctl
