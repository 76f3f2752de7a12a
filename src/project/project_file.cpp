#include "project/project_file.h"

#include <cstring>
#include <span>

#include <QDir>
#include <QFileInfo>

#include "base/file_io.h"
#include "base/prompts.h"

namespace zmr {
namespace {

constexpr int kMaxFolderLength = 255;

enum class CaptionStyle { Plain, Colon };

std::span<const std::uint8_t> RecordBytes(const ProjectSetup& project) {
  return {reinterpret_cast<const std::uint8_t*>(&project), sizeof(ProjectSetup)};
}

// Something that is not a folder: a FIFO or a device exists too, and is then refused as
// not a project file without ever being opened.
bool FileExists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

void Refuse(Prompts& prompts, const QString& text) {
  prompts.beep();
  prompts.message(BoxKind::Error, text);
}

// Size, record, tags: a refused file leaves its bytes in the record when they were read.
OpenOutcome ReadCheckedRecord(const QString& path, ProjectSetup& project, Prompts& prompts) {
  if (!IsRegularOrMissing(path) || QFileInfo(path).size() != static_cast<qint64>(kProjectFileSize)) {
    Refuse(prompts, kNotValidProjectText);
    return OpenOutcome::NotValid;
  }
  const std::vector<std::uint8_t> bytes = ReadFileStart(path, kProjectFileSize + 1);
  if (bytes.size() != kProjectFileSize) {  // changed size since we looked
    Refuse(prompts, kNotValidProjectText);
    return OpenOutcome::NotValid;
  }
  std::memcpy(&project, bytes.data(), kProjectFileSize);
  if (!HasProjectTags(project)) {
    Refuse(prompts, kNotValidProjectText);
    return OpenOutcome::NotValid;
  }
  return OpenOutcome::Opened;
}

// The common end of both open paths: checks, read-only, caption, recent list.
OpenOutcome LoadCheckedProject(ConsoleData& data, Prompts& prompts, ProjectView& view, CaptionStyle style) {
  const QString& path = data.state.project_path;
  if (const OpenOutcome read = ReadCheckedRecord(path, data.project, prompts); read != OpenOutcome::Opened) {
    return read;
  }

  data.state.project_readonly = IsReadOnlyFile(path);
  data.state.project_open = true;
  QString suffix;
  if (data.state.project_readonly) {
    suffix = QStringLiteral(" (Read Only)");
    prompts.beep();
    prompts.message(BoxKind::Information, kReadOnlyProjectText);
  }
  view.setCaption((style == CaptionStyle::Colon ? QStringLiteral("Zemra: ") : QStringLiteral("Zemra ")) + path +
                  suffix);

  PushRecentProject(data.settings, path);
  data.settings.project_folder.setText(FolderOf(path).left(kMaxFolderLength));
  SaveSettings(data.settings, data.state.program_folder);
  view.RefreshMainMenu();
  return OpenOutcome::Opened;
}

}  // namespace

QString FolderOf(const QString& path) {
  const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return cut < 0 ? QString() : path.left(cut + 1);
}

QString AbsoluteCleanPath(const QString& path) {
  if (path.isEmpty()) {
    return path;
  }
  return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

OpenOutcome ReadProjectFile(const QString& path, ProjectSetup& project, Prompts& prompts) {
  if (!FileExists(path)) {
    Refuse(prompts, kProjectNotFoundText);
    return OpenOutcome::NotFound;
  }
  return ReadCheckedRecord(path, project, prompts);
}

OpenOutcome OpenProjectFile(ConsoleData& data, Prompts& prompts, ProjectView& view) {
  // From the command line or an entry stored by an older version the path may be relative.
  data.state.project_path = AbsoluteCleanPath(data.state.project_path);
  if (!FileExists(data.state.project_path)) {
    Refuse(prompts, kProjectNotFoundText);
    return OpenOutcome::NotFound;
  }
  return LoadCheckedProject(data, prompts, view, CaptionStyle::Plain);
}

OpenOutcome OpenProjectDialog(ConsoleData& data, Prompts& prompts, ProjectView& view) {
  FileDialogRequest request;
  request.caption = QStringLiteral("Open Project");
  const QString folder = data.settings.project_folder.text();
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
    request.initial_folder = folder;
  }
  request.filter = kProjectFilter;
  request.default_suffix = QStringLiteral("zmr");
  const std::optional<QString> chosen = prompts.openFileName(request);
  if (!chosen) {
    return OpenOutcome::Cancelled;
  }
  data.state.project_path = AbsoluteCleanPath(*chosen);
  if (!FileExists(data.state.project_path)) {
    Refuse(prompts, kNotValidProjectText);
    return OpenOutcome::NotValid;
  }
  return LoadCheckedProject(data, prompts, view, CaptionStyle::Colon);
}

void SaveProject(ConsoleData& data) {
  if (!data.state.project_open || data.state.project_readonly) {
    return;
  }
  ReplaceFile(data.state.project_path, RecordBytes(data.project), ReplaceMode::ExistingOnly);
  data.state.project_changed = true;
}

void WriteProjectFile(const ConsoleData& data) {
  ReplaceFile(data.state.project_path, RecordBytes(data.project), ReplaceMode::CreateOrReplace);
}

}  // namespace zmr
