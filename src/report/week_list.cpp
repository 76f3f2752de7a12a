#include "report/week_list.h"

#include <algorithm>

namespace zmr {

namespace {
constexpr int kTimeLength = 5;  // "HH:MM" at the start of an event's text
}  // namespace

QString LongDayName(int day) {
  static const char* const kNames[kDays] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
  return QString::fromLatin1(kNames[day - 1]);
}

QString ListPulseText(const ScheduleEvent& event) {
  switch (static_cast<EventKind>(event.kind)) {
    case EventKind::Pulse:
      return QStringLiteral("%1 s").arg(event.pulse_seconds);
    case EventKind::On:
      return QStringLiteral("On");
    case EventKind::Off:
      return QStringLiteral("Off");
    default:
      return {};
  }
}

std::vector<WeekListRow> WeekListRows(const ProjectSetup& project) {
  std::vector<WeekListRow> rows;
  for (int day = 1; day <= kDays; ++day) {
    std::vector<const ScheduleEvent*> events;
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      if (!project.slot(day, slot).isEmptyKind()) {
        events.push_back(&project.slot(day, slot));
      }
    }
    // A day loaded out of order still reads in time order on the notice board.
    std::stable_sort(events.begin(), events.end(), [](const ScheduleEvent* a, const ScheduleEvent* b) {
      return a->timeKey() < b->timeKey();
    });
    for (const ScheduleEvent* e : events) {
      WeekListRow row;
      row.day = day;
      row.first_of_day = e == events.front();
      row.day_name = row.first_of_day ? LongDayName(day) : QString();
      row.time = EventText(*e).left(kTimeLength);
      row.pulse = ListPulseText(*e);
      row.title = e->title.text();
      rows.push_back(row);
    }
  }
  return rows;
}

void WeekListFeed::BeforePrint() {
  rows_ = WeekListRows(project_);
  next_ = 0;
}

bool WeekListFeed::NeedData(WeekListRow& row) {
  if (next_ >= rows_.size()) {
    return false;
  }
  row = rows_[next_++];
  return true;
}

ReportHeaderTexts WeekListHeader(const ProjectSummary& summary, const QDate& today) {
  ReportHeaderTexts texts = ReportHeader(summary, today);
  texts.qr_maintitle = QStringLiteral("Week List: ") + ReportDate(today);
  return texts;
}

QString WeekListPdfName(const QString& title) {
  const QString name = FileNameOf(title);
  return name.isEmpty() ? kWeekListCaption + QStringLiteral(".pdf") : name + QStringLiteral(" list.pdf");
}

}  // namespace zmr
