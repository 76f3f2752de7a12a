// The week as CSV and back: export, import.
#include <QFileInfo>

#include "base/file_io.h"
#include "exchange/exchange_commands.h"
#include "exchange/exchange_texts.h"
#include "exchange/schedule_csv.h"
#include "project/project_file.h"
#include "zmrctl/command.h"

namespace zmr::ctl {

int ExportCommand(Invocation& run) {
  const QStringList& operands = run.options.operands;
  if (operands.isEmpty() || operands.size() > 2) {
    return run.usageError("export takes a project file and, optionally, the CSV file to write");
  }
  const std::unique_ptr<ProjectSetup> project = run.readProject(operands[0]);
  if (!project) return kExitProjectRefused;
  if (operands.size() == 2 && IsSameFile(operands[1], operands[0])) {
    return run.usageError(kCsvOverProjectText.toStdString());
  }
  if (operands.size() == 2) {
    WriteScheduleCsv(*project, operands[1]);
  } else {
    run.env.out << ScheduleCsv(*project) << std::flush;
  }
  return kExitOk;
}

int ImportCommand(Invocation& run) {
  const QStringList& operands = run.options.operands;
  if (operands.size() != 2) return run.usageError("import takes the CSV file and the project file");
  const QString& project_path = operands[1];
  auto data = std::make_unique<ConsoleData>();
  data->state.project_path = project_path;
  if (run.options.create_new) {
    if (QFileInfo::exists(project_path)) {
      run.env.err << "zmrctl: " << project_path.toStdString()
                  << " already exists; import --new never replaces a file\n";
      return kExitProjectRefused;
    }
    ResetProject(data->project);
  } else {
    if (ReadProjectFile(project_path, data->project, run.prompts) != OpenOutcome::Opened) {
      return kExitProjectRefused;
    }
    if (IsReadOnlyFile(project_path)) {
      run.prompts.message(BoxKind::Error, kReadOnlyProjectText, BoxButtons::Ok);
      return kExitProjectRefused;
    }
  }
  const CsvImport read = ReadScheduleCsv(operands[0]);
  if (!read.week) {
    for (const QString& e : read.errors) {
      run.env.err << e.toStdString() << '\n';
    }
    run.env.err << kNotImportedText.toStdString() << '\n';
    return kExitProjectRefused;
  }
  if (run.options.create_new) {
    ReplaceWeek(data->project, *read.week);
    WriteProjectFile(*data);
  } else {
    data->state.project_open = true;
    ImportWeek(*data, *read.week);
  }
  run.env.out << "Imported " << read.week->events << " events into " << project_path.toStdString() << '\n';
  return kExitOk;
}

}  // namespace zmr::ctl
