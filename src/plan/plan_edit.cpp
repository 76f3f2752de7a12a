#include "plan/plan_edit.h"

#include <QDir>
#include <QFileInfo>

#include "base/errors.h"
#include "base/file_io.h"
#include "plan/plan_reader.h"

namespace zmr {
namespace {

// A remembered path is one line; anything longer is not ours.
constexpr std::size_t kMaxRememberedBytes = 4096;

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The control of the Period dialog that a period's key belongs to.
PeriodField FieldOfKey(const QString& key) {
  if (key == QStringLiteral("name")) return PeriodField::Name;
  if (key == QStringLiteral("from")) return PeriodField::From;
  if (key == QStringLiteral("to")) return PeriodField::To;
  if (key == QStringLiteral("week") || key == QStringLiteral("bells")) return PeriodField::Week;
  return PeriodField::Other;
}

}  // namespace

std::vector<FieldFault> CheckPeriod(const YearPlan& plan, const PlanPeriod& period, QDate today) {
  // The period alone in a plan of the same name and folder; the plan's own week is a
  // stand-in that is never loaded, so only the period's faults come back.
  YearPlan probe;
  probe.path = plan.path;
  probe.week = QStringLiteral("-");
  probe.periods = {period};
  PlanReading reading = ParsePlan(PlanText(probe), plan.path);
  const int first = reading.plan.periods.empty() ? 0 : reading.plan.periods.front().line;
  std::erase_if(reading.weeks_named, [&](const PlanReading::Named& n) { return n.line < first; });
  LoadPlanFiles(reading, today);
  std::vector<FieldFault> faults;
  for (const PlanFault& fault : reading.faults) {
    if (fault.line >= first) faults.push_back({FieldOfKey(fault.key), fault.text});
  }
  return faults;
}

std::vector<CalendarFieldFault> CheckCalendarEntry(const YearPlan& plan, const HolidayCalendar& entry, int replacing,
                                                   QDate today, const CalendarAccess& access) {
  for (int i = 0; i < static_cast<int>(plan.holidays.size()); ++i) {
    if (i != replacing && plan.holidays[static_cast<std::size_t>(i)].source == entry.source) {
      return {{CalendarField::Source, QStringLiteral("calendar '%1' is in the plan already").arg(entry.source)}};
    }
  }
  // The entry alone in a plan of the same name and folder, its week a stand-in never loaded.
  YearPlan probe;
  probe.path = plan.path;
  probe.week = QStringLiteral("-");
  probe.holidays = {entry};
  PlanReading reading = ParsePlan(PlanText(probe), plan.path);
  reading.weeks_named.clear();
  if (reading.ok()) LoadPlanFiles(reading, today, access);
  std::vector<CalendarFieldFault> faults;
  for (const PlanFault& fault : reading.faults) {
    faults.push_back({fault.key == QStringLiteral("only") ? CalendarField::Only : CalendarField::Source, fault.text});
  }
  return faults;
}

std::vector<PlanFault> CheckPlan(const YearPlan& plan, QDate today, YearPlan* loaded, const CalendarAccess& access) {
  PlanReading reading = ParsePlan(PlanText(plan), plan.path);
  if (reading.ok()) LoadPlanFiles(reading, today, access);
  if (reading.ok() && loaded != nullptr) *loaded = std::move(reading.plan);
  return reading.faults;
}

QString NameInPlan(const YearPlan& plan, const QString& chosen_path) {
  const QString relative = QDir(QFileInfo(plan.path).absolutePath()).relativeFilePath(chosen_path);
  return relative.startsWith(QStringLiteral("..")) || QDir::isAbsolutePath(relative)
             ? QFileInfo(chosen_path).absoluteFilePath()
             : relative;
}

YearPlan NewPlan(const QString& path, const QString& usual_week_path) {
  YearPlan plan;
  plan.path = QFileInfo(path).absoluteFilePath();
  plan.name = QFileInfo(path).completeBaseName();
  plan.week = NameInPlan(plan, usual_week_path);
  return plan;
}

QString RememberedPlan(const QString& settings_folder) {
  try {
    const std::vector<std::uint8_t> bytes =
        ReadFileStart(QDir(settings_folder).filePath(kPlanPathFile), kMaxRememberedBytes);
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
        .section(u'\n', 0, 0)
        .trimmed();
  } catch (const IoError&) {
    return {};  // nothing remembered yet
  }
}

void RememberPlan(const QString& settings_folder, const QString& plan_path) {
  const std::string line = plan_path.toStdString() + '\n';
  ReplaceFile(QDir(settings_folder).filePath(kPlanPathFile), Bytes(line), ReplaceMode::CreateOrReplace);
}

}  // namespace zmr
