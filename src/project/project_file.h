#pragma once
// The project setup file: open with its checks, in-place save, create-or-replace write.
#include <QString>

#include "project/project_model.h"
#include "project/settings.h"

namespace zmr {

class Prompts;

// What a window does when a project was opened: set its caption, refresh its commands.
class ProjectView {
 public:
  virtual ~ProjectView() = default;
  virtual void setCaption(const QString& caption) = 0;
  virtual void RefreshMainMenu() = 0;
};

// The program's project data: one of each, created at start-up, handed to every window.
struct ConsoleData {
  ProjectSetup project{};   // zero bytes until a project is reset or loaded
  ProgramSettings settings{};
  ProjectState state{};
};

enum class OpenOutcome { Opened, NotFound, NotValid, Cancelled };

inline const QString kProjectNotFoundText = QStringLiteral("Project file not found!");
inline const QString kNotValidProjectText = QStringLiteral("This is Not a valid project (.psf) file!");
inline const QString kReadOnlyProjectText = QStringLiteral(
    "The Project Setup File is Read Only! The project can only be viewed \"as is\", and cannot be edited.");
inline const QString kProjectFilter = QStringLiteral("project setup file (*.zmr)|*.zmr");

// Reads the project at path into the record with the console's checks and messages,
// without touching flags, caption or settings (for tools that only read a project).
OpenOutcome ReadProjectFile(const QString& path, ProjectSetup& project, Prompts& prompts);

// Opens the project at data.state.project_path (recent entries, the command line).
OpenOutcome OpenProjectFile(ConsoleData& data, Prompts& prompts, ProjectView& view);
// Lets the user choose a file, then opens it (Open commands).
OpenOutcome OpenProjectDialog(ConsoleData& data, Prompts& prompts, ProjectView& view);

// Writes the record over the open, editable project's file and sets project_changed.
// Never creates the file; never leaves it half written.
void SaveProject(ConsoleData& data);

// Creates or replaces the file at data.state.project_path with the record.
void WriteProjectFile(const ConsoleData& data);

// The folder part of a path with its trailing separator.
QString FolderOf(const QString& path);

// The path as the program keeps it (project_path, the recent list, project_folder):
// absolute against the current folder, without "." and ".." parts or doubled
// separators, so one file has one spelling. Symbolic links are left as named. Empty
// stays empty.
QString AbsoluteCleanPath(const QString& path);

}  // namespace zmr
