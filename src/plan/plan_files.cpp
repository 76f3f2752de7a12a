#include "plan/plan_files.h"

#include <algorithm>
#include <cerrno>

#include "base/errors.h"
#include "base/file_io.h"

namespace zmr {

std::vector<PlanFile> PlanFiles(const YearPlan& plan) {
  std::vector<PlanFile> files;
  auto add = [&](PlanFile::Kind kind, const QString& named) {
    if (named.isEmpty()) return;
    const PlanFile file{kind, named};
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
  };
  add(PlanFile::Kind::Week, plan.week);
  for (const PlanPeriod& p : plan.periods) add(PlanFile::Kind::Week, p.week);
  for (const HolidayCalendar& c : plan.holidays) add(PlanFile::Kind::Calendar, c.source);
  return files;
}

QString Unreachable(const QString& file) {
  const int error = PathError(file);
  if (error == 0) return {};
  if (error == ENOENT || error == ENOTDIR) return QStringLiteral("is not there");
  return QStringLiteral("cannot be read: %1").arg(Sentence(IoError::fromErrno(error)));
}

}  // namespace zmr
