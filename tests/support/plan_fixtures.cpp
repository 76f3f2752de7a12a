#include "support/plan_fixtures.h"

#include <fstream>
#include <sstream>

#include "support/project_fixtures.h"

namespace zmr::testing {
namespace {

constexpr int kSchoolDays = 5;

}  // namespace

PlanFolder::PlanFolder() {
  auto week = std::make_unique<ProjectSetup>();
  ResetProject(*week);
  // A school's weeks: bells Monday to Friday, none at the weekend.
  for (int day = 1; day <= kSchoolDays; ++day) AddPulse(*week, day, 1, 8, 0, 5);
  WriteProject(file("normal.zmr"), *week);
  for (int day = 1; day <= kSchoolDays; ++day) AddPulse(*week, day, 2, 9, 30, 10);
  WriteProject(file("exams.zmr"), *week);
  write("terms.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//school//terms//EN\r\n"
        "BEGIN:VEVENT\r\nUID:1@school\r\nSUMMARY:Half term\r\nDTSTART;VALUE=DATE:20261026\r\n"
        "DTEND;VALUE=DATE:20261031\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:2@school\r\nSUMMARY:May Day\r\nDTSTART;VALUE=DATE:20270503\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n");
  write("broken.ics", "BEGIN:VCALENDAR\r\nthis is not a calendar\r\n");
  write("not-a-week.zmr", "hello");
}

void PlanFolder::write(const QString& name, const std::string& bytes) const {
  std::ofstream(file(name).toStdString(), std::ios::binary) << bytes;
}

std::string PlanFolder::read(const QString& name) const {
  std::ifstream in(file(name).toStdString(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace zmr::testing
