#include "project/project_model.h"

#include <utility>

namespace zmr {
namespace {

constexpr char kStartTag[] = "KOLVAR1";
constexpr char kEndTag[] = "KOLVAR2";

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

}  // namespace

void ResetProject(ProjectSetup& project) {
  ProjectSummary& s = project.summary;
  s.start_tag.assignBytes(kStartTag);
  for (auto* text : {&s.title, &s.subject, &s.author, &s.manager, &s.company, &s.category, &s.keywords}) {
    text->clear();
  }
  s.comments.clear();
  s.summary_date.clear();
  s.end_tag.assignBytes(kEndTag);
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      ScheduleEvent& e = project.slot(day, slot);
      e.hour = kEmptyTime;
      e.minute = kEmptyTime;
      e.title.clear();
      e.kind = static_cast<std::uint8_t>(EventKind::Empty);
      e.pulse_seconds = 0;
    }
  }
}

bool HasProjectTags(const ProjectSetup& project) {
  return project.summary.start_tag.count == 7 && project.summary.start_tag.equalsBytes(kStartTag) &&
         project.summary.end_tag.count == 7 && project.summary.end_tag.equalsBytes(kEndTag);
}

QString EventText(const ScheduleEvent& event) {
  // Values outside two digits are written in full, as the decimal text would be.
  QString text = TwoDigits(event.hour) + ':' + TwoDigits(event.minute) + QStringLiteral(", ");
  switch (static_cast<EventKind>(event.kind)) {
    case EventKind::Pulse:
      text += QString::number(event.pulse_seconds);
      break;
    case EventKind::On:
      text += QStringLiteral("On");
      break;
    case EventKind::Off:
      text += QStringLiteral("Off");
      break;
    default:
      break;
  }
  return text;
}

void SortDay(ProjectSetup& project, int day) {
  DaySchedule& table = project.day(day);
  const int n = kEventsPerDay;
  int gap = n;
  while (gap > 1) {
    gap /= 2;
    bool exchanged = true;
    while (exchanged) {
      exchanged = false;
      for (int i = 0; i < n - gap; ++i) {
        if (table[i].timeKey() > table[i + gap].timeKey()) {
          std::swap(table[i], table[i + gap]);  // the whole 105-byte slot moves
          exchanged = true;
        }
      }
    }
  }
}

}  // namespace zmr
