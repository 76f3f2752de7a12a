#include "project/save_as.h"

#include <QFileInfo>
#include <memory>
#include <span>

#include "base/file_io.h"
#include "base/prompts.h"
#include "project/summary_edit.h"

namespace zmr {

std::optional<QString> SaveProjectAs(ConsoleData& data, Prompts& prompts, ProjectView& view) {
  ProjectState& state = data.state;
  if (!state.project_open) {
    return std::nullopt;
  }
  FileDialogRequest request;
  request.caption = kSaveAsCaption;
  request.initial_folder = FolderOf(state.project_path);
  request.filter = kProjectFilter;
  request.default_suffix = QStringLiteral("zmr");
  request.proposed_name = QFileInfo(state.project_path).completeBaseName();
  const std::optional<QString> chosen = prompts.saveFileName(request);
  if (!chosen) {
    return std::nullopt;
  }
  const QString path = AbsoluteCleanPath(*chosen);
  // A title that is the file's name (as New makes them) follows the file to its new name,
  // so that the copy's printouts and PDF names carry the copy's name.
  const auto copy = std::make_unique<ProjectSetup>(data.project);
  const QString new_name = QFileInfo(path).completeBaseName();
  if (copy->summary.title.text() == QFileInfo(state.project_path).completeBaseName() &&
      !TitleHasForbiddenCharacter(new_name)) {
    copy->summary.title.setText(new_name);
  }
  ReplaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(copy.get()), sizeof(ProjectSetup)),
              ReplaceMode::CreateOrReplace);

  data.project = *copy;
  state.project_path = path;
  state.project_readonly = IsReadOnlyFile(path);
  view.setCaption(QStringLiteral("Zemra: ") + path);
  PushRecentProject(data.settings, path);
  data.settings.project_folder.setText(FolderOf(path));
  SaveSettings(data.settings, state.program_folder);
  view.RefreshMainMenu();
  return kSavedAsNote.arg(QFileInfo(path).fileName());
}

}  // namespace zmr
