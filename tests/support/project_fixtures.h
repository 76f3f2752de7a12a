#pragma once
// Ready-made projects and files for tests.
#include <QString>
#include <memory>
#include <vector>

#include "project/project_file.h"

namespace zmr::testing {

// A fresh ConsoleData on the heap (the record is 95 KB) whose program folder is given.
std::unique_ptr<ConsoleData> MakeConsoleData(const QString& program_folder);

// A reset project with a Pulse event; hour/minute/pulse as given.
void AddPulse(ProjectSetup& project, int day, int slot, int hour, int minute, int pulse,
              const QString& title = {});
// A reset project whose every day holds 120 events (slot s at s / 60 : s % 60, 2 s): the
// largest week a download sends.
std::unique_ptr<ProjectSetup> FullWeekProject();

// Writes the record to path as a project file (create or replace).
void WriteProject(const QString& path, const ProjectSetup& project);
// A valid, reset project file at path.
void WriteEmptyProject(const QString& path);
void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const QString& path);

// Records what the open operations tell the main window.
class RecordingView : public ProjectView {
 public:
  QString caption;
  int refreshes = 0;
  void setCaption(const QString& text) override { caption = text; }
  void RefreshMainMenu() override { ++refreshes; }
};

}  // namespace zmr::testing
