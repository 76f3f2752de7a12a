#include "zmrctl/week_table.h"

#include <QString>
#include <array>
#include <sstream>

#include "hardware/schedule_format.h"

namespace zmr::ctl {
namespace {

constexpr std::array<const char*, kDays> kDayNames = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr int kCellWidth = 11;

std::string Pad(const QString& text, int width) {
  std::string s = text.toStdString();
  if (static_cast<int>(s.size()) < width) {
    s.append(width - s.size(), ' ');
  }
  return s;
}

}  // namespace

std::string SummaryText(const ProjectSetup& project) {
  const ProjectSummary& s = project.summary;
  std::ostringstream out;
  const std::pair<const char*, QString> fields[] = {
      {"Title", s.title.text()},       {"Subject", s.subject.text()},   {"Author", s.author.text()},
      {"Manager", s.manager.text()},   {"Company", s.company.text()},   {"Category", s.category.text()},
      {"Keywords", s.keywords.text()}, {"Comments", s.comments.text()}, {"Date", s.summary_date.text()}};
  for (const auto& [name, value] : fields) {
    out << name << ": " << value.toStdString() << '\n';
  }
  return out.str();
}

std::string WeekTable(const ProjectSetup& project) {
  int rows = 0;
  for (int day = 1; day <= kDays; ++day) {
    for (int slot = 1; slot <= kEventsPerDay; ++slot) {
      if (!project.slot(day, slot).isEmptyKind()) {
        rows = std::max(rows, slot);
      }
    }
  }
  std::ostringstream out;
  out << "Slot ";
  for (const char* name : kDayNames) {
    out << Pad(name, kCellWidth);
  }
  out << '\n';
  for (int slot = 1; slot <= rows; ++slot) {
    out << Pad(QString::number(slot), 5);
    for (int day = 1; day <= kDays; ++day) {
      const ScheduleEvent& e = project.slot(day, slot);
      out << Pad(e.isEmptyKind() ? QString() : EventText(e), kCellWidth);
    }
    out << '\n';
  }
  if (rows == 0) {
    out << "(no events)\n";
  }
  return out.str();
}

std::string CompiledChunks(const ProjectSetup& project) {
  std::ostringstream out;
  for (int day = 1; day <= kDays; ++day) {
    int chunk = 0;
    for (const DayChunk& bytes : ChunksOfDay(project, day)) {
      ++chunk;
      const int address = bytes[0] | (bytes[1] << 8);
      out << "day " << day << " chunk " << chunk << "  "
          << QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper().toStdString() << ' ';
      for (std::size_t i = 2; i < bytes.size(); ++i) {
        out << ' ' << QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper().toStdString();
      }
      out << '\n';
    }
  }
  return out.str();
}

}  // namespace zmr::ctl
