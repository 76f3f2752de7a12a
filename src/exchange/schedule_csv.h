#pragma once
// The week as CSV text: one header line "day,time,pulse,kind,title", then one line per
// event. Export writes UTF-8 with commas and LF line ends; import also takes a byte-order
// mark, CRLF and ';' as the separator, and checks every line with the editor's rules.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QString>

#include "project/project_model.h"

namespace zmr {

inline constexpr std::size_t kMaxCsvBytes = 4 * 1024 * 1024;
inline constexpr int kMaxListedFaults = 25;  // a box of them still fits on a small screen

// Slots 1..120 of every day as an import builds them, before they replace the week.
struct ImportedWeek {
  std::array<std::array<ScheduleEvent, kEventsPerDay>, kDays> days;
  int events = 0;
};

struct CsvImport {
  std::unique_ptr<ImportedWeek> week;  // set only when there are no errors
  std::vector<QString> errors;         // "<file name> line N: text", in line order
};

// The whole CSV text of the project's week (UTF-8, no byte-order mark).
std::string ScheduleCsv(const ProjectSetup& project);

// Reads CSV bytes into a week. Pure: no files, no windows, any bytes accepted; either a
// complete week or the faults, never both. `file_name` only prefixes the messages.
CsvImport ParseScheduleCsv(std::span<const std::uint8_t> bytes, const QString& file_name);

// Puts the imported days into slots 1..120 and sorts each day; slots 121..128 and the
// summary stay as they are.
void ReplaceWeek(ProjectSetup& project, const ImportedWeek& week);

}  // namespace zmr
