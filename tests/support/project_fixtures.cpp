#include "support/project_fixtures.h"

#include <QFile>
#include <cstring>
#include <stdexcept>

namespace zmr::testing {

std::unique_ptr<ConsoleData> MakeConsoleData(const QString& program_folder) {
  auto data = std::make_unique<ConsoleData>();
  data->state.program_folder = program_folder;
  DefaultSettings(data->settings);
  return data;
}

void AddPulse(ProjectSetup& project, int day, int slot, int hour, int minute, int pulse, const QString& title) {
  ScheduleEvent& e = project.slot(day, slot);
  e.hour = static_cast<std::uint8_t>(hour);
  e.minute = static_cast<std::uint8_t>(minute);
  e.kind = static_cast<std::uint8_t>(EventKind::Pulse);
  e.pulse_seconds = static_cast<std::uint8_t>(pulse);
  e.title.setText(title);
}

std::unique_ptr<ProjectSetup> FullWeekProject() {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  for (int day = 1; day <= kDays; ++day) {
    for (int s = 1; s <= kEventsPerDay; ++s) AddPulse(*project, day, s, s / 60, s % 60, 2);
  }
  return project;
}

void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    throw std::runtime_error("cannot write test file " + path.toStdString());
  }
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  const QByteArray all = file.readAll();
  return {all.begin(), all.end()};
}

void WriteProject(const QString& path, const ProjectSetup& project) {
  std::vector<std::uint8_t> bytes(sizeof(ProjectSetup));
  std::memcpy(bytes.data(), &project, sizeof(ProjectSetup));
  WriteBytes(path, bytes);
}

void WriteEmptyProject(const QString& path) {
  auto project = std::make_unique<ProjectSetup>();
  ResetProject(*project);
  WriteProject(path, *project);
}

}  // namespace zmr::testing
