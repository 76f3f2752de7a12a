#include "support/report_fixtures.h"

#include <QStringList>

#include "support/project_fixtures.h"

namespace zmr::testing {

std::unique_ptr<ProjectSetup> ReportWeek(int events_per_day, int days) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  auto& s = project->summary;
  s.title.setText(QStringLiteral("Northfield School bells"));
  s.subject.setText(QStringLiteral("Main building, winter term"));
  s.author.setText(QStringLiteral("J. Fletcher"));
  s.manager.setText(QStringLiteral("A. Okafor"));
  s.company.setText(QStringLiteral("Northfield Community School"));
  const QStringList titles = {
      QStringLiteral("Morning bell"), QStringLiteral("Lesson 1"), QStringLiteral("Break"), QString(),
      QStringLiteral("Lunch for the lower school and the staff room"), QStringLiteral("End"),
  };
  for (int day = 1; day <= days; ++day) {
    for (int slot = 1; slot <= events_per_day; ++slot) {
      const int minutes = 6 * 60 + (slot - 1) * 7;
      AddPulse(*project, day, slot, minutes / 60, minutes % 60, 1 + (slot * day) % 59,
               titles[(slot + day) % titles.size()]);
    }
  }
  return project;
}

}  // namespace zmr::testing
