#include "project/save_as.h"

#include <QFileInfo>
#include <span>

#include "base/file_io.h"
#include "base/prompts.h"

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
  ReplaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(&data.project), sizeof(ProjectSetup)),
              ReplaceMode::CreateOrReplace);

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
