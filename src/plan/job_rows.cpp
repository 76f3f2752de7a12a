#include "plan/job_rows.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>

#include "base/errors.h"
#include "base/file_io.h"
#include "hardware/week_state.h"
#include "link/stand_alone_port.h"
#include "plan/calendar_reader.h"
#include "plan/plan_days.h"
#include "plan/plan_reader.h"
#include "plan/upkeep.h"
#include "plan/upkeep_record.h"

namespace zmr {
namespace {

// As far ahead as a plan's calendars are read.
constexpr int kChangeHorizonDays = 366 * kRecurrenceYearsAhead;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kNotKnown = QStringLiteral("not known");

// Why a folder of records cannot be read by this user; empty when it can (or is not there).
QString Unreadable(const QString& folder) {
  const int error = FolderError(folder);
  if (error == 0 || error == ENOENT) return {};
  return QStringLiteral("cannot be read here (%1)").arg(QString::fromStdString(WithFullStop(IoError::fromErrno(error).what())));
}

QString PortColumn(const QString& named) {
  const StandAlonePort port = StandAlonePortOf(named);
  if (port.port == named) return named;
  return QStringLiteral("%1 (%2)").arg(named, port.port.isEmpty() ? port.problem : port.port);
}

QString Holds(const YearPlan& plan, const QString& port, const QString& state) {
  if (const QString unreadable = Unreadable(state); !unreadable.isEmpty()) return unreadable;
  const std::optional<WeekRecord> held = WeekStateStore(state).held(TimerKeyOf(port));
  if (!held) return QStringLiteral("nothing recorded");
  if (held->week_hash.isEmpty()) return QStringLiteral("not known: its last download did not finish");
  const QString since = held->when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
  for (const auto& [name, week] : plan.weeks) {
    if (WeekHash(*week) == held->week_hash) return QStringLiteral("%1 since %2").arg(QFileInfo(name).fileName(), since);
  }
  return QStringLiteral("a week not in this plan, since %1").arg(since);
}

QString JobColumn(const QString& unit, const ServiceQuery& query) {
  if (!query.running()) return QStringLiteral("systemd does not run here");
  const ServiceAnswer answer = query.isEnabled(unit);
  if (!answer.ran) return kNotKnown;
  if (answer.exit_code == 0 && answer.output.startsWith(QStringLiteral("enabled"))) return QStringLiteral("on");
  if (answer.output.startsWith(QStringLiteral("masked"))) return QStringLiteral("off for good (masked)");
  if (answer.output.contains(QStringLiteral("No such file")) || answer.output.startsWith(QStringLiteral("not-found"))) {
    return QStringLiteral("not installed");
  }
  return QStringLiteral("off");
}

// The last run as the record keeps it; where this user cannot read the record, as
// systemd saw the service end.
QString LastRun(const QString& state, const QString& record_key, const QString& service, const ServiceQuery& query) {
  const QString unreadable = Unreadable(state);
  if (unreadable.isEmpty()) {
    if (const std::optional<UpkeepRunRecord> run = LastUpkeepRun(state, record_key)) return UpkeepRunOutcome(*run);
  }
  if (!service.isEmpty() && query.running()) {
    const auto seen = query.show(service, {QStringLiteral("ExecMainExitTimestamp"), QStringLiteral("Result"),
                                           QStringLiteral("ExecMainStatus")});
    const QDateTime ended = SystemctlTime(seen.count(QStringLiteral("ExecMainExitTimestamp"))
                                              ? seen.at(QStringLiteral("ExecMainExitTimestamp"))
                                              : QString());
    if (ended.isValid()) {
      const bool done = seen.count(QStringLiteral("Result")) && seen.at(QStringLiteral("Result")) == QStringLiteral("success");
      return QStringLiteral("%1: %2 (exit %3)")
          .arg(ended.toString(kTimeFormat), done ? UpkeepOutcomeText(UpkeepOutcome::Done) : QStringLiteral("failed"),
               seen.count(QStringLiteral("ExecMainStatus")) ? seen.at(QStringLiteral("ExecMainStatus")) : QStringLiteral("?"));
    }
  }
  return unreadable.isEmpty() ? QStringLiteral("none recorded") : unreadable;
}

QString NextRun(const QString& unit, const ServiceQuery& query) {
  if (!query.running()) return kNotKnown;
  const auto seen = query.show(unit, {QStringLiteral("NextElapseUSecRealtime")});
  const auto next = seen.find(QStringLiteral("NextElapseUSecRealtime"));
  if (next == seen.end()) return kNotKnown;
  const QDateTime when = SystemctlTime(next->second);
  return when.isValid() ? when.toString(kTimeFormat) : QStringLiteral("none planned");
}

QString NextChangeColumn(const YearPlan& plan, QDate today) {
  const std::optional<DayDecision> change = NextChange(plan, today, kChangeHorizonDays);
  return change ? NextChangeText(*change, today) : QStringLiteral("none within %1 years").arg(kRecurrenceYearsAhead);
}

JobRow InstalledRow(const QString& path, const JobSources& sources, const ServiceQuery& query, const QDateTime& now) {
  JobRow row;
  row.plan = path;
  row.installed = true;
  row.name = QFileInfo(path).completeBaseName();
  const QString unit = UpkeepTimerUnit(row.name);
  row.job = JobColumn(unit, query);
  row.next_run = !query.running()                 ? kNotKnown
                 : row.job == QStringLiteral("on") ? NextRun(unit, query)
                                                   : QStringLiteral("none planned");
  // The service knows its plan by the path it reads it from.
  const QString record_key = QDir(sources.service_plans_folder).filePath(QFileInfo(path).fileName());
  row.last_run = LastRun(sources.state_folder, record_key, UpkeepServiceUnit(row.name), query);
  const PlanReading reading = ReadPlan(path, now.date());
  if (!reading.ok()) {
    row.faults = FaultLines(reading.faults);
    return row;
  }
  const QString port = reading.plan.port.value_or(sources.default_port);
  row.port = PortColumn(port);
  row.holds = Holds(reading.plan, port, sources.state_folder);
  row.next_change = NextChangeColumn(reading.plan, now.date());
  return row;
}

JobRow OpenPlanRow(const YearPlan& plan, const JobSources& sources, const ServiceQuery& query, const QDateTime& now) {
  JobRow row;
  row.plan = plan.path;
  row.name = plan.name;
  const QString port = plan.port.value_or(sources.open_default_port);
  row.port = PortColumn(port);
  row.holds = Holds(plan, port, sources.open_state_folder);
  row.job = QStringLiteral("not installed");
  row.last_run = LastRun(sources.open_state_folder, plan.path, QString(), query);
  row.next_run = QStringLiteral("none planned");
  row.next_change = NextChangeColumn(plan, now.date());
  return row;
}

}  // namespace

QDateTime SystemctlTime(const QString& value) {
  const QString v = value.trimmed();
  if (v.startsWith(u'@')) {
    bool ok = false;
    const qint64 secs = v.mid(1).toLongLong(&ok);
    return ok && secs > 0 ? QDateTime::fromSecsSinceEpoch(secs).toLocalTime() : QDateTime();
  }
  static const QRegularExpression pretty(QStringLiteral("(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2})"));
  const QRegularExpressionMatch m = pretty.match(v);
  return m.hasMatch() ? QDateTime::fromString(m.captured(1), kTimeFormat) : QDateTime();
}

std::vector<JobRow> JobRows(const JobSources& sources, const ServiceQuery& query, const QDateTime& now) {
  std::vector<JobRow> rows;
  QStringList plans;
  for (const QFileInfo& file :
       QDir(sources.plans_folder).entryInfoList({QStringLiteral("*.toml")}, QDir::Files | QDir::Readable, QDir::Name)) {
    plans << file.absoluteFilePath();
  }
  const QString open_job = !sources.open_plan                     ? QString()
                           : IsJobName(sources.open_plan->name) ? sources.open_plan->name
                                                                 : SuggestedJobName(sources.open_plan->name);
  bool open_has_job = false;
  for (const QString& path : plans) {
    rows.push_back(InstalledRow(path, sources, query, now));
    rows.back().open = rows.back().name == open_job;
    open_has_job = open_has_job || rows.back().open;
  }
  if (sources.open_plan && !open_has_job) {
    rows.push_back(OpenPlanRow(*sources.open_plan, sources, query, now));
    rows.back().open = true;
  }
  return rows;
}

}  // namespace zmr
