#pragma once
// Export and import of the open project's week as the console's commands run them: the
// file dialogs, the question and the refusal box go through Prompts.
#include <QString>
#include <optional>

#include "exchange/schedule_csv.h"
#include "project/project_file.h"

namespace zmr {

class Prompts;

// Reads and checks a CSV file. A file that cannot be read throws IoError.
CsvImport ReadScheduleCsv(const QString& path);

// Creates or replaces the CSV file with the project's week. Throws IoError.
void WriteScheduleCsv(const ProjectSetup& project, const QString& path);

// True when both paths name one existing file: an export must never write over its project.
bool IsSameFile(const QString& a, const QString& b);

// Replaces the open project's week and saves it with SaveProject. When the save fails the
// record gets its week back, so memory and file keep agreeing; the failure passes on.
void ImportWeek(ConsoleData& data, const ImportedWeek& week);

// "Export Schedule (CSV) ...": asks for the file name, then writes it. Returns the note
// that says so, or nothing when nothing was written.
std::optional<QString> ExportScheduleCommand(ConsoleData& data, Prompts& prompts);

// "Import Schedule (CSV) ...": asks for the file, checks all of it, lists every refusal in
// one box, asks before it replaces the week, then saves. Returns the note that says so,
// or nothing when the week was left as it was.
std::optional<QString> ImportScheduleCommand(ConsoleData& data, Prompts& prompts);

}  // namespace zmr
