#include "exchange/exchange_commands.h"

#include <QFileInfo>
#include <QStringList>

#include "base/file_io.h"
#include "base/prompts.h"
#include "exchange/exchange_texts.h"

namespace zmr {
namespace {

// Captioned with the command's job, as the project's open and save dialogs are.
FileDialogRequest CsvRequest(const ConsoleData& data, const QString& caption) {
  FileDialogRequest request;
  request.caption = caption;
  request.initial_folder = FolderOf(data.state.project_path);
  request.filter = kCsvFilter;
  request.default_suffix = QStringLiteral("csv");
  return request;
}

// Puts the saved week back unless the import was committed.
class WeekRestore {
 public:
  explicit WeekRestore(ProjectSetup& project) : project_(project), saved_(std::make_unique<WeekSchedule>(project.week)) {}
  ~WeekRestore() {
    if (saved_) {
      project_.week = *saved_;
    }
  }
  WeekRestore(const WeekRestore&) = delete;
  WeekRestore& operator=(const WeekRestore&) = delete;
  void commit() { saved_.reset(); }

 private:
  ProjectSetup& project_;
  std::unique_ptr<WeekSchedule> saved_;
};

}  // namespace

CsvImport ReadScheduleCsv(const QString& path) {
  const std::vector<std::uint8_t> bytes = ReadFileStart(path, kMaxCsvBytes + 1);
  return ParseScheduleCsv(bytes, QFileInfo(path).fileName());
}

void WriteScheduleCsv(const ProjectSetup& project, const QString& path) {
  const std::string text = ScheduleCsv(project);
  ReplaceFile(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, ReplaceMode::CreateOrReplace);
}

bool IsSameFile(const QString& a, const QString& b) {
  const QString canonical = QFileInfo(a).canonicalFilePath();
  return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

void ImportWeek(ConsoleData& data, const ImportedWeek& week) {
  WeekRestore restore(data.project);
  ReplaceWeek(data.project, week);
  SaveProject(data);
  restore.commit();
}

std::optional<QString> ExportScheduleCommand(ConsoleData& data, Prompts& prompts) {
  if (!data.state.project_open) {
    return std::nullopt;
  }
  FileDialogRequest request = CsvRequest(data, QStringLiteral("Export Schedule"));
  request.proposed_name = QFileInfo(data.state.project_path).completeBaseName() + QStringLiteral(".csv");
  const std::optional<QString> path = prompts.saveFileName(request);
  if (!path) {
    return std::nullopt;
  }
  if (IsSameFile(*path, data.state.project_path)) {
    prompts.beep();
    prompts.message(BoxKind::Error, kCsvOverProjectText);
    return std::nullopt;
  }
  WriteScheduleCsv(data.project, *path);
  return kExportedNote.arg(QFileInfo(*path).fileName());
}

std::optional<QString> ImportScheduleCommand(ConsoleData& data, Prompts& prompts) {
  if (!data.state.project_open || data.state.project_readonly) {
    return std::nullopt;
  }
  const std::optional<QString> path = prompts.openFileName(CsvRequest(data, QStringLiteral("Import Schedule")));
  if (!path) {
    return std::nullopt;
  }
  const CsvImport read = ReadScheduleCsv(*path);
  if (!read.week) {
    QStringList lines{kNotImportedText, QString()};
    for (const QString& e : read.errors) {
      lines << e;
    }
    prompts.beep();
    prompts.message(BoxKind::Error, lines.join(QStringLiteral("\r\n")));
    return std::nullopt;
  }
  prompts.beep();
  const int n = read.week->events;
  const QString events = n == 1 ? QStringLiteral("1 event") : QStringLiteral("%1 events").arg(n);
  const QString question = kReplaceWeekText.arg(events, QFileInfo(*path).fileName());
  if (prompts.message(BoxKind::Warning, question, BoxButtons::YesNo) != BoxAnswer::Yes) {
    return std::nullopt;
  }
  ImportWeek(data, *read.week);
  return kImportedNote.arg(events, QFileInfo(*path).fileName());
}

}  // namespace zmr
